#include "catalogue/activityreader.h"

#include "core/appstate.h"
#include "core/mainservices.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/registrysandbox.h"
#include "fixtures/tempmsts.h"
#include "platform/fakeui.h"
#include "platform/winfs.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace qv;

namespace {

const QString kMsts = QStringLiteral("C:\\MSTS");
const QString kActivities = QStringLiteral("ROUTES\\X\\Activities");
const QString kActFolder = QStringLiteral("ROUTES\\X\\ACTIVITIES\\");
// 2020-01-02 03:04:06 as a packed DOS date-time: a date no freshly written file has.
constexpr qint32 kOldAge = (((2020 - 1980) << 9 | 1 << 5 | 2) << 16) | (3 << 11 | 4 << 5 | 3);

class ActivityReaderTest : public ::testing::Test {
protected:
    ActivityReaderTest() {
        ResetAppState();
        App().MstsRootFolder = kMsts;
        App().StoreRootFolder = QStringLiteral("C:\\STORE");
        builder.AddRoute("X", "Route X", "XID");
        builder.AddPath("X", "Main.pat", "Main", "A", "B");
        for (const char* service : {"Coal Run", "Express", "Local"})
            builder.AddService("X", service, service, "Coal.con", "Main.pat");
        builder.AddTraffic("X", "Weekday.trf", "Weekday", {"Express.srv", "Local.srv"});
    }
    ~ActivityReaderTest() override { ResetAppState(); }

    // Player service Coal Run on Main, the Weekday traffic (its services unless others are
    // given), a loose consist of an engine and the same wagon twice.
    void AddCoalRun(const QString& file, Into into = Into::Msts, const QStringList& traffic = {},
                    const QString& pathId = {}) {
        ActivityPlan act;
        act.route = "X";
        act.file = file;
        act.name = "Coal Run";
        act.playerService = "Coal Run.srv";
        act.traffic = "Weekday.trf";
        act.trafficServices = traffic;
        act.pathId = pathId;
        act.looseConsists = {
            {"Spare", {{"Steam", "Loco", true}, {"Coal", "Hopper"}, {"Coal", "Hopper"}}}};
        act.into = into;
        builder.AddActivity(act);
    }
    bool Read(const QString& file, ActivityInfo& info, StringList* services = nullptr,
              StringList* stock = nullptr, const QString& root = kMsts) {
        ItemSet item;
        item.Folder = kActivities;
        item.FileName = file;
        return ReadActivityFile(root, item, cache, info, services, stock);
    }
    static QString Section(const QString& file) { return kActivities + u'\\' + file; }
    void WriteActivity(const QString& file, const QStringList& body) {
        DeleteFile(kMsts + u'\\' + kActFolder + file);
        builder.WriteMstsFile(kActFolder + file, "a0t", body, MstsFileKind::Activity);
    }
    // Writes a new activity of the given lines and reads it.
    ActivityInfo Parsed(const QStringList& body, bool fullCheck = true) {
        const QString file = QStringLiteral("A%1.act").arg(++written_);
        WriteActivity(file, body);
        ActivityInfo info;
        info.FullCheck = fullCheck;
        EXPECT_TRUE(Read(file, info));
        return info;
    }

    RegistrySandbox registry;
    TempMsts drive;
    MstsBuilder builder{drive.Host("MSTS"), drive.Host("STORE")};
    StoreIniHolder cache;
    FakeUi ui;
    int written_ = 0;
};

TEST_F(ActivityReaderTest, FullCheckReadsServicesTrafficLooseStockPlayerPathAndSavedState) {
    AddCoalRun("Coal Run.act");
    builder.WriteMstsFile(kActFolder + "Coal Run.ASV", "a0t", {"x"});
    ASSERT_TRUE(SetFileAge(kMsts + u'\\' + kActFolder + "Coal Run.ASV", kOldAge));
    ActivityInfo info;
    info.FullCheck = true;
    StringList services = StringList::SortedUnique();
    StringList stock = StringList::SortedUnique();
    ASSERT_TRUE(Read("Coal Run.act", info, &services, &stock));
    EXPECT_EQ(info.Name, "Coal Run");
    EXPECT_EQ(info.PlayerSrv, "ROUTES\\X\\SERVICES\\Coal Run.srv");
    EXPECT_EQ(info.PathID, "Main.pat");
    EXPECT_TRUE(info.PlayerPathFound);
    EXPECT_TRUE(info.AsvOutOfDate);
    EXPECT_EQ(info.Traffic, "Weekday");
    EXPECT_EQ(info.TrafficDate, FileAge(kMsts + "\\ROUTES\\X\\TRAFFIC\\Weekday.trf"));
    EXPECT_TRUE(info.LooseStock);
    EXPECT_EQ(services.Strings(),
              QStringList({"ROUTES\\X\\SERVICES\\Express.srv", "ROUTES\\X\\SERVICES\\Local.srv"}));
    EXPECT_EQ(stock.Strings(), QStringList({"Coal\\Hopper.WAG", "Steam\\Loco.ENG"}));
    EXPECT_EQ(info.StartTime, QTime(10, 30));
    EXPECT_EQ(TheMainServices().StatusText(1), "Loading Activity 'X\\Activities\\Coal Run.act'");

    info.FullCheck = false;
    ASSERT_TRUE(Read("Coal Run.act", info));
    EXPECT_FALSE(info.AsvOutOfDate) << "the saved state is looked at only with a full check";
    AddCoalRun("Lost.act", Into::Msts, {}, "Nowhere.pat");
    info.FullCheck = true;
    ASSERT_TRUE(Read("Lost.act", info));
    EXPECT_FALSE(info.PlayerPathFound);
    EXPECT_TRUE(ui.Shown().empty());
}

TEST_F(ActivityReaderTest, ScenarioCacheServesAnUnchangedActivityAndRereadsAChangedOne) {
    App().ExtendedActivityCache = true;
    AddCoalRun("Coal Run.act");
    const QString path = kMsts + u'\\' + kActFolder + "Coal Run.act";
    const qint32 age = FileAge(path);
    ActivityInfo info;
    ASSERT_TRUE(Read("Coal Run.act", info));
    EXPECT_EQ(
        cache.Ini.ReadSectionValues(Section("Coal Run.act")),
        QStringList({"Name=Coal Run", "Traffic=Weekday",
                     "TrafficDate=" + QString::number(info.TrafficDate), "LooseStock=1",
                     "PlayerSrv=Coal Run.srv", "PathID=Main.pat", "SvcCount=2", "Svc0=Express.srv",
                     "Svc1=Local.srv", "StkCount=2", "Stk0=Coal\\Hopper.WAG",
                     "Stk1=Steam\\Loco.ENG", "FileDate=" + QString::number(age)}));

    // Other content under the same date: the section answers and the file is not opened.
    WriteActivity("Coal Run.act", {"Name ( Changed )"});
    ASSERT_TRUE(SetFileAge(path, age));
    cache.Modified = false;
    StringList services = StringList::SortedUnique();
    StringList stock = StringList::SortedUnique();
    ASSERT_TRUE(Read("Coal Run.act", info, &services, &stock));
    EXPECT_EQ(info.Name, "Coal Run");
    EXPECT_EQ(info.PlayerSrv, "ROUTES\\X\\SERVICES\\Coal Run.srv");
    EXPECT_EQ(services.Count(), 2);
    EXPECT_EQ(stock.Strings(), QStringList({"Coal\\Hopper.WAG", "Steam\\Loco.ENG"}));
    EXPECT_FALSE(cache.Modified);

    // A new date: parsed again and the section renewed whole.
    ASSERT_TRUE(SetFileAge(path, kOldAge));
    ASSERT_TRUE(Read("Coal Run.act", info));
    EXPECT_EQ(info.Name, "Changed");
    EXPECT_EQ(cache.Ini.ReadInteger(Section("Coal Run.act"), "FileDate", 0), kOldAge);
    EXPECT_FALSE(cache.Ini.ValueExists(Section("Coal Run.act"), "Traffic"));

    // The copy in the store shares the section, which follows the copy read last.
    AddCoalRun("Coal Run.act", Into::Store);
    ASSERT_TRUE(Read("Coal Run.act", info, nullptr, nullptr, App().StoreRootFolder));
    EXPECT_EQ(info.Name, "Coal Run");
    EXPECT_NE(cache.Ini.ReadInteger(Section("Coal Run.act"), "FileDate", 0), kOldAge);
}

TEST_F(ActivityReaderTest, CachedCountsBeyondTheLinesOfTheSectionAreNotFollowed) {
    App().ExtendedActivityCache = true;
    AddCoalRun("Coal Run.act");
    ActivityInfo info;
    ASSERT_TRUE(Read("Coal Run.act", info));
    // A damaged cache: two billion entries announced, the same few lines there.
    for (const char* key : {"SvcCount", "StkCount"})
        cache.Ini.WriteInteger(Section("Coal Run.act"), key, 2000000000);
    const qsizetype lines = cache.Ini.ReadSection(Section("Coal Run.act")).size();
    StringList services;
    StringList stock;
    ASSERT_TRUE(Read("Coal Run.act", info, &services, &stock));
    EXPECT_EQ(services.Strings().mid(0, 2),
              QStringList({"ROUTES\\X\\SERVICES\\Express.srv", "ROUTES\\X\\SERVICES\\Local.srv"}));
    EXPECT_EQ(stock.Strings().mid(0, 2), QStringList({"Coal\\Hopper.WAG", "Steam\\Loco.ENG"}));
    EXPECT_LE(services.Count(), lines);
    EXPECT_LE(stock.Count(), lines);
}

TEST_F(ActivityReaderTest, KeywordValuesFollowTheirLineRules) {
    EXPECT_EQ(Parsed({"Player_Service_Definition ( \"Coal Run\""}).PlayerSrv,
              "ROUTES\\X\\SERVICES\\Coal Run.srv");
    EXPECT_EQ(Parsed({"Player_Service_Definition ( ELT_STD 0 )"}).PlayerSrv,
              "ROUTES\\X\\SERVICES\\ELT_STD.srv");
    EXPECT_EQ(Parsed({"Traffic_Definition ( \"Week day\" 1"}).Traffic, "Week day");
    EXPECT_EQ(Parsed({"Season ( 2 )"}).Season, 2);
    EXPECT_EQ(Parsed({"Season ( x )"}).Season, 0);
    EXPECT_EQ(Parsed({"Difficulty ( 3 )", "Weather ( 2 )"}).Weather, 2);
    EXPECT_EQ(Parsed({"StartTime ( 12  30 0 )"}).StartTime, QTime(12, 30));
    // Name and Description keep the first non-empty value, other keywords the last.
    const ActivityInfo texts =
        Parsed({"Name ( \"\" )", "Description ( first )", "RouteID ( a )", "Name ( Loose One )",
                "Description ( second )", "RouteID ( b )"});
    EXPECT_EQ(texts.Name, "Loose One");
    EXPECT_EQ(texts.Description, "first");
    EXPECT_EQ(texts.RouteID, "b");
    // Without a name the file name stands in only with a full check; else the cached empty name.
    const QString fallback = Parsed({"RouteID ( a )"}, true).Name;
    EXPECT_EQ(fallback, QStringLiteral("A%1.act").arg(written_));
    EXPECT_EQ(Parsed({"RouteID ( a )"}, false).Name, "");
}

TEST_F(ActivityReaderTest, ExtendedCacheRenewsOldSectionsAndKeepsAnEmptyPlayerServiceEmpty) {
    WriteActivity("Free.act", {"Name ( Free )", "Service_Definition ( Express 1",
                               "Service_Definition ( EXPRESS 2"});
    ActivityInfo info;
    ASSERT_TRUE(Read("Free.act", info));
    App().ExtendedActivityCache = true;
    cache.Modified = false;
    StringList services = StringList::SortedUnique();
    ASSERT_TRUE(Read("Free.act", info, &services));
    EXPECT_TRUE(cache.Modified) << "a section without SvcCount is renewed";
    EXPECT_EQ(cache.Ini.ReadInteger(Section("Free.act"), "SvcCount", -1), 1);
    EXPECT_EQ(services.Count(), 1);
    // No player service: the cached empty name must not come back as the bare SERVICES folder.
    EXPECT_EQ(info.PlayerSrv, "");
}

TEST_F(ActivityReaderTest, TrafficThatDiffersFromTheActivityServicesGivesMinusOne) {
    AddCoalRun("Fewer.act", Into::Msts, {"Express.srv"});
    AddCoalRun("More.act", Into::Msts, {"Express.srv", "Local.srv", "Extra.srv"});
    AddCoalRun("Coal Run.act");
    ActivityInfo info;
    ASSERT_TRUE(Read("Fewer.act", info));
    EXPECT_EQ(info.TrafficDate, -1);
    ASSERT_TRUE(Read("More.act", info));
    EXPECT_EQ(info.TrafficDate, -1);
    StringList services = StringList::SortedUnique();
    services.Add("routes\\x\\services\\EXPRESS.srv");
    services.Add("ROUTES\\X\\SERVICES\\Local.srv");
    services.Add(info.PlayerSrv);
    EXPECT_TRUE(TrafficMatchesActivity(info, services)) << "the player service stands aside";

    // The traffic file changes: a full check finds the mismatch and renews the section.
    ASSERT_TRUE(Read("Coal Run.act", info));
    ASSERT_NE(info.TrafficDate, -1);
    const QString trf = kMsts + "\\ROUTES\\X\\TRAFFIC\\Weekday.trf";
    DeleteFile(trf);
    builder.AddTraffic("X", "Weekday.trf", "Weekday", {"Express.srv", "Local.srv", "Extra.srv"});
    ASSERT_TRUE(SetFileAge(trf, kOldAge));
    cache.Modified = false;
    info.FullCheck = true;
    ASSERT_TRUE(Read("Coal Run.act", info));
    EXPECT_EQ(info.TrafficDate, -1);
    EXPECT_TRUE(cache.Modified);
    EXPECT_EQ(cache.Ini.ReadInteger(Section("Coal Run.act"), "TrafficDate", 0), -1);
}

TEST_F(ActivityReaderTest, MissingFileIsFalseAndAnUnreadableOneComesFromItsSection) {
    ActivityInfo info;
    info.FullCheck = true;
    EXPECT_FALSE(Read("Absent.act", info));
    EXPECT_TRUE(info.FullCheck) << "the caller's flag stays";

    // A compressed file whose stream cannot be inflated exists but cannot be opened.
    QFile bad(builder.HostPath("ROUTES\\X\\ACTIVITIES") + "/Bad.act");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray("SIMISA@F") + QByteArray(4, '\x10') + "@@@@\x78\x9c" +
              QByteArray(16, '\xff'));
    bad.close();
    cache.Ini.WriteString(Section("Bad.act"), "Name", "Cached");
    ASSERT_TRUE(Read("Bad.act", info));
    EXPECT_EQ(info.Name, "Cached");
    EXPECT_FALSE(cache.Modified);

    App().ExtendedActivityCache = true;
    StringList services = StringList::SortedUnique();
    ASSERT_TRUE(Read("Bad.act", info, &services));
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_TRUE(ui.Shown()[0].text.contains("Line No.: 378"));
    EXPECT_TRUE(services.IsEmpty());
}

} // namespace
