// The Available list of the stock list editor: the engines and wagons that pass the user's filters
// (kinds, motive power, driveable, name, lot number, status, the routes that use them), the
// rebuild of the program-wide stock list when it is empty, and the filters' registry memory.
#pragma once

#include "core/itemkinds.h"
#include "core/itemset.h"
#include "editors/consistfilter.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

namespace qv {

class ListBoxView;
struct ListEditorModel;

inline const QString kStockFiltersKey = QStringLiteral("Filters\\Stock");

// The PType bits the stock filter's check boxes stand for (their Tags).
constexpr std::uint32_t kStockFilterTags[] = {PT_ENGINE, PT_TENDER, PT_PASSENGER, PT_FREIGHT,
                                              PT_STEAM,  PT_DIESEL, PT_ELECTRIC};

struct StockFilterControls {
    std::uint32_t CheckedTags = 0;
    int DriveableIndex = DRIVEABLE_EITHER;
    QString StockName;
    QString LotNumber;
    QString UsedInRoute;
    int StoreIndIndex = 2;
    QStringList StockNameItems;
    QStringList LotNumberItems;
    QStringList UsedInRouteItems;
};

// Sets the boxes, the driveable choice and the status from the registry.
void ReadStockFilterMemory(StockFilterControls& controls);

struct StockFilterValues {
    bool RouteFilterOn = false;
    std::unique_ptr<Mask> NameMask;
    std::unique_ptr<Mask> LotMask;
    int StatusMask = 8;
    std::uint32_t Include = 0;
    std::uint32_t Exclude = 0;
};

// Whether the engine or wagon passes: the kind boxes choose among engines, tenders, carriages and
// wagons; the power boxes and the tick narrow only the engines; the cross drops whatever can be
// driven.
bool StockPassesFilter(const ItemSet& item, const StockFilterValues& values);

struct StockRefreshResult {
    bool NewStock = false; // new engines or wagons got the current lot number in this run
};

// Refreshes the Available list from the program-wide stock list (rebuilt when empty or forced,
// with the program busy and the panel disabled meanwhile); outside the dialog's showing the
// filters and histories are remembered; each record gains the list's kind.
StockRefreshResult RefreshAvailableStock(ListEditorModel& model, StockFilterControls& controls,
                                         ListBoxView& available, bool force,
                                         const std::function<void(bool enabled)>& enablePanel);

} // namespace qv
