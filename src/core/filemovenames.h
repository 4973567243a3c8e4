// What the moves of one job learn of names they must leave where they are. Names alike but for
// letter case, which MSTS cannot tell apart: the files the moves settled, so that a second file of
// a name alike from the same folder is known as a twin of the first rather than taken for an
// older copy of it, and the folders found beside a twin, whose files are never settled against a
// file at the target. And names that are not UTF-8 text, whose entries the path layer cannot
// reach. Each such file stays where it is and is named once in the pane; it counts against the
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
    // The file at `source` was settled at `target` (moved there, or given up as the copy of the
    // file there).
    void NoteSettled(QStringView source, QStringView target);
    // What was noted of `target` no longer holds (its rename was not made after all).
    void ForgetSettled(QStringView target);
    // Whether a file this job settled from the folder of `source` stands at `target` (a name
    // alike but for letter case).
    bool SettledFromSameFolder(QStringView source, QStringView target) const;

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

    // The file stays: MSTS cannot tell its name from `twin`'s, a file this job settled.
    void ReportTwinFile(const QString& file, const QString& twin);
    // The file stays: MSTS cannot tell a folder on its way from `twinFolder`.
    void ReportInTwinFolder(const QString& file, const QString& twinFolder);

private:
    // A target's folded hash with that of the folder its file came from.
    QHash<quint64, quint64> settled_;
    // A folder's folded hash with the spellings found of it.
    QHash<quint64, QStringList> twinFolders_;
    QSet<QString> reported_;
};

} // namespace qv
