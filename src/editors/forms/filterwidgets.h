// The pieces of the editors' filter panels: hints from the message table, the driveable choices
// and the refill of a text filter's drop-down.
#pragma once

#include "core/generaldefs.h"

#include <QString>
#include <QStringList>

class QComboBox;
class QObject;
class QWidget;

namespace qv {

// The driveable choices: a tick, a cross, either.
const QStringList& DriveableItems();

// A hint's short part (before the "|"), with the carriage returns as line breaks; the second
// form joins two captions with `between`.
QString FilterHint(Msg key);
QString FilterHint(Msg key, Msg second, const QString& between);

// Refills the drop-down and sets its text, without signals.
void SetComboItems(QComboBox* combo, const QStringList& items, const QString& text);

// An editable text filter with its caption above it; key releases of its editor go to `filter`.
QComboBox* NewTextFilter(QWidget* panel, const char* name, const QString& caption, int left,
                         int top, int width, QObject* filter);

} // namespace qv
