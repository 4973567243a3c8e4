#include "core/filemoveops.h"

#include "core/filefind.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include <QFile>
#include <cerrno>
#include <unistd.h>

namespace qv {

namespace {

// Every operation but the one-step rename and the making of folders (which waits for the folder it
// changes only) first waits for the renames handed to the rename thread, so that it finds the
// files where the listings say they are.
FileMoveOps defaultOps;
FileMoveOps* currentOps = nullptr;

// A link goes over as a link with the same text, so that what it points to stays where it is.
bool CopyLink(const QString& source, const QString& target, int* error) {
    QString sourceHost;
    ResolvedPath resolved;
    if (!ResolvePath(source, &sourceHost, error) || !ResolvePathForCreate(target, &resolved, error))
        return false;
    if (resolved.exists)
        return SetFsError(error, EEXIST);
    if (resolved.existingHost != HostParentOf(resolved.host))
        return SetFsError(error, ENOENT);
    QByteArray text(4096, '\0');
    const ssize_t length =
        readlink(QFile::encodeName(sourceHost).constData(), text.data(), size_t(text.size()));
    if (length < 0 || length >= text.size())
        return SetFsError(error, length < 0 ? errno : ENAMETOOLONG);
    text.truncate(length);
    BeforeFolderChange(HostParentOf(resolved.host));
    const bool made = symlink(text.constData(), QFile::encodeName(resolved.host).constData()) == 0;
    const int code = errno;
    InvalidateFolder(HostParentOf(resolved.host));
    return made ? true : SetFsError(error, code);
}

} // namespace

bool FileMoveOps::Find(const QString& path, FindEntry* entry, int* error) {
    WaitForDeferredRenames();
    return FindEntryOf(path, entry, error);
}

bool FileMoveOps::List(const QString& folder, QList<FindEntry>* entries, int* error) {
    WaitForDeferredRenames();
    return FindEntries(folder + QStringLiteral("\\*.*"), entries, error);
}

bool FileMoveOps::SetAttributes(const QString& path, quint32 attributes, int* error) {
    WaitForDeferredRenames();
    return SetFileAttributes(path, attributes, error);
}

bool FileMoveOps::Rename(const QString& from, const QString& to, int* error) {
    WaitForDeferredRenames();
    return RenameNoReplace(from, to, error);
}

ListedRename FileMoveOps::RenameListed(const QString& source, const QString& target,
                                       QString* renamedTo, int* error) {
    return RenameListedFile(source, target, renamedTo, error);
}

bool FileMoveOps::Copy(const QString& source, const QString& target, int* error) {
    FindEntry entry;
    if (!FileMoveOps::Find(source, &entry, error))
        return false;
    if (entry.symlink)
        return CopyLink(source, target, error);
    // The copy reports its own failure to the user; it gives no error number.
    return CopyFileKeepTimes(source, target) ? true : SetFsError(error, EIO);
}

bool FileMoveOps::Delete(const QString& path, int* error) {
    WaitForDeferredRenames();
    return DeleteFile(path, error);
}

bool FileMoveOps::RemoveFolder(const QString& path, int* error) {
    WaitForDeferredRenames();
    return qv::RemoveFolder(path, error);
}

bool FileMoveOps::MakeFolders(const QString& path, int* error) {
    return ForceFolders(path, error);
}

bool FileMoveOps::MakeFoldersTogether(const QStringList& paths, int* error) {
    return ForceFoldersTogether(paths, error);
}

FileMoveOps& TheFileMoveOps() {
    return currentOps ? *currentOps : defaultOps;
}

void SetFileMoveOps(FileMoveOps* ops) {
    currentOps = ops;
}

} // namespace qv
