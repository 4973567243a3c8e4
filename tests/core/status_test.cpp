#include "core/appstate.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/status.h"
#include "platform/clock.h"
#include "platform/fakeui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <thread>

using namespace qv;

namespace {

// Counts what the services are asked to do that a headless run cannot show.
class CountingServices : public HeadlessMainServices {
public:
    void ProcessEvents() override { ++pumps; }
    void RepaintStatusBar() override { ++repaints; }
    int pumps = 0;
    int repaints = 0;
};

// Lowers the process's file size limit, so that writes past it fail as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, handler_);
    }

private:
    rlimit previous_{};
    void (*handler_)(int) = nullptr;
};

const QString kDate = QStringLiteral("Mon, 01, Jan 2024  at  12:00 PM");

class StatusTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        SetMainServices(&services);
        hadTmp_ = qEnvironmentVariableIsSet("TMPDIR");
        previousTmp_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", tmp.path().toLocal8Bit());
    }
    void TearDown() override {
        if (App().LoggingActive)
            ToggleLogging(nullptr);
        if (hadTmp_)
            qputenv("TMPDIR", previousTmp_);
        else
            qunsetenv("TMPDIR");
        SetMainServices(nullptr);
    }
    QStringList TempFiles() const { return QDir(tmp.path()).entryList(QDir::Files); }

    QTemporaryDir tmp;
    FakeClock clock;
    FakeUi ui;
    CountingServices services;
    ReportPane* pane = services.InformationMemo();

private:
    bool hadTmp_ = false;
    QByteArray previousTmp_;
};

// The Routes heading with two routes, each with an Activities group of two activities.
struct RouteTree {
    RouteTree(int routeState, int activityState) {
        heading = tree.AddRoot(Record(PT_ROUTES_ROOT, 0, SI_HEADING));
        for (ItemNode*& route : routes) {
            route = heading->AddChild(Record(PT_ROUTE, 1, routeState));
            ItemNode* group = route->AddChild(Record(PT_ACTIVITIES_GROUP, 2, SI_HEADING));
            group->AddChild(Record(PT_ACTIVITY, 3, activityState));
            group->AddChild(Record(PT_ACTIVITY, 3, activityState));
        }
    }
    static std::unique_ptr<ItemSet> Record(std::uint32_t type, int level, int storeInd) {
        return std::make_unique<ItemSet>(ItemSet{level, type, storeInd, {}, {}, {}, {}, {}});
    }
    ItemNode* Activity(int route, int index) const { return routes[route]->Child(0)->Child(index); }
    ItemTree tree;
    ItemNode* heading = nullptr;
    ItemNode* routes[2] = {};
};

} // namespace

TEST_F(StatusTest, StatusStack_NestedJobsShowTheOuterCodeAgainAndPopEmptiesTheDetail) {
    {
        StatusGuard outer(QStringLiteral("SURVEY"));
        {
            StatusGuard inner(QStringLiteral("CONS"));
            SetStatusDetail(QStringLiteral("Reading 'a.con'"));
            EXPECT_EQ(services.StatusText(0), "CONS");
        }
        EXPECT_EQ(services.StatusText(0), "SURVEY");
        EXPECT_EQ(services.StatusText(1), "");
    }
    EXPECT_TRUE(App().StatusCodeStack.isEmpty());
    SetStatusDetail(QStringLiteral("detail"));
    PopStatus(); // on the empty stack
    EXPECT_TRUE(App().StatusCodeStack.isEmpty());
    EXPECT_EQ(services.StatusText(0), "");
    EXPECT_EQ(services.StatusText(1), "");
}

TEST_F(StatusTest, Busy_LocksTheControlsAndPumpsAndPaintsAtMostEvery30Ms) {
    PumpMessagesIfBusy();
    EXPECT_EQ(services.pumps, 0) << "no pump while not busy";
    SetBusy(true);
    EXPECT_FALSE(services.BusyControlsEnabled());
    for (int i = 0; i < 100; ++i) {
        PumpMessagesIfBusy();
        ShowReadStatus(Msg::REPORT_HEADER, QString::number(i));
    }
    EXPECT_EQ(services.StatusText(1), "Report/Error/Warning List '99'");
    clock.Advance(29);
    PumpMessagesIfBusy();
    LogStatus();
    EXPECT_EQ(services.pumps, 1);
    EXPECT_EQ(services.repaints, 1);
    clock.Advance(1);
    PumpMessagesIfBusy();
    LogStatus();
    EXPECT_EQ(services.pumps, 2);
    EXPECT_EQ(services.repaints, 2);
    SetBusy(false);
    EXPECT_TRUE(services.BusyControlsEnabled());
}

// Work on a thread of its own under QuietStatus leaves what the main thread shows, logs and
// pumps as it was, while the main thread's own texts still show.
TEST_F(StatusTest, QuietStatus_AThreadOfItsOwnShowsLogsAndPumpsNothing) {
    SetBusy(true);
    ToggleLogging(nullptr);
    StatusGuard job(QStringLiteral("FSTK"));
    SetStatusDetail(QStringLiteral("main"));
    clock.Advance(100);
    const int pumps = services.pumps;
    const int repaints = services.repaints;
    bool due = true;
    std::thread quiet([&] {
        const QuietStatus quietHere;
        StatusGuard code(QStringLiteral("CONS"));
        SetStatusDetail(QStringLiteral("ahead"));
        ShowReadStatus(Msg::REPORT_HEADER, QStringLiteral("x"));
        due = StatusTextDue();
        PumpMessagesIfBusy();
    });
    quiet.join();
    EXPECT_FALSE(due);
    EXPECT_EQ(services.pumps, pumps);
    EXPECT_EQ(services.repaints, repaints);
    EXPECT_EQ(App().StatusCodeStack, QStringList{QStringLiteral("FSTK")});
    EXPECT_EQ(services.StatusText(0), "FSTK");
    EXPECT_EQ(services.StatusText(1), "main");
    ToggleLogging(pane);
    const QString log = pane->Lines().join(u'\n');
    EXPECT_FALSE(log.contains(QStringLiteral("ahead")));
    EXPECT_FALSE(log.contains(QStringLiteral("CONS")));
    EXPECT_TRUE(log.contains(QStringLiteral("FSTK: main")));
    PumpMessagesIfBusy();
    EXPECT_EQ(services.pumps, pumps + 1) << "the main thread still pumps";
    SetBusy(false);
}

// Loops over tens of thousands of files make a read text only when the status bar would repaint
// to show it, while the log, when kept, still takes every one; without the guard every text shows.
TEST_F(StatusTest, ThrottledReadStatus_MakesReadTextsOnlyWhenTheBarRepaintsOrTheLogTakesThem) {
    const auto readTexts = [this](int from) {
        for (int i = from; i < from + 50; ++i)
            ShowReadStatus(Msg::REPORT_HEADER, QString::number(i));
    };
    {
        const ThrottledReadStatus throttled;
        readTexts(0);
        EXPECT_EQ(services.StatusText(1), "Report/Error/Warning List '0'");
        clock.Advance(30);
        readTexts(100);
        EXPECT_EQ(services.StatusText(1), "Report/Error/Warning List '100'");
        EXPECT_EQ(services.repaints, 2);

        ToggleLogging(nullptr);
        readTexts(200);
        EXPECT_EQ(services.StatusText(1), "Report/Error/Warning List '249'");
        ToggleLogging(pane);
        EXPECT_EQ(pane->Lines().join(u'\n').count("List '2"), 50);
    }
    readTexts(300);
    EXPECT_EQ(services.StatusText(1), "Report/Error/Warning List '349'");
}

TEST_F(StatusTest, ToggleLogging_TwiceLeavesThePaneHoldingTheLogAndDeletesItsFile) {
    ToggleLogging(pane);
    ASSERT_TRUE(App().LoggingActive);
    const QString name = App().LogFileName;
    EXPECT_EQ(TempFiles(), QStringList({QFileInfo(name).fileName()}));
    EXPECT_TRUE(QFileInfo(name).fileName().startsWith("QV"));
    EXPECT_EQ(pane->Lines(), QStringList({"Logging Started on " + kDate}));

    PushStatus(QStringLiteral("SURVEY"));
    SetStatusDetail(QStringLiteral("Route 'A'"));
    Report(RL_ERROR, nullptr, QStringLiteral("broken"), pane); // its heading is not logged
    PopStatus();
    ToggleLogging(pane);

    EXPECT_FALSE(App().LoggingActive);
    EXPECT_TRUE(App().LogFileName.isEmpty());
    EXPECT_TRUE(TempFiles().isEmpty());
    EXPECT_EQ(pane->Lines(),
              QStringList({"Logging Started on " + kDate, "SURVEY: ", "SURVEY: Route 'A'",
                           "Error: - Item No. 1", "broken", "", "", "Logging Ended on " + kDate}));
    EXPECT_TRUE(ui.Shown().empty());
}

TEST_F(StatusTest, LogWrite_FailureStopsLoggingWithItsMessageAndKeepsTheLine) {
    ToggleLogging(pane);
    ASSERT_TRUE(App().LoggingActive);
    {
        FileSizeLimit full(rlim_t(QFileInfo(App().LogFileName).size()));
        AppendRichEditLines(pane, QStringLiteral("lost line"), false);
    }
    ASSERT_EQ(ui.Shown().size(), 2u);
    EXPECT_EQ(ui.Shown()[0].text, "LogFile Write Error - Logging Stopped");
    EXPECT_EQ(ui.Shown()[1].text, "LogFile Close Error");
    EXPECT_EQ(ui.Shown()[0].caption, "Quarvel");
    EXPECT_EQ(ui.Shown()[0].style, 48);
    EXPECT_FALSE(App().LoggingActive);
    EXPECT_TRUE(TempFiles().isEmpty());
    EXPECT_EQ(pane->Lines(), QStringList({"Logging Started on " + kDate, "lost line"}));
}

TEST_F(StatusTest, ToggleLogging_StartFailureLeavesLoggingOffAndNoFileBehind) {
    {
        FileSizeLimit full(0);
        ToggleLogging(pane);
    }
    EXPECT_TRUE(TempFiles().isEmpty());
    qputenv("TMPDIR", (tmp.path() + "/missing").toLocal8Bit());
    ToggleLogging(pane);
    EXPECT_FALSE(App().LoggingActive);
    EXPECT_TRUE(App().LogFileName.isEmpty());
    EXPECT_EQ(pane->LineCount(), 0);
    ASSERT_EQ(ui.Shown().size(), 2u);
    EXPECT_EQ(ui.Shown()[0].text, "LogFile Open Error");
    EXPECT_EQ(ui.Shown()[1].text, "LogFile Open Error");
}

TEST_F(StatusTest, SetActivityNodeState_UnstoringPutsAStoredRouteInUseStoringNeverTouchesIt) {
    RouteTree t(SI_IN_STORE, SI_IN_STORE);
    App().TreeSynchronised = true;
    SetActivityNodeState(t.Activity(0, 1), SI_IN_USE);
    EXPECT_EQ(t.Activity(0, 1)->StateIndex, SI_IN_USE);
    EXPECT_EQ(t.routes[0]->Data()->StoreInd, SI_IN_USE);
    EXPECT_EQ(t.routes[0]->StateIndex, SI_IN_USE);
    EXPECT_EQ(t.Activity(0, 0)->Data()->StoreInd, SI_IN_STORE);
    EXPECT_FALSE(App().TreeSynchronised);
    EXPECT_TRUE(App().ScenarioChanged);

    SetActivityNodeState(t.Activity(0, 1), SI_IN_STORE);
    EXPECT_EQ(t.routes[0]->Data()->StoreInd, SI_IN_USE);
    SetActivityNodeState(t.routes[1]->Child(0), SI_IN_USE); // the Activities group
    EXPECT_EQ(t.Activity(1, 0)->Data()->StoreInd, SI_IN_USE);
    EXPECT_EQ(t.Activity(1, 1)->Data()->StoreInd, SI_IN_USE);
    EXPECT_EQ(t.routes[1]->Child(0)->Data()->StoreInd, SI_HEADING);
}

TEST_F(StatusTest, SetActivityNodeState_OnlyAnActivityAtTheActivityLevelBringsItsRouteBack) {
    // Level 3 is an activity below its route's Activities group; the same record elsewhere in
    // the tree has no route two levels up to bring back.
    for (const int level : {2, 3, 4}) {
        SCOPED_TRACE(level);
        RouteTree t(SI_IN_STORE, SI_IN_STORE);
        t.Activity(0, 0)->Data()->PLevel = level;
        SetActivityNodeState(t.Activity(0, 0), SI_IN_USE);
        EXPECT_EQ(t.Activity(0, 0)->Data()->StoreInd, SI_IN_USE);
        EXPECT_EQ(t.routes[0]->Data()->StoreInd, level == 3 ? SI_IN_USE : SI_IN_STORE);
    }
}

TEST_F(StatusTest, SetRouteNodeState_CarriesEveryActivityAndTheHeadingEveryRoute) {
    RouteTree t(SI_IN_USE, SI_IN_USE);
    SetRouteNodeState(t.routes[1], SI_IN_STORE);
    EXPECT_EQ(t.routes[1]->StateIndex, SI_IN_STORE);
    EXPECT_EQ(t.Activity(1, 0)->Data()->StoreInd, SI_IN_STORE);
    EXPECT_EQ(t.Activity(1, 1)->StateIndex, SI_IN_STORE);
    EXPECT_EQ(t.routes[0]->Data()->StoreInd, SI_IN_USE);

    SetRouteNodeState(t.Activity(0, 0), SI_IN_STORE); // not a route
    EXPECT_EQ(t.Activity(0, 0)->Data()->StoreInd, SI_IN_USE);

    SetRouteNodeState(t.heading, SI_IN_STORE);
    EXPECT_EQ(t.heading->Data()->StoreInd, SI_HEADING);
    EXPECT_EQ(t.routes[0]->Data()->StoreInd, SI_IN_STORE);
    EXPECT_EQ(t.Activity(0, 1)->Data()->StoreInd, SI_IN_STORE);
}
