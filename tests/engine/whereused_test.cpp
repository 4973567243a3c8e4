#include "engine/usedincommon.h"

#include "core/comparetext.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "whereusedtestkit.h"

#include <QLocale>

#include <random>

using namespace qv;

namespace {

StringList Items(const QStringList& names) {
    StringList list = StringList::SortedUnique();
    for (const QString& name : names)
        list.Add(name);
    return list;
}

// Two routes; a consist, a service and an activity in the store; users of every kind.
class SampleTest : public WhereUsedTest {
protected:
    SampleTest() {
        const Vehicle e1{"LOCO", "E1", true};
        const Vehicle e3{"LOCO", "E3", true};
        const Vehicle w1{"WAG", "W1"};
        const Vehicle w2{"WAG", "W2"};
        builder.AddRoute("ALPHA", "Alpha", "ALPHA");
        builder.AddRoute("BETA", "Beta", "BETA");
        for (const char* e : {"E1", "E2"})
            builder.AddEngine("LOCO", e, e, EngineType::Diesel);
        builder.AddEngine("LOCO", "E3", "E3", EngineType::Diesel, true, true, Into::Store);
        for (const char* w : {"W1", "W2", "W3"})
            builder.AddWagon("WAG", w, w, WagonType::Freight);
        builder.AddConsist("C1", "One", {e1, w1});
        builder.AddConsist("C2", "Two", {e1});
        builder.AddConsist("C3", "Three", {e3}, Into::Store);
        builder.AddConsist("C4", "Four", {e1});
        for (const char* p : {"P1", "P2", "P3"})
            builder.AddPath("ALPHA", p, p, "A", "B");
        builder.AddPath("BETA", "P1", "P1", "A", "B");
        builder.AddService("ALPHA", "S1", "S1", "C1", "P1");
        builder.AddService("ALPHA", "S2", "S2", "C1", "P1");
        builder.AddService("BETA", "S3", "S3", "C3", "P1", Into::Store);
        builder.AddService("BETA", "S4", "S4", "C3", "P1");
        builder.AddTraffic("BETA", "T1", "T1", {"S3"});
        ActivityPlan a1;
        a1.route = "ALPHA";
        a1.file = "A1.act";
        a1.name = "A1";
        a1.playerService = "S1";
        a1.pathId = "P2";
        a1.looseConsists = {{"Loose", {w2}}};
        builder.AddActivity(a1);
        builder.AddActivity("BETA", "A3.act", "A3", "S4", "T1", {}, Into::Store);
        RebuildCaches();
    }
};

TEST_F(SampleTest, CollectWhereUsed_FollowsStockThroughConsistsAndServicesToActivities) {
    UsedInList results;
    CollectWhereUsed(Items({"LOCO\\E1.eng", "WAG\\W2.wag", "LOCO\\E2.eng"}), results);
    EXPECT_EQ(
        Hits(results, "LOCO\\E1.eng"),
        QStringList({"50 loco\\e1.eng > trains\\consists\\c4.con",
                     "50 loco\\e1.eng > trains\\consists\\c1.con",
                     "50 loco\\e1.eng > trains\\consists\\c2.con",
                     "60 c1.con > routes\\alpha\\services\\s1.srv",
                     "60 c1.con > routes\\alpha\\services\\s2.srv",
                     "70 routes\\alpha\\services\\s1.srv > routes\\alpha\\activities\\a1.act"}));
    EXPECT_EQ(Hits(results, "WAG\\W2.wag"),
              QStringList({"70 wag\\w2.wag > routes\\alpha\\activities\\a1.act"}));
    EXPECT_TRUE(Hits(results, "LOCO\\E2.eng").isEmpty());
    // One header per item, and it sorts first.
    EXPECT_EQ(results.front()->Kind, 0u);
    EXPECT_EQ(std::count_if(results.begin(), results.end(), [](auto& r) { return r->Kind == 0; }),
              3);

    // With the extended scenario cache the activities' services, stock and paths come from the
    // cache, once it holds them, instead of the files: the same users are found.
    App().ExtendedActivityCache = true;
    for (int run = 0; run < 2; ++run) {
        UsedInList cached;
        CollectWhereUsed(Items({"LOCO\\E1.eng", "WAG\\W2.wag", "LOCO\\E2.eng"}), cached);
        EXPECT_EQ(Hits(cached, "LOCO\\E1.eng"), Hits(results, "LOCO\\E1.eng"));
        EXPECT_EQ(Hits(cached, "WAG\\W2.wag"), Hits(results, "WAG\\W2.wag"));
    }
}

TEST_F(SampleTest, CollectWhereUsed_ConsistGivenWithAPathIsSearchedInEveryRoute) {
    // C3's users are all in route BETA and in the store; the path of ALPHA must not narrow the
    // search to ALPHA.
    UsedInList results;
    CollectWhereUsed(Items({"C3.con", "ROUTES\\ALPHA\\PATHS\\P3.pat"}), results);
    EXPECT_EQ(
        Hits(results, "C3.con"),
        QStringList({"60 c3.con > routes\\beta\\services\\s3.srv",
                     "60 c3.con > routes\\beta\\services\\s4.srv",
                     "70 routes\\beta\\services\\s3.srv > routes\\beta\\activities\\a3.act",
                     "70 routes\\beta\\services\\s4.srv > routes\\beta\\activities\\a3.act"}));
    EXPECT_TRUE(Hits(results, "ROUTES\\ALPHA\\PATHS\\P3.pat").isEmpty());
}

TEST_F(SampleTest, CollectWhereUsed_FindsListMembersOfBothScopesAndPathListsOfTheirRoute) {
    AddList("TRAINS\\CONSISTS", PT_EXPLORE_CONSIST, {"C2.con"});
    AddList("Routes\\ALPHA", PT_MAINT_CONSIST, {"C2.con"});
    AddList("TRAINS\\TRAINSET", PT_MAINT_STOCK, {"WAG\\W3.wag"});
    AddList("Routes\\BETA", PT_EXPLORE_PATH, {"P1.pat"});
    UsedInList results;
    CollectWhereUsed(Items({"C2.con", "WAG\\W3.wag", "ROUTES\\BETA\\PATHS\\P1.pat",
                            "ROUTES\\ALPHA\\PATHS\\P1.pat"}),
                     results);
    EXPECT_EQ(Hits(results, "C2.con"),
              QStringList({"30 c2.con > alpha", "40 c2.con > global settings"}));
    EXPECT_EQ(Hits(results, "WAG\\W3.wag"), QStringList({"20 wag\\w3.wag > global settings"}));
    EXPECT_EQ(Hits(results, "ROUTES\\BETA\\PATHS\\P1.pat").first(),
              "10 routes\\beta\\paths\\p1.pat > beta");
    // The same file name in another route is another path.
    for (const QString& hit : Hits(results, "ROUTES\\ALPHA\\PATHS\\P1.pat"))
        EXPECT_FALSE(hit.startsWith("10 ")) << hit.toStdString();
}

TEST_F(SampleTest, FindItemUsers_GivesServicesAndActivitiesOfPathsAndServicesOfOneRoute) {
    StringList services = StringList::SortedUnique();
    StringList activities = StringList::SortedUnique();
    std::unique_ptr<StoreIniHolder> cache = OpenStoreIni(QStringLiteral("CACHESCN.QVC"));
    FindItemUsers(PT_PATH, Items({"ROUTES\\ALPHA\\PATHS\\P1.pat", "ROUTES\\ALPHA\\PATHS\\P2.pat"}),
                  &services, &activities, *cache);
    EXPECT_EQ(services.Text().toLower(),
              "routes\\alpha\\services\\s1.srv\r\nroutes\\alpha\\services\\s2.srv\r\n");
    EXPECT_EQ(activities.Text().toLower(), "routes\\alpha\\activities\\a1.act\r\n");

    StringList stored = StringList::SortedUnique();
    FindItemUsers(PT_SERVICE, Items({"ROUTES\\BETA\\SERVICES\\S3.srv"}), nullptr, &stored, *cache);
    CloseStoreIni(std::move(cache));
    EXPECT_EQ(stored.Text().toLower(), "routes\\beta\\activities\\a3.act\r\n");
}

TEST_F(WhereUsedTest, CollectWhereUsed_ResolvesNamesThatClimbInsideTheirFolder) {
    builder.AddRoute("ALPHA", "Alpha", "ALPHA");
    builder.AddEngine("DASH9", "DASH9", "Dash 9", EngineType::Diesel);
    builder.AddWagon("WAG", "W1", "W1", WagonType::Freight);
    builder.AddConsist("C1", "One", {{"BOX\\..\\DASH9", "DASH9", true}});
    builder.AddPath("ALPHA", "P1", "P1", "A", "B");
    builder.AddService("ALPHA", "S1", "S1", "BOX\\..\\C1", "BOX\\..\\P1");
    builder.AddActivity("ALPHA", "A1.act", "A1", "S1", "", {{"Loose", {{"BOX\\..\\WAG", "W1"}}}});
    RebuildCaches();
    for (const auto& [item, hit] :
         {std::pair{"DASH9\\DASH9.eng", "50 dash9\\dash9.eng > trains\\consists\\c1.con"},
          std::pair{"WAG\\W1.wag", "70 wag\\w1.wag > routes\\alpha\\activities\\a1.act"},
          std::pair{"C1.con", "60 c1.con > routes\\alpha\\services\\s1.srv"},
          std::pair{"ROUTES\\ALPHA\\PATHS\\P1.pat",
                    "60 routes\\alpha\\paths\\p1.pat > routes\\alpha\\services\\s1.srv"}}) {
        UsedInList results;
        CollectWhereUsed(Items({item}), results);
        EXPECT_EQ(Hits(results, item).value(0), QString::fromLatin1(hit)) << item;
    }
}

TEST(RouteFilterTest, NarrowsToRoutesOfServicesAndPathsUnlessStockOrConsistsAreGiven) {
    const StringList routes =
        RouteFilter(Items({"ROUTES\\B\\SERVICES\\s.srv", "ROUTES\\A\\PATHS\\p.pat", "x.txt"}));
    EXPECT_EQ(routes.Text(), "ROUTES\\A\r\nROUTES\\B\r\n");
    EXPECT_TRUE(RouteFilter(Items({"ROUTES\\A\\PATHS\\p.pat", "C.con"})).IsEmpty());
    EXPECT_TRUE(RouteFilter(Items({"ROUTES\\A\\PATHS\\p.pat", "F\\e.ENG"})).IsEmpty());
}

TEST(FindListMembershipsTest, ReportsEveryEntryOfARouteHoweverManyHitsCameBefore) {
    RecordList<ItemSet> tree;
    const auto add = [&tree](std::uint32_t type, const QString& text, const QString& file) {
        tree.push_back(
            std::make_unique<ItemSet>(ItemSet{1, type, 1, text, "Routes\\" + text, file, {}, {}}));
    };
    add(PT_ROUTE, "R", "R.trk");
    add(PT_EXPLORE_CONSIST, QString(), "a.con");
    add(PT_EXPLORE_CONSIST, QString(), "A.CON");
    add(PT_EXPLORE_CONSIST | PT_HEADING, QString(), "B.con");
    add(PT_MAINT_CONSIST, QString(), "B.con");
    add(PT_EXPLORE_CONSIST, QString(), "B.con");
    UsedInSearchList searched;
    searched.AddItem("A.con");
    searched.AddItem("B.con");
    UsedInList results;
    FindListMemberships(searched, tree, PT_EXPLORE_CONSIST, results, UW_EXPLORE_CONSIST_LIST);
    QStringList hits;
    for (const auto& r : results)
        hits << r->ItemName + u'@' + r->Text1 + u'@' + r->Text2;
    EXPECT_EQ(hits, QStringList({"A.con@R@Routes\\R", "A.con@R@Routes\\R", "B.con@R@Routes\\R"}));
}

TEST(UsedInSearchListTest, MatchesExactlyWhatAWalkOverTheListWouldTake) {
    // Names with letter-case variants, appended in batches between look-ups.
    std::mt19937 random(7);
    UsedInSearchList list;
    QStringList names;
    for (int round = 0; round < 4; ++round) {
        for (int i = 0; i < 200; ++i) {
            QString name = QString("Folder%1\\Item%2.wag").arg(random() % 9).arg(random() % 40);
            if (random() % 2)
                name = name.toUpper();
            list.AddFound(name, QString::number(i));
            names << name;
        }
        StringList wanted = StringList::SortedUnique();
        for (int i = 0; i < 6; ++i)
            wanted.Add(QString("folder%1\\item%2.WAG").arg(random() % 9).arg(random() % 40));
        std::vector<int> walk;
        for (int i = 0; i < names.size(); ++i) {
            int at = 0;
            if (wanted.Find(names[i], at))
                walk.push_back(i);
        }
        EXPECT_EQ(list.MatchAny(wanted), walk);
    }
}

TEST(SortWhereUsedResultsTest, OrdersByItemWeightNameKindAndFolderThenNameOrFile) {
    UsedInList results;
    const auto add = [&results](std::int32_t weight, const char* name, const char* t1,
                                const char* t3) {
        results.push_back(std::make_unique<UsedInInfo>(
            UsedInInfo{PT_SERVICE, weight, t1, "F", t3, name, "item"}));
    };
    add(70, "x", "b", "1");
    add(60, "y", "b", "1");
    add(60, "x", "c", "0");
    add(60, "x", "A", "2");
    results.push_back(std::make_unique<UsedInInfo>(UsedInInfo{0, 0, {}, {}, {}, {}, "ITEM"}));
    const auto order = [&results] {
        SortWhereUsedResults(results);
        QString text;
        for (const auto& r : results)
            text += QString::number(r->Weight) + r->ItemName + r->Text1 + u' ';
        return text;
    };
    EXPECT_EQ(order(), "0 60xA 60xc 60yb 70xb ");
    App().ViewByFileName = true;
    EXPECT_EQ(order(), "0 60xc 60xA 60yb 70xb ");
    App().ViewByFileName = false;
}

} // namespace

// Texts alike but for letter case share a place; records that compare equal keep their order.
TEST(SortWhereUsedResultsTest, GivesTheOrderOfAStableSortByTheWhereUsedComparison) {
    std::mt19937 random(11);
    const QStringList items = {"a.con",    "A.CON",   "b\\x.eng",
                               "B\\X.ENG", "Été.con", "été.con",
                               "ete.con",  "z.pat",   "Routes\\R\\PATHS\\p.pat"};
    const QStringList texts = {"x", "X", "y", "Y", ""};
    const auto pick = [&](const QStringList& from) { return from[random() % from.size()]; };
    for (const bool byFileName : {false, true}) {
        SCOPED_TRACE(byFileName ? "by file name" : "by name");
        App().ViewByFileName = byFileName;
        UsedInList results;
        for (int i = 0; i < 400; ++i)
            results.push_back(std::make_unique<UsedInInfo>(
                UsedInInfo{std::uint32_t(random() % 3) * PT_SERVICE,
                           std::int32_t(random() % 3) * 10, pick(texts) + QString::number(i % 2),
                           pick(texts), pick(texts), pick(items), pick(items)}));
        std::vector<const UsedInInfo*> expected;
        for (const auto& record : results)
            expected.push_back(record.get());
        std::stable_sort(expected.begin(), expected.end(), [](const auto* a, const auto* b) {
            return CompareWhereUsedOrder(*a, *b) < 0;
        });
        SortWhereUsedResults(results);
        for (std::size_t i = 0; i < results.size(); ++i)
            ASSERT_EQ(results[i].get(), expected[i]) << i;
    }
    App().ViewByFileName = false;
}

TEST(UsedInSearchListTest, MatchesWhatCompareTextFindsEqualInEveryLocale) {
    const QStringList names = {"Été.con",    "ÉTÉ.CON",     "été.con",     "ete.con", "ETE.CON",
                               "straße.con", "STRASSE.CON", "Strasse.con", "ǅ.con",   "ǆ.CON"};
    const QLocale before;
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                  QLocale(QLocale::English, QLocale::UnitedStates)}) {
        SCOPED_TRACE(locale.name().toStdString());
        SetDefaultLocale(locale);
        UsedInSearchList list;
        for (int i = 0; i < names.size(); ++i) {
            list.AddItem(names[i]);
            for (const QString& wanted : names) {
                std::vector<int> walk;
                for (int j = 0; j <= i; ++j)
                    if (CompareText(names[j], wanted) == 0)
                        walk.push_back(j);
                EXPECT_EQ(list.Match(wanted), walk) << wanted.toStdString();
            }
        }
    }
    SetDefaultLocale(before);
}
