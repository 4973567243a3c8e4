// The Easy page on the demo's installation: the user picks a route and sees its picture, runs
// one of its activities, or explores it with a chosen locomotive, consist and path and no
// traffic; the job moves the files, MSTS (a script that records its start) is launched and the
// window closes.
#include "catalogue/itemfiles.h"
#include "catalogue/pathrecords.h"
#include "core/regsettings.h"
#include "easy/easylists.h"
#include "easy/explorestate.h"
#include "easy/fakeprogram.h"
#include "editors/forms/listeditordlg.h"
#include "mainwindow/e2ekit.h"
#include "mainwindow/forms/easycontroller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtCore/qtestsupport_core.h>

using namespace qv;

namespace {

class EasyFromWindow : public DemoTest {
protected:
    EasyFromWindow() {
        BuildCaches();
        RegWriteString(kProductKey, QStringLiteral("MSTS EXE Path"), msts.Path());
    }

    // Starts the window and shows the Easy page on a tab, as the user's clicks do.
    void StartOnEasyPage(int tab) {
        Start();
        C<QTabWidget>("ActivityExplorePageCntrl")->setCurrentIndex(tab);
        C<QTabWidget>("MainPageControl")->setCurrentIndex(0);
    }
    void ChooseRoute(const QString& name) {
        auto* routes = C<QListWidget>("RoutesLstbx");
        const auto found = routes->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        routes->setCurrentItem(found.first());
        form->EasyControls()->RoutesLstbxClick();
        // The route's picture is shown once decoded.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form->EasyControls()->RoutePictureComing(); }));
    }

    FakeProgram msts{drive, QStringLiteral("msts")};
};

TEST_F(EasyFromWindow, RunAnActivity_ShowsTheRoutePictureAndLaunchesWithTheActivityAlone) {
    StartOnEasyPage(0);
    ASSERT_GT(C<QListWidget>("RoutesLstbx")->count(), 2);
    ChooseRoute("Route 0");
    EXPECT_TRUE(EasyPage().RouteImageShown) << "Route 0's loading screen is an ACE texture";
    EXPECT_FALSE(C<QLabel>("EasyBackground")->pixmap().isNull());
    ChooseRoute("Route 1");
    EXPECT_TRUE(EasyPage().RouteImageShown) << "Route 1's loading screen is a JPEG";

    ChooseRoute("Route 0");
    auto* activities = C<QListWidget>("ActivitiesLstbx");
    ASSERT_GT(activities->count(), 0);
    ASSERT_TRUE(C<QAbstractButton>("RunActivityBtn")->isEnabled());
    const QString chosen = activities->currentItem()->text();
    const ItemSet otherRoute = *Node("Route 1", PT_ROUTE)->Data();

    Click("RunActivityBtn");
    EXPECT_EQ(Located(*Node(chosen, PT_ACTIVITY)->Data()), "MSTS");
    EXPECT_EQ(Located(otherRoute), "STORE");
    EXPECT_EQ(msts.Ran(), (QStringList{demo + "/MSTS"})) << "the stand-in MSTS was started";
    EXPECT_TRUE(App().SilentClose);
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
}

TEST_F(EasyFromWindow, ExploreWithoutTraffic_UnstoresOneRealActivityAndRecordsIt) {
    StartOnEasyPage(1);
    ChooseRoute("Route 0");
    ASSERT_GT(C<QListWidget>("LocomotivesLstbx")->count(), 0);
    ASSERT_GT(C<QComboBox>("ConsistsCmbx")->count(), 0);
    ASSERT_GT(C<QComboBox>("FromCmbx")->count(), 0);
    ASSERT_GT(C<QComboBox>("ToCmbx")->count(), 0);
    EXPECT_EQ(C<QComboBox>("ConsistTrafficCmbx")->currentIndex(), 0) << "no traffic activity";
    auto* loose = C<QCheckBox>("LooseStockCbx");
    EXPECT_GE(loose->width(), loose->sizeHint().width()) << "the pages have room for its caption";
    ASSERT_TRUE(C<QAbstractButton>("ExploreBtn")->isEnabled());

    Click("ExploreBtn");
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
    EXPECT_EQ(msts.Ran(), (QStringList{demo + "/MSTS"}));
    RouteInfo route;
    route.Folder = Node("Route 0", PT_ROUTE)->Data()->Folder;
    ReadExploreActivitySetup(route);
    EXPECT_FALSE(route.ExploreFileName.isEmpty()) << "the chosen activity is recorded";
    int inMsts = 0;
    const QString activities = route.Folder + "\\Activities";
    for (ItemNode* node = form->QuarvelObjects()->First(); node; node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if ((item.PType & PT_ACTIVITY) && !(item.PType & PT_HEADING) &&
            item.Folder.compare(activities, Qt::CaseInsensitive) == 0 && Located(item) == "MSTS") {
            ++inMsts;
            EXPECT_EQ(item.FileName.compare(route.ExploreFileName, Qt::CaseInsensitive), 0);
        }
    }
    EXPECT_EQ(inMsts, 1) << "exactly one real activity of the route";
}

// Closes the list editor with Cancel once it is up and its first refresh is done.
void CancelTheEditorOnceShown(int tries = 500) {
    QTimer::singleShot(10, [tries] {
        auto* editor = qobject_cast<TListEditorDlg*>(QApplication::activeModalWidget());
        if (editor && editor->isVisible() && !App().Busy && !editor->Model().InFormShow)
            editor->CancelBtn->click();
        else if (tries > 0)
            CancelTheEditorOnceShown(tries - 1);
        else
            ADD_FAILURE() << "no editor shown";
    });
}

// A View All editor opened from the Explore tab and closed leaves the tab's choices as they were,
// and Explore launches with them.
TEST_F(EasyFromWindow, Explore_TheChoicesOutliveAViewAllEditor) {
    StartOnEasyPage(1);
    ChooseRoute("Route 0");
    auto* locomotives = C<QListWidget>("LocomotivesLstbx");
    ASSERT_GT(locomotives->count(), 0);
    locomotives->setCurrentRow(locomotives->count() - 1);
    // The last row of each choice, so that a refill choosing its first rows is seen.
    for (const char* name : {"ConsistsCmbx", "FromCmbx", "ToCmbx"}) {
        auto* box = C<QComboBox>(name);
        ASSERT_GT(box->count(), 0) << name;
        box->setCurrentIndex(box->count() - 1);
    }
    const auto choices = [this] {
        QStringList shown{C<QListWidget>("LocomotivesLstbx")->currentItem()
                              ? C<QListWidget>("LocomotivesLstbx")->currentItem()->text()
                              : QString()};
        for (const char* name : {"ConsistsCmbx", "FromCmbx", "ToCmbx"})
            shown << C<QComboBox>(name)->currentText();
        const int consist = form->EasyControls()->ChosenConsist();
        const int to = form->EasyControls()->ChosenToPath();
        shown << (consist >= 0 ? App().ConsistCacheList[std::size_t(consist)]->FileName : "none")
              << (to >= 0 ? App().PathCacheList[std::size_t(to)]->FileName : "none");
        return shown;
    };
    const QStringList chosen = choices();
    ASSERT_TRUE(C<QAbstractButton>("ExploreBtn")->isEnabled());

    for (const char* command : {"ViewAllConsistsMnu", "ViewAllPathsMnu"}) {
        SCOPED_TRACE(command);
        CancelTheEditorOnceShown();
        C<QAction>(command)->trigger();
        EXPECT_EQ(choices().join(" | ").toStdString(), chosen.join(" | ").toStdString());
        EXPECT_TRUE(C<QAbstractButton>("ExploreBtn")->isEnabled());
    }
    Click("ExploreBtn");
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
    EXPECT_EQ(msts.Ran(), (QStringList{demo + "/MSTS"}));
    EXPECT_EQ(Explore().CurrentExploreRecord.ConsistFileName, chosen[4]);
    EXPECT_TRUE(Explore().CurrentExploreRecord.PlayerPathFileName.endsWith('\\' + chosen[5]));
}

// The activities of the route node, in tree order.
std::vector<const ItemSet*> ActivitiesOf(const ItemNode* route) {
    std::vector<const ItemSet*> found;
    for (const ItemNode* node = route->GetNext(); node && node->Data()->PLevel > 1;
         node = node->GetNext()) {
        if (IsActivityItem(*node->Data()))
            found.push_back(node->Data());
    }
    return found;
}

TEST_F(EasyFromWindow, Keys_ArrowToARouteAndAnActivityAndRunIt) {
    StartOnEasyTab(0);
    // At start the first activity shown is complete and can be run.
    auto* activities = C<QListWidget>("ActivitiesLstbx");
    ASSERT_EQ(activities->currentRow(), 0);
    EXPECT_TRUE(C<QAbstractButton>("RunActivityBtn")->isEnabled());
    EXPECT_FALSE(C<QLabel>("PathFromLbl")->text().isEmpty());
    EXPECT_FALSE(C<QLabel>("PathToLbl")->text().isEmpty());

    form->activateWindow(); // the page starts in its routes list
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), C<QWidget>("RoutesLstbx"));
    Key(Qt::Key_Down);
    const ItemNode* route = form->QuarvelObjects()->Selected();
    ASSERT_EQ(route->Data()->Description, C<QListWidget>("RoutesLstbx")->currentItem()->text());
    const std::vector<const ItemSet*> own = ActivitiesOf(route);
    ASSERT_EQ(int(own.size()), activities->count()) << "the activities of the route shown";
    ASSERT_GE(own.size(), 2u);

    Focus("ActivitiesLstbx");
    Key(Qt::Key_Down);
    const QString chosen = activities->currentItem()->text();
    ASSERT_TRUE(C<QAbstractButton>("RunActivityBtn")->isEnabled());
    Focus("RunActivityBtn");
    Key(Qt::Key_Space);
    EXPECT_EQ(msts.Ran(), (QStringList{demo + "/MSTS"}));
    for (const ItemSet* activity : own)
        EXPECT_EQ(Located(*activity), activity->Description == chosen ? "MSTS" : "STORE")
            << activity->Description.toStdString();
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
}

} // namespace
