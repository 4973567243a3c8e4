// The one sink for every problem a job meets: entries numbered under a heading in a report pane,
// or a message box when the caller has no pane; and the heading writer and line appender that
// other reports use too (the appender also mirrors each text into the log).
#pragma once

#include <QSet>
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

// The errors about the names one file gives (files it needs that are missing, names refused):
// each name once, and no more than kMaxReportsPerFile entries, closed by one entry that counts
// those left out. A damaged or hostile file that names one missing file a million times, or a
// million missing files, so gives a report that can be read and kept.
class FileReports {
public:
    // Far above what real content gives: a sound file names a few hundred samples at most.
    static constexpr int kMaxReportsPerFile = 1000;

    // `file` is the file that gives the names, as the closing entry names it.
    FileReports(const QString& file, ReportPane* pane);
    // Whether the name (as the caller keys it) was reported already, or left out past the cap:
    // it needs no look-up again.
    bool Reported(const QString& key) const;
    // Reports the text as an error unless the key was reported already; past the cap each name
    // is only counted, once.
    void Add(const QString& key, const QString& text);
    // The closing entry that counts the names left out, when there were any.
    void Close();

private:
    QString file_;
    ReportPane* pane_;
    QSet<QString> reported_;
    // The names left out, by their hashes: a hostile file may name millions of them, and a
    // rare clash of two hashes only makes the closing count one short.
    QSet<size_t> leftOut_;
};

} // namespace qv
