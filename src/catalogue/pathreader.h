// Reading one MSTS path file into a PathInfo: its name, start and end, whether a player can drive
// it and whether its internal name differs from its file name. Results are kept per file in the
// path cache ("CACHEPAT.QVC"), so a path is parsed again only when its file date has changed.
#pragma once

#include "catalogue/pathrecords.h"

#include <QString>

namespace qv {

class IniFile;

struct StoreIniHolder;
class ListedFileDates;
class MstsTextReader;
struct AheadFile;

// Parses the path file at a full Windows-form name into path (PType, Name, PathStart, PathEnd;
// path.FileName must be set, it is compared with the internal name). Stops as soon as the name,
// start and end are known. False when the file cannot be opened.
bool ScanPathFile(const QString& fullName, PathInfo& path);
// The same from a reader of the file's text.
void ScanPathText(MstsTextReader& reader, PathInfo& path);

// The fields a cache section current for the date gives a path's reading: PType, Name, PathStart
// and PathEnd; false (and nothing taken) when it is not current. Safe on several threads at once
// while nothing changes the ini.
bool TakePathSection(const IniFile& ini, const QString& section, qint32 date, PathInfo& path);

// Reads <root>\<path.Folder>\<path.FileName> from its current cache section, else from the file,
// whose results then go into the section (also while ForceCacheReread is set). False when the
// file is missing, a folder or cannot be opened. The caller opened pathCache and closes it.
// With `listed`, the dates the rebuild's listing found stand for asking the file system; with
// `ahead`, a file read ahead from this root stands for reading it, and `parsed` for its scan,
// whose texts are then taken over.
bool ReadPathFile(const QString& root, PathInfo& path, StoreIniHolder& pathCache,
                  const ListedFileDates* listed = nullptr, const AheadFile* ahead = nullptr,
                  PathInfo* parsed = nullptr);

} // namespace qv
