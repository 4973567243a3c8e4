// The drive map: which host folder each Windows drive letter stands for. Z: is always "/"; a Wine
// prefix adds its dosdevices drives (c: -> ../drive_c, ...), so that the Windows-form paths kept in
// settings and stores name the same files that Wine's programs see.
#pragma once

#include <QChar>
#include <QMap>
#include <QString>
#include <QStringList>

namespace qv {

class DriveMap {
public:
    // A map with Z: as "/" only.
    DriveMap();
    // Z: plus every drive link (a letter and a colon) in <prefix>/dosdevices.
    static DriveMap FromWinePrefix(const QString& prefixDir);

    // Maps a drive letter (either case) to a host folder; an empty folder removes the drive.
    void SetDrive(QChar letter, const QString& hostRoot);
    // The host folder of a drive letter, empty when the letter is not mapped.
    QString HostRoot(QChar letter) const;
    // The mapped drives, upper-case letter -> host folder.
    const QMap<QChar, QString>& Drives() const { return roots_; }

    // The host path of a Windows-form path taken literally (no letter-case resolution); empty when
    // the path is not a full Windows path or its drive is not mapped.
    QString ToHost(const QString& windowsPath) const;
    // The Windows form of a host path through the drive with the longest matching root (Z: when no
    // other matches); relative paths are taken from the current folder.
    QString ToWindows(const QString& hostPath) const;

private:
    QMap<QChar, QString> roots_;
};

// The Wine prefix in use: $WINEPREFIX, else ~/.wine; empty when that folder does not exist.
QString WinePrefixDir();

// The program-wide drive map, built from the Wine prefix on first use.
const DriveMap& TheDriveMap();
// Replaces the program-wide drive map (tests point drives at temporary folders).
void SetDriveMap(const DriveMap& map);
// Builds the program-wide drive map again from the environment.
void ResetDriveMap();

// Splits "C:\A\.\B\..\C" into its upper-case drive letter and components ("A", "C"); "/" is taken
// as a separator too. False when the path does not start with a drive letter, a colon and either
// nothing or a separator.
bool SplitWindowsPath(const QString& path, QChar* drive, QStringList* components);
// Joins a drive letter and components into "C:\A\B" ("C:\" for no components).
QString JoinWindowsPath(QChar drive, const QStringList& components);
// A path given by the user (host or Windows form) in Windows form through the program-wide map.
QString ToWindowsForm(const QString& anyPath);
// The user's home folder ($HOME) in Windows form.
QString HomeFolder();

} // namespace qv
