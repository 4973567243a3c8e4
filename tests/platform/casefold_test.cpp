#include "platform/casefold.h"

#include <QHash>
#include <gtest/gtest.h>

using namespace qv;

TEST(FoldCase, FoldsExactlyAsQtDoes) {
    for (const char* text : {"", "plain", "Routes\\EUROPE1\\Paths\\A.PAT", "Ärger Straße",
                             "\xE2\x84\xAA"
                             "elvin",
                             "ΣΊΣΥΦΟΣ", "mixed Ω and ASCII"}) {
        const QString name = QString::fromUtf8(text);
        EXPECT_EQ(FoldCase(name), name.toCaseFolded()) << text;
        EXPECT_EQ(FoldCase(QStringView(name)), name.toCaseFolded()) << text;
    }
}

TEST(FoldedName, EqualsAndHashesAlikeWhateverTheLetterCase) {
    const FoldedName ascii{QStringLiteral("LOCO0000\\L00000.ENG")};
    const FoldedName lower{QStringLiteral("loco0000\\l00000.eng")};
    EXPECT_TRUE(ascii == lower);
    EXPECT_EQ(qHash(ascii, 7), qHash(lower, 7));
    EXPECT_FALSE(ascii == FoldedName{QStringLiteral("LOCO0000\\L00001.ENG")});
    EXPECT_FALSE(ascii == FoldedName{QStringLiteral("LOCO0000\\L00000.EN")});
    // The Kelvin sign folds to an ASCII "k": an ASCII name and a non-ASCII one can be equal.
    const FoldedName kelvin{QString::fromUtf8("\xE2\x84\xAA"
                                              "ey")};
    const FoldedName key{QStringLiteral("KEY")};
    EXPECT_TRUE(kelvin == key);
    EXPECT_EQ(qHash(kelvin, 3), qHash(key, 3));
    QHash<FoldedName, int> index;
    index.insert(FoldedName{QString::fromUtf8("Ärger")}, 1);
    EXPECT_EQ(index.value(FoldedName{QString::fromUtf8("äRGER")}), 1);
    // With the tables' own seed the hash made with the name answers.
    index.insert(key, 2);
    EXPECT_EQ(index.value(kelvin), 2);
}

TEST(FoldedName, HashesEveryAsciiCharacterAsItsFoldedText) {
    // Each ASCII character at each place of texts around the four folded together.
    const size_t seed = QHashSeed::globalSeed();
    for (qsizetype size = 1; size <= 9; ++size) {
        for (qsizetype at = 0; at < size; ++at) {
            for (char16_t c = 0; c < 0x80; ++c) {
                QString text(size, QLatin1Char('Q'));
                text[at] = QChar(c);
                ASSERT_EQ(qHash(FoldedName{text}, seed), qHash(text.toCaseFolded(), seed))
                    << size << " " << at << " " << int(c);
            }
        }
    }
}

TEST(IsAscii, FindsACharacterBeyondAsciiWhereverItStands) {
    // Texts of every length around the four characters looked at together, with one character
    // beyond ASCII at each place in turn (the lowest, one whose low byte is ASCII, a surrogate).
    for (qsizetype size = 0; size <= 9; ++size) {
        const QString plain(size, QLatin1Char('a'));
        EXPECT_TRUE(IsAscii(plain)) << size;
        for (qsizetype at = 0; at < size; ++at) {
            for (char16_t other : {char16_t(0x80), char16_t(0x141), char16_t(0xD83D)}) {
                QString text = plain;
                text[at] = QChar(other);
                EXPECT_FALSE(IsAscii(text)) << size << " " << at << " " << int(other);
                EXPECT_FALSE(IsAscii(QStringView(text).mid(at))) << size << " " << at;
            }
        }
    }
    EXPECT_TRUE(IsAscii(QStringLiteral("/dev/shm/MSTS/TRAINS/TRAINSET/LOCO0001/L1.ENG\x7F")));
}

TEST(SameWithoutCase, AgreesWithQtOnPlainAndOtherTexts) {
    const struct {
        const char* a;
        const char* b;
    } cases[] = {
        {"L0001.ENG", "l0001.eng"}, {"L0001.ENG", "L0001.EN"}, {"", ""},       {"a.con", "a.con "},
        {"Ärger.con", "äRGER.CON"}, {"Ärger", "Arger"},        {"[x]", "{x}"}, {"@", "`"}};
    for (const auto& c : cases) {
        const QString a = QString::fromUtf8(c.a), b = QString::fromUtf8(c.b);
        EXPECT_EQ(SameWithoutCase(a, b), a.compare(b, Qt::CaseInsensitive) == 0) << c.a << c.b;
    }
}
