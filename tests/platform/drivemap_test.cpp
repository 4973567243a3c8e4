#include "platform/drivemap.h"

#include "fixtures/tempmsts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qv;

namespace {

QString S(const char* text) {
    return QString::fromUtf8(text);
}

} // namespace

TEST(DriveMap, WinePrefixAddsItsDriveLinksBesideZ) {
    QTemporaryDir dir;
    const QString prefix = dir.path();
    QDir(prefix).mkpath(S("dosdevices"));
    QDir(prefix).mkpath(S("drive_c"));
    QDir(prefix).mkpath(S("media"));
    QFile::link(S("../drive_c"), prefix + S("/dosdevices/c:"));
    QFile::link(prefix + S("/media"), prefix + S("/dosdevices/D:"));
    QFile::link(S("/dev/sr0"), prefix + S("/dosdevices/d::")); // a raw device, not a drive
    QFile::link(S("/dev/ttyS0"), prefix + S("/dosdevices/com1"));
    QFile::link(S("/home"), prefix + S("/dosdevices/z:")); // Z: stays the host's root

    const DriveMap map = DriveMap::FromWinePrefix(prefix);
    EXPECT_EQ(map.HostRoot(QLatin1Char('c')), prefix + S("/drive_c"));
    EXPECT_EQ(map.HostRoot(QLatin1Char('D')), prefix + S("/media"));
    EXPECT_EQ(map.HostRoot(QLatin1Char('Z')), S("/"));
    EXPECT_EQ(map.Drives().size(), 3);
}

TEST(DriveMap, WindowsPathMapsToHostPathLiterally) {
    DriveMap map;
    map.SetDrive(QLatin1Char('c'), S("/wine/drive_c/"));
    EXPECT_EQ(map.ToHost(S("C:\\MSTS\\Trains\\x.con")), S("/wine/drive_c/MSTS/Trains/x.con"));
    EXPECT_EQ(map.ToHost(S("c:/MSTS\\.\\Routes\\..\\Trains\\")), S("/wine/drive_c/MSTS/Trains"));
    EXPECT_EQ(map.ToHost(S("C:\\..\\..\\etc")), S("/wine/drive_c/etc")) << "never above the root";
    EXPECT_EQ(map.ToHost(S("C:\\")), S("/wine/drive_c"));
    EXPECT_EQ(map.ToHost(S("Z:\\tmp\\a")), S("/tmp/a"));
    EXPECT_TRUE(map.ToHost(S("D:\\x")).isEmpty()) << "unmapped drive";
    EXPECT_TRUE(map.ToHost(S("MSTS\\x")).isEmpty()) << "not a full path";
}

TEST(DriveMap, HostPathTakesTheDriveWithTheLongestRoot) {
    DriveMap map;
    map.SetDrive(QLatin1Char('C'), S("/wine/drive_c"));
    map.SetDrive(QLatin1Char('E'), S("/wine/drive_c/games"));
    EXPECT_EQ(map.ToWindows(S("/wine/drive_c/MSTS/x.con")), S("C:\\MSTS\\x.con"));
    EXPECT_EQ(map.ToWindows(S("/wine/drive_c/games/MSTS")), S("E:\\MSTS"));
    EXPECT_EQ(map.ToWindows(S("/wine/drive_c")), S("C:\\"));
    EXPECT_EQ(map.ToWindows(S("/wine/drive_cx/a")), S("Z:\\wine\\drive_cx\\a"))
        << "a root matches whole components only";
    EXPECT_EQ(map.ToWindows(S("/home/me/a.QVS")), S("Z:\\home\\me\\a.QVS"));
    map.SetDrive(QLatin1Char('E'), QString());
    EXPECT_EQ(map.ToWindows(S("/wine/drive_c/games/MSTS")), S("C:\\games\\MSTS"));
}

TEST(DriveMap, HostPathThroughALinkStillFindsItsDrive) {
    TempMsts drive;
    drive.MakeFolder(S("MSTS"));
    QTemporaryDir other;
    const QString link = other.path() + S("/msts-link");
    ASSERT_TRUE(QFile::link(drive.Host(S("MSTS")), link));
    EXPECT_EQ(TheDriveMap().ToWindows(link + S("/Trains")), S("C:\\MSTS\\Trains"));
}

TEST(SplitWindowsPath, AcceptsOnlyFullDrivePaths) {
    QChar drive;
    QStringList parts;
    ASSERT_TRUE(SplitWindowsPath(S("c:\\A\\\\b\\"), &drive, &parts));
    EXPECT_EQ(drive, QLatin1Char('C'));
    EXPECT_EQ(parts, QStringList({S("A"), S("b")}));
    EXPECT_TRUE(SplitWindowsPath(S("C:"), &drive, &parts));
    EXPECT_TRUE(parts.isEmpty());
    EXPECT_FALSE(SplitWindowsPath(S("C:foo"), &drive, &parts));
    EXPECT_FALSE(SplitWindowsPath(S("\\\\server\\share"), &drive, &parts));
    EXPECT_FALSE(SplitWindowsPath(S("Routes\\X"), &drive, &parts));
    EXPECT_FALSE(SplitWindowsPath(S("/tmp/x"), &drive, &parts));
    EXPECT_EQ(JoinWindowsPath(QLatin1Char('d'), {S("A"), S("b")}), S("D:\\A\\b"));
}

TEST(ToWindowsForm, TakesHostAndWindowsPathsAlike) {
    TempMsts drive;
    EXPECT_EQ(ToWindowsForm(drive.Host(S("MSTS/a.QVS"))), S("C:\\MSTS\\a.QVS"));
    EXPECT_EQ(ToWindowsForm(S("c:/MSTS/./Trains")), S("C:\\MSTS\\Trains"));
    EXPECT_EQ(ToWindowsForm(S("/usr/share")), S("Z:\\usr\\share"));
}

TEST(WinePrefixDir, FollowsWineprefixAndIsEmptyWhenTheFolderIsMissing) {
    const QByteArray saved = qgetenv("WINEPREFIX");
    QTemporaryDir dir;
    qputenv("WINEPREFIX", dir.path().toUtf8());
    EXPECT_EQ(WinePrefixDir(), QDir::cleanPath(dir.path()));
    qputenv("WINEPREFIX", (dir.path() + S("/missing")).toUtf8());
    EXPECT_TRUE(WinePrefixDir().isEmpty());
    if (saved.isNull())
        qunsetenv("WINEPREFIX");
    else
        qputenv("WINEPREFIX", saved);
}
