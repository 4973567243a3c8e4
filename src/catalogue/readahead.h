// The files a rebuild loop is about to parse, looked at before the loop reaches them on a few
// worker threads: a cold rebuild spends most of its time waiting for files and decoding them one
// by one, and a warm one looking up tens of thousands of names in the listings and the cache.
// Files whose cache section is current for the date their listing gave are taken from the section
// there; the others whose root the listings tell are read and parsed. The loop does the rest
// itself, as before.
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
// (unless the parse took it up); or the date its listing gave, when its cache section is current.
struct AheadFile {
    QString root; // the root it was read or found in; empty when the loop looks for it itself
    QString path; // <root><base><name>, of a file read
    qint32 age = -1;
    FileStamp stamp;
    QString text;
    // The roots before `root` were found to lack the file: the loop need not ask them again.
    bool earlierLack = false;
    // The file's cache section is current, and the roots before `root` lack the file: the loop
    // takes what was taken from the section.
    bool cached = false;
};

// A file found ahead in a root after the store, which lacks it: the store need not be asked.
bool FoundAfterTheStore(const AheadFile* ahead);

// Looks ahead at the files `<root><base><name>` of `names`, in the roots in the order the loops
// try them (the store first). A file whose section in `cache` is current for the date its listing
// gave (not with `everyFile`), in the first root whose listing holds it while the others before it
// lack it, is marked cached: `takeCached` (when given) runs with its index and date, takes the
// section and tells whether it was current (without it, CacheSectionIsCurrent tells). Every other
// file the listings place in a root is read from there, unless it has a section and the listings
// cannot tell whether an earlier root holds it; `parse` (when given) then runs with the file's
// index and a reader of its text, which is then dropped. Both run on worker threads and must be
// safe to call on several threads at once while nothing changes the cache. Without `listed`
// nothing is looked at. The result has one place per name, or none when nothing was looked at.
std::vector<AheadFile>
ReadFilesAhead(const StringList& names, const IniFile& cache, bool everyFile,
               const ListedFileDates* listed, QLatin1StringView base,
               const std::function<void(std::size_t, MstsTextReader&)>& parse = nullptr,
               const std::function<bool(std::size_t, qint32)>& takeCached = nullptr);

// ReadFilesAhead with each file read parsed by `parse(index, reader, parsed[index])` and each
// file's section taken by `takeCached(index, date, parsed[index])`: `parsed` gets one place per
// name when the listings are given, and none otherwise.
template <typename Parsed, typename Parse, typename TakeCached>
std::vector<AheadFile> ParseFilesAhead(const StringList& names, const IniFile& cache,
                                       bool everyFile, const ListedFileDates* listed,
                                       QLatin1StringView base, std::vector<Parsed>& parsed,
                                       Parse parse, TakeCached takeCached) {
    parsed.clear();
    if (listed)
        parsed.resize(std::size_t(names.Count()));
    return ReadFilesAhead(
        names, cache, everyFile, listed, base,
        [&](std::size_t i, MstsTextReader& reader) { parse(i, reader, parsed[i]); },
        [&](std::size_t i, qint32 date) { return takeCached(i, date, parsed[i]); });
}

} // namespace qv
