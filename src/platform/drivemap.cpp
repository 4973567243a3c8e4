#include "platform/drivemap.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

namespace qv {

namespace {

QString CleanRoot(const QString& hostRoot) {
    QString root = QDir::cleanPath(hostRoot);
    if (root.size() > 1 && root.endsWith(QLatin1Char('/')))
        root.chop(1);
    return root;
}

bool IsUnder(const QString& hostPath, const QString& root) {
    if (root == QLatin1String("/"))
        return hostPath.startsWith(QLatin1Char('/'));
    return hostPath == root ||
           (hostPath.startsWith(root) && hostPath.at(root.size()) == QLatin1Char('/'));
}

// The path with links resolved in its longest existing part (a file to be saved need not exist).
QString CanonicalPrefix(const QString& path) {
    QString existing = path, rest;
    while (existing.size() > 1) {
        const QString real = QFileInfo(existing).canonicalFilePath();
        if (!real.isEmpty())
            return real == QLatin1String("/") ? QLatin1Char('/') + rest.mid(1) : real + rest;
        const qsizetype slash = existing.lastIndexOf(QLatin1Char('/'));
        rest = existing.mid(slash) + rest;
        existing = slash <= 0 ? QStringLiteral("/") : existing.left(slash);
    }
    return path;
}

std::optional<DriveMap>& GlobalMap() {
    static std::optional<DriveMap> map;
    return map;
}

} // namespace

DriveMap::DriveMap() {
    roots_.insert(QLatin1Char('Z'), QStringLiteral("/"));
}

DriveMap DriveMap::FromWinePrefix(const QString& prefixDir) {
    DriveMap map;
    const QDir devices(prefixDir + QStringLiteral("/dosdevices"));
    const QFileInfoList links = devices.entryInfoList(QDir::AllEntries | QDir::System);
    for (const QFileInfo& link : links) {
        const QString name = link.fileName();
        if (!link.isSymLink() || name.size() != 2 || name.at(1) != QLatin1Char(':') ||
            !name.at(0).isLetter() || name.at(0).toUpper() == QLatin1Char('Z'))
            continue;
        // Wine writes relative targets ("../drive_c"); they count from the dosdevices folder.
        const QString target = link.symLinkTarget();
        if (!target.isEmpty())
            map.SetDrive(name.at(0), devices.absoluteFilePath(target));
    }
    return map;
}

void DriveMap::SetDrive(QChar letter, const QString& hostRoot) {
    const QChar key = letter.toUpper();
    if (hostRoot.isEmpty())
        roots_.remove(key);
    else
        roots_.insert(key, CleanRoot(hostRoot));
}

QString DriveMap::HostRoot(QChar letter) const {
    return roots_.value(letter.toUpper());
}

QString DriveMap::ToHost(const QString& windowsPath) const {
    QChar drive;
    QStringList components;
    if (!SplitWindowsPath(windowsPath, &drive, &components))
        return QString();
    QString host = HostRoot(drive);
    if (host.isEmpty())
        return QString();
    for (const QString& component : components) {
        if (!host.endsWith(QLatin1Char('/')))
            host += QLatin1Char('/');
        host += component;
    }
    return host;
}

QString DriveMap::ToWindows(const QString& hostPath) const {
    const QString path = QDir::cleanPath(QDir::current().absoluteFilePath(hostPath));
    QChar best;
    QString bestRoot, matched = path;
    auto consider = [&](const QString& candidate, bool canonical) {
        for (auto it = roots_.cbegin(); it != roots_.cend(); ++it) {
            QString root = it.value();
            if (canonical) {
                const QString real = QFileInfo(root).canonicalFilePath();
                root = real.isEmpty() ? root : real;
            }
            if (IsUnder(candidate, root) && (bestRoot.isNull() || root.size() > bestRoot.size())) {
                best = it.key();
                bestRoot = root;
                matched = candidate;
            }
        }
    };
    consider(path, false);
    // A path reached through a link (or a drive whose root is a link) still belongs to its drive.
    if (bestRoot.isNull() || bestRoot == QLatin1String("/")) {
        const QString real = CanonicalPrefix(path);
        if (real != path)
            consider(real, true);
    }
    if (bestRoot.isNull()) // Z: was removed and nothing else matches: keep the host form
        return path;
    const QString rest = matched.mid(bestRoot == QLatin1String("/") ? 1 : bestRoot.size() + 1);
    return JoinWindowsPath(best, rest.isEmpty() ? QStringList() : rest.split(QLatin1Char('/')));
}

QString WinePrefixDir() {
    QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (prefix.isEmpty())
        prefix = QDir::homePath() + QStringLiteral("/.wine");
    return QFileInfo(prefix).isDir() ? QDir::cleanPath(prefix) : QString();
}

const DriveMap& TheDriveMap() {
    std::optional<DriveMap>& map = GlobalMap();
    if (!map)
        ResetDriveMap();
    return *map;
}

void SetDriveMap(const DriveMap& map) {
    GlobalMap() = map;
}

void ResetDriveMap() {
    const QString prefix = WinePrefixDir();
    GlobalMap() = prefix.isEmpty() ? DriveMap() : DriveMap::FromWinePrefix(prefix);
}

bool SplitWindowsPath(const QString& path, QChar* drive, QStringList* components) {
    if (path.size() < 2 || !path.at(0).isLetter() || path.at(0).unicode() > 0x7f ||
        path.at(1) != QLatin1Char(':'))
        return false;
    auto isSeparator = [](QChar c) { return c == QLatin1Char('\\') || c == QLatin1Char('/'); };
    if (path.size() > 2 && !isSeparator(path.at(2)))
        return false;
    if (path.contains(QChar(0)))
        return false;
    QStringList parts;
    qsizetype start = 2;
    for (qsizetype i = 2; i <= path.size(); ++i) {
        if (i < path.size() && !isSeparator(path.at(i)))
            continue;
        const QStringView chunk = QStringView(path).sliced(start, i - start);
        start = i + 1;
        // Windows applies "." and ".." to the text of the path, not through links.
        if (chunk == u"..") {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (!chunk.isEmpty() && chunk != u".") {
            parts.append(chunk.toString());
        }
    }
    *drive = path.at(0).toUpper();
    *components = parts;
    return true;
}

QString JoinWindowsPath(QChar drive, const QStringList& components) {
    QString path = QString(drive.toUpper()) + QStringLiteral(":\\");
    return path + components.join(QLatin1Char('\\'));
}

QString ToWindowsForm(const QString& anyPath) {
    QChar drive;
    QStringList components;
    if (SplitWindowsPath(anyPath, &drive, &components))
        return JoinWindowsPath(drive, components);
    return TheDriveMap().ToWindows(anyPath);
}

QString HomeFolder() {
    return TheDriveMap().ToWindows(QDir::homePath());
}

} // namespace qv
