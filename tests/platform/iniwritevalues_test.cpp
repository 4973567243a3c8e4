// Writing several keys of a section at once must leave the ini exactly as writing them one by one
// does, whether the section is new or not; and the file's bytes stay those of the plain writes.
#include "platform/inifile.h"

#include <gtest/gtest.h>

#include <vector>

using namespace qv;

namespace {

struct Written {
    QString key;
    QString value;
};

// The ini as it stands after `before`, then the keys written to `section` either one by one or
// all at once, and then one more key written, so that what the write left remembered counts too.
IniFile Write(const char* before, const QString& section, const std::vector<Written>& keys,
              bool atOnce) {
    IniFile ini = IniFile::FromBytes(QByteArray(before));
    std::vector<QStringView> names;
    std::vector<QStringView> values;
    for (const Written& written : keys) {
        names.push_back(written.key);
        values.push_back(written.value);
        if (!atOnce)
            ini.WriteString(section, written.key, written.value);
    }
    if (atOnce)
        ini.WriteValues(section, names.data(), values.data(), keys.size());
    ini.WriteString(section, QStringLiteral("After"), QStringLiteral("x"));
    return ini;
}

} // namespace

TEST(IniWriteValues, LeavesTheIniAsWritingEachKeyInTurnDoes) {
    const QString longValue(3000, u'v'); // past the length from which a section indexes its keys
    const struct {
        const char* what;
        const char* before;
        QString section;
        std::vector<Written> keys;
        bool changes = true; // false: every name is refused, as the file cannot hold it
    } cases[] = {
        {"a new section at the end",
         "[A]\r\nK=1\r\n",
         "TRAINSET\\X.eng",
         {{"PType", "5"}, {"Name", "Big Loco"}, {"FileDate", "-12"}}},
        {"an existing section, spelt otherwise",
         "[Trainset\\x.ENG]\r\nname=old\r\nOther=2\r\n",
         "TRAINSET\\X.eng",
         {{"PType", "5"}, {"Name", "new"}, {"FileDate", "7"}}},
        {"an empty section that is there",
         "[S]\r\n[T]\r\nK=1\r\n",
         "s",
         {{"PType", "1"}, {"Name", "n"}}},
        {"a key given twice", "", "S", {{"Name", "first"}, {"NAME", "second"}, {"K", ""}}},
        {"line breaks in a key and in values",
         "",
         "S",
         {{"Na\nme", "a\r\nb"}, {"K", "[Injected]\nKey=x"}}},
        {"a line break in the section's name", "[A]\r\nK=1\r\n", "S\r\n[X]", {{"K", "v"}}, false},
        {"keys the file cannot hold, and one it can",
         "",
         "S",
         {{"a=b", "1"}, {";c", "2"}, {" d", "3"}, {"e\t", "4"}, {"[f", "g]"}}},
        {"characters beyond Windows-1252",
         "",
         QString::fromUtf8("Łódź"),
         {{"Name", QString::fromUtf8("Łódź → Kraków")}, {"PType", "3"}}},
        {"a long section", "", "S", {{"Long", longValue}, {"Short", "s"}, {"Third", "t"}}},
        {"no keys at all", "[A]\r\nK=1\r\n", "B", {}},
        {"empty values", "", "S", {{"Name", QString()}, {"LotNumber", ""}}},
        {"blanks, line breaks and quotes at the ends of values",
         "",
         "S",
         {{"Lead", " Lead blank.con"},
          {"Trail", "Trailing blank.con "},
          {"Q", "\"x\""},
          {"Cr", "a\r"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const IniFile oneByOne = Write(c.before, c.section, c.keys, false);
        const IniFile atOnce = Write(c.before, c.section, c.keys, true);
        EXPECT_EQ(atOnce.ToBytes(), oneByOne.ToBytes());
        for (const Written& written : c.keys) {
            EXPECT_EQ(atOnce.ReadString(c.section, written.key, "-"),
                      oneByOne.ReadString(c.section, written.key, "-"));
        }
        EXPECT_EQ(atOnce.Changes() > IniFile::FromBytes(QByteArray(c.before)).Changes(), c.changes);
    }
}

TEST(IniWriteValues, ASectionMadeAtOnceIsFoundAndErasedAsAnyOther) {
    IniFile ini;
    const QStringView keys[] = {u"PType", u"Name", u"FileDate"};
    const QStringView values[] = {u"5", u"Big Loco", u"-12"};
    ini.WriteValues(QStringLiteral("Trainset\\X.eng"), keys, values, 3);
    ini.WriteValues(QStringLiteral("Trainset\\Y.eng"), keys, values, 2);
    EXPECT_EQ(ini.PeekString(QStringLiteral("TRAINSET\\x.ENG"), QStringLiteral("name"), ""),
              "Big Loco");
    EXPECT_TRUE(ini.PeekSectionExists(QStringLiteral("trainset\\y.eng")));
    ini.EraseSection(QStringLiteral("trainset\\x.eng"));
    EXPECT_EQ(ini.ReadSections(), QStringList({"Trainset\\Y.eng"}));
}

TEST(IniToBytes, ACharacterWithoutAWindows1252ByteInASectionNameAloneMakesTheFileUtf8) {
    IniFile ini;
    ini.WriteString(QStringLiteral("Plain"), QStringLiteral("K"), QString::fromUtf8("€"));
    ini.WriteString(QString::fromUtf8("Łódź"), QStringLiteral("K"), QStringLiteral("v"));
    EXPECT_EQ(ini.ToBytes(),
              QByteArray("\xEF\xBB\xBF") +
                  QString::fromUtf8("[Plain]\r\nK=€\r\n\r\n[Łódź]\r\nK=v\r\n\r\n").toUtf8());
}
