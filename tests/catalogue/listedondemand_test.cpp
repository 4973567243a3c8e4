#include "catalogue/listedondemand.h"

#include "catalogue/stockrecords.h"
#include "core/appstate.h"
#include "core/stringlist.h"
#include "fixtures/tempmsts.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

using Answer = ListedFileDates::Answer;

class ListedOnDemandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        App().MstsRootFolder = "C:\\MSTS";
        App().StoreRootFolder = "C:\\STORE";
        ClearFolderCache();
    }
    void TearDown() override {
        ClearFolderCache();
        ResetAppState();
    }

    Answer Find(ListedOnDemand& dates, const QString& root, const QString& name,
                qint32* date = nullptr) {
        qint32 ignored = 0;
        return dates.Find(root, name, date ? date : &ignored);
    }

    TempMsts drive;
};

} // namespace

// A folder is listed in both roots when a file of it is first asked for; every answer agrees with
// what the path layer finds by the file's path.
TEST_F(ListedOnDemandTest, ListsTheFolderInBothRootsAndAnswersAsThePathLayer) {
    drive.MakeFile("MSTS/Trains/Trainset/Loco/a.eng");
    drive.MakeFile("STORE/Trains/Trainset/Loco/b.eng");
    drive.MakeFile("STORE/Trains/Trainset/Wagon/c.wag");
    ListedOnDemand dates(kTrainsetBase);

    qint32 date = 0;
    EXPECT_EQ(Find(dates, "C:\\MSTS", "Loco\\a.eng", &date), Answer::Known);
    EXPECT_EQ(date, FileAge("C:\\MSTS\\TRAINS\\TRAINSET\\Loco\\a.eng"));
    EXPECT_EQ(Find(dates, "C:\\STORE", "Loco\\a.eng"), Answer::Absent);
    EXPECT_EQ(Find(dates, "C:\\STORE", "Loco\\b.eng"), Answer::Known);
    EXPECT_EQ(Find(dates, "C:\\MSTS", "Loco\\b.eng"), Answer::Absent);
    // A folder one root lacks holds nothing there; the other root lists it.
    EXPECT_EQ(Find(dates, "C:\\MSTS", "Wagon\\c.wag"), Answer::Absent);
    EXPECT_EQ(Find(dates, "C:\\STORE", "Wagon\\c.wag"), Answer::Known);
    EXPECT_EQ(Find(dates, "C:\\MSTS", "Gone\\x.wag"), Answer::Absent);
    // Another spelling, and a name that climbs, are left to the path layer.
    EXPECT_EQ(Find(dates, "C:\\MSTS", "LOCO\\A.ENG"), Answer::Unknown);
    EXPECT_EQ(Find(dates, "C:\\MSTS", "Other\\..\\Loco2\\a.eng"), Answer::Unknown);
}

// Many names are listed by their folders in one go, each folder once; a folder a root lacks is
// known to be empty there from its parent's listing.
TEST_F(ListedOnDemandTest, ListsTheFoldersOfManyNamesTogether) {
    StringList names;
    for (int f = 0; f < 80; ++f) {
        const QString folder = QStringLiteral("F%1").arg(f);
        drive.MakeFile(QStringLiteral("MSTS/Trains/Trainset/%1/a.wag").arg(folder));
        if (f % 10 == 0)
            drive.MakeFile(QStringLiteral("STORE/Trains/Trainset/%1/b.wag").arg(folder));
        names.Add(folder + QStringLiteral("\\a.wag"));
        names.Add(folder + QStringLiteral("\\b.wag"));
    }
    names.Add("..\\out.wag");
    ListedOnDemand dates(kTrainsetBase);
    dates.ListFoldersOf(names);

    const qint64 reads = FolderReadCount();
    for (int f = 0; f < 80; ++f) {
        const QString folder = QStringLiteral("F%1\\").arg(f);
        EXPECT_EQ(Find(dates, "C:\\MSTS", folder + "a.wag"), Answer::Known) << f;
        EXPECT_EQ(Find(dates, "C:\\MSTS", folder + "b.wag"), Answer::Absent) << f;
        EXPECT_EQ(Find(dates, "C:\\STORE", folder + "a.wag"), Answer::Absent) << f;
        EXPECT_EQ(Find(dates, "C:\\STORE", folder + "b.wag"),
                  f % 10 == 0 ? Answer::Known : Answer::Absent)
            << f;
    }
    EXPECT_EQ(FolderReadCount(), reads) << "a folder was listed again";
}

// A parent that holds a sub-folder in another letter case, or a name beyond ASCII, tells nothing
// about the folder asked for: the folder is listed, and found, as the path layer finds it.
TEST_F(ListedOnDemandTest, AParentWithANameAlikeOrBeyondAsciiDoesNotRuleAFolderOut) {
    drive.MakeFile("STORE/Trains/Trainset/LOCO/a.eng");
    drive.MakeFile(QString::fromUtf8("MSTS/Trains/Trainset/\u212aelvin/k.eng"));
    drive.MakeFile("MSTS/Trains/Trainset/Other/o.eng");
    ListedOnDemand dates(kTrainsetBase);

    // The store spells the folder in capitals: its listing is asked for, and tells.
    EXPECT_NE(Find(dates, "C:\\STORE", "Loco\\a.eng"), Answer::Absent);
    EXPECT_TRUE(FileExists("C:\\STORE\\TRAINS\\TRAINSET\\Loco\\a.eng"));
    // The Kelvin sign folds to a "k": "kelvin" may be that folder, so the parent rules nothing
    // out, and the path layer decides.
    EXPECT_NE(Find(dates, "C:\\MSTS", "kelvin\\k.eng"), Answer::Absent);
    EXPECT_EQ(Find(dates, "C:\\MSTS", "Other\\o.eng"), Answer::Known);
}
