// What the main window takes from the registry at start-up and after a language switch: the
// option check marks and start pages, the window's size, place and tree width, and the Easy
// page's background picture; and, while it runs, the window's size kept up to date there.
#pragma once

#include <QString>

namespace qv {

class TMainForm;

// A number under the product key: decimal text, `fallback` when missing or not a number.
int ReadProductNumber(const QString& name, int fallback);

// The check marks of the option menu items and check boxes, the enabled state of the launch
// boxes and the pages the window opens on. Runs right after TMainForm::ApplyViewSettings.
void LoadSettings(TMainForm& form);

// The derived hints and captions, which viewer and Route Control items show, the items of the
// Easy page's locomotive, load, season and weather boxes and the stored "All Locos Index".
void LoadEasySettings(TMainForm& form);

// Puts the tree and the information pane of the Classic page into a splitter that keeps a
// minimum width for each; a drag of its handle stores "Last MainForm Tree Width".
void InstallClassicSplitter(TMainForm& form);
// The tree pane's width now.
int TreeWidth(const TMainForm& form);
// Gives the tree pane `width` pixels when that leaves room for the information pane; with
// `store` the width is kept as "Last MainForm Tree Width". False when nothing was applied.
// `windowWidth`, when given, is the width the window is about to take (a maximised window whose
// size the window system has not granted yet).
bool ApplyTreeWidth(TMainForm& form, int width, bool store, int windowWidth = -1);
// Reset Pane Width: the tree 267 wide and, unless maximised, the window 760 x 577.
void ResetPaneWidthMnuClick(TMainForm& form);

// Either the maximised state or the stored width, place and height (the place centred on the
// screen when none is stored), then the tree width within that size. Sizes are not stored while
// it runs.
void RestoreMainFormGeometry(TMainForm& form);

// "BACKGRND.JPG" in the program's folder: its presence is the background's "Tag" (1 or 0); it
// is shown unless "Easy Suppress Image" is set. A picture that cannot be read counts as absent.
void LoadEasyBackground(TMainForm& form);

// From now on every change of the window's size is stored as "Last MainForm Width" and
// "Last MainForm Height", except while the geometry is being restored or after an aborted
// start-up.
void KeepMainFormSize(TMainForm& form);

} // namespace qv
