#include "core/panetext.h"
#include "core/pathshorten.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

ReportPane SamplePane() {
    ReportPane pane;
    pane.AddHeading("Title {1}");
    pane.AddBoldLine("Bold\\line  ");
    pane.AddLine(QString::fromUtf8("Grüße\tvalue \r"));
    pane.SetTabStops({36, 144});
    return pane;
}

TEST(PaneTextTest, TheTrimmedCopyKeepsStylesAndLeavesThePaneAlone) {
    const ReportPane pane = SamplePane();
    const ReportPane copy = TrimmedPaneCopy(pane);
    EXPECT_EQ(copy.Lines(),
              QStringList({"Title {1}", "Bold\\line", QString::fromUtf8("Grüße\tvalue")}));
    EXPECT_TRUE(copy.IsHeading(0));
    EXPECT_TRUE(copy.IsBold(1));
    EXPECT_EQ(copy.TabStops(), pane.TabStops());
    EXPECT_EQ(pane.Lines()[1], "Bold\\line  ");
}

TEST(PaneTextTest, RichTextKeepsHeadingsBoldLinesTabStopsAndEscapes) {
    ReportPane pane = SamplePane();
    const QByteArray rtf = PaneRtf(pane);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("\\qc\\b\\ul Title \\{1\\}\\ulnone\\b0\\par"));
    EXPECT_TRUE(rtf.contains("\\tx720\\tx2880\\b Bold\\\\line  \\b0\\par"));
    EXPECT_TRUE(rtf.contains("Gr\\u252?\\u223?e\\tab value \\par"));
    EXPECT_TRUE(rtf.contains("Arial"));
    pane.SetFixedPitch(true);
    EXPECT_TRUE(PaneRtf(pane).contains("Courier New"));
    EXPECT_EQ(PanePlainText(pane).count("\r\n"), 2);
}

TEST(ShortenPathTest, KeepsTheDriveAndAsManyTrailingFoldersAsFit) {
    const auto width = [](const QString& text) { return int(text.size()); };
    struct Case {
        const char* path;
        int width;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\MSTS", 20, "C:\\MSTS"},
        {"C:\\Games\\Train\\MSTS\\STORE", 20, "C:\\...\\MSTS\\STORE"},
        {"C:\\Games\\Train\\MSTS\\STORE", 12, "C:\\...\\STORE"},
        {"C:\\Games\\Train\\MSTS\\STORE", 3, "C:\\...\\STORE"},
        {"\\\\server\\share\\a\\bbbbbbbb", 24, "\\\\server\\share\\...\\bbbbbbbb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ShortenPath(c.path, c.width, width), c.expected);
    }
}

} // namespace
