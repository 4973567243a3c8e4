#include "catalogue/readahead.h"

#include "catalogue/listeddates.h"
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

TEST_F(ReadAheadTest, ReadsFilesWithoutASectionFromTheRootTheListingPlacesThemIn) {
    builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Both"), QStringLiteral("In store"),
                     WagonType::Freight, Into::Store);
    builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Both"), QStringLiteral("In MSTS"),
                     WagonType::Freight);
    builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Cached"), QStringLiteral("Cached"),
                     WagonType::Freight);
    builder.AddWagon(QStringLiteral("Cars"), QStringLiteral("Plain"), QStringLiteral("Plain"),
                     WagonType::Freight);
    List(QStringLiteral("Cars"));
    ASSERT_EQ(names.Count(), 3);
    IniFile cache;
    cache.WriteInteger(QStringLiteral("Cars\\Cached.wag"), QStringLiteral("FileDate"), 1);

    QMutex lock;
    QStringList parsedNames;
    const std::vector<AheadFile> ahead = ReadFilesAhead(
        names, cache, false, &listed, kBase, [&](std::size_t i, MstsTextReader& reader) {
            QString line;
            int lines = 0;
            while (reader.ReadLine(&line))
                ++lines;
            const QMutexLocker locked(&lock);
            parsedNames << names[int(i)] + u'=' + QString::number(lines > 0);
        });
    ASSERT_EQ(ahead.size(), 3u);
    const int both = names.IndexOf(QStringLiteral("Cars\\Both.wag"));
    const int cached = names.IndexOf(QStringLiteral("Cars\\Cached.wag"));
    const int plain = names.IndexOf(QStringLiteral("Cars\\Plain.wag"));
    // The store comes first, as in the reading loops.
    EXPECT_EQ(ahead[both].root, App().StoreRootFolder);
    EXPECT_EQ(ahead[both].path, QStringLiteral("C:\\STORE\\TRAINS\\TRAINSET\\Cars\\Both.wag"));
    FileStamp stamp;
    EXPECT_EQ(ahead[both].age, FileAge(ahead[both].path, &stamp));
    EXPECT_TRUE(ahead[both].stamp.SameFile(stamp));
    EXPECT_TRUE(ahead[both].text.isEmpty()) << "the parse took it up";
    EXPECT_EQ(ahead[plain].root, App().MstsRootFolder);
    EXPECT_TRUE(ahead[cached].root.isEmpty()) << "its section is there";
    parsedNames.sort();
    EXPECT_EQ(parsedNames, QStringList({"Cars\\Both.wag=1", "Cars\\Plain.wag=1"}));

    // Asked for every file, the cached one is read too; without a parse the text is kept.
    const std::vector<AheadFile> every = ReadFilesAhead(names, cache, true, &listed, kBase);
    EXPECT_EQ(every[cached].root, App().MstsRootFolder);
    EXPECT_TRUE(every[cached].text.contains(QStringLiteral("Cached")));
    EXPECT_TRUE(every[both].text.contains(QStringLiteral("In store")));

    // A store the listings tell nothing about may still hold the file; the loop asks it first,
    // and the file is read ahead from the MSTS folder that is known to hold it.
    ListedFileDates mstsOnly;
    StringList found;
    mstsOnly.AddListing(found, App().MstsRootFolder, QStringLiteral("C:\\MSTS") + kBase + "Cars",
                        QStringLiteral("Cars"), QStringLiteral("*.WAG"));
    const std::vector<AheadFile> fromMsts = ReadFilesAhead(names, cache, false, &mstsOnly, kBase);
    EXPECT_EQ(fromMsts[both].root, App().MstsRootFolder);
    EXPECT_TRUE(fromMsts[both].text.contains(QStringLiteral("In MSTS")));

    // Without listings nothing is read ahead.
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
