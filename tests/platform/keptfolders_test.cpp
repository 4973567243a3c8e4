// A file written below the MSTS folder or the store never lands outside them through a link.
#include "platform/keptfolders.h"
#include "platform/winfs.h"

#include "fixtures/tempmsts.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace qv {
namespace {

class KeptFoldersTest : public ::testing::Test {
protected:
    KeptFoldersTest() {
        SetKeptFoldersSource([] { return QStringList{"C:\\MSTS", "C:\\Store", ""}; });
    }
    ~KeptFoldersTest() override { SetKeptFoldersSource(nullptr); }

    void Link(const QString& target, const QString& link) {
        drive.MakeFolder(link.left(link.lastIndexOf('/')));
        ASSERT_TRUE(QFile::link(target, drive.Host(link)));
    }
    QString Real(const QString& relative) const {
        return QFileInfo(drive.Host(relative)).canonicalFilePath();
    }

    TempMsts drive;
};

TEST_F(KeptFoldersTest, AWriteOrCopyThroughALinkLeadingOutOfBothFoldersIsRefused) {
    drive.MakeFile("Outside/notes.txt", "notes");
    drive.MakeFile("Store/QVDATA/real.qvc", "old");
    Link("../../../../Outside/notes.txt", "MSTS/Routes/Hill/ACTIVITIES/EXPLORER.ACT");
    Link("../../../Outside", "MSTS/Routes/Hill/SERVICES");
    Link("../../../../Store/QVDATA/real.qvc", "MSTS/Routes/Hill/ACTIVITIES/inside.act");
    const struct {
        const char* path;
        bool copy;
        const char* link; // the link named, empty when the write goes through
    } cases[] = {
        {"C:\\msts\\routes\\hill\\activities\\explorer.act", false,
         "MSTS/Routes/Hill/ACTIVITIES/EXPLORER.ACT"},
        {"C:\\MSTS\\Routes\\Hill\\SERVICES\\QV_~TEMP.srv", false, "MSTS/Routes/Hill/SERVICES"},
        {"C:\\MSTS\\Routes\\Hill\\SERVICES\\copied.srv", true, "MSTS/Routes/Hill/SERVICES"},
        {"C:\\MSTS\\Routes\\Hill\\ACTIVITIES\\inside.act", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        int error = 0;
        const bool done = c.copy ? CopyFileWithTimes("C:\\Store\\QVDATA\\real.qvc", c.path, &error)
                                 : WriteFileAtomic(c.path, "new", &error);
        LinkOut out;
        const bool leads = KeptFolderCheck().LeadsOut(c.path, &out);
        EXPECT_EQ(done, !*c.link);
        EXPECT_EQ(leads, bool(*c.link));
        if (*c.link) {
            EXPECT_EQ(error, kFsLinkLeaves);
            EXPECT_EQ(out.link, drive.Host(c.link));
        }
    }
    EXPECT_EQ(drive.NamesIn("Outside"), QStringList{"notes.txt"});
    EXPECT_EQ(drive.Content("Outside/notes.txt"), "notes");
    EXPECT_EQ(drive.Content("Store/QVDATA/real.qvc"), "new");
    LinkOut out;
    ASSERT_TRUE(
        KeptFolderCheck().LeadsOut("C:\\MSTS\\Routes\\Hill\\ACTIVITIES\\EXPLORER.ACT", &out));
    EXPECT_EQ(out.target, Real("Outside/notes.txt"));
    // A file the user chose outside both folders is written as before.
    Link("../Outside/notes.txt", "Elsewhere/notes.lnk");
    EXPECT_TRUE(WriteFileAtomic("C:\\Elsewhere\\notes.lnk", "chosen"));
    EXPECT_EQ(drive.Content("Outside/notes.txt"), "chosen");
}

} // namespace
} // namespace qv
