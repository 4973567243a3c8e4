#include "engine/whereusedreport.h"

#include "catalogue/routefolders.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemset.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/reportpane.h"
#include "core/status.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "engine/usedincommon.h"
#include "platform/ui.h"

#include <functional>

namespace qv {

namespace {

const QString kFourBlanks = QStringLiteral("    ");
const QString kEightBlanks = QStringLiteral("        ");

struct GroupForm {
    Msg heading;
    bool listLine; // the line is the list's route alone, not a user's location
};

GroupForm FormOfKind(std::uint32_t kind) {
    switch (kind) {
    case PT_EXPLORE_PATH:
        return {Msg::TREE_HEADING_EXPPATH, true};
    case PT_MAINT_STOCK:
        return {Msg::TREE_HEADING_MAINTSTK, true};
    case PT_MAINT_CONSIST:
        return {Msg::TREE_HEADING_MAINTCON, true};
    case PT_EXPLORE_CONSIST:
        return {Msg::TREE_HEADING_EXPCON, true};
    case PT_CONSIST:
        return {Msg::TREE_HEADING_CONSISTS, false};
    case PT_SERVICE:
        return {Msg::TREE_HEADING_SERVICES, false};
    case PT_ACTIVITY:
        return {Msg::TREE_HEADING_ACTIVITIES, false};
    default:
        return {Msg::TYPE_UNKNOWN_LEG, false};
    }
}

QString ReportHeading(int mode) {
    if (mode == WU_UNUSED_ONLY)
        return Caption(Msg::WHERE_USED_UNUSED_TAG);
    if (mode == WU_USED_ONLY)
        return Caption(Msg::WHERE_USED_TAG) + QStringLiteral(" (") +
               Caption(Msg::WHERE_USED_NO_UNUSED_TAG) + QLatin1Char(')');
    return Caption(Msg::WHERE_USED_TAG);
}

// The names of a store data file's sections.
QStringList CacheSections(const QString& name) {
    std::unique_ptr<StoreIniHolder> cache = OpenStoreIni(name);
    const QStringList sections = cache->Ini.ReadSections();
    CloseStoreIni(std::move(cache));
    return sections;
}

} // namespace

QString WhereUsedItemHeading(const QString& item, const QString& users, int mode) {
    if (!users.isEmpty())
        return mode == WU_UNUSED_ONLY ? QString() : item + QStringLiteral("\n\n") + users + u'\n';
    if (mode == WU_COMPLETE)
        return item + u'\n' + kFourBlanks + Caption(Msg::TREE_HEADING_NOT_USED) +
               QStringLiteral("\n\n");
    if (mode == WU_UNUSED_ONLY)
        return item + u'\n';
    return QString();
}

namespace {

// Goes through sorted results and hands each item's block, as WhereUsedItemHeading makes it, to
// `block` in turn.
void EachItemBlock(const UsedInList& results, int mode,
                   const std::function<void(const QString&)>& block) {
    QString item;
    QString users;
    std::int64_t kind = -1;
    bool groupOpen = false;
    GroupForm form{Msg::TYPE_UNKNOWN_LEG, false};
    QString heading;
    for (const auto& record : results) {
        PumpMessagesIfBusy();
        // Item texts are compared exactly: the sort has brought equal texts together already.
        if (record->ItemText != item) {
            if (!item.isEmpty())
                block(WhereUsedItemHeading(item, users, mode));
            item = record->ItemText;
            users.clear();
            groupOpen = false;
        }
        if (std::int64_t(record->Kind) != kind) {
            if (!users.isEmpty())
                users += u'\n';
            groupOpen = false;
            kind = record->Kind;
            form = FormOfKind(record->Kind);
            heading = record->Kind == 0 ? QString() : Caption(form.heading);
            SetStatusDetail(Caption(Msg::STATUS_TEXT_LOADING) + QStringLiteral(" '") +
                            record->ItemText + QStringLiteral("' - ") + heading +
                            QStringLiteral(" '") + record->ItemName + QLatin1Char('\''));
        }
        if (record->Kind == 0)
            continue;
        if (!groupOpen) {
            users += kFourBlanks + heading + QStringLiteral(":\n");
            groupOpen = true;
        }
        users += kEightBlanks + record->Text1;
        if (!form.listLine)
            users += QStringLiteral(" (") + record->Text2 + u'\\' + record->Text3 + u')';
        if (record->ItemName != record->ItemText)
            users += QStringLiteral(" (") + Caption(Msg::TREE_HEADING_FROM) + QStringLiteral(": ") +
                     record->ItemName + u')';
        users += u'\n';
    }
    if (!item.isEmpty())
        block(WhereUsedItemHeading(item, users, mode));
}

} // namespace

QString FormatWhereUsedReport(const UsedInList& results, int mode) {
    QString body;
    EachItemBlock(results, mode, [&body](const QString& block) { body += block; });
    return body;
}

void WriteWhereUsedReport(ReportPane* pane, const UsedInList& results, int mode) {
    if (!pane)
        return;
    const int start = pane->LineCount();
    WriteReportHeading(ReportHeading(mode), pane);
    pane->AddLine(QString());
    // Each block's lines go to the pane as the block is made, every one of them ended by a line
    // feed; the body as a whole ends with one more, empty line, as an empty body is one.
    EachItemBlock(results, mode, [pane](const QString& block) {
        QStringView rest(block);
        while (!rest.isEmpty()) {
            const qsizetype end = rest.indexOf(u'\n');
            if (end < 0) {
                pane->AddLine(rest.toString());
                break;
            }
            pane->AddLine(rest.first(end).toString());
            rest = rest.sliced(end + 1);
        }
    });
    pane->AddLine(QString());
    // The report is read from its start, not from its last line, also below earlier text.
    pane->ScrollToLine(start);
}

void WhereUsedAll(int mode, ReportPane* pane) {
    ClearReport(pane);
    SetBusy(true);
    StringList files;
    for (const std::uint32_t kind : {PT_SERVICE, PT_PATH}) {
        for (const QString& root : {App().MstsRootFolder, App().StoreRootFolder}) {
            if (!root.isEmpty())
                ListRouteFilesOfKind(kind, files, root);
        }
    }
    const StringList items =
        SortedItemList(files.Strings() + CacheSections(QStringLiteral("CACHESTK.QVC")) +
                       CacheSections(QStringLiteral("CACHECON.QVC")));

    WhereUsed(pane, items, mode);

    SetBusy(false);
    App().ReportItemCount = 0;
    if (ReadFlag(QStringLiteral("Confirm Completion")))
        TheUi().MessageBox(Caption(Msg::PROCESS_COMPLETED), App().ProgramTitle, MB_ICONINFORMATION);
}

} // namespace qv
