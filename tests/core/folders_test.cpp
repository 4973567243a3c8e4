#include "core/folders.h"
#include "platform/drivemap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
