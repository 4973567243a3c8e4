// The file primitives the rest of the program builds on, on Windows-form paths: listing one
// folder level, counting the files of a tree, comparing two files by content, a file's size and
// its text for the duplicate dialog, and copying a file so that the copy keeps the source's times.
#pragma once

#include "platform/winfind.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace qv {

class StringList;

// Appends the entries of `<folder>\<mask>` (one level only) to the list: with `folders` only the
// sub-folders (no "." and ".."), else only the files; each as `<prefix>\<name>`, or the bare name
// when the prefix is empty. True when a listed entry was written after App().LastCloseFileDate.
// A folder that cannot be searched adds nothing.
bool FindFiles(StringList& list, const QString& folder, bool folders, const QString& prefix,
               const QString& mask);
// FindFiles for callers that do not ask whether anything is newer: the entries' dates are not
// looked at, so a listing known current answers without asking the disk for each entry.
void FindFileNames(StringList& list, const QString& folder, bool folders, const QString& prefix,
                   const QString& mask);
// The bare names of the files (never folders) of `<folder>\<mask>`, in the order of the folder's
// listing, with each one's packed write time, as the listing knows them (a folder listed and
// unchanged since is not looked at again). `error` (when given) receives 0 when something
// matched, else the listing's error (ENOENT when nothing matched).
// `hostFolder` (when given) receives the host path of the folder listed (empty when unknown).
void FindDatedFiles(QStringList& names, QList<qint32>& times, const QString& folder,
                    const QString& mask, int* error, QString* hostFolder = nullptr);

// FindDatedFiles of every folder of `folders` with every mask of `masks`, in one pass: the folders
// are read and their files looked at on the worker threads. `files` receives one place per folder
// (the folder's host path, and per mask the names, times and error of FindDatedFiles). The status
// shows the search in `searched`, the folder they are in. `each` (when given) is called with
// every place as soon as its folder's files are found, in no set order.
void FindDatedFilesInFolders(const QString& searched, const QStringList& folders,
                             const QStringList& masks, std::vector<FolderFiles>* files,
                             const std::function<void(std::size_t)>& each = nullptr);

// FindDatedFilesInFolders without the times: the bare names FindFileNames gives (a regular file
// the listing tells as one is not stat'ed).
void FindFileNamesInFolders(const QString& searched, const QStringList& folders,
                            const QStringList& masks, std::vector<FolderFiles>* files);

// The sub-folders of `folder` (no "." and "..") as FindFiles adds them, without their dates, so
// that their kinds come from the folder listing instead of the disk. `error` as in FindFiles.
void FindFolderNames(StringList& list, const QString& folder, int* error);

// Counts the files below the folder: depth 0 this folder only, n levels further down, -1 the
// whole tree. A filter beginning with "." matches the extension, any other non-empty filter the
// whole name (both without regard to case); an empty filter counts every file. Linked folders
// are not gone into; a folder that cannot be searched counts 0.
int CountFiles(const QString& folder, const QString& filter, int depth);

// True when the two files differ in size or content, and when either cannot be opened, so that a
// file that cannot be read is never taken as a duplicate of another.
bool FilesDiffer(const QString& a, const QString& b);

// The size of a file in bytes; 1 when it cannot be opened.
qint64 FileSizeOf(const QString& path);

// "1023 bytes", "2.00 KB (2,048 bytes)", "1.50 MB (1,572,864 bytes)", in English number format.
QString SizeText(qint64 size);

// Copies a file to a target that must not exist yet; the copy keeps the source's last-write and
// last-access times. Fails, with a stop box naming both files, when both paths name the same file
// (in any letter case), when the target exists or when the copy breaks off; a failed copy leaves
// no target behind and never touches the source or an existing target.
bool CopyFileKeepTimes(const QString& source, const QString& target);

} // namespace qv
