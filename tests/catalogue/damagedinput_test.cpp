// Damaged content files whose values never end: each must be read in one pass over its text, so
// that a file of megabytes ends at once and yields what the rules make of it.
#include "catalogue/activityreader.h"
#include "catalogue/consistreader.h"
#include "catalogue/mststext.h"
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

class HostileListOrder : public StockTest {};

// Entries 0, then n down to 1: added one by one, each would go in near the front of the list.
TEST_F(HostileListOrder, ListsReadFromOneFileGrowInStepWithIt) {
    StoreIniHolder activities;
    for (const bool consist : {true, false}) {
        const char* form = consist ? "WagonData ( W%1 Cars )" : "Service_Definition ( S%1";
        const auto make = [&](int n) {
            ItemSet item = ConsistItem(QStringLiteral("H%1.dat").arg(n));
            item.Folder = consist ? item.Folder : QStringLiteral("ROUTES\\X\\ACTIVITIES");
            QStringList lines;
            for (int i = 0; i <= n; ++i)
                lines << QString::fromLatin1(form).arg(i ? n + 1 - i : 0, 6, 10, QLatin1Char('0'));
            builder.WriteMstsFile(item.Folder + u'\\' + item.FileName, "x0t", lines);
            return [&, item, n] {
                StringList list = StringList::SortedUnique();
                App().UncachedStockList.Clear(); // where the consist's vehicles go too
                ConsistInfo train;
                ActivityInfo activity;
                activity.FullCheck = true;
                ASSERT_TRUE(
                    consist
                        ? ReadConsistFile("C:\\MSTS", item, train, consistCache, stockCache, &list)
                        : ReadActivityFile("C:\\MSTS", item, activities, activity, &list, nullptr));
                ASSERT_EQ(list.Count(), n + 1);
            };
        };
        EXPECT_LT(test::SixteenfoldGrowth(make, 4000), test::kMostSixteenfoldGrowth) << consist;
    }
}

} // namespace
} // namespace qv
