#include "qtui/textdialogs.h"

#include "core/forms/controls.h"
#include "core/forms/fontrecord.h"
#include "core/forms/searchparamsboxdlg.h"
#include "platform/drivemap.h"
#include "platform/ui.h"

#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace qv {

namespace {

// The save dialog's filters in the language in use; the second is the one of rich text.
QStringList SaveTextFilters() {
    return {QCoreApplication::translate("TextDialogs", "Text Document (*.TXT *.txt)"),
            QCoreApplication::translate("TextDialogs", "Rich Text Format (*.RTF *.rtf)"),
            QCoreApplication::translate("TextDialogs", "All Files (*)")};
}

// The printer the print dialog and the printer setup share for the whole run.
QPrinter& ThePrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

} // namespace

int ShowSaveTextDialog(QWidget* parent, const QString& initialFolder, int* filterIndex,
                       QString* file) {
    const QStringList filters = SaveTextFilters();
    QFileDialog dialog(parent,
                       QCoreApplication::translate("TextDialogs", "Save Selected Text to File"));
    dialog.setObjectName(QStringLiteral("SaveTxtDlg"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    const int index = filterIndex ? std::clamp(*filterIndex, 1, 3) : 1;
    dialog.selectNameFilter(filters[index - 1]);
    dialog.setDefaultSuffix(index == 2 ? QStringLiteral("RTF") : QStringLiteral("TXT"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &filters](const QString& f) {
                         dialog.setDefaultSuffix(f == filters[1] ? QStringLiteral("RTF")
                                                                 : QStringLiteral("TXT"));
                     });
    const QString folder = HostForm(initialFolder);
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return ID_CANCEL;
    if (file)
        *file = ToWindowsForm(dialog.selectedFiles().front());
    if (filterIndex)
        *filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return ID_OK;
}

int ShowPrintDialog(QWidget* parent, const QString& title, const QString& html,
                    const QList<int>& tabStops) {
    QPrintDialog dialog(&ThePrinter(), parent);
    dialog.setObjectName(QStringLiteral("PrintDialog1"));
    if (dialog.exec() != QDialog::Accepted)
        return ID_CANCEL;
    PrintHtml(ThePrinter(), title, html, tabStops);
    return ID_OK;
}

int ShowPrinterSetup(QWidget* parent) {
    QPageSetupDialog dialog(&ThePrinter(), parent);
    dialog.setObjectName(QStringLiteral("PrinterSetupDialog1"));
    return dialog.exec() == QDialog::Accepted ? ID_OK : ID_CANCEL;
}

int ShowFontDialog(QWidget* parent, QByteArray* logFont, quint32* colour) {
    HighlightFont start;
    if (logFont)
        start.HasData = start.Font.Decode(*logFont);
    QFontDialog fontDialog(HighlightQFont(start, QApplication::font()), parent);
    fontDialog.setObjectName(QStringLiteral("FontDlg"));
    fontDialog.setWindowTitle(QCoreApplication::translate("TextDialogs", "Font"));
    fontDialog.setOption(QFontDialog::DontUseNativeDialog);
    if (fontDialog.exec() != QDialog::Accepted)
        return ID_CANCEL;
    if (logFont)
        *logFont = LogFontFromFont(fontDialog.selectedFont()).Encode();
    // The colour is a second step: cancelling it keeps the font just chosen in its old colour.
    QColorDialog colourDialog(ColourFromColorRef(colour ? *colour : 0), parent);
    colourDialog.setObjectName(QStringLiteral("ColourDlg"));
    colourDialog.setOption(QColorDialog::DontUseNativeDialog);
    if (colourDialog.exec() == QDialog::Accepted && colour)
        *colour = ColorRefFromColour(colourDialog.selectedColor());
    return ID_OK;
}

int ShowFindTextDialog(QWidget* parent, SearchTextSet& record) {
    TSearchParamsBoxDlg dialog(parent, record, nullptr);
    return dialog.exec() == ID_OK ? ID_OK : ID_CANCEL;
}

} // namespace qv
