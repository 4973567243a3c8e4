// An Explore session with traffic on the demo's installation: the user takes the AI traffic of one
// of the route's activities, the program writes the session's service and activity and starts a
// stand-in MSTS, which takes the session up (removes EXPLORER.ACT), saves it and ends; the
// program tidies up and offers the save for reloading.
#include "core/regsettings.h"
#include "easy/activityfilegen.h"
#include "easy/explorestate.h"
#include "easy/fakeprogram.h"
#include "easy/fakewindow/xserver.h"
#include "mainwindow/e2ekit.h"
#include "mainwindow/forms/easycontroller.h"
#include "platform/mstsfile.h"
#include "platform/winresolve.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimeEdit>

using namespace qv;

namespace {

class ExploreSessionFromWindow : public DemoTest {
protected:
    ExploreSessionFromWindow() { BuildCaches(); }

    void StartOnExploreTab(const QString& route) {
        Start();
        C<QTabWidget>("ActivityExplorePageCntrl")->setCurrentIndex(1);
        C<QTabWidget>("MainPageControl")->setCurrentIndex(0);
        auto* routes = C<QListWidget>("RoutesLstbx");
        const auto found = routes->findItems(route, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        routes->setCurrentItem(found.first());
        form->EasyControls()->RoutesLstbxClick();
    }
    // Chooses the first activity of the traffic list that passes the check and has traffic; its
    // row, or -1.
    int ChooseTrafficActivity() {
        auto* traffic = C<QComboBox>("ConsistTrafficCmbx");
        for (int row = 1; row < traffic->count(); ++row) {
            traffic->setCurrentIndex(row);
            form->EasyControls()->ConsistTrafficCmbxClick();
            if (Explore().ExploreSourceActivity &&
                !Explore().ExploreTemplateActivity.Traffic.isEmpty())
                return row;
        }
        return -1;
    }
    // MSTS is the stand-in window program, given `more` after its title and class.
    static void StandInMsts(const QString& more) {
        RegWriteString(kProductKey, QStringLiteral("MSTS EXE Path"),
                       ToWindowsForm(QStringLiteral(QUARVEL_FAKEWINDOW)));
        RegWriteString(kProductKey, QStringLiteral("MSTS EXE Params"),
                       "--title \"Train Simulator\" --class TrainSim " + more);
    }
    QString Host(const QString& windowsPath) const {
        QString host;
        EXPECT_TRUE(ResolvePath(windowsPath, &host)) << windowsPath.toStdString();
        return host;
    }
};

} // namespace

TEST_F(ExploreSessionFromWindow, TrafficSession_GeneratedWatchedTidiedAndItsSaveReloaded) {
    QV_REQUIRE_X_SERVER();
    StartOnExploreTab(QStringLiteral("Route 0"));
    ASSERT_GT(ChooseTrafficActivity(), 0);
    EXPECT_TRUE(C<QWidget>("StartTimePck")->isEnabled());
    auto* aiTraffic = C<QCheckBox>("AITrafficCbx");
    ASSERT_TRUE(aiTraffic->isEnabled());
    if (!aiTraffic->isChecked())
        aiTraffic->click();
    EXPECT_TRUE(Explore().CurrentExploreRecord.AITraffic);

    const ItemSet source = *Explore().ExploreSourceActivity;
    const QString sessionName = Explore().CurrentExploreRecord.Name;
    ASSERT_FALSE(sessionName.isEmpty());
    const QString activities = Host(DemoRoot("MSTS") + source.Folder);
    const QString routeFolder = source.Folder.left(source.Folder.lastIndexOf(u'\\'));
    const QString routeName = routeFolder.mid(routeFolder.lastIndexOf(u'\\') + 1);
    QDir().mkpath(demo + "/MSTS/SAVES/" + routeName);
    QTemporaryDir snapshots;
    WriteFlag(true, QStringLiteral("Spawn Wait"));
    StandInMsts("--seconds 4 --remove-file \"" + activities + "/EXPLORER.ACT\" --copy-file \"" +
                activities + "/QV_~TEMP1.act\" \"" + snapshots.path() +
                "/session.act\" --make-file \"" + demo + "/MSTS/SAVES/" + routeName +
                "/QV_~TEMP1_x.sav\"");

    Click("ExploreBtn");
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
    EXPECT_FALSE(App().SilentClose) << "waited for MSTS";

    // What MSTS ran: the generated activity, its Mode line patched once the marker was gone.
    QFile snapshot(snapshots.path() + "/session.act");
    ASSERT_TRUE(snapshot.open(QIODevice::ReadOnly));
    const QByteArray generated = snapshot.readAll();
    EXPECT_TRUE(generated.startsWith("\xFF\xFE"));
    EXPECT_TRUE(generated.contains(EncodeUtf16Le("\t\tMode ( 1 )\n")));
    EXPECT_FALSE(generated.contains(EncodeUtf16Le("Mode ( 2 )")));
    EXPECT_TRUE(generated.contains(EncodeUtf16Le("Traffic_Definition")));

    // Tidied: no temporary file is left, and the source activity waits in the store.
    for (const QString& name : QDir(activities).entryList(QDir::Files))
        EXPECT_FALSE(name.startsWith("QV_~TEMP", Qt::CaseInsensitive) ||
                     name.compare("EXPLORER.ACT", Qt::CaseInsensitive) == 0)
            << name.toStdString();
    EXPECT_EQ(Located(source), "STORE");

    // The save made during the session is offered for reloading, and restores.
    auto* load = C<QComboBox>("ExploreLoadCmbx");
    load->setCurrentIndex(1);
    form->EasyControls()->ExploreLoadCmbxSelect();
    auto* sessions = C<QComboBox>("ConsistTrafficCmbx");
    ASSERT_EQ(sessions->count(), 1);
    EXPECT_TRUE(sessions->itemText(0).endsWith("   (" + sessionName + ")"))
        << sessions->itemText(0).toStdString();
    form->EasyControls()->ConsistTrafficCmbxClick();
    ASSERT_TRUE(Explore().ExploreSourceActivity.has_value());
    EXPECT_EQ(Explore().ExploreSourceActivity->FileName, source.FileName);
    EXPECT_EQ(Explore().CurrentExploreRecord.SaveNumber, 1);
    EXPECT_TRUE(Explore().CurrentExploreRecord.AITraffic);
    EXPECT_TRUE(C<QAbstractButton>("ExploreBtn")->isEnabled());
    EXPECT_FALSE(C<QWidget>("StartTimePck")->isEnabled()) << "a reload keeps its options";
}

TEST_F(ExploreSessionFromWindow, TrafficChosenThenTreeReloaded_ExploreStillHasASoundSource) {
    QV_REQUIRE_X_SERVER();
    StartOnExploreTab(QStringLiteral("Route 0"));
    ASSERT_GT(ChooseTrafficActivity(), 0);
    const ItemSet chosen = *Explore().ExploreSourceActivity;
    const QString activities = Host(DemoRoot("MSTS") + chosen.Folder);
    QTemporaryDir record;
    StandInMsts("--seconds 2 --argv-file \"" + record.path() + "/ran.txt\" --remove-file \"" +
                activities + "/EXPLORER.ACT\"");
    // Every record of the tree is freed and made anew before the session is launched.
    form->LoadTree(QString(), nullptr, -1);
    Click("ExploreBtn");
    EXPECT_TRUE(QFile::exists(record.path() + "/ran.txt"));
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
    EXPECT_EQ(Located(chosen), "STORE");
}

TEST_F(ExploreSessionFromWindow, SessionControls_DefaultsWithoutTrafficAndLockedForAReload) {
    StartOnExploreTab(QStringLiteral("Route 0"));
    auto* traffic = C<QComboBox>("ConsistTrafficCmbx");
    traffic->setCurrentIndex(0);
    form->EasyControls()->ConsistTrafficCmbxClick();
    EXPECT_FALSE(Explore().ExploreSourceActivity.has_value()) << "the blank row takes nothing";
    EXPECT_FALSE(C<QCheckBox>("LooseStockCbx")->isChecked());
    EXPECT_FALSE(C<QWidget>("LooseStockCbx")->isEnabled());
    EXPECT_EQ(C<QTimeEdit>("StartTimePck")->time(), QTime(10, 0));
    EXPECT_EQ(C<QComboBox>("SeasonCmbx")->currentIndex(), -1);
    EXPECT_EQ(C<QComboBox>("WeatherCmbx")->currentIndex(), -1);

    ASSERT_GT(ChooseTrafficActivity(), 0);
    EXPECT_TRUE(C<QWidget>("SeasonCmbx")->isEnabled());
    EXPECT_EQ(C<QComboBox>("SeasonCmbx")->currentIndex(), Explore().ExploreTemplateActivity.Season);
    EXPECT_EQ(C<QCheckBox>("LooseStockCbx")->isChecked(),
              Explore().ExploreTemplateActivity.LooseStock);

    // No session of this route was ever saved: nothing to reload, nothing to explore.
    C<QComboBox>("ExploreLoadCmbx")->setCurrentIndex(1);
    form->EasyControls()->ExploreLoadCmbxSelect();
    EXPECT_EQ(traffic->count(), 0);
    EXPECT_FALSE(Explore().ExploreSourceActivity.has_value());
    EXPECT_FALSE(C<QAbstractButton>("ExploreBtn")->isEnabled());
    for (const char* option : {"LooseStockCbx", "AITrafficCbx", "StartTimePck", "SeasonCmbx",
                               "WeatherCmbx", "ExpStartRDCbx"})
        EXPECT_FALSE(C<QWidget>(option)->isEnabled()) << option;
}

TEST_F(ExploreSessionFromWindow, Keys_ArrowToARouteSetTheChoicesAndExploreIt) {
    QV_REQUIRE_X_SERVER();
    QTemporaryDir record;
    StandInMsts("--seconds 2 --argv-file \"" + record.path() + "/ran.txt\"");
    StartOnEasyTab(1);
    Focus("RoutesLstbx");
    Key(Qt::Key_Down);
    const ItemSet route = *form->QuarvelObjects()->Selected()->Data();
    ASSERT_EQ(route.Description, C<QListWidget>("RoutesLstbx")->currentItem()->text());

    // A traffic activity of the route, then the season, the locomotive and the end point.
    Focus("ConsistTrafficCmbx");
    auto* traffic = C<QComboBox>("ConsistTrafficCmbx");
    while (!Explore().ExploreSourceActivity && traffic->currentIndex() + 1 < traffic->count())
        Key(Qt::Key_Down);
    ASSERT_TRUE(Explore().ExploreSourceActivity.has_value());
    Focus("SeasonCmbx");
    Key(Qt::Key_Down);
    const int season = C<QComboBox>("SeasonCmbx")->currentIndex();
    Focus("LocomotivesLstbx");
    Key(Qt::Key_End);
    Focus("ToCmbx");
    Key(Qt::Key_End);
    ASSERT_TRUE(C<QAbstractButton>("ExploreBtn")->isEnabled());
    const ItemSet path = *App().PathCacheList.at(C<QComboBox>("ToCmbx")->currentData().toUInt());
    const QString consist =
        App().ConsistCacheList.at(std::size_t(form->EasyControls()->ChosenConsist()))->FileName;

    Focus("ExploreBtn");
    Key(Qt::Key_Space);
    EXPECT_TRUE(ui.Shown().empty()) << ui.Shown().front().text.toStdString();
    EXPECT_TRUE(QFile::exists(record.path() + "/ran.txt")) << "MSTS was started";
    // The session's files lie in the route shown and name what was chosen there.
    EXPECT_TRUE(path.Folder.startsWith(route.Folder + "\\", Qt::CaseInsensitive));
    QFile service(Host(DemoRoot("MSTS") + route.Folder + "\\SERVICES") + "/QV_~TEMP.srv");
    ASSERT_TRUE(service.open(QIODevice::ReadOnly));
    const QByteArray srv = service.readAll();
    EXPECT_TRUE(srv.contains(EncodeUtf16Le("PathID ( \"" + path.FileName.chopped(4) + "\" )")));
    EXPECT_TRUE(srv.contains(EncodeUtf16Le("Train_Config ( \"" + consist.chopped(4) + "\" )")));
    const QString activities = Host(DemoRoot("MSTS") + route.Folder + "\\ACTIVITIES");
    const QStringList generated = QDir(activities).entryList({"QV_~TEMP*.act"}, QDir::Files);
    ASSERT_EQ(generated.size(), 1);
    QFile act(activities + "/" + generated.first());
    ASSERT_TRUE(act.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        act.readAll().contains(EncodeUtf16Le("Season ( " + QString::number(season) + " )")));
    EXPECT_TRUE(QFile::exists(activities + "/EXPLORER.ACT"));
}
