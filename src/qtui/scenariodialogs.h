// The file dialogs through which scenario files are opened, chosen as the default and saved.
// They take and give Windows-form paths; the dialogs themselves work on host paths.
#pragma once

#include <QString>

class QWidget;

namespace qv {

// Shows the open dialog with the title, at the initial folder; true with the chosen existing
// file in `*file` when one was chosen.
bool ShowOpenScenarioDialog(QWidget* parent, const QString& title, const QString& initialFolder,
                            QString* file);
// Shows the save dialog at the initial folder with `*file` as the file name; true with the chosen
// file in `*file` when one was chosen (an existing file only after the user agreed to replace it).
bool ShowSaveScenarioDialog(QWidget* parent, const QString& initialFolder, QString* file);

} // namespace qv
