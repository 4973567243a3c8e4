// The activity unstored for an Explore without a generated activity: the route's recorded
// choice while no activity of the route is newer, else the fewest other consists above none, and
// every activity in tree order when launches fail. The store job is replaced by a recorder.
#include "easy/explorelaunch.h"

#include "catalogue/itemfiles.h"
#include "catalogue/pathrecords.h"
#include "core/appstate.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/storeini.h"
#include "easy/explorestate.h"
#include "engine/fixedobjects.h"
#include "engine/storecommand.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace qv;

namespace {

class ExploreLaunchTest : public ::testing::Test {
protected:
    ExploreLaunchTest() {
        ResetAppState();
        ResetExploreState();
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        SetUi(&ui);
        builder.AddDefaultWagon();
        EXPECT_TRUE(EnsureDefaultExclusions());
        builder.AddEngine("DASH9", "DASH9.ENG", "Dash 9", EngineType::Diesel);
        for (const char* consist : {"C0", "C1", "C2", "C3"})
            builder.AddConsist(QString(consist) + ".con", consist, {{"DASH9", "DASH9", true}});
        builder.AddRoute("HILL", "Hill Line", "H");
        builder.AddPath("HILL", "up.pat", "Up", "Here", "There");
        for (const char* consist : {"C0", "C1", "C2", "C3"})
            builder.AddService("HILL", QString("s") + consist + ".srv", consist, consist, "up");
        // The activities use the chosen consist C0 and 0, 1 or 2 others through their traffic.
        builder.AddTraffic("HILL", "one.trf", "one", {"sC1"});
        builder.AddTraffic("HILL", "two.trf", "two", {"sC1", "sC2"});
        builder.AddTraffic("HILL", "two2.trf", "two2", {"sC2", "sC3"});
        const struct {
            const char* file;
            const char* traffic;
        } activities[] = {{"none.act", ""},
                          {"twoA.act", "two.trf"},
                          {"twoB.act", "two2.trf"},
                          {"one.act", "one.trf"}};
        for (const auto& a : activities)
            builder.AddActivity("HILL", a.file, a.file, "sC0.srv", a.traffic);

        routes = tree.AddRoot(Item(0, PT_ROUTES_ROOT, {}, {}));
        window.SetQuarvelObjects(&tree);
        SetMainServices(&window);
        SetStoreUnstoreDriverForTests([this](bool, bool, bool, bool, bool, bool, const QString&) {
            tried << tree.Selected()->Data()->FileName;
            return runs;
        });
    }
    ~ExploreLaunchTest() override {
        SetStoreUnstoreDriverForTests({});
        SetMainServices(nullptr);
        SetUi(nullptr);
        ResetExploreState();
        ResetAppState();
    }

    static std::unique_ptr<ItemSet> Item(int level, std::uint32_t ptype, const QString& folder,
                                         const QString& file) {
        return std::make_unique<ItemSet>(
            ItemSet{level, ptype, SI_IN_STORE, file, folder, file, {}, {}});
    }

    // A route node with an activities heading holding the given activity files, in that order.
    ItemNode* AddRoute(const QString& folder, const QStringList& files) {
        ItemNode* route = routes->AddChild(Item(1, PT_ROUTE, folder, "x.trk"));
        ItemNode* heading =
            route->AddChild(Item(2, PT_ACTIVITIES_GROUP, folder + "\\ACTIVITIES", QString()));
        for (const QString& file : files)
            heading->AddChild(Item(3, PT_ACTIVITY, folder + "\\ACTIVITIES", file));
        return route;
    }

    // Records the route's Explore-mode activity now and gives the record's date.
    int Record(const QString& folder, const QString& file) {
        RouteInfo route;
        route.Folder = folder;
        route.ExploreFileName = file;
        EXPECT_TRUE(WriteExploreActivitySetup(route));
        return route.ExploreSetupDate;
    }

    void CacheDate(const QString& folder, const QString& file, int date) {
        auto cache = OpenStoreIni(QStringLiteral("CACHESCN.QVC"));
        cache->Ini.WriteInteger(folder + "\\ACTIVITIES\\" + file, QStringLiteral("FileDate"), date);
        cache->Modified = true;
        CloseStoreIni(std::move(cache));
    }

    static QString Recorded(const QString& folder) {
        RouteInfo route;
        route.Folder = folder;
        ReadExploreActivitySetup(route);
        return route.ExploreFileName;
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("STORE"))};
    FakeUi ui;
    ItemTree tree;
    ItemNode* routes = nullptr;
    HeadlessMainServices window;
    QStringList tried;
    bool runs = true;
};

} // namespace

TEST_F(ExploreLaunchTest, NewChoice_FewestOtherConsistsAboveNoneEarlierOnATie) {
    const struct {
        QStringList activities;
        QString chosen;
    } cases[] = {
        {{"twoA.act", "twoB.act"}, "twoA.act"},
        {{"twoB.act", "twoA.act"}, "twoB.act"},
        {{"twoA.act", "none.act", "one.act", "twoB.act"}, "one.act"},
        {{"none.act"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.activities.join(u',').toStdString());
        routes->DeleteChildren();
        const QString store = drive.Host(QStringLiteral("STORE/QVDATA"));
        QDir(store).removeRecursively();
        ItemNode* route = AddRoute("Routes\\HILL", c.activities);
        ItemNode* chosen = ChooseExploreActivity(route, QStringLiteral("C0.con"));
        EXPECT_EQ(chosen ? chosen->Data()->FileName : QString(), c.chosen);
        EXPECT_EQ(Recorded("Routes\\HILL"), c.chosen) << "a new choice is recorded, none is not";
    }
}

TEST_F(ExploreLaunchTest, Record_KeptWhileNoActivityIsNewerStaleOnceOneIs) {
    ItemNode* route = AddRoute("Routes\\HILL", {"twoA.act", "one.act", "twoB.act"});
    AddRoute("Routes\\HILLS", {"later.act"});
    const int date = Record("Routes\\HILL", "twoB.act");
    for (const char* file : {"twoA.act", "one.act", "twoB.act"})
        CacheDate("Routes\\HILL", file, date);
    CacheDate("Routes\\HILLS", "later.act", date + 100);
    ItemNode* chosen = ChooseExploreActivity(route, QStringLiteral("C0.con"));
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->Data()->FileName, "twoB.act")
        << "a cache date equal to the record keeps it; a route whose folder begins alike does not "
           "count";

    CacheDate("Routes\\HILL", "twoA.act", date + 1);
    chosen = ChooseExploreActivity(route, QStringLiteral("C0.con"));
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->Data()->FileName, "one.act") << "any later activity makes it stale";
    EXPECT_EQ(Recorded("Routes\\HILL"), "one.act");
}

TEST_F(ExploreLaunchTest, Launch_MarksTheChoiceAloneInUseThenTriesEveryActivityInTreeOrder) {
    ItemNode* other = AddRoute("Routes\\OTHER", {});
    other->Data()->StoreInd = SI_IN_USE;
    ItemNode* route = AddRoute("Routes\\HILL", {"twoA.act", "one.act", "none.act"});

    EXPECT_TRUE(ExploreLaunch(nullptr, route, "C0.con", "Routes\\HILL\\PATHS\\up.pat"));
    EXPECT_EQ(tried, (QStringList{"one.act"}));
    EXPECT_EQ(other->Data()->StoreInd, SI_IN_STORE) << "every other route is stored";
    EXPECT_EQ(tree.Selected()->Data()->StoreInd, SI_IN_USE);
    EXPECT_EQ(Explore().CurrentExploreRecord.ConsistFileName, "C0.con");
    EXPECT_EQ(Explore().CurrentExploreRecord.PlayerPathFileName, "Routes\\HILL\\PATHS\\up.pat");

    tried.clear();
    runs = false;
    EXPECT_FALSE(ExploreLaunch(nullptr, route, "C0.con", "Routes\\HILL\\PATHS\\up.pat"));
    EXPECT_EQ(tried, (QStringList{"one.act", "twoA.act", "one.act", "none.act"}));

    tried.clear();
    ItemNode* empty = AddRoute("Routes\\EMPTY", {});
    EXPECT_FALSE(ExploreLaunch(nullptr, empty, "C0.con", QString()));
    EXPECT_TRUE(tried.isEmpty());
}
