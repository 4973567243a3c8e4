#include "mainwindow/startupsequence.h"

#include "catalogue/cacherebuild.h"
#include "catalogue/rebuildlistings.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemset.h"
#include "core/status.h"
#include "core/storeini.h"
#include "mainwindow/commandline.h"
#include "platform/winfs.h"

#include <utility>
#include <vector>

namespace qv {

namespace {

// How long the last message stays up after a step that took a while.
constexpr int kLingerMs = 3000;

using Rebuild = bool (*)(RecordList<ItemSet>&, bool, StringList*);

// Rebuilds one cache into its program-wide list when the cache file is missing.
void RebuildWhenMissing(StartupView& view, const QString& qvdata, const char* cacheFile,
                        Msg message, RecordList<ItemSet>& list, const char* statusCode,
                        Rebuild rebuild) {
    if (FileExists(qvdata + QLatin1String(cacheFile)))
        return;
    view.ShowDescription(Caption(message) + QStringLiteral("\n\n") + Caption(Msg::PLEASE_WAIT));
    view.SetTimerInterval(kLingerMs);
    ClearTypedList(RK_ITEMSET, list);
    const StatusGuard status(QString::fromLatin1(statusCode));
    rebuild(list, false, nullptr);
}

} // namespace

void StartupSequence(StartupView& view, const QString& commandLineArgument) {
    AppState& app = App();
    const QString qvdata = app.StoreRootFolder + QStringLiteral("\\QVDATA\\");
    if (!FolderExists(qvdata)) {
        view.SetTimerInterval(kLingerMs);
        ConvertStore(view);
    }
    int position = 0;
    view.SetPosition(position);

    // A consist cache is never kept without the stock cache its records were read with (the
    // delete leaves alone one that a link leads to outside the two folders).
    if (!FileExists(qvdata + QStringLiteral("CACHESTK.QVC")))
        DeleteFile(qvdata + QStringLiteral("CACHECON.QVC"));
    view.SetPosition(position += 10);
    // The caches rebuilt below, in their order: the listings of those after the first are made
    // while the first is rebuilt.
    std::vector<RebuildKind> missing;
    for (const auto& [file, kind] : {std::pair{"CACHESTK.QVC", RebuildKind::Stock},
                                     std::pair{"CACHECON.QVC", RebuildKind::Consists},
                                     std::pair{"CACHEPAT.QVC", RebuildKind::Paths}}) {
        if (!FileExists(qvdata + QLatin1String(file)))
            missing.push_back(kind);
    }
    const ListingsAhead ahead(missing);
    RebuildWhenMissing(view, qvdata, "CACHESTK.QVC", Msg::REBUILDING_STOCK_CACHE,
                       app.StockCacheList, "CONSSTK", RebuildStockCache);
    view.SetPosition(position += 30);
    RebuildWhenMissing(view, qvdata, "CACHECON.QVC", Msg::REBUILDING_CONSISTS_CACHE,
                       app.ConsistCacheList, "CONS", RebuildConsistCache);
    view.SetPosition(position += 30);
    RebuildWhenMissing(view, qvdata, "CACHEPAT.QVC", Msg::REBUILDING_PATH_CACHE, app.PathCacheList,
                       "PATH", RebuildPathCache);
    view.SetPosition(position += 30);
    view.HideProgressBar();

    LoadNextLotNumber();
    if (!commandLineArgument.isEmpty())
        ProcessCommandLine(commandLineArgument, view.DescriptionLabel(), nullptr);
    view.ShowDescription(Caption(Msg::STARTUP_ACTIONS_COMPLETE));
}

} // namespace qv
