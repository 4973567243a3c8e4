#include "engine/whereusedreport.h"

#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/reportpane.h"
#include "core/stringlist.h"
#include "engine/usedincommon.h"
#include "whereusedtestkit.h"

#include <QHash>
#include <QSet>

using namespace qv;

namespace {

std::unique_ptr<UsedInInfo> Record(std::uint32_t kind, std::int32_t weight, const QString& text1,
                                   const QString& text2, const QString& text3,
                                   const QString& itemName, const QString& itemText) {
    return std::make_unique<UsedInInfo>(
        UsedInInfo{kind, weight, text1, text2, text3, itemName, itemText});
}

std::unique_ptr<UsedInInfo> Header(const QString& item) {
    return Record(0, 0, {}, {}, {}, {}, item);
}

TEST(FormatWhereUsedReportTest, GroupsUsersByKindWithFromNotesAndNotUsedBlocks) {
    UsedInList results;
    results.push_back(Header("A.con"));
    results.push_back(Header("F\\E.eng"));
    results.push_back(Record(PT_EXPLORE_CONSIST, 40, "Route 1", {}, {}, "C.con", "F\\E.eng"));
    results.push_back(Record(PT_EXPLORE_CONSIST, 40, "Route 2", {}, {}, "C.con", "F\\E.eng"));
    results.push_back(
        Record(PT_CONSIST, 50, "Coal", "TRAINS\\CONSISTS", "C.con", "F\\E.eng", "F\\E.eng"));
    results.push_back(Record(PT_SERVICE, 60, "Svc", "R\\SERVICES", "S.srv", "C.con", "F\\E.eng"));
    results.push_back(Header("Z.con"));

    EXPECT_EQ(FormatWhereUsedReport(results, WU_COMPLETE),
              "A.con\n    Not Used\n\n"
              "F\\E.eng\n\n"
              "    Explore Mode Consists:\n"
              "        Route 1 (From: C.con)\n"
              "        Route 2 (From: C.con)\n"
              "\n"
              "    Consists:\n"
              "        Coal (TRAINS\\CONSISTS\\C.con)\n"
              "\n"
              "    Services:\n"
              "        Svc (R\\SERVICES\\S.srv) (From: C.con)\n"
              "\n"
              "Z.con\n    Not Used\n\n");
    EXPECT_EQ(FormatWhereUsedReport(results, WU_UNUSED_ONLY), "A.con\nZ.con\n");
    EXPECT_TRUE(FormatWhereUsedReport(results, WU_USED_ONLY).startsWith("F\\E.eng\n\n"));
    EXPECT_FALSE(FormatWhereUsedReport(results, WU_USED_ONLY).contains("Z.con"));
}

// Written line by line, the report reads as the heading, an empty line and the body split at once.
TEST(WriteWhereUsedReportTest, PutsTheBodysLinesBelowTheHeadingInEveryMode) {
    UsedInList results;
    results.push_back(Header("A.con"));
    results.push_back(Header("F\\E.eng"));
    results.push_back(Record(PT_EXPLORE_CONSIST, 40, "Route 1", {}, {}, "C.con", "F\\E.eng"));
    results.push_back(
        Record(PT_CONSIST, 50, "Coal", "TRAINS\\CONSISTS", "C.con", "F\\E.eng", "F\\E.eng"));
    results.push_back(Header("Z.con"));
    results.push_back(Record(PT_SERVICE, 60, "Svc", "R\\SERVICES", "S.srv", "Z.con", "Z.con"));
    for (const int mode : {WU_COMPLETE, WU_UNUSED_ONLY, WU_USED_ONLY}) {
        SCOPED_TRACE(mode);
        for (const bool empty : {false, true}) {
            const UsedInList none;
            const UsedInList& shown = empty ? none : results;
            ReportPane pane;
            pane.AddLine("before");
            WriteWhereUsedReport(&pane, shown, mode);
            const QStringList lines = pane.Lines();
            ASSERT_GE(lines.size(), 6);
            EXPECT_TRUE(pane.IsHeading(2));
            EXPECT_EQ(lines.mid(0, 2) + lines.mid(3, 2), QStringList({"before", "", "", ""}));
            EXPECT_EQ(lines.mid(5), FormatWhereUsedReport(shown, mode).split(u'\n'));
        }
    }
}

class WhereUsedReportTest : public WhereUsedTest {};

TEST_F(WhereUsedReportTest, WhereUsed_AppendsEachReportBelowWhatThePaneHolds) {
    ReportPane pane;
    pane.AddLine("before");
    WhereUsed(&pane, StringList::SortedUnique(), WU_UNUSED_ONLY);
    StringList items = StringList::SortedUnique();
    items.Add("X.con");
    WhereUsed(&pane, items, WU_COMPLETE);
    EXPECT_EQ(pane.Lines(),
              QStringList({"before", "", "Unused Items Report", "", "", "", "", "Where Used Report",
                           "", "", "X.con", "    Not Used", "", ""}));
    EXPECT_TRUE(pane.IsHeading(7));
}

// Main-window services that log the cursor changes and the pane's scrolling, in order.
class CursorLog : public HeadlessMainServices {
public:
    void ShowHourglass(bool show) override { log << (show ? "hourglass" : "cursor back"); }
    QStringList log;
};

TEST_F(WhereUsedReportTest, WhereUsed_ShowsTheHourglassAndShowsTheReportFromItsStart) {
    CursorLog main;
    SetMainServices(&main);
    ReportPane pane;
    pane.AddLine("earlier text");
    pane.OnScrollToLine = [&](int line) {
        main.log << "to line " + QString::number(line) + " of " + QString::number(pane.LineCount());
    };
    StringList items = StringList::SortedUnique();
    items.Add("X.con");
    WhereUsed(&pane, items, WU_COMPLETE);
    SetMainServices(nullptr);
    // Scrolled once the whole report is in, while the hourglass still shows.
    EXPECT_EQ(main.log, QStringList({"hourglass", "to line 1 of 9", "cursor back"}));
}

TEST_F(WhereUsedReportTest, WhereUsedAll_ClearsThePaneAndConfirmsCompletion) {
    WriteFlag(true, "Confirm Completion");
    ui.Expect("The Requested Processing is Completed", ID_OK);
    ReportPane pane;
    pane.AddLine("old");
    WhereUsedAll(WU_USED_ONLY, &pane);
    EXPECT_EQ(pane.Lines(), QStringList({"", "Where Used Report (no unused items)", "", "", ""}));
    EXPECT_EQ(ui.PendingExpectations(), 0);
    EXPECT_EQ(App().ReportLevel, 0);
}

// A generated installation whose manifest tells who uses what, with lists in both scopes: every
// item's users are exactly the manifest's (followed through consists and services), and the
// "Unused Items" report names exactly the items nobody uses.
TEST_F(WhereUsedReportTest, WholeInstallation_NamesExactlyTheManifestsUsers) {
    LargeCounts counts;
    counts.engines = 10;
    counts.wagons = 30;
    counts.consists = 16;
    counts.paths = 14;
    counts.routes = 3;
    counts.activities = 9;
    counts.storeEvery = 4;
    builder.BuildLarge(counts);
    RebuildCaches();
    const MstsManifest& manifest = builder.Manifest();
    const QString wagon = manifest.Paths(MstsFileKind::Wagon).at(3);
    AddList("TRAINS\\CONSISTS", PT_EXPLORE_CONSIST, {"C00000.CON", "C00001.con"});
    AddList("Routes\\ROUTE000", PT_MAINT_CONSIST, {"C00002.con"});
    AddList("TRAINS\\TRAINSET", PT_MAINT_STOCK, {wagon.mid(16)});
    AddList("Routes\\ROUTE000", PT_EXPLORE_PATH, {"P00000.pat"});

    // Item names as the analysis uses them, in small letters.
    const auto key = [](QString path) {
        path = path.toLower();
        for (const char* prefix : {"trains\\trainset\\", "trains\\consists\\"}) {
            if (path.startsWith(prefix))
                return path.mid(int(qstrlen(prefix)));
        }
        return path;
    };
    QHash<QString, MstsFileKind> kinds;
    for (const WrittenFile& f : manifest.Files())
        kinds.insert(key(f.path), f.kind);
    // "<user kind>:<item>" -> the users of that kind that name the item.
    QHash<QString, QSet<QString>> usersOf;
    for (const MstsReference& r : manifest.References())
        usersOf[QString::number(int(kinds.value(key(r.user)))) + u':' + key(r.used)] << key(r.user);
    const auto of = [&usersOf](const QString& item, MstsFileKind kind) {
        return usersOf.value(QString::number(int(kind)) + u':' + item);
    };
    QHash<QString, QSet<QString>> lists{
        {"c00000.con", {"list:40:global settings"}},
        {"c00001.con", {"list:40:global settings"}},
        {"c00002.con", {"list:30:route 0"}},
        {key(wagon), {"list:20:global settings"}},
        {"routes\\route000\\paths\\p00000.pat", {"list:10:route 0"}}};
    const auto activitiesOf = [&of](const QSet<QString>& services) {
        QSet<QString> out;
        for (const QString& s : services)
            out += of(s, MstsFileKind::Activity);
        return out;
    };

    StringList items = StringList::SortedUnique();
    QHash<QString, QSet<QString>> expected;
    for (const WrittenFile& f : manifest.Files()) {
        const QString item = key(f.path);
        QSet<QString>& users = expected[item];
        QSet<QString> services;
        switch (f.kind) {
        case MstsFileKind::Engine:
        case MstsFileKind::Wagon:
            users = of(item, MstsFileKind::Consist) + of(item, MstsFileKind::Activity) +
                    lists.value(item);
            for (const QString& c : of(item, MstsFileKind::Consist)) {
                services += of(c, MstsFileKind::Service);
                users += lists.value(c);
            }
            break;
        case MstsFileKind::Consist:
            services = of(item, MstsFileKind::Service);
            users = lists.value(item);
            break;
        case MstsFileKind::Service:
            users = of(item, MstsFileKind::Activity);
            break;
        case MstsFileKind::Path:
            services = of(item, MstsFileKind::Service);
            users = of(item, MstsFileKind::Activity) + lists.value(item);
            break;
        default:
            expected.remove(item);
            continue;
        }
        users += services + activitiesOf(services);
        items.Add(item);
    }

    UsedInList results;
    CollectWhereUsed(items, results);
    QHash<QString, QSet<QString>> found;
    for (const auto& r : results) {
        QSet<QString>& users = found[r->ItemText];
        if (r->Kind == 0)
            continue;
        users << (r->Weight <= UW_EXPLORE_CONSIST_LIST
                      ? QString("list:%1:%2").arg(r->Weight).arg(r->Text1.toLower())
                      : key(r->Text2 + u'\\' + r->Text3));
    }
    EXPECT_EQ(found.size(), expected.size());
    QStringList unused;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        EXPECT_EQ(found.value(it.key()), it.value()) << it.key().toStdString();
        if (it.value().isEmpty())
            unused << it.key();
    }
    ASSERT_FALSE(unused.isEmpty());
    ASSERT_LT(unused.size(), expected.size() / 2);

    ReportPane pane;
    WhereUsedAll(WU_UNUSED_ONLY, &pane);
    QStringList listed;
    for (const QString& line : pane.Lines().mid(4)) {
        if (!line.isEmpty())
            listed << key(line);
    }
    unused.sort();
    listed.sort();
    EXPECT_EQ(listed, unused);
}

} // namespace
