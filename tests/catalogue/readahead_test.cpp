#include "catalogue/readahead.h"

#include "catalogue/listeddates.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "platform/inifile.h"
#include "stocktestkit.h"

#include <QMutex>
#include <gtest/gtest.h>

using namespace qv;

namespace {

class ReadAheadTest : public StockTest {
protected:
    static constexpr QLatin1StringView kBase{"\\TRAINS\\TRAINSET\\"};

    // Lists the wagons of the folder in both roots, as the stock rebuild does.
    void List(const QString& folder) {
        for (const QString& root : {App().StoreRootFolder, App().MstsRootFolder}) {
            listed.AddParent(root, QString());
            listed.AddListing(names, root, root + kBase + folder, folder, QStringLiteral("*.WAG"));
        }
    }

    ListedFileDates listed;
    StringList names = StringList::SortedUnique();
};

} // namespace

TEST_F(ReadAheadTest, TakesCurrentSectionsAndReadsTheOtherFilesFromTheRootTheListingGives) {
    builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Both"), QStringLiteral("In store"),
                     WagonType::Freight, Into::Store);
    builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Both"), QStringLiteral("In MSTS"),
                     WagonType::Freight);
    builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Cached"), QStringLiteral("Cached"),
                     WagonType::Freight);
    builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Stale"), QStringLiteral("Stale"),
                     WagonType::Freight);
    builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Plain"), QStringLiteral("Plain"),
                     WagonType::Freight);
    List(QStringLiteral("Cars"));
    ASSERT_EQ(names.Count(), 4);
    const QString cachedPath = QStringLiteral("C:\\MSTS\\TRAINS\\TRAINSET\\Cars\\Cached.wag");
    const QString cachedName = QStringLiteral("Cars\\Cached.wag");
    const QString staleName = QStringLiteral("Cars\\Stale.wag");
    IniFile cache;
    cache.WriteInteger(cachedName, QStringLiteral("FileDate"), FileAge(cachedPath));
    cache.WriteInteger(cachedName, QStringLiteral("PType"), 5);
    cache.WriteInteger(staleName, QStringLiteral("FileDate"), 1);
    cache.WriteInteger(staleName, QStringLiteral("PType"), 5);

    QMutex lock;
    QStringList parsedNames;
    QStringList takenNames;
    const std::vector<AheadFile> ahead = ReadFilesAhead(
        names, cache, false, &listed, kBase,
        [&](std::size_t i, MstsTextReader& reader) {
            QString line;
            int lines = 0;
            while (reader.ReadLine(&line))
                ++lines;
            const QMutexLocker locked(&lock);
            parsedNames << names[int(i)] + u'=' + QString::number(lines > 0);
        },
        [&](std::size_t i, qint32 date) {
            if (!CacheSectionIsCurrent(cache, names[int(i)], date))
                return false;
            const QMutexLocker locked(&lock);
            takenNames << names[int(i)];
            return true;
        });
    ASSERT_EQ(ahead.size(), 4u);
    const int both = names.IndexOf(QStringLiteral("Cars\\Both.wag"));
    const int cached = names.IndexOf(cachedName);
    const int stale = names.IndexOf(staleName);
    const int plain = names.IndexOf(QStringLiteral("Cars\\Plain.wag"));
    // The store comes first, as in the reading loops.
    EXPECT_EQ(ahead[both].root, App().StoreRootFolder);
    EXPECT_EQ(ahead[both].path, QStringLiteral("C:\\STORE\\TRAINS\\TRAINSET\\Cars\\Both.wag"));
    EXPECT_FALSE(ahead[both].cached);
    FileStamp stamp;
    EXPECT_EQ(ahead[both].age, FileAge(ahead[both].path, &stamp));
    EXPECT_TRUE(ahead[both].stamp.SameFile(stamp));
    EXPECT_TRUE(ahead[both].text.isEmpty()) << "the parse took it up";
    EXPECT_EQ(ahead[plain].root, App().MstsRootFolder);
    // The store's listing lacks it: the loop need not ask the store.
    EXPECT_TRUE(ahead[plain].earlierLack);
    EXPECT_TRUE(FoundAfterTheStore(&ahead[plain]));
    EXPECT_FALSE(FoundAfterTheStore(&ahead[both]));
    // A current section is taken, with the listed date; the store's listing lacks the file.
    EXPECT_TRUE(ahead[cached].cached);
    EXPECT_EQ(ahead[cached].root, App().MstsRootFolder);
    EXPECT_EQ(ahead[cached].age, FileAge(cachedPath));
    // A section of another date is read again.
    EXPECT_FALSE(ahead[stale].cached);
    EXPECT_EQ(ahead[stale].root, App().MstsRootFolder);
    parsedNames.sort();
    EXPECT_EQ(parsedNames,
              QStringList({"Cars\\Both.wag=1", "Cars\\Plain.wag=1", "Cars\\Stale.wag=1"}));
    EXPECT_EQ(takenNames, QStringList({cachedName}));

    // Asked for every file, the cached one is read too; without a parse the text is kept.
    const std::vector<AheadFile> every = ReadFilesAhead(names, cache, true, &listed, kBase);
    EXPECT_EQ(every[cached].root, App().MstsRootFolder);
    EXPECT_FALSE(every[cached].cached);
    EXPECT_TRUE(every[cached].text.contains(QStringLiteral("Cached")));
    EXPECT_TRUE(every[both].text.contains(QStringLiteral("In store")));

    // A store the listings tell nothing about may still hold the file; the loop asks it first.
    // A file without a section is read ahead from the MSTS folder that is known to hold it; one
    // with a section is left to the loop, which finds out whose section it is.
    ListedFileDates mstsOnly;
    StringList found;
    mstsOnly.AddListing(found, App().MstsRootFolder, QStringLiteral("C:\\MSTS") + kBase + "Cars",
                        QStringLiteral("Cars"), QStringLiteral("*.WAG"));
    const std::vector<AheadFile> fromMsts =
        ReadFilesAhead(names, cache, false, &mstsOnly, kBase, nullptr, [&](std::size_t, qint32) {
            ADD_FAILURE();
            return false;
        });
    EXPECT_EQ(fromMsts[both].root, App().MstsRootFolder);
    EXPECT_TRUE(fromMsts[both].text.contains(QStringLiteral("In MSTS")));
    EXPECT_FALSE(FoundAfterTheStore(&fromMsts[both])) << "the store must still be asked";
    EXPECT_TRUE(fromMsts[cached].root.isEmpty());
    EXPECT_TRUE(fromMsts[stale].root.isEmpty());

    // Without listings nothing is looked at.
    EXPECT_TRUE(ReadFilesAhead(names, cache, true, nullptr, kBase).empty());
}

TEST_F(ReadAheadTest, LeavesToTheLoopWhatTheListingCannotTellOrWhatWentMeanwhile) {
    builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Gone"), QStringLiteral("Gone"),
                     WagonType::Freight);
    builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Here"), QStringLiteral("Here"),
                     WagonType::Freight);
    List(QStringLiteral("Cars"));
    ASSERT_TRUE(DeleteFile(QStringLiteral("C:\\MSTS\\TRAINS\\TRAINSET\\Cars\\Gone.wag")));
    // Spelled otherwise than listed: the path layer decides which file that is.
    names.Add(QStringLiteral("CARS\\HERE.WAG"));
    // In a folder no listing looked at.
    names.Add(QStringLiteral("Other\\x.wag"));
    const IniFile cache;
    const std::vector<AheadFile> ahead = ReadFilesAhead(names, cache, false, &listed, kBase);
    ASSERT_EQ(ahead.size(), std::size_t(names.Count()));
    for (int i = 0; i < names.Count(); ++i) {
        const bool read = names[i] == QStringLiteral("Cars\\Here.wag");
        EXPECT_EQ(!ahead[i].root.isEmpty(), read) << names[i].toStdString();
        EXPECT_EQ(ahead[i].age != -1, read) << names[i].toStdString();
    }
    // Nothing to read ahead: no places at all.
    EXPECT_TRUE(ReadFilesAhead(StringList(), cache, true, &listed, kBase).empty());
}
