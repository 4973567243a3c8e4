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

// A list that gathers what is added takes it in when next looked at, ending exactly as one that
// put each entry in its place: the same entries, the first added of equal ones, in order; and a
// batch of many that repeats its entries (each vehicle of thousands of consists) ends the same.
TEST(StringList, GatheringEndsAsAddingOneByOne) {
    QStringList batch;
    for (int i = 0; i < 500; ++i)
        batch << QStringLiteral("%1%2\\W%3.wag")
                     .arg(QChar(i % 3 ? u'f' : u'F'))
                     .arg(i % 37)
                     .arg(i % 11);
    batch << "b"
          << "B"
          << "a"
          << "b";
    for (auto rule : {StringList::Duplicates::Ignore, StringList::Duplicates::Accept}) {
        StringList oneByOne(true, rule);
        StringList gathering(true, rule);
        oneByOne.Add("e");
        gathering.Add("e");
        gathering.SetGathering(true);
        for (const QString& text : batch) {
            oneByOne.Add(text);
            EXPECT_EQ(gathering.Add(text), -1);
        }
        EXPECT_FALSE(gathering.IsEmpty());
        // Looked at: taken in.
        EXPECT_EQ(gathering.Count(), oneByOne.Count()) << int(rule);
        EXPECT_EQ(gathering.Strings(), oneByOne.Strings()) << int(rule);
        // Then more, some before and some after the entries held, and a search.
        for (const char* text : {"0", "zz", "F3\\w1.WAG", "c"}) {
            oneByOne.Add(QString::fromLatin1(text));
            gathering.Add(QString::fromLatin1(text));
        }
        int index = -1;
        EXPECT_TRUE(gathering.Find("ZZ", index));
        EXPECT_EQ(index, oneByOne.IndexOf("zz"));
        gathering.Add("d");
        oneByOne.Add("d");
        gathering.SetGathering(false);
        EXPECT_EQ(gathering.Strings(), oneByOne.Strings()) << int(rule);
        EXPECT_EQ(gathering.Add("y"), oneByOne.Add("y"));
    }
}
