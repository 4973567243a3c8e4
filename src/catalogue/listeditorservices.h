// What the catalogue needs of the list editors: the recount of the store indicators of a list of
// consists, stock or paths (which also consumes the cache-out-of-date flags that file moves and
// store jobs set), the caption of an editor, and an interface through which the editors' controls
// and open forms are reached without the catalogue depending on them.
#pragma once

#include "core/itemset.h"

#include <QString>
#include <cstdint>

class QObject;

namespace qv {

class ItemNode;
class StringList;
struct RouteListsInfo;

// Recomputes StoreInd of every item of a consist (PT_CONSIST), stock (PT_STOCK) or path (PT_PATH)
// list: 1 when its file is in the MSTS folder, else 2, plus 4 when `errorList` (the store job's
// error list, as LoadErrorMarks gives it) holds its FileName. It is the only reader and resetter
// of ConsistCacheStale, StockCacheStale and PathCacheStale: while none is set (and no store job
// has written a new error list since) nothing is recomputed; otherwise the MSTS folder is listed
// once for the given kind, that kind's flag alone is cleared and the list is left in display
// order. An empty path list tells no PATHS folder and leaves PathCacheStale set. Any other kind
// is reported and changes nothing. True when the indicators were recomputed.
bool UpdateStoreIndicators(RecordList<ItemSet>& list, std::uint32_t kind,
                           const StringList* errorList = nullptr);

// The caption of a list editor in mode 0 (View All), 1 (edit the list of `node`) or 2 (new list
// under `node`): "<program> - Edit: <kind> List - <route> - <list> (Activated)" and the like.
QString BuildListEditorCaption(int mode, const ItemNode* node, const RouteListsInfo& info);

// The list editors as the layers below them see them. The list-editor subsystem installs an
// implementation; until then a default does nothing and answers empty or null.
class ListEditorServices {
public:
    virtual ~ListEditorServices() = default;

    // The caption of the editor's ListNameBtn, which titles the rename box.
    virtual QString ListNameBtnCaption() const = 0;
    // Enables the editor's OKBtn after a change.
    virtual void EnableOKBtn() = 0;
    // Shows a new caption on the editor form.
    virtual void SetEditorCaption(const QString& caption) = 0;

    // The consist and stock list editor forms while one is shown, else null; the lot-number
    // dialog centres itself over the one its items belong to.
    virtual QObject* EditConsistListsDlg() const = 0;
    virtual QObject* EditStockListsDlg() const = 0;
};

ListEditorServices& TheListEditorServices();
// Installs services (not owned); nullptr puts the default back.
void SetListEditorServices(ListEditorServices* services);

} // namespace qv
