#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "fixtures/registrysandbox.h"
#include "platform/fakeui.h"
#include "platform/terminate.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <vector>

using namespace qv;

namespace {

class RegSettings : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        previousHook_ = SetTerminateHook([this](int status) { ends_.push_back(status); });
    }
    void TearDown() override { SetTerminateHook(previousHook_); }

    // Writes now fail: a file stands where the registry folder should be made.
    void BlockTheRegistryFolder() {
        QFile blocker(sandbox_.Dir());
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    // Writes to an existing hive now fail: a folder stands where the new file is written.
    void BlockHiveReplacement() {
        ASSERT_TRUE(QDir().mkdir(sandbox_.HivePath(HKEY_LOCAL_MACHINE) + ".tmp"));
    }

    QString WriteFailureText(const QString& name) const {
        return Caption(Msg::BAD_REGISTRY_WRITE_LEG1) + Caption(Msg::BAD_REGISTRY_WRITE_LEG2) +
               name + "'";
    }

    void SetList(const QString& subKey, const QStringList& entries) {
        for (int i = 0; i < entries.size(); ++i)
            ASSERT_TRUE(
                RegWriteString(kProductKey + "\\" + subKey, QString::number(i), entries[i]));
    }
    QStringList ValueNamesOf(const QString& key) {
        RegistryKey reg;
        return reg.OpenReadOnly(HKEY_LOCAL_MACHINE, key) ? reg.ValueNames() : QStringList();
    }

    RegistrySandbox sandbox_;
    FakeUi ui_;
    std::vector<int> ends_;
    TerminateHook previousHook_;
};

} // namespace

// ---- strings and flags ---------------------------------------------------------------------

TEST_F(RegSettings, StringsGoToTheRootTheyAreWrittenAt) {
    EXPECT_TRUE(RegWriteString(kProductKey, "Store Path", "D:\\Store"));
    EXPECT_EQ(RegReadString(kProductKey, "store path"), "D:\\Store");
    EXPECT_EQ(RegReadStringAt(HKEY_LOCAL_MACHINE, kProductKey, "Store Path"), "D:\\Store");
    EXPECT_EQ(RegReadStringAt(HKEY_CURRENT_USER, kProductKey, "Store Path"), "");

    EXPECT_TRUE(RegWriteStringAt(HKEY_CURRENT_USER, "Software\\Locales", "/opt/quarvel", "eng"));
    EXPECT_TRUE(sandbox_.ReadHive(HKEY_CURRENT_USER).contains("\"/opt/quarvel\"=\"eng\""));
    EXPECT_TRUE(RegWriteStringAt(HKEY_CLASSES_ROOT, ".pdf", "", "AcroExch.Document"));
    EXPECT_EQ(RegReadString("Software\\Classes\\.pdf", ""), "AcroExch.Document");

    EXPECT_EQ(RegReadString(kProductKey, "Never Written"), "");
    EXPECT_EQ(RegReadString(kProductKey + "\\No Such Key", "Store Path"), "");
    EXPECT_TRUE(ui_.Shown().empty());
    EXPECT_TRUE(ends_.empty());
}

TEST_F(RegSettings, AValueOfAnotherTypeReadsAsEmptyInsteadOfFailing) {
    RegistryKey key;
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, kProductKey + "\\Fonts\\ListHighlight", true));
    ASSERT_TRUE(key.WriteDword("Colour", 255));
    ASSERT_TRUE(key.WriteBinary("Data", QByteArray(60, '\0')));
    ASSERT_TRUE(key.WriteExpandString("Folder", "%HOME%\\x"));

    EXPECT_EQ(RegReadString(kProductKey + "\\Fonts\\ListHighlight", "Colour"), "");
    EXPECT_EQ(RegReadString(kProductKey + "\\Fonts\\ListHighlight", "Data"), "");
    EXPECT_EQ(RegReadString(kProductKey + "\\Fonts\\ListHighlight", "Folder"), "%HOME%\\x");
    EXPECT_EQ(ReadKeyList("Fonts\\ListHighlight"), (QStringList{"", "", "%HOME%\\x"}));
}

TEST_F(RegSettings, OnlyTheExactTextTrueIsASetFlag) {
    EXPECT_FALSE(ReadFlag("Confirm Completion"));
    for (const char* text : {"True", "TRUE", "", "1", "true "}) {
        RegWriteString(kProductKey, "Confirm Completion", text);
        EXPECT_FALSE(ReadFlag("Confirm Completion")) << text;
    }
    WriteFlag(true, "Confirm Completion");
    EXPECT_TRUE(ReadFlag("Confirm Completion"));
    EXPECT_EQ(RegReadString(kProductKey, "Confirm Completion"), "true");
    WriteFlag(false, "Confirm Completion");
    EXPECT_EQ(RegReadString(kProductKey, "Confirm Completion"), "false");
    EXPECT_FALSE(ReadFlag("Confirm Completion"));
}

TEST_F(RegSettings, DeletingAValueThatIsMissingIsNoError) {
    RegWriteString(kProductKey, "Last Close", "45000.5");
    EXPECT_TRUE(RegDeleteValueAt(HKEY_LOCAL_MACHINE, kProductKey, "LAST CLOSE"));
    EXPECT_EQ(RegReadString(kProductKey, "Last Close"), "");
    EXPECT_TRUE(RegDeleteValueAt(HKEY_LOCAL_MACHINE, kProductKey, "Last Close"));
    EXPECT_TRUE(RegDeleteValueAt(HKEY_LOCAL_MACHINE, kProductKey + "\\New", "x"));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kProductKey + "\\New"));
    EXPECT_TRUE(ui_.Shown().empty());
    EXPECT_TRUE(ends_.empty());
}

// ---- failed writes -------------------------------------------------------------------------

TEST_F(RegSettings, AFailedWriteShowsTheStopBoxAndEndsTheProgram) {
    BlockTheRegistryFolder();
    EXPECT_FALSE(RegWriteString(kProductKey, "Last Close", "45000.5"));
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_EQ(ui_.Shown()[0].text, WriteFailureText("Last Close"));
    EXPECT_TRUE(ui_.Shown()[0].text.startsWith("System Error: Unexpected Registry write failure.\r"
                                               "Quarvel cannot continue.\r"));
    EXPECT_EQ(ui_.Shown()[0].caption, "Quarvel");
    EXPECT_EQ(ui_.Shown()[0].style, 16);
    EXPECT_EQ(ends_, std::vector<int>{1});

    WriteFlag(true, "Start RD");
    EXPECT_EQ(ends_, (std::vector<int>{1, 1}));
}

TEST_F(RegSettings, AFailedValueDeletionEndsTheProgramToo) {
    RegWriteString(kProductKey, "Selected Unstored", "3");
    BlockHiveReplacement();
    EXPECT_FALSE(RegDeleteValueAt(HKEY_LOCAL_MACHINE, kProductKey, "Selected Unstored"));
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_EQ(ui_.Shown()[0].text, WriteFailureText("Selected Unstored"));
    EXPECT_EQ(ends_, std::vector<int>{1});
    EXPECT_EQ(RegReadString(kProductKey, "Selected Unstored"), "3");
}

TEST_F(RegSettings, AnUnreadableHiveIsShownOnceAndKeptAside) {
    sandbox_.WriteHive(HKEY_LOCAL_MACHINE, "REGEDIT4\n\"no key\"=\"x\"\n");
    EXPECT_EQ(RegReadString(kProductKey, "Store Path"), "");
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_TRUE(ui_.Shown()[0].text.contains(sandbox_.HivePath(HKEY_LOCAL_MACHINE) + ".bad"));
    EXPECT_EQ(ui_.Shown()[0].caption, "Quarvel");
    EXPECT_TRUE(QFile::exists(sandbox_.HivePath(HKEY_LOCAL_MACHINE) + ".bad"));

    EXPECT_TRUE(RegWriteString(kProductKey, "Store Path", "D:\\Store"));
    EXPECT_EQ(RegReadString(kProductKey, "Store Path"), "D:\\Store");
    EXPECT_EQ(ui_.Shown().size(), 1u);
    EXPECT_TRUE(ends_.empty());
}

// ---- key trees -----------------------------------------------------------------------------

TEST_F(RegSettings, DeleteKeyTreeRemovesEverythingBelowTheKey) {
    EXPECT_TRUE(DeleteKeyTree(kProductKey));
    RegWriteString(kProductKey, "Store Path", "D:\\Store");
    RegWriteString(kProductKey + "\\Exclusions\\Folders", "0", "Routes\\X");
    RegWriteString(kProductKey + "\\Exclusions\\Files", "0", "a.con");
    RegWriteString(kProductKey + "\\ConBuilder", "CB EXE Path", "C:\\cb.exe");
    RegWriteString("SOFTWARE\\Pellicott", "Kept", "yes");

    EXPECT_TRUE(ClearKey("Exclusions"));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kProductKey + "\\Exclusions"));
    EXPECT_EQ(RegReadString(kProductKey + "\\ConBuilder", "CB EXE Path"), "C:\\cb.exe");

    EXPECT_TRUE(DeleteKeyTree(kProductKey));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kProductKey));
    EXPECT_EQ(RegReadString("SOFTWARE\\Pellicott", "Kept"), "yes");
    EXPECT_TRUE(ui_.Shown().empty());
}

TEST_F(RegSettings, AFailedKeyDeletionIsShownAndTheProgramGoesOn) {
    RegWriteString(kProductKey + "\\Filters", "0", "x");
    BlockHiveReplacement();
    EXPECT_FALSE(ClearKey("Filters"));
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_EQ(ui_.Shown()[0].text, Caption(Msg::BAD_REGISTRY_DELETE_LEG1) +
                                       Caption(Msg::BAD_REGISTRY_WRITE_LEG2) + kProductKey +
                                       "\\Filters'");
    EXPECT_EQ(ui_.Shown()[0].style, 16);
    EXPECT_TRUE(ends_.empty());
}

// ---- lists ---------------------------------------------------------------------------------

TEST_F(RegSettings, AddingAnEntryPutsItFirstAndDropsItsOldCopy) {
    SetList("Recent", {"a", "b", "c"});
    EXPECT_TRUE(AddToKeyList("Recent", "b", false, 9));
    EXPECT_EQ(ReadKeyList("Recent"), (QStringList{"b", "a", "c"}));
    EXPECT_EQ(ValueNamesOf(kProductKey + "\\Recent"), (QStringList{"0", "1", "2"}));
    EXPECT_EQ(RegReadString(kProductKey + "\\Recent", "1"), "a");

    EXPECT_TRUE(AddToKeyList("Recent", " d ", false, 9));
    EXPECT_EQ(ReadKeyList("Recent"), (QStringList{" d ", "b", "a", "c"}));
}

TEST_F(RegSettings, RemovingAnEntryTakesOnlyItsExactSpellingOut) {
    SetList("Filters\\Search", {"a", "b", "c"});
    EXPECT_TRUE(AddToKeyList("Filters\\Search", "b", true, 15));
    EXPECT_EQ(ReadKeyList("Filters\\Search"), (QStringList{"a", "c"}));
    EXPECT_EQ(ValueNamesOf(kProductKey + "\\Filters\\Search"), (QStringList{"0", "1"}));

    EXPECT_TRUE(AddToKeyList("Filters\\Search", "A", true, 15));
    EXPECT_EQ(ReadKeyList("Filters\\Search"), (QStringList{"a", "c"}));
}

TEST_F(RegSettings, AFullListDropsItsOldestEntry) {
    const QStringList nine{"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    SetList("Recent", nine);
    EXPECT_TRUE(AddToKeyList("Recent", "new", false, 9));
    EXPECT_EQ(ReadKeyList("Recent"), QStringList{"new"} + nine.mid(0, 8));
}

TEST_F(RegSettings, ABlankEntryChangesNothing) {
    SetList("Recent", {"a"});
    const QByteArray before = sandbox_.ReadHive(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(AddToKeyList("Recent", " \t\r\n", false, 9));
    EXPECT_TRUE(AddToKeyList("Missing", "  ", false, 9));
    EXPECT_EQ(sandbox_.ReadHive(HKEY_LOCAL_MACHINE), before);
    EXPECT_EQ(ReadKeyList("Recent"), QStringList{"a"});
}

TEST_F(RegSettings, AListThatCannotBeWrittenBackIsReportedNotPassedAsDone) {
    BlockTheRegistryFolder();
    EXPECT_FALSE(AddToKeyList("Recent", "a.qvs", false, 9));
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_EQ(ui_.Shown()[0].text, WriteFailureText(kProductKey + "\\Recent"));
    EXPECT_EQ(ui_.Shown()[0].style, 16);
    EXPECT_TRUE(ends_.empty());
}

// ---- small helpers -------------------------------------------------------------------------

TEST(StripQuotes, RemovesOnePairOfSurroundingQuotesOnly) {
    EXPECT_EQ(StripQuotes("\"C:\\Program Files\\x.exe\""), "C:\\Program Files\\x.exe");
    EXPECT_EQ(StripQuotes("\"\"a\"\""), "\"a\"");
    EXPECT_EQ(StripQuotes("\"\""), "");
    EXPECT_EQ(StripQuotes("\""), "\"");
    EXPECT_EQ(StripQuotes("\"open"), "\"open");
    EXPECT_EQ(StripQuotes(""), "");
}

TEST(IsValidPath, NeedsADriveAndRefusesWhatNoFolderNameCanHold) {
    EXPECT_TRUE(IsValidPath("C:\\Store"));
    EXPECT_TRUE(IsValidPath("d:\\MSTS Store\\Routes"));
    EXPECT_TRUE(IsValidPath("C:"));
    for (const QString& path :
         {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("Store"),
          QStringLiteral("\\\\server\\share"), QStringLiteral("C:\\a\\\\b"),
          QStringLiteral("C:\\a:b"), QStringLiteral("C:\\what?"), QStringLiteral("C:/Store"),
          QStringLiteral("C:\\a\"b"), QStringLiteral("C:\\<a>"), QStringLiteral("C:\\a|b"),
          QStringLiteral("C:\\a") + QChar(0xA6), QStringLiteral("\\C:\\Store")}) {
        EXPECT_FALSE(IsValidPath(path)) << path.toStdString();
    }
}
