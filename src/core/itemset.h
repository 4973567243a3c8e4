// The item record that carries every object the program shows, lists, stores or unstores, the
// meaning of its kind-and-attribute bits and store indicator, and the owning typed record lists
// that are emptied and freed by their kind code.
#pragma once

#include "core/comparetext.h"

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace qv {

// ---- PType: kind bits --------------------------------------------------------------------------
constexpr std::uint32_t PT_GLOBAL = 0x1;
constexpr std::uint32_t PT_ROUTE = 0x2;
constexpr std::uint32_t PT_ACTIVITY = 0x4;
constexpr std::uint32_t PT_EXPLORE_CONSIST = 0x8;
constexpr std::uint32_t PT_HEADING = 0x10;
constexpr std::uint32_t PT_MAINT_CONSIST = 0x20;
constexpr std::uint32_t PT_MAINT_STOCK = 0x40;
constexpr std::uint32_t PT_SERVICE = 0x200000;
constexpr std::uint32_t PT_CONSIST = 0x400000;
constexpr std::uint32_t PT_PATH = 0x800000;
constexpr std::uint32_t PT_EXPLORE_PATH = 0x1000000;
constexpr std::uint32_t PT_MAINT_PATH = 0x2000000;
constexpr std::uint32_t PT_TRAFFIC = 0x4000000;
constexpr std::uint32_t PT_STOCK = 0x8000000;

// Headings carry the heading bit plus the kind of what they head.
constexpr std::uint32_t PT_GLOBAL_ROOT = PT_HEADING | PT_GLOBAL;        // 17
constexpr std::uint32_t PT_ROUTES_ROOT = PT_HEADING | PT_ROUTE;         // 18
constexpr std::uint32_t PT_ACTIVITIES_GROUP = PT_HEADING | PT_ACTIVITY; // 20

// ---- PType: attribute bits ---------------------------------------------------------------------
constexpr std::uint32_t PT_ENGINE = 0x80; // for a consist: a light engine
constexpr std::uint32_t PT_TENDER = 0x100;
constexpr std::uint32_t PT_PASSENGER = 0x200; // for a consist: more passenger than freight
constexpr std::uint32_t PT_FREIGHT = 0x400;   // for a consist: more freight than passenger
constexpr std::uint32_t PT_STEAM = 0x800;
constexpr std::uint32_t PT_DIESEL = 0x1000;
constexpr std::uint32_t PT_ELECTRIC = 0x2000;
constexpr std::uint32_t PT_DRIVEABLE = 0x4000;
constexpr std::uint32_t PT_ELECTRIFIED = 0x8000;
// The name parameter inside the file differs from the file name.
constexpr std::uint32_t PT_NAME_DIFFERS = 0x10000;
// The consist's locomotive reference differs from the engine's own parameter.
constexpr std::uint32_t PT_ENGINE_REF_DIFFERS = 0x20000;
// Added (by addition) to the one record a reader returns when asked for the first item only.
constexpr std::uint32_t PT_FIRST_ONLY = 0x80000;
// Working mark: the record stands in the other list. Never written to a file.
constexpr std::uint32_t PT_IN_OTHER_LIST = 0x100000;
// A consist whose leading engine has no cab view.
constexpr std::uint32_t PT_LEAD_NO_CABVIEW = 0x20000000;

// ---- PType: masks ------------------------------------------------------------------------------
constexpr std::uint32_t PT_MASK_LIST_KINDS = 0x3000068;        // every named-list kind
constexpr std::uint32_t PT_MASK_ROUTE_SIM_LISTS = 0x1000008;   // a route's lists, Simulation page
constexpr std::uint32_t PT_MASK_ROUTE_MAINT_LISTS = 0x2000060; // a route's lists, Maintenance page
constexpr std::uint32_t PT_MASK_GLOBAL_ALL_LISTS = 0x68;       // global lists of every page
constexpr std::uint32_t PT_MASK_GLOBAL_SIM_LISTS = 0x8;        // global lists, Simulation page
constexpr std::uint32_t PT_MASK_GLOBAL_MAINT_LISTS = 0x60;     // global lists, Maintenance page
constexpr std::uint32_t PT_MASK_CONSIST_RELATED = 0x400028;
constexpr std::uint32_t PT_MASK_STOCK_RELATED = 0x8000040;
constexpr std::uint32_t PT_MASK_PATH_RELATED = 0x3800000;
constexpr std::uint32_t PT_MASK_SELECTION_KIND = 0x300006f; // kind part of a remembered selection

// ---- StoreInd ----------------------------------------------------------------------------------
constexpr std::int32_t SI_HEADING = -1;
constexpr std::int32_t SI_IN_USE = 1;        // in the MSTS folder; on the main tree: marked unstore
constexpr std::int32_t SI_IN_STORE = 2;      // in the store; on the main tree: marked store
constexpr std::int32_t SI_IN_ERROR = 4;      // added to 1 or 2 when listed in the error list
constexpr std::int32_t SI_PLACE_UNKNOWN = 8; // a list member not yet looked for
constexpr std::int32_t SI_LIST_INACTIVE = 11;
constexpr std::int32_t SI_LIST_ACTIVE = 12;

struct ItemSet {
    std::int32_t PLevel = 0;   // depth in the object tree, 0 for the roots
    std::uint32_t PType = 0;   // kind and attribute bits (PT_...)
    std::int32_t StoreInd = 0; // store indicator (SI_...), also the node's state icon
    QString Description;
    QString Folder;     // relative to the MSTS or store root
    QString FileName;   // inside Folder; the list id of a named list; empty for headings
    QString EngineName; // consists: the leading engine's name
    QString LotNumber;  // consists and stock: the lot number
};

// Six texts; nothing in the program fills one, but lists of them are freed by their code.
struct UpdateInfo {
    std::array<QString, 6> Texts;
};

// ---- Typed record lists ------------------------------------------------------------------------

// Kind codes of the records that typed lists hold.
constexpr int RK_ITEMSET = 0;
constexpr int RK_CONFLICT = 1;
constexpr int RK_SERVICE = 2;
constexpr int RK_ACTIVITY = 4;
constexpr int RK_CONSIST = 8;
constexpr int RK_USED_IN = 16;
constexpr int RK_PATH = 32;
constexpr int RK_UPDATE = 64;
constexpr int RK_EXPLORE_SAVE = 128;
constexpr int RK_EXCLUSION = 256;
constexpr int RK_LANGUAGE = 512;

constexpr bool IsKnownRecordKind(int kind) {
    switch (kind) {
    case RK_ITEMSET:
    case RK_CONFLICT:
    case RK_SERVICE:
    case RK_ACTIVITY:
    case RK_CONSIST:
    case RK_USED_IN:
    case RK_PATH:
    case RK_UPDATE:
    case RK_EXPLORE_SAVE:
    case RK_EXCLUSION:
    case RK_LANGUAGE:
        return true;
    default:
        return false;
    }
}

// Gives a record type its kind code. Each record type that stands in a typed list declares it
// where the type is defined:  template <> struct RecordKind<ConsistInfo> { static constexpr int
// code = RK_CONSIST; };
template <class T> struct RecordKind;

template <> struct RecordKind<ItemSet> { static constexpr int code = RK_ITEMSET; };
template <> struct RecordKind<UpdateInfo> { static constexpr int code = RK_UPDATE; };

// A list that owns its records. A place may be empty (null) once its record has been handed on.
template <class T> using RecordList = std::vector<std::unique_ptr<T>>;

// Shows the unexpected-result stop box for a kind code that is unknown or not the list's kind.
void ReportUnexpectedRecordKind(int kind);

// True when kind is the code of T; otherwise reports it and returns false.
template <class T> bool AcceptRecordKind(int kind) {
    static_assert(IsKnownRecordKind(RecordKind<T>::code), "a record type needs a known kind code");
    if (kind == RecordKind<T>::code)
        return true;
    ReportUnexpectedRecordKind(kind);
    return false;
}

// Frees every record of the list and empties it; true. A kind code that is unknown or does not
// belong to the list's record type is reported and leaves the list unchanged; false.
template <class T> bool ClearTypedList(int kind, RecordList<T>& list) {
    if (!AcceptRecordKind<T>(kind))
        return false;
    list.clear();
    return true;
}

// ClearTypedList, then frees the list itself (list becomes null); on failure the list is kept.
// A list that is already null has nothing left to free.
template <class T> bool FreeTypedList(int kind, std::unique_ptr<RecordList<T>>& list) {
    if (!AcceptRecordKind<T>(kind))
        return false;
    list.reset();
    return true;
}

// ---- Item operations ---------------------------------------------------------------------------

// Copies all eight fields of source into target.
void CopyItemSet(const ItemSet& source, ItemSet& target);

// Sets PT_IN_OTHER_LIST on each target record with an equal record in reference and clears it
// on every other target record; reference is untouched. Both lists must be sorted ascending by
// the key: FileName when ViewByFileName is on, else Description. Empty places are passed over.
// Always true.
bool MarkItemsInList(const RecordList<ItemSet>& reference, RecordList<ItemSet>& target);

} // namespace qv
