// Listing a folder the way Windows' find-first/find-next does: the entries whose names match a
// wildcard mask, each with its attribute bits, size and last-write time as a packed DOS date-time.
#pragma once

#include "platform/winresolve.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>
#include <functional>
#include <vector>

namespace qv {

// Attribute bits as Windows numbers them.
constexpr quint32 kFaReadOnly = 0x01; // the owner may not write
constexpr quint32 kFaHidden = 0x02;
constexpr quint32 kFaSystem = 0x04;
constexpr quint32 kFaVolumeLabel = 0x08;
constexpr quint32 kFaDirectory = 0x10;
constexpr quint32 kFaArchive = 0x20;
constexpr quint32 kFaReparsePoint = 0x400; // a symbolic link
constexpr quint32 kInvalidFileAttributes = 0xFFFFFFFFu;

struct FindEntry {
    QString name; // as on the disk
    quint32 attributes = 0;
    qint64 size = 0;      // bytes; 0 for folders
    qint32 writeTime = 0; // packed DOS date-time of the last write, local time
    bool symlink = false; // the entry is a link; its other fields describe what it points to
    // Not 0: the folder lists the name, but asking for the entry failed with this error (any but
    // ENOENT, which means it has gone; EILSEQ for a name that is not UTF-8, which cannot be
    // reached): only the name is known, and the entry counts as a file.
    int statError = 0;

    bool IsFolder() const { return attributes & kFaDirectory; }
};

// A packed DOS date-time of a local time: date in the high word ((year-1980)<<9 | month<<5 |
// day), time in the low word (hour<<11 | minute<<5 | second/2); clamped to 1980..2107.
qint32 PackDosDateTime(const QDateTime& time);
// The local time of a packed DOS date-time (invalid when the fields are not a date and time).
QDateTime UnpackDosDateTime(qint32 packed);
// The packed DOS date-time of a moment in seconds since 1970 (UTC).
qint32 DosDateTimeFromUnix(qint64 secondsSinceEpoch);
// While one lives on a thread, DosDateTimeFromUnix on that thread compares the zone it read with
// the TZ variable once, not at every call: the times of a folder's files, or of a run of files
// read together, are converted under one zone. (No other thread may change the environment
// meanwhile anyway, and the thread converting does not.)
class ZoneReadOnce {
public:
    ZoneReadOnce();
    ~ZoneReadOnce();
    ZoneReadOnce(const ZoneReadOnce&) = delete;
    ZoneReadOnce& operator=(const ZoneReadOnce&) = delete;
};

// True when a name matches a Windows wildcard mask: "*" any run, "?" one character, without
// regard to case; "*.*" matches every name, and "name.*" also a name without extension.
bool MatchesMask(const QString& name, const QString& mask);

// Lists `<folder>\<mask>` (one level, every attribute) in name order, "." and ".." included below a
// drive root when the mask matches them; a mask without wildcards finds the one entry of that name
// in any letter case. False with ENOENT when nothing matches, or with the folder's error. A name
// whose entry cannot be asked for is listed with its error (FindEntry::statError); one that has
// gone since the folder was read is left out. A name too long to be asked for by its whole path
// is asked for relative to its folder.
bool FindEntries(const QString& pattern, QList<FindEntry>* entries, int* error = nullptr);

// The one entry FindEntries finds for a path: without wildcards in its last part, the entry of
// that name in any letter case, found without making a list.
bool FindEntryOf(const QString& path, FindEntry* entry, int* error = nullptr);

// The sub-folders (`folders`; never "." or "..") or the files of `<folder>\<mask>`, in the order
// FindEntries gives them, with (when `writeTimes` is given) each one's packed write time as
// FindEntry has it (0 for a name whose entry cannot be asked for, which counts as a file). What the
// folder listing told the kind of needs no stat when no time is asked; links and entries of no
// certain kind are asked as FindEntries asks them (a link to a folder counts as a folder). False
// with the error as FindEntries (ENOENT when nothing of the kind matches). `hostFolder` (when
// given) receives the host path of the folder whose listing gave the names, when the names came
// from one (a mask with wildcards), else it is emptied.
bool FindNames(const QString& pattern, bool folders, QStringList* names,
               QList<qint32>* writeTimes = nullptr, int* error = nullptr,
               QString* hostFolder = nullptr);

// What FindDatedFilesIn found in one folder: its host path (when known) and, for each mask, the
// names and write times FindNames gives, with its error (0; ENOENT when nothing matched).
struct FolderFiles {
    QString host;
    std::vector<FindAnswer> found;
    QVarLengthArray<int, 4> errors; // a few masks: no allocation for each of thousands of folders
};
// FindNames of the files (with write times) of `<folder>\<mask>` for every folder and mask
// (wildcard masks), in one pass: the folders not known current are read, their files stat'ed
// and matched on the worker threads. `files` receives one place per folder. `each` (when given)
// is called on the calling thread once with every place, in no set order, as soon as that
// folder's files are found (while other folders are still being read).
void FindDatedFilesIn(const QStringList& folders, const QStringList& masks,
                      std::vector<FolderFiles>* files,
                      const std::function<void(std::size_t)>& each = nullptr);
// The same without the times (`found` holds names only): a regular file the listing tells as one
// needs no stat.
void FindFilesIn(const QStringList& folders, const QStringList& masks,
                 std::vector<FolderFiles>* files);

// The entry of a host path (the name is its last component); false with the errno otherwise.
bool HostEntry(const QString& hostPath, FindEntry* entry, int* error = nullptr);

// True for an entry a recursive walk goes down into: a real folder, not a link, "." or "..".
bool CanDescend(const FindEntry& entry);

// A name in a host folder whose bytes are not UTF-8 text (Windows-1252 bytes from an unpacked
// download, say): the path layer, which takes names as UTF-8, cannot reach its entry.
struct UndecodableName {
    QByteArray bytes;
    // The bytes made readable: what is UTF-8 as such, every other byte as Windows-1252 reads it.
    QString readable;
};
// The names of a host folder that are not UTF-8 and that a listing gives as `listed` (their bytes
// decoded as UTF-8, each byte that is not replaced by U+FFFD), in the order the folder gives them.
// `reachable` (when given) receives whether the folder also holds `listed` itself as UTF-8 text.
// False with errno when the folder cannot be read.
bool UndecodableNamesIn(const QString& hostFolder, const QString& listed,
                        QList<UndecodableName>* names, bool* reachable = nullptr);
// The readable form of a name's bytes, as UndecodableName::readable.
QString ReadableName(const QByteArray& bytes);

// Tests only: the error (0: none) that asking for the listed entry at a host path gives, in
// place of what the disk says, wherever a find asks for a listed entry; an empty hook removes it.
void SetListedStatFaultForTests(std::function<int(const QString& hostPath)> hook);

} // namespace qv
