// The file operations a move is made of, behind one interface, so that tests can let any single
// operation fail and check that nothing is lost. The default goes to the Windows-path layer, so
// names are found without regard to letter case and nothing is ever replaced by a rename or copy.
#pragma once

#include "platform/winfind.h"
#include "platform/winfs.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace qv {

class FileMoveOps {
public:
    virtual ~FileMoveOps() = default;

    // The entry at a path; a link is described by what it points to, with `symlink` set.
    virtual bool Find(const QString& path, FindEntry* entry, int* error);
    // Every entry of a folder (`<folder>\*.*`), "." and ".." included as the listing gives them.
    virtual bool List(const QString& folder, QList<FindEntry>* entries, int* error);
    // Applies the read-only bit of `attributes`.
    virtual bool SetAttributes(const QString& path, quint32 attributes, int* error);
    // Renames a file, folder or link; fails with EEXIST when the target exists in any letter case.
    virtual bool Rename(const QString& from, const QString& to, int* error);
    // Renames a regular file into the folder of `target` under the name it has, in one step that
    // the path layer's listings settle (RenameListedFile): NotSettled when they cannot, and
    // nothing was done.
    virtual ListedRename RenameListed(const QString& source, const QString& target,
                                      QString* renamedTo, int* error);
    // Copies a file with its times to a target that must not exist, leaving no target behind
    // when it fails; a link is copied as a link to the same place.
    virtual bool Copy(const QString& source, const QString& target, int* error);
    // Deletes a file or a link.
    virtual bool Delete(const QString& path, int* error);
    // Removes an empty folder.
    virtual bool RemoveFolder(const QString& path, int* error);
    // Creates a folder and its missing parents; true when it exists already.
    virtual bool MakeFolders(const QString& path, int* error);
    // MakeFolders of many folders at once, ahead of the moves into them (ForceFoldersTogether).
    virtual bool MakeFoldersTogether(const QStringList& paths, int* error);
};

// The operations in force: the installed ones, else the default.
FileMoveOps& TheFileMoveOps();
// Installs operations (not owned); nullptr puts the default back.
void SetFileMoveOps(FileMoveOps* ops);

} // namespace qv
