#include "easy/exploresaves.h"

#include "core/appstate.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"

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
