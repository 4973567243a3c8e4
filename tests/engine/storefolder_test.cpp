// Choosing, setting up and moving the store folder, and the first start that sets the store up
// through the dialog's own logic, with MSTS registered in our hive or in Wine's.
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/startupconfig.h"
#include "engine/fixedobjects.h"
#include "engine/storefolder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/drivemap.h"
#include "platform/fakeui.h"
#include "platform/terminate.h"
#include "platform/winfs.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

namespace qv {
namespace {

// Remembers every status code shown in panel 0.
class StatusRecorder : public HeadlessMainServices {
public:
    QStringList codes;
    void SetStatusText(int panel, const QString& text) override {
        if (panel == 0 && !text.isEmpty())
            codes << text;
        HeadlessMainServices::SetStatusText(panel, text);
    }
};

// The storage-folder dialog driven through its logic: the proposed folder, or `typed`, is OKed.
class DialogLogicUi : public FakeUi {
public:
    QString typed;
    // Runs as each message box is shown, as another program would act meanwhile.
    std::function<void()> onBox;
    int MessageBox(const QString& text, const QString& caption, int style) override {
        if (onBox)
            onBox();
        return FakeUi::MessageBox(text, caption, style);
    }
    int SelectStoragePath() override {
        StorePathDialogStart start;
        if (!PrepareStorePathDialog(&start))
            return ID_CANCEL;
        return AcceptStorePath(typed.isEmpty() ? start.selected : typed) ? ID_OK : ID_CANCEL;
    }
};

class StoreFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().ProgramFilePath = QStringLiteral("C:\\Program\\quarvel.exe");
        temp_.MakeFile("MSTS/TRAINS/TRAINSET/DEFAULT/DEFAULT.WAG");
        previousHook_ = SetTerminateHook([this](int status) { ends_ << status; });
        SetMainServices(&status_);
        DriveMap map = TheDriveMap(); // D: stands for another drive, on a file system of its own
        map.SetDrive('D', driveD_.path());
        SetDriveMap(map);
    }
    void TearDown() override {
        SetMainServices(nullptr);
        SetTerminateHook(previousHook_);
        SetCopyBlockHookForTests({});
    }

    // Registers an existing store and lets the dialog read it.
    void Register(const QString& path) {
        RegWriteString(kProductKey, "Store Path", path);
        App().StoreRootFolder = path;
        StorePathDialogStart start;
        ASSERT_TRUE(PrepareStorePathDialog(&start));
    }
    void MakeOnD(const QString& relative, const QByteArray& content = "content") {
        const QString path = driveD_.path() + "/" + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    static QString StorePath() { return RegReadString(kProductKey, "Store Path"); }
    QString LastText() const { return ui_.Shown().empty() ? QString() : ui_.Shown().back().text; }

    RegistrySandbox sandbox_;
    TempMsts temp_;
    // Another file system where the machine has one: a letter alone makes no other drive.
    QTemporaryDir driveD_{QDir(QStringLiteral("/dev/shm")).exists()
                              ? QStringLiteral("/dev/shm/quarvel-d-XXXXXX")
                              : QDir::tempPath() + QStringLiteral("/quarvel-d-XXXXXX")};
    bool DriveDIsAnotherFileSystem() const {
        struct stat c {
        }, d{};
        return stat(QFile::encodeName(temp_.DriveC()).constData(), &c) == 0 &&
               stat(QFile::encodeName(driveD_.path()).constData(), &d) == 0 && c.st_dev != d.st_dev;
    }
    DialogLogicUi ui_;
    StatusRecorder status_;
    QList<int> ends_;
    TerminateHook previousHook_;
};

TEST_F(StoreFolder, ChecksRefuseInTheirOrderAndLeaveTheStoreAsItWas) {
    temp_.MakeFolder("Store/QVDATA");
    temp_.MakeFile("Full/readme.txt");
    // Links that lead into the store and into the MSTS folder: a path through them is judged by
    // where it leads.
    temp_.MakeFolder("Links");
    ASSERT_TRUE(QFile::link(temp_.Host("Store"), temp_.Host("Links/ToStore")));
    ASSERT_TRUE(QFile::link(temp_.Host("MSTS/TRAINS"), temp_.Host("Links/ToTrains")));
    Register("C:\\Store");
    const struct {
        const char* path;
        Msg message;
    } refusals[] = {
        {"Store", Msg::INVALID_FILENAME},
        {"C:\\a?b", Msg::INVALID_FILENAME},
        {"c:\\STORE", Msg::SAME_FOLDER},
        {"Q:\\Store", Msg::DIFFERENT_DRIVE},
        {"C:\\Store\\Sub", Msg::PATH_INCLUDED_LEG},
        {"C:\\msts\\New", Msg::PATH_CANNOT_BE_IN_MSTS},
        {"C:\\MSTS", Msg::PATH_CANNOT_BE_IN_MSTS},
        {"C:\\Full", Msg::DIR_NOT_EMPTY_LEG1},
        {"C:\\Links\\ToStore", Msg::SAME_FOLDER},
        {"C:\\links\\tostore\\Sub", Msg::PATH_INCLUDED_LEG},
        {"C:\\Links\\ToStore\\QVDATA\\New", Msg::PATH_INCLUDED_LEG},
        {"C:\\Links\\ToTrains", Msg::PATH_CANNOT_BE_IN_MSTS},
        {"C:\\Links\\ToTrains\\New\\Deeper", Msg::PATH_CANNOT_BE_IN_MSTS},
    };
    for (const auto& refusal : refusals) {
        EXPECT_EQ(CheckNewStorePath(refusal.path), StorePathAction::Refused) << refusal.path;
        EXPECT_TRUE(LastText().startsWith(Caption(refusal.message))) << refusal.path;
    }
    EXPECT_EQ(StorePath(), "C:\\Store");
    EXPECT_TRUE(ui_.Mismatches().isEmpty());
}

TEST_F(StoreFolder, InsideIsJudgedByWholeFolderNames) {
    temp_.MakeFolder("Store");
    Register("C:\\Store");
    ui_.Expect("'C:\\Store2' does not exist", ID_YES);
    ui_.Expect("moved from 'C:\\Store' to 'C:\\Store2'", ID_YES);
    EXPECT_EQ(CheckNewStorePath("C:\\Store2"), StorePathAction::Move);
    ui_.Expect("'C:\\MSTS2' does not exist", ID_YES);
    ui_.Expect("moved from", ID_NO);
    EXPECT_EQ(CheckNewStorePath("C:\\MSTS2"), StorePathAction::Refused);
    EXPECT_TRUE(ui_.Mismatches().isEmpty()) << ui_.Mismatches().join('\n').toStdString();
}

TEST_F(StoreFolder, FirstSetUpAdoptsAFolderWhoseOnlySubFolderIsQvdata) {
    temp_.MakeFile("Old/QVDATA/ROUTE.QVC");
    temp_.MakeFile("Old/notes.txt");
    temp_.MakeFolder("Two/QVDATA");
    temp_.MakeFolder("Two/TRAINS");
    Register(QString());
    EXPECT_FALSE(AcceptStorePath("C:\\Two"));
    EXPECT_TRUE(LastText().startsWith(Caption(Msg::DIR_NOT_EMPTY_LEG1)));
    EXPECT_TRUE(AcceptStorePath("C:\\Old"));
    EXPECT_EQ(LastText(), Caption(Msg::DIR_NOT_EMPTY_LEG3) + "C:\\Old'");
    EXPECT_EQ(StorePath(), "C:\\Old");
    EXPECT_EQ(App().StoreRootFolder, "C:\\Old");
}

TEST_F(StoreFolder, FirstSetUpCreatesOneLevelOrStaysOpenSayingWhy) {
    StorePathDialogStart start;
    ASSERT_TRUE(PrepareStorePathDialog(&start));
    EXPECT_EQ(start.folder, "C:\\");
    EXPECT_EQ(start.selected, "C:\\Quarvel");
    EXPECT_EQ(start.label, Caption(Msg::NEW_QUARVEL_KEY_LEG));

    ui_.Expect("'C:\\Deep\\Store' does not exist", ID_YES);
    EXPECT_FALSE(AcceptStorePath("C:\\Deep\\Store"));
    EXPECT_TRUE(LastText().contains("Folder: 'C:\\Deep\\Store'"));
    EXPECT_EQ(StorePath(), "");
    EXPECT_EQ(App().StoreRootFolder, "");

    ui_.Expect("does not exist", ID_NO);
    EXPECT_FALSE(AcceptStorePath("C:\\Quarvel"));
    EXPECT_FALSE(FolderExists("C:\\Quarvel"));
    ui_.Expect("does not exist", ID_YES);
    EXPECT_TRUE(AcceptStorePath("C:\\Quarvel"));
    EXPECT_TRUE(FolderExists("C:\\Quarvel"));
    EXPECT_EQ(StorePath(), "C:\\Quarvel");
    EXPECT_TRUE(ui_.Mismatches().isEmpty()) << ui_.Mismatches().join('\n').toStdString();
}

// MSTS in a plain folder of the host (drive Z:, whose root is the system's): the store proposed,
// in the home folder or else beside the MSTS folder, can be made.
TEST_F(StoreFolder, FirstSetUpOnTheHostDriveProposesAFolderTheUserCanMake) {
    QTemporaryDir plain;
    QDir().mkpath(plain.path() + "/home/MSTS");
    const QString z = ToWindowsForm(plain.path());
    const auto restore = qScopeGuard([was = qgetenv("HOME")] { qputenv("HOME", was); });
    // {home folder, MSTS folder, proposed}: the home folder may be the MSTS folder itself.
    for (const auto& [home, msts, proposed] :
         {std::tuple{"/home", "\\home\\MSTS", "\\home\\Quarvel"},
          {"/home/MSTS", "\\home\\MSTS", "\\home\\Quarvel"}}) {
        qputenv("HOME", QFile::encodeName(plain.path() + home));
        App().MstsRootFolder = z + msts;
        ASSERT_TRUE(WriteStorePath(QString()));
        ui_.Expect("does not exist", ID_YES);
        EXPECT_EQ(ui_.SelectStoragePath(), ID_OK) << home;
        EXPECT_EQ(StorePath(), z + proposed) << home;
        QDir(plain.path() + "/home/Quarvel").removeRecursively();
    }
}

// C: and Z: lead to one disk: the store may move to Z: beside the MSTS folder, never into it.
TEST_F(StoreFolder, ThroughAnotherDriveTheStoreMayMoveBesideTheMstsFolderNotIntoIt) {
    temp_.MakeFile("Store/QVDATA/ROUTE.QVC", "data");
    Register("C:\\Store");
    const auto throughZ = [&](const QString& relative) {
        return "Z:" + temp_.Host(relative).replace(u'/', u'\\');
    };
    EXPECT_EQ(CheckNewStorePath(throughZ("MSTS/New")), StorePathAction::Refused);
    EXPECT_TRUE(LastText().startsWith(Caption(Msg::PATH_CANNOT_BE_IN_MSTS)));
    EXPECT_TRUE(AcceptStorePath(throughZ("Beside")));
    EXPECT_EQ(status_.codes, QStringList{"MOVESTF"});
    EXPECT_EQ(temp_.Content("Beside/QVDATA/ROUTE.QVC"), "data");
}

TEST_F(StoreFolder, MoveOnOneFileSystemRenamesTheWholeStore) {
    temp_.MakeFile("Store/QVDATA/ROUTE.QVC", "data");
    temp_.MakeFile("Store/TRAINS/CONSISTS/a.con", "consist");
    temp_.MakeFolder("Target");
    Register("C:\\Store");
    EXPECT_TRUE(AcceptStorePath("C:\\Target\\New")); // asked, answered Yes by default
    EXPECT_EQ(status_.codes, QStringList{"MOVESTF"});
    EXPECT_EQ(temp_.Content("Target/New/TRAINS/CONSISTS/a.con"), "consist");
    EXPECT_FALSE(FolderExists("C:\\Store"));
    EXPECT_EQ(StorePath(), "C:\\Target\\New");
    EXPECT_EQ(App().StoreRootFolder, "C:\\Target\\New");
}

TEST_F(StoreFolder, MoveFromAnotherDriveCopiesKeepingTimesThenDeletesTheOriginal) {
    if (!DriveDIsAnotherFileSystem())
        GTEST_SKIP() << "no second file system to test with";
    MakeOnD("Store/QVDATA/ROUTE.QVC", "data");
    QFile(driveD_.path() + "/Store/QVDATA/ROUTE.QVC")
        .setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)),
                     QFileDevice::FileModificationTime);
    const qint32 age = FileAge("D:\\Store\\QVDATA\\ROUTE.QVC");
    Register("D:\\Store");

    EXPECT_TRUE(AcceptStorePath("C:\\Quarvel"));
    EXPECT_EQ(status_.codes, QStringList{"CMOVESTF"});
    EXPECT_EQ(temp_.Content("Quarvel/QVDATA/ROUTE.QVC"), "data");
    EXPECT_EQ(FileAge("C:\\Quarvel\\QVDATA\\ROUTE.QVC"), age);
    EXPECT_FALSE(FolderExists("D:\\Store"));
    EXPECT_EQ(StorePath(), "C:\\Quarvel");
}

TEST_F(StoreFolder, FailedCopyLeavesTheOldStoreWholeAndRegistered) {
    if (!DriveDIsAnotherFileSystem())
        GTEST_SKIP() << "no second file system to test with";
    MakeOnD("Store/QVDATA/a.qvc");
    MakeOnD("Store/TRAINS/b.con");
    temp_.MakeFolder("Empty");
    Register("D:\\Store");
    int copies = 0;
    SetCopyBlockHookForTests([&](qint64 copied) { return copied > 0 || ++copies < 2; });

    EXPECT_FALSE(AcceptStorePath("C:\\Fresh\\Store"));
    EXPECT_TRUE(
        LastText().startsWith(Caption(Msg::MOVETHING_ERROR1) + "\r" + Caption(Msg::COPY_ERROR)));
    EXPECT_FALSE(FolderExists("C:\\Fresh"));
    copies = 0;
    EXPECT_FALSE(AcceptStorePath("C:\\Empty"));
    EXPECT_TRUE(FolderExists("C:\\Empty"));
    EXPECT_EQ(temp_.NamesIn("Empty"), QStringList());
    EXPECT_TRUE(FileExists("D:\\Store\\QVDATA\\a.qvc"));
    EXPECT_TRUE(FileExists("D:\\Store\\TRAINS\\b.con"));
    EXPECT_EQ(StorePath(), "D:\\Store");
    EXPECT_EQ(App().StoreRootFolder, "D:\\Store");
}

// The registry refuses "Store Path" after the store has been renamed or copied: by the time the
// program ends, the store is back where the registry names it, and nothing is left at the target.
TEST_F(StoreFolder, RegistryFailureAfterTheMovePutsTheStoreBackBeforeTheProgramEnds) {
    struct Case {
        const char* from;
        const char* to;
        const char* madeFolder; // on C:, made before the move (the target's parent)
    };
    const Case cases[] = {{"C:\\Store", "C:\\Target\\New", "Target"},
                          {"C:\\Store", "C:\\Fresh\\New", nullptr},
                          {"D:\\Store", "C:\\Quarvel", nullptr}};
    for (const Case& c : cases) {
        const QString from = QString::fromLatin1(c.from);
        const QString to = QString::fromLatin1(c.to);
        SCOPED_TRACE(to.toStdString());
        if (from.startsWith(u'D'))
            MakeOnD("Store/TRAINS/CONSISTS/a.con", "consist");
        else
            temp_.MakeFile("Store/TRAINS/CONSISTS/a.con", "consist");
        if (c.madeFolder)
            temp_.MakeFolder(QString::fromLatin1(c.madeFolder));
        Register(from);
        // A folder where the new hive file is written makes every registry write fail.
        const QString blocker = sandbox_.HivePath(HKEY_LOCAL_MACHINE) + ".tmp";
        ASSERT_TRUE(QDir().mkdir(blocker));
        QStringList atEnd;
        SetTerminateHook([&](int status) {
            atEnd << QString::number(status)
                  << (FileExists(from + "\\TRAINS\\CONSISTS\\a.con") ? "old store" : "no store")
                  << (FolderExists(to) ? "target made" : "no target");
        });

        EXPECT_FALSE(AcceptStorePath(to));
        EXPECT_EQ(atEnd, (QStringList{"1", "old store", "no target"}));
        EXPECT_TRUE(LastText().startsWith(Caption(Msg::BAD_REGISTRY_WRITE_LEG1)));
        EXPECT_EQ(App().StoreRootFolder, from);
        ASSERT_TRUE(QDir().rmdir(blocker));
        EXPECT_EQ(StorePath(), from);
        QDir(driveD_.path() + "/Store").removeRecursively();
        QDir(temp_.Host("Store")).removeRecursively();
    }
}

// The store cannot go back after the registry refused its new place: the user is told where it
// is and where it should have gone.
TEST_F(StoreFolder, AStoreThatCannotBePutBackIsReportedWithBothPaths) {
    temp_.MakeFile("Store/TRAINS/CONSISTS/a.con", "consist");
    Register("C:\\Store");
    const QString blocker = sandbox_.HivePath(HKEY_LOCAL_MACHINE) + ".tmp";
    ASSERT_TRUE(QDir().mkdir(blocker));
    // Something takes the old place while the registry failure is shown.
    ui_.onBox = [this] { temp_.MakeFolder("Store"); };

    EXPECT_FALSE(AcceptStorePath("C:\\Quarvel"));
    ui_.onBox = nullptr;
    ASSERT_TRUE(QDir().rmdir(blocker));
    EXPECT_EQ(ends_, QList<int>{1});
    const QString text = LastText();
    EXPECT_TRUE(text.startsWith(Caption(Msg::MOVETHING_ERROR1))) << text.toStdString();
    EXPECT_TRUE(text.contains("'C:\\Quarvel'") && text.contains("'C:\\Store'"));
    EXPECT_TRUE(FileExists("C:\\Quarvel\\TRAINS\\CONSISTS\\a.con")) << "left where it is";
}

TEST_F(StoreFolder, VanishedRegisteredStoreEndsTheProgramBeforeTheDialog) {
    RegWriteString(kProductKey, "Store Path", "C:\\Gone");
    StorePathDialogStart start;
    EXPECT_FALSE(PrepareStorePathDialog(&start));
    EXPECT_EQ(LastText(), "The registered Quarvel folder 'C:\\Gone' cannot be found.");
    EXPECT_EQ(ends_, QList<int>{1});
}

// A first start on a fresh registry with MSTS registered in our hive, or only in Wine's.
class FirstStart : public StoreFolder, public ::testing::WithParamInterface<bool> {};

TEST_P(FirstStart, SetsUpTheDefaultStore) {
    App().MstsRootFolder.clear();
    if (GetParam()) {
        sandbox_.MakeWinePrefix("WINE REGISTRY Version 2\n\n"
                                "[Software\\\\Microsoft\\\\Microsoft Games\\\\Train Simulator\\\\"
                                "1.0] 1600000000\n\"Path\"=\"C:\\\\MSTS\"\n"
                                "\"EXE Path\"=\"C:\\\\MSTS\"\n",
                                "WINE REGISTRY Version 2\n");
    } else {
        RegWriteString(kMstsKey, "Path", "C:\\MSTS\\");
        RegWriteString(kMstsKey, "EXE Path", "C:\\MSTS");
    }
    SetFixedObjectsCheck(EnsureDefaultExclusions);
    ui_.Expect("automatically select", ID_YES);
    ui_.Expect("'C:\\Quarvel' does not exist", ID_YES);

    const bool started = StartupConfiguration();
    SetFixedObjectsCheck({});
    EXPECT_TRUE(started);
    EXPECT_TRUE(ui_.Mismatches().isEmpty()) << ui_.Mismatches().join('\n').toStdString();
    EXPECT_EQ(ui_.Shown().size(), 2u);
    EXPECT_TRUE(FolderExists("C:\\Quarvel"));
    EXPECT_EQ(StorePath(), "C:\\Quarvel");
    EXPECT_EQ(App().StoreRootFolder, "C:\\Quarvel");
    EXPECT_TRUE(KeyHasValues(kExclusionFilesKey));
    EXPECT_EQ(App().MstsRootFolder, "C:\\MSTS");
    RegistryKey product;
    ASSERT_TRUE(product.OpenReadOnly(HKEY_LOCAL_MACHINE, kProductKey));
    EXPECT_TRUE(product.ValueExists("Fixed MSTS Path"));
    EXPECT_TRUE(product.ValueExists("Selected Unstored"));
    for (const auto& [name, value] : {std::pair{"Fixed MSTS Path", ""},
                                      {"Everything Unstored", "true"},
                                      {"Selected Unstored", ""},
                                      {"MSTS EXE Path", "C:\\MSTS\\TRAIN.EXE"},
                                      {"QV EXE Path", "C:\\Program\\quarvel.exe"}})
        EXPECT_EQ(RegReadString(kProductKey, name), value) << name;
}

INSTANTIATE_TEST_SUITE_P(MstsKey, FirstStart, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "InWine" : "InOurHive"; });

} // namespace
} // namespace qv
