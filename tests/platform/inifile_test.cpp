#include "platform/codepage.h"
#include "platform/inifile.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

QByteArray Bytes(const char* text) {
    return QByteArray(text);
}

IniFile Parse(const char* text) {
    return IniFile::FromBytes(QByteArray(text));
}

} // namespace

TEST(Windows1252, DecodesTheHighControlRangeToItsCharacters) {
    EXPECT_EQ(DecodeWindows1252(Bytes("\x80\x8A\x9F\xE9\x81")),
              QString::fromUtf8("€ŠŸé") + QChar(0x81));
}

TEST(Windows1252, EveryByteRoundTrips) {
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(static_cast<char>(byte));
    EXPECT_EQ(EncodeWindows1252(DecodeWindows1252(all)), all);
}

TEST(Windows1252, RefusesCharactersItHasNoByteFor) {
    EXPECT_FALSE(EncodeWindows1252(QString::fromUtf8("Łódź")));
    EXPECT_FALSE(EncodeWindows1252(QString::fromUtf8("a→b")));
    EXPECT_FALSE(EncodeWindows1252(QString(QChar(0x80)))); // 0x80 is the euro sign there
    EXPECT_FALSE(EncodeWindows1252(QString::fromUtf8("\U0001F682")));
}

TEST(IniFile, ToBytes_WritesCrLfLinesAndABlankLineAfterEachSection) {
    IniFile ini;
    ini.WriteString("QUARVEL_INFORMATION", "Version", "3.0");
    ini.WriteInteger("Routes\\X\\PATHS\\a.pat", "FileDate", -12);
    ini.WriteBool("Routes\\X\\PATHS\\a.pat", "LooseStock", true);
    EXPECT_EQ(ini.ToBytes(),
              Bytes("[QUARVEL_INFORMATION]\r\nVersion=3.0\r\n\r\n"
                    "[Routes\\X\\PATHS\\a.pat]\r\nFileDate=-12\r\nLooseStock=1\r\n\r\n"));
    EXPECT_EQ(IniFile().ToBytes(), QByteArray());
}

TEST(IniFile, ToBytes_UsesWindows1252WhenEveryCharacterFits) {
    IniFile ini;
    ini.WriteString("Café", "Price", QString::fromUtf8("€5"));
    EXPECT_EQ(ini.ToBytes(), Bytes("[Caf\xE9]\r\nPrice=\x80"
                                   "5\r\n\r\n"));
}

TEST(IniFile, ToBytes_WritesTheWholeFileAsUtf8WithMarkWhenOneCharacterDoesNotFit) {
    IniFile ini;
    ini.WriteString("Café", "Name", QString::fromUtf8("Łódź → Kraków"));
    EXPECT_EQ(ini.ToBytes(),
              QByteArray("\xEF\xBB\xBF") +
                  QString::fromUtf8("[Café]\r\nName=Łódź → Kraków\r\n\r\n").toUtf8());
}

TEST(IniFile, FromBytes_ReadsUnmarkedBytesAsWindows1252AndHonoursByteOrderMarks) {
    EXPECT_EQ(Parse("[S]\r\nK=\x80\xE9\r\n").ReadString("S", "K", ""), QString::fromUtf8("€é"));
    EXPECT_EQ(Parse("\xEF\xBB\xBF[S]\r\nK=\xC5\x82\r\n").ReadString("S", "K", ""),
              QString::fromUtf8("ł"));
    const QString text = QString::fromUtf8("[S]\r\nK=→\r\n");
    QByteArray utf16("\xFF\xFE");
    for (QChar ch : text)
        utf16.append(static_cast<char>(ch.unicode() & 0xFF))
            .append(static_cast<char>(ch.unicode() >> 8));
    EXPECT_EQ(IniFile::FromBytes(utf16).ReadString("S", "K", ""), QString::fromUtf8("→"));
}

TEST(IniFile, RoundTripsThroughBothEncodings) {
    for (const char* value : {"plain é", "with ł"}) {
        IniFile ini;
        ini.WriteString("A", "Key", QString::fromUtf8(value));
        ini.WriteString("B", "Empty", "");
        const QByteArray bytes = ini.ToBytes();
        const IniFile read = IniFile::FromBytes(bytes);
        EXPECT_EQ(read.ReadString("A", "Key", "?"), QString::fromUtf8(value));
        EXPECT_EQ(read.ReadString("B", "Empty", "?"), "");
        EXPECT_EQ(read.ToBytes(), bytes);
    }
}

TEST(IniFile, FromBytes_KeepsOnlySectionsAndTheirLinesTrimmedAroundTheFirstEquals) {
    const IniFile ini = Parse("before=dropped\n; comment\n\n [Main] \r\n"
                              "  Path = C:\\a=b \r"
                              "bare line\n;Key=comment\n\t\n[Next]\nX=1");
    EXPECT_EQ(ini.ReadSections(), QStringList({"Main", "Next"}));
    EXPECT_EQ(ini.ReadString("Main", "Path", ""), "C:\\a=b");
    EXPECT_EQ(ini.ReadSectionValues("Main"), QStringList({"Path=C:\\a=b", "bare line"}));
    EXPECT_EQ(ini.ReadSection("Main"), QStringList({"Path"}));
    EXPECT_FALSE(ini.ValueExists("Main", "bare line"));
    EXPECT_EQ(ini.ReadString("Next", "X", ""), "1");
    EXPECT_EQ(ini.ToBytes(),
              Bytes("[Main]\r\nPath=C:\\a=b\r\nbare line\r\n\r\n[Next]\r\nX=1\r\n\r\n"));
}

TEST(IniFile, ARepeatedSectionContinuesTheFirstOne) {
    const IniFile ini = Parse("[A]\nX=1\n[B]\nY=2\n[a]\nZ=3\nX=9\n");
    EXPECT_EQ(ini.ReadSections(), QStringList({"A", "B"}));
    EXPECT_EQ(ini.ReadString("A", "Z", ""), "3");
    EXPECT_EQ(ini.ReadString("A", "X", ""), "1");
}

TEST(IniFile, LooksUpWithoutRegardToCaseAndKeepsTheFirstSpelling) {
    IniFile ini = Parse("[Routes\\Europe1]\nFileDate=5\nName=x\n");
    EXPECT_EQ(ini.ReadString("ROUTES\\EUROPE1", "filedate", ""), "5");
    ini.WriteString("routes\\europe1", "FILEDATE", "6");
    ini.WriteString("ROUTES\\europe1", "NEW", "7");
    EXPECT_EQ(ini.ToBytes(), Bytes("[Routes\\Europe1]\r\nFileDate=6\r\nName=x\r\nNEW=7\r\n\r\n"));
}

TEST(IniFile, AppendsNewKeysToTheirSectionAndNewSectionsToTheEnd) {
    IniFile ini = Parse("[A]\nX=1\n[B]\nY=2\n");
    ini.WriteString("A", "Z", "3");
    ini.WriteString("C", "W", "4");
    EXPECT_EQ(ini.ToBytes(),
              Bytes("[A]\r\nX=1\r\nZ=3\r\n\r\n[B]\r\nY=2\r\n\r\n[C]\r\nW=4\r\n\r\n"));
}

TEST(IniFile, ReadStringGivesTheDefaultOnlyForAMissingKey) {
    const IniFile ini = Parse("[S]\nEmpty=\n");
    EXPECT_EQ(ini.ReadString("S", "Empty", "d"), "");
    EXPECT_EQ(ini.ReadString("S", "Missing", "d"), "d");
    EXPECT_EQ(ini.ReadString("Missing", "Empty", "d"), "d");
}

TEST(IniFile, EraseSectionAndDeleteKeyRemoveOnlyWhatTheyName) {
    IniFile ini = Parse("[A]\nX=1\n[B]\nY=2\nZ=3\n[C]\nW=4\n");
    ini.EraseSection("b");
    ini.EraseSection("missing");
    EXPECT_EQ(ini.ReadSections(), QStringList({"A", "C"}));
    EXPECT_FALSE(ini.ValueExists("B", "Y"));
    ini.WriteString("B", "Y", "5"); // comes back at the end
    EXPECT_EQ(ini.ReadSections(), QStringList({"A", "C", "B"}));

    ini.DeleteKey("a", "x");
    EXPECT_FALSE(ini.ValueExists("A", "X"));
    EXPECT_FALSE(ini.SectionExists("A")); // left empty: counts as absent, but is still listed
    EXPECT_EQ(ini.ReadSections(), QStringList({"A", "C", "B"}));
    EXPECT_TRUE(ini.SectionExists("c"));

    ini.Clear();
    EXPECT_TRUE(ini.ReadSections().isEmpty());
}

TEST(IniFile, ReadsIntegersAndBoolsAsTheirTextSays) {
    const IniFile ini = Parse("[S]\nDec=-42\nHex=0x1F\nDollar=$FFFFFFFF\nBad=12a\nOne=1\nZero=0\n");
    EXPECT_EQ(ini.ReadInteger("S", "Dec", 0), -42);
    EXPECT_EQ(ini.ReadInteger("S", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("S", "Dollar", 0), -1);
    EXPECT_EQ(ini.ReadInteger("S", "Bad", -1), -1);
    EXPECT_EQ(ini.ReadInteger("S", "Missing", -1), -1);
    EXPECT_TRUE(ini.ReadBool("S", "One", false));
    EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
    EXPECT_TRUE(ini.ReadBool("S", "Missing", true));

    // Peeking reads the same, in any letter case, between reads that remember their section.
    for (const char* key : {"Dec", "Hex", "Dollar", "Bad", "Missing", "one"}) {
        EXPECT_EQ(ini.PeekInteger("s", key, -7), ini.ReadInteger("S", key, -7)) << key;
        EXPECT_EQ(ini.PeekString("S", key, "none"), ini.ReadString("s", key, "none")) << key;
    }
    EXPECT_EQ(ini.PeekString("Other", "Dec", "none"), "none");
}

TEST(IniFile, ALineBreakInAValueCannotAddASectionToTheFile) {
    IniFile ini;
    ini.WriteString("S", "Description", "first\r\n[Injected]\nKey=x");
    const IniFile read = IniFile::FromBytes(ini.ToBytes());
    EXPECT_EQ(read.ReadSections(), QStringList({"S"}));
    EXPECT_EQ(read.ReadString("S", "Description", ""), "first  [Injected] Key=x");
}

TEST(IniFile, ACopyIsIndependentAndFindsItsSections) {
    IniFile original = Parse("[A]\nX=1\n");
    IniFile copy = original;
    copy.WriteString("a", "X", "2");
    copy.EraseSection("A");
    copy.WriteString("B", "Y", "3");
    EXPECT_EQ(original.ReadString("A", "X", ""), "1");
    EXPECT_EQ(copy.ReadSections(), QStringList({"B"}));
}

TEST(IniFile, LookupsStayRightWhileSectionsAreMadeAndErased) {
    IniFile ini = Parse("[A]\nX=1\n[B]\nX=2\n[C]\nX=3\n");
    // Looked up in file order, asked twice, and missing before it is made in another case.
    EXPECT_EQ(ini.ReadString("A", "X", ""), "1");
    EXPECT_EQ(ini.ReadString("B", "X", ""), "2");
    EXPECT_EQ(ini.ReadString("b", "x", ""), "2");
    EXPECT_FALSE(ini.SectionExists("New"));
    ini.WriteString("NEW", "Y", "4");
    EXPECT_EQ(ini.ReadString("New", "Y", ""), "4");
    // Erasing the section that would come next must not leave it findable.
    EXPECT_EQ(ini.ReadString("A", "X", ""), "1");
    ini.EraseSection("b");
    EXPECT_EQ(ini.ReadString("B", "X", "gone"), "gone");
    EXPECT_EQ(ini.ReadString("C", "X", ""), "3");
    ini.WriteString("B", "X", "5");
    EXPECT_EQ(ini.ReadSections(), QStringList({"A", "C", "NEW", "B"}));
    // A section whose last key went stays, empty.
    ini.DeleteKey("c", "X");
    EXPECT_FALSE(ini.SectionExists("C"));
    EXPECT_EQ(ini.ToBytes(),
              Bytes("[A]\r\nX=1\r\n\r\n[C]\r\n\r\n[NEW]\r\nY=4\r\n\r\n[B]\r\nX=5\r\n\r\n"));
}

TEST(IniFile, ValuesAreReplacedInPlaceAndKeysAreMatchedWhole) {
    IniFile ini = Parse("[S]\nName=x\nNameLong=y\nbare line\nN=z\n");
    ini.WriteString("S", "name", "a longer value");
    ini.WriteInteger("S", "N", -7);
    EXPECT_EQ(ini.ReadSectionValues("S"),
              QStringList({"Name=a longer value", "NameLong=y", "bare line", "N=-7"}));
    EXPECT_EQ(ini.ReadInteger("S", "n", 0), -7);
    EXPECT_EQ(ini.ReadString("S", "NameLon", "none"), "none");
    EXPECT_EQ(ini.ReadSection("S"), QStringList({"Name", "NameLong", "N"}));
}

TEST(IniFile, AMovedIniKeepsItsSectionsAndTheOneMovedFromIsEmpty) {
    IniFile from = Parse("[A]\nX=1\n[B]\nY=2\n");
    EXPECT_EQ(from.ReadString("A", "X", ""), "1");
    IniFile to = std::move(from);
    EXPECT_EQ(to.ReadString("B", "Y", ""), "2");
    EXPECT_EQ(to.ReadString("a", "X", ""), "1");
    EXPECT_TRUE(from.ReadSections().isEmpty()); // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(from.ReadString("A", "X", "none"), "none");
    from = std::move(to);
    EXPECT_EQ(from.ReadString("b", "y", ""), "2");
}

TEST(IniFile, PeekValues_FindsEachKeysFirstLineInOneWalkAndTellsMissingFromEmpty) {
    const IniFile ini = IniFile::FromBytes("[S]\r\nname=First\r\nEmpty=\r\nNAME=Second\r\n"
                                           "PType=0x10\r\nnote\r\n");
    const QStringView keys[] = {u"Name", u"empty", u"PType", u"Missing"};
    QStringView values[4];
    ASSERT_TRUE(ini.PeekValues("s", keys, 4, values));
    EXPECT_EQ(values[0], u"First");
    EXPECT_FALSE(values[1].isNull());
    EXPECT_TRUE(values[1].isEmpty());
    EXPECT_EQ(IniFile::ToInteger(values[2], -1), 16);
    EXPECT_TRUE(values[3].isNull());
    // As the single reads give them.
    EXPECT_EQ(values[0], ini.PeekString("S", "name", "x"));
    EXPECT_EQ(IniFile::ToInteger(values[2], -1), ini.ReadInteger("S", "ptype", -1));

    EXPECT_FALSE(ini.PeekValues("Other", keys, 4, values));
    for (const QStringView value : values)
        EXPECT_TRUE(value.isNull());
    EXPECT_EQ(IniFile::ToInteger(u"$1f", 0), 31);
    EXPECT_EQ(IniFile::ToInteger(u"12x", -5), -5);
}

TEST(IniFile, EraseSectionsExcept_AsksInFileOrderAndLeavesTheRestFoundAsBefore) {
    IniFile ini = IniFile::FromBytes("[a]\r\nk=1\r\n[B]\r\nk=2\r\n[c]\r\nk=3\r\n[D]\r\nk=4\r\n");
    QStringList asked;
    const quint64 before = ini.Changes();
    EXPECT_FALSE(ini.EraseSectionsExcept([&](const QString& name) {
        asked << name;
        return true;
    }));
    EXPECT_EQ(asked, QStringList({"a", "B", "c", "D"}));
    EXPECT_EQ(ini.Changes(), before);
    EXPECT_TRUE(
        ini.EraseSectionsExcept([](const QString& name) { return name != "B" && name != "D"; }));
    EXPECT_NE(ini.Changes(), before);
    EXPECT_EQ(ini.ReadSections(), QStringList({"a", "c"}));
    EXPECT_FALSE(ini.SectionExists("b"));
    EXPECT_EQ(ini.ReadInteger("C", "k", 0), 3);
    ini.WriteInteger("b", "k", 5);
    EXPECT_EQ(ini.ReadSections(), QStringList({"a", "c", "b"}));
}

// Values with a blank at either end, or inside quotes, read back as written, through a new key
// and a replaced one, by every read; plain values are written as they always were.
TEST(IniFile, ValuesWithBlanksOrQuotesAtTheirEndsReadBackAsWritten) {
    const QString texts[] = {" Lead.con", "Trail.con ", "\tTab", "\"Quoted\"", "\"", "  ", "plain"};
    IniFile ini;
    for (const QString& text : texts) {
        ini.WriteString(text, "New", text);
        ini.WriteString(text, "Replaced", "x");
        ini.WriteString(text, "Replaced", text);
    }
    const IniFile read = IniFile::FromBytes(ini.ToBytes());
    const QStringView keys[] = {u"New", u"Replaced"};
    QStringView values[2];
    for (const QString& text : texts) {
        ASSERT_TRUE(read.PeekValues(text, keys, 2, values)) << text.toStdString();
        EXPECT_EQ(values[0], text);
        EXPECT_EQ(read.ReadString(text, "Replaced", "<missing>"), text);
    }
    EXPECT_TRUE(ini.ToBytes().contains("[plain]\r\nNew=plain\r\nReplaced=plain\r\n"));
}

// Every section and key the program writes reads back from the file exactly, with the keys after
// it still in its section, or is refused and leaves the file as it was: the file cannot hold a
// key with '=' (the first one ends the key), one that begins with ';' (a comment), one with a
// blank or control character at either end (reading trims them), nor a line break in a name. A
// key that begins with '[' has a value ending in ']' quoted, lest the line read as a section.
TEST(IniFile, EveryNameWrittenReadsBackExactlyOrIsRefused) {
    const QChar lone(char16_t(0xD800));
    const struct {
        const char* what;
        QString section;
        QString key;
        QString value;
        bool written;
    } cases[] = {
        {"'=' in a key", "S", "a=b", "v", false},
        {"a key beginning with ';'", "S", ";x", "v", false},
        {"a blank before a key", "S", " x", "v", false},
        {"a blank after a key", "S", "x ", "v", false},
        {"a tab before a key", "S", "\tx", "v", false},
        {"a tab after a key", "S", "x\t", "v", false},
        {"a control character at a key's end", "S", QString("x") + QChar(1), "v", false},
        {"a line break in a key", "S", "a\nb", "v", false},
        {"a line break in a section's name", "S\r\n[X]", "k", "v", false},
        {"a key '[a' with the value 'b]'", "S", "[a", "b]", true},
        {"a key '[' with the value ']'", "S", "[", "]", true},
        {"a key '[a' with the value ' b]'", "S", "[a", " b]", true},
        {"an empty key", "S", "", "v", true},
        {"a key in quotes", "S", "\"q\"", "v", true},
        {"a key with ';' and blanks inside", "S", "a ; b", "v", true},
        {"a section with blanks at its ends", " spaced ", "k", "v", true},
        {"a section with brackets", "[a]b]", "k", "v", true},
        {"an empty section name", "", "k", "v", true},
        {"half a surrogate pair in a section", "S" + QString(lone), "k", "v", true},
        {"half a surrogate pair in a key", "S", "k" + QString(lone), "v", true},
        {"half a surrogate pair in a value", "S", "k", QString(lone) + "v", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const char* const file = "[S]\r\nFirst=1\r\n\r\n[T]\r\nOther=2\r\n";
        IniFile ini = Parse(file);
        ini.WriteString(c.section, c.key, c.value);
        ini.WriteString(c.section, "Next", "n");
        const IniFile read = IniFile::FromBytes(ini.ToBytes());
        if (!c.written) {
            IniFile without = Parse(file);
            without.WriteString(c.section, "Next", "n");
            EXPECT_EQ(ini.ToBytes(), without.ToBytes());
            EXPECT_EQ(ini.ReadString(c.section, c.key, "<none>"), "<none>");
            continue;
        }
        for (const IniFile* seen : {static_cast<const IniFile*>(&ini), &read}) {
            EXPECT_TRUE(seen->ReadString(c.section, c.key, "<none>") == c.value);
            EXPECT_EQ(seen->ReadString(c.section, "Next", "<none>"), "n");
            EXPECT_TRUE(seen->ReadSections().contains(c.section));
            EXPECT_TRUE(seen->ReadSection(c.section).contains(c.key));
        }
        EXPECT_EQ(read.ReadSections(), ini.ReadSections());
        EXPECT_EQ(read.ReadSection("S"), ini.ReadSection("S"));
        EXPECT_EQ(read.ReadSection("T"), QStringList{"Other"});
        // A file read and written again stays as it is.
        EXPECT_EQ(IniFile::FromBytes(ini.ToBytes()).ToBytes(), ini.ToBytes());
    }
}

// A scenario file from a stranger, in UTF-16 with half a surrogate pair in a description: read,
// changed elsewhere and written, it reads back with the description as it was, however often.
TEST(IniFile, HalfASurrogatePairFromAUtf16FileIsKeptThroughEveryWrite) {
    const QString description = QStringLiteral("Night run ") + QChar(char16_t(0xDC01)) + "!";
    const QString text = "[Activity]\r\nDescription=" + description + "\r\n";
    QByteArray file("\xFF\xFE", 2);
    for (const QChar ch : text)
        file.append(char(ch.unicode() & 0xFF)).append(char(ch.unicode() >> 8));
    IniFile ini = IniFile::FromBytes(file);
    ASSERT_EQ(ini.ReadString("Activity", "Description", ""), description);
    for (int round = 0; round < 2; ++round) {
        ini.WriteInteger("Activity", "Saved", round);
        ini = IniFile::FromBytes(ini.ToBytes());
        EXPECT_TRUE(ini.ReadString("Activity", "Description", "") == description) << round;
    }
    // Plain text is written in the forms it always was.
    IniFile plain;
    plain.WriteString("S", "K", QString::fromUtf8("Łódź"));
    EXPECT_TRUE(plain.ToBytes().startsWith("\xEF\xBB\xBF"));
}

// Writing tells whether the name was taken; a refused one changes nothing.
TEST(IniFile, WriteStringAndWriteValuesTellWhetherEveryNameWasWritten) {
    IniFile ini;
    EXPECT_TRUE(ini.WriteString("S", "Key", "v"));
    EXPECT_FALSE(ini.WriteString("S", "a=b", "v"));
    EXPECT_FALSE(ini.WriteString("S\n", "Key", "v"));
    const QStringView keys[] = {u"Good", u" bad", u"Fine"};
    const QStringView values[] = {u"1", u"2", u"3"};
    EXPECT_FALSE(ini.WriteValues("New", keys, values, 3));
    EXPECT_EQ(ini.ReadSection("New"), QStringList({"Good", "Fine"}));
    EXPECT_TRUE(ini.WriteValues("Other", keys, values, 1));
    EXPECT_EQ(ini.ReadSections(), QStringList({"S", "New", "Other"}));
    EXPECT_TRUE(IniFile::CanHoldKey(u"[a"));
    EXPECT_FALSE(IniFile::CanHoldKey(u";a"));
    EXPECT_TRUE(IniFile::CanHoldSection(u" a=b; "));
    EXPECT_FALSE(IniFile::CanHoldSection(u"a\rb"));
}
