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

// A Windows-form path as this program spells it: "X:\A\B", one backslash between the parts.
// Empty when it is no full Windows path.
QString Spelled(const QString& path) {
    // Mostly spelled so already: one look at each character tells.
    bool plain = path.size() > 2 && path.at(0).isUpper() && path.at(1) == QLatin1Char(':') &&
                 path.back() != QLatin1Char('\\');
    for (qsizetype i = 2; plain && i < path.size(); ++i) {
        const QChar c = path.at(i);
        plain =
            c != QLatin1Char('/') && (c != QLatin1Char('\\') ||
                                      (i + 1 < path.size() && path.at(i + 1) != QLatin1Char('\\') &&
                                       path.at(i + 1) != QLatin1Char('.')));
    }
    if (plain && path.at(2) == QLatin1Char('\\'))
        return path;
    QChar drive;
    QStringList parts;
    if (!SplitWindowsPath(path, &drive, &parts))
        return QString();
    QString spelled = QString(drive) + QLatin1Char(':');
    for (const QString& part : parts)
        spelled += QLatin1Char('\\') + part;
    return spelled;
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
        root.windows = Spelled(windows);
        if (root.windows.isEmpty())
            continue;
        QString host;
        if (ResolvePath(windows, &host))
            root.real = RealPath(host);
        roots_.push_back(std::move(root));
    }
}

bool KeptFolderCheck::LeadsOut(const QString& path, LinkOut* out) {
    const QString spelled = Spelled(path);
    for (const Root& root : roots_) {
        const qsizetype depth = root.windows.size();
        if (spelled.size() <= depth + 1 || spelled.at(depth) != QLatin1Char('\\') ||
            !SameWithoutCase(QStringView(spelled).left(depth), root.windows))
            continue;
        const std::optional<LinkOut> found = Verdict(spelled, depth);
        if (found && out)
            *out = *found;
        return found.has_value();
    }
    return false;
}

std::optional<LinkOut> KeptFolderCheck::Verdict(const QString& path, qsizetype rootLength) {
    if (path.size() <= rootLength)
        return std::nullopt;
    const auto known = answers_.constFind(path);
    if (known != answers_.constEnd())
        return *known;
    // The folders above first, so that a linked folder is named rather than an entry below it.
    std::optional<LinkOut> answer =
        Verdict(path.left(path.lastIndexOf(QLatin1Char('\\'))), rootLength);
    // The listings tell a real folder or file from a link without asking the disk.
    if (!answer && ListedKindOf(path) == ListedKind::Unknown) {
        QString host;
        struct stat st {};
        if (ResolvePath(path, &host) && lstat(EncodeHostPath(host).constData(), &st) == 0 &&
            S_ISLNK(st.st_mode)) {
            const QString target = LinkTarget(host);
            if (!InsideRoots(target))
                answer = LinkOut{host, target};
        }
    }
    answers_.insert(path, answer);
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
