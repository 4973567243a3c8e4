#include "core/appstate.h"
#include "core/filefind.h"
#include "core/generaldefs.h"
#include "core/stringlist.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/winfind.h"
#include "platform/winfs.h"

#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>
#include <tuple>

using namespace qv;

namespace {

class FileFind : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = "Quarvel";
    }
    void TearDown() override { SetCopyBlockHookForTests({}); }

    TempMsts drive_;
    FakeUi ui_;
};

} // namespace

TEST_F(FileFind, FindFiles_TakesFoldersOrFilesOfOneLevelWithThePrefix) {
    drive_.MakeFile("MSTS/Routes/Europe1/europe1.TRK");
    drive_.MakeFile("MSTS/Routes/A.CON");
    drive_.MakeFile("MSTS/Routes/c.cons");
    StringList folders, files, none;
    FindFiles(folders, "C:\\MSTS\\ROUTES", true, "ROUTES", "*.*");
    EXPECT_EQ(folders.Strings(), QStringList({"ROUTES\\Europe1"}));
    FindFiles(files, "C:\\MSTS\\routes", false, QString(), "*.con");
    EXPECT_EQ(files.Strings(), QStringList({"A.CON"}));
    EXPECT_FALSE(FindFiles(none, "C:\\MSTS\\Routes\\Europe1", true, QString(), "*.*"));
    EXPECT_FALSE(FindFiles(none, "C:\\MSTS\\Missing", false, QString(), "*.*"));
    EXPECT_EQ(none.Count(), 0);
}

TEST_F(FileFind, FindFileNames_AddsWhatFindFilesAddsWithoutAskingDates) {
    drive_.MakeFile("MSTS/Routes/Europe1/europe1.TRK");
    drive_.MakeFile("MSTS/Routes/A.CON");
    drive_.MakeFile("MSTS/Routes/b.con");
    for (const auto& [folder, folders, prefix, mask] :
         {std::tuple{"C:\\MSTS\\ROUTES", true, "ROUTES", "*.*"},
          std::tuple{"C:\\MSTS\\routes", false, "", "*.con"},
          std::tuple{"C:\\MSTS\\routes", false, "", "*.*"},
          std::tuple{"C:\\MSTS\\Missing", false, "", "*.*"}}) {
        StringList dated, plain;
        FindFiles(dated, folder, folders, prefix, mask);
        FindFileNames(plain, folder, folders, prefix, mask);
        EXPECT_EQ(plain.Strings(), dated.Strings()) << folder << " " << mask;
    }
}

TEST_F(FileFind, FindFiles_TrueOnlyForAnEntryWrittenAfterTheLastClose) {
    drive_.MakeFile("MSTS/old.con");
    drive_.MakeFile("MSTS/new.con");
    const QDateTime now = QDateTime::currentDateTime();
    ASSERT_TRUE(SetFileAge("C:\\MSTS\\old.con", PackDosDateTime(now.addDays(-30))));
    StringList list;
    App().LastCloseFileDate = quint32(PackDosDateTime(now.addDays(-1)));
    EXPECT_TRUE(FindFiles(list, "C:\\MSTS", false, QString(), "*.*"));
    EXPECT_FALSE(FindFiles(list, "C:\\MSTS", false, QString(), "old.*"));
    App().LastCloseFileDate = quint32(PackDosDateTime(now.addDays(1)));
    EXPECT_FALSE(FindFiles(list, "C:\\MSTS", false, QString(), "*.*"));
}

TEST_F(FileFind, CountFiles_DepthAndFilterDecideWhatIsCounted) {
    drive_.MakeFile("Store/A.CON");
    drive_.MakeFile("Store/c.cons");
    drive_.MakeFile("Store/Sub/b.con");
    drive_.MakeFile("Store/Sub/Deeper/d.con");
    EXPECT_EQ(CountFiles("C:\\Store", QString(), 0), 2);
    EXPECT_EQ(CountFiles("C:\\Store", QString(), 1), 3);
    EXPECT_EQ(CountFiles("C:\\Store", QString(), -1), 4);
    EXPECT_EQ(CountFiles("C:\\Store", QString(), -2), 2);
    EXPECT_EQ(CountFiles("C:\\Store", ".con", -1), 3);
    EXPECT_EQ(CountFiles("C:\\Store", "a.con", -1), 1);
    EXPECT_EQ(CountFiles("C:\\Missing", QString(), -1), 0);
    // A linked folder is not gone into.
    drive_.MakeFile("Elsewhere/x.con");
    ASSERT_TRUE(QFile::link(drive_.Host("Elsewhere"), drive_.Host("Store/Linked")));
    EXPECT_EQ(CountFiles("C:\\Store", QString(), -1), 4);
}

TEST_F(FileFind, FilesDiffer_ComparesEveryBlockAndCountsUnreadableAsDifferent) {
    QByteArray big(40000, 'x');
    drive_.MakeFile("A/empty1", QByteArray());
    drive_.MakeFile("A/empty2", QByteArray());
    drive_.MakeFile("A/big1", big);
    drive_.MakeFile("A/big2", big);
    big[30000] = 'y'; // in the second block
    drive_.MakeFile("A/big3", big);
    drive_.MakeFolder("A/Folder");
    EXPECT_FALSE(FilesDiffer("C:\\A\\empty1", "C:\\A\\EMPTY2"));
    EXPECT_FALSE(FilesDiffer("C:\\A\\big1", "C:\\A\\big2"));
    EXPECT_TRUE(FilesDiffer("C:\\A\\big1", "C:\\A\\big3"));
    EXPECT_TRUE(FilesDiffer("C:\\A\\big1", "C:\\A\\empty1"));
    EXPECT_TRUE(FilesDiffer("C:\\A\\empty1", "C:\\A\\missing"));
    EXPECT_TRUE(FilesDiffer("C:\\A\\missing", "C:\\A\\missing"));
    EXPECT_TRUE(FilesDiffer("C:\\A\\Folder", "C:\\A\\Folder"));
    EXPECT_EQ(FileSizeOf("C:\\a\\BIG1"), 40000);
    EXPECT_EQ(FileSizeOf("C:\\A\\missing"), 1);
    ASSERT_TRUE(QFile::link("/dev/null", drive_.Host("A/null")));
    EXPECT_TRUE(FilesDiffer("C:\\A\\empty1", "C:\\A\\null"));
}

TEST_F(FileFind, SizeText_BytesKilobytesAndMegabytesInEnglishFormat) {
    EXPECT_EQ(SizeText(1023), "1023 bytes");
    EXPECT_EQ(SizeText(1024), "1.00 KB (1,024 bytes)");
    EXPECT_EQ(SizeText(1048575), "1,024.00 KB (1,048,575 bytes)");
    EXPECT_EQ(SizeText(1572864), "1.50 MB (1,572,864 bytes)");
}

TEST_F(FileFind, CopyFileKeepTimes_TheCopyKeepsTheSourcesWriteTime) {
    drive_.MakeFile("MSTS/X.CON", "consist");
    drive_.MakeFolder("Store");
    const qint32 age = PackDosDateTime(QDateTime(QDate(2003, 5, 17), QTime(10, 20, 30)));
    ASSERT_TRUE(SetFileAge("C:\\MSTS\\X.CON", age));
    EXPECT_TRUE(CopyFileKeepTimes("C:\\MSTS\\X.CON", "C:\\Store\\X.CON"));
    EXPECT_EQ(drive_.Content("Store/X.CON"), "consist");
    EXPECT_EQ(FileAge("C:\\Store\\X.CON"), age);
    EXPECT_TRUE(ui_.Shown().empty());
}

TEST_F(FileFind, CopyFileKeepTimes_OntoTheSamePathInOtherCaseFailsAndLeavesTheFile) {
    drive_.MakeFile("MSTS/X.CON", "consist");
    EXPECT_FALSE(CopyFileKeepTimes("C:\\MSTS\\X.CON", "c:\\msts\\x.con"));
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_EQ(ui_.Shown()[0].text, Caption(Msg::COPY_ERROR) + Caption(Msg::GENERAL_NOT_FOUND3) +
                                       "C:\\MSTS\\X.CON'" + Caption(Msg::GENERAL_NOT_FOUND3) +
                                       "c:\\msts\\x.con'");
    EXPECT_EQ(ui_.Shown()[0].style, MB_ICONSTOP);
    EXPECT_EQ(drive_.Content("MSTS/X.CON"), "consist");
}

TEST_F(FileFind, CopyFileKeepTimes_FailureNeitherOverwritesNorLeavesAPartialTarget) {
    drive_.MakeFile("MSTS/a.con", "new");
    drive_.MakeFile("Store/a.con", "old");
    EXPECT_FALSE(CopyFileKeepTimes("C:\\MSTS\\a.con", "C:\\Store\\A.CON"));
    EXPECT_EQ(drive_.Content("Store/a.con"), "old");

    drive_.MakeFile("MSTS/big.s", QByteArray(300000, 's'));
    SetCopyBlockHookForTests([](qint64 copied) { return copied == 0; });
    EXPECT_FALSE(CopyFileKeepTimes("C:\\MSTS\\big.s", "C:\\Store\\big.s"));
    EXPECT_EQ(drive_.NamesIn("Store"), QStringList({"a.con"}));
    EXPECT_EQ(ui_.Shown().size(), 2u);
}
