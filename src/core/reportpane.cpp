#include "core/reportpane.h"

namespace qv {

void ReportPane::AddLine(const QString& line) {
    Append(line, false);
}

void ReportPane::AddHeading(const QString& heading) {
    Append(heading, true);
}

void ReportPane::Clear() {
    lines_.clear();
    heading_.clear();
    Changed();
}

void ReportPane::SetLines(const QStringList& lines) {
    lines_ = lines;
    heading_ = QList<bool>(lines.size(), false);
    Changed();
}

bool ReportPane::IsHeading(int line) const {
    return line >= 0 && line < heading_.size() && heading_[line];
}

void ReportPane::Append(const QString& line, bool heading) {
    lines_.append(line);
    heading_.append(heading);
    Changed();
}

void ReportPane::Changed() {
    if (OnChanged)
        OnChanged();
}

} // namespace qv
