// The files a rebuild loop is about to parse, read before the loop reaches them on a few worker
// threads: a cold rebuild spends most of its time waiting for files and decoding them one by one.
// Only files whose cache section is missing (or every file, when the cache is skipped) and whose
// root the listings tell are read ahead; the loop reads the others itself, as before.
#pragma once

#include "catalogue/mststext.h"
#include "core/stringlist.h"
#include "platform/winfs.h"

#include <QString>
#include <functional>
#include <vector>

namespace qv {

class IniFile;
class ListedFileDates;

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
// none when no file was read ahead. `beforeReading` (when given) is called once before the first
// file is read, and only when some file will be.
std::vector<AheadFile>
ReadFilesAhead(const StringList& names, const IniFile& cache, bool everyFile,
               const ListedFileDates* listed, QLatin1StringView base,
               const std::function<void(std::size_t, MstsTextReader&)>& parse = nullptr,
               const std::function<void()>& beforeReading = nullptr);

// ReadFilesAhead with each file parsed by `parse(index, reader, parsed[index])`: `parsed` gets one
// place per name when some file is read ahead, and none otherwise (a warm rebuild reads none).
template <typename Parsed, typename Parse>
std::vector<AheadFile> ParseFilesAhead(const StringList& names, const IniFile& cache,
                                       bool everyFile, const ListedFileDates* listed,
                                       QLatin1StringView base, std::vector<Parsed>& parsed,
                                       Parse parse) {
    return ReadFilesAhead(
        names, cache, everyFile, listed, base,
        [&](std::size_t i, MstsTextReader& reader) { parse(i, reader, parsed[i]); },
        [&] { parsed.resize(std::size_t(names.Count())); });
}

} // namespace qv
