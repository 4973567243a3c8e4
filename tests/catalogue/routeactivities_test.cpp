#include "catalogue/routeactivities.h"

#include "catalogue/itemfiles.h"
#include "core/appstate.h"
#include "core/easyservices.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/winfs.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

const QString kMsts = QStringLiteral("C:\\MSTS");
const QString kActivities = QStringLiteral("ROUTES\\X\\Activities");

// Takes the temporary Explore activities out of the list as the Easy page does, and deletes
// the file named `vanish` as if it went away while the route was being read.
class FakeEasyServices : public EasyServices {
public:
    void MarkSelectedNode(int, bool) override {}
    bool MarkDefaultRoutes(ItemTree&) override { return false; }
    bool CheckDefaultRoutes(ItemTree&) override { return false; }
    bool GoAndLaunch(QObject*, bool) override { return false; }
    std::int32_t LaunchProgram(const QString&, const QString&, const QString&, bool, bool,
                               bool) override {
        return -1;
    }
    void CleanExploreTemp(const QString& routeFolder, QStringList* names) override {
        cleaned << routeFolder;
        names->removeIf([](const QString& name) {
            return name.startsWith("QV_~TEMP", Qt::CaseInsensitive) ||
                   name.compare("EXPLORER.ACT", Qt::CaseInsensitive) == 0;
        });
        if (!vanish.isEmpty())
            DeleteFile(vanish);
    }
    int MainPageIndex() const override { return -1; }
    int ExploreTabIndex() const override { return -1; }
    const ItemSet* ChosenExploreActivity() const override { return nullptr; }
    const ExploreActivitySaveInfo* CurrentExploreRecord() const override { return nullptr; }

    QStringList cleaned;
    QString vanish;
};

class RouteActivitiesTest : public ::testing::Test {
protected:
    RouteActivitiesTest() {
        ResetAppState();
        App().MstsRootFolder = kMsts;
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        App().ViewByFileName = true;
        SetEasyServices(&easy);
        builder.AddRoute("X", "Route X", "XID");
        builder.AddPath("X", "Main.pat", "Main", "A", "B");
        builder.AddEngine("Steam", "Loco", "Loco", EngineType::Steam);
        builder.AddWagon("Coal", "Hopper", "Hopper", WagonType::Freight);
        builder.AddWagon("Coal", "Coach", "Coach", WagonType::Passenger);
        builder.AddConsist("Coal.con", "Coal", {{"Steam", "Loco", true}, {"Coal", "Coach"}});
        builder.AddConsist("Fast.con", "Fast", {{"Steam", "Loco", true}});
        builder.AddService("X", "Coal Run.srv", "Coal Run", "Coal.con", "Main.pat");
        builder.AddService("X", "Express.srv", "Express", "Fast.con", "Main.pat", Into::Store);
    }
    ~RouteActivitiesTest() override {
        SetEasyServices(nullptr);
        ResetAppState();
    }

    void AddActivity(const QString& file, const QString& name, Into into = Into::Msts) {
        ActivityPlan act;
        act.route = "X";
        act.file = file;
        act.name = name;
        act.playerService = "Coal Run.srv";
        act.looseConsists = {{"Spare", {{"Coal", "Hopper"}}}};
        act.into = into;
        builder.AddActivity(act);
    }
    static std::unique_ptr<ItemSet> Record(const QString& folder, const QString& file,
                                           std::uint32_t type, int storeInd) {
        auto item = std::make_unique<ItemSet>();
        item->PType = type;
        item->StoreInd = storeInd;
        item->Folder = folder;
        item->FileName = file;
        item->Description = file;
        return item;
    }
    // The file names of the records from the given place on, each with its mark when asked.
    static QStringList Names(const RecordList<ItemSet>& list, std::size_t from, bool marks) {
        QStringList names;
        for (std::size_t i = from; i < list.size(); ++i)
            names << list[i]->FileName +
                         (marks ? QStringLiteral("=%1").arg(list[i]->StoreInd) : "");
        return names;
    }
    bool ReadRoute(RecordList<ItemSet>& tree, const QString& scenario = kNoScenarioFile,
                   const RecordList<ItemSet>* items = nullptr) {
        StoreIniHolder cache;
        return ReadRouteActivities(tree, "ROUTES\\X", cache, scenario, items);
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host("MSTS"), drive.Host("STORE")};
    FakeEasyServices easy;
    FakeUi ui;
};

TEST_F(RouteActivitiesTest, ListsEachActivityOnceMarkedWhereItWasFoundFirst) {
    AddActivity("Coal Run.act", "Coal Run");
    AddActivity("Coal Run.act", "Coal Run", Into::Store);
    AddActivity("Stored.act", "Stored", Into::Store);
    AddActivity("EXPLORER.ACT", "Explore");
    AddActivity("QV_~TEMP1.act", "Temp");
    AddActivity("Gone.act", "Gone");
    builder.WriteMstsFile("ROUTES\\X\\ACTIVITIES\\Nameless.act", "a0t", {"RouteID ( XID )"});
    easy.vanish = kMsts + "\\ROUTES\\X\\ACTIVITIES\\Gone.act";

    RecordList<ItemSet> tree;
    EXPECT_FALSE(ReadRoute(tree));
    ASSERT_EQ(tree.size(), 4u);
    const ItemSet& heading = *tree[0];
    EXPECT_EQ(QStringList({QString::number(heading.PLevel), QString::number(heading.PType),
                           QString::number(heading.StoreInd), heading.Description, heading.Folder}),
              QStringList({"2", "20", "-1", "Activities", kActivities}));
    EXPECT_EQ(Names(tree, 1, true),
              QStringList({"Coal Run.act=1", "Nameless.act=1", "Stored.act=2"}));
    EXPECT_EQ(tree[1]->Description, "Coal Run");
    EXPECT_EQ(tree[1]->PLevel, 3);
    EXPECT_EQ(tree[1]->PType, PT_ACTIVITY);
    EXPECT_EQ(tree[2]->Description, "") << "a nameless activity keeps its empty name";
    EXPECT_EQ(easy.cleaned, QStringList({"ROUTES\\X"}));
    EXPECT_TRUE(TheMainServices().InformationMemo()->Lines().join('\n').contains(
        "Activity information in the following file was not found"));
}

TEST_F(RouteActivitiesTest, SavedScenarioKeepsItsMarksForTheActivitiesStillThere) {
    AddActivity("Coal Run.act", "Coal Run");
    AddActivity("Added.act", "Added");
    RecordList<ItemSet> saved;
    saved.push_back(Record("ROUTES\\X", "X.trk", PT_ROUTE, SI_IN_USE));
    saved.push_back(Record(kActivities, "Coal Run.act", PT_ACTIVITY, SI_IN_STORE));
    saved.push_back(Record(kActivities, "Removed.act", PT_ACTIVITY, SI_IN_STORE));
    const QString scenario = QStringLiteral("C:\\saved.QVS");
    ASSERT_TRUE(WriteScenarioFile(saved, scenario));

    RecordList<ItemSet> tree;
    EXPECT_TRUE(ReadRoute(tree, scenario));
    EXPECT_EQ(Names(tree, 1, true), QStringList({"Added.act=1", "Coal Run.act=2"}));
    EXPECT_EQ(tree[2]->Description, "Coal Run") << "the name found replaces the saved one";

    // An item list stands in for the folders, which are then not looked at.
    saved.push_back(Record(kActivities, "Heading", PT_ACTIVITIES_GROUP, SI_HEADING));
    saved.push_back(Record("ROUTES\\Y\\Activities", "Other.act", PT_ACTIVITY, SI_IN_USE));
    tree.clear();
    EXPECT_FALSE(ReadRoute(tree, kNoScenarioFile, &saved));
    EXPECT_EQ(Names(tree, 1, true), QStringList({"Coal Run.act=2", "Removed.act=2"}));
}

TEST_F(RouteActivitiesTest, RebuildScenarioCacheCollectsTheConsistsAndStockOfTheRoutes) {
    App().ExtendedActivityCache = true;
    AddActivity("Coal Run.act", "Coal Run");
    ItemTree tree;
    ItemNode* route = tree.AddRoot(Record("ROUTES\\X", "X.trk", PT_ROUTE, SI_IN_USE));
    ItemNode* heading = route->AddChild(Record(kActivities, "", PT_ACTIVITIES_GROUP, SI_HEADING));
    heading->AddChild(Record(kActivities, "Coal Run.act", PT_ACTIVITY, SI_IN_USE));

    // With no lists wanted the activity sections are renewed all the same.
    EXPECT_TRUE(RebuildScenarioCache({route}, nullptr, nullptr));
    EXPECT_EQ(OpenStoreIni("CACHESCN.QVC")
                  ->Ini.ReadInteger(kActivities + "\\Coal Run.act", "StkCount", -1),
              1);

    // The loose stock now comes from the section, though the file no longer names it.
    const QString act = kMsts + "\\ROUTES\\X\\ACTIVITIES\\Coal Run.act";
    const qint32 age = FileAge(act);
    DeleteFile(act);
    builder.WriteMstsFile("ROUTES\\X\\ACTIVITIES\\Coal Run.act", "a0t", {"Name ( Coal Run )"});
    ASSERT_TRUE(SetFileAge(act, age));
    RecordList<ItemSet> consists;
    RecordList<ItemSet> stock;
    EXPECT_TRUE(RebuildScenarioCache({route}, &consists, &stock));
    EXPECT_EQ(Names(consists, 0, false), QStringList({"Coal.con", "Fast.con"}));
    for (const auto& item : consists) {
        EXPECT_EQ(item->PLevel, 3);
        EXPECT_TRUE(item->PType & PT_MAINT_CONSIST);
    }
    EXPECT_EQ(Names(stock, 0, false),
              QStringList({"Coal\\Coach.WAG", "Coal\\Hopper.WAG", "Steam\\Loco.ENG"}));
    for (const auto& item : stock)
        EXPECT_TRUE(item->PType & PT_MAINT_STOCK);

    // A service that cannot be read is reported and spoils the result; the walk goes on.
    builder.WriteMstsFile("ROUTES\\X\\SERVICES\\Broken.srv", "v0t", {"Name ( Broken )"});
    consists.clear();
    EXPECT_FALSE(RebuildScenarioCache({route}, &consists, nullptr));
    EXPECT_EQ(consists.size(), 2u);
    EXPECT_TRUE(TheMainServices().InformationMemo()->Lines().join('\n').contains(
        "File: 'ROUTES\\X\\SERVICES\\Broken.srv'"));
}

TEST_F(RouteActivitiesTest, RebuildRoutePathCacheReadsThePathsOfBothRoots) {
    builder.AddPath("X", "Spare.pat", "Spare", "C", "D", true, Into::Store);
    RecordList<ItemSet> paths;
    EXPECT_TRUE(RebuildRoutePathCache(paths, "ROUTES\\X", false, nullptr));
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0]->FileName, "Main.pat");
    EXPECT_EQ(paths[0]->StoreInd, SI_IN_USE);
    EXPECT_EQ(paths[1]->EngineName, "C");
    EXPECT_EQ(paths[1]->StoreInd, SI_IN_STORE);
    EXPECT_TRUE(App().StatusCodeStack.isEmpty());
    EXPECT_EQ(OpenStoreIni("CACHEPAT.QVC")->Ini.ReadSections().size(), 3);
}

} // namespace
