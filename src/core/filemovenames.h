// What the moves of one job learn of names they must leave where they are: folders found beside a
// twin alike but for letter case, which MSTS cannot tell apart, whose files are never settled
// against a file at the target; and names that are not UTF-8 text, whose entries the path layer
// cannot reach. Each such file, and a second file of a name alike in one folder that meets the
// first at the target, stays where it is and is named once in the pane; it counts against the
// run.
#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace qv {

class MoveNames {
public:
    // `folder` and `twin` stand side by side, alike but for letter case.
    void NoteTwinFolder(const QString& folder, const QString& twin);
    // Whether a folder on the way of `source` below the root it comes from has a twin, noted
    // earlier in this job (a twin since moved away whole) or beside it now; `twin` receives one.
    // `target` is where the file goes: the folders below the point where the two paths part are
    // the way.
    bool InTwinFolder(const QString& source, const QString& target, QString* twin);

    // Whether a name on the way of `source` is one the listing gave for names that are not UTF-8
    // (their bytes decoded with U+FFFD in place of what is not UTF-8): each such name of that
    // folder is named once, by a readable form of its bytes, and stays. True when the entry is
    // out of reach (no name of the folder is spelled as `source` has it).
    bool StaysForUndecodableName(const QString& source);

    // The file stays: MSTS cannot tell its name from `twin`'s, the file it met at its target.
    void ReportTwinFile(const QString& file, const QString& twin);
    // The file stays: MSTS cannot tell a folder on its way from `twinFolder`.
    void ReportInTwinFolder(const QString& file, const QString& twinFolder);

private:
    // A folder's path case-folded, with the spellings found of it.
    QHash<QString, QStringList> twinFolders_;
    QSet<QString> reported_;
};

} // namespace qv
