// The keyword test and the lengths read letter by letter for plain ASCII text give what the full
// case folding and the C locale give, for every kind of text the readers may meet.
#include "catalogue/mststext.h"

#include <QLocale>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

using namespace qv;

namespace {

// The keyword test as the full case folding makes it.
int FoldedMatch(QStringView line, const QStringList& table) {
    for (int i = 0; i < table.size(); ++i) {
        if (line.startsWith(table[i], Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

// One length part as the C locale reads it, in metres.
double LocaleMetres(const QString& number, double factor) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(number, &ok);
    return ok && std::isfinite(value) ? value * factor : 0;
}

} // namespace

TEST(MatchKeywordAscii, GivesWhatTheFullCaseFoldingGivesForEveryKindOfLine) {
    const QStringList table{"WagonShape", "Wagon", "Engine ", "Name", "Size", "Ks", "É"};
    const QString kelvin = QString(QChar(0x212A)); // folds to 'k'
    const QString longS = QString(QChar(0x017F));  // folds to 's'
    const QString surrogates = QString::fromUcs4(U"\U0001F600");
    const QStringList lines{
        "WagonShape ( x.s )",
        "wagonshape",
        "WAGON (",
        "Wagon",
        "Wago",
        "engine ( a )",
        "Engine(",
        "EngineData",
        "name",
        "NAMES",
        "size ( 1m 2m 3m )",
        "",
        " Name",
        kelvin + "s",
        "k" + longS,
        kelvin + longS + " ( x )",
        "É ( e )",
        "é ( e )",
        "Ésize",
        surrogates + "Name",
        "Nam" + surrogates,
        "N" + kelvin,
        QString(QChar(0x0130)) + "ame",
        "x",
    };
    for (const QString& line : lines) {
        EXPECT_EQ(MatchKeyword(line, table), FoldedMatch(line, table)) << line.toStdString();
        EXPECT_EQ(MatchKeyword(QStringView(line), table), FoldedMatch(line, table))
            << line.toStdString();
    }
    // An empty keyword prefixes every line that is not null, as the full test has it.
    const QStringList withEmpty{"Name", QString("")};
    for (const QString& line : {QString(), QString(""), QString("x"), QString("name")})
        EXPECT_EQ(MatchKeyword(line, withEmpty), FoldedMatch(line, withEmpty))
            << line.toStdString();
}

TEST(ParseNumberAscii, ReadsEachLengthAsTheCLocaleReadsIt) {
    const char* numbers[] = {"0",
                             "20",
                             "2.5",
                             "0.1",
                             "0.3",
                             "3.14159",
                             "007",
                             "1.",
                             ".5",
                             "-2",
                             "1e2",
                             "1E-3",
                             " 3",
                             "3 ",
                             "1,000",
                             "1.000.5",
                             "12345678901234567890123",
                             "0.000001",
                             "99999999999999999999999999999999999",
                             "4.35",
                             "2.675",
                             "1.7976931348623157",
                             "inf",
                             "nan",
                             "x"};
    struct Unit {
        const char* suffix;
        double factor;
    };
    const Unit units[] = {{"m", 1.0},     {"cm", 0.01}, {"ft", 0.3048},
                          {"in", 0.0254}, {"M", 1.0},   {"Ft", 0.3048}};
    for (const char* number : numbers) {
        for (const Unit& unit : units) {
            const QString text = QString::fromLatin1(number) + QString::fromLatin1(unit.suffix);
            const double expected = LocaleMetres(QString::fromLatin1(number), unit.factor);
            const double got = ParseNumber(text);
            // Bit for bit: the same double, not merely a close one.
            EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
                << text.toStdString() << ": " << got << " against " << expected;
        }
    }
    // A unit in another script folds as the full folding has it: a Kelvin sign is no unit here.
    EXPECT_EQ(ParseNumber(QStringLiteral("2") + QChar(0x212A)), 0.0);
    EXPECT_DOUBLE_EQ(ParseNumber(QStringLiteral("2.5m+12.5cm")), 2.625);
}

// The keywords each first letter may begin are found once for a table: tables made and dropped
// in turn, of one size and at one place, and a table changed between the tests, are each
// answered by their own keywords.
TEST(MatchKeywordAscii, EveryTableIsAnsweredByItsOwnKeywordsWhateverCameBefore) {
    const QStringList lines{"Name ( a )", "Wagon (", "Type ( Engine )", "size ( 1m )", "x"};
    for (int round = 0; round < 20; ++round) {
        const QStringList table =
            round % 2 ? QStringList{"Name", "Type"} : QStringList{"Size", "Wagon"};
        for (const QString& line : lines)
            EXPECT_EQ(MatchKeyword(line, table), FoldedMatch(line, table)) << line.toStdString();
    }
    QStringList changing{"Name", "Type"};
    EXPECT_EQ(MatchKeyword(QStringLiteral("Wagon ("), changing), -1);
    changing[1] = QStringLiteral("Wagon");
    EXPECT_EQ(MatchKeyword(QStringLiteral("Wagon ("), changing), 1);
    changing.append(QStringLiteral("Size"));
    EXPECT_EQ(MatchKeyword(QStringLiteral("size ( 1m )"), changing), 2);
    // More keywords than a table is looked up by letters for.
    QStringList many;
    for (int i = 0; i < 40; ++i)
        many << QStringLiteral("K%1").arg(i);
    many << QStringLiteral("Name");
    EXPECT_EQ(MatchKeyword(QStringLiteral("name"), many), 40);
    EXPECT_EQ(MatchKeyword(QStringLiteral("k7 ("), many), 7);
}
