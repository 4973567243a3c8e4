#include "core/report.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemset.h"
#include "core/regsettings.h"
#include "core/reportpane.h"
#include "core/status.h"
#include "platform/ui.h"

#include <QCoreApplication>

namespace qv {

namespace {

// Where the item lives: list kinds that may stand under a route or among the global settings
// say which; everything else names its folder.
QString ItemLocationText(const ItemSet& item) {
    constexpr std::uint32_t kPlacedKinds = PT_EXPLORE_CONSIST | PT_MAINT_STOCK;
    if (!(item.PType & kPlacedKinds))
        return Caption(Msg::GENERAL_NOT_FOUND2) + item.Folder + QLatin1Char('\'');
    const bool inRoute = item.Folder.startsWith(QStringLiteral("ROUTES"), Qt::CaseInsensitive);
    return QLatin1Char('\n') + ItemKindName(item.PType & kPlacedKinds) + QStringLiteral(":\n") +
           Caption(inRoute ? Msg::TYPE_ROUTE_LEG : Msg::TREE_HEADING_GLOBAL) +
           QStringLiteral(": '") + item.Folder + QLatin1Char('\'');
}

QString ItemDetailText(const ItemSet& item) {
    return ItemLocationText(item) + Caption(Msg::GENERAL_NOT_FOUND3) + item.FileName +
           QLatin1Char('\'') + Caption(Msg::GENERAL_NOT_FOUND4) + item.Description +
           QLatin1Char('\'');
}

QString EntryHead(int level) {
    const Msg key = level == RL_REPORT    ? Msg::REPORT_REPORT_HEADER
                    : level == RL_WARNING ? Msg::REPORT_WARNING_HEADER
                                          : Msg::REPORT_ERROR_HEADER;
    return Caption(key) + QLatin1Char(' ') + QString::number(App().ReportItemCount);
}

} // namespace

void Report(int level, const ItemSet* item, const QString& text, ReportPane* pane) {
    if (level < App().ReportLevel)
        return;
    if (level == RL_WARNING && ReadFlag(QStringLiteral("Suppress Warnings")))
        return;
    const QString detail = item ? ItemDetailText(*item) : QString();
    if (!pane) {
        TheUi().MessageBox(text + detail, App().ProgramTitle, MB_ICONEXCLAMATION);
        return;
    }
    if (pane->LineCount() < 2) {
        App().ReportItemCount = 0;
        WriteReportHeading(Caption(Msg::REPORT_HEADER), pane);
    }
    ++App().ReportItemCount;
    const QString entry = EntryHead(level) + QLatin1Char('\n') + text + detail + QLatin1Char('\n');
    AppendRichEditLines(pane, entry, false);
}

void WriteReportHeading(const QString& heading, ReportPane* pane) {
    if (!pane)
        return;
    pane->AddLine(QString());
    pane->AddHeading(heading);
    pane->AddLine(QString());
    pane->SetTabStops({20, 40, 130});
}

void AppendRichEditLines(ReportPane* pane, const QString& text, bool escapes) {
    QString converted = text;
    if (escapes)
        converted.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    converted.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (App().LoggingActive)
        LogWrite(converted, pane);
    if (converted.isEmpty() || !pane)
        return;
    for (const QString& line : converted.split(QLatin1Char('\n')))
        pane->AddLine(line);
}

FileReports::FileReports(const QString& file, ReportPane* pane) : file_(file), pane_(pane) {}

bool FileReports::Reported(const QString& key) const {
    return reported_.contains(key) || leftOut_.contains(qHash(key));
}

void FileReports::Add(const QString& key, const QString& text) {
    if (reported_.contains(key))
        return;
    if (reported_.size() >= kMaxReportsPerFile) {
        leftOut_.insert(qHash(key));
        return;
    }
    reported_.insert(key);
    Report(RL_ERROR, nullptr, text, pane_);
}

void FileReports::Close() {
    if (leftOut_.isEmpty())
        return;
    Report(RL_ERROR, nullptr,
           QCoreApplication::translate("Report",
                                       "%1 more file names not found or invalid are not listed")
                   .arg(leftOut_.size()) +
               Caption(Msg::GENERAL_NOT_FOUND5) + file_ + QLatin1Char('\''),
           pane_);
    leftOut_.clear();
}

int ClearReport(ReportPane* pane) {
    if (pane)
        pane->Clear();
    App().ReportItemCount = 0;
    return 0;
}

} // namespace qv
