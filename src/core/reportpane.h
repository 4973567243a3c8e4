// The information pane without any widget: a list of lines with the line-count meaning of a rich
// text control (an empty pane has no lines; adding an empty line counts). Reports, the log and
// the survey write here; a Qt view shows it through the change callback.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace qv {

class ReportPane {
public:
    // A heading is centred, bold and underlined; a bold line is bold and left-aligned.
    enum class LineStyle { Plain, Heading, Bold };

    QStringList Lines() const { return lines_; }
    int LineCount() const { return int(lines_.size()); }

    void AddLine(const QString& line);
    // Adds a centred, bold and underlined line.
    void AddHeading(const QString& heading);
    void AddBoldLine(const QString& line);
    // Clears the lines, the fixed-pitch mode and the tab stops.
    void Clear();
    // Replaces the whole content with plain lines.
    void SetLines(const QStringList& lines);
    LineStyle Style(int line) const;
    bool IsHeading(int line) const { return Style(line) == LineStyle::Heading; }
    bool IsBold(int line) const { return Style(line) == LineStyle::Bold; }

    // The whole pane in a fixed-pitch font (reports laid out in columns).
    void SetFixedPitch(bool fixed);
    bool FixedPitch() const { return fixedPitch_; }
    // Tab stops in points from the left margin, for the lines that follow a report heading.
    void SetTabStops(const QList<int>& points);
    QList<int> TabStops() const { return tabStops_; }

    // Asks the view to show the given line at the top (a report shown from its start).
    void ScrollToLine(int line);
    void ScrollToStart() { ScrollToLine(0); }

    // Called after every change, so that a view can follow.
    std::function<void()> OnChanged;
    // Called when the view should scroll to show a line.
    std::function<void(int line)> OnScrollToLine;

private:
    void Append(const QString& line, LineStyle style);
    void Changed();

    QStringList lines_;
    QList<LineStyle> styles_;
    bool fixedPitch_ = false;
    QList<int> tabStops_;
};

} // namespace qv
