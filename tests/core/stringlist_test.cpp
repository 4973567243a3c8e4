#include "core/stringlist.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(StringList, SortedUniqueHoldsEachNameOnceInCaseInsensitiveOrder) {
    StringList list = StringList::SortedUnique();
    list.Add(QStringLiteral("b"));
    list.Add(QStringLiteral("Alpha"));
    list.Add(QStringLiteral("C"));
    EXPECT_EQ(list.Add(QStringLiteral("ALPHA")), 0);
    EXPECT_EQ(list.Strings(), QStringList({"Alpha", "b", "C"}));

    int index = -1;
    EXPECT_TRUE(list.Find(QStringLiteral("c"), index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find(QStringLiteral("Bz"), index));
    EXPECT_EQ(index, 2); // where it would go
    EXPECT_EQ(list.IndexOf(QStringLiteral("B")), 1);
    EXPECT_EQ(list.IndexOf(QStringLiteral("d")), -1);

    list.Insert(3, QStringLiteral("a0")); // a sorted list keeps its order
    EXPECT_EQ(list.Strings(), QStringList({"a0", "Alpha", "b", "C"}));
}

TEST(StringList, UnsortedListKeepsOrderAndFindsWithoutRegardToCase) {
    StringList list;
    list.Add(QStringLiteral("b"));
    list.Add(QStringLiteral("a"));
    list.Add(QStringLiteral("b"));
    list.Insert(1, QStringLiteral("c"));
    EXPECT_EQ(list.Strings(), QStringList({"b", "c", "a", "b"}));
    EXPECT_EQ(list.IndexOf(QStringLiteral("A")), 2);
    list.SetSorted(true);
    EXPECT_EQ(list.Strings(), QStringList({"a", "b", "b", "c"}));
    list.SetDuplicates(StringList::Duplicates::Accept);
    list.Add(QStringLiteral("B"));
    EXPECT_EQ(list.Strings(), QStringList({"a", "b", "b", "B", "c"}));
}

TEST(StringList, NameValueAndTextForms) {
    StringList list;
    list.SetText(QStringLiteral("3.QVC=12,Freight=heavy\r\nplain\nlast\r"));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Names(0), QStringLiteral("3.QVC"));
    EXPECT_EQ(list.ValueFromIndex(0), QStringLiteral("12,Freight=heavy"));
    EXPECT_EQ(list.Names(1), QString());
    EXPECT_EQ(list.ValueFromIndex(1), QString());
    EXPECT_EQ(list.Text(), QStringLiteral("3.QVC=12,Freight=heavy\r\nplain\r\nlast\r\n"));

    StringList sorted = StringList::SortedUnique();
    sorted.SetText(QStringLiteral("b\r\nA\r\n\r\nB\r\n"));
    EXPECT_EQ(sorted.Strings(), QStringList({"", "A", "b"}));
}

// Whatever order names arrive in, a sorted list ends in the same order, each name once; a list
// that accepts duplicates keeps equal names in the order they came.
TEST(StringList, SortedListsEndAlikeFromAnyOrderOfAdding) {
    const QStringList sorted = {"a", "B", "b2", "C", "routes\\r1\\x.pat", "ROUTES\\R2\\A.PAT"};
    const std::vector<QStringList> orders = {
        sorted,
        {"ROUTES\\R2\\A.PAT", "routes\\r1\\x.pat", "C", "b2", "B", "a"},
        {"C", "a", "ROUTES\\R2\\A.PAT", "B", "routes\\r1\\x.pat", "b2", "c", "A"},
    };
    for (const QStringList& order : orders) {
        StringList list = StringList::SortedUnique();
        for (const QString& name : order)
            list.Add(name);
        EXPECT_EQ(list.Count(), sorted.size()) << order.join(u',').toStdString();
        for (int i = 0; i < list.Count(); ++i)
            EXPECT_EQ(list[i].toLower(), sorted.at(i).toLower()) << i;
    }
    StringList accepting(true, StringList::Duplicates::Accept);
    for (const char* name : {"a", "b", "B", "c", "b"})
        accepting.Add(QString::fromLatin1(name));
    EXPECT_EQ(accepting.Strings(), QStringList({"a", "b", "B", "b", "c"}));
}

TEST(StringList, AddingManyAtOnceEndsAsAddingThemOneByOne) {
    for (auto rule : {StringList::Duplicates::Ignore, StringList::Duplicates::Accept}) {
        StringList oneByOne(false, rule);
        oneByOne.SetText("b\nB\nd");
        oneByOne.SetSorted(true);
        StringList atOnce = oneByOne;
        // Prefixes, a separator against digits and underscores, names alike but for case (whose
        // order of adding stays), a non-ASCII name, and a long batch in falling order.
        QStringList falling;
        for (int i = 300; i > 0; --i)
            falling << QStringLiteral("%1%2\\W.eng").arg(QChar(i % 2 ? u'f' : u'F')).arg(i);
        for (const QStringList& batch :
             {QStringList{"C", "a", "b", "c", "A", "e", "a", "0"}, QStringList{"x", "X", "y"},
              QStringList{"AB\\x", "ab_z", "AB1\\y", "Ab", "aB", "AB", "ab\\X", "a"},
              QStringList{"r\\\u00c4.pat", "R\\a.pat", "r\\b.PAT"}, falling}) {
            for (const QString& text : batch)
                oneByOne.Add(text);
            atOnce.AddStrings(batch);
            EXPECT_EQ(atOnce.Strings(), oneByOne.Strings()) << int(rule);
        }
    }
}
