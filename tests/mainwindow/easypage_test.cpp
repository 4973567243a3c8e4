// The Easy page of the main window on a synthetic installation, with the store job replaced by a
// recorder: choosing a route fills the lists of the tab shown, Run marks the activity alone in
// use, and Explore needs a consist and an end point. Also the page's proportional layout and the
// checks applied to the stored window place, tree width and locomotive choice.
#include "mainwindow/forms/easycontroller.h"

#include "core/appstate.h"
#include "core/filemove.h"
#include "core/forms/fixeddefs.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "core/reportpane.h"
#include "easy/activityfilegen.h"
#include "easy/exploresaves.h"
#include "easy/explorestate.h"
#include "engine/fixedobjects.h"
#include "engine/storecommand.h"
#include "fixtures/acewriter.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "mainwindow/forms/mainform.h"
#include "mainwindow/forms/mainform_settings.h"
#include "mainwindow/windowplace.h"
#include "platform/fakeui.h"
#include "platform/mstsfile.h"
#include "platform/terminate.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QThreadPool>
#include <QTimeEdit>
#include <gtest/gtest.h>

using namespace qv;

namespace {

class EasyPageTest : public ::testing::Test {
protected:
    EasyPageTest() {
        ResetAppState();
        ResetEasyPageState();
        ResetExploreState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        SetUi(&ui);
        builder.AddDefaultWagon();
        EXPECT_TRUE(EnsureDefaultExclusions());
        builder.AddEngine("DASH9", "DASH9.ENG", "Dash 9", EngineType::Diesel);
        builder.AddConsist("FREIGHT.CON", "Freight One", {{"DASH9", "DASH9", true}});
        builder.AddConsist("EXTRA.CON", "Extra", {{"DASH9", "DASH9", true}});
        builder.AddRoute("ALPHA", "Alpha Line", "A");
        builder.AddRoute("BETA", "Beta Line", "B", {}, Into::Store);
        builder.AddPath("ALPHA", "up.pat", "Up Path", "Here", "There");
        builder.AddService("ALPHA", "s1.srv", "Service One", "FREIGHT", "up");
        builder.AddService("ALPHA", "s2.srv", "Service Two", "EXTRA", "up");
        builder.AddTraffic("ALPHA", "t.trf", "Traffic", {"s2"});
        builder.AddActivity("ALPHA", "a1.act", "Morning Run", "s1.srv", "t.trf");
        WriteFlag(true, QStringLiteral("Easy Suppress MSTS Launch"));
        form = std::make_unique<TMainForm>(QStringLiteral("-ss"));
        LoadSettings(*form); // the Easy page's combos get their items
        form->LoadTree(QString(), nullptr, -1);
        SetStoreUnstoreDriverForTests(
            [this](bool, bool, bool, bool, bool, bool silent, const QString&) {
                const ItemSet* selected = form->QuarvelObjects()->Selected()->Data();
                jobs << QStringLiteral("%1 %2").arg(silent).arg(selected->Description);
                return true;
            });
    }
    ~EasyPageTest() override {
        SetStoreUnstoreDriverForTests({});
        form.reset();
        SetTerminateHook(previousTerminate);
        SetUi(nullptr);
        ResetExploreState();
        ResetEasyPageState();
        ResetAppState();
    }

    template <class T> T* C(const char* name) {
        T* control = form->findChild<T*>(QString::fromLatin1(name));
        if (!control)
            ADD_FAILURE() << "no component " << name;
        return control;
    }
    // Shows the Easy page on a tab and chooses a route row.
    void ShowRoute(int tab, const QString& route) {
        form->SetMainPageIndex(0);
        form->SetActivityExplorePageIndex(tab);
        form->EasyControls()->EasyRefresh(-1);
        SetRow("RoutesLstbx", route);
        form->EasyControls()->RoutesLstbxClick();
    }

    // Chooses the Alpha route's Morning Run and keeps a session of it with its save file, as a
    // session that was run leaves it.
    bool MakeSavedSession() {
        ShowRoute(1, "Alpha Line");
        SetRow(C<QComboBox>("ConsistTrafficCmbx"), "Morning Run");
        ExploreActivitySaveInfo& record = Explore().CurrentExploreRecord;
        record.ConsistFileName = "FREIGHT.CON";
        record.PlayerPathFileName = "ROUTES\\ALPHA\\PATHS\\up.pat";
        if (!AllocateExploreSaveNumber(record))
            return false;
        drive.MakeFile("MSTS/SAVES/ALPHA/QV_~TEMP" + QString::number(record.SaveNumber) + "_a.sav");
        return true;
    }
    // Chooses a row by the program alone, as a fill or another command would.
    void SetRow(const char* list, const QString& text) {
        auto* widget = C<QListWidget>(list);
        const auto found = widget->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        widget->setCurrentItem(found.first());
    }
    void SetRow(QComboBox* combo, const QString& text) {
        const int row = combo->findText(text);
        ASSERT_GE(row, 0) << text.toStdString();
        combo->setCurrentIndex(row);
    }
    // The tree and the consist list read again after files were added to the installation.
    void Reload() {
        form->LoadTree(QString(), nullptr, -1);
        ClearTypedList(RK_ITEMSET, App().ConsistCacheList);
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host("MSTS"), drive.Host("STORE")};
    FakeUi ui;
    // Shown, the form runs a start-up refused here (MSTS has no key); the test goes on.
    const TerminateHook previousTerminate = SetTerminateHook([](int) {});
    TFixedDefsForm pictures;
    std::unique_ptr<TMainForm> form;
    QStringList jobs;
};

} // namespace

TEST_F(EasyPageTest, RunTab_ShowsTheActivityAndRunsItAloneInUse) {
    ShowRoute(0, "Alpha Line");
    EXPECT_EQ(C<QListWidget>("RoutesLstbx")->count(), 2);
    EXPECT_EQ(C<QListWidget>("ActivitiesLstbx")->count(), 1);
    EXPECT_EQ(C<QLineEdit>("LocomotiveUsedTxt")->text(), "Dash 9");
    EXPECT_EQ(C<QLineEdit>("ConsistUsedTxt")->text(), "Freight One");
    EXPECT_EQ(C<QLineEdit>("ConsistUsedTxt")->cursorPosition(), 0) << "a long name shows its start";
    for (const char* box : {"LocomotiveUsedTxt", "ConsistUsedTxt"}) // a long name is read whole
        EXPECT_EQ(C<QLineEdit>(box)->toolTip(), C<QLineEdit>(box)->text()) << box;
    EXPECT_EQ(C<QLabel>("PathFromLbl")->text(), "Here");
    ASSERT_TRUE(C<QAbstractButton>("RunActivityBtn")->isEnabled());
    EXPECT_TRUE(C<QAbstractButton>("ShowActConsistBtn")->isEnabled());

    form->EasyControls()->RunActivityBtnClick();
    EXPECT_EQ(jobs, (QStringList{"0 Morning Run"}));
    for (ItemNode* node = form->QuarvelObjects()->First(); node; node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if (item.Description == "Beta Line") {
            EXPECT_EQ(item.StoreInd, SI_IN_STORE);
        } else if (item.Description == "Morning Run" || item.Description == "Alpha Line") {
            EXPECT_EQ(item.StoreInd, SI_IN_USE);
        }
    }
}

TEST_F(EasyPageTest, ExploreTab_RefusedWithoutAnEndPointLaunchedWithOne) {
    ShowRoute(1, "Alpha Line");
    EXPECT_EQ(C<QListWidget>("LocomotivesLstbx")->count(), 1);
    EXPECT_EQ(C<QComboBox>("ConsistsCmbx")->count(), 2);
    EXPECT_EQ(C<QComboBox>("FromCmbx")->currentText(), "Here");
    EXPECT_EQ(C<QComboBox>("ToCmbx")->currentText(), "There");
    EXPECT_EQ(C<QComboBox>("ConsistTrafficCmbx")->count(), 2) << "blank row and Morning Run";
    form->UpdateControls();
    EXPECT_TRUE(C<QAbstractButton>("ExploreBtn")->isEnabled());

    C<QComboBox>("ToCmbx")->clear();
    form->UpdateControls();
    EXPECT_FALSE(C<QAbstractButton>("ExploreBtn")->isEnabled());
    form->EasyControls()->ExploreBtnClick();
    EXPECT_TRUE(jobs.isEmpty()) << "no path, no launch";

    form->EasyControls()->FromCmbxSelect();
    C<QComboBox>("ConsistsCmbx")
        ->setCurrentIndex(C<QComboBox>("ConsistsCmbx")->findText("Freight One"));
    form->EasyControls()->ExploreBtnClick();
    ASSERT_EQ(jobs.size(), 1);
    EXPECT_EQ(jobs.first(), "1 Morning Run") << "the one activity is unstored, silently";
    EXPECT_EQ(Explore().CurrentExploreRecord.ConsistFileName.toUpper(), "FREIGHT.CON");
    EXPECT_TRUE(
        Explore().CurrentExploreRecord.PlayerPathFileName.endsWith("up.pat", Qt::CaseInsensitive));
}

// Rebuild Cache Files refills the lists behind the page's rows: the route shown keeps its
// choices, in rows that point into the new lists; a page showing no route drops its rows, and
// Explore is offered no more.
TEST_F(EasyPageTest, CacheRebuild_TheRowsPointIntoTheNewListsWithTheSameChoices) {
    ShowRoute(1, "Alpha Line");
    auto* consists = C<QComboBox>("ConsistsCmbx");
    consists->setCurrentIndex(consists->findText("Freight One"));
    ASSERT_TRUE(C<QAbstractButton>("ExploreBtn")->isEnabled());
    C<QAction>("RebuildCachesMnu")->trigger();
    const int consist = form->EasyControls()->ChosenConsist();
    ASSERT_GE(consist, 0);
    EXPECT_EQ(App().ConsistCacheList[std::size_t(consist)]->FileName.toUpper(), "FREIGHT.CON");
    EXPECT_EQ(consists->currentText(), "Freight One");
    const int to = form->EasyControls()->ChosenToPath();
    ASSERT_GE(to, 0);
    EXPECT_EQ(App().PathCacheList[std::size_t(to)]->FileName.toLower(), "up.pat");
    EXPECT_TRUE(C<QAbstractButton>("ShowExpConsistBtn")->isEnabled());
    EXPECT_TRUE(C<QAbstractButton>("ExploreBtn")->isEnabled());

    form->SetMainPageIndex(1);
    form->EasyControls()->CacheListsRefilled();
    EXPECT_EQ(form->EasyControls()->ChosenConsist(), -1);
    EXPECT_FALSE(C<QAbstractButton>("ShowExpConsistBtn")->isEnabled()) << "nothing to show";
    EXPECT_EQ(form->EasyControls()->ChosenToPath(), -1);
    EXPECT_EQ(C<QListWidget>("LocomotivesLstbx")->count(), 0);
    EXPECT_FALSE(C<QAbstractButton>("ExploreBtn")->isEnabled()) << "nothing to launch with";
}

TEST(EasyLayout, ProportionalWithAndWithoutThePicture) {
    const struct {
        int ppi;
        bool picture;
        int height, pagesMinHeight;
        int margin, labelWidth;
        QRect routes, pages;
        int pagesMinWidth = 0; // the pages' controls need more than their share
    } cases[] = {
        {96, false, 600, 300, 5, 130, QRect(0, 0, 450, 600), QRect(450, 0, 450, 600)},
        {120, false, 600, 300, 6, 162, QRect(0, 0, 450, 600), QRect(450, 0, 450, 600)},
        // Routes: 36% wide centred at 22.5%; pages: 44% wide centred at 72%.
        {96, true, 600, 300, 5, 130, QRect(40, 40, 324, 520), QRect(450, 40, 396, 520)},
        {120, true, 600, 300, 6, 162, QRect(40, 40, 324, 520), QRect(450, 40, 396, 520)},
        // A routes panel lower than the pages need: the pages take the whole height less 10.
        {96, true, 300, 400, 5, 130, QRect(40, 40, 324, 220), QRect(450, 5, 396, 290)},
        {96, false, 600, 300, 5, 130, QRect(0, 0, 400, 600), QRect(400, 0, 500, 600), 500},
        {96, true, 600, 300, 5, 130, QRect(40, 40, 324, 520), QRect(398, 40, 500, 520), 500},
        {96, true, 600, 300, 5, 130, QRect(40, 40, 324, 520), QRect(0, 40, 900, 520), 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ppi << (c.picture ? " picture " : " ") << c.height);
        EasyLayoutInput in;
        in.TabWidth = 900;
        in.BackgroundHeight = c.height;
        in.DesignTop = 40;
        in.DesignGap = 40;
        in.PageControlMinHeight = c.pagesMinHeight;
        in.PageControlMinWidth = c.pagesMinWidth;
        in.PixelsPerInch = c.ppi;
        in.PictureShown = c.picture;
        const EasyLayout out = ComputeEasyLayout(in);
        EXPECT_EQ(out.Margin, c.margin);
        EXPECT_EQ(out.DepartureLabelWidth, c.labelWidth);
        EXPECT_EQ(out.RoutesPnl, c.routes);
        EXPECT_EQ(out.ActivityExplorePageCntrl, c.pages);
    }
}

TEST(WindowPlace, StoredValuesCheckedAgainstWhatIsThereNow) {
    const QList<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const struct {
        QRect window;
        QPoint place;
    } places[] = {
        {QRect(100, 100, 760, 577), QPoint(100, 100)},
        {QRect(2000, 50, 760, 577), QPoint(2000, 50)},    // on the second screen
        {QRect(-700, 10, 760, 577), QPoint(-700, 10)},    // a grip of the title bar shows
        {QRect(5000, 3000, 760, 577), QPoint(1160, 503)}, // a screen that is gone
        {QRect(200, -400, 760, 577), QPoint(200, 0)},     // title bar above the screen
    };
    for (const auto& p : places)
        EXPECT_EQ(VisibleWindowPlace(p.window, screens), p.place) << p.window.x();

    const struct {
        int stored, expected;
    } widths[] = {{267, 267}, {0, -1}, {-5, -1}, {1000, -1}, {680, 680}, {681, -1}};
    for (const auto& w : widths)
        EXPECT_EQ(UsableTreeWidth(w.stored, 760, 80), w.expected) << w.stored;

    for (const auto& [stored, index] : {std::pair{0, 0}, {3, 3}, {4, 0}, {-1, 0}, {99, 0}})
        EXPECT_EQ(UsableAllLocosIndex(stored), index) << stored;
}

TEST_F(EasyPageTest, Settings_BadStoredValuesAreNotApplied) {
    form->resize(760, 577);
    RegWriteString(kProductKey, "All Locos Index", "7");
    RegWriteString(kProductKey, "Last MainForm Tree Width", "5000");
    LoadSettings(*form);
    EXPECT_EQ(C<QComboBox>("AllLocomotivesCmbx")->count(), 4);
    EXPECT_EQ(C<QComboBox>("AllLocomotivesCmbx")->currentIndex(), 0);
    EXPECT_EQ(C<QComboBox>("SeasonCmbx")->itemText(3), "Winter");
    EXPECT_EQ(C<QComboBox>("WeatherCmbx")->count(), 3);

    const int before = TreeWidth(*form);
    RestoreMainFormGeometry(*form);
    EXPECT_EQ(TreeWidth(*form), before) << "a tree wider than the window is not applied";
    EXPECT_FALSE(ApplyTreeWidth(*form, 0, true));
    EXPECT_EQ(RegReadString(kProductKey, "Last MainForm Tree Width"), "5000");
    EXPECT_TRUE(ApplyTreeWidth(*form, 200, true));
    EXPECT_EQ(RegReadString(kProductKey, "Last MainForm Tree Width"), "200");

    RegWriteString(kProductKey, "All Locos Index", "2");
    LoadSettings(*form);
    EXPECT_EQ(C<QComboBox>("AllLocomotivesCmbx")->currentIndex(), 2);
}

TEST_F(EasyPageTest, RoutePicture_ShownFromItsAceFileLeavingNoTemporaryFile) {
    QTemporaryDir temp;
    const QByteArray savedTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", temp.path().toLocal8Bit());
    QFile picture(builder.HostPath("ROUTES\\ALPHA") + "/load.ace");
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.write(AceFileFromRgb(4, 2, QByteArray(24, char(200))));
    picture.close();
    App().PictureLibraryAvailable = true;

    ShowRoute(0, "Alpha Line");
    auto* background = C<QLabel>("EasyBackground");
    // Decoded on another thread: the click is over before the picture is shown.
    EXPECT_TRUE(form->EasyControls()->RoutePictureComing());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->EasyControls()->RoutePictureComing(); }));
    EXPECT_TRUE(EasyPage().RouteImageShown);
    EXPECT_EQ(background->pixmap().size(), QSize(4, 2));
    EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files).isEmpty());

    // A route whose picture is missing puts the default background back.
    auto* routes = C<QListWidget>("RoutesLstbx");
    routes->setCurrentItem(routes->findItems("Beta Line", Qt::MatchExactly).first());
    form->EasyControls()->RoutesLstbxClick();
    EXPECT_FALSE(EasyPage().RouteImageShown);
    EXPECT_TRUE(background->pixmap().isNull());

    // Passing over a route with the arrow keys: its picture, still decoding when the next route
    // is chosen, never shows under that one.
    const int beta = routes->currentRow();
    QTest::keyClick(routes, Qt::Key_Up);
    EXPECT_TRUE(form->EasyControls()->RoutePictureComing());
    QTest::keyClick(routes, Qt::Key_Down);
    EXPECT_EQ(routes->currentRow(), beta);
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_FALSE(EasyPage().RouteImageShown);
    EXPECT_TRUE(background->pixmap().isNull());

    // With "Easy Suppress Image" no route picture is loaded.
    App().EasySuppressImage = true;
    routes->setCurrentItem(routes->findItems("Alpha Line", Qt::MatchExactly).first());
    form->EasyControls()->RoutesLstbxClick();
    EXPECT_FALSE(EasyPage().RouteImageShown);
    qputenv("TMPDIR", savedTemp);
}

TEST_F(EasyPageTest, MaintenanceTree_OfferedForSavingBeforeTheEasyPageReloadsIt) {
    form->SetSimulationMaintPageIndex(1);
    form->SetCurrentScenarioFile("C:\\Scen\\work.QVS");
    App().ScenarioChanged = true;
    const QString question = "Do you want to save the scenario changes you made";

    ui.Expect(question, ID_CANCEL);
    form->SetMainPageIndex(0);
    form->EasyControls()->EasyRefresh(-1);
    EXPECT_EQ(form->MainPageIndex(), 1) << "Cancel keeps the Maintenance tree";
    EXPECT_EQ(form->SimulationMaintPageIndex(), 1);
    EXPECT_EQ(C<QListWidget>("RoutesLstbx")->count(), 0);

    ui.Expect(question, ID_NO);
    form->SetMainPageIndex(0);
    form->EasyControls()->EasyRefresh(-1);
    EXPECT_EQ(form->SimulationMaintPageIndex(), 0);
    EXPECT_EQ(form->CurrentScenarioFile(), QString());
    EXPECT_EQ(C<QListWidget>("RoutesLstbx")->count(), 2);
    EXPECT_EQ(ui.PendingExpectations(), 0);
}

TEST_F(EasyPageTest, Lists_FollowTheRouteTheProgramChooses) {
    builder.AddPath("BETA", "b.pat", "B Path", "North", "South", true, Into::Store);
    builder.AddService("BETA", "b1.srv", "Service B", "FREIGHT", "b", Into::Store);
    builder.AddActivity("BETA", "b1.act", "Beta Run", "b1.srv", "", {}, Into::Store);
    Reload();
    // On each tab another route chosen by the program shows its own activity and start point,
    // and Run and Explore use them.
    ShowRoute(0, "Alpha Line");
    SetRow("RoutesLstbx", "Beta Line");
    ASSERT_EQ(C<QListWidget>("ActivitiesLstbx")->count(), 1);
    EXPECT_EQ(C<QLabel>("PathFromLbl")->text(), "North");
    form->EasyControls()->RunActivityBtnClick();
    EXPECT_EQ(jobs, (QStringList{"0 Beta Run"}));

    ShowRoute(1, "Alpha Line");
    SetRow("RoutesLstbx", "Beta Line");
    EXPECT_EQ(C<QComboBox>("ToCmbx")->currentText(), "South");
    form->EasyControls()->ExploreBtnClick();
    EXPECT_TRUE(Explore().CurrentExploreRecord.PlayerPathFileName.startsWith("Routes\\BETA\\",
                                                                             Qt::CaseInsensitive));
}

TEST_F(EasyPageTest, RunTab_PathFileInAnyLetterCaseRunsAndTheFieldsShowTheirReports) {
    // The activity names its path "down"; the file on disk is DOWN.PAT.
    builder.AddPath("ALPHA", "DOWN.PAT", "Down Path", "There", "Here");
    builder.AddService("ALPHA", "s3.srv", "Service Three", "EXTRA", "down");
    builder.AddActivity("ALPHA", "a3.act", "Evening Run", "s3.srv", "");
    builder.AddActivity("ALPHA", "a5.act", "Broken Run", "none.srv", "");
    Reload();
    ShowRoute(0, "Alpha Line");
    SetRow("ActivitiesLstbx", "Evening Run");
    form->EasyControls()->ActivitiesLstbxClick();
    EXPECT_EQ(C<QLabel>("PathFromLbl")->text(), "There");
    EXPECT_TRUE(C<QAbstractButton>("RunActivityBtn")->isEnabled());

    // A click on the consist or locomotive field describes it in the activity's pane.
    for (const auto& [name, shown] :
         {std::pair{"ConsistUsedTxt", "EXTRA.CON"}, std::pair{"LocomotiveUsedTxt", "DASH9.ENG"}}) {
        QWidget* field = C<QWidget>(name);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            const bool down = type == QEvent::MouseButtonPress;
            QMouseEvent click(type, QPointF(2, 2), field->mapToGlobal(QPointF(2, 2)),
                              Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton, {});
            QApplication::sendEvent(field, &click);
        }
        const QString details = C<QTextEdit>("ActivityDetails")->toPlainText();
        EXPECT_TRUE(details.contains(shown, Qt::CaseInsensitive))
            << name << ": " << details.toStdString();
    }
    SetRow("ActivitiesLstbx", "Broken Run"); // nothing to describe, nothing named
    for (const char* field : {"ConsistUsedTxt", "LocomotiveUsedTxt"})
        EXPECT_EQ(C<QLineEdit>(field)->text(), "") << field;
}

TEST_F(EasyPageTest, RefreshAndMstsFolder_RefillTheEasyListsFromTheFolders) {
    builder.AddRoute("GAMMA", "Gamma Line", "G");
    MstsBuilder other{drive.Host("OTHER")};
    other.AddDefaultWagon();
    other.AddRoute("DELTA", "Delta Line", "D");
    ShowRoute(0, "Beta Line");
    auto* routes = C<QListWidget>("RoutesLstbx");
    form->FormKeyDown(Qt::Key_F5, Qt::NoModifier);
    EXPECT_EQ(routes->count(), 3) << "the route added since";
    EXPECT_EQ(routes->currentRow(), 1) << "Beta Line, the route shown, stays";

    WriteFlag(true, "Everything Unstored");
    ui.Expect("Are you sure", ID_YES);
    ui.ExpectSelectFolder(ID_OK, "C:\\OTHER");
    ui.Expect("changed to (FIXED)", ID_OK);
    C<QAction>("MSTSTopFolder")->trigger();
    EXPECT_EQ(routes->findItems("Delta Line", Qt::MatchExactly).size(), 1);
    EXPECT_TRUE(routes->findItems("Alpha Line", Qt::MatchExactly).isEmpty());
    EXPECT_EQ(ui.PendingExpectations(), 0);
}

TEST_F(EasyPageTest, SessionRecord_AgreesWithTheBoxesAfterEveryRefresh) {
    builder.AddActivity("ALPHA", "a4.act", "Loose Run", "s1.srv", "t.trf",
                        {{"Loose", {{"DASH9", "DASH9", true}}}});
    ActivityPlan odd;
    odd.route = "ALPHA";
    odd.file = "a6.act";
    odd.name = "Odd Run";
    odd.playerService = "s1.srv";
    odd.season = 7;
    builder.AddActivity(odd);
    Reload();
    ShowRoute(1, "Alpha Line");
    auto* traffic = C<QComboBox>("ConsistTrafficCmbx");
    auto* loose = C<QCheckBox>("LooseStockCbx");
    SetRow(traffic, "Loose Run");
    form->EasyControls()->ConsistTrafficCmbxClick();
    ASSERT_TRUE(Explore().ExploreSourceActivity.has_value());
    EXPECT_TRUE(loose->isChecked()) << "loose consists are offered";
    const ItemSet source = *Explore().ExploreSourceActivity;
    const QString rel = source.Folder + "\\" + source.FileName;

    // The generated activity takes the loose consists exactly when the box is ticked.
    auto generate = [&](const char* refresh) {
        SCOPED_TRACE(refresh);
        const ExploreActivitySaveInfo& record = Explore().CurrentExploreRecord;
        EXPECT_EQ(record.LooseStock, loose->isChecked());
        EXPECT_EQ(record.AITraffic, C<QCheckBox>("AITrafficCbx")->isChecked());
        EXPECT_EQ(record.StartTime, C<QTimeEdit>("StartTimePck")->time());
        EXPECT_EQ(record.Season, C<QComboBox>("SeasonCmbx")->currentIndex());
        EXPECT_EQ(record.Weather, C<QComboBox>("WeatherCmbx")->currentIndex());
        if (!Explore().ExploreSourceActivity)
            return;
        ExploreActivitySaveInfo session = record;
        ASSERT_TRUE(GenerateExploreActivity(Explore().ExploreTemplateActivity, session));
        QFile act(builder.HostPath(source.Folder) + "/QV_~TEMP" +
                  QString::number(session.SaveNumber) + ".act");
        ASSERT_TRUE(act.open(QIODevice::ReadOnly));
        EXPECT_EQ(act.readAll().contains(EncodeUtf16Le("ActivityObjects")), loose->isChecked());
        ASSERT_TRUE(
            MoveEntry(App().StoreRootFolder + "\\" + rel, App().MstsRootFolder + "\\" + rel, 1))
            << "the source activity goes back for the next generation";
    };
    // Each refresh, the user's choices between them.
    loose->click();
    generate("the box unticked");
    form->UpdateControls();
    generate("controls refreshed");
    form->EasyControls()->ConsistTrafficCmbxClick();
    generate("traffic choice entered again");
    C<QComboBox>("SeasonCmbx")->setCurrentIndex(3);
    generate("season set by the program");
    loose->click();
    form->UpdateControls();
    generate("ticked again and refreshed");
    traffic->setCurrentIndex(0);
    generate("no traffic activity");
    form->EasyControls()->EasyRefresh(-1);
    generate("page refilled");
    SetRow(traffic, "Odd Run");
    EXPECT_EQ(Explore().CurrentExploreRecord.Season, -1) << "a season out of range is not taken";
}

TEST_F(EasyPageTest, SavedSession_LaunchedWithoutAnyLocomotiveToChoose) {
    ASSERT_TRUE(MakeSavedSession());

    // "Explore Mode Locos" without any such list: no locomotive, no consist, no path chosen.
    auto* locos = C<QComboBox>("AllLocomotivesCmbx");
    locos->setCurrentIndex(1);
    form->EasyControls()->AllLocomotivesCmbxChange();
    ASSERT_EQ(C<QListWidget>("LocomotivesLstbx")->count(), 0);

    C<QComboBox>("ExploreLoadCmbx")->setCurrentIndex(1);
    form->EasyControls()->ExploreLoadCmbxSelect();
    ASSERT_EQ(C<QComboBox>("ConsistTrafficCmbx")->count(), 1);
    ASSERT_TRUE(Explore().ExploreSourceActivity.has_value());
    form->UpdateControls();
    ASSERT_TRUE(C<QAbstractButton>("ExploreBtn")->isEnabled());
    form->EasyControls()->ExploreBtnClick();
    EXPECT_EQ(jobs.size(), 1) << "the restored session is launched";
    EXPECT_EQ(Explore().CurrentExploreRecord.ConsistFileName, "FREIGHT.CON");
}

TEST_F(EasyPageTest, RoutePicture_NamedOutsideTheRouteFolderIsNotShownAndThePaneSaysWhy) {
    // ALPHA names its loading screen with a climb to C:\load.ace, outside the MSTS folder.
    drive.MakeFile("load.ace", AceFileFromRgb(4, 2, QByteArray(24, char(200))));
    QString text;
    ASSERT_TRUE(ReadMstsTextHostFile(drive.Host("MSTS/ROUTES/ALPHA/A.trk"), &text));
    text.replace("( load.ace )", "( ..\\..\\..\\load.ace )");
    drive.MakeFile("MSTS/ROUTES/ALPHA/A.trk", "\xFF\xFE" + EncodeUtf16Le(text));
    App().PictureLibraryAvailable = true;

    ShowRoute(0, "Beta Line");
    auto* routes = C<QListWidget>("RoutesLstbx"); // Alpha Line chosen with a right click
    const QPointF at = routes->visualItemRect(routes->item(0)).center();
    QMouseEvent click(QEvent::MouseButtonPress, at, routes->viewport()->mapToGlobal(at),
                      Qt::RightButton, Qt::RightButton, {});
    QApplication::sendEvent(routes->viewport(), &click);
    EXPECT_FALSE(EasyPage().RouteImageShown);
    EXPECT_TRUE(C<QLabel>("EasyBackground")->pixmap().isNull());
    const QString pane = form->InformationMemo()->Lines().join(u'\n');
    EXPECT_TRUE(pane.contains(Caption(Msg::INVALID_FILENAME))) << pane.toStdString();
    EXPECT_TRUE(pane.contains("..\\..\\..\\load.ace")) << pane.toStdString();
}

TEST_F(EasyPageTest, TrafficBoxEntered_KeepsTheChoicesMadeSinceTheActivity) {
    form->show();
    C<QAction>("SuppMSTSLaunchMnu")->trigger(); // traffic is taken only for a launch of MSTS
    ShowRoute(1, "Alpha Line");
    SetRow(C<QComboBox>("ConsistTrafficCmbx"), "Morning Run");
    C<QComboBox>("SeasonCmbx")->setCurrentIndex(3);
    QApplication::processEvents(); // the traffic box entered again
    C<QWidget>("ConsistTrafficCmbx")->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(C<QWidget>("ConsistTrafficCmbx")->hasFocus());
    EXPECT_EQ(Explore().CurrentExploreRecord.Season, 3) << "Winter, as the user chose";
}

TEST_F(EasyPageTest, ANewSessionAfterASavedOne_NoReloadReminder) {
    ShowRoute(1, "Alpha Line");
    Explore().CurrentExploreRecord.SaveNumber = 4; // a saved session reloaded before
    form->EasyControls()->ExploreBtnClick();
    ASSERT_EQ(jobs.size(), 1);
    for (const ShownMessage& shown : ui.Shown())
        EXPECT_FALSE(shown.text.contains("Reminder")) << shown.text.toStdString();
}

// A refresh after the list was closed with Esc opens nothing either.
TEST_F(EasyPageTest, LoadChoiceList_OpensTheTrafficListOnlyWhenAnEntryIsPickedInIt) {
    form->show();
    C<QAction>("SuppMSTSLaunchMnu")->trigger();
    ShowRoute(1, "Alpha Line");
    auto* traffic = C<QComboBox>("ConsistTrafficCmbx");
    for (const auto& [key, opens] : {std::pair{Qt::Key_Return, true}, {Qt::Key_Escape, false}}) {
        C<QComboBox>("ExploreLoadCmbx")->showPopup();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier); // the entry shown, or no choice
        QApplication::sendEvent(C<QComboBox>("ExploreLoadCmbx")->view(), &press);
        EXPECT_EQ(traffic->view()->isVisible(), opens) << key;
        traffic->hidePopup();
        QApplication::processEvents();
        form->FormKeyDown(Qt::Key_F5, Qt::NoModifier);
        EXPECT_FALSE(traffic->view()->isVisible()) << key;
    }
}

// A saved session picked with the keys, or again from the open list after another report, is
// described in the details box.
TEST_F(EasyPageTest, SavedSession_PickedIsDescribedInTheDetails) {
    form->show();
    C<QAction>("SuppMSTSLaunchMnu")->trigger(); // the session list may be opened
    ASSERT_TRUE(MakeSavedSession());
    const auto described = [this] {
        ReportPane expected;
        DescribeExploreSession(Explore().CurrentExploreRecord, &expected);
        return C<QTextEdit>("ExploreDetails")->toPlainText() == expected.Lines().join(u'\n');
    };
    QWidget* load = C<QWidget>("ExploreLoadCmbx");
    load->setFocus();
    QTest::keyClick(load, Qt::Key_Down);
    EXPECT_TRUE(described()) << "Reload chosen";

    auto* consists = C<QComboBox>("ConsistsCmbx"); // the details now tell of a consist
    consists->setCurrentIndex(1 - consists->currentIndex());
    ASSERT_FALSE(described());
    auto* sessions = C<QComboBox>("ConsistTrafficCmbx");
    sessions->showPopup();
    QTest::keyClick(sessions->view(), Qt::Key_Return); // the same session
    EXPECT_TRUE(described()) << "the session picked again";
}
