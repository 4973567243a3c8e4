#include "engine/tsection.h"

#include "core/appstate.h"
#include "core/easyservices.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/storeini.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/winfs.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace qv;

namespace {

// Records the route nodes that the choice marks stored.
struct MarkRecorder : EasyServices {
    explicit MarkRecorder(ItemTree& tree) : tree(tree) {}
    void MarkSelectedNode(int state, bool heading) override {
        marked << QStringLiteral("%1:%2:%3")
                      .arg(tree.Selected()->Data()->Description)
                      .arg(state)
                      .arg(heading);
    }
    bool MarkDefaultRoutes(ItemTree&) override { return true; }
    bool CheckDefaultRoutes(ItemTree&) override { return true; }
    bool GoAndLaunch(QObject*, bool) override { return false; }
    std::int32_t LaunchProgram(const QString&, const QString&, const QString&, bool, bool,
                               bool) override {
        return -1;
    }
    void CleanExploreTemp(const QString&, QStringList*) override {}
    int MainPageIndex() const override { return 0; }
    int ExploreTabIndex() const override { return 0; }
    const ItemSet* ChosenExploreActivity() const override { return nullptr; }
    const ExploreActivitySaveInfo* CurrentExploreRecord() const override { return nullptr; }
    ItemTree& tree;
    QStringList marked;
};

class TsectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        main_.SetQuarvelObjects(&tree_);
        SetMainServices(&main_);
        SetEasyServices(&marks_);
        heading_ = tree_.AddRoot(std::make_unique<ItemSet>(
            ItemSet{0, PT_ROUTES_ROOT, SI_HEADING, QStringLiteral("Routes"), {}, {}, {}, {}}));
    }
    void TearDown() override {
        SetEasyServices(nullptr);
        SetMainServices(nullptr);
        ResetAppState();
    }

    // A TSECTION.DAT in the MSTS folder's KEEP folder, by build (none when negative) or body.
    QString Tsection(const QString& name, int build) {
        return QStringLiteral("C:\\MSTS\\") + builder_.WriteTsection(build, "KEEP\\" + name);
    }
    QString Tsection(const QString& name, const QStringList& body) {
        return QStringLiteral("C:\\MSTS\\") + builder_.WriteMstsFile("KEEP\\" + name, "T0t", body);
    }
    void AddRoute(const QString& folder, int storeInd) {
        heading_->AddChild(std::make_unique<ItemSet>(ItemSet{1,
                                                             PT_ROUTE,
                                                             storeInd,
                                                             folder + " Line",
                                                             "Routes\\" + folder,
                                                             folder + ".trk",
                                                             {},
                                                             {}}));
    }
    // Writes a specification: the system default when the folder is empty.
    void Specify(const QString& folder, const QString& file, int simulation, int maintenance) {
        RouteInfo required;
        required.PType = folder.isEmpty() ? PT_GLOBAL : PT_ROUTE;
        required.Folder = "Routes\\" + folder;
        required.TSectionFileName = file;
        required.TSectionSimulation = simulation;
        required.TSectionMaintenance = maintenance;
        WriteTsectionSettings(required);
    }
    static ConflictList ListOf(std::initializer_list<std::pair<int, const char*>> entries) {
        ConflictList list;
        for (const auto& [action, build] : entries) {
            list.push_back(std::make_unique<ConflictInfo>());
            list.back()->Action = action;
            list.back()->TSectionBuild = list.back()->TSectionFileName = build;
            list.back()->RouteName = QString::number(list.size());
        }
        return list;
    }

    RegistrySandbox registry_;
    TempMsts temp_;
    MstsBuilder builder_{temp_.Host(QStringLiteral("MSTS")), temp_.Host(QStringLiteral("STORE"))};
    FakeUi ui_;
    ItemTree tree_;
    HeadlessMainServices main_;
    MarkRecorder marks_{tree_};
    ItemNode* heading_ = nullptr;
};

} // namespace

TEST_F(TsectionTest, ClearingTheFileRemovesOnlyTheSectionAndBuildsReadUpToTrackSections) {
    const QString joined = Tsection("a.dat", {"_INFO ( Build", "00061 )", "TrackSections ( 1 )"});
    Specify("Hill", joined, 2, 1);
    auto holder = OpenStoreIni(QStringLiteral("Hill\\ROUTE.QVC"));
    holder->Ini.WriteString("Consist Lists", "1.QVC", "12,Mine");
    holder->Modified = true;
    ASSERT_TRUE(CloseStoreIni(std::move(holder)));

    RouteInfo route;
    route.PType = PT_ROUTE;
    route.Name = QStringLiteral("Hill Line");
    route.Folder = QStringLiteral("Routes\\Hill");
    ASSERT_TRUE(ReadTsectionSettings(route));
    EXPECT_EQ(route.TSectionMaintenance, 1);
    EXPECT_FALSE(ReadDefaultTsectionSettings(nullptr)) << "a route's own file is not the default";
    ASSERT_TRUE(ReadTsectionBuild(route));
    EXPECT_EQ(route.TSectionBuild, QStringLiteral("Build00061"));

    // Another file: a build not read from it is not kept from the file before.
    route.TSectionFileName = Tsection("b.dat", {"_INFO ( by me )", "TrackSections ( 1 )"});
    EXPECT_TRUE(ReadTsectionBuild(route));
    EXPECT_EQ(route.TSectionBuild, QString());
    route.TSectionFileName = Tsection("c.dat", {"_INFO(Build 7)", "Shapes ( 1 )"});
    EXPECT_EQ(ReadTsectionBuildState(route), TsectionFileState::Invalid);
    EXPECT_TRUE(ui_.Shown().empty());
    route.TSectionFileName = QStringLiteral("C:\\KEEP\\gone.dat");
    EXPECT_EQ(ReadTsectionBuildState(route), TsectionFileState::Missing);
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_EQ(ui_.Shown()[0].text, "The TSECTION.DAT file that was specified for the Route 'Hill "
                                   "Line'\r(C:\\KEEP\\gone.dat)\rcannot be found.\r\r You must "
                                   "correct this error before continuing.");

    route.TSectionFileName.clear();
    WriteTsectionSettings(route);
    EXPECT_FALSE(ReadTsectionSettings(route));
    IniFile ini;
    ASSERT_TRUE(LoadIniFile(QStringLiteral("C:\\STORE\\QVDATA\\Hill\\ROUTE.QVC"), &ini));
    EXPECT_EQ(ini.ReadSections(), QStringList({"QUARVEL_INFORMATION", "Consist Lists"}));
}

TEST_F(TsectionTest, BuildOfTheRealFile) {
    RouteInfo record;
    record.TSectionFileName =
        ToWindowsForm(QDir::cleanPath(QUARVEL_REALDATA_DIR "/dk24/GLOBAL/tsection.dat"));
    ASSERT_TRUE(ReadTsectionBuild(record));
    EXPECT_EQ(record.TSectionBuild, QStringLiteral("Build 00060"));
}

TEST_F(TsectionTest, Choice_ConflictsVersionsOrderAndRecommendation) {
    // A specific file below another route's minimum conflicts; any file never does.
    ConflictList list = ListOf({{2, "Build 00060"}, {1, "build 00050"}, {0, "Build 00099"}});
    EXPECT_TRUE(FindTsectionConflicts(list, true));
    EXPECT_EQ(list[0]->RouteName, "2") << "older of the two conflicting first";
    EXPECT_EQ(list[2]->RouteName, "3");
    EXPECT_EQ(RecommendedTsectionEntry(list), -1);
    list[0]->Selected = 0;
    EXPECT_FALSE(FindTsectionConflicts(list, true));
    EXPECT_EQ(list[2]->RouteName, "2") << "unticked last";
    EXPECT_EQ(list[RecommendedTsectionEntry(list)]->RouteName, "3") << "the newest file";

    // A specific file at or above every minimum is installed even when a route that accepts any
    // file brings a newer one; two routes naming one file in two letter cases agree.
    list = ListOf({{2, "Build 00050"}, {1, "BUILD 00060"}, {1, "Build 00060"}, {0, "Build 9"}});
    EXPECT_FALSE(FindTsectionConflicts(list, false));
    EXPECT_EQ(RecommendedTsectionEntry(list), 2);

    // Without builds the file dates count, in whole days; a build counts as newer.
    const QString older = Tsection("old.dat", -1), newer = Tsection("new.dat", -1);
    ASSERT_TRUE(SetFileAge(older, PackDosDateTime({QDate(2004, 3, 1), QTime(23, 0)})));
    ASSERT_TRUE(SetFileAge(newer, PackDosDateTime({QDate(2004, 3, 4), QTime(1, 0)})));
    ConflictInfo a, b;
    a.TSectionFileName = older;
    b.TSectionFileName = newer;
    EXPECT_EQ(CompareTsectionVersions(b, a), 2);
    a.TSectionBuild = QStringLiteral("Build 1");
    EXPECT_GT(CompareTsectionVersions(a, b), 0);
}

// Several routes' requirements gathered from the tree, the conflict resolved by unticking a
// route, that route marked stored, the recommended file installed over MSTS's own; an invalid
// recorded file reported.
TEST_F(TsectionTest, Flow_RoutesComparedChoiceAppliedRecommendedInstalledInvalidReported) {
    const QString b38 = Tsection("B38.DAT", 38), b60 = Tsection("B60.DAT", 60);
    builder_.WriteTsection(38, QStringLiteral("GLOBAL\\tsection.dat"));
    Specify({}, b38, 0, 2);
    Specify("Hill", b60, 2, 2);
    Specify("Old", b38, 1, 1);
    for (const char* route : {"Hill", "Flat", "Old"})
        AddRoute(route, SI_IN_USE);
    AddRoute("Stored", SI_IN_STORE);

    ConflictList list;
    ASSERT_TRUE(BuildTsectionEntryList(list, false));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0]->TSectionBuild, QStringLiteral("Build 00060"));
    EXPECT_TRUE(list[1]->UsesDefault);
    EXPECT_EQ(list[1]->Action, 0) << "the default's Simulation action";
    ASSERT_TRUE(FindTsectionConflicts(list, true));
    ASSERT_EQ(list[0]->RouteName, QStringLiteral("Old Line"));
    // The user unticks the oldest route in the choice dialog.
    ui_.ExpectResolveTsectionConflicts(ID_OK, [](ConflictList& entries) {
        entries[0]->Selected = 0;
        FindTsectionConflicts(entries, false);
    });
    ASSERT_EQ(TheUi().ResolveTsectionConflicts(list), ID_OK);
    ASSERT_EQ(list[1]->ConflictCount, 0);
    list.push_back(std::make_unique<ConflictInfo>(*list[0]));
    list.back()->RouteName = QStringLiteral("Gone Line");
    EXPECT_FALSE(ApplyTsectionChoice(tree_, list)) << "a route no longer in the tree";
    EXPECT_EQ(marks_.marked, QStringList{"Old Line:2:0"});
    EXPECT_TRUE(main_.InformationMemo()->Lines().join('\n').contains(" - 'Gone Line'"));

    ASSERT_TRUE(InstallTsectionFile(list[RecommendedTsectionEntry(list)]->TSectionFileName));
    EXPECT_EQ(temp_.NamesIn("MSTS/GLOBAL"), QStringList{"tsection.dat"});
    EXPECT_EQ(temp_.Content("MSTS/GLOBAL/tsection.dat"), temp_.Content("MSTS/KEEP/B60.DAT"));
    EXPECT_EQ(FileAge(QStringLiteral("C:\\MSTS\\GLOBAL\\TSECTION.DAT")), FileAge(b60));

    // Every route, on the Maintenance page; and nothing at all without a default.
    list.clear();
    main_.SetSimulationMaintPageIndex(1);
    ASSERT_TRUE(BuildTsectionEntryList(list, true));
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[1]->Action, 2);
    Specify({}, {}, 0, 0);
    list.clear();
    EXPECT_TRUE(BuildTsectionEntryList(list, true));
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(ui_.Shown().empty());

    // A recorded file that is there but is no TSECTION.DAT stops the job with a message.
    Specify({}, b38, 0, 2);
    const QString bad = Tsection("BAD.DAT", {"_INFO(Build 9)"});
    Specify("Flat", bad, 2, 2);
    EXPECT_FALSE(BuildTsectionEntryList(list, true));
    EXPECT_EQ(list.size(), 1u) << "the entries before it";
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_EQ(ui_.Shown()[0].text,
              "The file specified is not a valid TSECTION.DAT file.\n(" + bad + ')');
}

TEST_F(TsectionTest, Install_FailureLeavesMstsFileAsItWas) {
    builder_.WriteTsection(38);
    const QByteArray before = temp_.Content("MSTS/GLOBAL/TSECTION.DAT");
    const QString source = Tsection("B60.DAT", 60);
    QFile::setPermissions(temp_.Host("MSTS/GLOBAL/TSECTION.DAT"), QFile::ReadOwner);
    EXPECT_FALSE(InstallTsectionFile(source));
    EXPECT_FALSE(InstallTsectionFile(QStringLiteral("C:\\KEEP\\gone.dat")));
    EXPECT_EQ(temp_.Content("MSTS/GLOBAL/TSECTION.DAT"), before);
    EXPECT_EQ(temp_.NamesIn("MSTS/GLOBAL"), QStringList{"TSECTION.DAT"});
    ASSERT_EQ(ui_.Shown().size(), 2u);
    EXPECT_EQ(ui_.Shown()[0].text, "Error in moving the TSECTION.DAT file\r(" + source +
                                       ")\r   to\r(C:\\MSTS\\GLOBAL\\TSECTION.DAT)");
    EXPECT_TRUE(main_.InformationMemo()->Lines().join('\n').contains("Error in moving"));
}
