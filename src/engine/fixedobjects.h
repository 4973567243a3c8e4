// Fixed objects: the stock folders and files that stay in the MSTS folder whatever the user
// selects (MSTS needs its default stock; other stock lends sounds and cab views to many engines
// and wagons). They are kept in two registry lists under the product key, which always exist with
// their defaults once the program has started; the survey treats every one of them as in use, and
// the fixed-objects dialog edits them through ExclusionEditor.
#pragma once

#include "core/itemset.h"
#include "core/regsettings.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace qv {

class StringList;

// One fixed object: a folder or a file, relative to the root folder that holds it
// ("TRAINS\TRAINSET\DEFAULT", "TRAINS\TRAINSET\DEFAULT\DEFAULT.WAG").
struct ExclusionInfo {
    bool IsFolder = false;
    QString Path;
};

template <> struct RecordKind<ExclusionInfo> { static constexpr int code = RK_EXCLUSION; };

// The two lists, one string value per entry whose data is the path; the value names are the
// entries' indexes at the time of writing and mean nothing to a reader.
inline const QString kExclusionFoldersKey = kProductKey + QStringLiteral("\\Exclusions\\Folders");
inline const QString kExclusionFilesKey = kProductKey + QStringLiteral("\\Exclusions\\Files");

// What a list without entries stands for.
inline const QString kDefaultFixedFolder = QStringLiteral("TRAINS\\TRAINSET\\DEFAULT");
inline const QString kDefaultFixedFile = QStringLiteral("TRAINS\\TRAINSET\\DEFAULT\\DEFAULT.WAG");

// Appends one entry per value of the key (a key of HKEY_LOCAL_MACHINE), each with the given
// folder flag; a missing or empty key appends its default entry instead. Always true.
bool ReadExclusionKey(const QString& key, RecordList<ExclusionInfo>& list, bool folder);

// Replaces the key by the entries of the list with the given folder flag, each named by its index
// in the whole list. False when the old key cannot be deleted (nothing is written then) or when a
// write is refused, which is shown in a stop box; the program goes on.
bool WriteExclusionKey(const QString& key, const RecordList<ExclusionInfo>& list, bool folder);

// True when the key of HKEY_LOCAL_MACHINE exists and holds at least one value.
bool KeyHasValues(const QString& key);

// Makes sure that both lists hold entries, writing the default entry into a list without any.
// False (the store and unstore jobs are refused) when MSTS's DEFAULT.WAG is missing, which is
// shown in a stop box, or when the lists cannot be written.
bool EnsureDefaultExclusions();

// ---- What the survey needs
// -----------------------------------------------------------------------

// Adds every fixed object as a path below TRAINS\TRAINSET\: folders ("DASH9") to `folders`, files
// ("DASH9\DASH9.ENG") to `files`. An entry that does not lie below TRAINS\TRAINSET\ (the lists
// were edited by hand) names no stock and is passed over.
void AddFixedObjects(StringList& folders, StringList& files);

// True when a stock folder or file, given below TRAINS\TRAINSET\, is fixed by the lists that
// AddFixedObjects filled: a listed folder, a file inside one, or a listed file.
bool IsFixedObject(const StringList& folders, const StringList& files, const QString& trainsetPath);

// ---- The fixed-objects dialog's list
// ---------------------------------------------------------------

// The list the fixed-objects dialog edits: the entries in the order of its lines, line i showing
// entry i. New entries are appended; removing keeps the order of the rest.
class ExclusionEditor {
public:
    // Reads both lists (a list without entries shows its default) and sorts them by path.
    void Load();
    // Writes both lists as they stand; the results are not looked at (failures are shown).
    void Save() const;
    // Frees every entry.
    void Clear() { entries_.clear(); }

    const RecordList<ExclusionInfo>& Entries() const { return entries_; }
    // "Folder: <path>" or "File: <path>".
    static QString LineText(const ExclusionInfo& entry);
    // True when an entry has this path, in any letter case.
    bool Contains(const QString& path) const;

    // Appends the folder TRAINS\TRAINSET\<name> unless it is listed already; true when appended.
    bool AddFolder(const QString& trainsetFolder);
    // Appends chosen files (Windows form) that lie below TRAINS\TRAINSET of the MSTS folder or of
    // the store, exist and are not listed yet, each relative to its root. A file elsewhere is
    // refused in a stop box and ends the round; the files appended before it stay.
    void AddFiles(const QStringList& files);
    // Removes the entries at these indexes.
    void Remove(std::vector<int> indexes);

private:
    RecordList<ExclusionInfo> entries_;
};

// ---- The folder list beside it
// -------------------------------------------------------------------

// The names of the sub-folders of TRAINS\TRAINSET in the MSTS folder and in the store, sorted,
// each name once.
QStringList TrainsetFolderNames();

} // namespace qv
