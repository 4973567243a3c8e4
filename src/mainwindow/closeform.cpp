#include "mainwindow/closeform.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/status.h"
#include "core/storeini.h"
#include "easy/explorestate.h"
#include "mainwindow/objecttree.h"
#include "mainwindow/scenariofiles.h"
#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/ui.h"
#include "platform/winfs.h"

namespace qv {

namespace {

const QString kInfoSection = QStringLiteral("QUARVEL_INFORMATION");

// The last-close values go straight to the registry: at this point a failed write is not worth
// a message, and must not end the program before the close is through.
void WriteLastCloseValues(int top, int left, bool maximised) {
    RegistryKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, kProductKey, true))
        return;
    MainServices& window = TheMainServices();
    const QString trueFalse = maximised ? QStringLiteral("true") : QStringLiteral("false");
    key.WriteString(QStringLiteral("Last Close Scenario"), window.CurrentScenarioFile());
    key.WriteString(QStringLiteral("Last Close"),
                    QString::number(LastCloseDayNumber(TheClock().Now()), 'g', 15));
    key.WriteString(QStringLiteral("Last Main Page"), QString::number(window.MainPageIndex()));
    key.WriteString(QStringLiteral("Last Easy Page"),
                    QString::number(window.ActivityExplorePageIndex()));
    // A command-line job never restored the window's place: the one it ends with is no user's.
    if (!App().CommandLineJob) {
        key.WriteString(QStringLiteral("Last MainForm Top"), QString::number(top));
        key.WriteString(QStringLiteral("Last MainForm Left"), QString::number(left));
        key.WriteString(QStringLiteral("Last MainForm Maximized"), trueFalse);
    }
    key.WriteString(QStringLiteral("Last Version"), App().ProgramVersion);
}

} // namespace

int QuerySaveScenario(QObject* sender) {
    if (!App().ScenarioChanged)
        return 1;
    const QString file = TheMainServices().CurrentScenarioFile();
    const bool warnAlways = ReadFlag(QStringLiteral("Show Save Warning"));
    const bool ask =
        file.isEmpty()
            ? warnAlways
            : file != RegReadString(kProductKey, QStringLiteral("Default Scenario")) || warnAlways;
    if (!ask)
        return 1;
    const QString suffix = file.isEmpty() ? QStringLiteral("?")
                                          : QStringLiteral(" to '") + file + QStringLiteral("'?");
    const int answer = TheUi().MessageBox(Caption(Msg::SAVE_QUERY_TAG) + suffix, App().ProgramTitle,
                                          MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == ID_YES && !Save1Click(sender))
        return ID_CANCEL;
    return answer;
}

bool QuerySaveBeforeClose(QObject* sender) {
    const int answer = QuerySaveScenario(sender);
    if (answer == ID_CANCEL)
        return false;
    if (answer == ID_NO)
        TheMainServices().SetCurrentScenarioFile(QString());
    return true;
}

bool FormCloseMayProceed(QObject* sender) {
    if (App().Busy)
        return false;
    return App().SilentClose || QuerySaveBeforeClose(sender);
}

void FormCloseFinish(int top, int left, bool maximised) {
    AppState& app = App();
    if (ItemTree* tree = TheMainServices().QuarvelObjects()) {
        RememberLastNode(*tree, app.LastTreeSelection, true);
        app.TreeClearing = true;
        tree->Clear();
        app.TreeClearing = false;
    }
    app.LastTreeSelection = {};
    PurgeScenarioCache();

    // No Explore session outlives the window.
    ResetExploreState();
    app.StockCacheList.clear();
    app.ConsistCacheList.clear();
    app.PathCacheList.clear();
    app.UncachedStockList.Clear();

    if (app.LoggingActive)
        ToggleLogging(nullptr);
    WriteLastCloseValues(top, left, maximised);
    // The window is about to be destroyed; its resizes from now on are no sizes to keep.
    app.GeometryRestoring = true;
}

void PurgeScenarioCache() {
    auto cache = OpenStoreIni(CacheFileName(QStringLiteral("CACHESCN")));
    for (const QString& section : cache->Ini.ReadSections()) {
        if (section.compare(kInfoSection, Qt::CaseInsensitive) == 0)
            continue;
        const QString relative = QLatin1Char('\\') + section;
        if (FileExists(App().StoreRootFolder + relative) ||
            FileExists(App().MstsRootFolder + relative))
            continue;
        cache->Ini.EraseSection(section);
        cache->Modified = true;
    }
    CloseStoreIni(std::move(cache));
}

double LastCloseDayNumber(const QDateTime& moment) {
    static const QDate epoch(1899, 12, 30);
    const QDateTime local = moment.toLocalTime();
    return double(epoch.daysTo(local.date())) + local.time().msecsSinceStartOfDay() / 86400000.0;
}

} // namespace qv
