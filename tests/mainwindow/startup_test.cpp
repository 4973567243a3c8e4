// The main window's start-up on the offscreen platform, on a synthetic installation with a
// sandboxed registry: the first tick, "Start Blank", a command-line job, the locale override and a
// second copy of the program.
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/languages.h"
#include "core/regsettings.h"
#include "core/startupconfig.h"
#include "engine/fixedobjects.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "mainwindow/commandline.h"
#include "mainwindow/forms/mainform.h"
#include "mainwindow/forms/mainform_settings.h"
#include "platform/clock.h"
#include "platform/drivemap.h"
#include "platform/fakeui.h"
#include "platform/registry.h"
#include "platform/singleinstance.h"
#include "platform/winfind.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QScopeGuard>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QtCore/qtestsupport_core.h>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/file.h>
#include <tuple>
#include <unistd.h>

namespace qv {
namespace {

// A clock whose sleeps take no time; at its third sleep, another copy ends.
struct EndingClock : FakeClock {
    explicit EndingClock(std::function<void()> end) : end(std::move(end)) {}
    void SleepMs(int ms) override {
        FakeClock::SleepMs(ms);
        if (Sleeps() == 3)
            end();
    }
    std::function<void()> end;
};

class Startup : public ::testing::Test {
protected:
    Startup() {
        ResetAppState();
        App().ProgramFilePath = QStringLiteral("C:\\Program\\quarvel");
        builder.AddDefaultWagon();
        builder.AddRoute("ALPHA", "Alpha Line", "A");
        builder.AddRoute("BETA", "Beta Line", "B", {}, Into::Store);
        builder.AddActivity("ALPHA", "a1.act", "Morning Run", "s1.srv", QString());
        // Caches that exist let the splash close at once.
        for (const char* cache : {"CACHESTK.QVC", "CACHECON.QVC", "CACHEPAT.QVC"})
            drive.MakeFile(QStringLiteral("STORE/QVDATA/") + QLatin1String(cache),
                           "[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n");
        RegWriteString(kMstsKey, "Path", "C:\\MSTS");
        RegWriteString(kMstsKey, "EXE Path", "C:\\MSTS");
        Set("Store Path", "C:\\STORE");
        Set("Last Used MSTS Folder", "C:\\MSTS");
        Set("MSTS EXE Path", "C:\\MSTS\\TRAIN.EXE");
        Set("GoWithNoResource", "true");
        RegWriteStringAt(HKEY_CURRENT_USER, kLocaleOverrideKey, App().ProgramFilePath, "eng");
        SetFixedObjectsCheck(EnsureDefaultExclusions);
    }
    ~Startup() override {
        while (!forms.empty())
            forms.pop_back();
        SetFixedObjectsCheck({});
        ResetAppState();
    }

    static void Set(const char* name, const QString& value) {
        RegWriteString(kProductKey, QLatin1String(name), value);
    }
    static QString Setting(const char* name) {
        return RegReadString(kProductKey, QLatin1String(name));
    }
    // Starts a copy of the program's window: its first show runs the start-up.
    TMainForm& Start(const QString& argument = QString()) {
        forms.push_back(std::make_unique<TMainForm>(argument));
        forms.back()->show();
        return *forms.back();
    }
    static int Routes(TMainForm& form) {
        int routes = 0;
        for (const ItemNode* node = form.QuarvelObjects()->First(); node; node = node->GetNext())
            routes += (node->Data()->PType & PT_ROUTE) && !(node->Data()->PType & PT_HEADING);
        return routes;
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host("MSTS"), drive.Host("STORE")};
    FakeUi ui;
    std::vector<std::unique_ptr<TMainForm>> forms; // destroyed newest first
};

TEST_F(Startup, ReachesTheFirstTickWhichLoadsTheTreeOnce) {
    Set("Waiting Semaphore", "2");
    Set("Last Close", "45292.5"); // 1 January 2024, noon
    TMainForm& form = Start();
    ASSERT_FALSE(App().StartupAborted);
    EXPECT_EQ(form.windowTitle(), "Quarvel");
    EXPECT_EQ(Setting("Waiting Semaphore"), "0");
    EXPECT_EQ(App().LastCloseFileDate,
              std::uint32_t(PackDosDateTime(QDateTime(QDate(2024, 1, 1), QTime(12, 0)))));
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 1000);
    EXPECT_TRUE(App().FirstTickPending);
    EXPECT_EQ(Routes(form), 0);

    form.Timer1Timer();
    EXPECT_FALSE(App().FirstTickPending);
    EXPECT_FALSE(App().FirstLoadPending);
    EXPECT_FALSE(App().Busy);
    EXPECT_EQ(Routes(form), 2);

    // Later ticks load nothing: the store's route stays on the tree after it has gone.
    QDir(builder.HostPath("ROUTES", Into::Store)).removeRecursively();
    form.Timer1Timer();
    EXPECT_EQ(Routes(form), 2);
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

TEST_F(Startup, EasyPageStartFillsThePageFromTheTreeOnTheFirstTick) {
    for (const QString& argument : {QString(), QStringLiteral("-se"), QStringLiteral("-SA")}) {
        SCOPED_TRACE(argument.toStdString());
        Set("Last Main Page", argument.isEmpty() ? "0" : "1");
        TMainForm& form = Start(argument);
        ASSERT_FALSE(App().StartupAborted);
        ASSERT_EQ(form.MainPageIndex(), 0);
        form.Timer1Timer();
        EXPECT_EQ(Routes(form), 2) << "the Easy page lists the tree's routes";
        EXPECT_EQ(form.findChild<QListWidget*>("RoutesLstbx")->count(), 2);
        EXPECT_FALSE(App().FirstLoadPending);

        auto* pages = form.findChild<QTabWidget*>("MainPageControl");
        pages->setCurrentIndex(1);
        EXPECT_EQ(Routes(form), 2);
        EXPECT_FALSE(App().Busy);
        // Later showings keep the tree as it is.
        form.QuarvelObjects()->First()->Data()->Description = "kept";
        pages->setCurrentIndex(0);
        pages->setCurrentIndex(1);
        EXPECT_EQ(form.QuarvelObjects()->First()->Data()->Description, "kept");
        forms.clear();
    }
}

TEST_F(Startup, MissingDefaultScenarioIsReportedAndTheMstsConfigurationLoads) {
    Set("Default Scenario", "C:\\Scen\\gone.QVS");
    ui.Expect("C:\\Scen\\gone.QVS", ID_OK);
    TMainForm& form = Start();
    ASSERT_FALSE(App().StartupAborted);
    form.Timer1Timer();
    EXPECT_EQ(Routes(form), 2);
    EXPECT_EQ(form.CurrentScenarioFile(), "");
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_TRUE(ui.Shown()[0].text.startsWith(Caption(Msg::GENERAL_NOT_FOUND1)));
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join('\n').toStdString();
}

TEST_F(Startup, UnreadableLastCloseCountsAsMissing) {
    Set("Last Close", "yesterday");
    Start();
    EXPECT_FALSE(App().StartupAborted);
    EXPECT_EQ(App().LastCloseFileDate, 0u);
}

TEST_F(Startup, StartBlankLoadsNothingButStillChecksForSavedActivities) {
    Set("Start Blank", "true");
    Set("Last Close", "45292.5");
    drive.MakeFile("MSTS/SAVES/Player/a1.SAV");
    ui.Expect(Caption(Msg::ACTIVITY_SAVED1), ID_NO);
    TMainForm& form = Start();
    ASSERT_FALSE(App().StartupAborted);
    EXPECT_TRUE(form.Checked("StartBlank"));
    form.Timer1Timer();
    EXPECT_EQ(form.QuarvelObjects()->RootCount(), 0);
    ASSERT_FALSE(ui.Shown().empty());
    EXPECT_TRUE(ui.Shown().back().text.startsWith(Caption(Msg::ACTIVITY_SAVED1)));
    EXPECT_FALSE(App().FirstLoadPending);
}

TEST_F(Startup, CommandLineJobKeepsTheGeometryAndClosesWithoutASavePrompt) {
    Set("MSTS EXE Path", QString()); // the job is refused, and still counts as one
    Set("Show Save Warning", "true");
    const QStringList geometry = {"Last MainForm Top", "Last MainForm Left",
                                  "Last MainForm Maximized", "Last MainForm Width",
                                  "Last MainForm Height"};
    const QStringList kept = {"61", "73", "false", "931", "655"};
    for (int i = 0; i < geometry.size(); ++i)
        Set(geometry[i].toLatin1().constData(), kept[i]);
    ui.Expect(Caption(Msg::MSTS_EXE_PATH_NOT_SET_LEG), ID_OK);
    TMainForm& form = Start("C:\\Scen\\job.QVS");
    ASSERT_FALSE(App().StartupAborted);
    EXPECT_TRUE(App().CommandLineJob);
    EXPECT_NE(form.width(), 931);
    const std::size_t boxes = ui.Shown().size();

    App().ScenarioChanged = true;
    form.Timer1Timer();
    EXPECT_TRUE(App().SilentClose);
    // The close is queued: the tick's handler never runs on a freed tree.
    EXPECT_TRUE(form.isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(ui.Shown().size(), boxes); // no save question
    EXPECT_EQ(form.ExitStatus(), kJobFailedStatus) << "the refused job is told to its caller";
    EXPECT_EQ(form.QuarvelObjects()->RootCount(), 0);
    // The next normal start opens where the user left the window.
    for (int i = 0; i < geometry.size(); ++i)
        EXPECT_EQ(Setting(geometry[i].toLatin1().constData()), kept[i])
            << geometry[i].toStdString();
}

TEST_F(Startup, ARefusedStartEndsWithTheFailedStatus) {
    RegWriteString(kMstsKey, "Path", "C:\\GONE"); // a folder moved: refused
    EXPECT_EQ(Start().ExitStatus(), kJobFailedStatus);
}

TEST_F(Startup, WhatTheLastRunLeftIsShownInThePaneAfterTheFirstLoad) {
    const QString trk = builder.HostPath("ROUTES\\BETA\\B.trk", Into::Store);
    ASSERT_TRUE(QFile::rename(trk, QFileInfo(trk).path() + "/.qv-move-7-2-B.trk.tmp"));
    TMainForm& form = Start();
    form.Timer1Timer();
    EXPECT_TRUE(form.InformationMemo()->Lines().join('\n').contains("is back in its place"));
}

// A vehicle missing while the consist cache is rebuilt at start is reported in the pane, and the
// report is still there after the first tick has loaded either page.
TEST_F(Startup, ErrorsOfTheCacheRebuildStayInThePaneAfterTheFirstLoad) {
    builder.AddConsist("LOST.CON", "Lost Train", {{"GONEFOLDER", "GONEWAGON", false}});
    for (const char* page : {"1", "0"}) {
        SCOPED_TRACE(page);
        Set("Last Main Page", page);
        QFile::remove(drive.Host("STORE/QVDATA/CACHECON.QVC")); // rebuilt at start
        TMainForm& form = Start();
        ASSERT_FALSE(App().StartupAborted);
        const auto pane = [&form] { return form.InformationMemo()->Lines().join('\n'); };
        const qsizetype named = pane().count("GONEWAGON", Qt::CaseInsensitive);
        ASSERT_GT(named, 0) << pane().toStdString();
        form.Timer1Timer();
        EXPECT_EQ(pane().count("GONEWAGON", Qt::CaseInsensitive), named) << pane().toStdString();
        forms.clear();
    }
}

TEST_F(Startup, StoredTreeWidthIsMeasuredAgainstTheRestoredWindow) {
    struct Case {
        const char* maximized;
        int treeWidth;
    };
    // Both are too wide for the panes of the window's design size (760 wide, which leaves the
    // tree at most 364 beside the information pane); maximised, the window takes the screen's
    // 800, which leaves it 400.
    for (const Case c : {Case{"false", 900}, Case{"true", 390}}) {
        SCOPED_TRACE(c.maximized);
        Set("Last MainForm Maximized", c.maximized);
        Set("Last MainForm Width", "1400");
        Set("Last MainForm Height", "700");
        Set("Last MainForm Tree Width", QString::number(c.treeWidth));
        TMainForm& form = Start();
        ASSERT_FALSE(App().StartupAborted);
        QCoreApplication::processEvents();
        EXPECT_EQ(TreeWidth(form), c.treeWidth);
        EXPECT_EQ(Setting("Last MainForm Tree Width"), QString::number(c.treeWidth));
        forms.clear();
    }
}

TEST_F(Startup, MissingLocaleOverrideIsWrittenAndThisCopyGoesOn) {
    RegDeleteValueAt(HKEY_CURRENT_USER, kLocaleOverrideKey, App().ProgramFilePath);
    TMainForm& form = Start();
    EXPECT_FALSE(App().StartupAborted);
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(RegReadStringAt(HKEY_CURRENT_USER, kLocaleOverrideKey, App().ProgramFilePath), "eng");
    EXPECT_EQ(Setting("Waiting Semaphore"), "0");
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
}

TEST_F(Startup, LanguageMenuOffersEachLanguageAndItsCheckedItemReturnsToTheDefault) {
    TMainForm& form = Start();
    ASSERT_FALSE(App().StartupAborted);
    App().LanguageList.clear();
    for (const auto& [lcid, name, native] :
         {std::tuple{0x0407u, "German", "Deutsch"}, std::tuple{0x0809u, "English", "English"}})
        App().LanguageList.push_back(
            std::make_unique<LanguageSet>(LanguageSet{lcid, QString(), name, native, true}));
    form.BuildLanguageMenu();
    QMenu* menu = form.findChild<QMenu*>("LanguageMnu");
    ASSERT_EQ(menu->actions().size(), 2);
    QAction* german = menu->actions()[0];
    EXPECT_EQ(german->text(), "German/Deutsch");
    EXPECT_EQ(german->objectName(), "LangMnu0");
    EXPECT_EQ(german->property("Tag").toInt(), 0x0407);
    EXPECT_EQ(menu->actions()[1]->text(), "English");

    // A language whose module cannot be loaded changes nothing.
    german->trigger();
    EXPECT_FALSE(german->isChecked());
    EXPECT_EQ(Setting("Last Language"), "");

    // The checked item (the language "Last Language" names) goes back to the default.
    Set("Last Language", "1031");
    german->setChecked(true);
    german->trigger();
    EXPECT_FALSE(german->isChecked());
    EXPECT_EQ(Setting("Last Language"), "");
}

TEST_F(Startup, SecondCopyRaisesTheFirstAndEndsUnlessTheFirstWaitsOrRestarts) {
    TMainForm& first = Start();
    ASSERT_FALSE(App().StartupAborted);
    first.MinimiseApplication();

    Set("Waiting Semaphore", "1"); // the first copy waits for MSTS: left alone
    Start();
    EXPECT_TRUE(App().StartupAborted);
    QTest::qWait(200);
    EXPECT_TRUE(first.isMinimized());

    Set("Waiting Semaphore", "0");
    Start();
    EXPECT_TRUE(App().StartupAborted);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !first.isMinimized(); }, 5000));

    // The other copy is restarting itself: this one waits for it to end, then goes on.
    Set("Waiting Semaphore", "2");
    {
        EndingClock clock([&] { forms.front().reset(); });
        TMainForm& next = Start();
        EXPECT_FALSE(App().StartupAborted);
        EXPECT_TRUE(next.Timer1->isActive());
        EXPECT_EQ(clock.Sleeps(), 3);
    }
}

TEST_F(Startup, ACopyThatLosesTheClaimEndsAndItsJobDoesNotRun) {
    // Another process's copy has claimed and not yet listened; one whose stale "2" says it
    // restarts, but which runs on.
    QDir().mkpath(RegistryDir());
    const int other = ::open(QFile::encodeName(RunningCopyLockFile()).constData(),
                             O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(other, 0);
    const auto release = qScopeGuard([other] { ::close(other); });
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    const auto storedRoutes = [this] {
        return QDir(builder.HostPath("ROUTES", Into::Store))
            .entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    };
    const QStringList stored = storedRoutes();
    ASSERT_FALSE(stored.isEmpty());
    for (const char* semaphore : {"0", "2"}) {
        SCOPED_TRACE(semaphore);
        Set("Waiting Semaphore", semaphore);
        FakeClock clock;
        TMainForm& form = Start("-uc");
        EXPECT_TRUE(App().StartupAborted);
        EXPECT_EQ(form.ExitStatus(), kJobNotRunStatus);
        EXPECT_FALSE(form.Timer1->isActive());
        EXPECT_EQ(storedRoutes(), stored);
    }
}

} // namespace
} // namespace qv
