// Saving the text of the focused control to a file the user picks: the information pane as plain
// text or rich text, a list or tree as its lines. The chosen file type decides the form, and the
// old file is replaced only once the new one has been written whole.
#pragma once

#include "core/reportpane.h"

#include <QByteArray>
#include <QString>

namespace qv {

// The save dialog's types, in the order of its filter.
enum SaveTextType : int { SAVE_AS_TEXT = 1, SAVE_AS_RTF = 2, SAVE_AS_ANY = 3 };

// The form the file is written in: RTF for the RTF type, and for "All Files" when the name ends
// in ".RTF"; plain text otherwise.
bool SaveAsRichText(int filterIndex, const QString& file);

// Writes the bytes through a temporary file that replaces the target only when the write
// succeeded; a failure shows "Error: Writing to file '<file>'" and leaves an old file whole.
bool WriteSavedText(const QString& file, const QByteArray& data);

// The whole command for the information pane (`pane` set, `richPane` when it is not in
// plain-text mode) or a list control (`listText`): the dialog preselects rich text for a rich
// pane, starts in "Last Text Save Folder", and the chosen folder is kept there. False when the
// dialog was cancelled or the write failed.
bool SaveFocusedTextAs(const ReportPane* pane, bool richPane, const QString& listText);

} // namespace qv
