// The named lists of consists, stock and paths that the user keeps per route and for the global
// scope. Each scope registers its lists in its ROUTE.QVC, one section per list kind, with one
// entry "<id>=<state>,<name>" per list (state 12 active, 11 inactive); the members of each list
// stand in a list file of their own. Here: the register and its access record, naming new lists,
// activating them, renaming them, and the status-filter helpers the list editors share.
#pragma once

#include "core/storeini.h"
#include "core/stringlist.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace qv {

struct ItemSet;
class ItemNode;
class ListEditorServices;

// Operation bits of RouteListFileOp.
constexpr int RLF_OPEN = 1;       // open the register into the info's holder
constexpr int RLF_READ = 2;       // read the entry under the key
constexpr int RLF_WRITE = 4;      // else write the entry
constexpr int RLF_DELETE = 8;     // else delete the entry
constexpr int RLF_KEEP_OPEN = 16; // leave the register open at the end

// The access record of one list's entry in its scope's register.
struct RouteListsInfo {
    std::uint32_t ListType = 0; // the list kind bit (PT_EXPLORE_CONSIST ... PT_MAINT_PATH)
    QString Folder;             // the folder of the item the list belongs to
    QString Key;                // the list id, with or without ".QVC"
    QString ListId;             // "<id>.QVC", set when a new list is named
    QString Section;            // the register section of the kind
    QString RawValue;           // the value last read
    std::int32_t State = 0;     // 12 active, 11 inactive, -1 unreadable
    QString ListName;
    QString FileName; // "ROUTE.QVC" or "<route folder name>\ROUTE.QVC"
    // The register while it is open; closed by RouteListFileOp or CloseStoreIni. A holder
    // dropped without either writes nothing.
    std::unique_ptr<StoreIniHolder> Holder;
    std::int32_t KeysLeft = 0; // entries left in the section after a delete
    bool NameChanged = false;  // the user gave the list a new name
};

// The register section of a list kind: CONSISTS, MAINTCON, MAINTSTK, PATHS or MAINTPAT. Any other
// kind is an internal error that ends the program (an empty text when the end is hooked).
QString RouteListSection(std::uint32_t kind);

// Points the info at the list of the given kind that the item names: its folder, its FileName as
// key, the kind's section and the scope's register.
void FillRouteListsInfo(const ItemSet& item, RouteListsInfo& info, std::uint32_t kind);

// Works on the info's entry in the register by the RLF_ bits: open, then read, write or delete,
// then close unless RLF_KEEP_OPEN is given. A register left open by an earlier call is used as it
// is; a call that needs the register while none is open opens it for itself. A call with RLF_OPEN
// and without RLF_KEEP_OPEN closes the register at its end, whoever opened it. False when the
// register could not be written at that close.
bool RouteListFileOp(RouteListsInfo& info, int operations);

// The state of a register value: the number before the first comma; -1 without a comma or number.
int ListValueState(const QString& value);
// The name of a register value: the text after the first comma (at most 999 characters); the
// whole value when it has no comma.
QString ListValueText(const QString& value);

// The lists of a kind of the folder's scope, one line "<id>.QVC=<state>,<name>" each, sorted by
// name; with activeOnly only the active ones. A scope whose section is empty takes over the
// single-list file of older stores ("<section>.QVC" in its data folder) as its active
// "Original List".
StringList ReadRouteLists(const QString& folder, std::uint32_t kind, bool activeOnly);

// Gives a new list of the info's kind and folder its id (one above the highest id number in use),
// its name ("Original List" for the first list, else "New List (n)") and the active state. Entries
// whose id is not the section name followed by a number are passed over.
void NextRouteListName(RouteListsInfo& info);

// Sets the state of the list that the node stands for, in the register (through the info, whose
// register is left as open or closed as it was), on the node's state icon and in its record's
// StoreInd. A node whose list has no entry in the register is left alone.
void SetRouteListState(RouteListsInfo& info, ItemNode* node, int state);

// Sets the state of a list node, or of each list under a kind heading; with deactivateSiblings
// the other lists of the same kind heading become inactive first.
void ActivateRouteList(ItemNode* node, int state, bool deactivateSiblings);

// The list editors' "List Name" command: asks for a new name in an input box titled with the
// editor's List Name button. A name that is not blank becomes the info's list name, as entered,
// and marks it changed; in edit mode (1) the editor's OK button is enabled and its caption
// rebuilt. The register is written later, when the editor commits. True when renamed.
bool RenameRouteList(ItemNode* node, ListEditorServices& editor, RouteListsInfo& info, int mode);

// The items of the list editors' Status filter, one per line: "In Use", "In Store",
// "In Error/Warning" (unless errors are not highlighted) and a blank line for all.
QString StatusComboItems();
// The filter mask of a Status item: 1 In Use, 2 In Store, 4 In Error/Warning, 8 all (also for no
// selection, and for the blank item when the error item is absent).
int StatusFilterMask(int index);

// The value with its two low store bits replaced by `bits`.
int SetStoreBits(int value, int bits);

} // namespace qv
