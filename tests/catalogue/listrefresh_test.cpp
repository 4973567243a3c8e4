#include "catalogue/listrefresh.h"

#include "catalogue/treetestkit.h"
#include "platform/terminate.h"

using namespace qv;

namespace {

const QString kAlpha = "Routes\\ALPHA";

class ListRefreshTest : public TreeTest {
protected:
    ListRefreshTest() {
        builder.AddEngine("DASH9", "DASH9.ENG", "Dash 9", EngineType::Diesel);
        stockCache.Ini.WriteInteger("DASH9\\DASH9.ENG", "PType", int(PT_ENGINE | PT_DIESEL));
        stockCache.Ini.WriteString("DASH9\\DASH9.ENG", "Name", "Dash 9");
    }
    void AddConsist(const QString& file, const QString& name, Into into) {
        builder.AddConsist(file, name, {{"DASH9", "DASH9", true, false}}, into);
    }
    QString Pane() const { return TheMainServices().InformationMemo()->Lines().join(u'\n'); }

    StoreIniHolder stockCache;
    StoreIniHolder consistCache;
    StoreIniHolder pathCache;
};

} // namespace

TEST_F(ListRefreshTest, ConsistList_StoreFirstMissingKeptOtherKindDroppedSorted) {
    App().CurrentLotNumber = "5";
    AddConsist("BOTH.CON", "Both Msts", Into::Msts);
    AddConsist("BOTH.CON", "Both Stored", Into::Store);
    AddConsist("LOCAL.CON", "Local Train", Into::Msts);
    WriteMembers(kAlpha, "CONSISTS.QVC",
                 {{"LOCAL.CON", PT_EXPLORE_CONSIST, "old"},
                  {"ODD.CON", PT_MAINT_CONSIST, "Odd"},
                  {"GONE.CON", PT_EXPLORE_CONSIST, "Gone Train"},
                  {"BOTH.CON", PT_EXPLORE_CONSIST, "x"}});

    RecordList<ItemSet> members;
    StringList notFound;
    EXPECT_FALSE(RefreshConsistList(members, kAlpha, "CONSISTS.QVC", &notFound, false, false,
                                    stockCache, consistCache, PT_EXPLORE_CONSIST));
    EXPECT_EQ(Rows(members),
              (QStringList{"3 8 2 Both Stored", "3 8 -1 Gone Train", "3 8 1 Local Train"}));
    EXPECT_EQ(members[2]->EngineName, "Dash 9");
    EXPECT_EQ(members[2]->LotNumber, "5");
    EXPECT_EQ(notFound.Strings(), QStringList{"GONE.CON"});
    EXPECT_TRUE(Pane().contains("Consist information in the following file was not found"));

    // Without a not-found list the missing member is not reported, but the result still tells.
    ClearReport(TheMainServices().InformationMemo());
    members.clear();
    EXPECT_FALSE(RefreshConsistList(members, kAlpha, "CONSISTS.QVC", nullptr, false, false,
                                    stockCache, consistCache, PT_EXPLORE_CONSIST));
    EXPECT_TRUE(Pane().isEmpty());
}

TEST_F(ListRefreshTest, PathList_TakesThePathsFolderAndName) {
    builder.AddPath("ALPHA", "up.pat", "Up Path", "Here", "There");
    builder.AddPath("ALPHA", "down.pat", "Down Path", "There", "Here", true, Into::Store);
    WriteMembers(kAlpha, "PATHS.QVC",
                 {{"up.pat", PT_EXPLORE_PATH, "u"},
                  {"down.pat", PT_EXPLORE_PATH, "d"},
                  {"lost.pat", PT_EXPLORE_PATH, "Lost"}});
    RecordList<ItemSet> members;
    StringList notFound;
    EXPECT_FALSE(RefreshPathList(members, kAlpha, "PATHS.QVC", &notFound, false, false, pathCache,
                                 PT_EXPLORE_PATH));
    EXPECT_EQ(Rows(members),
              (QStringList{"3 1000000 2 Down Path", "3 1000000 -1 Lost", "3 1000000 1 Up Path"}));
    EXPECT_EQ(members[0]->Folder, "Routes\\ALPHA\\Paths");
    EXPECT_EQ(members[1]->Folder, kAlpha);
    EXPECT_EQ(notFound.Strings(), QStringList{"lost.pat"});
    EXPECT_TRUE(Pane().contains("Path information"));
}

TEST_F(ListRefreshTest, EmptyListIdEndsTheProgram) {
    std::vector<int> ends;
    const TerminateHook previous = SetTerminateHook([&](int status) { ends.push_back(status); });
    ui.Expect("Module: 'ListProcess'  Line No.: 1466", ID_OK);
    ui.Expect("Module: 'ListProcess'  Line No.: 1553", ID_OK);
    RecordList<ItemSet> members;
    EXPECT_FALSE(RefreshConsistList(members, kAlpha, QString(), nullptr, false, false, stockCache,
                                    consistCache, PT_EXPLORE_CONSIST));
    EXPECT_FALSE(RefreshPathList(members, kAlpha, QString(), nullptr, false, false, pathCache,
                                 PT_MAINT_PATH));
    SetTerminateHook(previous);
    EXPECT_EQ(ends, (std::vector<int>{1, 1}));
    EXPECT_TRUE(ui.Mismatches().isEmpty());
    EXPECT_EQ(ui.PendingExpectations(), 0);
}
