#include "qtui/scenariodialogs.h"

#include "core/forms/controls.h"
#include "platform/drivemap.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace qv {

namespace {

// Our own dialog rather than the platform's: it matches the upper-case extension of the filter
// in any letter case, as scenario files made on Windows come in both.
void PrepareDialog(QFileDialog& dialog, const QString& initialFolder) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(
        QCoreApplication::translate("ScenarioDialogs", "Quarvel Scenario files (*.QVS)"));
    dialog.setSizeGripEnabled(true);
    const QString folder = HostForm(initialFolder);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
}

bool TakeChoice(QFileDialog& dialog, QString* file) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    if (file)
        *file = ToWindowsForm(dialog.selectedFiles().front());
    return true;
}

} // namespace

bool ShowOpenScenarioDialog(QWidget* parent, const QString& title, const QString& initialFolder,
                            QString* file) {
    QFileDialog dialog(parent, title);
    dialog.setObjectName(QStringLiteral("OpenScenarioDlg"));
    PrepareDialog(dialog, initialFolder);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return TakeChoice(dialog, file);
}

bool ShowSaveScenarioDialog(QWidget* parent, const QString& initialFolder, QString* file) {
    QFileDialog dialog(parent,
                       QCoreApplication::translate("ScenarioDialogs", "Save Quarvel Scenario"));
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    PrepareDialog(dialog, initialFolder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("QVS"));
    if (file && !file->isEmpty())
        dialog.selectFile(HostForm(*file));
    return TakeChoice(dialog, file);
}

} // namespace qv
