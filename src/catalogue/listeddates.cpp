#include "catalogue/listeddates.h"

#include "core/appstate.h"
#include "core/filefind.h"
#include "core/stringlist.h"
#include "platform/winfs.h"

#include <cerrno>
#include <utility>

namespace qv {

namespace {

// Notes a folder name; a second name alike without regard to case makes the place ambiguous.
void NoteFolder(QHash<FoldedName, ListedFileDates::Folder>& folders, const QString& folder) {
    const auto it = folders.find(FoldedName{folder});
    if (it == folders.end())
        folders.insert(FoldedName{folder}, ListedFileDates::Folder{folder});
    else if (it->name != folder)
        it->twins = true;
}

// Whether the folder was listed (`twins`: under more than one spelling).
bool Listed(const QHash<FoldedName, ListedFileDates::Folder>& folders, const QString& folder,
            bool* twins) {
    const auto it = folders.constFind(FoldedName{folder});
    if (it == folders.cend())
        return false;
    *twins = it->twins;
    return true;
}

QString FolderOf(const QString& name) {
    const qsizetype cut = name.lastIndexOf(u'\\');
    return cut < 0 ? QString() : name.left(cut);
}

} // namespace

ListedFileDates::Root* ListedFileDates::RootOf(const QString& root) {
    return const_cast<Root*>(std::as_const(*this).RootOf(root));
}

const ListedFileDates::Root* ListedFileDates::RootOf(const QString& root) const {
    if (root == App().StoreRootFolder)
        return &store_;
    if (root == App().MstsRootFolder)
        return &msts_;
    return nullptr;
}

void ListedFileDates::AddFolder(const QString& root, const QString& folder) {
    if (Root* r = RootOf(root))
        NoteFolder(r->folders, folder);
}

void ListedFileDates::AddParent(const QString& root, const QString& folder) {
    if (Root* r = RootOf(root))
        NoteFolder(r->parents, folder);
}

void ListedFileDates::AddFiles(const QString& root, const QStringList& names,
                               const QList<qint32>& dates) {
    Root* r = RootOf(root);
    if (!r)
        return;
    for (qsizetype i = 0; i < names.size() && i < dates.size(); ++i) {
        const QString& name = names[i];
        const qsizetype before = r->folded.size();
        QString& first = r->folded[FoldedName{name}];
        if (r->folded.size() == before) {
            // Names alike: the path layer decides which file each spelling names.
            if (first != name)
                r->exact[first].ask = true;
            continue;
        }
        first = name;
        r->exact.insert(name, File{dates[i], false});
    }
}

ListedFileDates::Answer ListedFileDates::Find(const QString& root, const QString& name,
                                              qint32* date) const {
    const Root* r = RootOf(root);
    if (!r)
        return Answer::Unknown;
    const auto exact = r->exact.constFind(name);
    if (exact != r->exact.cend()) {
        if (exact->ask)
            return Answer::Unknown;
        *date = exact->date;
        return Answer::Known;
    }
    // Not under this name: absent when its folder was listed without any name like it, or when
    // the folder is not in its parent's listing.
    const QString folder = FolderOf(name);
    bool twins = false;
    if (!Listed(r->folders, folder, &twins)) {
        return !folder.isEmpty() && Listed(r->parents, FolderOf(folder), &twins) && !twins
                   ? Answer::Absent
                   : Answer::Unknown;
    }
    if (twins || r->folded.contains(FoldedName{name}))
        return Answer::Unknown; // the path layer decides which file that spelling names
    return Answer::Absent;
}

void ListedFileDates::AddListing(StringList& found, const QString& root, const QString& path,
                                 const QString& prefix, const QString& mask) {
    int error = 0;
    QStringList names;
    QList<qint32> dates;
    FindDatedFiles(names, dates, path, prefix, mask, &error);
    for (const QString& name : std::as_const(names))
        found.Add(name);
    AddFiles(root, names, dates);
    // A folder where nothing matched was listed all the same.
    if (error == 0 || error == ENOENT)
        AddFolder(root, prefix);
}

ListedFile::ListedFile(const ListedFileDates* listed, const QString& root, QLatin1StringView base,
                       const QString& name)
    : root_(root), base_(base), name_(name) {
    switch (listed ? listed->Find(root, name, &age_) : ListedFileDates::Answer::Unknown) {
    case ListedFileDates::Answer::Known:
        return;
    case ListedFileDates::Answer::Absent:
        age_ = -1;
        return;
    case ListedFileDates::Answer::Unknown:
        AskNow();
        return;
    }
}

bool ListedFile::AskNow() {
    if (!asked_) {
        path_ = root_ + base_ + name_;
        age_ = FileAge(path_, &stamp_);
        asked_ = true;
    }
    return age_ != -1;
}

} // namespace qv
