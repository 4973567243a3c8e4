// A file written below the MSTS folder or the store never lands outside them through a link.
#include "platform/keptfolders.h"
#include "platform/winfs.h"

#include "fixtures/tempmsts.h"

#include <QFile>
#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(KeptFolders, AWriteThroughALinkLeadingOutOfBothFoldersIsRefused) {
    TempMsts drive;
    SetKeptFoldersSource([] { return QStringList{"C:\\MSTS", "C:\\Store", ""}; });
    drive.MakeFile("Outside/notes.txt", "notes");
    drive.MakeFile("Store/QVDATA/real.qvc", "old");
    drive.MakeFolder("MSTS/Hill/ACTIVITIES");
    for (const auto& [target, link] : {std::pair{"../../../Outside/notes.txt", "ACTIVITIES/X.ACT"},
                                       {"../../Outside", "SERVICES"},
                                       {"../../../Store/QVDATA/real.qvc", "ACTIVITIES/in.act"}})
        ASSERT_TRUE(QFile::link(target, drive.Host(QString("MSTS/Hill/") + link)));
    const struct {
        const char* path;
        bool written;
    } cases[] = {{"C:\\msts\\hill\\activities\\x.act", false},
                 {"C:\\MSTS\\Hill\\SERVICES\\QV_~TEMP.srv", false},
                 {"C:\\MSTS\\Hill\\ACTIVITIES\\in.act", true}};
    for (const auto& c : cases) {
        int error = 0;
        EXPECT_EQ(WriteFileAtomic(c.path, "new", &error), c.written) << c.path;
        EXPECT_EQ(error, c.written ? 0 : kFsLinkLeaves) << c.path;
    }
    EXPECT_EQ(drive.NamesIn("Outside"), QStringList{"notes.txt"});
    EXPECT_EQ(drive.Content("Outside/notes.txt"), "notes");
    EXPECT_EQ(drive.Content("Store/QVDATA/real.qvc"), "new");
    SetKeptFoldersSource(nullptr);
}

} // namespace
} // namespace qv
