#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/winfs.h"

#include <QFile>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace qv;

namespace {

class StoreIni : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = "Quarvel";
        App().StoreRootFolder = "C:\\Store";
    }
    void MakeData(const QString& name, const QByteArray& content) {
        drive_.MakeFile("Store/QVDATA/" + name, content);
    }
    QByteArray Data(const QString& name) const { return drive_.Content("Store/QVDATA/" + name); }
    bool CloseModified(std::unique_ptr<StoreIniHolder> holder) {
        holder->Modified = true;
        return CloseStoreIni(std::move(holder));
    }

    TempMsts drive_;
    FakeUi ui_;
};

} // namespace

TEST_F(StoreIni, OpenStoreIni_UnacceptedVersionIsReportedAndLeavesAnEmptyFile) {
    QStringList copies{".bad", ".bad2", ""}; // what it held kept aside, under a name of its own
    for (const QByteArray content :
         {"[QUARVEL_INFORMATION]\r\nVersion=4.0\r\n[A]\r\nk=v\r\n", "[A]\r\nk=v\r\n", ""}) {
        ui_.Clear();
        MakeData("EUROPE1/ROUTE.QVC", content);
        auto holder = OpenStoreIni("EUROPE1\\ROUTE.QVC");
        ASSERT_EQ(ui_.Shown().size(), 1u);
        const QString copy = copies.takeFirst();
        const QString kept =
            copy.isEmpty() ? "" : "\rKept as: 'C:\\Store\\QVDATA\\EUROPE1\\ROUTE.QVC" + copy + "'";
        EXPECT_EQ(ui_.Shown()[0].text,
                  Caption(Msg::INVALID_QVS_FILE) + Caption(Msg::GENERAL_NOT_FOUND3) +
                      "EUROPE1\\ROUTE.QVC'" + kept + Caption(Msg::INVALID_QVS_CONTINUE));
        EXPECT_TRUE(holder->Ini.ReadSections().isEmpty());
        EXPECT_EQ(Data("EUROPE1/ROUTE.QVC"), QByteArray());
        EXPECT_EQ(Data("EUROPE1/ROUTE.QVC" + copy), content);
    }
}

TEST_F(StoreIni, OpenStoreIni_ARefusedFileIsKeptAsideOnceAndOneThatCannotBeEmptiedStaysAsItIs) {
    const QByteArray content = "[QUARVEL_INFORMATION]\r\nVersion=9.9\r\n[A]\r\nk=v\r\n";
    // Its copy made at an earlier opening, whose write then failed: it is the copy still.
    MakeData("EUROPE1/ROUTE.QVC", content);
    MakeData("EUROPE1/ROUTE.QVC.bad", content);
    auto holder = OpenStoreIni("EUROPE1\\ROUTE.QVC");
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_TRUE(
        ui_.Shown()[0].text.contains("Kept as: 'C:\\Store\\QVDATA\\EUROPE1\\ROUTE.QVC.bad'"));
    EXPECT_EQ(drive_.NamesIn("Store/QVDATA/EUROPE1"), QStringList({"ROUTE.QVC", "ROUTE.QVC.bad"}));

    // Read-only in a folder open to writing: no copy is made, at any opening, and no new file
    // is promised.
    MakeData("EUROPE2/ROUTE.QVC", content);
    ASSERT_TRUE(
        QFile::setPermissions(drive_.Host("Store/QVDATA/EUROPE2/ROUTE.QVC"), QFile::ReadOwner));
    for (int opening = 0; opening < 2; ++opening) {
        ui_.Clear();
        auto readOnly = OpenStoreIni("EUROPE2\\ROUTE.QVC");
        ASSERT_EQ(ui_.Shown().size(), 1u);
        EXPECT_TRUE(ui_.Shown()[0].text.contains("could not be kept aside and stays as it is"))
            << ui_.Shown()[0].text.toStdString();
        EXPECT_FALSE(ui_.Shown()[0].text.contains(Caption(Msg::INVALID_QVS_CONTINUE)));
        EXPECT_TRUE(readOnly->ReadFailed);
        readOnly->Ini.WriteString("A", "k", "w");
        EXPECT_FALSE(CloseModified(std::move(readOnly)));
    }
    EXPECT_EQ(drive_.NamesIn("Store/QVDATA/EUROPE2"), QStringList("ROUTE.QVC"));
    EXPECT_EQ(Data("EUROPE2/ROUTE.QVC"), content);
}

TEST_F(StoreIni, CloseStoreIni_UnmodifiedWritesAndCreatesNothing) {
    EXPECT_TRUE(CloseStoreIni(OpenStoreIni("EUROPE1\\ROUTE.QVC")));
    EXPECT_TRUE(drive_.NamesIn("").isEmpty());
    const QByteArray old = "[QUARVEL_INFORMATION]\r\nVersion=1.0\r\n[A]\r\nk=v\r\n";
    MakeData("SAVES.QVC", old);
    auto holder = OpenStoreIni("SAVES.QVC");
    holder->Ini.WriteString("A", "k", "changed but not marked");
    EXPECT_TRUE(CloseStoreIni(std::move(holder)));
    EXPECT_EQ(Data("SAVES.QVC"), old);
    EXPECT_TRUE(ui_.Shown().empty());
}

TEST_F(StoreIni, CloseStoreIni_ModifiedWritesTheVersionAndCreatesMissingFolders) {
    auto holder = OpenStoreIni("EUROPE1\\ROUTE.QVC");
    holder->Ini.WriteString("Explore Mode Activity", "FileName", "explore.act");
    holder->Ini.WriteInteger("Explore Mode Activity", "SetupDate", 42);
    EXPECT_TRUE(CloseModified(std::move(holder)));
    EXPECT_EQ(Data("EUROPE1/ROUTE.QVC"),
              "[Explore Mode Activity]\r\nFileName=explore.act\r\nSetupDate=42\r\n\r\n"
              "[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n\r\n");
}

TEST_F(StoreIni, CloseStoreIni_AFailedWriteIsReportedAndTheOldFileStaysWhole) {
    const QByteArray old = "[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n\r\n[A]\r\nk=v\r\n\r\n";
    MakeData("CACHECON.QVC", old);
    ASSERT_TRUE(QFile::setPermissions(drive_.Host("Store/QVDATA/CACHECON.QVC"), QFile::ReadOwner));
    auto holder = OpenStoreIni("CACHECON.QVC");
    holder->Ini.EraseSection("A");
    EXPECT_FALSE(CloseModified(std::move(holder)));
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_TRUE(ui_.Shown()[0].text.startsWith(Caption(Msg::WRITE_ERROR) +
                                               "C:\\Store\\QVDATA\\CACHECON.QVC' : ["));
    EXPECT_EQ(Data("CACHECON.QVC"), old);
}

TEST_F(StoreIni, OpenStoreIni_UnreadableFileIsReportedAndNeverOverwritten) {
    // A socket is a file that is there but cannot be read, whoever runs the test.
    drive_.MakeFolder("Store/QVDATA");
    const QByteArray host = QFile::encodeName(drive_.Host("Store/QVDATA/CACHESTK.QVC"));
    sockaddr_un address{};
    ASSERT_LT(size_t(host.size()), sizeof address.sun_path);
    address.sun_family = AF_UNIX;
    memcpy(address.sun_path, host.constData(), size_t(host.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    auto holder = OpenStoreIni("CACHESTK.QVC");
    ASSERT_EQ(ui_.Shown().size(), 1u);
    EXPECT_TRUE(ui_.Shown()[0].text.contains("C:\\Store\\QVDATA\\CACHESTK.QVC'"));
    holder->Ini.WriteString("Dash9\\DASH9.eng", "FileDate", "1");
    EXPECT_FALSE(CloseModified(std::move(holder)));
    struct stat st {};
    EXPECT_TRUE(lstat(host.constData(), &st) == 0 && S_ISSOCK(st.st_mode));
    close(fd);
}

TEST_F(StoreIni, IsAcceptedVersion_PiecesOfTheListAndTheirSideOfOnePointOne) {
    const std::pair<const char*, int> table[] = {
        {"1.0", 1}, {"1.0.1", 1}, {"1.0.2", 1}, {"1.1", 1}, {"1.1.0", 2}, {"1.1.1", 2},
        {"2.0", 2}, {"2.1", 2},   {"3.0", 2},   {"1", 1},   {"2.", 2},    {"0, 1", 1},
        {"", 0},    {"4.0", 0},   {"3.0 ", 0},  {"x", 0}};
    for (const auto& [version, expected] : table)
        EXPECT_EQ(IsAcceptedVersion(version), expected) << version;
}

TEST_F(StoreIni, ItemDataFolder_GlobalForStockAndConsistsElseTheRouteFolder) {
    EXPECT_EQ(ItemDataFolder("TRAINS\\CONSISTS"), "C:\\Store\\QVDATA\\GLOBAL SETTINGS\\");
    EXPECT_EQ(ItemDataFolder("TRAINS\\TRAINSET"), "C:\\Store\\QVDATA\\GLOBAL SETTINGS\\");
    EXPECT_EQ(ItemDataFolder("trains\\consists"), "C:\\Store\\QVDATA\\consists\\");
    EXPECT_EQ(ItemDataFolder("ROUTES\\Europe1"), "C:\\Store\\QVDATA\\Europe1\\");
}

TEST_F(StoreIni, PruneIniSections_ErasesSectionsNotKeptButNeverTheVersion) {
    MakeData("CACHEPAT.QVC", "[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n[A.pat]\r\nk=1\r\n"
                             "[b.pat]\r\nk=2\r\n[C.pat]\r\nk=3\r\n");
    StringList keep = StringList::SortedUnique();
    keep.Add("a.PAT");
    keep.Add("c.pat");
    PruneIniSections(keep, "CACHEPAT.QVC");
    EXPECT_EQ(Data("CACHEPAT.QVC"), "[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n\r\n"
                                    "[A.pat]\r\nk=1\r\n\r\n[C.pat]\r\nk=3\r\n\r\n");
    // Nothing left to erase: the file is not written again.
    ASSERT_TRUE(SetFileAge("C:\\Store\\QVDATA\\CACHEPAT.QVC", 0x2E210000));
    PruneIniSections(keep, "CACHEPAT.QVC");
    EXPECT_EQ(FileAge("C:\\Store\\QVDATA\\CACHEPAT.QVC"), 0x2E210000);
}

TEST_F(StoreIni, PruneIniSections_KeepsSectionsInAnyOrderAndLetterCase) {
    // Sections out of the list's order, one in another letter case, stale ones among them.
    MakeData("CACHECON.QVC", "[d.con]\r\nk=1\r\n[B.CON]\r\nk=2\r\n[old.con]\r\nk=3\r\n"
                             "[a.con]\r\nk=4\r\n[zz.con]\r\nk=5\r\n"
                             "[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n");
    StringList keep = StringList::SortedUnique();
    for (const char* name : {"a.con", "b.con", "c.con", "d.con"})
        keep.Add(name);
    auto holder = OpenStoreIni("CACHECON.QVC");
    PruneIniSections(keep, *holder);
    EXPECT_TRUE(holder->Modified);
    EXPECT_EQ(holder->Ini.ReadSections(),
              QStringList({"d.con", "B.CON", "a.con", "QUARVEL_INFORMATION"}));
}

TEST_F(StoreIni, CountStoreContent_CountsEveryFileOutsideTheDataFolder) {
    MakeData("EUROPE1/ROUTE.QVC", "x");
    EXPECT_EQ(CountStoreContent(), 0);
    drive_.MakeFile("Store/Trains/Consists/X.CON");
    drive_.MakeFile("Store/Routes/Europe1/PATHS/a.pat");
    EXPECT_EQ(CountStoreContent(), 2);
}

TEST_F(StoreIni, LoadNextLotNumber_OneAboveTheLastLotOfTheStockCache) {
    LoadNextLotNumber();
    EXPECT_EQ(App().CurrentLotNumber, "1");
    EXPECT_TRUE(drive_.NamesIn("").isEmpty());
    MakeData("CACHESTK.QVC", "[QUARVEL_INFORMATION]\r\nVersion=2.1\r\nLastLotNumber=41\r\n");
    LoadNextLotNumber();
    EXPECT_EQ(App().CurrentLotNumber, "42");
}

TEST_F(StoreIni, LoadNextLotNumber_GoesOnPastTheIntegerRangeWithoutOverflowing) {
    const struct {
        const char* last;
        const char* next;
    } cases[] = {
        {"2147483647", "2147483648"}, // the last 32-bit number
        {"2147483648", "2147483649"}, // as the run after it writes it back
        {"9223372036854775807", "9223372036854775807"},
        {"-7", "-6"},
        {"0x10", "17"},
        {"many", "1"},
    };
    for (const auto& c : cases) {
        MakeData("CACHESTK.QVC", QByteArray("[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n"
                                            "LastLotNumber=") +
                                     c.last + "\r\n");
        LoadNextLotNumber();
        EXPECT_EQ(App().CurrentLotNumber, c.next) << c.last;
    }
}

TEST_F(StoreIni, OpenStoreIni_AReopenedFileGivesWhatTheDiskHoldsNow) {
    MakeData("CACHESTK.QVC", "[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n[a.wag]\r\nName=one\r\n");
    auto holder = OpenStoreIni("CACHESTK.QVC");
    holder->Ini.WriteString("a.wag", "Name", "  padded  ");
    EXPECT_TRUE(CloseModified(std::move(holder)));
    // What was written, as a reading of the file gives it: the blanks are kept.
    holder = OpenStoreIni("CACHESTK.QVC");
    EXPECT_EQ(holder->Ini.ReadString("a.wag", "Name", {}), "  padded  ");
    // A change not marked is neither written nor seen by the next opening.
    holder->Ini.WriteString("a.wag", "Name", "unmarked");
    EXPECT_TRUE(CloseStoreIni(std::move(holder)));
    holder = OpenStoreIni("CACHESTK.QVC");
    EXPECT_EQ(holder->Ini.ReadString("a.wag", "Name", {}), "  padded  ");
    EXPECT_TRUE(CloseStoreIni(std::move(holder)));
    // Another program's change, even one of the same length, is read.
    MakeData("CACHESTK.QVC", "[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n[a.wag]\r\nName=qadded\r\n");
    holder = OpenStoreIni("CACHESTK.QVC");
    EXPECT_EQ(holder->Ini.ReadString("a.wag", "Name", {}), "qadded");
    // A file opened twice at once gives each holder the whole file.
    auto second = OpenStoreIni("CACHESTK.QVC");
    EXPECT_EQ(second->Ini.ReadString("a.wag", "Name", {}), "qadded");
}

TEST(CacheSections, ACurrentSectionGivesItsValuesAndOtherSectionsGiveNothing) {
    IniFile ini;
    ini.WriteString("A.wag", "Name", "Alpha");
    ini.WriteInteger("A.wag", "PType", 4);
    ini.WriteInteger("A.wag", "FileDate", 77);
    ini.WriteInteger("NoType.wag", "FileDate", 77);
    std::uint32_t ptype = 9;
    QString name = "kept", lot = "kept";
    EXPECT_TRUE(
        TakeCurrentSection(ini, "a.WAG", 77, {u"Name", u"LotNumber"}, &ptype, {&name, &lot}));
    EXPECT_EQ(ptype, 4u);
    EXPECT_EQ(name, "Alpha");
    EXPECT_TRUE(lot.isEmpty()) << "a key the section lacks";
    EXPECT_TRUE(CacheSectionIsCurrent(ini, "A.wag", 77));

    // Another date, no PType, no section: not current, and nothing is taken.
    name = lot = "kept";
    ptype = 9;
    for (const auto& [section, date] : std::vector<std::pair<QString, qint32>>{
             {"A.wag", 78}, {"NoType.wag", 77}, {"B.wag", 77}}) {
        EXPECT_FALSE(TakeCurrentSection(ini, section, date, {u"Name"}, &ptype, {&name}));
        EXPECT_FALSE(CacheSectionIsCurrent(ini, section, date));
    }
    EXPECT_EQ(ptype, 9u);
    EXPECT_EQ(name, "kept");
}
