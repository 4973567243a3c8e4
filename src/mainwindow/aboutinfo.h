// What the About box shows: the program's name, version, build and copyright, the MSTS folder
// with whether the user fixed it or it was found automatically, the store folder, and the build
// (else the date) of the TSECTION.DAT that MSTS uses now.
#pragma once

#include <QString>

namespace qv {

struct AboutTexts {
    QString ProductName;
    QString Version; // "Version x", a line feed, "(Build y)"
    QString Copyright;
    QString FixedOrAutomatic; // "(Fixed)" or "(Automatic)"
    QString MstsFolder;       // whole; the box shortens it and keeps it whole in the hint
    QString StoreFolder;
    QString TsectionBuild; // the build, else the file's date; empty when there is no file
};

// Reads GLOBAL\TSECTION.DAT of the MSTS folder for its build (a file that cannot be opened is
// reported by the reader).
AboutTexts AboutBoxTexts();

} // namespace qv
