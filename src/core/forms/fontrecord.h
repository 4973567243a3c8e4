// The highlight font between its stored form (the 60-byte logical-font record and a COLORREF)
// and Qt's font and colour, and the printing of a document to a printer.
#pragma once

#include "core/highlightfont.h"

#include <QColor>
#include <QFont>
#include <QList>

class QPrinter;

namespace qv {

// The font of a record; pixel heights are taken at 96 pixels per inch.
QFont FontFromLogFont(const LogFontRecord& record);
LogFontRecord LogFontFromFont(const QFont& font);

// The highlight font for a list: the stored one, else `defaultFont` in italic.
QFont HighlightQFont(const HighlightFont& stored, const QFont& defaultFont);

// A COLORREF (red in the low byte) and back.
QColor ColourFromColorRef(std::uint32_t colour);
std::uint32_t ColorRefFromColour(const QColor& colour);

// Prints an HTML document on the printer with `title` as the document's name, every line with
// tab stops at `tabStops` (points from the left margin), as the pane shows them on the screen.
void PrintHtml(QPrinter& printer, const QString& title, const QString& html,
               const QList<int>& tabStops);

} // namespace qv
