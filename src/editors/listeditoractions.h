// The item actions the list editors share: unstoring the selected items at once (alone or
// followed by the text editor, ConBuilder or the viewer), adding Available items to the Current
// list with the duplicates question, dropping Current entries whose file is gone, changing lot
// numbers and the where-used analysis of the selection. They work on the editor's model and its
// two list boxes, and keep no state of their own.
#pragma once

#include "core/itemset.h"

#include <QString>
#include <cstdint>
#include <functional>

namespace qv {

class ItemNode;
class ListBoxView;
class ReportPane;
struct ListEditorModel;

// Follow-up actions of ListEditorPopupAction.
constexpr int LEA_UNSTORE = 0;
constexpr int LEA_EDIT = 1;
constexpr int LEA_CONBUILDER = 2;
constexpr int LEA_VIEW_STOCK = 4;
constexpr int LEA_VIEW_CONSIST = 8;

// The outcome of immediate unstores: the message-box style to show `text` with (0 nothing to
// show; 16 a wrong item kind, 48 a file that cannot be found or read) and the messages, each
// ending with a line feed. A style with bit 16 stops the follow-up.
struct ErrorSet {
    int style = 0;
    QString text;
};

// What the editors reach outside their own subsystem: the viewer. Each does nothing (and its
// commands are not offered) while unset.
struct ListEditorHooks {
    std::function<void(const ItemSet& item)> ShowShape;
    // Whether a viewer can show the item now.
    std::function<bool(const ItemSet& item)> ShapeViewerOffered;
};
ListEditorHooks& TheListEditorHooks();

// An item's path relative to either root by its kind: stock "TRAINS\TRAINSET\<FileName>",
// consists "TRAINS\CONSISTS\<FileName>", paths "<Folder>\<FileName>"; empty (and `known` false)
// for any other kind, and empty (with `known` true) when the name would lead out of its folder.
QString ItemRelativePath(const ItemSet& item, bool* known = nullptr);

// Moves the item from the store into the MSTS folder (a consist after its engines and wagons,
// each distinct vehicle once) and sets its store state to In Use; appends what went wrong to
// the outcome. An item already in the MSTS folder is left alone without a word. A name that would
// lead out of its folder is refused in the outcome, with `namingFile`, the file that names it.
void ImmediateUnstoreItem(ItemSet& item, ErrorSet& outcome, const QString& namingFile = QString());

// The record behind a selected row of `box`: from the Available list through the row map; from
// the Current list the Available record of the same file when that one is shown (so that its row
// shows the new state), else the Current record itself unless `ownRecord` is set.
ItemSet* ResolveRowRecord(ListBoxView* box, int row, ListBoxView& available,
                          const ListEditorModel& model, bool ownRecord);

// The popup's item actions on the selected rows of `component` (the list box the popup was opened
// on; none for any other control): unstore each (not for the viewer actions), show the messages
// in one box, then run the follow-up on the last row's item when nothing stopped it and its file
// is in the MSTS folder. Does nothing while the program is busy.
void ListEditorPopupAction(int action, ListBoxView* component, ListBoxView& available,
                           ListEditorModel& model);

// Adds the selected Available rows to the Current list below the list node of `node`. Rows whose
// file the list holds already are asked about (Yes: ask again at the next, No: skip the rest
// silently, Cancel: add nothing at all) and left out.
void AddToCurrentList(ItemNode* node, ListBoxView& current, ListBoxView& available,
                      ListEditorModel& model);

// Asks about each entry whose file was not found (StoreInd -1) whether to drop it: Yes, No,
// No to All (keeps every entry, also those answered Yes) or Yes to All (drops every such entry).
// True when any entry was dropped.
bool PruneMissingListItems(const QString& listName, RecordList<ItemSet>& list,
                           std::uint32_t listType);

// The "Change Lot Number" dialog for the selected rows of `component`; a chosen lot goes into the
// cache of the list's kind and into the Available records (a Current row changes the Available
// record of its file). True when a lot was written; the caller then refreshes its Available list.
bool EditLotNumber(ListBoxView* component, ListBoxView& available, ListBoxView& current,
                   ListEditorModel& model);

// The where-used report of the selected rows of `component` in `report`, with the program busy
// and the control disabled meanwhile. Does nothing while the program is busy.
void WhereUsedForSelection(ListBoxView* component, ListBoxView& available, ListEditorModel& model,
                           const std::function<void(bool enabled)>& enableControl,
                           ReportPane* report);

} // namespace qv
