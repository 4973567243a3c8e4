#include "catalogue/listeddates.h"
#include "core/appstate.h"
#include "fixtures/tempmsts.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include <gtest/gtest.h>
#include <thread>
#include <utility>
#include <vector>

using namespace qv;

namespace {

class ListedDates : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().MstsRootFolder = "C:\\MSTS";
        App().StoreRootFolder = "C:\\STORE";
    }
    void TearDown() override { ResetAppState(); }

    ListedFileDates::Answer Find(const QString& root, const QString& name, qint32* date = nullptr) {
        qint32 ignored = 0;
        return listed_.Find(root, name, date ? date : &ignored);
    }

    ListedFileDates listed_;
};

using Answer = ListedFileDates::Answer;

} // namespace

TEST_F(ListedDates, ExactNamesAreKnownAndOtherSpellingsAreLeftToTheFileSystem) {
    listed_.AddParent("C:\\MSTS", "");
    listed_.AddFolder("C:\\MSTS", "Loco", {"a.eng"}, {41});
    qint32 date = 0;
    EXPECT_EQ(Find("C:\\MSTS", "Loco\\a.eng", &date), Answer::Known);
    EXPECT_EQ(date, 41);
    // The path layer decides which file another spelling names.
    EXPECT_EQ(Find("C:\\MSTS", "LOCO\\A.ENG"), Answer::Unknown);
    // Nothing like it in a listed folder, or a folder its listed parent lacks.
    EXPECT_EQ(Find("C:\\MSTS", "Loco\\b.eng"), Answer::Absent);
    EXPECT_EQ(Find("C:\\MSTS", "Other\\b.eng"), Answer::Absent);
    // The other root was not listed at all, nor is an unknown root.
    EXPECT_EQ(Find("C:\\STORE", "Loco\\a.eng"), Answer::Unknown);
    EXPECT_EQ(Find("D:\\ELSE", "Loco\\a.eng"), Answer::Unknown);
}

TEST_F(ListedDates, NamesAlikeAreLeftToTheFileSystem) {
    listed_.AddFolder("C:\\STORE", "", {"TWIN.con", "twin.con"}, {6, 7});
    EXPECT_EQ(Find("C:\\STORE", "twin.con"), Answer::Unknown);
    EXPECT_EQ(Find("C:\\STORE", "TWIN.con"), Answer::Unknown);
    EXPECT_EQ(Find("C:\\STORE", "none.con"), Answer::Absent);

    // Two folders alike: a name missing from one may stand in the other.
    listed_.AddFolder("C:\\MSTS", "Routes\\A\\PATHS");
    listed_.AddFolder("C:\\MSTS", "ROUTES\\a\\PATHS");
    EXPECT_EQ(Find("C:\\MSTS", "Routes\\A\\PATHS\\x.pat"), Answer::Unknown);
    // A folder that was never listed tells nothing.
    EXPECT_EQ(Find("C:\\MSTS", "Routes\\B\\PATHS\\x.pat"), Answer::Unknown);
}

TEST_F(ListedDates, FoldersListedInAnyOrderAndOneMaskAtATimeAnswerEveryName) {
    listed_.AddFolder("C:\\MSTS", "Stock", {"c.wag", "A.wag", "b.wag"}, {3, 1, 2});
    listed_.AddFolder("C:\\MSTS", "Stock", {"z.eng", "m.eng"}, {26, 13});
    listed_.AddFolder("C:\\MSTS", "Stock", {}, {}); // a mask that matched nothing
    for (const auto& [name, want] : std::vector<std::pair<QString, qint32>>{{"Stock\\A.wag", 1},
                                                                            {"Stock\\b.wag", 2},
                                                                            {"Stock\\c.wag", 3},
                                                                            {"Stock\\m.eng", 13},
                                                                            {"Stock\\z.eng", 26}}) {
        qint32 date = 0;
        EXPECT_EQ(Find("C:\\MSTS", name, &date), Answer::Known) << name.toStdString();
        EXPECT_EQ(date, want) << name.toStdString();
    }
    // The folder spelled otherwise is the same folder; names between and beyond the listed
    // ones are absent.
    qint32 date = 0;
    EXPECT_EQ(Find("C:\\MSTS", "STOCK\\b.wag", &date), Answer::Known);
    EXPECT_EQ(date, 2);
    for (const char* absent : {"Stock\\0.wag", "Stock\\bb.wag", "Stock\\zz.eng", "Stock\\n.eng"})
        EXPECT_EQ(Find("C:\\MSTS", absent), Answer::Absent) << absent;
    EXPECT_EQ(Find("C:\\MSTS", "Stock\\a.wag"), Answer::Unknown);

    // A folder listed later than a look into it is seen at once.
    listed_.AddParent("C:\\MSTS", "");
    EXPECT_EQ(Find("C:\\MSTS", "Late\\x.wag"), Answer::Absent);
    listed_.AddFolder("C:\\MSTS", "Late", {"x.wag"}, {8});
    EXPECT_EQ(Find("C:\\MSTS", "Late\\x.wag"), Answer::Known);

    // Beyond ASCII the path layer's folding decides: a name missing from such a folder may
    // still be found there in another spelling.
    listed_.AddFolder("C:\\MSTS", "Kelvin", {QString::fromUtf8("\u212A.wag")}, {5});
    EXPECT_EQ(Find("C:\\MSTS", "Kelvin\\k.wag"), Answer::Unknown);
    EXPECT_EQ(Find("C:\\MSTS", QString::fromUtf8("Stock\\\u00e9.wag")), Answer::Unknown);
}

TEST_F(ListedDates, LookupsWithCursorsOfTheirOwnAnswerAsTheSharedOnesOnEveryThread) {
    listed_.AddParent("C:\\MSTS", "");
    listed_.AddParent("C:\\STORE", "");
    std::vector<QString> names;
    for (int f = 0; f < 40; ++f) {
        QStringList files;
        QList<qint32> dates;
        for (int n = 0; n < 25; ++n) {
            files << QStringLiteral("w%1.wag").arg(n, 2, 10, QLatin1Char('0'));
            dates << f * 100 + n;
            names.push_back(QStringLiteral("F%1\\").arg(f) + files.last());
        }
        // Every other folder in the store, the rest in the MSTS folder.
        listed_.AddFolder(f % 2 ? "C:\\STORE" : "C:\\MSTS", QStringLiteral("F%1").arg(f), files,
                          dates);
    }
    names.push_back("Gone\\x.wag");
    struct Seen {
        Answer store, msts;
        qint32 date;
    };
    const auto look = [&](const QString& name, ListedFileDates::Cursor* cursor) {
        Seen seen{Answer::Unknown, Answer::Unknown, -1};
        qint32 date = -1;
        seen.store = listed_.Find("C:\\STORE", name, &date, nullptr, cursor);
        seen.msts = listed_.Find("C:\\MSTS", name, &date, nullptr, cursor);
        seen.date = date;
        return seen;
    };
    std::vector<Seen> shared;
    for (const QString& name : names)
        shared.push_back(look(name, nullptr));
    EXPECT_EQ(shared[0].msts, Answer::Known);
    EXPECT_EQ(shared[0].store, Answer::Absent);
    EXPECT_EQ(shared[25].store, Answer::Known);
    EXPECT_EQ(shared[25].date, 100);
    EXPECT_EQ(shared.back().msts, Answer::Absent);

    // Four threads, each going through the names from another place.
    std::vector<std::vector<Seen>> found(4);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < found.size(); ++t) {
        threads.emplace_back([&, t] {
            ListedFileDates::Cursor cursor;
            found[t].resize(names.size());
            for (std::size_t k = 0; k < names.size(); ++k) {
                const std::size_t i = (k + t * 251) % names.size();
                found[t][i] = look(names[i], &cursor);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (const std::vector<Seen>& seen : found) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(seen[i].store, shared[i].store) << names[i].toStdString();
            EXPECT_EQ(seen[i].msts, shared[i].msts) << names[i].toStdString();
            EXPECT_EQ(seen[i].date, shared[i].date) << names[i].toStdString();
        }
    }
}

TEST_F(ListedDates, ListedFileAsksTheFileSystemOnlyWhenTheListingCannotTellOrBeforeAReading) {
    TempMsts drive;
    drive.MakeFile("MSTS/X/a.con", "x");
    const qint32 onDisk = FileAge("C:\\MSTS\\X\\a.con");
    ASSERT_NE(onDisk, -1);
    listed_.AddFolder("C:\\MSTS", "", {"a.con"}, {9});

    ListedFile known(&listed_, "C:\\MSTS", QLatin1StringView("\\X\\"), "a.con");
    EXPECT_EQ(known.Age(), 9);
    // About to be read: the file system gives its date as it is now.
    ASSERT_TRUE(known.AskNow());
    EXPECT_EQ(known.Age(), onDisk);
    EXPECT_EQ(known.Path(), "C:\\MSTS\\X\\a.con");
    EXPECT_EQ(known.Stamp().size, 1);

    EXPECT_EQ(ListedFile(&listed_, "C:\\MSTS", QLatin1StringView("\\X\\"), "b.con").Age(), -1);
    // Without a listing the file system is asked at once.
    EXPECT_EQ(ListedFile(nullptr, "C:\\MSTS", QLatin1StringView("\\X\\"), "a.con").Age(), onDisk);
    ListedFile gone(nullptr, "C:\\MSTS", QLatin1StringView("\\X\\"), "gone.con");
    EXPECT_EQ(gone.Age(), -1);
    EXPECT_FALSE(gone.AskNow());
}

TEST_F(ListedDates, AKeptListingIsTakenWhileNothingChangedAndItAskedTheDiskNothing) {
    TempMsts drive;
    drive.MakeFile("MSTS/Trains/Trainset/Car/a.wag");
    drive.AgeTree();
    int listings = 0;
    bool askDisk = false;
    KeptListing kept;
    const auto list = [&](StringList& files, ListedFileDates& listed) {
        kept.List(files, listed, [&] {
            ++listings;
            files.Add("Car\\a.wag");
            listed.AddFolder("C:\\MSTS", "Car", {"a.wag"}, {7});
            if (askDisk) {
                ClearFolderCache();
                QString host;
                ResolvePath("C:\\MSTS\\Trains", &host);
            }
        });
    };
    StringList files;
    ListedFileDates listed;
    list(files, listed);
    ASSERT_EQ(listings, 1);
    // Taken again, with the same files and dates.
    StringList again;
    ListedFileDates listedAgain;
    list(again, listedAgain);
    EXPECT_EQ(listings, 1);
    EXPECT_EQ(again.Strings(), QStringList{"Car\\a.wag"});
    qint32 date = 0;
    EXPECT_EQ(listedAgain.Find("C:\\MSTS", "Car\\a.wag", &date), Answer::Known);
    EXPECT_EQ(date, 7);

    // The path layer learnt of a change: listed again.
    ClearFolderCache();
    list(files, listed);
    EXPECT_EQ(listings, 2);
    list(files, listed);
    EXPECT_EQ(listings, 2);
    // Other roots: listed again.
    App().StoreRootFolder = "C:\\OTHER";
    list(files, listed);
    EXPECT_EQ(listings, 3);
    // A listing that asked the disk is not kept.
    askDisk = true;
    ClearFolderCache();
    list(files, listed);
    list(files, listed);
    EXPECT_EQ(listings, 5);
}
