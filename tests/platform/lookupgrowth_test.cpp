// Ini sections and registry keys of tens of thousands of entries, as a hostile file may hold:
// reading every entry grows in step with their number, and a long section finds its keys as a
// short one does.
#include "fixtures/growth.h"
#include "platform/inifile.h"
#include "platform/registryformat.h"

#include <gtest/gtest.h>
#include <memory>

namespace qv {
namespace {

TEST(LookupGrowth, ReadingEveryEntryGrowsInStepWithTheirNumber) {
    struct Case {
        const char* what;
        test::SizedJob make;
    } cases[] = {
        {"every key of an ini section read",
         [](int n) {
             QByteArray text = "[Lists]\r\n";
             for (int i = 0; i < n; ++i)
                 text += "List" + QByteArray::number(i) + "=1,Name\r\n";
             auto ini = std::make_shared<IniFile>(IniFile::FromBytes(text));
             return [ini, n] {
                 for (int i = 0; i < n; ++i)
                     ASSERT_EQ(ini->ReadString("Lists", QStringLiteral("list%1").arg(i), {}),
                               QStringLiteral("1,Name"));
             };
         }},
        {"every key of an ini section written",
         [](int n) {
             return [n] {
                 IniFile ini;
                 for (int i = 0; i < n; ++i)
                     ini.WriteString("Stock", QStringLiteral("Stk%1").arg(i), "Wagon");
             };
         }},
        {"a hive key of many values",
         [](int n) {
             QByteArray text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Many]\r\n";
             for (int i = 0; i < n; ++i)
                 text += "\"Value" + QByteArray::number(i) + "\"=\"x\"\r\n";
             return [text] {
                 RegNode root;
                 QString error;
                 ASSERT_TRUE(ParseHiveText(text, "HKEY_CURRENT_USER", &root, &error))
                     << error.toStdString();
             };
         }},
        {"a Wine key of many values",
         [](int n) {
             QByteArray text = "WINE REGISTRY Version 2\n\n[Software\\\\Many] 1700000000\n";
             for (int i = 0; i < n; ++i)
                 text += "\"Value" + QByteArray::number(i) + "\"=\"x\"\n";
             return [text, n] {
                 RegNode root;
                 ASSERT_TRUE(ParseWineRegistry(text, &root));
                 const RegNode* key = RegFind(root, {"Software", "Many"});
                 ASSERT_TRUE(key);
                 EXPECT_EQ(key->values.size(), std::size_t(n));
             };
         }},
    };
    for (const Case& c : cases)
        EXPECT_LT(test::SixteenfoldGrowth(c.make, 2000), test::kMostSixteenfoldGrowth) << c.what;
}

// The same reads and writes give the same results in a short section and in one long enough to
// be looked up through an index.
TEST(LookupGrowth, ALongSectionFindsItsKeysAsAShortOneDoes) {
    for (int filler : {0, 400}) {
        SCOPED_TRACE(filler);
        QByteArray text = "[S]\r\nKey=first\r\nkey=second\r\nOther=1\r\n";
        for (int i = 0; i < filler; ++i)
            text += "Filler" + QByteArray::number(i) + "=x\r\n";
        IniFile ini = IniFile::FromBytes(text);
        EXPECT_EQ(ini.ReadString("s", "KEY", {}), "first");
        // A longer value moves the lines after it; they are still found.
        ini.WriteString("S", "key", "a much longer first value");
        EXPECT_EQ(ini.ReadInteger("S", "other", 0), 1);
        ini.WriteString("S", "New", "n");
        EXPECT_EQ(ini.ReadString("S", "new", {}), "n");
        // Deleting the key's first line lets its second one be found.
        ini.DeleteKey("S", "KEY");
        EXPECT_EQ(ini.ReadString("S", "Key", {}), "second");
        const QStringView keys[] = {u"OTHER", u"key", u"missing"};
        QStringView values[3];
        ASSERT_TRUE(ini.PeekValues("S", keys, 3, values));
        EXPECT_EQ(values[0], u"1");
        EXPECT_EQ(values[1], u"second");
        EXPECT_TRUE(values[2].isNull());
        const IniFile copy = ini;
        ini.WriteString("S", "Other", "2");
        EXPECT_EQ(copy.ReadString("S", "Other", {}), "1");
        EXPECT_EQ(ini.ReadSection("S").size(), filler + 3);
    }
}

TEST(LookupGrowth, RegistryValuesKeepTheirOrderAndFirstSpellingThroughRemovals) {
    RegNode key;
    for (const char* name : {"A", "b", "C", "d"})
        key.SetValue(QLatin1String(name), RegValue{REG_SZ, QLatin1String(name), {}, 0});
    EXPECT_FALSE(key.SetValue("B", RegValue{REG_SZ, "b", {}, 0}));
    EXPECT_TRUE(key.RemoveValue("c"));
    EXPECT_FALSE(key.RemoveValue("C"));
    EXPECT_TRUE(key.SetValue("D", RegValue{REG_SZ, "D", {}, 0}));
    key.SetValue("e", RegValue{REG_SZ, "e", {}, 0});
    QStringList names;
    for (const auto& [name, value] : key.values)
        names << name + u'=' + value.text;
    EXPECT_EQ(names, QStringList({"A=A", "b=b", "d=D", "e=e"}));
    ASSERT_TRUE(key.Value("E"));
    EXPECT_EQ(key.Value("D")->text, "D");
    EXPECT_FALSE(key.Value("c"));
}

} // namespace
} // namespace qv
