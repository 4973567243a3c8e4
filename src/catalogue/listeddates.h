// The packed write times of the files that a rebuild's listings found under the MSTS and store
// roots. A rebuild reads tens of thousands of files from either root; with the times the listings
// gave it tells a current cache section, and a file the root lacks, without asking the path layer
// for each file again.
#pragma once

#include "core/stringlist.h"
#include "platform/casefold.h"
#include "platform/winfs.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace qv {

struct AheadFile;

class ListedFileDates {
public:
    enum class Answer {
        Known,   // listed under that exact name: `date` is its time
        Absent,  // its folder was listed and holds no name like it
        Unknown, // not listed, or listed only in another letter case: ask the file system
    };

    // A folder (relative to the root) whose matching files were all added: the bare names of
    // those files with their packed write times, and the host folder the listing was read
    // from when known. A folder may be added more than once (one mask at a time).
    void AddFolder(const QString& root, const QString& folder, const QStringList& names = {},
                   const QList<qint32>& dates = {}, const QString& host = QString());
    // A folder whose sub-folders were all added with AddFolder: a file in any other sub-folder
    // of it is absent.
    void AddParent(const QString& root, const QString& folder);

    // The folder a run of lookups in one root looked in last, and what it found: the place of
    // the listed folder, else (-1) the answer for any file in it. Loops ask for the files of one
    // folder in turn, so the folder is looked up once for them all.
    struct Memo {
        QString name;
        qsizetype place = -1;
        Answer missing = Answer::Unknown;
        bool known = false;
    };
    // A run of lookups of its own, as each thread looking up at the same time needs.
    struct Cursor {
        Memo store, msts;
    };

    // `name` is the file's path relative to the root. A known file's host path is given too
    // (when asked, and known; else it is emptied). Without a cursor the lookups share one run
    // and are not to be made on two threads at once; with a cursor each they are, while nothing
    // is added.
    Answer Find(const QString& root, const QString& name, qint32* date, QString* hostPath = nullptr,
                Cursor* cursor = nullptr) const;

    // Lists the files of `<path>\<mask>` (`path` a folder under the root) into `found`, each
    // as `<prefix>\<name>` (the bare name when the prefix is empty), and adds the folder as
    // `prefix` with them.
    void AddListing(StringList& found, const QString& root, const QString& path,
                    const QString& prefix, const QString& mask);
    // AddListing of many folders (`paths`, under the root, each added as the prefix in the same
    // place of `prefixes`) with each of the masks in turn, in one pass over the folders; the
    // status shows the search in `searched`.
    void AddListings(StringList& found, const QString& root, const QString& searched,
                     const QStringList& paths, const QStringList& prefixes,
                     const QStringList& masks);
    // The same, with each file handed to `found` as `<prefix>\<name>` as soon as its folder was
    // read, in the order AddListings would add them.
    using FoundFile = std::function<void(const QString&)>;
    void AddListings(const FoundFile& found, const QString& root, const QString& searched,
                     const QStringList& paths, const QStringList& prefixes,
                     const QStringList& masks);
    // Adds those of the folders (`paths`, under the root, as the prefixes in the same places)
    // that are missing: no file is in them.
    void AddMissingFolders(const QString& root, const QStringList& paths,
                           const QStringList& prefixes);

    // A listed folder: the spelling first listed, whether another spelling alike was too, and
    // the names found in it (each list sorted without regard to case).
    struct Folder {
        QString name;
        bool twins = false;
        bool plain = true; // every name in it is plain ASCII
        QString host;      // the host folder it was listed from; empty when not known
        struct Files {
            QStringList names;
            QList<qint32> dates;
            // OrderKeyOf each name of a folder of many, in the same places (none for a few): a
            // search through thousands of names compares numbers, and names only where those
            // are alike.
            QList<quint64> keys;
        };
        QList<Files> files;
    };

private:
    struct Root {
        // Folders by their name without regard to case; by the exact spelling, which most
        // lookups give, the same folders' places.
        QList<Folder> folders;
        QHash<FoldedName, qsizetype> byFolded;
        QHash<QString, qsizetype> byName;
        struct Parent {
            QString name; // the spelling first listed
            bool twins = false;
        };
        QHash<FoldedName, Parent> parents;
        mutable Memo memo; // of the lookups without a cursor
    };
    Root* RootOf(const QString& root);
    const Root* RootOf(const QString& root) const;
    // The files one find gave in the folder `prefix` (with the find's error), as AddListing
    // adds them.
    void AddFound(const FoundFile& found, const QString& root, const QString& prefix,
                  const QStringList& names, const QList<qint32>& dates, const QString& host,
                  int error);
    // The place of the listed folder that a spelling names, or -1.
    static qsizetype FolderNamed(const Root& root, const QString& folder);

    Root store_, msts_;
};

// A rebuild's listing (the files it found, and their dates), kept for the next rebuild of its
// kind. While the path layer learns of no change, a listing that asked the disk nothing (every
// folder it looked at was known current, and is watched for changes) would come out the same
// again: the next rebuild takes it instead of going through thousands of folders again.
class KeptListing {
public:
    // Fills `files` and `listed` from the kept listing while it holds, else by calling `list`
    // (which fills them), keeping what that gives when it may be kept. Rebuilds of one kind come
    // one at a time.
    void List(StringList& files, ListedFileDates& listed, const std::function<void()>& list);

private:
    // The roots, the host folders of their drives, and the path layer's count of changes.
    struct Key {
        QString store, msts, storeHost, mstsHost;
        quint64 changes = 0;
        bool operator==(const Key& other) const = default;
    };
    static Key KeyNow();

    bool kept_ = false;
    Key key_;
    StringList files_;
    ListedFileDates listed_;
};

// One file a reader looks at, `<root><base><name>` with `name` as the listing recorded it: its
// date from the listing when the listing tells, else from the file system, which is asked once.
class ListedFile {
public:
    ListedFile(const ListedFileDates* listed, const QString& root, QLatin1StringView base,
               const QString& name);
    // A file that was read ahead: the file system was asked just before the reading.
    explicit ListedFile(const AheadFile& ahead);

    qint32 Age() const { return age_; } // -1 when the file is not there
    // Before the file is read: its date and stamp as they are now, asked of the file system
    // unless it was asked already (a listing's date may be older). False when the file is gone.
    bool AskNow();
    // The full path and the stamp, once the file system was asked.
    const QString& Path() const { return path_; }
    const FileStamp& Stamp() const { return stamp_; }

private:
    QString root_;
    QLatin1StringView base_;
    QString name_;
    QString path_; // made when the file system is asked: most files are only looked up
    qint32 age_ = -1;
    bool asked_ = false;
    FileStamp stamp_;
};

} // namespace qv
