#include "qtui/qtui.h"

#include "catalogue/forms/itemrightclick.h"
#include "core/appstate.h"
#include "core/filemove.h"
#include "core/forms/confirmfilemovedlg.h"
#include "core/forms/controls.h"
#include "core/forms/folderselectdlg.h"
#include "easy/forms/genericprogparamsboxdlg.h"
#include "engine/forms/pathselectdlg.h"
#include "engine/forms/setfixeddlg.h"
#include "engine/forms/tsectionchoiceboxdlg.h"
#include "engine/forms/tsectionparamsboxdlg.h"
#include "qtui/scenariodialogs.h"
#include "qtui/textdialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBoundaryFinder>

namespace qv {

namespace {

// Whether a path begins at `at`: a drive ("C:\\"), or a host path after a quote.
bool PathStartsAt(const QString& text, qsizetype at) {
    if (at + 2 < text.size() && text[at].isLetter() && text[at + 1] == u':' &&
        (text[at + 2] == u'\\' || text[at + 2] == u'/'))
        return at == 0 || !text[at - 1].isLetterOrNumber();
    return text[at] == u'/' && at > 0 && text[at - 1] == u'\'';
}

// Paths are kept on one line wherever the box can show them whole: a no-break space stands for
// a space in a path, and a word joiner closes every other place where a line could break in it
// (such as between "C:" and "\\"). A path in quotes runs to the closing quote, any other to the
// next blank. The box itself breaks a path that is wider than it can be.
QString KeepPathsWhole(const QString& text) {
    constexpr QChar kWordJoiner(0x2060);
    constexpr QChar kNoBreakSpace(0x00A0);
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    QString shown;
    shown.reserve(text.size() + 8);
    for (qsizetype at = 0; at < text.size();) {
        if (!PathStartsAt(text, at)) {
            shown += text[at++];
            continue;
        }
        const bool quoted = at > 0 && text[at - 1] == u'\'';
        qsizetype end = at;
        while (end < text.size() && text[end] != u'\n' &&
               (quoted ? text[end] != u'\'' : !text[end].isSpace()))
            ++end;
        for (qsizetype i = at; i < end; ++i) {
            breaks.setPosition(i);
            if (i > at && text[i - 1] != u' ' && breaks.isAtBoundary())
                shown += kWordJoiner;
            shown += text[i] == u' ' ? kNoBreakSpace : text[i];
        }
        at = end;
    }
    return shown;
}

// The program's texts use carriage returns for line breaks.
void SetBoxText(QMessageBox& box, const QString& text, const QString& caption) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    box.setText(KeepPathsWhole(shown));
    box.setWindowTitle(caption);
}

} // namespace

int QtUi::MessageBox(const QString& text, const QString& caption, int style) {
    QMessageBox box(QApplication::activeWindow());
    SetBoxText(box, text, caption);
    switch (style & 0xF0) {
    case MB_ICONSTOP:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    struct Button {
        QMessageBox::StandardButton button;
        int answer;
    };
    QList<Button> buttons;
    switch (style & 0xF) {
    case MB_OKCANCEL:
        buttons = {{QMessageBox::Ok, ID_OK}, {QMessageBox::Cancel, ID_CANCEL}};
        break;
    case MB_YESNOCANCEL:
        buttons = {
            {QMessageBox::Yes, ID_YES}, {QMessageBox::No, ID_NO}, {QMessageBox::Cancel, ID_CANCEL}};
        break;
    case MB_YESNO:
        buttons = {{QMessageBox::Yes, ID_YES}, {QMessageBox::No, ID_NO}};
        break;
    default:
        buttons = {{QMessageBox::Ok, ID_OK}};
        break;
    }
    QMessageBox::StandardButtons all;
    for (const Button& b : buttons)
        all |= b.button;
    box.setStandardButtons(all);
    const int defaultIndex = (style & MB_DEFBUTTON2) && buttons.size() > 1 ? 1 : 0;
    box.setDefaultButton(buttons[defaultIndex].button);
    const int clicked = box.exec();
    for (const Button& b : buttons)
        if (b.button == clicked)
            return b.answer;
    // Escape or the close box: Cancel where there is one, else No, else OK.
    const int buttonsStyle = style & 0xF;
    if (buttonsStyle == MB_YESNO)
        return ID_NO;
    return buttonsStyle == MB_OK ? ID_OK : ID_CANCEL;
}

int QtUi::ConfirmForAll(const QString& text, const QString& caption) {
    QMessageBox box(QApplication::activeWindow());
    SetBoxText(box, text, caption);
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::NoToAll |
                           QMessageBox::YesToAll);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return ID_YES;
    case QMessageBox::NoToAll:
        return ID_NOTOALL;
    case QMessageBox::YesToAll:
        return ID_YESTOALL;
    default:
        return ID_NO;
    }
}

int QtUi::ConfirmFileMove(const QString& sourceFile, const QString& targetFile,
                          bool contentsDiffer) {
    // The dialog reads both files from the program-wide exchange and leaves a standing "All"
    // answer there; the seam reports that answer as Yes/No to All.
    PathSet().DuplicateSourceFile = sourceFile;
    PathSet().DuplicateTargetFile = targetFile;
    const int standingBefore = PathSet().DuplicateAnswer;
    QWidget* mainWindow = MainWindowWidget();
    TConfirmFileMoveDlg dialog(mainWindow ? mainWindow : QApplication::activeWindow(),
                               contentsDiffer);
    const int answer = dialog.exec();
    const int standing = PathSet().DuplicateAnswer;
    if (standing != standingBefore && answer == ID_YES && standing == 1)
        return ID_YESTOALL;
    if (standing != standingBefore && answer == ID_NO && standing == 2)
        return ID_NOTOALL;
    return answer;
}

int QtUi::SelectFolder(const QString& initialFolder, const QString& prompt,
                       const QString& captionSuffix, QString* folder) {
    // Owned by the main window, so that it stays above it.
    TFolderSelectDlg dialog(initialFolder, prompt, captionSuffix, MainWindowWidget());
    const int result = dialog.exec();
    if (result == ID_OK && folder)
        *folder = dialog.Folder();
    return result == ID_OK ? ID_OK : ID_CANCEL;
}

int QtUi::SetFixedObjects() {
    TSetFixedDlg dialog(QApplication::activeWindow());
    return dialog.exec() == ID_OK ? ID_OK : ID_CANCEL;
}

int QtUi::EditTsectionSettings(RouteInfo& record) {
    TTSECTIONParamsBoxDlg dialog(QApplication::activeWindow(), record);
    return dialog.exec() == ID_OK ? ID_OK : ID_CANCEL;
}

int QtUi::ResolveTsectionConflicts(std::vector<std::unique_ptr<ConflictInfo>>& list) {
    TTSECTIONChoiceBoxDlg dialog(QApplication::activeWindow(), list);
    return dialog.exec() == ID_OK ? ID_OK : ID_CANCEL;
}

bool QtUi::InputQuery(const QString& caption, const QString& prompt, QString* value) {
    QString shown = prompt;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    bool confirmed = false;
    const QString entered =
        QInputDialog::getText(QApplication::activeWindow(), caption, shown, QLineEdit::Normal,
                              value ? *value : QString(), &confirmed);
    if (confirmed && value)
        *value = entered;
    return confirmed;
}

int QtUi::SelectStoragePath() {
    // At the first start there is no main window yet, and the dialog has no owner.
    TPathSelectDlg dialog(QApplication::activeWindow());
    if (!dialog.Ready())
        return ID_CANCEL;
    return dialog.exec() == ID_OK ? ID_OK : ID_CANCEL;
}

int QtUi::ChangeLotNumber(const std::vector<std::unique_ptr<ItemSet>>& items,
                          QString* chosenLotNumber) {
    TItemRightClickForm dialog(QApplication::activeWindow(), items);
    const int result = dialog.exec() == ID_OK ? ID_OK : ID_CANCEL;
    if (chosenLotNumber)
        *chosenLotNumber = result == ID_OK ? App().ChosenLotNumber : QString();
    return result;
}

int QtUi::OpenScenarioDialog(const QString& title, const QString& initialFolder, QString* file) {
    return ShowOpenScenarioDialog(QApplication::activeWindow(), title, initialFolder, file)
               ? ID_OK
               : ID_CANCEL;
}

int QtUi::SaveScenarioDialog(const QString& initialFolder, QString* file) {
    return ShowSaveScenarioDialog(QApplication::activeWindow(), initialFolder, file) ? ID_OK
                                                                                     : ID_CANCEL;
}

int QtUi::EditLaunchSettings(const QString& programName, const QString& paramsValue,
                             const QString& pathValue, const QString& key, bool showParams,
                             const QString& description) {
    TGenericProgParamsBoxDlg dialog(QApplication::activeWindow(), programName, paramsValue,
                                    pathValue, key, showParams, description);
    return dialog.exec() == ID_OK ? ID_OK : ID_CANCEL;
}

int QtUi::SaveTextDialog(const QString& initialFolder, int* filterIndex, QString* file) {
    return ShowSaveTextDialog(QApplication::activeWindow(), initialFolder, filterIndex, file);
}

int QtUi::PrintDocument(const QString& title, const QString& html, const QList<int>& tabStops) {
    return ShowPrintDialog(QApplication::activeWindow(), title, html, tabStops);
}

int QtUi::PrinterSetup() {
    return ShowPrinterSetup(QApplication::activeWindow());
}

int QtUi::ChooseFont(QByteArray* logFont, quint32* colour) {
    return ShowFontDialog(QApplication::activeWindow(), logFont, colour);
}

int QtUi::FindTextDialog(SearchTextSet& record) {
    return ShowFindTextDialog(QApplication::activeWindow(), record);
}

} // namespace qv
