// Version information: the program's own (compiled in, since a Linux executable carries no
// version resource) and that of a language module, which carries its version strings inside
// itself so that a module built for another release of the program can be recognised.
#pragma once

#include <QString>
#include <QStringList>

namespace qv {

// The context under which a language module (a Qt .qm file) carries its version strings; the
// source texts are the value names ("ProductName", "ProductVersion", "FileVersion",
// "LegalCopyright") and their translations the values.
inline constexpr char kVersionInfoContext[] = "VERSIONINFO";

// Reads the version strings of a file. With an empty name the program's own information is read.
class CVersionInfo {
public:
    explicit CVersionInfo(const QString& fileName = QString());

    // The value of that name, or a null string when the file has no such value (a file that
    // cannot be read, or that is no language module, has none at all).
    QString GetValue(const QString& valueName) const;
    QString FileVersion() const;
    QString LegalCopyright() const;
    QString ProductName() const;
    QString ProductVersion() const;

    // Whether version information was found when the object was made.
    bool IsLoaded() const { return loaded_; }

private:
    // Values are read from the file at the moment they are asked for, as the file may change;
    // a value the file does not carry is null.
    QStringList ReadModuleValues(const QStringList& valueNames) const;

    bool loaded_ = false;
    bool named_ = false;
    QString fileName_;
};

// Fills ProgramTitle, ProgramVersion, ProgramFileVersion and ProgramCopyright of AppState from
// the program's own version information.
void LoadProgramVersion();

} // namespace qv
