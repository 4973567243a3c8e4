// Every command that acts on names taken from content files, met with names that lead out of the
// MSTS folder (C:\GAMES\MSTS) and the store (C:\STORE): a climb with "..", a drive, a leading
// separator and device names. Each command refuses the name and says so, and nothing outside the
// two folders is read, moved or written: the files there keep their content and their last-read
// time, no entry appears there, and no file operation of a move is given a path there.
#include "core/contentpath.h"
#include "core/filemoveops.h"
#include "easy/activityfilegen.h"
#include "easy/exploresession.h"
#include "easy/routepicture.h"
#include "editors/listeditoractions.h"
#include "engine/storeunstoreproc.h"
#include "engine/surveytestkit.h"
#include "engine/unstoreall.h"
#include "engine/usedincommon.h"
#include "engine/whereusedreport.h"
#include "mainwindow/iteminfo.h"
#include "platform/drivemap.h"
#include "viewer/showshape.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace qv {
namespace {

// The bad names, each as it leads from a folder `depth` levels below a root to C:\SECRET, or to a
// device.
struct Hostile {
    const char* label;
    QString (*lead)(int depth);
};

const Hostile kHostile[] = {
    {"Climb", [](int depth) { return QStringLiteral("..\\").repeated(depth) + "SECRET"; }},
    {"Drive", [](int) { return QStringLiteral("C:\\SECRET"); }},
    {"LeadingSeparator", [](int) { return QStringLiteral("\\SECRET"); }},
    {"Device", [](int) { return QStringLiteral("CON"); }},
    {"DeviceWithExtension", [](int) { return QStringLiteral("nul.txt"); }},
};

// Records every path a move's file operations are given, then does the operation.
class RecordingOps : public FileMoveOps {
public:
    using E = int*;
    using S = const QString&;
    bool Find(S p, FindEntry* f, E e) override { return (paths << p), FileMoveOps::Find(p, f, e); }
    bool List(S p, QList<FindEntry>* l, E e) override {
        return (paths << p), FileMoveOps::List(p, l, e);
    }
    bool SetAttributes(S p, quint32 a, E e) override {
        return (paths << p), FileMoveOps::SetAttributes(p, a, e);
    }
    bool Rename(S p, S q, E e) override { return (paths << p << q), FileMoveOps::Rename(p, q, e); }
    ListedRename RenameListed(S p, S q, QString* to, E e) override {
        return (paths << p << q), FileMoveOps::RenameListed(p, q, to, e);
    }
    bool Copy(S p, S q, E e) override { return (paths << p << q), FileMoveOps::Copy(p, q, e); }
    bool Delete(S p, E e) override { return (paths << p), FileMoveOps::Delete(p, e); }
    bool RemoveFolder(S p, E e) override { return (paths << p), FileMoveOps::RemoveFolder(p, e); }
    bool MakeFolders(S p, E e) override { return (paths << p), FileMoveOps::MakeFolders(p, e); }
    bool MakeFoldersTogether(const QStringList& p, E e) override {
        return (paths << p), FileMoveOps::MakeFoldersTogether(p, e);
    }
    QStringList paths;
};

// The installation, the records of what was outside before, and the commands. Made inside each
// case of the table, so it is no test of its own.
class Installation : public SurveyTestKit {
public:
    explicit Installation(const Hostile& hostile) : hostile_(hostile) {
        App().MstsRootFolder = QStringLiteral("C:\\GAMES\\MSTS");
        SetFileMoveOps(&ops);
    }
    ~Installation() override { SetFileMoveOps(nullptr); }
    void TestBody() override {}

    QString Lead(int depth) const { return hostile_.lead(depth); }

    // Route ALPHA in the MSTS folder drives BAD.CON; its activity a2 names a player service and
    // a3 a traffic file that lead out. Route BETA in the store drives EVIL.CON, stored too. The
    // files the names lead to lie in C:\SECRET (reached from the store) and C:\GAMES\SECRET (from
    // the MSTS folder).
    void Build() {
        games.AddDefaultWagon();
        ASSERT_TRUE(EnsureDefaultExclusions());
        games.AddEngine("DASH9", "DASH9.ENG", "Dash 9", EngineType::Diesel);
        // Their lead engine and a wagon lead out.
        const std::vector<Vehicle> train{
            {Lead(3), "LOOT", true}, {"DASH9", "DASH9", true}, {Lead(3), "LOOT"}};
        games.AddConsist("BAD.CON", "Bad", train);
        games.AddConsist("EVIL.CON", "Evil", train, Into::Store);
        games.AddRoute("ALPHA", "Alpha Line", "A");
        games.AddPath("ALPHA", "up.pat", "Up", "Here", "There");
        games.AddService("ALPHA", "s1.srv", "s1", "BAD", "up");
        games.AddTraffic("ALPHA", "t1.trf", "t1", {"s1.srv"});
        games.AddActivity("ALPHA", "a1.act", "Morning", "s1.srv", "t1.trf");
        games.AddActivity("ALPHA", "a2.act", "Away", Lead(4) + "\\LOOT.srv", QString());
        games.AddActivity("ALPHA", "a3.act", "Astray", "s1.srv", Lead(4) + "\\LOOT.trf");
        // A route to store.
        games.AddRoute("GAMMA", "Gamma Line", "G");
        games.AddPath("GAMMA", "g.pat", "g", "X", "Y");
        games.AddRoute("BETA", "Beta Line", "B", {}, Into::Store);
        games.AddPath("BETA", "b.pat", "b", "X", "Y", true, Into::Store);
        games.AddService("BETA", "b1.srv", "b1", "EVIL", "b", Into::Store);
        games.AddActivity("BETA", "b1.act", "Beta Run", "b1.srv", QString(), {}, Into::Store);
        // A device name names a folder of the store here: only its refusal keeps it in place.
        if (!Lead(3).contains(QStringLiteral("SECRET"))) {
            const QString folder = games.HostPath("TRAINS\\TRAINSET", Into::Store) + u'/' + Lead(3);
            ASSERT_TRUE(QDir().mkpath(folder));
            QFile inside(folder + "/LOOT.WAG");
            ASSERT_TRUE(inside.open(QIODevice::WriteOnly));
        }
        for (const char* folder : {"SECRET/", "GAMES/SECRET/"})
            for (const char* file : {"LOOT.WAG", "LOOT.ENG", "LOOT.srv", "LOOT.trf", "LOOT.ace",
                                     "LOOT.pat", "LOOT.con", "ACTIVITIES/LOOT.act"})
                drive.MakeFile(QLatin1String(folder) + QLatin1String(file), "sentinel");
        LoadTree();
        AgeOutside();
        outsideBefore = Outside();
    }

    // Every entry below C:\ outside both folders.
    QStringList OutsideEntries() const {
        QStringList entries;
        QDirIterator it(drive.DriveC(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            bool inside = false;
            for (const QString& root : {drive.Host("GAMES/MSTS"), drive.Host("STORE")})
                inside = inside || path == root || path.startsWith(root + u'/');
            if (!inside)
                entries << path;
        }
        return entries;
    }
    // Sets the files outside both folders as last read and written days ago, so that a read
    // shows in their last-read time.
    void AgeOutside() {
        const QDateTime old = QDateTime::currentDateTimeUtc().addDays(-3);
        for (const QString& path : OutsideEntries()) {
            if (!QFileInfo(path).isFile())
                continue;
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
            ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileAccessTime));
        }
    }
    // The entries outside with, for files, their size and times (looked at without reading).
    std::string Outside() const {
        QStringList state;
        for (const QString& path : OutsideEntries()) {
            const QFileInfo info(path);
            state << path + u' ' +
                         (info.isDir() ? QStringLiteral("folder")
                                       : QStringLiteral("%1 %2 %3 %4")
                                             .arg(info.size())
                                             .arg(info.lastModified().toMSecsSinceEpoch())
                                             .arg(info.lastRead().toMSecsSinceEpoch())
                                             .arg(info.metadataChangeTime().toMSecsSinceEpoch()));
        }
        return state.join(u'\n').toStdString();
    }
    // The paths the move operations were given that lie outside both folders.
    QStringList MovedOutside() const {
        QStringList outside;
        for (const QString& path : ops.paths) {
            QChar letter;
            QStringList parts;
            const bool split = SplitWindowsPath(path, &letter, &parts);
            const QString plain = JoinWindowsPath(letter, parts);
            bool inside = false;
            for (const QString& root : {App().MstsRootFolder, App().StoreRootFolder})
                inside = inside || plain.compare(root, Qt::CaseInsensitive) == 0 ||
                         plain.startsWith(root + u'\\', Qt::CaseInsensitive);
            if (!split || !inside)
                outside << path;
        }
        return outside;
    }
    // What the user was told: the information pane, every message box and `told`.
    QString Told() {
        QString text = PaneText() + u'\n' + told;
        for (const ShownMessage& message : ui.Shown())
            text += u'\n' + message.text;
        return text;
    }

    ItemSet Item(std::uint32_t kind, const QString& folder, const QString& file) const {
        ItemSet item;
        item.PType = kind;
        item.StoreInd = SI_IN_STORE;
        item.Description = file;
        item.Folder = folder;
        item.FileName = file;
        return item;
    }

    // The commands; `told` takes what one says beyond the pane and the message boxes.
    void Store() {
        // What stays in use is surveyed: ALPHA, whose files name the bad names.
        Mark(RouteNode("GAMMA"), SI_IN_STORE);
        StoreUnstore(false, false, false, false, false, false, QString());
    }
    void Unstore() {
        Mark(RouteNode("BETA"), SI_IN_USE);
        StoreUnstore(true, false, false, false, false, false, QString());
    }
    void Immediate(std::uint32_t kind, const QString& folder, const QString& file) {
        ItemSet item = Item(kind, folder, file);
        ErrorSet outcome;
        ImmediateUnstoreItem(item, outcome);
        told = outcome.text;
    }
    void ConsistEditor() { Immediate(PT_MAINT_CONSIST, "TRAINS\\CONSISTS", "EVIL.CON"); }
    void StockEditor() { Immediate(PT_MAINT_STOCK, "TRAINS\\TRAINSET", Lead(3) + "\\LOOT.WAG"); }
    void PathEditor() { Immediate(PT_MAINT_PATH, Lead(1), "LOOT.pat"); }
    void Everything() { UnstoreEverything(false); }
    void Explore() {
        EXPECT_FALSE(
            CheckSessionActivity(Item(PT_ACTIVITY, "ROUTES\\ALPHA\\ACTIVITIES", "a2.act")));
    }
    void ExploreFiles() {
        ActivityInfo source;
        source.Folder = Lead(1) + "\\ACTIVITIES";
        source.FileName = QStringLiteral("LOOT.act");
        ExploreActivitySaveInfo session;
        EXPECT_FALSE(GenerateExploreActivity(source, session));
    }
    void Picture() {
        EXPECT_EQ(RoutePictureFile(*RouteNode("ALPHA")->Data(), Lead(3) + "\\LOOT.ace",
                                   main.InformationMemo()),
                  QString());
    }
    void Viewer() { BuildViewerHeader(Item(PT_MAINT_CONSIST, "TRAINS\\CONSISTS", "EVIL.CON")); }
    void ConsistReport() {
        WriteConsistInfo(Item(PT_MAINT_CONSIST, "TRAINS\\CONSISTS", "EVIL.CON"),
                         main.InformationMemo());
    }
    void StockReport() {
        WriteStockInfo(Item(PT_MAINT_STOCK, "TRAINS\\TRAINSET", Lead(3) + "\\LOOT.WAG"),
                       main.InformationMemo());
    }
    void WhereUsed() { WhereUsedAll(WU_COMPLETE, main.InformationMemo()); }

    MstsBuilder games{drive.Host(QStringLiteral("GAMES/MSTS")),
                      drive.Host(QStringLiteral("STORE"))};
    RecordingOps ops;
    std::string outsideBefore;
    QString told;

private:
    const Hostile& hostile_;
};

// A command of the table. `refuses`: it meets a bad name (Unstore Everything moves whole folders
// of the store and names nothing).
struct Command {
    const char* label;
    bool refuses;
    void (Installation::*run)();
};

const Command kCommands[] = {
    {"Store", true, &Installation::Store},
    {"Unstore", true, &Installation::Unstore},
    {"ImmediateUnstoreConsistList", true, &Installation::ConsistEditor},
    {"ImmediateUnstoreStockList", true, &Installation::StockEditor},
    {"ImmediateUnstorePathList", true, &Installation::PathEditor},
    {"UnstoreEverything", false, &Installation::Everything},
    {"ExploreActivity", true, &Installation::Explore},
    {"ExploreGeneration", true, &Installation::ExploreFiles},
    {"EasyPagePicture", true, &Installation::Picture},
    {"Viewer", true, &Installation::Viewer},
    {"ConsistReport", true, &Installation::ConsistReport},
    {"StockReport", true, &Installation::StockReport},
    {"WhereUsed", true, &Installation::WhereUsed},
};

void PrintTo(const Command& command, std::ostream* out) {
    *out << command.label;
}
void PrintTo(const Hostile& hostile, std::ostream* out) {
    *out << hostile.label;
}

class ContentNamesTable : public ::testing::TestWithParam<std::tuple<Command, Hostile>> {};

TEST_P(ContentNamesTable, NothingOutsideTheTwoFoldersIsTouchedAndTheNameIsRefused) {
    const auto& [command, hostile] = GetParam();
    Installation t(hostile);
    t.Build();
    if (::testing::Test::HasFatalFailure())
        return;
    (t.*command.run)();
    const QString told = t.Told();

    EXPECT_EQ(t.Outside(), t.outsideBefore);
    EXPECT_EQ(t.MovedOutside().join(u'\n').toStdString(), "");
    if (command.refuses) {
        EXPECT_TRUE(told.contains(Caption(Msg::INVALID_FILENAME))) << told.toStdString();
        EXPECT_TRUE(told.contains(hostile.lead(1).remove(QStringLiteral("..\\"))))
            << told.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCommand, ContentNamesTable,
                         ::testing::Combine(::testing::ValuesIn(kCommands),
                                            ::testing::ValuesIn(kHostile)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).label) + "_" +
                                    std::get<1>(info.param).label;
                         });

} // namespace
} // namespace qv
