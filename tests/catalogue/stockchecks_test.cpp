#include "catalogue/stockchecks.h"

#include "catalogue/consistreader.h"
#include "catalogue/stockreader.h"
#include "core/regsettings.h"
#include "core/reportpane.h"
#include "core/stringlist.h"
#include "stocktestkit.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

QString Text(const ReportPane& pane) {
    return pane.Lines().join(u'\n');
}

} // namespace

class StockChecksTest : public StockTest {
protected:
    void WriteStock(const QString& path, const QStringList& body, Into into = Into::Msts) {
        builder.WriteMstsFile(QStringLiteral("TRAINS\\TRAINSET\\") + path, QStringLiteral("D0t"),
                              body, MstsFileKind::Other, into);
    }
    ConsistInfo Consist(std::uint32_t bits) {
        ConsistInfo consist;
        consist.FileName = QStringLiteral("Fast.con");
        consist.PType = bits;
        consist.TrainCfgName = QStringLiteral("Quick");
        consist.LeadEngine = QStringLiteral("Loco\\Loco.ENG");
        consist.EngineName = QStringLiteral("Big Loco");
        return consist;
    }
    ReportPane pane;
    StringList errors;
};

TEST_F(StockChecksTest, StockNamesReportMissingFilesAndDifferingWagonNames) {
    WriteStock("Loco\\Loco.eng", {"Wagon ( Other", "Type ( Engine )", ")", "Engine ( Loco", ")"});
    WriteStock("Cars\\Box.wag", {"Wagon ( BoxCar", "Type ( Freight )", ")"});
    builder.AddWagon("Cars", "Flat", "Flat car", WagonType::Freight, Into::Store);
    const QStringList all{"Loco\\Loco.eng", "Gone\\Gone.wag", "Cars\\Box.wag", "Cars\\Flat.wag"};

    for (const bool suppress : {false, true}) {
        WriteFlag(suppress, "Suppress Warnings");
        pane.Clear();
        errors.Clear();
        StringList names;
        for (const QString& name : all)
            names.Add(name);
        StringList folders = StringList::SortedUnique();
        EXPECT_FALSE(CheckStockNames(names, stockCache, folders, errors, &pane, suppress));

        // The missing file is gone from the names, and the one after it was still examined.
        EXPECT_EQ(names.Strings(),
                  QStringList({"Loco\\Loco.eng", "Cars\\Box.wag", "Cars\\Flat.wag"}));
        EXPECT_EQ(folders.Strings(), QStringList({"Cars", "Loco"}));
        EXPECT_TRUE(
            Text(pane).contains("The following File was not found\nFile: 'Gone\\Gone.wag'"));
        EXPECT_TRUE(Text(pane).contains("This will cause MSTS errors when starting an Activity "
                                        "or starting an Explore"));
        EXPECT_EQ(Text(pane).contains("when reloading a saved Activity"), !suppress);
        QStringList listed{"Loco\\Loco.eng", "Gone\\Gone.wag"};
        if (!suppress)
            listed << "Cars\\Box.wag";
        EXPECT_EQ(errors.Strings(), listed);
    }
}

TEST_F(StockChecksTest, DriveableConsistWithoutCabViewGetsOnlyThatWarning) {
    const ConsistInfo consist = Consist(PT_DRIVEABLE | PT_LEAD_NO_CABVIEW | PT_ENGINE_REF_DIFFERS);
    CheckConsistNames(ConsistItem("Fast.con"), consist, &pane, errors, false);
    EXPECT_TRUE(
        Text(pane).contains("has no cabview\nLocomotive Name: Big Loco (** No CabView **)"));
    EXPECT_FALSE(Text(pane).contains("different to the specification"));
    EXPECT_EQ(errors.Strings(), QStringList({"Loco\\Loco.ENG", "Fast.con"}));
}

TEST_F(StockChecksTest, ConsistFindingsNeedADriveableConsistAndListNothingWhenSuppressed) {
    CheckConsistNames(ConsistItem("Fast.con"), Consist(PT_ENGINE_REF_DIFFERS), &pane, errors,
                      false);
    EXPECT_EQ(pane.LineCount(), 0);
    EXPECT_TRUE(errors.IsEmpty());

    CheckConsistNames(ConsistItem("Fast.con"), Consist(PT_DRIVEABLE | PT_ENGINE_REF_DIFFERS), &pane,
                      errors, false);
    EXPECT_TRUE(Text(pane).contains("Consist File: 'Fast.con'\nEngine File: 'Loco\\Loco.ENG'"));
    EXPECT_EQ(errors.Strings(), QStringList({"Loco\\Loco.ENG", "Fast.con"}));

    pane.Clear();
    errors.Clear();
    CheckConsistNames(ConsistItem("Fast.con"),
                      Consist(PT_NAME_DIFFERS | PT_DRIVEABLE | PT_LEAD_NO_CABVIEW), &pane, errors,
                      true);
    EXPECT_TRUE(Text(pane).contains("'Train_Config ' parameter"));
    EXPECT_TRUE(Text(pane).contains("Consist File: 'Fast.con'\n    'Quick' <> 'Fast'"));
    EXPECT_TRUE(Text(pane).contains("No CabView"));
    EXPECT_TRUE(errors.IsEmpty());
}

TEST_F(StockChecksTest, LeadEngineCheckComparesWithCaseAndKeepsTheSectionCurrent) {
    WriteStock("Loco\\Loco.eng", {"Wagon ( Loco", "Type ( Engine )", ")", "Engine ( loco",
                                  "CabView ( loco.cvf )", ")"});
    WriteConsist("Fast.con",
                 {"Train (", "TrainCfg ( Fast", "Engine (", "EngineData ( Loco Loco )", ")", ")"});
    StockInfo engine;
    ASSERT_TRUE(
        ReadStockFile(App().MstsRootFolder, StockItem("Loco\\Loco.eng"), engine, stockCache));
    ConsistInfo consist;
    StringList vehicles;
    ASSERT_TRUE(ReadConsistFile(App().MstsRootFolder, ConsistItem("Fast.con"), consist,
                                consistCache, stockCache, &vehicles));
    EXPECT_EQ(consist.PType & PT_ENGINE_REF_DIFFERS, PT_ENGINE_REF_DIFFERS);
    EXPECT_EQ(consistCache.Ini.ReadInteger("Fast.con", "PType", 0) & PT_ENGINE_REF_DIFFERS,
              int(PT_ENGINE_REF_DIFFERS));

    // Mended engine, unchanged consist: the section is rewritten all the same.
    const QString enginePath = "C:\\MSTS\\TRAINS\\TRAINSET\\Loco\\Loco.eng";
    WriteStock("Loco\\Loco.eng", {"Wagon ( Loco", "Type ( Engine )", ")", "Engine ( Loco",
                                  "CabView ( loco.cvf )", ")"});
    ASSERT_TRUE(SetFileAge(enginePath, kOtherAge));
    consistCache.Modified = false;
    ASSERT_TRUE(ReadConsistFile(App().MstsRootFolder, ConsistItem("Fast.con"), consist,
                                consistCache, stockCache, &vehicles));
    EXPECT_TRUE(consist.RewriteSection);
    EXPECT_TRUE(consistCache.Modified);
    EXPECT_EQ(consistCache.Ini.ReadInteger("Fast.con", "PType", 0) & PT_ENGINE_REF_DIFFERS, 0);

    // An engine that is nowhere changes nothing.
    consist.LeadEngine = "Gone\\Gone.ENG";
    consist.RewriteSection = false;
    consist.PType = PT_DRIVEABLE | PT_ENGINE_REF_DIFFERS;
    CheckLeadEngine(consist, consistCache, stockCache);
    EXPECT_EQ(consist.PType, PT_DRIVEABLE | PT_ENGINE_REF_DIFFERS);
    EXPECT_FALSE(consist.RewriteSection);
}
