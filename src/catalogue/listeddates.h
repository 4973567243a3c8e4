// The packed write times of the files that a rebuild's listings found under the MSTS and store
// roots. A rebuild reads tens of thousands of files from either root; with the times the listings
// gave it tells a current cache section, and a file the root lacks, without asking the path layer
// for each file again.
#pragma once

#include "platform/casefold.h"

#include <QHash>
#include <QString>

namespace qv {

struct FindEntry;

class ListedFileDates {
public:
    enum class Answer {
        Known,   // listed under that exact name: `date` is its time
        Absent,  // its folder was listed and holds no name like it
        Unknown, // not listed, or listed only in another letter case: ask the file system
    };

    // A folder (relative to the root) whose matching files were all added.
    void AddFolder(const QString& root, const QString& folder);
    // A folder whose sub-folders were all added with AddFolder: a file in any other sub-folder
    // of it is absent.
    void AddParent(const QString& root, const QString& folder);
    // A file found in it, by its path relative to the root. An entry that is a link tells the
    // time of the link only when it dangles, so links are left to the file system.
    void AddFile(const QString& root, const QString& name, const FindEntry& entry);

    Answer Find(const QString& root, const QString& name, qint32* date) const;

private:
    struct File {
        QString name;
        qint32 date = 0;
        bool ask = false; // a link, or two names alike without regard to case
    };
    struct Root {
        QHash<FoldedName, File> files;
        // Folded name -> the one folder listed under a name like it, or an empty text when two
        // names alike were listed.
        QHash<FoldedName, QString> folders;
        QHash<FoldedName, QString> parents;
    };
    Root* RootOf(const QString& root);
    const Root* RootOf(const QString& root) const;

    Root store_, msts_;
};

// The packed date of `<root><base><name>`, where `name` is what the listing recorded the file
// by: from the listing when it tells, else from the file system; -1 when the file is not there.
qint32 ListedFileAge(const ListedFileDates* listed, const QString& root, QLatin1StringView base,
                     const QString& name);

} // namespace qv
