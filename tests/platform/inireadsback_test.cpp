// An ini that says it reads back as it stands holds exactly what reading its bytes gives; one
// whose lines reading would trim, drop, split or take for a section says it does not.
#include "platform/inifile.h"

#include <gtest/gtest.h>
#include <random>

using namespace qv;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// Every section's name and lines, in file order.
QStringList Content(const IniFile& ini) {
    QStringList content;
    for (const QString& section : ini.ReadSections()) {
        content << "[" + section + "]";
        content << ini.ReadSectionValues(section);
    }
    return content;
}

} // namespace

TEST(IniReadsBack, TellsWhetherReadingItsBytesGivesWhatItHolds) {
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        bool readsBack;
    };
    const Case cases[] = {
        {"TRAINSET\\A\\a.eng", "PType", "4194305", true},
        {"s", "Name", "A name with blanks inside", true},
        {" s ", "Name", "x", true},        // a section's name stands as written
        {"s", "Name", " padded ", true},   // written inside quotes
        {"s", "Name", "\"quoted\"", true}, // written inside a second pair
        {"s", "Name", "", true},
        {"s", "", "x", true},
        {"s", "Name", "\u00e9t\u00e9 \u20ac", true},
        {"s", "Name", "\u4e2d", true}, // written in UTF-8
        {"s", "Key ", "x", false},     // the key's blank goes
        {"s", " Key", "x", false},
        {"s", ";Key", "x", false},   // a comment
        {"s", "[Key]", "x", false},  // begins like a section
        {"s", "Name", "a\rb", true}, // the break is written as a blank
        {"s", "Name", "\U0001F600", false},
        {"s", "Na\tme", "x", true},
        {"s", "Name\t", "x", false},
    };
    for (const Case& c : cases) {
        IniFile ini;
        ini.WriteString("QUARVEL_INFORMATION", "Version", "3.0");
        ini.WriteString(S(c.section), S(c.key), S(c.value));
        ini.WriteString("after", "k", "v");
        EXPECT_EQ(ini.ReadsBackAsItStands(), c.readsBack) << c.key << " = " << c.value;
        if (ini.ReadsBackAsItStands()) {
            EXPECT_EQ(Content(IniFile::FromBytes(ini.ToBytes())), Content(ini))
                << c.key << " = " << c.value;
        }
    }
    // Sections written whole, as a rebuild writes them, and an ini read from a file.
    IniFile cache;
    for (int i = 0; i < 50; ++i) {
        const QString ptype = QString::number(i);
        const QStringView keys[] = {u"PType", u"Name", u"FileDate"};
        const QStringView values[] = {ptype, u"Wagon", u"1493201234"};
        cache.WriteValues(QStringLiteral("W%1.wag").arg(i), keys, values, 3);
    }
    EXPECT_TRUE(cache.ReadsBackAsItStands());
    EXPECT_TRUE(IniFile::FromBytes(cache.ToBytes()).ReadsBackAsItStands());
    EXPECT_TRUE(IniFile().ReadsBackAsItStands());
}

// Inis made of random writes, removals and names: whenever one says it reads back as it stands,
// reading its bytes gives every section and line it holds.
TEST(IniReadsBack, NeverSaysSoWhenReadingWouldChangeIt) {
    const QStringList pieces = {"a", "B",  " ",  "\t",  "=",      ";",      "[",
                                "]", "\"", "\r", "x y", "\u00e9", "\u4e2d", QString(QChar(0xD83D)),
                                "k", ""};
    std::mt19937 random(3);
    const auto text = [&] {
        QString made;
        const int parts = int(random() % 4);
        for (int i = 0; i < parts; ++i)
            made += pieces.at(qsizetype(random() % std::uint32_t(pieces.size())));
        return made;
    };
    int readBack = 0;
    for (int round = 0; round < 3000; ++round) {
        IniFile ini;
        const int writes = 1 + int(random() % 4);
        for (int w = 0; w < writes; ++w)
            ini.WriteString(text(), text(), text());
        if (random() % 3 == 0)
            ini.DeleteKey(ini.ReadSections().value(0), text());
        if (!ini.ReadsBackAsItStands())
            continue;
        ++readBack;
        ASSERT_EQ(Content(IniFile::FromBytes(ini.ToBytes())), Content(ini)) << round;
    }
    EXPECT_GT(readBack, 100); // the test looked at inis that read back
}
