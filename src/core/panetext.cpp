#include "core/panetext.h"

#include <QStringList>

namespace qv {

namespace {

QString TrimmedLine(const QString& line) {
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1).unicode() < 33)
        --end;
    return line.left(end);
}

void AppendStyled(ReportPane& pane, const QString& line, ReportPane::LineStyle style) {
    switch (style) {
    case ReportPane::LineStyle::Heading:
        pane.AddHeading(line);
        break;
    case ReportPane::LineStyle::Bold:
        pane.AddBoldLine(line);
        break;
    case ReportPane::LineStyle::Plain:
        pane.AddLine(line);
        break;
    }
}

void AppendRtfText(QByteArray& out, const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u < 32) {
            continue;
        } else if (u < 128) {
            out += char(u);
        } else {
            // RTF takes a signed 16-bit number, then one fallback character.
            out += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
}

} // namespace

ReportPane TrimmedPaneCopy(const ReportPane& pane) {
    ReportPane copy;
    const QStringList lines = pane.Lines();
    for (int i = 0; i < lines.size(); ++i)
        AppendStyled(copy, TrimmedLine(lines[i]), pane.Style(i));
    copy.SetFixedPitch(pane.FixedPitch());
    copy.SetTabStops(pane.TabStops());
    return copy;
}

QString PanePlainText(const ReportPane& pane) {
    return pane.Lines().join(QStringLiteral("\r\n"));
}

QByteArray PaneRtf(const ReportPane& pane) {
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
    out += pane.FixedPitch() ? "{\\f0\\fmodern\\fcharset0 Courier New;}"
                             : "{\\f0\\fswiss\\fcharset0 Arial;}";
    out += "}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    QByteArray tabs;
    for (const int points : pane.TabStops())
        tabs += "\\tx" + QByteArray::number(points * 20);
    const QStringList lines = pane.Lines();
    for (int i = 0; i < lines.size(); ++i) {
        const ReportPane::LineStyle style = pane.Style(i);
        out += "\\pard";
        out += style == ReportPane::LineStyle::Heading ? QByteArray("\\qc") : tabs;
        out += style == ReportPane::LineStyle::Heading ? "\\b\\ul "
               : style == ReportPane::LineStyle::Bold  ? "\\b "
                                                       : " ";
        AppendRtfText(out, lines[i]);
        out += style == ReportPane::LineStyle::Heading ? "\\ulnone\\b0"
               : style == ReportPane::LineStyle::Bold  ? "\\b0"
                                                       : "";
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

QString PaneHtml(const ReportPane& pane) {
    const QString family = pane.FixedPitch() ? QStringLiteral("'Courier New', monospace")
                                             : QStringLiteral("Arial, sans-serif");
    QString html =
        QStringLiteral("<html><body style=\"font-family: %1; font-size: 10pt\">").arg(family);
    const QStringList lines = pane.Lines();
    for (int i = 0; i < lines.size(); ++i) {
        const ReportPane::LineStyle style = pane.Style(i);
        // Blanks and tabs stay as the pane has them, and a line longer than the paper is wide
        // goes on over the next printed lines, as it does in the pane.
        QString text = lines[i].toHtmlEscaped();
        if (text.isEmpty())
            text = QStringLiteral("&nbsp;");
        const bool heading = style == ReportPane::LineStyle::Heading;
        if (heading)
            text = QStringLiteral("<b><u>%1</u></b>").arg(text);
        else if (style == ReportPane::LineStyle::Bold)
            text = QStringLiteral("<b>%1</b>").arg(text);
        html += QStringLiteral("<p%1 style=\"margin:0; white-space:pre-wrap\">%2</p>")
                    .arg(heading ? QStringLiteral(" align=\"center\"") : QString(), text);
    }
    html += QStringLiteral("</body></html>");
    return html;
}

} // namespace qv
