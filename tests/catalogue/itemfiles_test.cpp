#include "catalogue/itemfiles.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "fixtures/tempmsts.h"
#include "platform/clock.h"
#include "platform/fakeui.h"
#include "platform/winfind.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

using namespace qv;

namespace {

constexpr std::uint32_t kAll = 0xFFFFFFFFu;

std::unique_ptr<ItemSet> Item(int level, std::uint32_t type, int storeInd, const QString& desc,
                              const QString& folder, const QString& file = "f") {
    return std::make_unique<ItemSet>(ItemSet{level, type, storeInd, desc, folder, file, {}, {}});
}

// Every field of every record, one line per record, so that lists compare (and print) at once.
std::string Fields(const RecordList<ItemSet>& list) {
    QStringList out;
    for (const auto& i : list)
        out << QStringLiteral("%1 %2 %3 ").arg(i->PLevel).arg(i->PType, 0, 16).arg(i->StoreInd) +
                   QStringList{i->Description, i->Folder, i->FileName, i->EngineName, i->LotNumber}
                       .join(u'|');
    return out.join(u'\n').toStdString();
}

QStringList Descriptions(const RecordList<ItemSet>& list) {
    QStringList out;
    for (const auto& item : list)
        out << item->Description;
    return out;
}

const QByteArray kScenarioBytes =
    "[A|0]\r\nPLevel=1\r\nPType=2\r\nStoreInd=1\r\nDescription=Alpha\r\n"
    "Folder=A\r\nFileName=a.trk\r\n\r\n"
    "[A|1]\r\nPLevel=3\r\nPType=4\r\nStoreInd=2\r\nDescription=Beta\r\n"
    "Folder=A\r\nFileName=b.act\r\n\r\n"
    "[B|2]\r\nPLevel=1\r\nPType=2\r\nStoreInd=2\r\nDescription=Gamma\r\n"
    "Folder=B\r\nFileName=c.trk\r\n\r\n"
    "[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n\r\n";

class ItemFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = "Quarvel";
        App().StoreRootFolder = "C:\\Store";
        drive_.MakeFolder("Scen");
    }
    void TearDown() override { ResetAppState(); }

    RecordList<ItemSet> Read(const QString& file, const QString& prefix = {},
                             std::uint32_t exclude = kAll, std::uint32_t include = kAll,
                             bool firstOnly = false) {
        RecordList<ItemSet> list;
        EXPECT_TRUE(ReadScenarioFile(list, file, nullptr, firstOnly, exclude, include, prefix));
        return list;
    }
    QByteArray Bytes(const QString& relative) const { return drive_.Content(relative); }
    void MakeReadOnly(const QString& relative) {
        ASSERT_TRUE(QFile::setPermissions(drive_.Host(relative), QFile::ReadOwner));
    }
    bool ShownStartsWith(std::size_t index, const QString& text) const {
        return ui_.Shown().size() > index && ui_.Shown()[index].text.startsWith(text);
    }

    TempMsts drive_;
    FakeUi ui_;
};

} // namespace

TEST_F(ItemFiles, ScenarioFile_RoundTripsByteForByteWithPlacesOverTheWholeList) {
    RecordList<ItemSet> list;
    list.push_back(Item(1, PT_ROUTE, 1, "Alpha", "A", "a.trk"));
    list.push_back(Item(3, PT_ACTIVITY, 2, "Beta", "A", "b.act"));
    list.push_back(Item(1, PT_ROUTE, 2, "Gamma", "B", "c.trk"));
    ASSERT_TRUE(WriteScenarioFile(list, "C:\\Scen\\my.QVS"));
    EXPECT_EQ(Bytes("Scen/my.QVS"), kScenarioBytes);

    RecordList<ItemSet> read = Read("C:\\Scen\\my.QVS");
    EXPECT_EQ(Fields(read), Fields(list));
    ASSERT_TRUE(WriteScenarioFile(read, "C:\\Scen\\again.QVS"));
    EXPECT_EQ(Bytes("Scen/again.QVS"), kScenarioBytes);
    EXPECT_TRUE(ui_.Shown().empty());
}

TEST_F(ItemFiles, WriteScenarioFile_FolderAndPlaceNeverRunIntoAnotherSection) {
    // Folder + place alone would name both "ROUTES\USA15", and one record would be lost.
    RecordList<ItemSet> list;
    for (int i = 0; i < 16; ++i)
        list.push_back(Item(1, PT_ROUTE, 1, QString::number(i), "ROUTES\\X"));
    list[5]->Folder = "ROUTES\\USA1";
    list[15]->Folder = "ROUTES\\USA";
    ASSERT_TRUE(WriteScenarioFile(list, "C:\\Scen\\s.QVS"));
    EXPECT_EQ(Fields(Read("C:\\Scen\\s.QVS")), Fields(list));
}

TEST_F(ItemFiles, ReadScenarioFile_PrefixMasksAndFirstOnlyOnOldSectionNames) {
    // Sections named as older versions wrote them (folder + place), plus one whose name does not
    // begin with its folder: reading goes by the Folder key alone.
    drive_.MakeFile("old.QVS",
                    "[ROUTES\\X0]\r\nPType=18\r\nFolder=ROUTES\\X\r\nDescription=head\r\n"
                    "[ROUTES\\X1]\r\nPType=2\r\nFolder=ROUTES\\X\r\nDescription=one\r\n"
                    "[ROUTES\\X22]\r\nPType=2\r\nFolder=ROUTES\\X2\r\n"
                    "[Other3]\r\nPType=4\r\nFolder=ROUTES\\X\r\nDescription=act\r\n"
                    "[ROUTES\\X4]\r\nFolder=ROUTES\\X\r\nDescription=bare\r\n"
                    "[QUARVEL_INFORMATION]\r\nVersion=1.0.1\r\n");
    EXPECT_EQ(Descriptions(Read("C:\\old.QVS", "ROUTES\\X", PT_HEADING, PT_ROUTE)),
              QStringList({"one"}));
    RecordList<ItemSet> all = Read("C:\\old.QVS", "routes\\x");
    EXPECT_EQ(Descriptions(all), QStringList({"head", "one", "act", "bare"}));
    all.erase(all.begin(), all.begin() + 3);
    EXPECT_EQ(Fields(all), "-1 ffffffff -1 bare|ROUTES\\X|||");
    EXPECT_EQ(Read("C:\\old.QVS").size(), 5u);

    RecordList<ItemSet> first = Read("C:\\old.QVS", "ROUTES\\X", PT_HEADING, kAll, true);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0]->PType, PT_ROUTE | PT_FIRST_ONLY);
    // The first-only mark is a bit: on a record without PType it must not carry into other bits.
    first = Read("C:\\old.QVS", "ROUTES\\X", kAll, PT_FIRST_ONLY, true);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0]->PType, kAll);
}

TEST_F(ItemFiles, ReadScenarioFile_CopiesFilteredRecordsOfASourceList) {
    RecordList<ItemSet> source;
    source.push_back(Item(2, PT_ACTIVITIES_GROUP, -1, "group", "R\\Activities"));
    source.push_back(nullptr);
    source.push_back(Item(3, PT_ACTIVITY, 2, "act", "R\\Activities"));
    source.push_back(Item(3, PT_ACTIVITY, 1, "other", "R2\\Activities"));

    RecordList<ItemSet> copied;
    ASSERT_TRUE(ReadScenarioFile(copied, "", &source, false, PT_HEADING, PT_ACTIVITY, ""));
    EXPECT_EQ(Descriptions(copied), QStringList({"group", "act", "other"}));
    copied.clear();
    ASSERT_TRUE(
        ReadScenarioFile(copied, "", &source, false, PT_HEADING, PT_ACTIVITY, "R\\Activities"));
    ASSERT_EQ(Descriptions(copied), QStringList({"act"}));
    copied[0]->StoreInd = 1;
    EXPECT_EQ(source[2]->StoreInd, 2);
}

TEST_F(ItemFiles, Reads_MissingFileIsSilentAndRefusedVersionIsReported) {
    RecordList<ItemSet> list;
    EXPECT_FALSE(ReadScenarioFile(list, "C:\\none.QVS", nullptr, false, kAll, kAll, ""));
    EXPECT_FALSE(ReadItemListFile(list, "C:\\none.QVC", 3, false, "TRAINS\\CONSISTS"));
    EXPECT_TRUE(ui_.Shown().empty());

    const QByteArray refused = "[A0]\r\nFolder=A\r\n[QUARVEL_INFORMATION]\r\nVersion=4.0\r\n";
    drive_.MakeFile("bad.QVS", refused);
    EXPECT_FALSE(ReadScenarioFile(list, "C:\\bad.QVS", nullptr, false, kAll, kAll, ""));
    EXPECT_FALSE(ReadItemListFile(list, "C:\\bad.QVS", 3, false, "TRAINS\\CONSISTS"));
    EXPECT_TRUE(list.empty());
    ASSERT_EQ(ui_.Shown().size(), 2u);
    EXPECT_EQ(ui_.Shown()[0].text,
              Caption(Msg::INVALID_QVS_FILE) + Caption(Msg::GENERAL_NOT_FOUND3) + "C:\\bad.QVS'");
    EXPECT_EQ(ui_.Shown()[0].style, MB_ICONSTOP);
    EXPECT_EQ(Bytes("bad.QVS"), refused);
}

TEST_F(ItemFiles, WriteScenarioFile_AFailedWriteIsAnErrorAndKeepsTheOldFile) {
    RecordList<ItemSet> list;
    list.push_back(Item(1, PT_ROUTE, 1, "Alpha", "A"));
    drive_.MakeFile("Scen/old.QVS", kScenarioBytes);
    MakeReadOnly("Scen/old.QVS");
    EXPECT_FALSE(WriteScenarioFile(list, "C:\\Scen\\old.QVS"));
    EXPECT_EQ(Bytes("Scen/old.QVS"), kScenarioBytes);
    EXPECT_TRUE(ShownStartsWith(0, Caption(Msg::WRITE_ERROR) + "C:\\Scen\\old.QVS' : ["));
}

TEST_F(ItemFiles, ListFile_RoundTripsByteForByteAndReadsAsUnplacedMembers) {
    RecordList<ItemSet> members;
    members.push_back(Item(3, PT_EXPLORE_CONSIST, 1, "Alpha", "TRAINS\\CONSISTS", "A.CON"));
    // The working mark of the list editors is not kept on disk.
    members.push_back(Item(3, PT_EXPLORE_CONSIST | PT_IN_OTHER_LIST | PT_DRIVEABLE, 2, "Beta",
                           "TRAINS\\CONSISTS", "B.CON"));
    ASSERT_TRUE(WriteItemListFile("TRAINS\\CONSISTS", "CONSISTS.QVC", members));
    const QByteArray golden = "[A.CON]\r\nPType=8\r\nDescription=Alpha\r\n\r\n"
                              "[B.CON]\r\nPType=16392\r\nDescription=Beta\r\n\r\n"
                              "[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n\r\n";
    const QString file = "C:\\Store\\QVDATA\\GLOBAL SETTINGS\\CONSISTS.QVC";
    EXPECT_EQ(Bytes("Store/QVDATA/GLOBAL SETTINGS/CONSISTS.QVC"), golden);

    RecordList<ItemSet> read;
    ASSERT_TRUE(ReadItemListFile(read, file, 3, false, "TRAINS\\CONSISTS"));
    EXPECT_EQ(Fields(read), "3 8 8 Alpha|TRAINS\\CONSISTS|A.CON||\n"
                            "3 4008 8 Beta|TRAINS\\CONSISTS|B.CON||");
    ASSERT_TRUE(WriteItemListFile("TRAINS\\CONSISTS", "CONSISTS.QVC", read));
    EXPECT_EQ(Bytes("Store/QVDATA/GLOBAL SETTINGS/CONSISTS.QVC"), golden);

    read.clear();
    ASSERT_TRUE(ReadItemListFile(read, file, 4, true, "Routes\\Hill"));
    EXPECT_EQ(Fields(read), "4 80008 8 Alpha|Routes\\Hill|A.CON||");
    EXPECT_TRUE(ui_.Shown().empty());
}

TEST_F(ItemFiles, ReadItemListFile_SettlesOnlyTheCommitsOwnCopy) {
    const QByteArray tail = "]\r\nPType=8\r\n\r\n[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n";
    const struct {
        const char* copyName; // beside MAINTCON.QVC
        bool listThere;
        const char* member; // the member read, none when no list is read
        bool settled;       // the copy went: removed, or put back as the list
    } cases[] = {
        {".qv-list-MAINTCON.QVC.old", true, "A.CON", true},
        {".qv-list-MAINTCON.QVC.old", false, "B.CON", true},
        // A user's backups are never taken for the commit's copy, whatever the list's state.
        {"MAINTCON.QVC.old", true, "A.CON", false},
        {"MAINTCON.QVC.old", false, nullptr, false},
        {".QV-LIST-MAINTCON.QVC.OLD", true, "A.CON", false},
        {".QV-LIST-MAINTCON.QVC.OLD", false, nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.copyName + std::string(c.listThere ? " beside" : " alone"));
        const QString folder = "Store/QVDATA/Hill";
        drive_.MakeFile(folder + '/' + c.copyName, "[B.CON" + tail);
        if (c.listThere)
            drive_.MakeFile(folder + "/MAINTCON.QVC", "[A.CON" + tail);
        const QStringList names = drive_.NamesIn(folder);

        RecordList<ItemSet> read;
        EXPECT_EQ(ReadItemListFile(read, "C:\\Store\\QVDATA\\Hill\\MAINTCON.QVC", 3, false, "Hill"),
                  c.member != nullptr);
        EXPECT_EQ(read.empty() ? QString() : read.front()->FileName, QString(c.member));
        EXPECT_EQ(drive_.NamesIn(folder), c.settled ? QStringList("MAINTCON.QVC") : names);
        QDir(drive_.Host(folder)).removeRecursively();
    }
}

TEST_F(ItemFiles, WriteItemListFile_NoMembersDeletesTheFile) {
    RecordList<ItemSet> members;
    members.push_back(Item(3, PT_MAINT_STOCK, 1, "Dash", "TRAINS\\TRAINSET", "Dash9\\D.eng"));
    ASSERT_TRUE(WriteItemListFile("Routes\\Hill", "MAINTSTK1.QVC", members));
    EXPECT_EQ(drive_.NamesIn("Store/QVDATA/Hill"), QStringList({"MAINTSTK1.QVC"}));

    RecordList<ItemSet> none;
    none.push_back(nullptr);
    EXPECT_TRUE(WriteItemListFile("Routes\\Hill", "MAINTSTK1.QVC", none));
    EXPECT_TRUE(drive_.NamesIn("Store/QVDATA/Hill").isEmpty());
    EXPECT_FALSE(ReadItemListFile(members, "C:\\Store\\QVDATA\\Hill\\MAINTSTK1.QVC", 3, false, ""));
    EXPECT_TRUE(WriteItemListFile("Routes\\Hill", "MAINTSTK1.QVC", none));
    EXPECT_TRUE(ui_.Shown().empty());
}

TEST_F(ItemFiles, WriteItemListFile_RefusedVersionOrFailedWriteIsAnError) {
    RecordList<ItemSet> members, none;
    members.push_back(Item(3, PT_EXPLORE_PATH, 1, "Up", "Routes\\Hill\\PATHS", "up.pat"));
    const QByteArray refused = "[old.pat]\r\nPType=1\r\n";
    drive_.MakeFile("Store/QVDATA/Hill/PATHS.QVC", refused);
    EXPECT_FALSE(WriteItemListFile("Routes\\Hill", "PATHS.QVC", members));
    EXPECT_FALSE(WriteItemListFile("Routes\\Hill", "PATHS.QVC", none));
    EXPECT_EQ(Bytes("Store/QVDATA/Hill/PATHS.QVC"), refused);
    EXPECT_TRUE(ShownStartsWith(1, Caption(Msg::INVALID_QVS_FILE)));

    ui_.Clear();
    const QByteArray accepted = "[old.pat]\r\nPType=1\r\n[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n";
    drive_.MakeFile("Store/QVDATA/Hill/LOCKED.QVC", accepted);
    MakeReadOnly("Store/QVDATA/Hill/LOCKED.QVC");
    EXPECT_FALSE(WriteItemListFile("Routes\\Hill", "LOCKED.QVC", members));
    EXPECT_FALSE(WriteItemListFile("Routes\\Hill", "LOCKED.QVC", none));
    EXPECT_EQ(Bytes("Store/QVDATA/Hill/LOCKED.QVC"), accepted);
    const QString path = "C:\\Store\\QVDATA\\Hill\\LOCKED.QVC' : [";
    EXPECT_TRUE(ShownStartsWith(0, Caption(Msg::WRITE_ERROR) + path));
    EXPECT_TRUE(ShownStartsWith(1, Caption(Msg::ERROR_LEG) + ": " +
                                       Caption(Msg::STATUS_TEXT_DELETING_FILE) + " '" + path));
}

// What a reading or writing of item files shows in the status bar ("Saving Loco 1009") goes
// when the work ends.
TEST_F(ItemFiles, StatusText_NoneOutlivesTheWork) {
    RecordList<ItemSet> members;
    members.push_back(Item(3, PT_MAINT_STOCK, 1, "Loco 1009", "TRAINS\\TRAINSET", "L\\L.eng"));
    ItemTree tree;
    tree.AddRoot(Item(1, PT_ROUTE, 2, "Hill", "Routes\\Hill"));
    const QString list = "C:\\Store\\QVDATA\\Hill\\MAINTSTK1.QVC";
    const struct {
        const char* work;
        std::function<bool()> run;
    } cases[] = {
        {"write a list file",
         [&] { return WriteItemListFile("Routes\\Hill", "MAINTSTK1.QVC", members); }},
        {"make a list file's content",
         [&] {
             QByteArray content;
             bool exists = false;
             return ItemListFileContent(list, members, &content, &exists);
         }},
        {"read a list file",
         [&] {
             RecordList<ItemSet> read;
             return ReadItemListFile(read, list, 3, false, "Routes\\Hill");
         }},
        {"write a scenario", [&] { return WriteScenarioFile(members, "C:\\Scen\\s.QVS"); }},
        {"save a scenario", [&] { return SaveScenario(tree, "C:\\Scen\\t.QVS", nullptr); }},
        {"read a scenario",
         [&] {
             RecordList<ItemSet> read;
             return ReadScenarioFile(read, "C:\\Scen\\s.QVS", nullptr, false, kAll, kAll, {});
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.work);
        ASSERT_TRUE(c.run());
        EXPECT_EQ(TheMainServices().StatusText(1), "");
        EXPECT_EQ(TheMainServices().StatusText(0), "");
    }
}

TEST_F(ItemFiles, SaveScenario_KeepsGlobalRouteAndActivityNodesInTreeOrder) {
    ItemTree tree;
    ItemNode* global = tree.AddRoot(Item(0, PT_GLOBAL_ROOT, -1, "Global", "TRAINS\\CONSISTS"));
    global->AddChild(Item(1, PT_EXPLORE_CONSIST | PT_HEADING, -1, "Lists", "TRAINS\\CONSISTS"))
        ->AddChild(Item(2, PT_EXPLORE_CONSIST, 8, "member", "TRAINS\\CONSISTS"));
    ItemNode* route = tree.AddRoot(Item(0, PT_ROUTES_ROOT, -1, "Routes", "Routes"))
                          ->AddChild(Item(1, PT_ROUTE, 2, "Hill", "Routes\\Hill"));
    route->AddChild(Item(2, PT_ACTIVITIES_GROUP, -1, "Acts", "Routes\\Hill\\Activities"))
        ->AddChild(Item(3, PT_ACTIVITY, 1, "Run", "Routes\\Hill\\Activities"));
    route->AddChild(Item(2, PT_EXPLORE_PATH | PT_HEADING, -1, "Paths", "Routes\\Hill"));

    RecordList<ItemSet> out;
    ASSERT_TRUE(SaveScenario(tree, "C:\\Scen\\s.QVS", &out));
    EXPECT_EQ(Descriptions(out), QStringList({"Global", "Routes", "Hill", "Acts", "Run"}));
    EXPECT_EQ(Fields(Read("C:\\Scen\\s.QVS")), Fields(out));

    out.clear();
    EXPECT_TRUE(SaveScenario(tree, "", &out));
    EXPECT_EQ(out.size(), 5u);
    EXPECT_FALSE(SaveScenario(tree, "C:\\NoSuchFolder\\s.QVS", nullptr));
    EXPECT_TRUE(ShownStartsWith(0, Caption(Msg::WRITE_ERROR)));
}

TEST_F(ItemFiles, ExploreActivitySetup_DefaultsThenWrittenWithTheMomentAndReadBack) {
    RouteInfo route;
    route.Folder = "Routes\\Hill";
    route.ExploreFileName = "stale";
    ReadExploreActivitySetup(route);
    EXPECT_EQ(route.ExploreFileName, "");
    EXPECT_EQ(route.ExploreSetupDate, -1);

    // The register keeps what else it holds (the named lists of the route).
    drive_.MakeFile("Store/QVDATA/Hill/ROUTE.QVC",
                    "[CONSISTS]\r\nL1.QVC=12,Mine\r\n\r\n[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n");
    const QDateTime now(QDate(2024, 3, 5), QTime(10, 20, 30));
    FakeClock clock(now);
    route.ExploreFileName = "xplr01.act";
    ASSERT_TRUE(WriteExploreActivitySetup(route));
    EXPECT_EQ(route.ExploreSetupDate, PackDosDateTime(now));
    EXPECT_EQ(Bytes("Store/QVDATA/Hill/ROUTE.QVC"),
              "[CONSISTS]\r\nL1.QVC=12,Mine\r\n\r\n[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n\r\n"
              "[Explore Mode Activity]\r\nFileName=xplr01.act\r\nSetupDate=" +
                  QByteArray::number(PackDosDateTime(now)) + "\r\n\r\n");

    RouteInfo again;
    again.Folder = "ROUTES\\Hill";
    ReadExploreActivitySetup(again);
    EXPECT_EQ(again.ExploreFileName, "xplr01.act");
    EXPECT_EQ(again.ExploreSetupDate, PackDosDateTime(now));

    // A route whose register folder does not exist yet gets it.
    again.Folder = "Routes\\New";
    EXPECT_TRUE(WriteExploreActivitySetup(again));
    EXPECT_EQ(drive_.NamesIn("Store/QVDATA/New"), QStringList({"ROUTE.QVC"}));
}
