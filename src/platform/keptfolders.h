// The two folders this program keeps files in (the MSTS folder and the store) and the symbolic
// links inside them. Content unpacked from an archive, or a stock folder linked in from another
// disk, may hold links that lead anywhere: reading through them is harmless, but nothing the
// program writes or moves may land outside the two folders through one.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <cerrno>
#include <functional>
#include <optional>
#include <vector>

namespace qv {

// A write or move refused since a link on its way leads out of the kept folders.
constexpr int kFsLinkLeaves = EXDEV;

// Where the kept folders are asked for at the moment of a check: their Windows-form paths (an
// empty one is a folder not set up). Installed once by the program's state; none by default.
void SetKeptFoldersSource(std::function<QStringList()> source);
// The kept folders as the source gives them now (none without a source).
QStringList KeptFolders();

// A link on the way of a path that leads out of every kept folder: the link's host path and the
// host path it leads to.
struct LinkOut {
    QString link;
    QString target;
};

// Judges paths below the kept folders, remembering the answer of each folder on the way, so that
// a job asking for thousands of files in a few hundred folders looks at each folder once.
class KeptFolderCheck {
public:
    explicit KeptFolderCheck(const QStringList& windowsRoots = KeptFolders());
    // True when the path (Windows form) lies below one of the roots and an entry on its way below
    // that root, the path's own last entry included, is a link that leads out of all of them;
    // `out` then names the first such link. A path below none of the roots is not judged.
    bool LeadsOut(const QString& path, LinkOut* out = nullptr);

private:
    struct Root {
        QString windows; // spelled "X:\\A\\B"
        QString real;    // the root's real host path, empty when it cannot be found
    };
    // The first link on the way of a path below a root, the root spelled by its first
    // `rootLength` characters.
    std::optional<LinkOut> Verdict(const QString& path, qsizetype rootLength);
    bool InsideRoots(const QString& realHost) const;

    std::vector<Root> roots_;
    QHash<QString, std::optional<LinkOut>> answers_;
};

} // namespace qv
