// Printing, saving and copying the text of the focused control of the main window.

#include "mainwindow/forms/mainform.h"

#include "ui_mainform.h"

#include "core/appstate.h"
#include "core/forms/controls.h"
#include "core/panetext.h"
#include "core/textsave.h"
#include "mainwindow/forms/treecontroller.h"
#include "platform/ui.h"

#include <QTextEdit>

namespace qv {

namespace {

// A rich edit other than the information pane, as plain lines.
ReportPane PaneOfEdit(const QTextEdit* edit) {
    ReportPane pane;
    const QString text = edit->toPlainText();
    if (!text.isEmpty())
        pane.SetLines(text.split(QLatin1Char('\n')));
    return pane;
}

} // namespace

void TMainForm::BindTextCommands() {
    for (QAction* item : {ui->Print1, ui->PrintTBtn})
        connect(item, &QAction::triggered, this, [this] { PrintFocusedText(ActiveControl()); });
    connect(ui->CopyMnu, &QAction::triggered, this, [this] { CopyToClipboard(ActiveControl()); });
    connect(ui->SaveTxtMnu, &QAction::triggered, this,
            [this] { SaveFocusedTextAs(ActiveControl()); });
    connect(ui->FindMnu, &QAction::triggered, this, [this] { FindMnuClick(); });
    connect(ui->FindNextMnu, &QAction::triggered, this, [this] { FindNextMnuClick(); });
    treeController_->SearchContinuesIn = [this](QWidget* control) {
        return SearchState.Position != 0 && control && SearchState.Control == control;
    };
}

void TMainForm::PrintFocusedText(QWidget* control) {
    if (App().Busy || !IsRichEdit(control))
        return;
    auto* edit = static_cast<QTextEdit*>(control);
    const ReportPane source = edit == ui->InformationMemo ? informationPane_ : PaneOfEdit(edit);
    if (PanePlainText(source).isEmpty())
        return;
    // The printed copy loses its trailing blanks; the pane stays as it is.
    TheUi().PrintDocument(App().ProgramTitle, PaneHtml(TrimmedPaneCopy(source)), source.TabStops());
}

void TMainForm::SaveFocusedTextAs(QWidget* control) {
    if (App().Busy || !control)
        return;
    if (control == ui->InformationMemo) {
        qv::SaveFocusedTextAs(&informationPane_, true, QString());
    } else if (IsRichEdit(control)) {
        const ReportPane pane = PaneOfEdit(static_cast<QTextEdit*>(control));
        qv::SaveFocusedTextAs(&pane, static_cast<QTextEdit*>(control)->acceptRichText(), QString());
    } else if (IsListControl(control)) {
        qv::SaveFocusedTextAs(nullptr, false, ListControlText(control));
    }
}

} // namespace qv
