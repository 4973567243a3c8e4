// Scenario files: the File menu and tool-bar commands that start a fresh tree, open a saved set of
// tree marks and save it, the list of recently used scenario files in the File menu, the default
// scenario loaded at start-up, and the rule that keeps scenario files out of the MSTS folder and
// the store. Each command is named after the main form's handler it serves; the form calls them
// qualified (qv::Save1Click(this)), since its own handlers bear the same names. The sender is the
// control that fired (none from jobs).
#pragma once

#include <QList>
#include <QString>
#include <functional>

class QObject;

namespace qv {

// The registry sub-key of the recent-files list and its length.
inline const QString kRecentScenariosKey = QStringLiteral("MRUs");
constexpr int kMaxRecentScenarios = 9;

// True when the file exists and reads as a scenario file; a refused file has been reported by
// the reader, a missing one is reported here ("file not found").
bool IsReadableScenario(const QString& file);

// Loads a scenario file into the tree and makes it the current scenario, first in the recent
// list. A file that is missing or not a valid scenario file is reported and changes nothing (it
// does not become the current file, so that a later Save cannot overwrite it); false then.
bool OpenScenario(const QString& file);

// True when the path may hold a scenario file: not inside the MSTS folder or the store (compared
// without regard to the case of ASCII letters). A refusal is shown in a stop box.
bool CheckScenarioSavePath(const QString& path);

// New1Click / NewTBtn: after the save question (Cancel ends it), empties the tree and forgets the
// current scenario.
void New1Click(QObject* sender);
// Open1Click / OpenTBtn: after the save question, the open dialog and OpenScenario. True when a
// scenario was opened.
bool Open1Click(QObject* sender);
// Save1Click / SaveTBtn: writes the tree's marks to the current scenario file (Save As when there
// is none or it has disappeared). True only when a file was written.
bool Save1Click(QObject* sender);
// SaveAs1Click / SaveAsTBtn: writes the tree's marks to a file chosen in the save dialog, which
// then becomes the current scenario. True only when a file was written.
bool SaveAs1Click(QObject* sender);
// MRU0Click (all nine MRU items): opens recent entry `tag` for a sender whose name begins with
// "MRU". A file that no longer exists is dropped from the list and reported. True when a scenario
// was opened.
bool MRU0Click(QObject* sender, int tag);
// DefaultScenarioMnuClick: clears a set default scenario; else lets the user choose one, accepted
// only when it reads as a scenario file. Sets the check mark of DefaultScenarioMnu to match.
void DefaultScenarioMnuClick(QObject* sender);

// One recent-file item of the File menu: MRU<Tag>, shown with the caption, its hint in the
// status bar.
struct RecentFileItem {
    QString Caption;
    QString Hint;
    int Tag = 0;
};

// What the File menu shows of the recent list when it opens. The form first hides every item
// from NLBeforeMRU through NLAfterMRU; with `Cancelled` (a job runs) it closes the menu instead.
struct FileMenuRecentState {
    bool Cancelled = false;
    // NLBeforeMRU and NLAfterMRU are shown.
    bool ShowSeparators = false;
    QList<RecentFileItem> Items;
};

// File1Click: the recent items to show (only on the Classic page). `textWidth` gives a text's
// width in pixels in the main form's font.
FileMenuRecentState File1Click(QObject* sender,
                               const std::function<int(const QString&)>& textWidth);

// The path shortened to `maxWidth` pixels: leading folders after the drive give way to "..." one
// at a time, then the drive goes; the file name is never cut.
QString ShortenScenarioPath(const QString& path, int maxWidth,
                            const std::function<int(const QString&)>& textWidth);

} // namespace qv
