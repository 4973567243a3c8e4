#include "platform/tempfiles.h"

#include "platform/drivemap.h"
#include "platform/winresolve.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace qv {

namespace {

bool SetError(int* error, int code) {
    if (error)
        *error = code;
    return false;
}

} // namespace

QString TempFolderPath() {
    // Taken as it stands, as Windows takes TMP: a folder that is gone makes creating fail
    // instead of quietly moving elsewhere.
    QString host = qEnvironmentVariable("TMPDIR");
    if (host.isEmpty())
        host = QStringLiteral("/tmp");
    QString folder = ToWindowsForm(QDir::cleanPath(host));
    if (!folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('\\');
    return folder;
}

bool CreateTempFile(const QString& folder, const QString& prefix, QString* path, int* error) {
    path->clear();
    QString hostFolder;
    if (!ResolvePath(folder, &hostFolder, error))
        return false;
    QString windowsFolder = folder;
    if (!windowsFolder.endsWith(QLatin1Char('\\')))
        windowsFolder += QLatin1Char('\\');
    // Start somewhere that differs between runs and processes, then take the next free number.
    const unsigned start = unsigned(getpid()) * 7919u + unsigned(time(nullptr));
    int lastError = EEXIST;
    for (unsigned i = 0; i < 0xFFFF; ++i) {
        const unsigned number = (start + i) % 0xFFFF + 1;
        const QString name = prefix.left(3) +
                             QStringLiteral("%1").arg(number, 4, 16, QLatin1Char('0')).toUpper() +
                             QStringLiteral(".tmp");
        ResolvedPath resolved;
        if (!ResolvePathForCreate(windowsFolder + name, &resolved, error))
            return false;
        if (resolved.exists)
            continue;
        BeforeFolderChange(hostFolder);
        const QString host = hostFolder + QLatin1Char('/') + name;
        const int fd = open(QFile::encodeName(host).constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            InvalidateFolder(hostFolder);
            lastError = errno;
            if (lastError == EEXIST)
                continue;
            return SetError(error, lastError);
        }
        close(fd);
        FolderChanged(hostFolder, name);
        *path = windowsFolder + name;
        return true;
    }
    return SetError(error, lastError);
}

} // namespace qv
