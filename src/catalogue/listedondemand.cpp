#include "catalogue/listedondemand.h"

#include "core/appstate.h"
#include "core/contentpath.h"
#include "core/stringlist.h"

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
    for (const QString& root : {App().StoreRootFolder, App().MstsRootFolder}) {
        if (root.isEmpty())
            continue;
        // Looked up without a status text of its own: the reading that asks shows one.
        QStringList names;
        QList<qint32> times;
        QString host;
        int error = 0;
        if (FindNames(FolderPath(root, folder) + QStringLiteral("\\*"), false, &names, &times,
                      &error, &host))
            error = 0;
        // A folder without files, or none at all, holds none of the names asked for.
        if (error == 0 || error == ENOENT)
            dates_.AddFolder(root, folder, names, times, host);
    }
    return &dates_;
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
        QStringList paths;
        paths.reserve(unlisted.size());
        for (const QString& folder : std::as_const(unlisted))
            paths.append(FolderPath(root, folder));
        dates_.AddListings([](const QString&) {}, root, FolderPath(root, QString()), paths,
                           unlisted, {QStringLiteral("*")});
    }
}

ListedFileDates::Answer ListedOnDemand::Find(const QString& root, const QString& name,
                                             qint32* date) {
    return For(name)->Find(root, name, date);
}

} // namespace qv
