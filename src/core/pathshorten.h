// A long Windows-form path shortened to fit a label: the drive (or \\server\share), "\...\" and
// as many of the trailing folders as fit, the last component always kept.
#pragma once

#include <QString>
#include <functional>

namespace qv {

// The root part of a Windows-form path: "C:" or "\\server\share" as written; empty when it has
// neither.
QString PathRootOf(const QString& path);

// The path as it is when it fits `maxWidth` as measured by `width`, else the shortest loss of
// leading folders that fits; when even the last component alone does not fit, the drive,
// "\...\" and that component.
QString ShortenPath(const QString& path, int maxWidth,
                    const std::function<int(const QString&)>& width);

} // namespace qv
