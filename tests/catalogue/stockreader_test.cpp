#include "catalogue/stockreader.h"

#include "core/mainservices.h"
#include "platform/mstsfile.h"
#include "stocktestkit.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace qv;

namespace {

StockInfo Parse(const QString& text, const QString& base = QStringLiteral("LOCO")) {
    MstsTextReader reader(text);
    StockInfo info;
    info.Name = QStringLiteral("Trains\\LOCO.eng");
    ParseStockText(reader, base, info);
    return info;
}

QString StatusDetail() {
    return TheMainServices().StatusText(1);
}

} // namespace

TEST(ParseStockText, NamesComeFromTheLastNameOrWagonLineElseStayTheFileName) {
    EXPECT_EQ(Parse("Wagon ( loco\r\n").Name, "loco");
    EXPECT_EQ(Parse("Wagon ( loco\r\n\tName ( \"Big Loco\" )\r\n").Name, "Big Loco");
    EXPECT_EQ(Parse("Type ( Freight )\r\n").Name, "Trains\\LOCO.eng");
    // Only the case differs: the same name.
    EXPECT_EQ(Parse("Wagon ( loco\r\n").PType & PT_NAME_DIFFERS, 0u);
    EXPECT_EQ(Parse("Wagon ( other\r\n").PType & PT_NAME_DIFFERS, PT_NAME_DIFFERS);
}

TEST(ParseStockText, GathersTypeBitsFromBothBlocksAndOnlyEngineWithABlankStartsTheEngineBlock) {
    const StockInfo info =
        Parse("Wagon ( LOCO\r\n\tType ( Engine )\r\n)\r\n"
              "EngineData ( x )\r\nEngine( y\r\n"
              "Engine ( Loco2\r\n\tType ( electric )\r\n\tType ( Hovercraft )\r\n"
              "\tCabView ( loco.cvf )\r\n)\r\n");
    EXPECT_EQ(info.PType, PT_ENGINE | PT_ELECTRIC | PT_DRIVEABLE | PT_ENGINE_REF_DIFFERS);
    EXPECT_EQ(info.EngineName, "Loco2");
}

TEST(ParseStockText, JoinsAMultiLineDescriptionAndKeepsWhatAnUnendedOneCollected) {
    EXPECT_EQ(Parse("Description ( \"one \"+\r\n\"two \"+\r\n\"three\" )\r\n").Description,
              "one two three");
    EXPECT_EQ(Parse("Description ( \"cut off\r\n").Description, "\"cut off");
}

TEST(ParseStockText, SizeFreightAnimAndPassengerValuesAreCutAsTheViewerNeedsThem) {
    StockInfo info = Parse("Size ( 3m\t4.3m\t20.5m )\r\nFreightAnim ( \"coal load.s\" 0 1 )\r\n"
                           "PassengerCapacity ( 64 )\r\n");
    EXPECT_DOUBLE_EQ(info.Size, 20.5);
    EXPECT_EQ(info.FreightAnim, "coal load.s");
    EXPECT_EQ(info.PType, PT_PASSENGER);
    EXPECT_EQ(Parse("FreightAnim ( load.s 0 1 )\r\n").FreightAnim, "load.s");
    // A length without a unit is no length: 0, and reading goes on.
    info = Parse("Size ( 3 4 20 )\r\nWagonShape ( loco.s )\r\n");
    EXPECT_EQ(info.Size, 0);
    EXPECT_EQ(info.WagonShape, "loco.s");
}

class StockReaderTest : public StockTest {
protected:
    StockReaderTest() {
        builder.AddEngine(QStringLiteral("Dash9"), QStringLiteral("DASH9"),
                          QStringLiteral("Dash 9"), EngineType::Diesel);
    }
    bool Read(StockInfo& info) {
        return ReadStockFile(App().MstsRootFolder, StockItem(path), info, stockCache);
    }
    const QString path = QStringLiteral("Dash9\\DASH9.eng");
    const QString fullPath = QStringLiteral("C:\\MSTS\\TRAINS\\TRAINSET\\Dash9\\DASH9.eng");
};

TEST_F(StockReaderTest, UnchangedFileIsServedFromItsSectionWithoutOpeningIt) {
    StockInfo info;
    ASSERT_TRUE(Read(info));
    EXPECT_EQ(info.PType, PT_ENGINE | PT_DIESEL | PT_DRIVEABLE);
    EXPECT_DOUBLE_EQ(info.Size, 20.5);
    EXPECT_EQ(StatusDetail(), "Loading Stock 'Dash 9'");
    EXPECT_EQ(stockCache.Ini.ReadInteger(path, "FileDate", -1), FileAge(fullPath));

    ReplaceKeepingDate(fullPath, {"Wagon ( Other", "Type ( Freight )", ")"});
    TheMainServices().SetStatusText(1, QString());
    stockCache.Modified = false;
    ASSERT_TRUE(Read(info));
    EXPECT_EQ(info.Name, "Dash 9");
    EXPECT_EQ(info.PType, PT_ENGINE | PT_DIESEL | PT_DRIVEABLE);
    EXPECT_EQ(StatusDetail(), "");

    // Asked to skip the cache it parses, but a current section is not rewritten.
    info.SkipCache = true;
    ASSERT_TRUE(Read(info));
    EXPECT_EQ(info.Name, "Other");
    EXPECT_FALSE(stockCache.Modified);

    // A changed date makes the section stale.
    info.SkipCache = false;
    ASSERT_TRUE(SetFileAge(fullPath, kOtherAge));
    ASSERT_TRUE(Read(info));
    EXPECT_EQ(stockCache.Ini.ReadString(path, "Name", ""), "Other");
    EXPECT_EQ(stockCache.Ini.ReadInteger(path, "FileDate", -1), kOtherAge);
}

TEST_F(StockReaderTest, NewSectionsTakeTheCurrentLotAndNeverAnEmptyOne) {
    StockInfo info;
    for (const QString& lot : {QStringLiteral("0"), QString()}) {
        stockCache.Ini.Clear();
        App().CurrentLotNumber = lot;
        ASSERT_TRUE(Read(info));
        EXPECT_EQ(info.LotNumber, "0");
        EXPECT_FALSE(stockCache.Ini.ValueExists(path, "LotNumber"));
        EXPECT_FALSE(stockCache.Ini.ValueExists("QUARVEL_INFORMATION", "LastLotNumber"));
        EXPECT_FALSE(App().StockLotUsed);
    }

    stockCache.Ini.Clear();
    App().CurrentLotNumber = QStringLiteral("7");
    ASSERT_TRUE(Read(info));
    EXPECT_EQ(stockCache.Ini.ReadString(path, "LotNumber", ""), "7");
    EXPECT_EQ(stockCache.Ini.ReadString("QUARVEL_INFORMATION", "LastLotNumber", ""), "7");
    EXPECT_TRUE(App().StockLotUsed);

    // A later lot does not move an existing section to it.
    App().CurrentLotNumber = QStringLiteral("8");
    ASSERT_TRUE(SetFileAge(fullPath, kOtherAge));
    ASSERT_TRUE(Read(info));
    EXPECT_EQ(info.LotNumber, "7");
    EXPECT_EQ(stockCache.Ini.ReadString(path, "LotNumber", ""), "7");
}

TEST_F(StockReaderTest, ForcedRebuildRewritesCurrentSectionsButWritesNoLot) {
    StockInfo info;
    App().CurrentLotNumber = QStringLiteral("4");
    App().ForceCacheReread = true;
    info.SkipCache = true;
    ASSERT_TRUE(Read(info));
    stockCache.Modified = false;
    ASSERT_TRUE(Read(info));
    EXPECT_TRUE(stockCache.Modified);
    EXPECT_FALSE(stockCache.Ini.ValueExists(path, "LotNumber"));
    EXPECT_EQ(stockCache.Ini.ReadString("QUARVEL_INFORMATION", "LastLotNumber", ""), "4");
}

TEST_F(StockReaderTest, ASettledEngineIsParsedOnceUntilItIsWrittenAgain) {
    std::this_thread::sleep_for(std::chrono::milliseconds(150)); // the file settles
    StockInfo info;
    info.SkipCache = true;
    ASSERT_TRUE(Read(info));
    const qint64 opened = MstsFilesRead();
    // Named in another letter case, the unchanged engine is not opened again, and the reader
    // still shows its status as after every parse.
    TheMainServices().SetStatusText(1, QString());
    StockInfo again;
    again.SkipCache = true;
    ASSERT_TRUE(ReadStockFile(App().MstsRootFolder, StockItem(QStringLiteral("DASH9\\dash9.ENG")),
                              again, stockCache));
    EXPECT_EQ(MstsFilesRead(), opened);
    EXPECT_EQ(again.Name, "Dash 9");
    EXPECT_EQ(again.PType, info.PType);
    EXPECT_DOUBLE_EQ(again.Size, 20.5);
    EXPECT_EQ(StatusDetail(), "Loading Stock 'Dash 9'");
    // Written again, even under its old date, it is parsed again.
    ReplaceKeepingDate(fullPath, {"Wagon ( Other", "Type ( Freight )", ")"});
    ASSERT_TRUE(Read(info));
    EXPECT_EQ(info.Name, "Other");
    EXPECT_GT(MstsFilesRead(), opened);
}
