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
