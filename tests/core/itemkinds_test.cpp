#include "core/appstate.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "platform/fakeui.h"

#include <QCollator>
#include <QLocale>
#include <gtest/gtest.h>

using namespace qv;

namespace {

class ItemKindsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().ProgramTitle = QStringLiteral("Quarvel");
    }
    void TearDown() override { ResetAppState(); }
    FakeUi ui;
};

std::unique_ptr<ItemSet> Item(int level, std::uint32_t ptype, int storeInd,
                              const QString& description, const QString& folder = QString(),
                              const QString& fileName = QString()) {
    auto item = std::make_unique<ItemSet>();
    item->PLevel = level;
    item->PType = ptype;
    item->StoreInd = storeInd;
    item->Description = description;
    item->Folder = folder;
    item->FileName = fileName;
    return item;
}

QStringList Descriptions(const RecordList<ItemSet>& list) {
    QStringList names;
    for (const auto& item : list)
        names << (item ? item->Description : QStringLiteral("<empty>"));
    return names;
}

} // namespace

TEST_F(ItemKindsTest, ItemKindName_NamesSingleKindsOnlyAndServiceOrTrafficAreUnknown) {
    EXPECT_EQ(ItemKindName(0x2), QStringLiteral("Route"));
    EXPECT_EQ(ItemKindName(0x8000000), QStringLiteral("Stock Item"));
    EXPECT_EQ(ItemKindName(0x48), QStringLiteral("Unknown"));
    EXPECT_EQ(ItemKindName(0x200000), QStringLiteral("Unknown"));
    EXPECT_EQ(ItemKindName(0x4000000), QStringLiteral("Unknown"));
}

TEST_F(ItemKindsTest, CompareText_IgnoresCaseAndFollowsTheLocale) {
    EXPECT_EQ(CompareText(QStringLiteral("Route A"), QStringLiteral("rOUTE a")), 0);
    EXPECT_LT(CompareText(QStringLiteral("alpha"), QStringLiteral("BETA")), 0);
    const QLocale previous;
    SetDefaultLocale(QLocale(QStringLiteral("de_DE")));
    // Only a locale-aware comparison puts the umlaut between a and b.
    EXPECT_LT(CompareText(QStringLiteral("\u00c4rger"), QStringLiteral("b")), 0);
    EXPECT_GT(CompareText(QStringLiteral("\u00e4rger"), QStringLiteral("Arg")), 0);
    EXPECT_EQ(CompareText(QStringLiteral("\u00c4"), QStringLiteral("\u00e4")), 0);
    SetDefaultLocale(previous);
}

// In the C locale plain ASCII texts are compared without the collator; the answers must be the
// collator's all the same, also where a character beyond ASCII or a zero stands after the first
// difference, and in both orders of every pair.
TEST_F(ItemKindsTest, CompareText_AgreesWithTheCollatorInTheCLocale) {
    const QLocale previous;
    SetDefaultLocale(QLocale::c());
    QCollator collator{QLocale::c()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QStringList names = {"",        "a",  "A",  "ab", "abc", "a b", "a-b",      "a_b",
                         "A-B",     "_x", "9",  "10", "Z",   "zz",  "Wagon 10", "wagon 9",
                         "WAGON 1", "a~", "a[", "a`", "a{",  "b",   "ea",       "xk"};
    names << "ROUTES\\R1\\A.PAT"
          << "routes\\r1\\a.pat"
          << "ROUTES\\R1\\B.PAT";
    names << QStringLiteral("a") + QChar(0) << QStringLiteral("a") + QChar(0) + u'b'
          << QString::fromUtf8("a\u00e9") << QString::fromUtf8("\u00e9a")
          << QString::fromUtf8("x\u212a") << QString::fromUtf8("xK\u00e9");
    const auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const QString& a : names) {
        for (const QString& b : names)
            EXPECT_EQ(sign(CompareText(a, b)), sign(collator.compare(a, b)))
                << qPrintable(a) << " / " << qPrintable(b);
    }
    SetDefaultLocale(previous);
}

TEST_F(ItemKindsTest, SortItemList_FileNameViewSortsRoutesByFolderNameAndOthersByFileName) {
    RecordList<ItemSet> list;
    list.push_back(Item(1, PT_ROUTE, 1, "r1", "ROUTES\\Zulu", "aaa.trk"));
    list.push_back(nullptr);
    list.push_back(Item(1, PT_CONSIST, 1, "c1", "TRAINS\\CONSISTS", "mike.con"));
    list.push_back(Item(1, PT_ROUTE, 1, "r2", "Routes\\alpha", "zzz.trk"));
    App().ViewByFileName = true;
    SortItemList(list);
    EXPECT_EQ(Descriptions(list), QStringList({"r2", "c1", "r1", "<empty>"}));

    App().ViewByFileName = false;
    SortItemList(list);
    EXPECT_EQ(Descriptions(list), QStringList({"c1", "r1", "r2", "<empty>"}));
}

TEST_F(ItemKindsTest, SortItemList_OrdersAsCompareTextInEveryLocaleAndKeepsEqualNamesInPlace) {
    QStringList names = {"Wagon 10",
                         "wagon 9",
                         "WAGON 1",
                         "\u00e4rger",
                         "Arg",
                         "b",
                         "\u00c4rger",
                         "a-b",
                         "a b",
                         "ab",
                         "_x",
                         "9",
                         "\u00df",
                         "ss",
                         "Zeta",
                         "zeta",
                         "\u00e9t\u00e9",
                         "ete",
                         "",
                         "\U00010400x",
                         "\U00010428y",
                         "Wagon 100",
                         "wagon 10a",
                         "Loco 1234",
                         "LOCO 123",
                         "Loco 12345678",
                         "loco 1234567",
                         "a",
                         "Wagon 1234567890b",
                         "WAGON 1234567890A",
                         "wagon 1234567890"};
    // Texts that differ only after a zero character, or end where another has one.
    names << QStringLiteral("a") + QChar(0) << QStringLiteral("a") + QChar(0) + u'b'
          << QString(QChar(0));
    const QLocale previous;
    for (const char* locale : {"C", "en_US", "de_DE", "sv_SE"}) {
        SetDefaultLocale(QLocale(QString::fromLatin1(locale)));
        RecordList<ItemSet> list;
        for (int i = 0; i < names.size(); ++i) {
            list.push_back(Item(1, PT_CONSIST, 1, names[i], {}, QString::number(i)));
            if (i % 7 == 3)
                list.push_back(nullptr);
        }
        SortItemList(list);
        for (std::size_t i = 1; i < list.size(); ++i) {
            if (!list[i]) {
                for (std::size_t j = i; j < list.size(); ++j)
                    EXPECT_FALSE(list[j]) << locale; // empty places last
                break;
            }
            const int order = CompareText(list[i - 1]->Description, list[i]->Description);
            EXPECT_LE(order, 0) << locale << ": " << qPrintable(list[i - 1]->Description) << " / "
                                << qPrintable(list[i]->Description);
            if (order == 0) { // a stable sort keeps the first given first
                EXPECT_LT(list[i - 1]->FileName.toInt(), list[i]->FileName.toInt()) << locale;
            }
        }
        EXPECT_EQ(list.size(), std::size_t(names.size() + (names.size() + 3) / 7));
    }
    SetDefaultLocale(previous);
}

TEST_F(ItemKindsTest, SortItemList_LongListsSortAsCompareTextOrdersThem) {
    // Long enough for the entries to be made on several threads.
    const QStringList stems = {"Wagon ", "wagon 1234567890 ", "\u00e4rger ", "Loco", "ss",
                               "\u00df"};
    const QLocale previous;
    for (const char* locale : {"C", "de_DE"}) {
        SetDefaultLocale(QLocale(QString::fromLatin1(locale)));
        RecordList<ItemSet> list;
        for (int i = 0; i < 20000; ++i) {
            const QString name = stems[i % stems.size()] + QString::number((i * 7919) % 5003);
            list.push_back(Item(1, PT_CONSIST, 1, name, {}, QString::number(i)));
        }
        SortItemList(list);
        ASSERT_EQ(list.size(), 20000u);
        for (std::size_t i = 1; i < list.size(); ++i) {
            const int order = CompareText(list[i - 1]->Description, list[i]->Description);
            ASSERT_LE(order, 0) << locale << ": " << qPrintable(list[i - 1]->Description);
            if (order == 0) {
                ASSERT_LT(list[i - 1]->FileName.toInt(), list[i]->FileName.toInt()) << locale;
            }
        }
    }
    SetDefaultLocale(previous);
}

TEST_F(ItemKindsTest, SortOrders_NumericAndNamedListKeys) {
    EXPECT_GT(CompareNumericOrder(QStringLiteral("10"), QStringLiteral("9")), 0);
    EXPECT_LT(CompareNumericOrder(QStringLiteral("abc"), QStringLiteral("0")), 0);
    // The list name after the first comma decides, not the id or the state before it.
    EXPECT_LT(CompareNamedListOrder(QStringLiteral("9.QVC=12,apple,z"),
                                    QStringLiteral("1.QVC=11,Banana")),
              0);
}

TEST_F(ItemKindsTest, FillTreeFromItemList_BuildsLevelsAndHandsRecordsToNodes) {
    RecordList<ItemSet> list;
    list.push_back(Item(0, PT_ROUTES_ROOT, SI_HEADING, "Routes"));
    list.push_back(Item(1, PT_ROUTE, SI_IN_STORE, "Route A", "Routes\\A"));
    list.push_back(Item(2, PT_EXPLORE_CONSIST, SI_LIST_ACTIVE, "List under route"));
    list.push_back(Item(1, PT_EXPLORE_CONSIST, SI_LIST_INACTIVE, "List"));
    list.push_back(Item(2, PT_EXPLORE_CONSIST, SI_IN_USE, "Member"));
    const ItemSet* member = list[4].get();
    App().ViewByFileName = true;

    ItemTree tree;
    FillTreeFromItemList(tree, list);

    for (const auto& place : list)
        EXPECT_EQ(place, nullptr);
    ASSERT_EQ(tree.RootCount(), 1);
    ItemNode* root = tree.Root(0);
    ASSERT_EQ(root->ChildCount(), 2);
    ASSERT_EQ(root->Child(0)->ChildCount(), 1);
    ASSERT_EQ(root->Child(1)->ChildCount(), 1);
    EXPECT_EQ(root->Child(1)->Child(0)->Data(), member);
    list.clear(); // the records belong to the nodes now

    EXPECT_EQ(root->Child(0)->StateIndex, SI_IN_STORE);
    // List nodes show their state only below another list node.
    EXPECT_EQ(root->Child(0)->Child(0)->StateIndex, -1);
    EXPECT_EQ(root->Child(1)->StateIndex, -1);
    EXPECT_EQ(root->Child(1)->Child(0)->StateIndex, SI_IN_USE);
    EXPECT_EQ(ItemNodeText(*root->Data()), QStringLiteral("Routes"));
    EXPECT_EQ(ItemNodeText(*root->Child(0)->Data()), QStringLiteral("A"));
}

TEST_F(ItemKindsTest, FillTreeFromItemList_LevelJumpsStillGiveAWholeTree) {
    RecordList<ItemSet> list;
    list.push_back(Item(1, PT_GLOBAL, 1, "starts below the top"));
    list.push_back(Item(3, PT_GLOBAL, 1, "skips a level"));
    list.push_back(Item(9, PT_GLOBAL, 1, "past the deepest level"));
    list.push_back(Item(-2, PT_GLOBAL, 1, "negative"));
    ItemTree tree;
    FillTreeFromItemList(tree, list);
    ASSERT_EQ(tree.RootCount(), 2);
    ASSERT_EQ(tree.Root(0)->ChildCount(), 1);
    EXPECT_EQ(tree.Root(0)->Child(0)->ChildCount(), 1);
    EXPECT_EQ(tree.Root(1)->Data()->Description, QStringLiteral("negative"));
}

TEST_F(ItemKindsTest, MakeMask_BlankIsNoneSilentlyAndMalformedSetIsReportedAndIgnored) {
    EXPECT_EQ(MakeMask(QStringLiteral(" \t ")), nullptr);
    EXPECT_TRUE(ui.Shown().empty());
    for (const char* filter : {" [abc", "x[]", "[a-]"})
        EXPECT_EQ(MakeMask(QString::fromLatin1(filter)), nullptr) << filter;
    ASSERT_EQ(ui.Shown().size(), 3u);
    EXPECT_EQ(ui.Shown()[0].text, QStringLiteral("The following filter is invalid. It will be "
                                                 "ignored in the search.\r\rFilter:- [abc"));
    EXPECT_EQ(ui.Shown()[0].style, 16);
}

TEST_F(ItemKindsTest, MakeMask_MatchesWildcardsAndSetsWithoutRegardToCase) {
    const auto mask = MakeMask(QStringLiteral("  a?c*.[!x-z][a-c]n\t"));
    ASSERT_NE(mask, nullptr);
    EXPECT_TRUE(mask->Matches(QStringLiteral("ABCdef.CAN")));
    EXPECT_TRUE(mask->Matches(QStringLiteral("a.c.wbn")));
    EXPECT_FALSE(mask->Matches(QStringLiteral("abc.zon")));
    EXPECT_FALSE(mask->Matches(QStringLiteral("abc.con.bak")));
    EXPECT_TRUE(MakeMask(QStringLiteral("a+b(1).$"))->Matches(QStringLiteral("A+B(1).$")));
    EXPECT_TRUE(ui.Shown().empty());
}
