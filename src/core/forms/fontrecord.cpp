#include "core/forms/fontrecord.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QScreen>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

namespace qv {

namespace {

constexpr double kPixelsPerInch = 96.0;

} // namespace

QFont FontFromLogFont(const LogFontRecord& record) {
    QFont font(record.FaceName);
    if (record.Height != 0)
        font.setPointSizeF(std::abs(record.Height) * 72.0 / kPixelsPerInch);
    const int weight = std::clamp(record.Weight == 0 ? 400 : int(record.Weight), 100, 900);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(record.Italic != 0);
    font.setUnderline(record.Underline != 0);
    font.setStrikeOut(record.StrikeOut != 0);
    return font;
}

LogFontRecord LogFontFromFont(const QFont& font) {
    LogFontRecord record;
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : 9.0;
    record.Height = -std::int32_t(std::lround(points * kPixelsPerInch / 72.0));
    record.Weight = std::int32_t(font.weight());
    record.Italic = font.italic() ? 1 : 0;
    record.Underline = font.underline() ? 1 : 0;
    record.StrikeOut = font.strikeOut() ? 1 : 0;
    record.FaceName = font.family().left(31);
    return record;
}

QFont HighlightQFont(const HighlightFont& stored, const QFont& defaultFont) {
    if (stored.HasData)
        return FontFromLogFont(stored.Font);
    QFont font = defaultFont;
    font.setItalic(true);
    return font;
}

QColor ColourFromColorRef(std::uint32_t colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

std::uint32_t ColorRefFromColour(const QColor& colour) {
    return std::uint32_t(colour.red()) | (std::uint32_t(colour.green()) << 8) |
           (std::uint32_t(colour.blue()) << 16);
}

void PrintHtml(QPrinter& printer, const QString& title, const QString& html,
               const QList<int>& tabStops) {
    printer.setDocName(title);
    QTextDocument document;
    document.setHtml(html);
    if (!tabStops.isEmpty()) {
        // Stops are given in pixels at the screen's resolution; the printer's layout scales them
        // as it scales the fonts. Each block carries them, so the copy that is printed keeps them.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const qreal pixelsPerPoint = (screen ? screen->logicalDotsPerInchX() : 96.0) / 72.0;
        QList<QTextOption::Tab> tabs;
        for (const int points : tabStops)
            tabs.append(QTextOption::Tab(points * pixelsPerPoint, QTextOption::LeftTab));
        QTextBlockFormat format;
        format.setTabPositions(tabs);
        QTextCursor all(&document);
        all.select(QTextCursor::Document);
        all.mergeBlockFormat(format);
    }
    document.print(&printer);
}

} // namespace qv
