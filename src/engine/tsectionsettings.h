// TSECTION.DAT specifications: which track-section file MSTS needs, recorded as a system default
// and, per route, as an own specification that overrides it. Each names a file and an action for
// unstoring in Simulation and in Maintenance mode, and is kept in the [TSECTION] section of a
// ROUTE.QVC store data file. Files are compared by the build text of their info block.
#pragma once

#include "catalogue/pathrecords.h"

#include <QString>

namespace qv {

// The action of a specification when unstoring (the lines of TSECTION_ACTION_STRINGS).
constexpr int TSA_ANY_FILE = 0;
constexpr int TSA_THIS_FILE = 1;
constexpr int TSA_THIS_BUILD_OR_HIGHER = 2;

// What reading a file's build line found.
enum class TsectionFileState {
    Valid,   // the file has a track-sections block
    Missing, // the file could not be opened; the user has been told
    Invalid, // the file was read but holds no track-sections block; nobody has been told
};

// Fills the record's TSECTION file, description and both actions from its ROUTE.QVC (the store's
// own for the system default, PT_GLOBAL, else the one of the route's data folder); true when the
// section exists. The file, description and build are emptied first; the actions keep their
// values when there is no section.
bool ReadTsectionSettings(RouteInfo& record);
// Writes the record's four TSECTION keys, or erases the section when the file name is empty.
// The rest of the ROUTE.QVC is left as it was. False when the file could not be written (the
// failure has been reported).
bool WriteTsectionSettings(const RouteInfo& record);
// Makes the record the system default (PType PT_GLOBAL) and reads it; with no record, only
// answers whether a system default exists.
bool ReadDefaultTsectionSettings(RouteInfo* record);

// Reads the build text of the record's file into TSectionBuild (emptied first). A file that
// cannot be opened is reported in a stop box, naming the route or the system default.
TsectionFileState ReadTsectionBuildState(RouteInfo& record);
// True when the record's file is a valid TSECTION.DAT.
bool ReadTsectionBuild(RouteInfo& record);

} // namespace qv
