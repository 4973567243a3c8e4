#include "catalogue/mststext.h"

#include "core/generaldefs.h"
#include "fixtures/allocations.h"
#include "fixtures/tempmsts.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

QStringList AllLines(MstsTextReader& reader) {
    QStringList lines;
    QString line;
    while (reader.ReadLine(&line))
        lines.append(line);
    return lines;
}

QStringList AllLines(const QString& text) {
    MstsTextReader reader(text);
    return AllLines(reader);
}

// Cuts the value of the first line of the text, as a reader does after a keyword matched.
QString ValueOf(const QString& text, const QString& keyword, bool keepQuotes = false) {
    MstsTextReader reader(text);
    QString line;
    EXPECT_TRUE(reader.ReadLine(&line));
    EXPECT_EQ(MatchKeyword(line, {keyword}), 0) << line.toStdString();
    return CutValue(reader, line, int(keyword.size()), keepQuotes);
}

} // namespace

TEST(MstsTextReader, SplitsALongLineIntoChunksOf255Units) {
    const QString longLine(300, u'x');
    const QStringList lines = AllLines(longLine + QStringLiteral("\r\nnext\r\n"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QString(255, u'x'));
    EXPECT_EQ(lines[1], QString(45, u'x'));
    EXPECT_EQ(lines[2], QStringLiteral("next"));
}

TEST(MstsTextReader, CountsTheLineFeedInsideThe255Units) {
    // 254 characters and the line feed fill one chunk; 255 characters leave the line feed to the
    // next chunk, which trims to an empty line.
    EXPECT_EQ(AllLines(QString(254, u'a') + u'\n' + u'b'),
              QStringList({QString(254, u'a'), QStringLiteral("b")}));
    EXPECT_EQ(AllLines(QString(255, u'a') + QStringLiteral("\r\nb")),
              QStringList({QString(255, u'a'), QString(), QStringLiteral("b")}));
}

TEST(MstsTextReader, TrimsControlCharactersAndReadsTheHeaderLikeAnyLine) {
    const QString text = QStringLiteral("SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\n"
                                        "Train (\r\n\t\tName ( x ) \x01\r\n  last");
    EXPECT_EQ(AllLines(text), QStringList({QStringLiteral("SIMISA@@@@@@@@@@JINX0D0t______"),
                                           QString(), QStringLiteral("Train ("),
                                           QStringLiteral("Name ( x )"), QStringLiteral("last")}));
}

TEST(MstsTextReader, StaysAtTheEndOnceReached) {
    MstsTextReader reader(QStringLiteral("only\n"));
    QString line;
    EXPECT_TRUE(reader.ReadLine(&line));
    EXPECT_FALSE(reader.ReadLine(&line));
    EXPECT_TRUE(line.isEmpty());
    EXPECT_FALSE(reader.ReadLine(&line));
    EXPECT_TRUE(AllLines(QString()).isEmpty());
}

TEST(MstsTextReader, OpensAFileByItsWindowsPath) {
    TempMsts drive;
    QByteArray bytes("\xFF\xFE", 2);
    for (char c : QByteArray("SIMISA@@@@@@@@@@JINX0P0t______\r\nName ( p )\r\n"))
        bytes.append(c).append('\0');
    drive.MakeFile(QStringLiteral("MSTS/Routes/R/Paths/a.PAT"), bytes);
    MstsTextReader reader;
    ASSERT_TRUE(reader.Open(QStringLiteral("C:\\MSTS\\ROUTES\\r\\PATHS\\A.pat")));
    EXPECT_EQ(AllLines(reader), QStringList({QStringLiteral("SIMISA@@@@@@@@@@JINX0P0t______"),
                                             QStringLiteral("Name ( p )")}));
}

TEST(MstsTextReader, FailsToOpenAMissingFile) {
    MstsTextReader reader;
    EXPECT_FALSE(reader.Open(QStringLiteral("C:\\nonexistent\\x.pat")));
    EXPECT_FALSE(reader.OpenHostFile(QStringLiteral("/nonexistent/quarvel/x.pat")));
    QString line;
    EXPECT_FALSE(reader.ReadLine(&line));
}

TEST(MatchKeyword, FindsTheFirstKeywordThatPrefixesTheLineInAnyCase) {
    const QStringList table = {QStringLiteral("WagonData"), QStringLiteral("Wagon"),
                               QStringLiteral("Name")};
    EXPECT_EQ(MatchKeyword(QStringLiteral("wagondata ( a b )"), table), 0);
    EXPECT_EQ(MatchKeyword(QStringLiteral("WAGON ("), table), 1);
    EXPECT_EQ(MatchKeyword(QStringLiteral("Names ( x )"), table), 2);
    EXPECT_EQ(MatchKeyword(QStringLiteral("Nam"), table), -1);
    EXPECT_EQ(MatchKeyword(QStringLiteral("TrainCfg ( x )"), table), -1);
    EXPECT_EQ(MatchKeyword(QString(), table), -1);
}

// Every character in every place of a keyword, and after it, folds as Qt's comparison without
// regard to case folds it: the long s and the Kelvin sign stand for ASCII letters, surrogates and
// other characters for none, and a line shorter than the keyword is never begun by it.
TEST(StartsWithKeyword, AgreesWithStartsWithWithoutRegardToCaseForEveryCharacter) {
    for (const QString& keyword : {QStringLiteral("Service_Definition"), QStringLiteral("Kind1"),
                                   QStringLiteral("x\u00e9y")}) {
        for (qsizetype at = 0; at <= keyword.size(); ++at) {
            for (char32_t c = 1; c < 0x10000; ++c) {
                QString line = keyword;
                if (at < keyword.size())
                    line[at] = QChar(char16_t(c));
                else
                    line.append(QChar(char16_t(c)));
                ASSERT_EQ(StartsWithKeyword(line, keyword),
                          QStringView(line).startsWith(keyword, Qt::CaseInsensitive))
                    << keyword.toStdString() << " " << at << " " << unsigned(c);
            }
        }
        EXPECT_FALSE(StartsWithKeyword(keyword.chopped(1), keyword));
    }
    const QString pair = QStringLiteral("\U0001D400");
    EXPECT_FALSE(StartsWithKeyword(pair + QStringLiteral("bc"), QStringLiteral("abc")));
}

TEST(CutValue, TakesTheTextBetweenTheParenthesesWithoutQuotes) {
    EXPECT_EQ(ValueOf(QStringLiteral("Name ( \"Acela Express\" )"), QStringLiteral("Name")),
              QStringLiteral("Acela Express"));
    EXPECT_EQ(ValueOf(QStringLiteral("Name(x)"), QStringLiteral("Name")), QStringLiteral("x"));
    EXPECT_EQ(ValueOf(QStringLiteral("Name ( )"), QStringLiteral("Name")), QString());
    EXPECT_EQ(ValueOf(QStringLiteral("Name ( \"a\" )"), QStringLiteral("Name"), true),
              QStringLiteral("\"a\""));
    // Escapes and inner quotes pass through unchanged.
    EXPECT_EQ(ValueOf(QStringLiteral("Name ( \"say \\\"hi\\\"\\n\" )"), QStringLiteral("Name")),
              QStringLiteral("say \\\"hi\\\"\\n"));
}

TEST(CutValue, JoinsFollowingLinesWithoutSeparatorUntilTheValueCloses) {
    const QString text = QStringLiteral("Description (\r\n\t\"First part \"+\r\n"
                                        "\t\"second part\"\r\n)\r\nName ( after )\r\n");
    MstsTextReader reader(text);
    QString line;
    ASSERT_TRUE(reader.ReadLine(&line));
    EXPECT_EQ(CutValue(reader, line, 11), QStringLiteral("First part second part"));
    ASSERT_TRUE(reader.ReadLine(&line)) << "the line after the value is still there";
    EXPECT_EQ(line, QStringLiteral("Name ( after )"));
}

TEST(CutValue, QuotePlusJoinRunsQuotedRunsTogetherButABlankBeforeThePlusKeepsThem) {
    EXPECT_EQ(ValueOf(QStringLiteral("Name ( \"abc\"+\n\"def\" )"), QStringLiteral("Name")),
              QStringLiteral("abcdef"));
    EXPECT_EQ(ValueOf(QStringLiteral("Name ( \"abc\" +\n\"def\" )"), QStringLiteral("Name")),
              QStringLiteral("abc\" +\"def"));
    EXPECT_EQ(JoinContinuedString(QStringLiteral("( \"abc\" +"), QStringLiteral("\"def\" )")),
              QStringLiteral("( \"abc\" +\"def\" )"));
    EXPECT_EQ(JoinContinuedString(QStringLiteral("( \"abc\""), QStringLiteral("\"def\" )")),
              QStringLiteral("( \"abcdef\" )"));
    EXPECT_EQ(JoinContinuedString(QStringLiteral("( abc+"), QStringLiteral("def )")),
              QStringLiteral("( abc+def )"));
}

TEST(CutValue, EndOfFileInsideAValueKeepsWhatWasCollected) {
    EXPECT_EQ(
        ValueOf(QStringLiteral("Description ( \"unfinished\nstill"), QStringLiteral("Description")),
        QStringLiteral("\"unfinishedstill"));
    EXPECT_EQ(ValueOf(QStringLiteral("Name ( \"x\""), QStringLiteral("Name")), QStringLiteral("x"));
    EXPECT_EQ(ValueOf(QStringLiteral("Name"), QStringLiteral("Name")), QString());
}

TEST(CutValue, ReadsTheRealRouteFile) {
    MstsTextReader reader;
    ASSERT_TRUE(
        reader.OpenHostFile(QStringLiteral(QUARVEL_REALDATA_DIR "/dk24/ROUTES/OR_DK24/DK24.trk")));
    const QStringList table = {QStringLiteral("Name"), QStringLiteral("Description")};
    QString name;
    QString description;
    QString line;
    while (reader.ReadLine(&line) && (name.isEmpty() || description.isEmpty())) {
        const int key = MatchKeyword(line, table);
        if (key == 0)
            name = CutValue(reader, line, int(table[key].size()));
        else if (key == 1)
            description = CutValue(reader, line, int(table[key].size()));
    }
    EXPECT_EQ(name, QStringLiteral("Denmark 2024 v0.1.001"));
    EXPECT_TRUE(description.startsWith(QStringLiteral("A route based on the danish")));
    EXPECT_TRUE(description.contains(QStringLiteral("Høje Taastrup")));
    EXPECT_TRUE(description.endsWith(QStringLiteral("CPH Lufthavn")));
    EXPECT_FALSE(description.contains(QStringLiteral("\"+")));
}

TEST(PathHelpers, CollapseBackslashRunsAndTurnSlashes) {
    EXPECT_EQ(CollapseDoubleBackslashes(QStringLiteral("a\\\\\\b\\\\c\\d")),
              QStringLiteral("a\\b\\c\\d"));
    EXPECT_EQ(SlashesToBackslashes(QStringLiteral("../../SOUND/x.wav")),
              QStringLiteral("..\\..\\SOUND\\x.wav"));
}

TEST(PathHelpers, ResolveRelativePathAppliesOnlyLeadingParentSegments) {
    const QString base = QStringLiteral("TRAINS\\TRAINSET\\MYLOCO");
    EXPECT_EQ(ResolveRelativePath(QStringLiteral("..\\..\\SOUND\\x.wav"), base),
              QStringLiteral("TRAINS\\SOUND\\x.wav"));
    EXPECT_EQ(ResolveRelativePath(QStringLiteral("..\\..\\SOUND\\x.wav"), base + u'\\'),
              QStringLiteral("TRAINS\\SOUND\\x.wav"));
    EXPECT_EQ(ResolveRelativePath(QStringLiteral("..\\..\\..\\SOUND\\x.wav"), base),
              QStringLiteral("SOUND\\x.wav"));
    EXPECT_EQ(ResolveRelativePath(QStringLiteral("..\\..\\..\\..\\x.wav"), base),
              QStringLiteral("..\\x.wav"));
    EXPECT_EQ(ResolveRelativePath(QStringLiteral("CAB\\..\\x.cvf"), base),
              QStringLiteral("TRAINS\\TRAINSET\\MYLOCO\\CAB\\..\\x.cvf"));
}

TEST(ParseTimeText, ReadsHoursMinutesAndOptionalSeconds) {
    EXPECT_EQ(ParseTimeText(QStringLiteral("12  30 0")), QTime(12, 30, 0));
    EXPECT_EQ(ParseTimeText(QStringLiteral("7 5")), QTime(7, 5, 0));
    EXPECT_EQ(ParseTimeText(QStringLiteral("23\t59\t59")), QTime(23, 59, 59));
    EXPECT_EQ(ParseTimeText(QStringLiteral("12:30")), QTime(12, 30, 0));
}

TEST(ParseTimeText, GivesMidnightForWhatIsNotATime) {
    for (const QString& text :
         {QString(), QStringLiteral("noon"), QStringLiteral("24 0 0"), QStringLiteral("12 60"),
          QStringLiteral("1 2 3 4"), QStringLiteral("-1 30"), QStringLiteral("12 :30")})
        EXPECT_EQ(ParseTimeText(text), QTime(0, 0)) << text.toStdString();
}

TEST(GetTextLine, PicksALineOrSaysUnknown) {
    const QString text = QStringLiteral("Spring\r\nSummer\rAutumn\n");
    EXPECT_EQ(GetTextLine(text, 0), QStringLiteral("Spring"));
    EXPECT_EQ(GetTextLine(text, 1), QStringLiteral("Summer"));
    EXPECT_EQ(GetTextLine(text, 2), QStringLiteral("Autumn"));
    EXPECT_EQ(GetTextLine(text, 3), Caption(Msg::TYPE_UNKNOWN_LEG));
    EXPECT_EQ(GetTextLine(QStringLiteral("a\n\nc"), 1), QString());
    EXPECT_EQ(GetTextLine(QString(), 0), QStringLiteral("Unknown"));
}

TEST(ParseNumber, ConvertsLengthsWithUnitsToMetres) {
    EXPECT_DOUBLE_EQ(ParseNumber(QStringLiteral("2.5m")), 2.5);
    EXPECT_DOUBLE_EQ(ParseNumber(QStringLiteral("10ft")), 3.048);
    EXPECT_DOUBLE_EQ(ParseNumber(QStringLiteral("3m+20cm")), 3.2);
    EXPECT_DOUBLE_EQ(ParseNumber(QStringLiteral("20CM")), 0.2);
    EXPECT_DOUBLE_EQ(ParseNumber(QStringLiteral("1m+1m+1ft")), 2.3048);
}

TEST(ParseNumber, GivesZeroWithoutAUnitAndCountsAnUnreadableNumberAsZero) {
    EXPECT_EQ(ParseNumber(QStringLiteral("12")), 0.0);
    EXPECT_EQ(ParseNumber(QStringLiteral("2+3m")), 0.0);
    EXPECT_EQ(ParseNumber(QString()), 0.0);
    EXPECT_DOUBLE_EQ(ParseNumber(QStringLiteral("xm+2m")), 2.0);
    EXPECT_EQ(ParseNumber(QStringLiteral("infm")), 0.0);
    EXPECT_EQ(ParseNumber(QStringLiteral("1,000m")), 0.0);
}

TEST(ParseNumber, ReadsAValueOfHundredsOfPartsWithoutACopyOfEachPart) {
    if (!test::CanCountAllocations())
        GTEST_SKIP() << "the heap is a sanitizer's";
    // A Size value as long as a stock file gives one: 333 parts, then a chain of bare pluses.
    const struct {
        QString value;
        double metres;
    } cases[] = {
        {QStringLiteral("1m+").repeated(333), 333.0},
        {QString(999, u'+'), 0.0},
        {QStringLiteral("2cm") + QString(996, u'+'), 0.02},
        // What follows the first plus counts up to 999 units: 333 parts after the first.
        {QStringLiteral("1m+").repeated(401), 334.0},
    };
    for (const auto& c : cases) {
        const test::AllocationCount count;
        const double metres = ParseNumber(c.value);
        EXPECT_LT(count.Blocks(), 10) << c.value.left(12).toStdString();
        EXPECT_NEAR(metres, c.metres, 1e-9) << c.value.left(12).toStdString();
    }
}

TEST(BlankHelpers, TreatATabAsABlank) {
    EXPECT_EQ(SplitOnBlanks(QStringLiteral(" Acela\tACELA  x\t")),
              QStringList({QStringLiteral("Acela"), QStringLiteral("ACELA"), QStringLiteral("x")}));
    EXPECT_TRUE(SplitOnBlanks(QStringLiteral(" \t ")).isEmpty());
    EXPECT_EQ(FindBlank(QStringLiteral("a\tb c")), 1);
    EXPECT_EQ(FindBlank(QStringLiteral("a\tb c"), 2), 3);
    EXPECT_EQ(FindBlank(QStringLiteral("abc")), -1);
    EXPECT_EQ(FindLastBlank(QStringLiteral("1m 2m\t3m")), 5);
    EXPECT_EQ(FindLastBlank(QStringLiteral("3m")), -1);
}

TEST(ParseHexNumber, ReadsFlagsAndFallsBackInsteadOfFailing) {
    EXPECT_EQ(ParseHexNumber(QStringLiteral("00000020"), 7), 0x20u);
    EXPECT_EQ(ParseHexNumber(QStringLiteral("ffffFFFF"), 7), 0xFFFFFFFFu);
    EXPECT_EQ(ParseHexNumber(QStringLiteral(" 21 "), 7), 0x21u);
    for (const QString& text : {QString(), QStringLiteral("0x20"), QStringLiteral("2g"),
                                QStringLiteral("100000000"), QStringLiteral("1 2")})
        EXPECT_EQ(ParseHexNumber(text, 7), 7u) << text.toStdString();
}
