#include "platform/keptfolders.h"

#include "platform/casefold.h"
#include "platform/drivemap.h"
#include "platform/folderlisting.h"
#include "platform/winresolve.h"

#include <QDir>
#include <QFile>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {

namespace {

std::function<QStringList()>& Source() {
    static std::function<QStringList()> source;
    return source;
}

// The real host path of an existing entry (every link followed), empty when there is none.
QString RealPath(const QString& host) {
    char real[PATH_MAX];
    if (!realpath(EncodeHostPath(host).constData(), real))
        return QString();
    return QFile::decodeName(real);
}

// Where a link leads: its real path, or for a link whose target is missing, where the target
// would be (its folder's real path and its name).
QString LinkTarget(const QString& link) {
    const QString real = RealPath(link);
    if (!real.isEmpty())
        return real;
    char text[PATH_MAX];
    const ssize_t size = readlink(EncodeHostPath(link).constData(), text, sizeof text - 1);
    if (size < 0)
        return QString();
    QString target = QFile::decodeName(QByteArray(text, size));
    if (!target.startsWith(QLatin1Char('/')))
        target = HostParentOf(link) + QLatin1Char('/') + target;
    target = QDir::cleanPath(target);
    const QString folder = RealPath(HostParentOf(target));
    return folder.isEmpty() ? target : JoinHostPath(folder, target.mid(LastSeparator(target) + 1));
}

} // namespace

void SetKeptFoldersSource(std::function<QStringList()> source) {
    Source() = std::move(source);
}

QStringList KeptFolders() {
    return Source() ? Source()() : QStringList();
}

KeptFolderCheck::KeptFolderCheck(const QStringList& windowsRoots) {
    for (const QString& windows : windowsRoots) {
        Root root;
        QString host;
        if (windows.isEmpty() || !SplitWindowsPath(windows, &root.drive, &root.components))
            continue;
        if (ResolvePath(windows, &host))
            root.real = RealPath(host);
        roots_.push_back(std::move(root));
    }
}

bool KeptFolderCheck::LeadsOut(const QString& path, LinkOut* out) {
    QChar drive;
    QStringList parts;
    if (!SplitWindowsPath(path, &drive, &parts))
        return false;
    for (const Root& root : roots_) {
        const qsizetype depth = root.components.size();
        if (root.drive != drive || parts.size() <= depth)
            continue;
        bool below = true;
        for (qsizetype i = 0; i < depth && below; ++i)
            below = SameWithoutCase(parts[i], root.components[i]);
        if (!below)
            continue;
        // From the root down, so that a linked folder is named rather than a file below it.
        QString prefix = QString(drive) + QLatin1Char(':');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            prefix += QLatin1Char('\\') + parts[i];
            if (i < depth)
                continue;
            if (const std::optional<LinkOut> found = Judge(prefix)) {
                if (out)
                    *out = *found;
                return true;
            }
        }
        return false;
    }
    return false;
}

std::optional<LinkOut> KeptFolderCheck::Judge(const QString& windowsPath) {
    const auto known = answers_.constFind(windowsPath);
    if (known != answers_.constEnd())
        return *known;
    std::optional<LinkOut> answer;
    // The listings tell a real folder or file from a link without asking the disk.
    if (ListedKindOf(windowsPath) == ListedKind::Unknown) {
        QString host;
        struct stat st {};
        if (ResolvePath(windowsPath, &host) && lstat(EncodeHostPath(host).constData(), &st) == 0 &&
            S_ISLNK(st.st_mode)) {
            const QString target = LinkTarget(host);
            if (!InsideRoots(target))
                answer = LinkOut{host, target};
        }
    }
    answers_.insert(windowsPath, answer);
    return answer;
}

bool KeptFolderCheck::InsideRoots(const QString& realHost) const {
    if (realHost.isEmpty())
        return false;
    for (const Root& root : roots_) {
        if (root.real.isEmpty())
            continue;
        if (realHost == root.real || realHost.startsWith(root.real.endsWith(QLatin1Char('/'))
                                                             ? root.real
                                                             : root.real + QLatin1Char('/')))
            return true;
    }
    return false;
}

} // namespace qv
