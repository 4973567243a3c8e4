// The store data files: the program's own ini files in the store's QVDATA folder (the caches,
// the route registers, the Explore saves). Opening one loads it whole with a version check;
// closing writes it back whole, and only when it was changed. Beside them: the accepted-version
// test that scenario and list files use too, the names of cache files and item data folders,
// pruning stale sections, counting what the store holds and the next lot number.
#pragma once

#include "platform/inifile.h"

#include <QString>
#include <cstdint>
#include <initializer_list>
#include <memory>

namespace qv {

class StringList;

// An open store data file. Whoever changes `Ini` sets `Modified`, so that CloseStoreIni writes it.
struct StoreIniHolder {
    IniFile Ini;
    bool Modified = false;
    QString Path; // the full Windows-form path of the file
    // The file is there but could not be read: `Ini` is empty, and the file is never written
    // back, so that what it holds is not replaced by what little this run put into it.
    bool ReadFailed = false;
    // The file as it was read, and the ini's change count then: a holder closed with its ini
    // unchanged leaves it in memory for the next opening of the same unchanged file.
    QByteArray Bytes;
    quint64 LoadedChanges = 0;
};

// The stop boxes of a file that cannot be read or written: the file and the system's error
// number (" : [n]").
QString ErrorNumberSuffix(int error);
void ShowStop(const QString& text);
void ReportUnreadable(const QString& path, int error);
void ReportWriteFailure(const QString& path, int error);
// The reason of a write refused since a link on its way leads out of the MSTS folder and the
// store: a line naming the link and where it leads; empty for any other failure.
QString LinkOutText(const QString& path, int error);

// Opens `<StoreRootFolder>\QVDATA\<name>` (the name may hold a sub-folder). A missing file gives
// an empty ini. A file whose version is not accepted is reported, emptied on disk and given as
// empty; a file that cannot be read is reported and given as empty, and is never overwritten.
std::unique_ptr<StoreIniHolder> OpenStoreIni(const QString& name);
// Writes a modified file (with the current Version, creating missing folders) and frees the
// holder. False, after a stop box naming the file, when it could not be written (the old file
// then stays as it was) or was not read at opening; the program goes on either way.
bool CloseStoreIni(std::unique_ptr<StoreIniHolder> holder);

// 0 when the version is not accepted; 1 when accepted and not above "1.1"; 2 when above it.
int IsAcceptedVersion(const QString& version);

// A cache section is current when its "FileDate" is the file's packed date; one without a readable
// "PType" is not, since its record would carry every bit. Safe on several threads at once while
// nothing changes the ini.
bool CacheSectionIsCurrent(const IniFile& ini, const QString& section, qint32 fileDate);
// CacheSectionIsCurrent that also gives a current section's PType and the texts of `keys` (empty
// for a key it lacks), with one lookup; nothing is given when it is not current. Safe on several
// threads at once while nothing changes the ini.
bool TakeCurrentSection(const IniFile& ini, const QString& section, qint32 fileDate,
                        std::initializer_list<QStringView> keys, std::uint32_t* ptype,
                        const std::initializer_list<QString*>& texts);
// The name of a cache file: the name followed by ".QVC".
QString CacheFileName(const QString& name);
// The QVDATA folder that holds an item's data, with a trailing backslash: "GLOBAL SETTINGS" for
// the consists and trainset folders, else the item folder's last component (its route folder).
QString ItemDataFolder(const QString& folder);
// Erases from the store data file every section that `keep` (sorted without regard to case)
// lacks, except the version section.
void PruneIniSections(const StringList& keep, const QString& name);
// The same on a store data file that is open already (marked modified when a section went), so
// that a caller about to read the file does not load and write it twice.
void PruneIniSections(const StringList& keep, StoreIniHolder& holder);
// The number of files in the store outside QVDATA; 0 when nothing is stored.
int CountStoreContent();
// Sets App().CurrentLotNumber to one above the last lot number of the stock cache.
void LoadNextLotNumber();

// Loads an ini file by its Windows-form path. A missing file gives an empty ini and true; a file
// that is there but cannot be read gives an empty ini and false.
bool LoadIniFile(const QString& windowsPath, IniFile* ini);
// The same, telling a missing file from a loaded one; `error` receives the errno of a failure.
IniFile::LoadStatus LoadIniFileStatus(const QString& windowsPath, IniFile* ini,
                                      int* error = nullptr);
// Writes an ini file by its Windows-form path, atomically: on failure (false, errno in `error`)
// the old file stays as it was. The folder must exist.
bool SaveIniFile(const QString& windowsPath, const IniFile& ini, int* error = nullptr);

} // namespace qv
