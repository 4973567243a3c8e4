#include "viewer/forms/canvasoptionsdialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace qv {
namespace {

// Runs `act` on the dialog once it is shown.
void WhenShown(const std::function<void(QDialog*)>& act) {
    QTimer::singleShot(0, [act] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(widget);
                dialog && dialog->objectName() == QLatin1String("CanvasOptionsDialog")) {
                act(dialog);
                return;
            }
        ADD_FAILURE() << "the options dialog was not shown";
    });
}

TEST(CanvasOptionsDialog, ShowsTheOptionsAndGivesBackWhatWasTicked) {
    struct Case {
        const char* name;
        bool ok;
        CanvasOptions expected;
    } cases[] = {
        {"OK takes the changes", true, {false, true, true, true}},
        {"Cancel leaves them", false, CanvasOptions{}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CanvasOptions options;
        bool shownAsGiven = false;
        WhenShown([&](QDialog* dialog) {
            auto* textures = dialog->findChild<QCheckBox*>(QStringLiteral("TexturesCheck"));
            auto* wireframe = dialog->findChild<QCheckBox*>(QStringLiteral("WireframeCheck"));
            auto* culling = dialog->findChild<QCheckBox*>(QStringLiteral("CullingCheck"));
            auto* lighting = dialog->findChild<QCheckBox*>(QStringLiteral("LightingCheck"));
            ASSERT_TRUE(textures && wireframe && culling && lighting);
            shownAsGiven = textures->isChecked() && lighting->isChecked() &&
                           !wireframe->isChecked() && culling->isChecked();
            textures->setChecked(false);
            wireframe->setChecked(true);
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            buttons->button(c.ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        EXPECT_EQ(EditCanvasOptions(nullptr, &options), c.ok);
        EXPECT_TRUE(shownAsGiven);
        EXPECT_EQ(options, c.expected);
    }
}

} // namespace
} // namespace qv
