#include "catalogue/listedondemand.h"

#include "core/appstate.h"
#include "core/contentpath.h"
#include "core/stringlist.h"
#include "platform/casefold.h"
#include "platform/winfind.h"

#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <utility>

namespace qv {

namespace {

// The folder part of a name relative to the base; empty for a name right in the base.
QString FolderOfName(const QString& name) {
    const qsizetype cut = name.lastIndexOf(u'\\');
    return cut < 0 ? QString() : name.left(cut);
}

// Whether the name can stand for a folder to list: one that names a file as it stands.
bool Listable(const QString& name) {
    return !name.isEmpty() && EntryInside(QString(), name) == name;
}

} // namespace

QString ListedOnDemand::FolderPath(const QString& root, const QString& folder) const {
    QString path = root + base_ + folder;
    while (path.endsWith(u'\\'))
        path.chop(1);
    return path;
}

const ListedFileDates* ListedOnDemand::For(const QString& name) {
    // The files of one folder are mostly asked for one after another.
    const qsizetype cut = name.lastIndexOf(u'\\');
    if (lastKnown_ && QStringView(name).left(std::max<qsizetype>(cut, 0)) == lastFolder_)
        return &dates_;
    if (!Listable(name))
        return &dates_;
    const QString folder = FolderOfName(name);
    lastFolder_ = folder;
    lastKnown_ = true;
    if (listed_.contains(folder))
        return &dates_;
    listed_.insert(folder);
    for (const QString& root : {App().StoreRootFolder, App().MstsRootFolder})
        if (!root.isEmpty())
            ListOne(root, folder);
    return &dates_;
}

void ListedOnDemand::ListOne(const QString& root, const QString& folder) {
    if (Lacks(root, folder)) {
        dates_.AddFolder(root, folder);
        return;
    }
    // Looked up without a status text of its own: the reading that asks shows one.
    QStringList names;
    QList<qint32> times;
    QString host;
    int error = 0;
    if (FindNames(FolderPath(root, folder) + QStringLiteral("\\*"), false, &names, &times, &error,
                  &host))
        error = 0;
    // A folder without files, or none at all, holds none of the names asked for.
    if (error == 0 || error == ENOENT)
        dates_.AddFolder(root, folder, names, times, host);
}

bool ListedOnDemand::Lacks(const QString& root, const QString& folder) {
    const qsizetype cut = folder.lastIndexOf(u'\\');
    const QStringView name = QStringView(folder).mid(cut + 1);
    if (folder.isEmpty() || !IsAscii(name))
        return false;
    const QString parent = cut < 0 ? QString() : folder.left(cut);
    const QString key = root + u'|' + parent;
    auto known = subfolders_.find(key);
    if (known == subfolders_.end()) {
        QStringList names;
        int error = 0;
        // ENOENT: no sub-folder at all, or no parent either.
        const bool found = FindNames(FolderPath(root, parent) + QStringLiteral("\\*"), true, &names,
                                     nullptr, &error);
        std::optional<QSet<QString>> lower;
        if (found || error == ENOENT) {
            lower.emplace();
            for (const QString& sub : std::as_const(names)) {
                // A name beyond ASCII may fold to an ASCII one: the parent then tells nothing.
                if (!IsAscii(sub)) {
                    lower.reset();
                    break;
                }
                lower->insert(sub.toLower());
            }
        }
        known = subfolders_.insert(key, std::move(lower));
    }
    return known->has_value() && !(*known)->contains(name.toString().toLower());
}

void ListedOnDemand::ListFoldersOf(const StringList& names) {
    // Tens of thousands of names, a few to a folder: each folder is judged once.
    QStringList folders;
    QSet<QString> seen;
    for (int i = 0; i < names.Count(); ++i) {
        const QString& name = names[i];
        const qsizetype cut = name.lastIndexOf(u'\\');
        const QStringView folder = QStringView(name).left(std::max<qsizetype>(cut, 0));
        // The names of one folder mostly come one after another.
        if (!folders.isEmpty() && folders.constLast() == folder)
            continue;
        QString text = folder.toString();
        if (seen.contains(text))
            continue;
        seen.insert(text);
        folders.append(std::move(text));
    }
    ListFolders(folders);
}

void ListedOnDemand::ListFolders(const QStringList& folders) {
    QStringList unlisted;
    for (const QString& folder : folders) {
        // A folder that names itself plainly, or the base itself.
        if (listed_.contains(folder) || (!folder.isEmpty() && !Listable(folder)))
            continue;
        listed_.insert(folder);
        unlisted.append(folder);
    }
    if (unlisted.isEmpty())
        return;
    for (const QString& root : {App().StoreRootFolder, App().MstsRootFolder}) {
        if (root.isEmpty())
            continue;
        // The root's collection may lack most of the folders (a store holds a part of it): those
        // its parent's listing lacks are not looked for one by one.
        QStringList there;
        QStringList paths;
        for (const QString& folder : std::as_const(unlisted)) {
            if (Lacks(root, folder)) {
                dates_.AddFolder(root, folder);
                continue;
            }
            there.append(folder);
            paths.append(FolderPath(root, folder));
        }
        if (!paths.isEmpty())
            dates_.AddListings([](const QString&) {}, root, FolderPath(root, QString()), paths,
                               there, {QStringLiteral("*")});
    }
}

ListedFileDates::Answer ListedOnDemand::Find(const QString& root, const QString& name,
                                             qint32* date) {
    return For(name)->Find(root, name, date);
}

} // namespace qv
