// The dialogs of the text commands: saving a pane's text, printing and the printer setup (one
// printer for the whole run), the highlight font with its colour, and the Find Text dialog.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QWidget;

namespace qv {

struct SearchTextSet;

int ShowSaveTextDialog(QWidget* parent, const QString& initialFolder, int* filterIndex,
                       QString* file);
int ShowPrintDialog(QWidget* parent, const QString& title, const QString& html,
                    const QList<int>& tabStops);
int ShowPrinterSetup(QWidget* parent);
int ShowFontDialog(QWidget* parent, QByteArray* logFont, quint32* colour);
int ShowFindTextDialog(QWidget* parent, SearchTextSet& record);

} // namespace qv
