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
}
