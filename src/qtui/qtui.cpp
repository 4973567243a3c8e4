#include "qtui/qtui.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace qv {

int QtUi::MessageBox(const QString& text, const QString& caption, int style) {
    QMessageBox box(QApplication::activeWindow());
    // The original's texts use carriage returns for line breaks.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    box.setText(shown);
    box.setWindowTitle(caption);
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

} // namespace qv
