#include "viewer/forms/canvasoptionsdialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace qv {

bool EditCanvasOptions(QWidget* parent, CanvasOptions* options) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("CanvasOptionsDialog"));
    dialog.setWindowTitle(QCoreApplication::translate("CanvasOptionsDialog", "3-D Options"));
    auto* layout = new QVBoxLayout(&dialog);
    auto box = [&](const char* name, const QString& text, bool on) {
        auto* check = new QCheckBox(text, &dialog);
        check->setObjectName(QLatin1String(name));
        check->setChecked(on);
        layout->addWidget(check);
        return check;
    };
    QCheckBox* textures =
        box("TexturesCheck", QCoreApplication::translate("CanvasOptionsDialog", "Textures"),
            options->textures);
    QCheckBox* lighting =
        box("LightingCheck", QCoreApplication::translate("CanvasOptionsDialog", "Lighting"),
            options->lighting);
    QCheckBox* wireframe =
        box("WireframeCheck", QCoreApplication::translate("CanvasOptionsDialog", "Wireframe"),
            options->wireframe);
    QCheckBox* culling =
        box("CullingCheck", QCoreApplication::translate("CanvasOptionsDialog", "Hide back faces"),
            options->culling);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    // The buttons say what the language module says, as every button of the program does.
    buttons->button(QDialogButtonBox::Ok)
        ->setText(QCoreApplication::translate("CanvasOptionsDialog", "OK"));
    buttons->button(QDialogButtonBox::Cancel)
        ->setText(QCoreApplication::translate("CanvasOptionsDialog", "Cancel"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options->textures = textures->isChecked();
    options->lighting = lighting->isChecked();
    options->wireframe = wireframe->isChecked();
    options->culling = culling->isChecked();
    return true;
}

} // namespace qv
