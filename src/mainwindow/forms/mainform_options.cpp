// The Options and View commands of the main window: the option flags with what changes at once,
// the MSTS folder, the highlight font, printer setup, the About box, View Refresh, the Edit
// menu's enabling by the focused control and the window's keyboard shortcuts.

#include "mainwindow/forms/mainform.h"

#include "ui_mainform.h"

#include "core/appstate.h"
#include "core/forms/contextmenukeys.h"
#include "core/forms/controls.h"
#include "core/highlightfont.h"
#include "core/status.h"
#include "mainwindow/forms/aboutboxdlg.h"
#include "mainwindow/forms/mainform_settings.h"
#include "mainwindow/optioncommands.h"
#include "platform/ui.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <utility>

namespace qv {

namespace {

// The menu bar takes the focus while its menus are worked with the keys; it is not a control the
// user is in.
bool IsMenu(const QWidget* widget) {
    return qobject_cast<const QMenuBar*>(widget) || qobject_cast<const QMenu*>(widget);
}

// The widget that has the focus when it is one of `window`'s, else null.
QWidget* FocusedIn(const QWidget* window) {
    QWidget* focused = QApplication::focusWidget();
    return focused && focused->window() == window ? focused : nullptr;
}

} // namespace

QWidget* TMainForm::ActiveControl() const {
    QWidget* focused = FocusedIn(this);
    if (!focused || !IsMenu(focused))
        return focused;
    QWidget* last = lastControl_;
    return last && last->window() == this && last->isVisible() ? last : nullptr;
}

void TMainForm::BindOptionCommands() {
    for (const OptionFlag& flag : OptionFlags()) {
        if (auto* item = findChild<QAction*>(flag.Component)) {
            const QString component = flag.Component;
            connect(item, &QAction::triggered, this,
                    [this, component](bool checked) { OptionFlagItemClick(component, checked); });
        }
    }
    connect(ui->MSTSTopFolder, &QAction::triggered, this, [] { MSTSFolderCommand(); });
    connect(ui->ChangeHighlightingMnu, &QAction::triggered, this,
            [] { ChooseHighlightFont(HKEY_LOCAL_MACHINE, kHighlightFontName); });
    connect(ui->PrintSetup1, &QAction::triggered, this, [] { TheUi().PrinterSetup(); });
    connect(ui->About1, &QAction::triggered, this, [this] { About1Click(); });
    connect(ui->ViewRefresh, &QAction::triggered, this, [this] { ViewRefreshClick(); });
    connect(ui->EditMnu, &QMenu::aboutToShow, this, [this] { EditMnuClick(); });
    // While a job runs, a menu that opens closes before any of its commands can be chosen; the
    // File and Edit menus do so in their own handlers.
    for (QAction* top : ui->MainMenu->actions()) {
        QMenu* menu = top->menu();
        if (!menu || menu == ui->File1 || menu == ui->EditMnu)
            continue;
        connect(menu, &QMenu::aboutToShow, this, [menu] {
            if (App().Busy)
                QTimer::singleShot(0, menu, &QMenu::close);
        });
    }
    // The Edit items and the print commands follow the focus, so that the popup menus, which
    // copy them, show what the focused control allows.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now->window() == this && !IsMenu(now))
            lastControl_ = now;
        if (!App().Busy)
            EditMnuClick();
    });
    qApp->installEventFilter(this);
    // Shift+F10 and the Menu key open the focused control's popup in this and every other window.
    InstallContextMenuKeys();
}

// The keys stand after a tab in the items' texts, where a menu shows an item's key. They are not
// the items' shortcuts: the window's key preview (FormKeyDown) decides what each key does, and
// in which control.
void TMainForm::ShowMenuKeys() {
    const std::pair<QAction*, QKeySequence> keys[] = {
        {ui->ViewRefresh, QKeySequence(Qt::Key_F5)},
        {ui->FindMnu, QKeySequence(Qt::CTRL | Qt::Key_F)},
        {ui->FindNextMnu, QKeySequence(Qt::Key_F3)},
        {ui->CopyMnu, QKeySequence(Qt::CTRL | Qt::Key_C)},
        {ui->SaveTxtMnu, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {ui->Print1, QKeySequence(Qt::CTRL | Qt::Key_P)},
    };
    for (const auto& [item, key] : keys)
        item->setText(item->text().section(QLatin1Char('\t'), 0, 0) + QLatin1Char('\t') +
                      key.toString(QKeySequence::NativeText));
}

void TMainForm::OptionFlagItemClick(const QString& component, bool checked) {
    switch (OptionFlagClick(component, checked)) {
    case OptionFollowUp::ClearTrafficAndUpdate:
        ui->ConsistTrafficCmbx->setCurrentIndex(-1);
        UpdateControls();
        break;
    case OptionFollowUp::UpdateControls:
        UpdateControls();
        break;
    case OptionFollowUp::ReloadBackground:
        LoadEasyBackground(*this);
        ui->centralwidget->updateGeometry();
        break;
    case OptionFollowUp::None:
        break;
    }
}

void TMainForm::About1Click() {
    TAboutBoxDlg dialog(this);
    dialog.exec();
}

void TMainForm::ViewRefreshClick() {
    if (App().Busy)
        return;
    qv::ViewRefreshClick(true);
}

void TMainForm::EditMnuClick() {
    if (App().Busy) {
        // Closed before any of its commands can be chosen.
        QTimer::singleShot(0, ui->EditMnu, &QMenu::close);
        return;
    }
    QWidget* control = ActiveControl();
    const EditMenuState state =
        EditMenuStateFor(ControlClassName(control),
                         SearchState.Position != 0 && control && SearchState.Control == control);
    ui->CopyMnu->setEnabled(state.Copy);
    ui->SaveTxtMnu->setEnabled(state.SaveText);
    ui->FindMnu->setEnabled(state.Find);
    ui->FindNextMnu->setEnabled(state.FindNext);
    const bool printable = IsRichEdit(control);
    ui->Print1->setEnabled(printable);
    ui->PrintTBtn->setEnabled(printable);
}

bool TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    QWidget* control = ActiveControl();
    const QList<FormKeyCommand> commands =
        FormKeyCommands(key, modifiers, ControlClassName(control), App().Busy);
    for (const FormKeyCommand command : commands) {
        switch (command) {
        case FormKeyCommand::Refresh:
            ViewRefreshClick();
            break;
        case FormKeyCommand::FixedObjects:
            TheUi().SetFixedObjects();
            break;
        case FormKeyCommand::MemoryUsage:
            ShowMemoryUsage();
            break;
        case FormKeyCommand::Logging:
            ToggleLogging(InformationMemo());
            break;
        case FormKeyCommand::FindNext:
            FindNextMnuClick();
            break;
        case FormKeyCommand::Find:
            FindMnuClick();
            break;
        case FormKeyCommand::Copy:
            CopyToClipboard(control);
            break;
        case FormKeyCommand::SaveText:
            SaveFocusedTextAs(control);
            break;
        case FormKeyCommand::Print:
            PrintFocusedText(control);
            break;
        }
    }
    return !commands.isEmpty();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    // The window previews the keys of its controls; a key press is seen once, at the widget that
    // has the focus (or at the window when none has).
    if (event->type() == QEvent::KeyPress) {
        QWidget* focused = FocusedIn(this);
        if (watched == (focused ? static_cast<QObject*>(focused) : this)) {
            auto* keyEvent = static_cast<QKeyEvent*>(event);
            if (FormKeyDown(keyEvent->key(), keyEvent->modifiers()))
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace qv
