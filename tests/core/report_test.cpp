#include "core/appstate.h"
#include "core/itemset.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/reportpane.h"
#include "fixtures/markingtranslator.h"
#include "fixtures/registrysandbox.h"
#include "platform/fakeui.h"
#include "platform/winresolve.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
    }
    void ReportItem(std::uint32_t type, const char* folder, ReportPane* into) {
        ItemSet item;
        item.PType = type;
        item.Folder = QString::fromLatin1(folder);
        item.FileName = QStringLiteral("a.con");
        item.Description = QStringLiteral("A train");
        ClearReport(&pane);
        Report(RL_ERROR, &item, QStringLiteral("Missing"), into);
    }

    RegistrySandbox registry;
    FakeUi ui;
    ReportPane pane;
};

} // namespace

TEST_F(ReportTest, Report_FirstEntryWritesTheHeadingAndEntriesAreNumbered) {
    Report(RL_ERROR, nullptr, QStringLiteral("first"), &pane);
    EXPECT_EQ(pane.Lines(), QStringList({"", "Report/Error/Warning List", "", "Error: - Item No. 1",
                                         "first", ""}));
    EXPECT_TRUE(pane.IsHeading(1));
    Report(RL_WARNING, nullptr, QStringLiteral("second"), &pane);
    Report(RL_REPORT, nullptr, QStringLiteral("third"), &pane);
    Report(7, nullptr, QStringLiteral("fourth"), &pane);
    EXPECT_EQ(pane.Lines().value(6), "Warning: - Item No. 2");
    EXPECT_EQ(pane.Lines().value(9), "Report: - Item No. 3");
    EXPECT_EQ(pane.Lines().value(12), "Error: - Item No. 4");

    // A pane of one line counts as empty, and so does a cleared one: heading and count anew.
    pane.SetLines({QStringLiteral("one line")});
    Report(RL_ERROR, nullptr, QStringLiteral("x"), &pane);
    EXPECT_EQ(pane.Lines().mid(1, 4),
              QStringList({"", "Report/Error/Warning List", "", "Error: - Item No. 1"}));
    EXPECT_EQ(ClearReport(&pane), 0);
    EXPECT_EQ(App().ReportItemCount, 0);
    EXPECT_EQ(pane.LineCount(), 0);
}

TEST_F(ReportTest, Report_DropsWarningsUnderSuppressWarningsAndLevelsBelowReportLevel) {
    WriteFlag(true, QStringLiteral("Suppress Warnings"));
    Report(RL_WARNING, nullptr, QStringLiteral("w"), &pane);
    Report(RL_WARNING, nullptr, QStringLiteral("w"), nullptr);
    EXPECT_EQ(pane.LineCount(), 0);
    Report(RL_REPORT, nullptr, QStringLiteral("r"), &pane);
    Report(RL_ERROR, nullptr, QStringLiteral("e"), &pane);
    EXPECT_EQ(App().ReportItemCount, 2);

    WriteFlag(false, QStringLiteral("Suppress Warnings"));
    ClearReport(&pane);
    App().ReportLevel = 2;
    Report(RL_REPORT, nullptr, QStringLiteral("r"), &pane);
    Report(RL_WARNING, nullptr, QStringLiteral("w"), nullptr);
    EXPECT_EQ(pane.LineCount(), 0);
    EXPECT_TRUE(ui.Shown().empty());
    Report(RL_ERROR, nullptr, QStringLiteral("e"), &pane);
    EXPECT_EQ(App().ReportItemCount, 1);
}

TEST_F(ReportTest, Report_ItemLocationNamesRouteOrGlobalForPlacedListKinds) {
    ReportItem(PT_EXPLORE_CONSIST, "routes\\Dk24", &pane);
    EXPECT_EQ(pane.Lines().mid(4),
              QStringList({"Missing", "Explore Mode Consist:", "Route: 'routes\\Dk24'",
                           "File: 'a.con'", "Desc: 'A train'", ""}));
    ReportItem(PT_MAINT_STOCK, "TRAINS\\TRAINSET", &pane);
    EXPECT_EQ(pane.Lines().mid(5, 2),
              QStringList({"Maintenance Mode Stock:", "Global Settings: 'TRAINS\\TRAINSET'"}));
    ReportItem(PT_EXPLORE_CONSIST | PT_MAINT_STOCK, "ROUTES\\X", &pane);
    EXPECT_EQ(pane.Lines().value(5), "Unknown:");
    ReportItem(PT_CONSIST, "TRAINS\\CONSISTS", &pane);
    EXPECT_EQ(pane.Lines().mid(4, 2), QStringList({"Missing", "Folder: 'TRAINS\\CONSISTS'"}));
}

TEST_F(ReportTest, Report_WithoutPaneShowsAnUnnumberedMessageBox) {
    ReportItem(PT_CONSIST, "TRAINS\\CONSISTS", nullptr);
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_EQ(ui.Shown()[0].text,
              "Missing\rFolder: 'TRAINS\\CONSISTS'\rFile: 'a.con'\rDesc: 'A train'");
    EXPECT_EQ(ui.Shown()[0].caption, "Quarvel");
    EXPECT_EQ(ui.Shown()[0].style, 48);
    EXPECT_EQ(App().ReportItemCount, 0);
    EXPECT_EQ(pane.LineCount(), 0);
}

TEST_F(ReportTest, AppendRichEditLines_SplitsAtLineBreaksAndEscapesOnlyWhenAsked) {
    AppendRichEditLines(&pane, QStringLiteral("a\rb\n"), false);
    EXPECT_EQ(pane.Lines(), QStringList({"a", "b", ""}));
    pane.Clear();
    AppendRichEditLines(&pane, QStringLiteral("x\\ny"), true);
    AppendRichEditLines(&pane, QStringLiteral("x\\ny"), false);
    AppendRichEditLines(&pane, QString(), false);
    EXPECT_EQ(pane.Lines(), QStringList({"x", "y", "x\\ny"}));
}

TEST_F(ReportTest, ReportHeading_SetsTabStopsAndClearResetsLayout) {
    pane.SetFixedPitch(true);
    WriteReportHeading(QStringLiteral("Statistics"), &pane);
    pane.AddBoldLine(QStringLiteral("\tIn Use"));
    EXPECT_EQ(pane.TabStops(), QList<int>({20, 40, 130}));
    EXPECT_TRUE(pane.IsHeading(1));
    EXPECT_TRUE(pane.IsBold(3));
    EXPECT_FALSE(pane.IsBold(2));
    EXPECT_FALSE(pane.IsHeading(99));
    pane.Clear();
    EXPECT_FALSE(pane.FixedPitch());
    EXPECT_TRUE(pane.TabStops().isEmpty());
}

// With every text of the English language module marked, these show no English outside the marks.
TEST(TranslatedTexts, TheReportsClosingCountAndTheFileErrorsAreTextsOfTheModule) {
    test::MarkingTranslator translator;
    ReportPane pane;
    FileReports reports("x.sms", &pane);
    for (int i = 0; i <= FileReports::kMaxReportsPerFile; ++i)
        reports.Add(QString::number(i), "missing");
    reports.Close();
    EXPECT_TRUE(pane.Lines().join('\n').contains(
        "«1 more file names not found or invalid are not listed»"));
    EXPECT_EQ(FsErrorText(kFsNotRegular), "«Not a regular file»");
}
