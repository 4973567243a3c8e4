// A folder's names are put in order by the numbers their first letters make, and NameOrder where
// those do not tell: the order is NameOrder's for every kind of name.
#include "platform/folderlisting.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

using namespace qv;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

// Names that share their first eight letters, differ within them or past them, are shorter
// than eight letters, fold alike only beyond ASCII, or hold letters beyond ASCII early or late.
QStringList KindsOfNames() {
    QStringList names = S("a A ab AB aB a_b a-b A[ a{ Z z0 x.con X.CON xk ea").split(u' ');
    names << S("C00001.con") << S("c00001.CON") << S("C00001.con2") << S("C0000") << S("C00001")
          << S("C000010") << S("C00001.co") << S("LOCO0001") << S("Loco0001") << S("LOCO00010")
          << S("LOCO000") << S("x\u00e9") << S("X\u00c9") << S("\u00c9a") << S("x\u212a")
          << S("abcdefg\u00e9") << S("abcdefgh\u00e9") << S("abcdefgH") << S("abcdefghi")
          << S("ABCDEFG\u212a") << S("abcdefgk") << S("~1") << S("!x") << S("0") << S("9a");
    return names;
}

} // namespace

TEST(OrderKey, DifferentPlainKeysOrderNamesAsNameOrderDoes) {
    const QStringList names = KindsOfNames();
    for (const QString& a : names) {
        for (const QString& b : names) {
            const OrderKey ka = OrderKeyOf(a);
            const OrderKey kb = OrderKeyOf(b);
            if (!ka.plain || !kb.plain || ka.key == kb.key)
                continue;
            EXPECT_EQ(ka.key < kb.key, NameOrder(a, b))
                << a.toStdString() << " / " << b.toStdString();
        }
    }
    EXPECT_FALSE(OrderKeyOf(S("x\u00e9")).plain);
    EXPECT_TRUE(OrderKeyOf(S("abcdefgh\u00e9")).plain); // beyond the eighth letter
}

TEST(FolderListing, OrdersEveryKindOfNameAsNameOrderDoes) {
    QStringList names = KindsOfNames();
    for (int i = 0; i < 3000; ++i)
        names << QStringLiteral("C%1.con").arg(i, 5, 10, QLatin1Char('0'));
    names.removeDuplicates(); // a folder holds each name once
    std::mt19937 random(11);
    for (int round = 0; round < 3; ++round) {
        std::shuffle(names.begin(), names.end(), random);
        FolderListing listing;
        for (const QString& name : names)
            listing.Add(name, EntryKind::File);
        QStringList expected = names;
        std::sort(expected.begin(), expected.end(), NameOrder);
        ASSERT_EQ(listing.Ordered(), expected) << round;
    }
}
