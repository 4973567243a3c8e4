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

#include <functional>

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

// Lines of the form for the numbers 0, then n down to 1: each put on its own in a sorted list
// would go in near its front and move all that follow.
QStringList FrontHeavy(const char* form, int n) {
    QStringList lines;
    for (int i = 0; i <= n; ++i)
        lines.append(QString::fromLatin1(form).arg(i ? n + 1 - i : 0, 6, 10, QLatin1Char('0')));
    return lines;
}

class HostileListOrder : public StockTest {};

// Every list a content file fills is sorted once, not kept sorted entry by entry.
TEST_F(HostileListOrder, ListsReadFromOneFileGrowInStepWithIt) {
    App().ExtendedActivityCache = true;
    const QString acts = QStringLiteral("ROUTES\\X\\ACTIVITIES\\");
    const QString root = App().MstsRootFolder;
    StoreIniHolder activities;
    const auto activity = [&](const QString& file, bool fullCheck, StringList& list) {
        ItemSet item;
        item.Folder = acts.chopped(1);
        item.FileName = file;
        ActivityInfo info;
        info.FullCheck = fullCheck;
        return ReadActivityFile(root, item, activities, info, &list, nullptr);
    };
    const struct {
        QString folder;
        const char* form; // of the file's lines
        std::function<bool(const QString& file, int n, StringList& list)> read;
    } cases[] = {
        {"TRAINS\\CONSISTS\\", "WagonData ( W%1 Cars )",
         [&](const QString& file, int, StringList& list) {
             App().UncachedStockList.Clear(); // every vehicle goes there too
             ConsistInfo info;
             return ReadConsistFile(root, ConsistItem(file), info, consistCache, stockCache, &list);
         }},
        {"TRAINS\\CONSISTS\\", "EngineData ( E%1 Locos )",
         [&](const QString& file, int, StringList& list) {
             return ReadConsistVehicles(root + "\\TRAINS\\CONSISTS\\" + file, &list, nullptr);
         }},
        {acts, "Service_Definition ( S%1",
         [&](const QString& file, int, StringList& list) { return activity(file, true, list); }},
        {acts, "Name ( C%1 )",
         [&](const QString& file, int n, StringList& list) {
             // A cache section listing the services so, as one edited by hand may.
             IniFile& ini = activities.Ini;
             ini.WriteInteger(acts + file, "FileDate", FileAge(root + u'\\' + acts + file));
             ini.WriteBool(acts + file, "LooseStock", false);
             ini.WriteInteger(acts + file, "SvcCount", n + 1);
             const QStringList services = FrontHeavy("S%1.srv", n);
             for (int i = 0; i <= n; ++i)
                 ini.WriteString(acts + file, QStringLiteral("Svc%1").arg(i), services[i]);
             return activity(file, false, list);
         }},
        {"ROUTES\\X\\TRAFFIC\\", "Service_Definition ( S%1",
         [&](const QString& file, int, StringList& list) {
             TrafficInfo traffic;
             return ReadTrafficServices(root, "ROUTES\\X\\TRAFFIC\\" + file, traffic, &list);
         }},
    };
    for (const auto& c : cases) {
        const auto make = [&](int n) {
            const QString file = QStringLiteral("H%1_%2.dat").arg(&c - cases).arg(n);
            builder.WriteMstsFile(c.folder + file, "x0t", FrontHeavy(c.form, n));
            return [&c, file, n] {
                StringList list = StringList::SortedUnique();
                ASSERT_TRUE(c.read(file, n, list));
                ASSERT_EQ(list.Count(), n + 1);
            };
        };
        EXPECT_LT(test::SixteenfoldGrowth(make, 4000), test::kMostSixteenfoldGrowth) << c.form;
    }
}

} // namespace
} // namespace qv
