#include "core/reportpane.h"

#include <algorithm>

namespace qv {

void ReportPane::AddLine(const QString& line) {
    Append(line, LineStyle::Plain);
}

void ReportPane::AddHeading(const QString& heading) {
    Append(heading, LineStyle::Heading);
}

void ReportPane::AddBoldLine(const QString& line) {
    Append(line, LineStyle::Bold);
}

void ReportPane::Clear() {
    lines_.clear();
    styles_.clear();
    fixedPitch_ = false;
    tabStops_.clear();
    Changed();
}

void ReportPane::SetLines(const QStringList& lines) {
    lines_ = lines;
    styles_ = QList<LineStyle>(lines.size(), LineStyle::Plain);
    Changed();
}

ReportPane::LineStyle ReportPane::Style(int line) const {
    return line >= 0 && line < styles_.size() ? styles_[line] : LineStyle::Plain;
}

void ReportPane::SetFixedPitch(bool fixed) {
    if (fixedPitch_ == fixed)
        return;
    fixedPitch_ = fixed;
    Changed();
}

void ReportPane::SetTabStops(const QList<int>& points) {
    if (tabStops_ == points)
        return;
    tabStops_ = points;
    Changed();
}

void ReportPane::ScrollToLine(int line) {
    if (OnScrollToLine)
        OnScrollToLine(std::clamp(line, 0, std::max(0, LineCount() - 1)));
}

void ReportPane::Append(const QString& line, LineStyle style) {
    lines_.append(line);
    styles_.append(style);
    Changed();
}

void ReportPane::Changed() {
    if (OnChanged)
        OnChanged();
}

} // namespace qv
