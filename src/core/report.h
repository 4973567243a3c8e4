// The one sink for every problem a job meets: entries numbered under a heading in a report pane,
// or a message box when the caller has no pane; and the heading writer and line appender that
// other reports use too (the appender also mirrors each text into the log).
#pragma once

#include <QString>

namespace qv {

struct ItemSet;
class ReportPane;

// Report levels; any value other than these two counts as an error.
constexpr int RL_REPORT = 0;
constexpr int RL_WARNING = 1;
constexpr int RL_ERROR = 2;

// Reports the text, about the item when one is given. Levels below ReportLevel are dropped, and
// so are warnings while "Suppress Warnings" is set. With a pane the entry is numbered (a pane of
// fewer than two lines starts a new run under a fresh heading); without one a message box.
void Report(int level, const ItemSet* item, const QString& text, ReportPane* pane);
// An empty line, the heading centred, bold and underlined, and another empty line.
void WriteReportHeading(const QString& heading, ReportPane* pane);
// Adds the text line by line: each carriage return and line feed (and, with escapes, each
// backslash + "n") starts a new line, so a text ending in a line break adds an empty line.
// While logging, the whole text is also written to the log as one line.
void AppendRichEditLines(ReportPane* pane, const QString& text, bool escapes);
// Clears the pane and restarts the numbering; returns 0.
int ClearReport(ReportPane* pane);

} // namespace qv
