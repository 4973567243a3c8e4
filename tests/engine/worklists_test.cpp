#include "engine/worklists.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemset.h"
#include "core/reportpane.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

struct InsideCase {
    const char* base;
    const char* entry;
    const char* expected; // empty: a bad reference
};

// Names as content files give them, judged by their text alone.
const InsideCase kInsideCases[] = {
    {"", "DASH9\\DASH9.ENG", "DASH9\\DASH9.ENG"},
    {"", "DASH9/sub/./x.wag", "DASH9\\sub\\x.wag"},
    {"", "A\\..\\B\\x.wag", "B\\x.wag"},
    {"", "A\\\\x.wag", "A\\x.wag"},
    {"", "..\\OUT\\EVIL.wag", ""},
    {"", "A\\..\\..\\x.wag", ""},
    {"", "../x.wag", ""},
    {"", "C:\\OUT\\x.wag", ""},
    {"", "C:x.wag", ""},
    {"", "\\OUT\\x.wag", ""},
    {"", "/etc/passwd", ""},
    {"", "\\\\server\\share\\x.wag", ""},
    {"", "A\\...\\x.wag", ""},
    {"", "A\\.. \\x.wag", ""},
    {"", "A\\x\tb.wag", ""},
    {"", "", ""},
    {"", ".", ""},
    {"", "A\\..", ""},
    {"Routes\\R\\PATHS", "Routes\\R\\PATHS\\up.pat", "Routes\\R\\PATHS\\up.pat"},
    {"Routes\\R\\PATHS", "ROUTES\\r\\paths\\..\\PATHS\\up.pat", "ROUTES\\r\\PATHS\\up.pat"},
    {"Routes\\R\\PATHS", "Routes\\R\\PATHS\\..\\..\\S\\PATHS\\up.pat", ""},
    {"Routes\\R\\PATHS", "Routes\\R\\PATHSX\\up.pat", ""},
    {"Routes\\R\\PATHS", "Routes\\R\\PATHS", ""},
    {"Routes\\R\\PATHS", "Routes\\R\\PATHS\\\\server\\share\\p.pat", ""},
    {"Routes\\R\\PATHS", "routes\\r\\paths\\/etc/p.pat", ""},
};

class EntryInsideTest : public ::testing::TestWithParam<InsideCase> {};

TEST_P(EntryInsideTest, ResolvesInsideOrRefuses) {
    const InsideCase& c = GetParam();
    EXPECT_EQ(EntryInside(QString::fromLatin1(c.base), QString::fromLatin1(c.entry)),
              QString::fromLatin1(c.expected))
        << c.base << " | " << c.entry;
}

INSTANTIATE_TEST_SUITE_P(Names, EntryInsideTest, ::testing::ValuesIn(kInsideCases));

TEST(AddEntryInsideTest, AddsTheResolvedEntryOrReportsItWithTheFileThatNamesIt) {
    ResetAppState();
    ReportPane pane;
    StringList list = StringList::SortedUnique();
    EXPECT_TRUE(AddEntryInside(list, QString(), "A\\.\\x.wag", nullptr, &pane));
    EXPECT_EQ(list.Text(), "A\\x.wag\r\n");
    EXPECT_EQ(pane.LineCount(), 0);

    const ItemSet namer = NamingFile("TRAINS\\CONSISTS\\evil.con");
    EXPECT_EQ(namer.Folder, "TRAINS\\CONSISTS");
    EXPECT_EQ(namer.FileName, "evil.con");
    EXPECT_FALSE(AddEntryInside(list, QString(), "..\\y.wag", &namer, &pane));
    EXPECT_EQ(list.Count(), 1);
    const QString text = pane.Lines().join(u'\n');
    EXPECT_TRUE(text.contains(Caption(Msg::INVALID_FILENAME))) << text.toStdString();
    EXPECT_TRUE(text.contains("File: '..\\y.wag'")) << text.toStdString();
    EXPECT_TRUE(text.contains("evil.con")) << text.toStdString();
    ResetAppState();
}

} // namespace
