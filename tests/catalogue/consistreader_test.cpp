#include "catalogue/consistreader.h"

#include "catalogue/consistvehicles.h"
#include "catalogue/readahead.h"
#include "catalogue/stockreader.h"
#include "core/stringlist.h"
#include "platform/mstsfile.h"
#include "stocktestkit.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace qv;

namespace {

QStringList VehicleBlock(bool engine, const QString& data, bool flip = false) {
    QStringList lines{engine ? QStringLiteral("Engine (") : QStringLiteral("Wagon (")};
    lines << (engine ? QStringLiteral("\tEngineData ( ") : QStringLiteral("\tWagonData ( ")) +
                 data + QStringLiteral(" )");
    if (flip)
        lines << QStringLiteral("\tFlip ( )");
    return lines << QStringLiteral(")");
}

} // namespace

TEST(StockDataPath, TurnsAReferenceIntoFolderAndFileWithItsExtension) {
    EXPECT_EQ(StockDataPath("Dash9 Dash9", true), "Dash9\\Dash9.ENG");
    EXPECT_EQ(StockDataPath("ffVIA \"DSB IC3 VIA\"", false), "DSB IC3 VIA\\ffVIA.WAG");
    EXPECT_EQ(StockDataPath("\"My Loco\" \"My Folder\"", true), "My Folder\\My Loco.ENG");
    EXPECT_EQ(StockDataPath("\"My Loco\"  \"My Folder\"", true), "My Folder\\My Loco.ENG");
    // A tab separates the words as a blank does.
    EXPECT_EQ(StockDataPath("coach\tCoaches", false), "Coaches\\coach.WAG");
    EXPECT_EQ(StockDataPath("\"a b\"\tCoaches", false), "Coaches\\a b.WAG");
    EXPECT_EQ(StockDataPath("lonely", false), "lonely\\.WAG");
}

class ConsistReaderTest : public StockTest {
protected:
    bool Read(ConsistInfo& info, const QString& file, StringList* vehicles = nullptr) {
        return ReadConsistFile(App().MstsRootFolder, ConsistItem(file), info, consistCache,
                               stockCache, vehicles);
    }
    // Reads a consist of the given vehicles (engine flag, reference) and returns its bits.
    std::uint32_t BitsOf(const std::vector<std::pair<bool, QString>>& vehicles) {
        // A new file each time: a rewrite within the same two seconds keeps the file's date.
        const QString name = QStringLiteral("T%1").arg(++consists_);
        const QString file = name + QStringLiteral(".con");
        QStringList body{"Train (", "\tTrainCfg ( " + name, "\t\tName ( \"A train\" )"};
        for (const auto& [engine, data] : vehicles)
            body << VehicleBlock(engine, data);
        WriteConsist(file, body << "\t)"
                                << ")");
        ConsistInfo info;
        EXPECT_TRUE(Read(info, file));
        return info.PType;
    }
    int consists_ = 0;
};

TEST_F(ConsistReaderTest, ClassifiesConsistsByTheCachedBitsOfTheirVehicles) {
    CacheStock("S\\Steam.ENG", PT_ENGINE | PT_STEAM | PT_DRIVEABLE, "Big Steam");
    CacheStock("S\\Tender.WAG", PT_TENDER);
    CacheStock("S\\Coal.WAG", PT_FREIGHT);
    CacheStock("S\\Coach.WAG", PT_PASSENGER);
    CacheStock("S\\Railcar.ENG", PT_ENGINE | PT_DIESEL | PT_PASSENGER | PT_DRIVEABLE);
    CacheStock("S\\Dead.ENG", PT_ENGINE | PT_ELECTRIC);

    EXPECT_EQ(BitsOf({{true, "Steam S"}, {false, "Tender S"}}),
              PT_ENGINE | PT_STEAM | PT_DRIVEABLE);
    EXPECT_EQ(BitsOf({{true, "Steam S"}, {false, "Coal S"}, {false, "Coal S"}, {false, "Coach S"}}),
              PT_STEAM | PT_DRIVEABLE | PT_FREIGHT);
    EXPECT_EQ(BitsOf({{true, "Steam S"}, {false, "Coal S"}, {false, "Coach S"}}),
              PT_STEAM | PT_DRIVEABLE);
    EXPECT_EQ(BitsOf({{true, "Railcar S"}}), PT_DIESEL | PT_DRIVEABLE | PT_PASSENGER);
    // The leading engine decides the cab view, any engine the driveable bit.
    EXPECT_EQ(BitsOf({{true, "Dead S"}, {true, "Railcar S"}}),
              PT_ELECTRIC | PT_DIESEL | PT_DRIVEABLE | PT_PASSENGER | PT_LEAD_NO_CABVIEW);
}

TEST_F(ConsistReaderTest, FillsNameLeadEngineAndTrainConfigAndCachesThem) {
    CacheStock("S\\Steam.ENG", PT_ENGINE | PT_STEAM, "Big Steam");
    WriteConsist(
        "Coal Run.con",
        QStringList{"Train (", "\tTrainCfg ( \"Coal Runner\"", "\t\tName ( \"Coal \"+", "\"Run\" )"}
            << VehicleBlock(true, "Steam S") << "\t)"
            << ")");
    ConsistInfo info;
    ASSERT_TRUE(Read(info, "Coal Run.con"));
    EXPECT_EQ(info.Description, "Coal Run");
    EXPECT_EQ(info.TrainCfgName, "Coal Runner");
    EXPECT_EQ(info.LeadEngine, "S\\Steam.ENG");
    EXPECT_EQ(info.EngineName, "Big Steam");
    EXPECT_EQ(info.PType, PT_ENGINE | PT_STEAM | PT_NAME_DIFFERS | PT_LEAD_NO_CABVIEW);
    EXPECT_TRUE(consistCache.Modified);
    EXPECT_EQ(consistCache.Ini.ReadString("Coal Run.con", "Description", ""), "Coal Run");
    EXPECT_EQ(consistCache.Ini.ReadString("Coal Run.con", "EngineName", ""), "Big Steam");
    EXPECT_FALSE(ReadConsistFile(App().StoreRootFolder, ConsistItem("Coal Run.con"), info,
                                 consistCache, stockCache, nullptr));
}

TEST_F(ConsistReaderTest, UnchangedConsistIsServedFromItsSectionUnlessVehiclesAreWanted) {
    CacheStock("S\\Steam.ENG", PT_ENGINE | PT_STEAM, "Big Steam");
    CacheStock("S\\Coach.WAG", PT_PASSENGER);
    WriteConsist("A.con", QStringList{"Train (", "\tTrainCfg ( A", "\t\tName ( First )"}
                              << VehicleBlock(true, "Steam S") << "\t)"
                              << ")");
    ConsistInfo info;
    ASSERT_TRUE(Read(info, "A.con"));
    const QString fullPath = QStringLiteral("C:\\MSTS\\TRAINS\\CONSISTS\\A.con");
    ReplaceKeepingDate(fullPath, QStringList{"Train (", "\tTrainCfg ( A", "\t\tName ( Second )"}
                                     << VehicleBlock(false, "Coach S") << "\t)"
                                     << ")");
    consistCache.Modified = false;
    ASSERT_TRUE(Read(info, "A.con"));
    EXPECT_EQ(info.Description, "First");
    EXPECT_EQ(info.EngineName, "Big Steam");
    EXPECT_FALSE(consistCache.Modified);

    StringList vehicles;
    ASSERT_TRUE(Read(info, "A.con", &vehicles));
    EXPECT_EQ(info.Description, "Second");
    EXPECT_EQ(vehicles.Strings(), QStringList{"S\\Coach.WAG"});

    ASSERT_TRUE(SetFileAge(fullPath, kOtherAge));
    ASSERT_TRUE(Read(info, "A.con"));
    EXPECT_EQ(consistCache.Ini.ReadInteger("A.con", "FileDate", -1), kOtherAge);
    EXPECT_EQ(consistCache.Ini.ReadString("A.con", "Description", ""), "Second");
    // The consist lost its engine, and with it the leading engine's name.
    EXPECT_FALSE(consistCache.Ini.ValueExists("A.con", "EngineName"));
}

TEST_F(ConsistReaderTest, UncachedVehicleIsQueuedAndKeepsTheSectionStaleUntilCached) {
    CacheStock("S\\Odd.WAG", 0); // cached, but of no type the stock reader knows
    WriteConsist("B.con", QStringList{"Train (", "\tTrainCfg ( B"} << VehicleBlock(true, "New S")
                                                                   << VehicleBlock(false, "Odd S")
                                                                   << "\t)"
                                                                   << ")");
    ConsistInfo info;
    ASSERT_TRUE(Read(info, "B.con"));
    EXPECT_EQ(App().UncachedStockList.Strings(), QStringList{"S\\New.ENG"});
    EXPECT_EQ(consistCache.Ini.ReadInteger("B.con", "FileDate", -1), 1);

    CacheStock("S\\New.ENG", PT_ENGINE | PT_DIESEL);
    App().UncachedStockList.Clear();
    ASSERT_TRUE(Read(info, "B.con"));
    EXPECT_TRUE(App().UncachedStockList.IsEmpty());
    EXPECT_EQ(consistCache.Ini.ReadInteger("B.con", "FileDate", -1),
              FileAge("C:\\MSTS\\TRAINS\\CONSISTS\\B.con"));
    EXPECT_EQ(info.PType, PT_DIESEL | PT_LEAD_NO_CABVIEW);
}

TEST_F(ConsistReaderTest, ConsistParsedAheadReadsAsTheLoopWouldAndLeavesTheQueueToIt) {
    builder.AddEngine("S", "Steam", "Big Steam", EngineType::Steam);
    CacheStock("S\\Steam.ENG", PT_ENGINE | PT_STEAM | PT_DRIVEABLE, "Big Steam");
    CacheStock("S\\Coach.WAG", PT_PASSENGER);
    WriteConsist("P.con", QStringList{"Train (", "\tTrainCfg ( Other", "\t\tName ( Mixed )"}
                              << VehicleBlock(true, "Steam S") << VehicleBlock(false, "Zed S")
                              << VehicleBlock(false, "Coach S") << VehicleBlock(false, "Abe S")
                              << "\t)"
                              << ")");
    ConsistInfo serial;
    ASSERT_TRUE(Read(serial, "P.con"));
    const QStringList queued = App().UncachedStockList.Strings();
    ASSERT_EQ(queued.size(), 2);
    const QString section = consistCache.Ini.ReadSectionValues("P.con").join(u'|');
    App().UncachedStockList.Clear();
    consistCache.Ini.EraseSection("P.con");

    AheadFile ahead;
    ahead.root = App().MstsRootFolder;
    ahead.path = QStringLiteral("C:\\MSTS\\TRAINS\\CONSISTS\\P.con");
    ahead.age = FileAge(ahead.path, &ahead.stamp);
    QString text;
    ASSERT_TRUE(ReadMstsTextFile(ahead.path, &text));
    MstsTextReader reader(text);
    std::vector<ConsistAhead> parsedAll(2);
    ConsistAhead& parsed = parsedAll[0];
    ParseConsistAhead(reader, "P.con", stockCache.Ini, parsed);
    parsedAll[1] = parsed; // a second consist led by the same engine
    AskLeadEngines(parsedAll);
    EXPECT_EQ(parsedAll[1].leadEngine.path, parsed.leadEngine.path);
    EXPECT_TRUE(App().UncachedStockList.IsEmpty()) << "queued by the loop, not the worker";
    EXPECT_EQ(parsed.uncached, QStringList({"S\\Zed.WAG", "S\\Abe.WAG"}));
    EXPECT_EQ(parsed.info.Description, "Mixed");
    EXPECT_EQ(parsed.info.EngineName, "Big Steam");
    // The leading engine is asked for where the lead-engine check would find it.
    EXPECT_EQ(parsed.leadEngine.root, App().MstsRootFolder);
    EXPECT_TRUE(FoundAfterTheStore(&parsed.leadEngine)) << "the store was asked first";
    FileStamp engineStamp;
    EXPECT_EQ(parsed.leadEngine.age, FileAge(parsed.leadEngine.path, &engineStamp));
    EXPECT_TRUE(parsed.leadEngine.stamp.SameFile(engineStamp));

    ConsistInfo fromAhead;
    ASSERT_TRUE(ReadConsistFile(App().MstsRootFolder, ConsistItem("P.con"), fromAhead, consistCache,
                                stockCache, nullptr, nullptr, &ahead, &parsed));
    EXPECT_EQ(fromAhead.PType, serial.PType);
    EXPECT_EQ(fromAhead.Description, serial.Description);
    EXPECT_EQ(fromAhead.TrainCfgName, serial.TrainCfgName);
    EXPECT_EQ(fromAhead.EngineName, serial.EngineName);
    EXPECT_EQ(fromAhead.LeadEngine, serial.LeadEngine);
    EXPECT_EQ(App().UncachedStockList.Strings(), queued);
    EXPECT_EQ(consistCache.Ini.ReadSectionValues("P.con").join(u'|'), section);
}

TEST_F(ConsistReaderTest, NewSectionAdvancesTheStockCachesLastLotNumber) {
    WriteConsist("C.con", {"Train (", "\tTrainCfg ( C", ")"});
    App().CurrentLotNumber = QStringLiteral("5");
    ConsistInfo info;
    ASSERT_TRUE(Read(info, "C.con"));
    EXPECT_EQ(consistCache.Ini.ReadString("C.con", "LotNumber", ""), "5");
    EXPECT_EQ(stockCache.Ini.ReadString("QUARVEL_INFORMATION", "LastLotNumber", ""), "5");
    EXPECT_TRUE(stockCache.Modified);
    EXPECT_TRUE(App().ConsistLotUsed);
    EXPECT_FALSE(consistCache.Ini.ValueExists("QUARVEL_INFORMATION", "LastLotNumber"));
}

// The vehicle list reader and the consist reader must see the same vehicles in the same order.
TEST_F(ConsistReaderTest, ReadsEveryRealConsistWithItsVehiclesAndFlipsInOrder) {
    const QString root = RealDataRoot();
    const QStringList files =
        QDir(QStringLiteral(QUARVEL_REALDATA_DIR "/dk24/TRAINS/CONSISTS")).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 94);
    int vehicleCount = 0;
    int flipped = 0;
    for (const QString& file : files) {
        ConsistInfo info;
        StringList vehicles;
        StringList listed;
        SviewModelList entries;
        ASSERT_TRUE(
            ReadConsistFile(root, ConsistItem(file), info, consistCache, stockCache, &vehicles));
        ASSERT_TRUE(ReadConsistVehicles(root + "\\TRAINS\\CONSISTS\\" + file, &listed, &entries));
        EXPECT_EQ(vehicles.Strings(), listed.Strings()) << file.toStdString();
        ASSERT_EQ(size_t(listed.Count()), entries.size());
        EXPECT_FALSE(info.Description.isEmpty()) << file.toStdString();
        vehicleCount += vehicles.Count();
        QList<bool> flips;
        for (const auto& entry : entries)
            flips << entry->Flipped;
        flipped += int(flips.count(true));
        if (file == "acela.con") {
            EXPECT_EQ(
                vehicles.Strings(),
                QStringList({"ACELA\\Acela.ENG", "ACELA\\AcelaEndCar.WAG", "ACELA\\AcelaCar.WAG",
                             "ACELA\\AcelaBistro.WAG", "ACELA\\AcelaCar.WAG", "ACELA\\AcelaCar.WAG",
                             "ACELA\\AcelaFirstClass.WAG", "ACELA\\Acela2020.ENG"}));
            EXPECT_EQ(flips, QList<bool>({false, true, false, false, true, true, false, true}));
            EXPECT_EQ(info.LeadEngine, "ACELA\\Acela.ENG");
        }
        if (file == "DSB IC3 VIA x2.con") {
            EXPECT_EQ(vehicles.Strings(),
                      QStringList({"DSB IC3 VIA\\mfaVIA.ENG", "DSB IC3 VIA\\ffVIA.WAG",
                                   "DSB IC3 VIA\\mfbVIA.ENG", "DSB IC3 VIA\\mfbVIA.ENG",
                                   "DSB IC3 VIA\\ffVIA.WAG", "DSB IC3 VIA\\mfaVIA.ENG"}));
            EXPECT_EQ(flips, QList<bool>({false, false, false, true, true, true}));
        }
        if (file == "CFL 185 519-6 solo.con") {
            EXPECT_EQ(info.Description, "CFL 185 519-6 (solo)");
            EXPECT_EQ(info.TrainCfgName, "CFL 185 519-6 solo");
            EXPECT_EQ(info.PType & PT_NAME_DIFFERS, 0u);
        }
    }
    EXPECT_EQ(vehicleCount, 952);
    EXPECT_EQ(flipped, 104);
}
