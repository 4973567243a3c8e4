// The consist and stock sections of the item information report, line by line.
#include "mainwindow/iteminfo.h"

#include "catalogue/cacherebuild.h"
#include "core/appstate.h"
#include "core/itemset.h"
#include "core/reportpane.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"

#include <QFile>
#include <gtest/gtest.h>

// Failures show texts as text.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace qv {
namespace {

class ConsistInfoTest : public ::testing::Test {
protected:
    ConsistInfoTest() {
        ResetAppState();
        App().MstsRootFolder = QStringLiteral("C:\\MSTS");
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        SetUi(&ui);
        builder.AddEngine("DASH9", "DASH9.ENG", "Dash 9", EngineType::Diesel);
        builder.AddEngine("SHUNT", "SHUNT.ENG", "Shunter", EngineType::Diesel, false, false);
        builder.AddWagon("HOPPER", "HOPPER.WAG", "Hopper", WagonType::Freight, Into::Store);
    }
    ~ConsistInfoTest() override {
        SetUi(nullptr);
        ResetAppState();
    }

    QStringList Report(std::uint32_t kind, const QString& file, const QString& folder = QString()) {
        ItemSet item;
        item.PType = kind;
        item.Folder = folder;
        item.FileName = file;
        item.Description = QStringLiteral("Listed Item");
        ShowItemInfo(item, &pane);
        return pane.Lines();
    }

    static void RebuildCaches() {
        RecordList<ItemSet> stock;
        RecordList<ItemSet> consists;
        RebuildStockCache(stock, false, nullptr);
        RebuildConsistCache(consists, false, nullptr);
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host(QStringLiteral("MSTS")), drive.Host(QStringLiteral("STORE"))};
    FakeUi ui;
    ReportPane pane;
};

TEST_F(ConsistInfoTest, Consist_ShowsItsLocomotiveWarningsLotAndContents) {
    builder.AddConsist("FREIGHT.CON", "Freight One",
                       {{"DASH9", "DASH9", true, false},
                        {"HOPPER", "HOPPER", false, false},
                        {"GONE", "GONE.WAG", false, false},
                        {"HOPPER", "HOPPER", false, false}});
    builder.AddConsist("NOCAB.CON", "No Cab",
                       {{"SHUNT", "SHUNT", true, false}, {"DASH9", "DASH9", true, false}});
    builder.AddConsist("SHUNTER.CON", "Shunter Only", {{"SHUNT", "SHUNT", true, false}});
    builder.AddConsist("OTHER.CON", "Misnamed", {{"DASH9", "DASH9", true, false}});
    // The name inside the file no longer matches the file's own.
    QFile::copy(builder.HostPath("TRAINS\\CONSISTS\\OTHER.con"),
                drive.Host("MSTS/TRAINS/CONSISTS/MISNAMED.con"));
    RebuildCaches();
    App().CurrentLotNumber = QStringLiteral("17");
    builder.AddConsist("LOT.CON", "Lot Train", {{"DASH9", "DASH9", true, false}}, Into::Store);

    const struct {
        const char* file;
        QStringList expected;
    } cases[] = {
        {"FREIGHT.con",
         {"", "Freight One", "", "File Name: FREIGHT.con", "", "Type: Freight, Diesel, Driveable",
          "", "Locomotive Name: Dash 9", "", "Contents:", "    Dash 9     (DASH9\\DASH9.ENG)",
          "    Hopper     (HOPPER\\HOPPER.WAG)", "    Unknown     (GONE\\GONE.WAG)",
          "    Hopper     (HOPPER\\HOPPER.WAG)", ""}},
        {"NOCAB.con",
         {"", "No Cab", "", "File Name: NOCAB.con", "", "Type: Light Engine, Diesel, Driveable", "",
          "Locomotive Name: Shunter (** No CabView **)", "", "Contents:",
          "    Shunter     (SHUNT\\SHUNT.ENG)", "    Dash 9     (DASH9\\DASH9.ENG)", ""}},
        {"SHUNTER.con",
         {"", "Shunter Only", "", "File Name: SHUNTER.con", "", "Type: Light Engine, Diesel", "",
          "Locomotive Name: Shunter", "", "Contents:", "    Shunter     (SHUNT\\SHUNT.ENG)", ""}},
        {"MISNAMED.con",
         {"", "Misnamed", "", "File Name: MISNAMED.con", "",
          "Type: Light Engine, Diesel, Driveable", "",
          "Locomotive Name: Dash 9 (** 'TrainCfg' Error **)", "",
          "Contents:", "    Dash 9     (DASH9\\DASH9.ENG)", ""}},
        {"LOT.con",
         {"", "Lot Train", "", "File Name: LOT.con", "", "Type: Light Engine, Diesel, Driveable",
          "", "Locomotive Name: Dash 9", "", "Q.V. Lot Number: 17", "",
          "Contents:", "    Dash 9     (DASH9\\DASH9.ENG)", ""}},
        {"GONE.con", {"", "Listed Item", "", "File Name: GONE.con", "", ""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Report(PT_CONSIST, c.file), c.expected) << c.file;
    EXPECT_TRUE(pane.IsHeading(1));
}

TEST_F(ConsistInfoTest, Stock_ShowsItsKindLotDescriptionAndBorrowedFolders) {
    // An engine whose cab view lies in another engine's folder.
    builder.WriteMstsFile("TRAINS\\TRAINSET\\BORROW\\BORROW.ENG", "D0t",
                          {"Wagon ( BORROW", "\tType ( Engine )", ")", "Engine ( BORROW",
                           "\tType ( Electric )", "\tCabView ( ..\\..\\DASH9\\CABVIEW\\DASH9.cvf )",
                           "\tName ( \"Borrower\" )",
                           "\tDescription ( \"First line\\nSecond line\" )", ")"},
                          MstsFileKind::Engine);
    RebuildCaches();
    App().CurrentLotNumber = QStringLiteral("17");
    builder.AddWagon("BOX", "BOX.WAG", "Box Car", WagonType::Passenger);

    const struct {
        const char* file;
        QStringList expected;
    } cases[] = {
        {"DASH9\\DASH9.ENG",
         {"", "Dash 9", "", "Folder:   DASH9", "", "File Name: DASH9.ENG", "",
          "Type: Engine, Diesel, Driveable", "", "Description: Diesel engine Dash 9", "", ""}},
        {"SHUNT\\SHUNT.ENG",
         {"", "Shunter", "", "Folder:   SHUNT", "", "File Name: SHUNT.ENG", "",
          "Type: Engine, Diesel, AI Loco.", "", "Description: Diesel engine Shunter", "", ""}},
        {"HOPPER\\HOPPER.WAG",
         {"", "Hopper", "", "Folder:   HOPPER", "", "File Name: HOPPER.WAG", "", "Type: Freight",
          "", "Description: ", "", ""}},
        {"BOX\\BOX.WAG",
         {"", "Box Car", "", "Folder:   BOX", "", "File Name: BOX.WAG", "", "Type: Passenger", "",
          "Q.V. Lot Number: 17", "", "Description: ", "", ""}},
        {"BORROW\\BORROW.ENG",
         {"", "Borrower", "", "Folder:   BORROW", "", "File Name: BORROW.ENG", "",
          "Type: Engine, Electric, Driveable", "", "Description: First line", "Second line", "",
          "Alias Folders Used:", "", "    DASH9\\CABVIEW", ""}},
        {"GONE\\GONE.WAG",
         {"", "Listed Item", "", "Folder:   GONE", "", "File Name: GONE.WAG", "", ""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Report(PT_STOCK, c.file, "TRAINS\\TRAINSET"), c.expected) << c.file;
}

} // namespace
} // namespace qv
