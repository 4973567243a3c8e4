#include "core/pathshorten.h"

#include <QStringList>

namespace qv {

QString PathRootOf(const QString& path) {
    if (path.startsWith(QStringLiteral("\\\\"))) {
        const qsizetype server = path.indexOf(QLatin1Char('\\'), 2);
        const qsizetype share = server < 0 ? -1 : path.indexOf(QLatin1Char('\\'), server + 1);
        return share < 0 ? path : path.left(share);
    }
    return path.size() >= 2 && path.at(1) == QLatin1Char(':') ? path.left(2) : QString();
}

QString ShortenPath(const QString& path, int maxWidth,
                    const std::function<int(const QString&)>& width) {
    if (width(path) <= maxWidth)
        return path;
    const QString root = PathRootOf(path);
    const QString rest = path.mid(root.size());
    const QStringList parts = rest.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return path;
    const QString lead = root + QStringLiteral("\\...\\");
    for (qsizetype keep = parts.size() - 1; keep >= 1; --keep) {
        const QString candidate = lead + parts.mid(parts.size() - keep).join(QLatin1Char('\\'));
        if (width(candidate) <= maxWidth)
            return candidate;
    }
    return lead + parts.last();
}

} // namespace qv
