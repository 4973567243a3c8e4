// The files a rebuild loop is about to parse, read before the loop reaches them on a few worker
// threads: a cold rebuild spends most of its time waiting for files and decoding them one by one.
// Only files whose cache section is missing (or every file, when the cache is skipped) and whose
// root the listings tell are read ahead; the loop reads the others itself, as before.
#pragma once

#include "catalogue/mststext.h"
#include "platform/winfs.h"

#include <QString>
#include <functional>
#include <vector>

namespace qv {

class IniFile;
class ListedFileDates;
class StringList;

// One file as a worker thread found it: the date and stamp of the file it read, and its text
// (unless the parse took it up).
struct AheadFile {
    QString root; // the root it was read from; empty when the loop reads the file itself
    QString path; // <root><base><name>
    qint32 age = -1;
    FileStamp stamp;
    QString text;
};

// Reads ahead the files `<root><base><name>` of `names` that have no section named after them in
// `cache` (every one with `everyFile`), from the store root when the listings place the file
// there, else from the MSTS root. `parse` (when given) runs on the worker thread with the file's
// index and a reader of its text, which is then dropped; it must be safe to call on several
// threads at once. Without `listed` nothing is read ahead. The result has one place per name, or
// none when no file was read ahead.
std::vector<AheadFile>
ReadFilesAhead(const StringList& names, const IniFile& cache, bool everyFile,
               const ListedFileDates* listed, QLatin1StringView base,
               const std::function<void(std::size_t, MstsTextReader&)>& parse = nullptr);

} // namespace qv
