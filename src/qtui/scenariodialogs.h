// The file dialogs through which scenario files are opened, chosen as the default and saved.
// They take and give Windows-form paths; the dialogs themselves work on host paths.
#pragma once

#include <QString>

class QWidget;

namespace qv {

// The host form of a Windows-form path: the existing entry when there is one (found without
// regard to case), else the literal mapping through the drives; empty when neither works.
QString HostForm(const QString& windowsPath);

// Shows the open dialog with the title, at the initial folder; true with the chosen existing
// file in `*file` when one was chosen.
bool ShowOpenScenarioDialog(QWidget* parent, const QString& title, const QString& initialFolder,
                            QString* file);
// Shows the save dialog at the initial folder with `*file` as the file name; true with the chosen
// file in `*file` when one was chosen (an existing file only after the user agreed to replace it).
bool ShowSaveScenarioDialog(QWidget* parent, const QString& initialFolder, QString* file);

} // namespace qv
