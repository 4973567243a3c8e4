// Folders made below the kept folders, one at a time or a job's many together: none is made
// through a link that leads out of the kept folders, also where the link was put in place of a
// real folder after folders were made in it.
#include "platform/keptfolders.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include "fixtures/tempmsts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace qv;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

TEST(FoldersMade, NoneThroughALinkLeadingOutOfTheKeptFolders) {
    SetKeptFoldersSource([] { return QStringList{S("C:\\MSTS"), S("C:\\STORE")}; });
    const struct {
        const char* folder;
        bool made;
    } folders[] = {
        {"C:\\STORE\\Linked\\New", false},      // the link leads out
        {"C:\\STORE\\Linked\\A\\B", false},     // so does the way to a deeper one
        {"C:\\STORE\\Inside\\New", true},       // a link into the MSTS folder stays inside
        {"C:\\STORE\\Real\\New", true},         // a real folder
        {"C:\\STORE\\Real\\Deeper\\New", true}, // and its parents made with it
    };
    for (const bool together : {false, true}) {
        SCOPED_TRACE(together ? "together" : "one at a time");
        TempMsts drive;
        drive.MakeFolder(S("Outside"));
        drive.MakeFolder(S("MSTS/Shared"));
        drive.MakeFolder(S("STORE/Real"));
        ASSERT_TRUE(QFile::link(drive.Host(S("Outside")), drive.Host(S("STORE/Linked"))));
        ASSERT_TRUE(QFile::link(drive.Host(S("MSTS/Shared")), drive.Host(S("STORE/Inside"))));
        QStringList paths;
        for (const auto& f : folders)
            paths << S(f.folder);
        int error = 0;
        if (together) {
            EXPECT_FALSE(ForceFoldersTogether(paths, &error));
            EXPECT_EQ(error, kFsLinkLeaves);
        } else {
            for (const auto& f : folders) {
                error = 0;
                EXPECT_EQ(ForceFolders(S(f.folder), &error), f.made) << f.folder;
                EXPECT_EQ(error, f.made ? 0 : kFsLinkLeaves) << f.folder;
            }
        }
        for (const auto& f : folders)
            EXPECT_EQ(FolderExists(S(f.folder)), f.made) << f.folder;
        EXPECT_TRUE(QDir(drive.Host(S("Outside"))).isEmpty());
        EXPECT_TRUE(QFileInfo(drive.Host(S("MSTS/Shared/New"))).isDir());
    }
    SetKeptFoldersSource(nullptr);
}

// A job's folders made in a store folder, then another program moves that folder aside and puts
// a link to another installation's folder in its place: the next folders are not made there.
TEST(FoldersMade, NoneTogetherThroughALinkPutInPlaceOfAFolderAlreadyUsed) {
    SetKeptFoldersSource([] { return QStringList{S("C:\\MSTS"), S("C:\\STORE")}; });
    TempMsts drive;
    drive.MakeFolder(S("Other/TRAINSET"));
    drive.MakeFolder(S("STORE/TRAINS/TRAINSET"));
    ASSERT_TRUE(ForceFoldersTogether(
        {S("C:\\STORE\\TRAINS\\TRAINSET\\A1"), S("C:\\STORE\\TRAINS\\TRAINSET\\A2")}));
    const QByteArray trainset = QFile::encodeName(drive.Host(S("STORE/TRAINS/TRAINSET")));
    ASSERT_EQ(rename(trainset, trainset + ".aside"), 0);
    ASSERT_TRUE(
        QFile::link(drive.Host(S("Other/TRAINSET")), drive.Host(S("STORE/TRAINS/TRAINSET"))));
    int error = 0;
    EXPECT_FALSE(ForceFoldersTogether(
        {S("C:\\STORE\\TRAINS\\TRAINSET\\B1"), S("C:\\STORE\\TRAINS\\TRAINSET\\B2")}, &error));
    EXPECT_EQ(error, kFsLinkLeaves);
    EXPECT_TRUE(QDir(drive.Host(S("Other/TRAINSET"))).isEmpty());
    SetKeptFoldersSource(nullptr);
}
