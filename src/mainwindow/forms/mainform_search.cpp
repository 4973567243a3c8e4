// Find and Find Next in the main window: the tree of stored objects and the information pane.

#include "mainwindow/forms/mainform.h"

#include "ui_mainform.h"

#include "core/appstate.h"
#include "core/forms/controls.h"
#include "mainwindow/searchcommon.h"
#include "platform/ui.h"

#include <QTextCursor>
#include <QTextEdit>

namespace qv {

void TMainForm::FindMnuClick() {
    if (App().Busy)
        return;
    QWidget* control = ActiveControl();
    if (!IsRichEditOrTree(control))
        return;
    if (TheUi().FindTextDialog(SearchState) == ID_OK)
        FindInControl(SearchState, control);
}

void TMainForm::FindNextMnuClick() {
    if (App().Busy)
        return;
    QWidget* control = ActiveControl();
    if (SearchState.Position == 0 || SearchState.Control != control)
        FindMnuClick();
    else
        FindInControl(SearchState, control);
}

void TMainForm::FindInControl(SearchTextSet& record, QWidget* control) {
    record.Control = control;
    if (record.NewSearch)
        ResetSearch(record);
    bool searched = false;
    bool found = false;
    if (control == ui->QuarvelObjects) {
        SearchTreeView(record, tree_);
        searched = true;
        found = record.LastResult >= 1;
    } else if (IsRichEdit(control)) {
        SearchRichEdit(record, static_cast<QTextEdit*>(control));
        searched = true;
        found = record.LastResult != -1;
    }
    record.NewSearch = false;
    if (searched && !found)
        TheUi().MessageBox(SearchNotFoundText(record), App().ProgramTitle, MB_ICONINFORMATION);
    EditMnuClick();
}

void TMainForm::SearchRichEdit(SearchTextSet& record, QTextEdit* edit) {
    const QTextCursor cursor = edit->textCursor();
    record.Position = cursor.selectionEnd();
    record.LastResult = FindTextFrom(edit->toPlainText(), record.Text, record.Position,
                                     record.CaseSensitive, record.WholeWord);
    if (record.LastResult < 0)
        return;
    edit->setFocus();
    ScrollRichEditToPosition(edit, record.LastResult);
    QTextCursor match(edit->document());
    match.setPosition(record.LastResult);
    match.setPosition(record.LastResult + int(record.Text.size()), QTextCursor::KeepAnchor);
    edit->setTextCursor(match);
    record.Position = match.selectionEnd();
}

} // namespace qv
