// The dates of the files below one folder of both roots (the trainset folder, the consists folder,
// or the roots themselves), each folder listed in both roots when a file of it is first asked for.
// A survey looks up thousands of files, a few to a folder, in each root in turn; asking the path
// layer for each one by its path walks the whole path every time, and most such questions are of
// a root that lacks the file.
#pragma once

#include "catalogue/listeddates.h"

#include <QHash>
#include <QLatin1StringView>
#include <QSet>
#include <QString>
#include <optional>

namespace qv {

class StringList;

class ListedOnDemand {
public:
    // `base` as ListedFile takes it: "\\" for paths relative to a root, else "\\<folder>\\".
    explicit ListedOnDemand(QLatin1StringView base) : base_(base) {}

    // The dates, with the folder of `name` (relative to the base, as ListedFileDates::Find takes
    // it) listed in both roots unless it was already. A name that is not its own resolution
    // (".." and the like) has its folder left to the path layer.
    const ListedFileDates* For(const QString& name);
    // Lists the folders of all the names together, those not listed yet, several at a time on the
    // worker threads.
    void ListFoldersOf(const StringList& names);
    // The same for folders (relative to the base) given as they are.
    void ListFolders(const QStringList& folders);
    // The dates of the folders listed so far.
    const ListedFileDates& Dates() const { return dates_; }
    // ListedFileDates::Find, the folder of the name listed first.
    ListedFileDates::Answer Find(const QString& root, const QString& name, qint32* date);

private:
    // `<root><base><folder>` without a separator at its end.
    QString FolderPath(const QString& root, const QString& folder) const;
    // Whether the listing of the folder's parent in the root tells that the root has no such
    // folder (nor any alike but for letter case): a file in it is then absent without the folder
    // being looked for. The parent's sub-folders are listed once.
    bool Lacks(const QString& root, const QString& folder);
    // Lists the folder in the root, or takes it as holding nothing when the root lacks it.
    void ListOne(const QString& root, const QString& folder);

    QLatin1StringView base_;
    ListedFileDates dates_;
    QSet<QString> listed_; // the folders listed, as spelt when listed
    // Per root and parent folder: the names of its sub-folders in small letters, when all of
    // them are plain ASCII and the listing could be read; else none.
    QHash<QString, std::optional<QSet<QString>>> subfolders_;
    // The folder of the name asked for last (listed by then).
    QString lastFolder_;
    bool lastKnown_ = false;
};

} // namespace qv
