// The Available list of the consist list editor: the consists that pass the user's filters
// (kinds, motive power, driveable, names, lot number, status, the routes that use them), the
// rebuild of the program-wide consist list when it is empty, the filters' memory in the registry
// and the drop-down histories of the text filters.
#pragma once

#include "core/itemkinds.h"
#include "core/itemset.h"
#include "editors/filtersupport.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

namespace qv {

class ItemNode;
class ListBoxView;
struct ListEditorModel;

// The registry key of the consist filters, below the product key.
inline const QString kConsistFiltersKey = QStringLiteral("Filters\\Consists");

// The PType bits the filter check boxes stand for (their Tags).
constexpr std::uint32_t kConsistFilterTags[] = {PT_ENGINE, PT_PASSENGER, PT_FREIGHT,
                                                PT_STEAM,  PT_DIESEL,    PT_ELECTRIC};
constexpr std::uint32_t kPowerBits = PT_STEAM | PT_DIESEL | PT_ELECTRIC;

// What the filter panel shows: read from its controls before a refresh, given back after it.
struct ConsistFilterControls {
    std::uint32_t CheckedTags = 0; // the Tags of the checked boxes, or-ed
    int DriveableIndex = DRIVEABLE_EITHER;
    bool DriveableEnabled = true;
    bool ElectricEnabled = true;
    QString ConsistName;
    QString EngineName;
    QString LotNumber;
    QString UsedInRoute;
    int StoreIndIndex = 2;
    // The drop-down items of the text filters.
    QStringList ConsistNameItems;
    QStringList EngineNameItems;
    QStringList LotNumberItems;
    QStringList UsedInRouteItems;
};

// Sets the check boxes, the driveable choice and the status from the registry ("Include",
// "Exclude", "StoreInd" with default 2).
void ReadConsistFilterMemory(ConsistFilterControls& controls);

// What one refresh filters by.
struct ConsistFilterValues {
    std::uint32_t ListType = 0;
    bool Electrified = false;
    bool RouteFilterOn = false;
    std::unique_ptr<Mask> NameMask;
    std::unique_ptr<Mask> EngineMask;
    std::unique_ptr<Mask> LotMask;
    int StatusMask = 8;
    std::uint32_t Include = 0;
    std::uint32_t Exclude = 0;
};

// Whether the consist passes every filter (the route mark, the Explore rule, the masks, the
// status, the kinds, the power and the driveable choice).
bool ConsistPassesFilter(const ItemSet& consist, const ConsistFilterValues& values);

// An Explore list of a route takes electric consists only when the route is electrified (a
// global list always): the scope is the route, or the global settings, above the selected list.
bool IsElectrifiedScope(const ItemNode* selected, int editMode);

// What a refresh leaves for the dialog to show.
struct ConsistRefreshResult {
    bool NewConsists = false; // new consists got the current lot number in this run
};

// Refreshes the Available list: the consist list is rebuilt when empty (or when forced), with the
// program busy and the panel disabled meanwhile and unreadable vehicles analysed in the main
// information pane; the store states are brought up to date; the masks are built (an Explore list
// forces the tick, and without electrification hides electric consists); outside the dialog's
// showing the filters and the text histories are remembered; the route marks are renewed when the
// route filter changed; and every passing consist becomes a row, its index in the row map.
ConsistRefreshResult RefreshAvailableConsists(ListEditorModel& model,
                                              ConsistFilterControls& controls,
                                              ListBoxView& available, bool force, bool electrified,
                                              const std::function<void(bool enabled)>& enablePanel);

} // namespace qv
