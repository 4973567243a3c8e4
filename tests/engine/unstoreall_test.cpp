#include "engine/unstoreall.h"

#include "core/regsettings.h"
#include "engine/tsectionsettings.h"
#include "fixtures/longpath.h"
#include "movetestkit.h"
#include "platform/winfind.h"

#include "surveytestkit.h"
#include <QScopeGuard>

using namespace qv;

namespace {

// Main-window services that record what the job asks of the window.
class RecordingMain : public HeadlessMainServices {
public:
    int QuerySaveScenario() override { return saveAnswer; }
    void UpdateControls() override { calls << QStringLiteral("UpdateControls"); }
    void LoadTree(const QString& file, RecordList<ItemSet>* items, int state) override {
        calls << QStringLiteral("LoadTree:%1:%2:%3 on tab %4")
                     .arg(file)
                     .arg(items != nullptr)
                     .arg(state)
                     .arg(SimulationMaintPageIndex());
    }
    void ShowSelectedNodeInfo() override { calls << QStringLiteral("ShowSelectedNodeInfo"); }

    int saveAnswer = 1;
    QStringList calls;
};

// Fails every rename of one file, as a file held open would.
class StuckFileOps : public FileMoveOps {
public:
    bool Rename(const QString& from, const QString& to, int* err) override {
        if (from.endsWith(QStringLiteral("\\up.pat"), Qt::CaseInsensitive)) {
            *err = EIO;
            return false;
        }
        return FileMoveOps::Rename(from, to, err);
    }
    ListedRename RenameListed(const QString& from, const QString& to, QString* renamedTo,
                              int* err) override {
        if (from.endsWith(QStringLiteral("\\up.pat"), Qt::CaseInsensitive)) {
            *err = EIO;
            return ListedRename::Failed;
        }
        return FileMoveOps::RenameListed(from, to, renamedTo, err);
    }
};

// An MSTS folder with a route and a wagon; a store with another route, its path, a wagon and a
// consist, and the program's data folder.
class UnstoreAllTest : public SurveyTestKit {
protected:
    UnstoreAllTest() {
        recMain.SetQuarvelObjects(&tree);
        recMain.SetCurrentScenarioFile(QStringLiteral("C:\\STORE\\QVDATA\\Mine.QVS"));
        SetMainServices(&recMain);
        builder.AddDefaultWagon();
        builder.AddRoute("Vale", "Vale Line", "1");
        builder.AddWagon("Box", "box.wag", "Box", WagonType::Freight);
        builder.AddRoute("Hill", "Hill Line", "2", {}, Into::Store);
        builder.AddPath("Hill", "up.pat", "Up", "A", "B", true, Into::Store);
        builder.AddWagon("Box", "van.wag", "Van", WagonType::Freight, Into::Store);
        builder.AddConsist("Goods.con", "Goods", {{"Box", "van.wag"}}, Into::Store);
        drive.MakeFile(QStringLiteral("STORE/QVDATA/ERRORS.QVC"), "Goods.con\r\n");
    }
    ~UnstoreAllTest() override { SetFileMoveOps(nullptr); }

    QString MstsHost() const { return drive.Host(QStringLiteral("MSTS")); }
    QString StoreHost() const { return drive.Host(QStringLiteral("STORE")); }
    static QByteArray FileContent(const QString& hostPath) {
        QFile file(hostPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList ShownTexts() const {
        QStringList texts;
        for (const ShownMessage& shown : ui.Shown())
            texts << shown.text;
        return texts;
    }

    RecordingMain recMain;
};

} // namespace

TEST_F(UnstoreAllTest, ReturnsEveryStoredFileToMstsAndRecordsTheNewState) {
    QMap<QString, QByteArray> expected = FilesBelow(MstsHost());
    const QMap<QString, QByteArray> stored = FilesBelow(StoreHost());
    ASSERT_EQ(stored.size(), 4);
    for (auto it = stored.begin(); it != stored.end(); ++it)
        expected.insert(it.key(), it.value());
    recMain.SetSimulationMaintPageIndex(1);
    RegWriteString(kProductKey, QStringLiteral("Selected Unstored"), QStringLiteral("1"));

    ui.Expect(Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG), ID_YES);
    EXPECT_TRUE(UnstoreEverything(true));
    EXPECT_EQ(FilesBelow(MstsHost()), expected);
    EXPECT_TRUE(FilesBelow(StoreHost()).isEmpty());
    EXPECT_EQ(drive.Content(QStringLiteral("STORE/QVDATA/ERRORS.QVC")), "Goods.con\r\n");
    EXPECT_EQ(ui.Shown().size(), 1u) << "no completion box without Confirm Completion";
    EXPECT_EQ(RegReadString(kProductKey, QStringLiteral("Everything Unstored")), "true");
    EXPECT_EQ(RegReadString(kProductKey, QStringLiteral("Selected Unstored")), "");
    EXPECT_EQ(recMain.calls,
              (QStringList{"LoadTree::0:-1 on tab 0", "UpdateControls", "ShowSelectedNodeInfo"}));
    EXPECT_EQ(recMain.SimulationMaintPageIndex(), 0);
    EXPECT_TRUE(recMain.CurrentScenarioFile().isEmpty());
    EXPECT_FALSE(App().Busy);
}

TEST_F(UnstoreAllTest, AsksAboutDuplicatesWhateverAnEarlierJobWasAnswered) {
    builder.AddWagon("Box", "van.wag", "Old van", WagonType::Freight);
    const QString van = builder.TrainsetFolder() + QStringLiteral("\\Box\\van.wag");
    const QByteArray storedVan = FileContent(builder.HostPath(van, Into::Store));
    App().PathSet.DuplicateAnswer = 2; // Keep All, given in an earlier job
    ui.ExpectConfirmFileMove(ID_YES);
    EXPECT_TRUE(UnstoreEverything(false));
    EXPECT_EQ(ui.FileMoves().size(), 1u);
    EXPECT_EQ(FileContent(builder.HostPath(van)), storedVan);
}

TEST_F(UnstoreAllTest, KeepsTheDataFolderInAnyLetterCaseAndDoesNotCountItAsLeftOver) {
    drive.MakeFile(QStringLiteral("STORE2/qvdata/CACHESTK.QVC"), "cache");
    drive.MakeFile(QStringLiteral("STORE2/Trains/Consists/Goods.con"), "goods");
    App().StoreRootFolder = QStringLiteral("C:\\STORE2");
    EXPECT_TRUE(UnstoreEverything(false));
    EXPECT_EQ(drive.NamesIn(QStringLiteral("STORE2")), QStringList{"qvdata"});
    EXPECT_EQ(drive.Content(QStringLiteral("STORE2/qvdata/CACHESTK.QVC")), "cache");
    EXPECT_FALSE(QFile::exists(drive.Host(QStringLiteral("MSTS/qvdata"))));
    EXPECT_EQ(ShownTexts(), QStringList()) << "a clean run leaves nothing behind";

    // Asked, the same clean run shows its question and its completion, no left-over warning.
    drive.MakeFile(QStringLiteral("STORE2/Trains/Consists/More.con"), "more");
    WriteFlag(true, QStringLiteral("Confirm Completion"));
    ui.Expect(Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG), ID_YES);
    EXPECT_TRUE(UnstoreEverything(true));
    EXPECT_EQ(ShownTexts(), (QStringList{Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG),
                                         Caption(Msg::PROCESS_COMPLETED)}));
}

TEST_F(UnstoreAllTest, FilesLeftInStoreAreReportedWithOrWithoutAskAndCountAsMoveErrors) {
    // The route's folder exists in MSTS, so the store's is merged into it file by file.
    drive.MakeFolder(QStringLiteral("MSTS/Routes/Hill/PATHS"));
    StuckFileOps stuck;
    SetFileMoveOps(&stuck);
    const QString leftWarning = Caption(Msg::WARN_UNSTORE_EVERYTHING);
    EXPECT_TRUE(UnstoreEverything(false));
    EXPECT_EQ(ShownTexts(), QStringList{leftWarning});
    EXPECT_EQ(PathsBelow(StoreHost()), QStringList{"routes/hill/paths/up.pat"});

    ui.Clear();
    ui.Expect(Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG), ID_YES);
    EXPECT_TRUE(UnstoreEverything(true));
    EXPECT_EQ(ShownTexts(),
              (QStringList{Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG), leftWarning,
                           Caption(Msg::PROCESS_COMPLETED) + Caption(Msg::MOVE_ERRORS)}));
    EXPECT_EQ(ui.Shown()[2].style, MB_ICONEXCLAMATION);
}

TEST_F(UnstoreAllTest, ADuplicateTheUserCancelledIsAMoveError) {
    builder.AddWagon("Box", "van.wag", "Old van", WagonType::Freight);
    ui.Expect(Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG), ID_YES);
    ui.ExpectConfirmFileMove(ID_CANCEL);
    EXPECT_TRUE(UnstoreEverything(true));
    EXPECT_EQ(ShownTexts(),
              (QStringList{Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG),
                           Caption(Msg::WARN_UNSTORE_EVERYTHING),
                           Caption(Msg::PROCESS_COMPLETED) + Caption(Msg::MOVE_ERRORS)}));
}

// A stock folder of the MSTS folder linked in from elsewhere: the stored wagon of that folder does
// not go through the link into the other place, and the user is told why it stayed.
TEST_F(UnstoreAllTest, NothingGoesThroughALinkLeadingOutOfBothFolders) {
    builder.AddWagon("Far", "far.wag", "Far", WagonType::Freight, Into::Store);
    drive.MakeFolder(QStringLiteral("Shared/Far"));
    const QString link = builder.HostPath(builder.TrainsetFolder() + QStringLiteral("\\Far"));
    ASSERT_TRUE(QFile::link(drive.Host(QStringLiteral("Shared/Far")), link));
    EXPECT_TRUE(UnstoreEverything(false));
    EXPECT_TRUE(PathsBelow(drive.Host(QStringLiteral("Shared"))).isEmpty());
    EXPECT_TRUE(QFile::exists(builder.HostPath(
        builder.TrainsetFolder() + QStringLiteral("\\Far\\far.wag"), Into::Store)));
    EXPECT_TRUE(App().RunHadErrors);
    const QStringList pane = recMain.InformationMemo()->Lines();
    EXPECT_EQ(pane.filter("The folder '" + link + "' is a link to").size(), 1);
}

// Store folders alike but for letter case, at the top and below, merge in the MSTS folder as each
// merges with the folder there: every file comes back but one that meets a file at its target,
// which stays in the store unasked and is named once; no file is lost.
TEST_F(UnstoreAllTest, TwinFoldersMergeAndOnlyAFileMeetingAnotherStays) {
    drive.MakeFile(QStringLiteral("STORE/Routes/HILL/2.trk"), "the other hill");
    drive.MakeFile(QStringLiteral("STORE/Routes/HILL/hill.ref"), "only in the twin");
    drive.MakeFile(QStringLiteral("STORE/Trains/Consists/Goods.con"), "the other goods");
    drive.MakeFile(QStringLiteral("STORE/Trains/Consists/Other.con"), "only in the twin");
    // Every file's content, wherever it is: lower-cased paths would merge the twins' files.
    auto contents = [&] {
        QStringList all;
        for (const QString& host : {MstsHost(), StoreHost()}) {
            QDirIterator it(host, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                all << QString::fromLatin1(FileContent(it.next()).toHex());
        }
        all.sort();
        return all;
    };
    const QStringList before = contents();
    EXPECT_TRUE(UnstoreEverything(false));
    EXPECT_EQ(contents(), before);
    EXPECT_TRUE(ui.FileMoves().empty());
    const QStringList back = PathsBelow(MstsHost());
    EXPECT_TRUE(back.contains("routes/hill/hill.ref")) << Text(back);
    EXPECT_TRUE(back.contains("trains/consists/other.con")) << Text(back);
    EXPECT_TRUE(back.contains("routes/hill/paths/up.pat")) << Text(back);
    EXPECT_EQ(Text(PathsBelow(StoreHost())),
              Text({"routes/hill/2.trk", "trains/consists/goods.con"}));
    EXPECT_EQ(ShownTexts(), QStringList{Caption(Msg::WARN_UNSTORE_EVERYTHING)});
    EXPECT_TRUE(App().RunHadErrors);
    const QStringList pane = recMain.InformationMemo()->Lines();
    EXPECT_EQ(pane.filter("stays where it is").size(), 2) << qPrintable(pane.join('\n'));
}

// A stored file the job cannot ask for (a failing disk), and one whose whole path is too long for
// one system call: each comes back (the long one reached relative to its folder) or stays, named
// in the pane, and the job neither says that all went well nor records everything as unstored.
TEST_F(UnstoreAllTest, AFileThatCannotBeAskedForIsNamedAndTheJobIsNoSuccess) {
    const auto [deep, name] =
        MakeFileBeyondPathLimit(drive, QStringLiteral("STORE/TRAINS/Deep"), "deep");
    const auto removeDeep = qScopeGuard([&] {
        for (const char* root : {"STORE", "MSTS"})
            RemoveTreeAtAnyDepth(drive.Host(QString::fromLatin1(root) + "/TRAINS/Deep"));
    });
    const QString longFile = QStringLiteral("C:\\") +
                             QString(deep).replace(QLatin1Char('/'), QLatin1Char('\\')) +
                             QLatin1Char('\\') + name;
    SetListedStatFaultForTests(
        [](const QString& host) { return host.endsWith(QStringLiteral("/van.wag")) ? EIO : 0; });
    RegWriteString(kProductKey, QStringLiteral("Everything Unstored"), QStringLiteral("false"));
    ui.Expect(Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG), ID_YES);
    EXPECT_TRUE(UnstoreEverything(true));
    SetListedStatFaultForTests({});
    const QString pane = recMain.InformationMemo()->Lines().join('\n');
    const QStringList left = PathsBelow(StoreHost());
    EXPECT_TRUE(left.contains("trains/trainset/box/van.wag"));
    EXPECT_EQ(pane.count("From Path: 'C:\\STORE\\TRAINS\\trainset\\Box\\van.wag'"), 1)
        << qPrintable(pane);
    EXPECT_EQ(pane.count("Unable to find the file : [5]"), 1) << qPrintable(pane);
    const bool deepLeft = left.size() == 2;
    EXPECT_EQ(pane.count(longFile), deepLeft ? 1 : 0) << qPrintable(pane);
    EXPECT_EQ(left.size(), deepLeft ? 2 : 1);
    EXPECT_TRUE(App().RunHadErrors);
    EXPECT_EQ(ShownTexts(),
              (QStringList{Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG),
                           Caption(Msg::WARN_UNSTORE_EVERYTHING),
                           Caption(Msg::PROCESS_COMPLETED) + Caption(Msg::MOVE_ERRORS)}));
    EXPECT_EQ(RegReadString(kProductKey, QStringLiteral("Everything Unstored")), "false");
}

TEST_F(UnstoreAllTest, CancelledOrRefusedJobsMoveNothing) {
    const QStringList before = ContentOfBoth(MstsHost(), StoreHost());
    recMain.saveAnswer = ID_CANCEL;
    EXPECT_FALSE(UnstoreEverything(false));
    // A left-over folder in the store refuses the job before its question.
    recMain.saveAnswer = 1;
    drive.MakeFolder(QStringLiteral("STORE/Backup"));
    EXPECT_FALSE(UnstoreEverything(true));
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_TRUE(ui.Shown()[0].text.startsWith(Caption(Msg::RESTORE_FOLDERS_LEG1)));
    EXPECT_EQ(ContentOfBoth(MstsHost(), StoreHost()), before);
    EXPECT_TRUE(recMain.calls.isEmpty());
}

TEST_F(UnstoreAllTest, InstallsTheSystemDefaultTsectionAndConfirmsWhenAsked) {
    builder.WriteTsection(40);
    RouteInfo required;
    required.PType = PT_GLOBAL;
    required.TSectionFileName = "C:\\MSTS\\" + builder.WriteTsection(61, "KEEP\\TSECTION.DAT");
    WriteTsectionSettings(required);
    WriteFlag(true, QStringLiteral("Confirm Completion"));
    ui.Expect(Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG), ID_YES);
    EXPECT_TRUE(UnstoreEverything(true));
    EXPECT_EQ(ShownTexts(), (QStringList{Caption(Msg::UNSTORE_EVERYTHING_QUERY_TAG),
                                         Caption(Msg::PROCESS_COMPLETED)}));
    EXPECT_EQ(ui.Shown()[1].style, MB_ICONINFORMATION);
    const QByteArray chosen = FileContent(builder.HostPath(QStringLiteral("KEEP\\TSECTION.DAT")));
    ASSERT_FALSE(chosen.isEmpty());
    EXPECT_EQ(FileContent(builder.HostPath(QStringLiteral("GLOBAL\\TSECTION.DAT"))), chosen);
}
