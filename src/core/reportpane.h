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
    QStringList Lines() const { return lines_; }
    int LineCount() const { return int(lines_.size()); }

    void AddLine(const QString& line);
    // Adds a centred, bold and underlined line.
    void AddHeading(const QString& heading);
    void Clear();
    // Replaces the whole content with plain lines.
    void SetLines(const QStringList& lines);
    bool IsHeading(int line) const;

    // Called after every change, so that a view can follow.
    std::function<void()> OnChanged;

private:
    void Append(const QString& line, bool heading);
    void Changed();

    QStringList lines_;
    QList<bool> heading_;
};

} // namespace qv
