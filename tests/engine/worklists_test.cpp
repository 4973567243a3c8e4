#include "engine/worklists.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemset.h"
#include "core/reportpane.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

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
