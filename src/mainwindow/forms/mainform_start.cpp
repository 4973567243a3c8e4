// The main window's start-up, run once from its first show, and its 1000 ms timer, whose first
// tick loads the tree (or closes the program after a command-line job).

#include "mainwindow/forms/easycontroller.h"
#include "mainwindow/forms/mainform.h"

#include "ui_mainform.h"

#include "core/appstate.h"
#include "core/forms/fixeddefs.h"
#include "core/languages.h"
#include "core/moveleftovers.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/startupconfig.h"
#include "core/status.h"
#include "core/storeini.h"
#include "core/toolpaths.h"
#include "core/version.h"
#include "easy/explorestate.h"
#include "easy/launchprogram.h"
#include "easy/savedactivity.h"
#include "easy/usemwgfx.h"
#include "mainwindow/commandline.h"
#include "mainwindow/forms/mainform_settings.h"
#include "mainwindow/forms/splashform.h"
#include "mainwindow/objecttree.h"
#include "mainwindow/scenariofiles.h"
#include "platform/clock.h"
#include "platform/singleinstance.h"
#include "platform/winfind.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <cmath>
#include <cstdio>

namespace qv {

namespace {

const QString kWaitingSemaphore = QStringLiteral("Waiting Semaphore");
// How long a copy waits for another that is restarting itself to end, and how often it looks.
constexpr qint64 kRestartWaitMs = 10000;
constexpr int kRestartPollMs = 100;

// "Waiting Semaphore": 0 a copy runs normally, 1 it waits for a program it launched, 2 it is
// restarting itself.
int WaitingSemaphore() {
    return ReadProductNumber(kWaitingSemaphore, 0);
}

void WriteWaitingSemaphore(int value) {
    RegWriteString(kProductKey, kWaitingSemaphore, QString::number(value));
}

// The start-up ends the program: the end is asked for once the event loop runs, since the
// start-up runs while the window is first shown, before the loop has started.
void EndStartup() {
    App().StartupAborted = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

// "Last Close" (days since 30 December 1899, the time of day as fraction) as a packed file
// date; 0 when missing or not a number.
std::uint32_t LastCloseFileDate() {
    bool ok = false;
    const double days =
        RegReadString(kProductKey, QStringLiteral("Last Close")).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(days) || days < 0 || days > 1e6)
        return 0;
    const double whole = std::floor(days);
    const QDateTime moment(QDate(1899, 12, 30).addDays(qint64(whole)),
                           QTime(0, 0).addMSecs(int(std::lround((days - whole) * 86400000.0))));
    return std::uint32_t(PackDosDateTime(moment));
}

// Adds the lines of one pane to another in their styles.
void AppendPane(const ReportPane& from, ReportPane* to) {
    const QStringList lines = from.Lines();
    for (int line = 0; line < lines.size(); ++line) {
        if (from.IsHeading(line))
            to->AddHeading(lines.at(line));
        else if (from.IsBold(line))
            to->AddBoldLine(lines.at(line));
        else
            to->AddLine(lines.at(line));
    }
}

} // namespace

bool TMainForm::ClaimRunningCopy() {
    const QPointer<TMainForm> self(this);
    const auto raise = [self] {
        if (self)
            self->RestoreApplication();
    };
    if (ListenAsRunningCopy(raise))
        return true;
    // A copy restarting itself ends in a moment: this one waits for it, a while.
    if (WaitingSemaphore() != 2)
        return false;
    Clock& clock = TheClock();
    for (const qint64 start = clock.MonotonicMs(); clock.MonotonicMs() - start < kRestartWaitMs;) {
        clock.SleepMs(kRestartPollMs);
        if (ListenAsRunningCopy(raise))
            return true;
    }
    return false;
}

void TMainForm::FormShow() {
    AppState& app = App();
    app.ReportLevel = 0;
    app.StartupAborted = false;

    // One claim, taken before anything else, tells which copy runs: two copies started together
    // cannot both pass it, and a copy that loses it ends, as when another copy runs. A job given
    // to this copy has not run then, and whoever started it must learn so.
    if (!ClaimRunningCopy()) {
        if (WaitingSemaphore() != 1) {
            ShowTopWindow(kOtherCopyWindow, SW_RESTORE);
            BringTopWindowToFront(kOtherCopyWindow);
        }
        if (IsCommandLineJob(CommandLineArgument())) {
            std::fprintf(stderr, "%s\n",
                         JobNotRunText(CommandLineArgument()).toLocal8Bit().constData());
            exitStatus_ = kJobNotRunStatus;
        }
        EndStartup();
        return;
    }
    connect(this, &QObject::destroyed, [] { StopListening(); });

    // The override is kept as the settings have always held it; nothing on this platform reads
    // it, so a value written now changes nothing that a restart would pick up.
    CheckLocaleOverride();

    // Menus do not open while a job runs.
    ui->Spacer->setEnabled(true);
    for (QAction* item : ui->MainMenu->actions()) {
        if (QMenu* menu = item->menu())
            connect(menu, &QMenu::aboutToShow, menu, [menu] {
                if (App().Busy)
                    QTimer::singleShot(0, menu, &QMenu::close);
            });
    }

    LoadProgramVersion();
    WriteWaitingSemaphore(0);
    app.LastCloseFileDate = LastCloseFileDate();

    app.Busy = false;
    app.ReportItemCount = 0;
    app.SilentClose = false;
    app.LoggingActive = false;
    app.CommandLineJob = false;
    app.CommandLineJobFailed = false;
    app.FirstLoadPending = true;
    app.FirstTickPending = false;
    app.EasyListsStale = true;
    app.ConsistCacheStale = false;
    app.StockCacheStale = false;
    app.PathCacheStale = false;
    app.ExtendedActivityCache = ReadFlag(QStringLiteral("Extended Activity Cache"));
    app.ErrorsFileWritten = false;
    ResetExploreState();
    app.ForceCacheReread = false;
    app.EasySuppressImage = ReadFlag(QStringLiteral("Easy Suppress Image"));
    app.PictureLibraryAvailable = IsDllAvailable(kPictureLibraryName);
    app.CurrentLotNumber.clear();
    app.TreeClearing = false;
    app.NoViewerFile = false;

    app.LastTreeSelection.Folder = RegReadString(kProductKey, QStringLiteral("Last Node Folder"));
    app.LastTreeSelection.FileName =
        RegReadString(kProductKey, QStringLiteral("Last Node FileName"));
    app.LastTreeSelection.PType = ReadProductNumber(QStringLiteral("Last Node PType"), 0);

    if (SelectStartupLanguage()) {
        EnumerateLanguages();
        BuildLanguageMenu();
        ReinitializeForms();
        if (screen() && screen()->logicalDotsPerInch() > 96)
            ui->MainPageControl->setMinimumSize(917, 661);
    } else {
        ui->LanguageMnu->menuAction()->setEnabled(false);
    }

    FitMainFormHeight();
    ClearReport(InformationMemo());
    app.GeometryRestoring = false;
    KeepMainFormSize(*this);

    setToolTipDuration(7000);
    for (QWidget* control : findChildren<QWidget*>())
        control->setToolTipDuration(7000);

    app.StartupWorkingFolder = QDir::currentPath();
    if (!FixedDefsForm())
        new TFixedDefsForm(this);
    LoadEasyBackground(*this);

    if (!StartupConfiguration()) {
        // Whatever was asked of this start, it did not run.
        exitStatus_ = kJobFailedStatus;
        EndStartup();
        return;
    }
    // What a move or write cut short by the end of the last run left behind is settled before
    // anything moves again; the pane shows it once the first load has filled it.
    SettleMoveLeftovers(&startupReport_);
    if (ReadFlag(QStringLiteral("Everything Unstored")) && CountStoreContent() > 0) {
        WriteFlag(false, QStringLiteral("Everything Unstored"));
        app.TreeSynchronised = false;
    }
    ApplyViewSettings();
    LoadSettings(*this);
    setWindowTitle(app.ProgramTitle);
    {
        TSplashForm splash(CommandLineArgument(), this);
        splash.exec();
    }
    if (!app.CommandLineJob)
        RestoreMainFormGeometry(*this);
    Timer1->start(1000);
    app.FirstTickPending = true;
    PageFocusControl()->setFocus();
}

void TMainForm::Timer1Timer() {
    AppState& app = App();
    ui->StatusBar->update();
    if (!app.FirstTickPending) {
        ViewerTimerTick();
        return;
    }
    app.FirstTickPending = false;
    if (app.CommandLineJob) {
        if (app.CommandLineJobFailed)
            exitStatus_ = kJobFailedStatus;
        CloseMainForm(); // silent: the job has decided what is kept
        return;
    }
    const bool firstLoad = app.FirstLoadPending;
    // What the start-up's cache rebuilds reported (a missing vehicle, a bad file) is shown again
    // after the first load, which gives the pane to the node chosen.
    if (firstLoad) {
        AppendPane(*InformationMemo(), &startupReport_);
        ClearReport(InformationMemo());
    }
    UpdateControls();
    if (firstLoad) {
        SetBusy(true);
        if (MainPageIndex() == 1)
            LoadFirstTree();
        SetBusy(false);
        // Only now does the tree hold the focus again, which the pane follows.
        if (MainPageIndex() == 1)
            ShowSelectedNodeInfo();
    }
    // The Easy page is filled on the first tick; it loads the tree it needs itself.
    if (MainPageIndex() == 0)
        easyController_->EasyRefresh(-1);
    if (firstLoad) {
        AppendPane(startupReport_, InformationMemo());
        startupReport_.Clear();
        SavedActivityCheck([this] { Save1Click(ui->Save1); });
    }
}

void TMainForm::LoadFirstTree() {
    AppState& app = App();
    app.FirstLoadPending = false;
    if (ReadFlag(QStringLiteral("Start Blank")))
        return;
    const QString scenario = RegReadString(kProductKey, QStringLiteral("Default Scenario"));
    // A default scenario is checked as File > Open checks a file; one that is gone or refused
    // has been reported, and the tree then shows the MSTS configuration.
    if (!scenario.isEmpty() && IsReadableScenario(scenario)) {
        SetCurrentScenarioFile(scenario);
        LoadTree(scenario, nullptr, -1);
    } else {
        LoadTree(QString(), nullptr, -1);
        ReselectLastNode(tree_, app.LastTreeSelection);
    }
    UpdateControls();
    ShowSelectedNodeInfo();
}

} // namespace qv
