#include "catalogue/listeddates.h"

#include "core/appstate.h"
#include "platform/winfind.h"
#include "platform/winfs.h"

#include <utility>

namespace qv {

namespace {

// Notes a folder name; two names alike without regard to case leave the place empty.
void NoteFolder(QHash<FoldedName, QString>& folders, const QString& folder) {
    const auto it = folders.constFind(FoldedName{folder});
    if (it == folders.cend())
        folders.insert(FoldedName{folder}, folder.isEmpty() ? QStringLiteral("\\") : folder);
    else if (*it != (folder.isEmpty() ? QStringLiteral("\\") : folder))
        folders[FoldedName{folder}].clear();
}

// Whether the folder was listed under that one name.
bool Listed(const QHash<FoldedName, QString>& folders, const QString& folder, bool* twins) {
    const auto it = folders.constFind(FoldedName{folder});
    if (it == folders.cend())
        return false;
    *twins = it->isEmpty();
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

void ListedFileDates::AddFile(const QString& root, const QString& name, const FindEntry& entry) {
    Root* r = RootOf(root);
    if (!r)
        return;
    const qsizetype before = r->files.size();
    File& file = r->files[FoldedName{name}];
    if (r->files.size() == before) {
        file.ask = true; // the path layer decides between names alike
        return;
    }
    file.name = name;
    file.date = entry.writeTime;
    file.ask = entry.symlink;
}

ListedFileDates::Answer ListedFileDates::Find(const QString& root, const QString& name,
                                              qint32* date) const {
    const Root* r = RootOf(root);
    if (!r)
        return Answer::Unknown;
    const auto file = r->files.constFind(FoldedName{name});
    if (file == r->files.cend()) {
        const QString folder = FolderOf(name);
        bool twins = false;
        if (Listed(r->folders, folder, &twins))
            return twins ? Answer::Unknown : Answer::Absent;
        // A folder its parent's listing lacks.
        if (!folder.isEmpty() && Listed(r->parents, FolderOf(folder), &twins) && !twins)
            return Answer::Absent;
        return Answer::Unknown;
    }
    if (file->ask || file->name != name)
        return Answer::Unknown;
    *date = file->date;
    return Answer::Known;
}

qint32 ListedFileAge(const ListedFileDates* listed, const QString& root, QLatin1StringView base,
                     const QString& name) {
    qint32 date = -1;
    switch (listed ? listed->Find(root, name, &date) : ListedFileDates::Answer::Unknown) {
    case ListedFileDates::Answer::Known:
        return date;
    case ListedFileDates::Answer::Absent:
        return -1;
    case ListedFileDates::Answer::Unknown:
        break;
    }
    return FileAge(root + base + name);
}

} // namespace qv
