// Damaged content files whose values never end: each must be read in one pass over its text, so
// that a file of megabytes ends at once and yields what the rules make of it.
#include "catalogue/activityreader.h"
#include "catalogue/consistreader.h"
#include "catalogue/consistvehicles.h"
#include "catalogue/mststext.h"
#include "catalogue/servicereader.h"
#include "catalogue/stockdeps.h"
#include "catalogue/stockreader.h"
#include "core/stringlist.h"
#include "fixtures/growth.h"
#include "stocktestkit.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

constexpr int kRunawayLines = 32 * 1024;

// About 4 MB of UTF-16 text: lines of 64 letters, none of them a parenthesis.
QString RunawayLines() {
    return (QString(64, u'x') + QStringLiteral("\r\n")).repeated(kRunawayLines);
}

// What the runaway lines give once joined: the letters without the line ends.
QString RunawayValue() {
    return QString(64 * kRunawayLines, u'x');
}

struct RunawayStockValue {
    const char* opening; // the keyword's line, whose value never closes
    const char* head;    // what the value keeps of that line
    QString StockInfo::*field;
};

TEST(DamagedStockFile, AValueThatNeverClosesIsCollectedOnceToTheEnd) {
    const RunawayStockValue cases[] = {
        {"Description ( \"runs on", "\"runs on", &StockInfo::Description},
        {"Name ( runs on", "runs on", &StockInfo::Name},
        {"Description (", "", &StockInfo::Description},
        // A Wagon line without its parenthesis takes the rest of the file as the name.
        {"Wagon", "", &StockInfo::Name},
    };
    const QString rest = RunawayLines();
    for (const RunawayStockValue& c : cases) {
        MstsTextReader reader(QString::fromLatin1(c.opening) + QStringLiteral("\r\n") + rest);
        StockInfo info;
        ParseStockText(reader, QStringLiteral("LOCO"), info);
        EXPECT_EQ(info.*(c.field), QString::fromLatin1(c.head) + RunawayValue()) << c.opening;
    }
}

TEST(DamagedMstsText, CutValueCollectsARunawayValueOnceAndCutsItInPlace) {
    const struct {
        const char* opening;
        bool keepQuotes;
        QString expected;
    } cases[] = {
        {"Name ( \"", false, QStringLiteral("\"") + RunawayValue()},
        {"Name (", true, RunawayValue()},
    };
    for (const auto& c : cases) {
        MstsTextReader reader(QStringLiteral("\r\n") + RunawayLines());
        EXPECT_EQ(CutValue(reader, QString::fromLatin1(c.opening), 4, c.keepQuotes), c.expected)
            << c.opening;
        QString line;
        EXPECT_FALSE(reader.ReadLine(&line)) << "the whole file was taken";
    }
}

class DamagedSoundFile : public StockTest {};

TEST_F(DamagedSoundFile, MegabytesOfEntriesOnOneLogicalLineAreWalkedOnce) {
    // 4 MB of entries that name nothing outside the vehicle's folder, then one that does, all in
    // one trigger that never closes on its line.
    const QString sound = QStringLiteral("TRAINS\\TRAINSET\\Loco\\Sound\\loco.sms");
    QStringList lines{QStringLiteral("Stream ( File (")};
    const QString entries = QStringLiteral("\"x.wav\" -1 ) File ( ").repeated(12);
    for (int i = 0; i < 10000; ++i)
        lines.append(entries);
    lines.append(QStringLiteral("\"..\\..\\Horns\\Sound\\a.wav\" -1 )"));
    builder.WriteMstsFile(sound, QStringLiteral("x1t"), lines, MstsFileKind::Other, Into::Msts);
    builder.WriteMstsFile(QStringLiteral("TRAINS\\TRAINSET\\HORNS\\SOUND\\A.WAV"),
                          QStringLiteral("x1t"), {}, MstsFileKind::Other, Into::Msts);
    StringList aliases;
    ReadSoundDependencies(QStringLiteral("C:\\MSTS"), sound, QStringLiteral("C:\\STORE"), aliases,
                          true, true);
    EXPECT_EQ(aliases.Strings(), QStringList{QStringLiteral("Horns\\Sound")});
}

// Lines of the form for the numbers 0 and then n down to 1: each put in a sorted list on its own
// would go in near its front and move all that follow.
QStringList FrontHeavy(const char* form, int n) {
    QStringList lines;
    for (int i = 0; i <= n; ++i)
        lines.append(QString::fromLatin1(form).arg(i ? n + 1 - i : 0, 6, 10, QLatin1Char('0')));
    return lines;
}

class HostileListOrder : public StockTest {
protected:
    bool ReadActivity(const QString& file, bool fullCheck, StringList* services,
                      StringList* stock) {
        ItemSet item{};
        item.Folder = QStringLiteral("ROUTES\\X\\ACTIVITIES");
        item.FileName = file;
        ActivityInfo info;
        info.FullCheck = fullCheck;
        return ReadActivityFile(App().MstsRootFolder, item, activityCache, info, services, stock);
    }
    StoreIniHolder activityCache;
};

// Every list a content file fills is sorted once, not kept sorted entry by entry, and keeps the
// order and the rule for duplicates it had.
TEST_F(HostileListOrder, ListsReadFromOneFileGrowInStepWithIt) {
    App().ExtendedActivityCache = true;
    const auto name = [](const char* form, int n) { return QString::fromLatin1(form).arg(n); };
    const struct {
        const char* what;
        test::SizedJob make;
    } cases[] = {
        {"a consist's vehicles, and the stock the cache lacks",
         [&](int n) {
             WriteConsist(name("H%1.con", n), FrontHeavy("WagonData ( W%1 Cars )", n));
             return [=, this] {
                 App().UncachedStockList.Clear();
                 StringList vehicles = StringList::SortedUnique();
                 ConsistInfo info;
                 ASSERT_TRUE(ReadConsistFile(App().MstsRootFolder, ConsistItem(name("H%1.con", n)),
                                             info, consistCache, stockCache, &vehicles));
                 ASSERT_EQ(App().UncachedStockList.Count(), n + 1);
                 ASSERT_EQ(vehicles.Strings(), App().UncachedStockList.Strings());
             };
         }},
        {"a consist's vehicles alone",
         [&](int n) {
             WriteConsist(name("V%1.con", n), FrontHeavy("EngineData ( E%1 Locos )", n));
             return [=] {
                 StringList vehicles(true, StringList::Duplicates::Accept);
                 ASSERT_TRUE(ReadConsistVehicles(name("C:\\MSTS\\TRAINS\\CONSISTS\\V%1.con", n),
                                                 &vehicles, nullptr));
                 ASSERT_EQ(vehicles[1], "Locos\\E000001.ENG");
             };
         }},
        {"an activity's services and loose stock",
         [&](int n) {
             builder.WriteMstsFile(name("ROUTES\\X\\ACTIVITIES\\A%1.act", n), "a0t",
                                   FrontHeavy("Service_Definition ( S%1", n) +
                                       FrontHeavy("WagonData ( W%1 Cars )", n),
                                   MstsFileKind::Activity);
             return [=, this] {
                 ASSERT_TRUE(ReadActivity(name("A%1.act", n), true, nullptr, nullptr));
             };
         }},
        {"an activity's services in its cache section",
         [&](int n) {
             const QString file = name("C%1.act", n);
             builder.WriteMstsFile("ROUTES\\X\\ACTIVITIES\\" + file, "a0t", {"Name ( C )"},
                                   MstsFileKind::Activity);
             ReadActivity(file, false, nullptr, nullptr); // the section as it is written
             const QString section = "ROUTES\\X\\ACTIVITIES\\" + file;
             const QStringList services = FrontHeavy("S%1.srv", n);
             activityCache.Ini.WriteInteger(section, "SvcCount", int(services.size()));
             for (int i = 0; i < services.size(); ++i)
                 activityCache.Ini.WriteString(section, QStringLiteral("Svc%1").arg(i),
                                               services[i]);
             return [=, this] {
                 StringList listed = StringList::SortedUnique();
                 ASSERT_TRUE(ReadActivity(file, false, &listed, nullptr));
                 ASSERT_EQ(listed.Count(), n + 1);
             };
         }},
        {"a traffic file's services",
         [&](int n) {
             builder.WriteMstsFile(name("ROUTES\\X\\TRAFFIC\\T%1.trf", n), "f0t",
                                   FrontHeavy("Service_Definition ( S%1", n),
                                   MstsFileKind::Traffic);
             return [=] {
                 TrafficInfo traffic;
                 StringList listed = StringList::SortedUnique();
                 ASSERT_TRUE(ReadTrafficServices(App().MstsRootFolder,
                                                 name("ROUTES\\X\\TRAFFIC\\T%1.trf", n), traffic,
                                                 &listed));
                 ASSERT_EQ(listed.Count(), n + 1);
             };
         }},
    };
    for (const auto& c : cases)
        EXPECT_LT(test::FourfoldGrowth(c.make, 8000), test::kMostFourfoldGrowth) << c.what;
}

} // namespace
} // namespace qv
