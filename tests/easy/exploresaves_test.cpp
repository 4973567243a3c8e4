#include "easy/exploresaves.h"

#include "core/appstate.h"
#include "core/reportpane.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "easy/exploresession.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/winfs.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

class ExploreSavesTest : public ::testing::Test {
protected:
    ExploreSavesTest() {
        ResetAppState();
        App().MstsRootFolder = "C:\\MSTS";
        App().StoreRootFolder = "C:\\STORE";
        session.Folder = "Routes\\Hill\\Activities";
    }
    // Sections of the route's SAVES.QVC, and MSTS save files "QV_~TEMP<name>.sav".
    void Record(const QStringList& sections, const QStringList& saves) {
        auto file = OpenStoreIni("Hill\\SAVES.QVC");
        for (const QString& section : sections)
            file->Ini.WriteString(section, "SaveNumber", section);
        file->Modified = true;
        CloseStoreIni(std::move(file));
        for (const QString& name : saves)
            drive.MakeFile("MSTS/SAVES/Hill/QV_~TEMP" + name + ".sav");
    }

    RegistrySandbox registry;
    TempMsts drive;
    ExploreActivitySaveInfo session;
};

} // namespace

TEST_F(ExploreSavesTest, Allocate_TakesFirstFreeNumberAfterPurgingUnsavedSessions) {
    // 3 was generated but never saved in MSTS and "junk" is no session: both go. 5 is saved
    // twice, 12 has no number in its save's name.
    Record({"QUARVEL_INFORMATION", "1", "2", "3", "4", "junk", "5", "10"},
           {"1_a", "2_a", "4_a", "5_a", "5_b", "10_x", "12", "8_a"});
    StringList numbers = StringList::SortedUnique();
    ListExploreSaves("Hill", nullptr, &numbers, *OpenStoreIni("Hill\\SAVES.QVC"));
    EXPECT_EQ(numbers.Strings(), (QStringList{"1", "10", "2", "4", "5"}));

    session.AITraffic = true;
    session.StartTime = QTime(10, 5);
    session.Weather = 2;
    ASSERT_TRUE(AllocateExploreSaveNumber(session));
    EXPECT_EQ(session.SaveNumber, 3);
    auto file = OpenStoreIni("Hill\\SAVES.QVC");
    EXPECT_EQ(file->Ini.ReadSections(),
              (QStringList{"QUARVEL_INFORMATION", "1", "2", "4", "5", "10", "3"}));
    ExploreActivitySaveInfo back;
    EXPECT_FALSE(ReadExploreSaveRecord(back, "7", *file));
    ASSERT_TRUE(ReadExploreSaveRecord(back, "3", *file));
    EXPECT_EQ(back.SaveNumber, 3);
    EXPECT_EQ(back.Folder, session.Folder);
    EXPECT_TRUE(back.AITraffic && !back.LooseStock);
    EXPECT_EQ(back.StartTime, QTime(10, 5));
    EXPECT_EQ(back.Weather, 2);

    ExploreActivitySaveInfo next;
    next.Folder = session.Folder;
    ASSERT_TRUE(AllocateExploreSaveNumber(next));
    EXPECT_EQ(next.SaveNumber, 3) << "still never saved: the number is handed out again";
}

TEST_F(ExploreSavesTest, Allocate_WithAllNumbersSavedWritesNothing) {
    QStringList all;
    QStringList saves;
    for (int n = 1; n <= 998; ++n) {
        all << QString::number(n);
        saves << QString::number(n) + "_a";
    }
    Record(all, saves);
    EXPECT_FALSE(AllocateExploreSaveNumber(session));
    EXPECT_EQ(session.SaveNumber, -1);
    EXPECT_EQ(OpenStoreIni("Hill\\SAVES.QVC")->Ini.ReadSections().size(), 999);
}

TEST_F(ExploreSavesTest, ReadRecord_TheSectionNameDecidesTheSaveNumber) {
    auto file = OpenStoreIni("Hill\\SAVES.QVC");
    file->Ini.WriteString("6", "SaveNumber", "9");
    file->Ini.WriteString("6", "Name", "Hill run");
    ExploreActivitySaveInfo record;
    ASSERT_TRUE(ReadExploreSaveRecord(record, "6", *file));
    EXPECT_EQ(record.SaveNumber, 6) << "MSTS's saves of this session carry 6";
    EXPECT_EQ(record.Name, "Hill run");
}

TEST_F(ExploreSavesTest, SavedSessions_NewestFirstAndStaleRecordsPurgedOnlyAfterAListing) {
    Record({"QUARVEL_INFORMATION", "9", "10", "3"}, {"9_a", "10_b"});
    auto file = OpenStoreIni("Hill\\SAVES.QVC");
    file->Ini.WriteString("9", "Name", "Early run");
    file->Ini.WriteString("10", "Name", "Late run");
    file->Modified = true;
    CloseStoreIni(std::move(file));
    const QDateTime early(QDate(2025, 4, 1), QTime(9, 30));
    ASSERT_TRUE(SetFileAge("C:\\MSTS\\SAVES\\Hill\\QV_~TEMP9_a.sav", PackDosDateTime(early)));
    ASSERT_TRUE(
        SetFileAge("C:\\MSTS\\SAVES\\Hill\\QV_~TEMP10_b.sav", PackDosDateTime(early.addSecs(60))));

    // With the MSTS folder out of reach nothing can be told about the saves: nothing is purged.
    App().MstsRootFolder = "C:\\GONE";
    EXPECT_TRUE(FillSavedExploreSessions("Hill").Rows.isEmpty());
    EXPECT_TRUE(OpenStoreIni("Hill\\SAVES.QVC")->Ini.SectionExists("3"));

    App().MstsRootFolder = "C:\\MSTS";
    const SavedSessionRows rows = FillSavedExploreSessions("Hill");
    EXPECT_EQ(rows.Rows,
              (QStringList{"01 Apr 2025 09:31   (Late run)", "01 Apr 2025 09:30   (Early run)"}));
    ASSERT_EQ(rows.RowMap.size(), 2u);
    EXPECT_EQ(rows.RowMap[0].SaveNumber, 10);
    EXPECT_EQ(rows.RowMap[1].SaveDate, early);
    EXPECT_FALSE(OpenStoreIni("Hill\\SAVES.QVC")->Ini.SectionExists("3")) << "never saved";
}

TEST(ExploreSessionUsingText, NamesWhatTheSessionTakesOutOfTheActivity) {
    struct Case {
        bool loose, ai;
        const char* text;
    } cases[] = {
        {true, true, "Loose Stock, AI Traffic out of Hill run"},
        {true, false, "Loose Stock out of Hill run"},
        {false, true, "AI Traffic out of Hill run"},
        {false, false, "Hill run"},
    };
    ExploreActivitySaveInfo record;
    record.Name = "Hill run";
    for (const Case& c : cases) {
        record.LooseStock = c.loose;
        record.AITraffic = c.ai;
        EXPECT_EQ(ExploreSessionUsingText(record), c.text);
    }
}

TEST_F(ExploreSavesTest, Describe_SummarisesTheSessionUnderItsName) {
    auto consists = OpenStoreIni("CACHECON.QVC");
    consists->Ini.WriteString("C1.con", "EngineName", "Dash 9");
    consists->Ini.WriteString("C1.con", "Description", "Freight");
    consists->Modified = true;
    CloseStoreIni(std::move(consists));
    session.SaveNumber = 4;
    session.Name = "Hill run";
    session.ConsistFileName = "C1.con";
    session.PlayerPathFileName = "Routes\\Hill\\PATHS\\gone.pat";
    session.SaveDate = QDateTime(QDate(2025, 4, 1), QTime(9, 5));
    session.StartTime = QTime(7, 45);
    session.Season = 3;
    session.Weather = 1;
    ReportPane pane;
    DescribeExploreSession(session, &pane);
    const QStringList lines = pane.Lines();
    ASSERT_GE(lines.size(), 9);
    EXPECT_TRUE(lines.contains("Saved QUARVEL EXPLORE 4"));
    EXPECT_EQ(lines.mid(lines.size() - 9),
              (QStringList{"Saved: 01 Apr 2025 09:05", "Locomotive: Dash 9", "Consist: Freight",
                           "Using: Hill run", "Starting at: ", "Starting: 07:45",
                           "Heading towards: ", "Season: Winter", "Weather: Snow"}));
}
