#include "core/contentpath.h"

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
    {"", "CON", ""},
    {"", "A\\nul.txt", ""},
    {"", "Com7\\x.wag", ""},
    {"", "lpt1 .eng", ""},
    {"", "A\\aux\\x.wag", ""},
    {"", "CONSOLE\\COM10.wag", "CONSOLE\\COM10.wag"},
};

class EntryInsideTest : public ::testing::TestWithParam<InsideCase> {};

TEST_P(EntryInsideTest, ResolvesInsideOrRefuses) {
    const InsideCase& c = GetParam();
    EXPECT_EQ(EntryInside(QString::fromLatin1(c.base), QString::fromLatin1(c.entry)),
              QString::fromLatin1(c.expected))
        << c.base << " | " << c.entry;
}

INSTANTIATE_TEST_SUITE_P(Names, EntryInsideTest, ::testing::ValuesIn(kInsideCases));

struct BelowCase {
    const char* folder;
    const char* name;
    const char* expected; // empty: refused
};

// A name from a content file joined to the root and the folder it is to stay below.
const BelowCase kBelowCases[] = {
    {"TRAINS\\TRAINSET", "DASH9\\DASH9.ENG", "C:\\MSTS\\TRAINS\\TRAINSET\\DASH9\\DASH9.ENG"},
    {"TRAINS\\TRAINSET", "A\\..\\B\\x.wag", "C:\\MSTS\\TRAINS\\TRAINSET\\B\\x.wag"},
    {"TRAINS\\TRAINSET", "..\\CONSISTS\\x.con", ""},
    {"TRAINS\\TRAINSET", "..\\..\\..\\SECRET\\LOOT.WAG", ""},
    {"TRAINS\\TRAINSET", "\\SECRET\\LOOT.WAG", ""},
    {"TRAINS\\TRAINSET", "C:\\SECRET\\LOOT.WAG", ""},
    {"TRAINS\\TRAINSET", "NUL.WAG", ""},
    {"", "ROUTES\\R\\load.ace", "C:\\MSTS\\ROUTES\\R\\load.ace"},
    {"", "..\\x", ""},
    {"..\\SECRET", "LOOT.pat", ""},
    {"ROUTES\\R\\.\\PATHS", "up.pat", "C:\\MSTS\\ROUTES\\R\\PATHS\\up.pat"},
};

class ContentPathTest : public ::testing::TestWithParam<BelowCase> {};

TEST_P(ContentPathTest, JoinsInsideTheFolderOrRefuses) {
    const BelowCase& c = GetParam();
    EXPECT_EQ(ContentPath("C:\\MSTS\\", QString::fromLatin1(c.folder), QString::fromLatin1(c.name)),
              QString::fromLatin1(c.expected))
        << c.folder << " | " << c.name;
}

INSTANTIATE_TEST_SUITE_P(Names, ContentPathTest, ::testing::ValuesIn(kBelowCases));

} // namespace
