// The Options menu's standing choices and the option commands that act at once: each flag's
// registry value and what changes with it, choosing another MSTS folder, View Refresh, the Edit
// menu's enabling by the focused control and the main window's keyboard shortcuts.
#pragma once

#include <QList>
#include <QString>
#include <Qt>

namespace qv {

// An auto-check menu item (or check box) and the registry flag its click writes.
struct OptionFlag {
    QString Component;
    QString Value;
};
const QList<OptionFlag>& OptionFlags();

// What the window must do after a flag was written.
enum class OptionFollowUp {
    None,
    ClearTrafficAndUpdate, // the Easy page's traffic choice loses its selection; refresh
    UpdateControls,        // refresh only
    ReloadBackground,      // the Easy background and the layout again
};

// Writes the flag of the component as "true" or "false" and makes the changes that go with it
// at once (the view-by-file-name state and the caches, the error marks); the window then does
// what the result says. An unknown component writes nothing.
OptionFollowUp OptionFlagClick(const QString& component, bool checked);

// The MSTS Folder command. A chosen folder must hold MSTS and may not be the store folder, lie
// inside it or contain it. True when the MSTS folder changed (the caller reloads the tree).
bool MSTSTopFolderClick();

// Drops the consist, stock and path caches held in memory, so that they are read for the folder
// now in force.
void DropItemCaches();

// View Refresh: the save question (Cancel ends, false) unless `ask` is clear, no scenario, the
// tree reloaded from the folders, the controls refreshed and the selected node shown.
bool ViewRefreshClick(bool ask = true);

// Which Edit-menu items the focused control allows; nothing while a job runs.
struct EditMenuState {
    bool Copy = false;
    bool SaveText = false;
    bool Find = false;
    bool FindNext = false;
};
// `controlClass` as ControlClassName gives it; `searchContinues` when the window's search can
// go on in that control.
EditMenuState EditMenuStateFor(const QString& controlClass, bool searchContinues);

// The commands of the window's keys, in the order they run for one key press.
enum class FormKeyCommand {
    Refresh,
    FixedObjects,
    MemoryUsage,
    Logging,
    FindNext,
    Find,
    Copy,
    SaveText,
    Print
};
// The commands a key press runs with the focused control of `controlClass`; none while busy.
QList<FormKeyCommand> FormKeyCommands(int key, Qt::KeyboardModifiers modifiers,
                                      const QString& controlClass, bool busy);

} // namespace qv

namespace qv {

// The whole MSTS Folder command: after a change the caches are dropped and the tree is reloaded
// from the new folder after the save question; Cancel there leaves the tree as it is.
bool MSTSFolderCommand();

} // namespace qv
