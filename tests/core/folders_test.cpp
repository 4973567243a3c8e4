#include "core/folders.h"
#include "fixtures/tempmsts.h"
#include "platform/drivemap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

using namespace qv;

namespace {

// Drive T: stands for a fresh temporary folder.
class FoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        DriveMap map;
        map.SetDrive(QLatin1Char('T'), tmp.path());
        SetDriveMap(map);
    }
    void TearDown() override { ResetDriveMap(); }

    void MakeFolder(const QString& relative) { ASSERT_TRUE(QDir(tmp.path()).mkpath(relative)); }
    void MakeFile(const QString& relative) {
        QFile file(tmp.path() + QLatin1Char('/') + relative);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir tmp;
};

} // namespace

TEST_F(FoldersTest, IsFolderEmpty_TrueForAnEmptyOrMissingFolder) {
    MakeFolder(QStringLiteral("Store"));
    EXPECT_TRUE(IsFolderEmpty(QStringLiteral("T:\\Store")));
    EXPECT_TRUE(IsFolderEmpty(QStringLiteral("T:\\STORE\\")));
    EXPECT_TRUE(IsFolderEmpty(QStringLiteral("T:\\Missing")));
    EXPECT_TRUE(IsFolderEmpty(QStringLiteral("T:\\Missing\\Deeper")));
}

TEST_F(FoldersTest, IsFolderEmpty_FalseForAnyFileOrSubFolder) {
    MakeFolder(QStringLiteral("Store/QVDATA"));
    EXPECT_FALSE(IsFolderEmpty(QStringLiteral("T:\\store")));
    EXPECT_TRUE(IsFolderEmpty(QStringLiteral("T:\\store\\qvdata")));

    MakeFolder(QStringLiteral("Files"));
    MakeFile(QStringLiteral("Files/.hidden"));
    EXPECT_FALSE(IsFolderEmpty(QStringLiteral("T:\\Files")));
}

TEST_F(FoldersTest, IsFolderEmpty_FalseWhenTheFolderCannotBeToldApart) {
    // Two host folders whose names differ only in case: the path names neither for certain, so
    // its content cannot be vouched for.
    MakeFolder(QStringLiteral("Data"));
    MakeFolder(QStringLiteral("DATA"));
    EXPECT_FALSE(IsFolderEmpty(QStringLiteral("T:\\data")));
    EXPECT_TRUE(IsFolderEmpty(QStringLiteral("T:\\Data")));
}

TEST(IsInsideFolder, ComparesWholeNamesWithoutRegardToCase) {
    const std::tuple<const char*, bool, bool> cases[] = {
        // path, with orSame, without
        {"C:\\Store", true, false},
        {"c:\\store\\", true, false},
        {"C:\\Store\\Shots", true, true},
        {"C:\\STORE\\a\\..\\b", true, true},
        {"C:\\Store2", false, false},
        {"C:\\Stor", false, false},
        {"D:\\Shots\\Store", false, false},
        {"D:\\Store\\Shots", false, false},
        {"C:\\Store\\..\\Other", false, false},
        {"", false, false},
    };
    for (const auto& [path, orSame, below] : cases) {
        const QString folder = QString::fromLatin1(path);
        EXPECT_EQ(IsInsideFolder(folder, QStringLiteral("C:\\Store"), true), orSame) << path;
        EXPECT_EQ(IsInsideFolder(folder, QStringLiteral("C:\\Store"), false), below) << path;
    }
    EXPECT_FALSE(IsInsideFolder(QStringLiteral("C:\\Store"), QString(), true));
}

// C: and Z: of a Wine prefix lead to one disk: a folder reached through the other letter is
// judged by where it lies on the host, a folder still to be made by its existing part.
TEST(IsInsideFolder, ThroughAnotherDriveLetterComparesTheHostFolders) {
    TempMsts drive;
    drive.MakeFolder("MSTS/Routes");
    drive.MakeFolder("MSTS2");
    const auto throughZ = [&](const QString& relative) {
        return "Z:" + drive.Host(relative).replace(u'/', u'\\');
    };
    const std::tuple<QString, bool, bool> cases[] = {
        // path, with orSame, without
        {throughZ("MSTS"), true, false},          {throughZ("MSTS/Routes"), true, true},
        {throughZ("MSTS/Store/New"), true, true}, {throughZ("msts/routes"), true, true},
        {throughZ("MSTS2"), false, false},        {throughZ("Other/Store"), false, false},
        {"Q:\\MSTS\\Store", false, false},
    };
    for (const auto& [path, orSame, below] : cases) {
        EXPECT_EQ(IsInsideFolder(path, QStringLiteral("C:\\MSTS"), true), orSame)
            << path.toStdString();
        EXPECT_EQ(IsInsideFolder(path, QStringLiteral("C:\\MSTS"), false), below)
            << path.toStdString();
    }
    EXPECT_TRUE(IsInsideFolder(QStringLiteral("C:\\MSTS\\Routes"), throughZ("MSTS"), false));
}
