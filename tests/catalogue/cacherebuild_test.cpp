#include "catalogue/cacherebuild.h"

#include "catalogue/rebuildlistings.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "platform/fakeui.h"
#include "platform/mstsfile.h"
#include "platform/terminate.h"
#include "platform/winresolve.h"
#include "stocktestkit.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace qv;

namespace {

class CacheRebuildTest : public StockTest {
protected:
    CacheRebuildTest() { ClearReport(Pane()); }

    static ReportPane* Pane() { return TheMainServices().InformationMemo(); }
    static std::unique_ptr<StoreIniHolder> Cache(const QString& name) { return OpenStoreIni(name); }
    // The record of a file by its name and, when given, its folder.
    static const ItemSet* Find(const RecordList<ItemSet>& list, const QString& fileName,
                               const QString& folder = QString()) {
        for (const auto& item : list) {
            if (item && item->FileName.compare(fileName, Qt::CaseInsensitive) == 0 &&
                (folder.isEmpty() || item->Folder.compare(folder, Qt::CaseInsensitive) == 0))
                return item.get();
        }
        return nullptr;
    }

    // An engine, a wagon in the store, a wagon in both roots, and a consist of all three.
    // The route "Line" with one path, "Run.pat".
    void AddLineWithRunPath() {
        builder.AddRoute(QStringLiteral("Line"), QStringLiteral("Line"), QStringLiteral("L"));
        builder.AddPath(QStringLiteral("Line"), QStringLiteral("Run.pat"), QStringLiteral("Run"),
                        QStringLiteral("Here"), QStringLiteral("There"));
    }

    void AddStock() {
        builder.AddEngine(QStringLiteral("Dash9"), QStringLiteral("DASH9"),
                          QStringLiteral("Dash 9"), EngineType::Diesel);
        builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Flat"), QStringLiteral("Flat car"),
                         WagonType::Freight, Into::Store);
        builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Coach"), QStringLiteral("Coach"),
                         WagonType::Passenger);
        builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Coach"),
                         QStringLiteral("Stored coach"), WagonType::Passenger, Into::Store);
    }
    QString AddTrain(const QString& file, Into into = Into::Msts) {
        return builder.AddConsist(file, QStringLiteral("Train ") + file,
                                  {{QStringLiteral("Dash9"), QStringLiteral("DASH9"), true},
                                   {QStringLiteral("Cars"), QStringLiteral("Flat")}},
                                  into);
    }
};

} // namespace

TEST_F(CacheRebuildTest, StockRebuild_ListsBothRootsOnceReadingTheStoreFirst) {
    AddStock();
    RecordList<ItemSet> result;
    StringList missing;
    ASSERT_TRUE(RebuildStockCache(result, false, &missing));

    ASSERT_EQ(result.size(), 3u);
    EXPECT_TRUE(missing.IsEmpty());
    const ItemSet* engine = Find(result, QStringLiteral("Dash9\\DASH9.eng"));
    const ItemSet* coach = Find(result, QStringLiteral("Cars\\Coach.wag"));
    ASSERT_TRUE(engine && coach);
    EXPECT_EQ(engine->PLevel, 3);
    EXPECT_EQ(engine->StoreInd, SI_IN_USE);
    EXPECT_EQ(engine->Folder, "TRAINS\\TRAINSET");
    EXPECT_EQ(engine->Description, "Dash 9");
    EXPECT_EQ(engine->PType, PT_ENGINE | PT_DIESEL | PT_DRIVEABLE); // no kind bit
    EXPECT_EQ(coach->StoreInd, SI_IN_STORE);
    EXPECT_EQ(coach->Description, "Stored coach");
    EXPECT_EQ(Find(result, QStringLiteral("Cars\\Flat.wag"))->StoreInd, SI_IN_STORE);
    EXPECT_TRUE(Cache(QStringLiteral("CACHESTK.QVC"))->Ini.SectionExists("Dash9\\DASH9.eng"));
}

TEST_F(CacheRebuildTest, StockRebuild_ReadsEachFileOnceInNameOrderWithTheStoresSpelling) {
    // A folder whose name begins another's ("Box", "Box1") comes before it in its listing and
    // after it in the file list ("\\" sorts after the digits).
    for (const char* folder : {"Zed", "Alpha", "Cars", "Box", "Box1"})
        builder.AddWagon(QString::fromUtf8(folder), QStringLiteral("w"), QStringLiteral("W"),
                         WagonType::Freight);
    builder.AddWagon(QStringLiteral("CARS"), QStringLiteral("W"), QStringLiteral("Stored"),
                     WagonType::Freight, Into::Store);
    builder.AddWagon(QStringLiteral("BOX1"), QStringLiteral("W"), QStringLiteral("Stored"),
                     WagonType::Freight, Into::Store);
    builder.AddWagon(QStringLiteral("Mid"), QStringLiteral("w"), QStringLiteral("W"),
                     WagonType::Freight, Into::Store);
    RecordList<ItemSet> result;
    ASSERT_TRUE(RebuildStockCache(result, false, nullptr));
    ASSERT_EQ(result.size(), 6u);
    EXPECT_EQ(Find(result, QStringLiteral("Cars\\w.wag"))->FileName, "CARS\\W.wag");
    EXPECT_EQ(Find(result, QStringLiteral("Box1\\w.wag"))->FileName, "BOX1\\W.wag");
    // New sections are written in the order the files were read: the sorted file list.
    EXPECT_EQ(Cache(QStringLiteral("CACHESTK.QVC"))->Ini.ReadSections(),
              QStringList({"Alpha\\w.wag", "BOX1\\W.wag", "Box\\w.wag", "CARS\\W.wag", "Mid\\w.wag",
                           "Zed\\w.wag", "QUARVEL_INFORMATION"}));
}

TEST_F(CacheRebuildTest, Rebuilds_DropSectionsOfFilesGoneFromBothRoots) {
    AddStock();
    AddTrain(QStringLiteral("Gone.con"));
    builder.AddRoute(QStringLiteral("Line"), QStringLiteral("Line"), QStringLiteral("L"));
    builder.AddPath(QStringLiteral("Line"), QStringLiteral("Old.pat"), QStringLiteral("Old"),
                    QStringLiteral("A"), QStringLiteral("B"));
    RecordList<ItemSet> stock, consists, paths;
    RebuildStockCache(stock, false, nullptr);
    RebuildConsistCache(consists, false, nullptr);
    RebuildPathCache(paths, false, nullptr);
    ASSERT_EQ(paths.size(), 1u);

    ASSERT_TRUE(DeleteFile("C:\\STORE\\TRAINS\\TRAINSET\\Cars\\Flat.wag"));
    ASSERT_TRUE(DeleteFile("C:\\MSTS\\TRAINS\\CONSISTS\\Gone.con"));
    ASSERT_TRUE(DeleteFile("C:\\MSTS\\ROUTES\\Line\\PATHS\\Old.pat"));
    stock.clear(), consists.clear(), paths.clear();
    RebuildStockCache(stock, false, nullptr);
    RebuildConsistCache(consists, false, nullptr);
    RebuildPathCache(paths, false, nullptr);

    EXPECT_EQ(stock.size(), 2u);
    EXPECT_TRUE(consists.empty());
    EXPECT_TRUE(paths.empty());
    const auto stockCache = Cache(QStringLiteral("CACHESTK.QVC"));
    EXPECT_FALSE(stockCache->Ini.SectionExists("Cars\\Flat.wag"));
    EXPECT_TRUE(stockCache->Ini.SectionExists("Cars\\Coach.wag"));
    EXPECT_TRUE(stockCache->Ini.SectionExists("QUARVEL_INFORMATION"));
    EXPECT_FALSE(Cache(QStringLiteral("CACHECON.QVC"))->Ini.SectionExists("Gone.con"));
    EXPECT_FALSE(
        Cache(QStringLiteral("CACHEPAT.QVC"))->Ini.SectionExists("Routes\\Line\\PATHS\\Old.pat"));
}

TEST_F(CacheRebuildTest, WarmRebuild_ReadsNoMstsFileEvenWhenAskedToSkipPathSections) {
    AddStock();
    AddTrain(QStringLiteral("A.con"));
    AddTrain(QStringLiteral("B.con"), Into::Store);
    AddLineWithRunPath();
    RecordList<ItemSet> stock, consists, paths;
    RebuildStockCache(stock, false, nullptr);
    RebuildConsistCache(consists, false, nullptr);
    RebuildPathCache(paths, false, nullptr);

    RecordList<ItemSet> stock2, consists2, paths2;
    const qint64 before = MstsFilesRead();
    RebuildStockCache(stock2, false, nullptr);
    RebuildConsistCache(consists2, false, nullptr);
    RebuildPathCache(paths2, true, nullptr);
    EXPECT_EQ(MstsFilesRead(), before);

    ASSERT_EQ(consists2.size(), 2u);
    // The sections give the records the files gave, from the root the files were found in.
    ASSERT_EQ(stock2.size(), stock.size());
    for (std::size_t i = 0; i < stock.size(); ++i) {
        EXPECT_EQ(stock2[i]->FileName, stock[i]->FileName);
        EXPECT_EQ(stock2[i]->Description, stock[i]->Description);
        EXPECT_EQ(stock2[i]->PType, stock[i]->PType);
        EXPECT_EQ(stock2[i]->StoreInd, stock[i]->StoreInd);
    }
    EXPECT_EQ(Find(stock2, QStringLiteral("Cars\\Coach.wag"))->Description, "Stored coach");
    EXPECT_EQ(Find(stock2, QStringLiteral("Cars\\Coach.wag"))->StoreInd, SI_IN_STORE);
    EXPECT_EQ(Find(stock2, QStringLiteral("Dash9\\DASH9.eng"))->StoreInd, SI_IN_USE);
    EXPECT_EQ(consists2[0]->FileName, "A.con");
    EXPECT_EQ(consists2[0]->PLevel, 3);
    EXPECT_EQ(consists2[0]->Description, "Train A.con");
    EXPECT_EQ(consists2[0]->EngineName, "Dash 9");
    EXPECT_EQ(consists2[0]->PType & PT_CONSIST, 0u);
    EXPECT_EQ(consists2[0]->StoreInd, SI_IN_USE);
    EXPECT_EQ(consists2[1]->StoreInd, SI_IN_STORE);
    ASSERT_EQ(paths2.size(), 1u);
    const ItemSet& path = *paths2[0];
    EXPECT_EQ(path.PLevel, 2);
    EXPECT_EQ(path.Folder.toUpper(), "ROUTES\\LINE\\PATHS");
    EXPECT_EQ(path.FileName, "Run.pat");
    EXPECT_EQ(path.Description, "Run");
    EXPECT_EQ(path.EngineName, "Here");
    EXPECT_EQ(path.LotNumber, "There");
    EXPECT_EQ(path.PType, PT_DRIVEABLE);
}

TEST_F(CacheRebuildTest, ConsistRebuild_CachesEnginesTheStockCacheLackedAndRereadsTheConsists) {
    AddStock();
    AddTrain(QStringLiteral("A.con"));
    RecordList<ItemSet> consists;
    ASSERT_TRUE(RebuildConsistCache(consists, false, nullptr));

    EXPECT_TRUE(App().UncachedStockList.IsEmpty());
    const auto stockCache = Cache(QStringLiteral("CACHESTK.QVC"));
    EXPECT_EQ(stockCache->Ini.ReadString("Dash9\\DASH9.ENG", "Name", {}), "Dash 9");
    const auto consistCache = Cache(QStringLiteral("CACHECON.QVC"));
    EXPECT_EQ(consistCache->Ini.ReadInteger("A.con", "FileDate", 0),
              FileAge("C:\\MSTS\\TRAINS\\CONSISTS\\A.con"));
    ASSERT_EQ(consists.size(), 1u);
    EXPECT_EQ(consists[0]->PType & (PT_DIESEL | PT_DRIVEABLE), PT_DIESEL | PT_DRIVEABLE);
    EXPECT_EQ(consists[0]->EngineName, "Dash 9");
    EXPECT_EQ(App().ReportItemCount, 0);
}

TEST_F(CacheRebuildTest, ConsistRebuild_ANamedPipeIsNeitherWaitedOnNorCached) {
    AddTrain(QStringLiteral("A.con"));
    ASSERT_EQ(mkfifo(drive.Host("MSTS/TRAINS/CONSISTS/X.CON").toUtf8().constData(), 0644), 0);
    RecordList<ItemSet> consists;
    alarm(60); // a rebuild that waits for a writer ends the test
    RebuildConsistCache(consists, false, nullptr);
    alarm(0);
    EXPECT_NE(Find(consists, QStringLiteral("A.con")), nullptr);
    EXPECT_EQ(Find(consists, QStringLiteral("X.CON")), nullptr);
}

TEST_F(CacheRebuildTest, ConsistRebuild_VehicleFoundNowhereIsReportedOnceAndStaysQueued) {
    AddStock();
    builder.AddConsist(QStringLiteral("Odd.con"), QStringLiteral("Odd"),
                       {{QStringLiteral("Dash9"), QStringLiteral("DASH9"), true},
                        {QStringLiteral("Nowhere"), QStringLiteral("Ghost")}});
    RecordList<ItemSet> consists;
    StringList missing;
    RebuildConsistCache(consists, false, &missing);

    EXPECT_EQ(App().ReportItemCount, 1);
    EXPECT_TRUE(Pane()->Lines().join(u'\n').contains("Stock Item"));
    ASSERT_EQ(missing.Count(), 1);
    EXPECT_EQ(missing[0], "Nowhere\\Ghost.WAG");
    EXPECT_EQ(App().UncachedStockList.Strings(), QStringList{"Nowhere\\Ghost.WAG"});
    EXPECT_EQ(Cache(QStringLiteral("CACHECON.QVC"))->Ini.ReadInteger("Odd.con", "FileDate", 0), 1);
    ASSERT_EQ(consists.size(), 1u);
}

TEST_F(CacheRebuildTest, ReadLoops_ReportFilesMissingFromBothRootsAndGoOn) {
    AddStock();
    builder.AddRoute(QStringLiteral("Line"), QStringLiteral("Line"), QStringLiteral("L"));
    StringList stockNames = StringList::SortedUnique();
    stockNames.Add(QStringLiteral("Dash9\\DASH9.eng"));
    stockNames.Add(QStringLiteral("Cars\\None.wag"));
    StringList pathNames;
    pathNames.Add(QStringLiteral("Routes\\Line\\PATHS\\None.pat"));
    RecordList<ItemSet> stock, paths;
    StringList missing;
    StoreIniHolder pathCache;

    EXPECT_FALSE(ReadStockFiles(stock, stockNames, stockCache, false, &missing));
    EXPECT_FALSE(ReadPathFiles(paths, pathNames, pathCache, false, &missing));

    ASSERT_EQ(stock.size(), 1u);
    EXPECT_EQ(stock[0]->PLevel, 2);
    EXPECT_TRUE(paths.empty());
    EXPECT_EQ(missing.Strings(), (QStringList{"Cars\\None.wag", "Routes\\Line\\PATHS\\None.pat"}));
    EXPECT_EQ(App().ReportItemCount, 2);
    const QString report = Pane()->Lines().join(u'\n');
    EXPECT_TRUE(report.contains("Folder: 'Routes\\Line\\PATHS'"));
    EXPECT_TRUE(report.contains("File: 'None.pat'"));
}

class RefreshStockListTest : public CacheRebuildTest {
protected:
    // A Maintenance Mode Stock list file of the global scope.
    void WriteList(const QList<std::pair<QString, std::uint32_t>>& members) {
        IniFile ini;
        for (const auto& [file, bits] : members) {
            ini.WriteInteger(file, "PType", int(bits));
            ini.WriteString(file, "Description", "old " + file);
        }
        ini.WriteString("QUARVEL_INFORMATION", "Version", "3.0");
        ASSERT_TRUE(ForceFolders(ItemDataFolder(kFolder)));
        ASSERT_TRUE(SaveIniFile(ItemDataFolder(kFolder) + "L1.QVC", ini));
    }
    const QString kFolder = QStringLiteral("TRAINS\\TRAINSET");
};

TEST_F(RefreshStockListTest, RefreshesMembersOfTheKindAndDropsTheOthers) {
    AddStock();
    WriteList({{"Cars\\Flat.wag", PT_MAINT_STOCK},
               {"Cars\\Lost.wag", PT_MAINT_STOCK},
               {"Dash9\\DASH9.eng", PT_MAINT_CONSIST}});
    RecordList<ItemSet> members;
    StringList notFound;
    EXPECT_FALSE(RefreshStockList(members, kFolder, "L1.QVC", &notFound, false, false, stockCache,
                                  PT_MAINT_STOCK));

    ASSERT_EQ(members.size(), 2u);
    const ItemSet* flat = Find(members, "Cars\\Flat.wag");
    const ItemSet* lost = Find(members, "Cars\\Lost.wag");
    ASSERT_TRUE(flat && lost);
    EXPECT_EQ(flat->StoreInd, SI_IN_STORE);
    EXPECT_EQ(flat->Description, "Flat car");
    EXPECT_EQ(flat->PType, PT_MAINT_STOCK | PT_FREIGHT);
    EXPECT_EQ(flat->PLevel, 3);
    EXPECT_EQ(lost->StoreInd, -1);
    EXPECT_EQ(notFound.Strings(), QStringList{"Cars\\Lost.wag"});
    EXPECT_EQ(App().ReportItemCount, 1);
}

TEST_F(RefreshStockListTest, AppendLeavesEarlierMembersUntouched) {
    AddStock();
    WriteList({{"Dash9\\DASH9.eng", PT_MAINT_STOCK}});
    RecordList<ItemSet> members;
    members.push_back(std::make_unique<ItemSet>());
    members[0]->FileName = "Other\\Kept.wag";
    members[0]->Folder = "ELSEWHERE";
    members[0]->StoreInd = SI_PLACE_UNKNOWN;
    EXPECT_TRUE(RefreshStockList(members, kFolder, "L1.QVC", nullptr, true, false, stockCache,
                                 PT_MAINT_STOCK));

    ASSERT_EQ(members.size(), 2u);
    const ItemSet* kept = Find(members, "Other\\Kept.wag");
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->StoreInd, SI_PLACE_UNKNOWN);
    EXPECT_EQ(Find(members, "Dash9\\DASH9.eng")->StoreInd, SI_IN_USE);
}

TEST_F(RefreshStockListTest, FirstOnlyMarkStandsOnlyOnTheFirstOfAFirstOnlyRead) {
    // A list file written from a tree that held the placeholder carries the mark in its member.
    AddStock();
    WriteList({{"Cars\\Flat.wag", PT_MAINT_STOCK | PT_FIRST_ONLY},
               {"Dash9\\DASH9.eng", PT_MAINT_STOCK | PT_FIRST_ONLY}});
    for (const bool firstOnly : {false, true}) {
        SCOPED_TRACE(firstOnly);
        RecordList<ItemSet> members;
        EXPECT_TRUE(RefreshStockList(members, kFolder, "L1.QVC", nullptr, false, firstOnly,
                                     stockCache, PT_MAINT_STOCK));
        ASSERT_EQ(members.size(), firstOnly ? 1u : 2u);
        for (const auto& member : members)
            EXPECT_EQ((member->PType & PT_FIRST_ONLY) != 0, firstOnly)
                << member->FileName.toStdString();
    }
}

TEST_F(RefreshStockListTest, EmptyListIdIsReportedAndEndsTheProgram) {
    FakeUi ui;
    std::vector<int> ends;
    const TerminateHook previous = SetTerminateHook([&](int status) { ends.push_back(status); });
    RecordList<ItemSet> members;
    EXPECT_FALSE(
        RefreshStockList(members, kFolder, "", nullptr, false, false, stockCache, PT_MAINT_STOCK));
    SetTerminateHook(previous);

    EXPECT_EQ(ends, std::vector<int>{1});
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_TRUE(ui.Shown()[0].text.contains("Module: 'ListProcess'  Line No.: 3354"));
    EXPECT_TRUE(members.empty());
}

TEST_F(CacheRebuildTest, WarmRebuild_ReadsAgainWhatChangedOrMovedSinceTheLastOne) {
    AddStock();
    AddTrain(QStringLiteral("A.con"));
    RecordList<ItemSet> stock, consists;
    RebuildStockCache(stock, false, nullptr);
    RebuildConsistCache(consists, false, nullptr);

    // A new date on a changed file, and a consist that now stands in the store as well.
    builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Coach"), QStringLiteral("Renamed"),
                     WagonType::Passenger, Into::Store);
    const QString coach = QStringLiteral("C:\\STORE\\TRAINS\\TRAINSET\\Cars\\Coach.wag");
    ASSERT_TRUE(SetFileAge(coach, PackDosDateTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)))));
    AddTrain(QStringLiteral("a.CON"), Into::Store);
    stock.clear(), consists.clear();
    RebuildStockCache(stock, false, nullptr);
    RebuildConsistCache(consists, false, nullptr);

    EXPECT_EQ(Find(stock, QStringLiteral("Cars\\Coach.wag"))->Description, "Renamed");
    ASSERT_EQ(consists.size(), 1u);
    EXPECT_EQ(consists[0]->StoreInd, SI_IN_STORE);
}

TEST_F(CacheRebuildTest, WarmRebuild_AfterAnIdleOneSeesWhatChangedMeanwhile) {
    AddStock();
    AddTrain(QStringLiteral("A.con"));
    AddLineWithRunPath();
    drive.AgeTree();
    RecordList<ItemSet> stock, consists, paths;
    const auto rebuild = [&] {
        stock.clear(), consists.clear(), paths.clear();
        RebuildStockCache(stock, false, nullptr);
        RebuildConsistCache(consists, false, nullptr);
        RebuildPathCache(paths, false, nullptr);
    };
    rebuild();
    rebuild();
    // Where folders are watched, the listings of a rebuild after an idle one ask the disk
    // nothing and are kept; changes made meanwhile must still be seen.
    const quint64 asks = PathLayerDiskAsks();
    rebuild();
    const bool watched = PathLayerDiskAsks() == asks;
    ASSERT_EQ(stock.size(), 3u);

    builder.AddWagon(QStringLiteral("Vans"), QStringLiteral("Van"), QStringLiteral("Van"),
                     WagonType::Freight);
    builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Coach"), QStringLiteral("Renamed"),
                     WagonType::Passenger, Into::Store);
    ASSERT_TRUE(
        SetFileAge(QStringLiteral("C:\\STORE\\TRAINS\\TRAINSET\\Cars\\Coach.wag"), kOtherAge));
    AddTrain(QStringLiteral("B.con"), Into::Store);
    builder.AddPath(QStringLiteral("Line"), QStringLiteral("Back.pat"), QStringLiteral("Back"),
                    QStringLiteral("There"), QStringLiteral("Here"));
    ASSERT_TRUE(DeleteFile(QStringLiteral("C:\\MSTS\\TRAINS\\CONSISTS\\A.con")));
    rebuild();
    EXPECT_EQ(stock.size(), 4u) << "watched: " << watched;
    ASSERT_NE(Find(stock, QStringLiteral("Vans\\Van.wag")), nullptr);
    EXPECT_EQ(Find(stock, QStringLiteral("Cars\\Coach.wag"))->Description, "Renamed");
    ASSERT_EQ(consists.size(), 1u);
    EXPECT_EQ(consists[0]->FileName, "B.con");
    EXPECT_EQ(consists[0]->StoreInd, SI_IN_STORE);
    EXPECT_EQ(paths.size(), 2u);
}

namespace {

// What a user can change between two starts of the program, made by another program.
enum class ChangeBetweenStarts {
    FileAdded,
    FileRemoved,
    FileRenamed,
    ChangedWithNewDate,
    FolderRenamed
};

// The rebuilds whose folders are listed together at a start: the stock folders of both roots
// (also as many as a real installation has, whose files are added to the listing on a thread of
// their own), and the PATHS folders of every route, also listed on a thread of their own while
// the stock is rebuilt.
enum class RebuiltAtStart { Stock, ManyStock, Paths, PathsListedAhead };

class RebuildAtStartTest
    : public CacheRebuildTest,
      public ::testing::WithParamInterface<std::tuple<ChangeBetweenStarts, RebuiltAtStart>> {};

// A file's place as the rebuilt records name it.
struct RecordPlace {
    QString folder;
    QString fileName;
    bool IsSet() const { return !fileName.isEmpty(); }
};

} // namespace

// At a start the folders are listed afresh, and each file's date comes from a stat of it in that
// listing; the cache sections are taken only where name and date are what they were.
TEST_P(RebuildAtStartTest, SeesEveryChangeMadeBetweenTwoStarts) {
    const auto [change, kind] = GetParam();
    const bool stock = kind == RebuiltAtStart::Stock || kind == RebuiltAtStart::ManyStock;
    AddStock();
    const std::size_t more = kind == RebuiltAtStart::ManyStock ? 100 : 0;
    for (std::size_t i = 0; i < more; ++i) {
        const QString name = QStringLiteral("Wagon%1").arg(i, 3, 10, QLatin1Char('0'));
        builder.AddWagon(name, name, name, WagonType::Freight, i % 10 ? Into::Msts : Into::Store);
    }
    AddLineWithRunPath();
    builder.AddPath(QStringLiteral("Line"), QStringLiteral("Back.pat"), QStringLiteral("Back"),
                    QStringLiteral("There"), QStringLiteral("Here"));
    // A route only the store holds: the MSTS folder lacks its folder, the store the other's.
    builder.AddRoute(QStringLiteral("Near"), QStringLiteral("Near"), QStringLiteral("N"), {},
                     Into::Store);
    builder.AddPath(QStringLiteral("Near"), QStringLiteral("Side.pat"), QStringLiteral("Side"),
                    QStringLiteral("Here"), QStringLiteral("There"), true, Into::Store);
    drive.AgeTree();
    RecordList<ItemSet> records;
    const auto rebuild = [&] {
        records.clear();
        if (stock) {
            RebuildStockCache(records, false, nullptr);
        } else if (kind == RebuiltAtStart::Paths) {
            RebuildPathCache(records, false, nullptr);
        } else {
            const ListingsAhead ahead({RebuildKind::Stock, RebuildKind::Paths});
            RecordList<ItemSet> stockRecords;
            RebuildStockCache(stockRecords, false, nullptr);
            RebuildPathCache(records, false, nullptr);
        }
    };
    rebuild();
    ASSERT_EQ(records.size(), 3u + more);
    ClearFolderCache(); // the program ends

    // The file each change is made to, its folder, and where the records find it.
    const QString trainset = QStringLiteral("TRAINS\\TRAINSET");
    const QString folder =
        stock ? trainset + QStringLiteral("\\Dash9") : QStringLiteral("Routes\\Line\\PATHS");
    const QString file = stock ? QStringLiteral("DASH9.eng") : QStringLiteral("Run.pat");
    const auto place = [&](const QString& inFolder, const QString& name) {
        return stock ? RecordPlace{trainset, inFolder.mid(trainset.size() + 1) + u'\\' + name}
                     : RecordPlace{inFolder, name};
    };
    RecordPlace present, gone;
    QString description;
    qint64 reads = 1;
    switch (change) {
    case ChangeBetweenStarts::FileAdded:
        if (stock)
            builder.AddEngine(QStringLiteral("Dash9"), QStringLiteral("NEW"), QStringLiteral("New"),
                              EngineType::Diesel);
        else
            builder.AddPath(QStringLiteral("Line"), QStringLiteral("NEW.pat"),
                            QStringLiteral("New"), QStringLiteral("Here"), QStringLiteral("There"));
        present = place(folder, stock ? QStringLiteral("NEW.eng") : QStringLiteral("NEW.pat"));
        break;
    case ChangeBetweenStarts::FileRemoved:
        ASSERT_TRUE(QFile::remove(builder.HostPath(folder + u'\\' + file)));
        gone = place(folder, file);
        reads = 0;
        break;
    case ChangeBetweenStarts::FileRenamed: {
        const QString host = builder.HostPath(folder + u'\\' + file);
        ASSERT_TRUE(QFile::rename(host, HostParentOf(host) + QStringLiteral("/Renamed.") +
                                            file.section(u'.', -1)));
        present = place(folder, QStringLiteral("Renamed.") + file.section(u'.', -1));
        gone = place(folder, file);
        break;
    }
    case ChangeBetweenStarts::ChangedWithNewDate: {
        // Written again and dated back: only the new date tells the change.
        if (stock)
            builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Flat"),
                             QStringLiteral("Changed"), WagonType::Freight, Into::Store);
        else
            builder.AddPath(QStringLiteral("Line"), QStringLiteral("Run.pat"),
                            QStringLiteral("Changed"), QStringLiteral("Here"),
                            QStringLiteral("There"));
        const QString changed =
            stock ? trainset + QStringLiteral("\\Cars\\Flat.wag") : folder + u'\\' + file;
        const QByteArray host =
            QFile::encodeName(builder.HostPath(changed, stock ? Into::Store : Into::Msts));
        const timespec times[2] = {{0, UTIME_OMIT}, {1600000000, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, host.constData(), times, 0), 0);
        present = stock ? place(trainset + QStringLiteral("\\Cars"), QStringLiteral("Flat.wag"))
                        : place(folder, file);
        description = QStringLiteral("Changed");
        break;
    }
    case ChangeBetweenStarts::FolderRenamed: {
        // The engine's folder, or the route's own folder with its PATHS folder in it.
        const QString renamed = stock ? folder : QStringLiteral("Routes\\Line");
        const QString host = builder.HostPath(renamed);
        ASSERT_TRUE(QDir().rename(host, HostParentOf(host) + QStringLiteral("/Renamed")));
        present = place(stock ? trainset + QStringLiteral("\\Renamed")
                              : QStringLiteral("Routes\\Renamed\\PATHS"),
                        file);
        gone = place(folder, file);
        reads = stock ? 1 : 2;
        break;
    }
    }

    ClearFolderCache(); // the next start
    const qint64 before = MstsFilesRead();
    rebuild();
    EXPECT_EQ(MstsFilesRead() - before, reads) << "only what changed is read";
    if (present.IsSet()) {
        const ItemSet* item = Find(records, present.fileName, present.folder);
        ASSERT_NE(item, nullptr) << qPrintable(present.folder + u'\\' + present.fileName);
        if (!description.isEmpty()) {
            EXPECT_EQ(item->Description, description);
        }
    }
    if (gone.IsSet()) {
        EXPECT_EQ(Find(records, gone.fileName, gone.folder), nullptr)
            << qPrintable(gone.folder + u'\\' + gone.fileName);
    }
    if (!stock) {
        const ItemSet* side =
            Find(records, QStringLiteral("Side.pat"), QStringLiteral("Routes\\Near\\PATHS"));
        ASSERT_NE(side, nullptr);
        EXPECT_EQ(side->StoreInd, SI_IN_STORE);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Changes, RebuildAtStartTest,
    ::testing::Combine(::testing::Values(ChangeBetweenStarts::FileAdded,
                                         ChangeBetweenStarts::FileRemoved,
                                         ChangeBetweenStarts::FileRenamed,
                                         ChangeBetweenStarts::ChangedWithNewDate,
                                         ChangeBetweenStarts::FolderRenamed),
                       ::testing::Values(RebuiltAtStart::Stock, RebuiltAtStart::ManyStock,
                                         RebuiltAtStart::Paths, RebuiltAtStart::PathsListedAhead)));

namespace {

// What a rebuild's records tell, in their order.
QStringList RecordTexts(const RecordList<ItemSet>& records) {
    QStringList texts;
    for (const auto& record : records)
        texts << record->Folder + u'\\' + record->FileName + u' ' +
                     QString::number(record->StoreInd) + u' ' + record->Description;
    return texts;
}

} // namespace

// Rebuilds in any order with the listings of all but the first made ahead give the records the
// rebuilds give one after another; a listing made ahead that no rebuild took is dropped, so that
// a later rebuild sees what changed since.
TEST_F(CacheRebuildTest, ListingsAhead_GiveTheRecordsOfRebuildsOneAfterAnother) {
    AddStock();
    AddTrain(QStringLiteral("A.con"));
    AddTrain(QStringLiteral("B.con"), Into::Store);
    AddLineWithRunPath();
    const auto rebuild = [](RebuildKind kind) {
        RecordList<ItemSet> records;
        if (kind == RebuildKind::Stock)
            RebuildStockCache(records, false, nullptr);
        else if (kind == RebuildKind::Consists)
            RebuildConsistCache(records, false, nullptr);
        else
            RebuildPathCache(records, false, nullptr);
        return RecordTexts(records);
    };
    std::map<RebuildKind, QStringList> alone;
    for (RebuildKind kind : {RebuildKind::Stock, RebuildKind::Consists, RebuildKind::Paths})
        alone[kind] = rebuild(kind);
    ASSERT_EQ(alone[RebuildKind::Stock].size(), 3);
    ASSERT_EQ(alone[RebuildKind::Consists].size(), 2);
    ASSERT_EQ(alone[RebuildKind::Paths].size(), 1);

    const std::vector<std::vector<RebuildKind>> orders = {
        {RebuildKind::Stock, RebuildKind::Consists, RebuildKind::Paths},
        {RebuildKind::Paths, RebuildKind::Stock, RebuildKind::Consists},
        {RebuildKind::Consists, RebuildKind::Paths},
        {RebuildKind::Stock}};
    for (const std::vector<RebuildKind>& order : orders) {
        ClearFolderCache(); // as at a start
        const ListingsAhead ahead(order);
        for (RebuildKind kind : order)
            EXPECT_EQ(rebuild(kind), alone[kind]) << int(kind) << " of " << order.size();
    }

    ClearFolderCache();
    {
        const ListingsAhead ahead({RebuildKind::Stock, RebuildKind::Consists});
        rebuild(RebuildKind::Stock);
    }
    AddTrain(QStringLiteral("C.con"));
    EXPECT_EQ(rebuild(RebuildKind::Consists).size(), 3) << "the listing made ahead was dropped";
}

// A run of rebuilds looks the leading engines up in its own stock listing, the store's copy first;
// once the run is over, an engine put into the store since is found there.
TEST_F(CacheRebuildTest, LeadEngineCheck_TakesTheRunsStockListingOnlyWhileTheRunLasts) {
    AddStock();
    AddTrain(QStringLiteral("A.con"));
    // Whether the leading engine was found to name another engine.
    const auto differs = [] {
        RecordList<ItemSet> consists;
        RebuildConsistCache(consists, true, nullptr);
        const ItemSet* train = Find(consists, QStringLiteral("A.con"));
        return train && (train->PType & PT_ENGINE_REF_DIFFERS) != 0;
    };
    // A run of both rebuilds; with consists false, one whose consist rebuild never comes.
    const auto stockThen = [&](bool consists) {
        const ListingsAhead ahead({RebuildKind::Stock, RebuildKind::Consists});
        RecordList<ItemSet> stock;
        RebuildStockCache(stock, false, nullptr);
        return consists && differs();
    };
    EXPECT_FALSE(stockThen(true));
    stockThen(false);
    // The store's copy of the leading engine names another engine in its Engine block.
    builder.WriteMstsFile(QStringLiteral("TRAINS\\TRAINSET\\Dash9\\DASH9.eng"),
                          QStringLiteral("D0t"),
                          {QStringLiteral("Wagon ( DASH9"), QStringLiteral("Type ( Engine )"),
                           QStringLiteral(")"), QStringLiteral("Engine ( OTHER"),
                           QStringLiteral("CabView ( DASH9.cvf )"), QStringLiteral(")")},
                          MstsFileKind::Engine, Into::Store);
    EXPECT_TRUE(differs()) << "the ended run's stock listing was taken";
    {
        const ListingsAhead ahead({RebuildKind::Consists});
        EXPECT_TRUE(differs());
    }
    EXPECT_TRUE(stockThen(true));
}
