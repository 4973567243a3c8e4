// The information pane as a document: the trimmed copy that is printed, and the pane written as
// plain text, as rich text (RTF) for a file, or as HTML for the printer, each keeping headings,
// bold lines, the fixed-pitch mode and the tab stops.
#pragma once

#include "core/reportpane.h"

#include <QByteArray>
#include <QString>

namespace qv {

// A copy of the pane whose lines have lost their trailing blanks and control characters
// (everything below 33), with the same styles, pitch and tab stops; the pane is not touched.
ReportPane TrimmedPaneCopy(const ReportPane& pane);

// The lines joined with carriage return and line feed, as a rich edit gives its text.
QString PanePlainText(const ReportPane& pane);

// The pane as an RTF document: headings centred, bold and underlined, bold lines bold, tab stops
// in twips, a fixed-pitch font when the pane has one. Characters outside ASCII are written as
// RTF Unicode escapes.
QByteArray PaneRtf(const ReportPane& pane);

// The pane as HTML for printing, with the same layout: blanks kept, and a line longer than the
// paper is wide going on over the next printed lines. HTML has no tab stops, so the printer is
// given the pane's TabStops() beside it.
QString PaneHtml(const ReportPane& pane);

} // namespace qv
