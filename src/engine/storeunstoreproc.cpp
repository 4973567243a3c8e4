#include "engine/storeunstoreproc.h"

#include "core/appstate.h"
#include "core/easyservices.h"
#include "core/generaldefs.h"
#include "core/itemset.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/status.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "engine/movephase.h"
#include "engine/survey.h"
#include "engine/usedincommon.h"
#include "engine/worklists.h"
#include "platform/codepage.h"
#include "platform/ui.h"
#include "platform/winfs.h"

namespace qv {

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF");

// Windows-1252 when every character has a byte there (as lists made on Windows are), else UTF-8
// with a byte-order mark.
QByteArray EncodeList(const QString& text) {
    if (std::optional<QByteArray> bytes = EncodeWindows1252(text))
        return *bytes;
    return kUtf8Mark + text.toUtf8();
}

QString DecodeList(const QByteArray& data) {
    if (data.startsWith(kUtf8Mark))
        return QString::fromUtf8(data.mid(kUtf8Mark.size()));
    return DecodeWindows1252(data);
}

bool IsStockFile(const QString& entry) {
    return entry.endsWith(QLatin1String(".wag"), Qt::CaseInsensitive) ||
           entry.endsWith(QLatin1String(".eng"), Qt::CaseInsensitive);
}

// Goes on after survey errors? A silent job never does; otherwise the user decides, unless
// "Suppress Move Errors" lets every job go on.
bool GoOnAfterErrors(bool silent) {
    SetBusy(false);
    if (silent)
        return false;
    if (ReadFlag(QStringLiteral("Suppress Move Errors")))
        return true;
    QString text = Caption(Msg::WARNING_LEG) + QStringLiteral(": ") + Caption(Msg::SURVEY_ERRORS) +
                   QStringLiteral("\n\n") + Caption(Msg::ARE_YOU_SURE_TAG);
    // The Easy page and a command-line job have no information pane in view.
    if (TheEasyServices().MainPageIndex() == 0 || App().CommandLineJob)
        text += Caption(Msg::EASY_ERRORS);
    return TheUi().MessageBox(text, App().ProgramTitle, MB_YESNO | MB_ICONQUESTION) == ID_YES;
}

} // namespace

QString ErrorListFile() {
    return App().StoreRootFolder + QStringLiteral("\\QVDATA\\ERRORS.QVC");
}

bool WriteErrorList(const StringList& entries) {
    const QString path = ErrorListFile();
    int error = 0;
    if (ForceFolders(App().StoreRootFolder + QStringLiteral("\\QVDATA"), &error) &&
        WriteFileAtomic(path, EncodeList(entries.Text()), &error))
        return true;
    Report(RL_ERROR, nullptr,
           Caption(Msg::WRITE_ERROR) + path + QStringLiteral("' : [") + QString::number(error) +
               QLatin1Char(']') + LinkOutText(path, error),
           TheMainServices().InformationMemo());
    return false;
}

bool StoreUnstore(bool unstore, bool partialRoute, bool defaultRoutes, bool allConsists,
                  bool allStock, bool silent, const QString& tsectionFile) {
    WorkLists lists;
    StringList& H = lists.H;
    const bool errors = Survey(unstore, partialRoute, defaultRoutes, lists, allStock, allConsists);

    // Only what the analysis can look up gets a section (a route folder named twice does not).
    if (HasWhereUsedItem(H) && !silent &&
        !ReadFlag(QStringLiteral("Suppress Where Used Analysis"))) {
        ReportPane* pane = TheMainServices().InformationMemo();
        WriteReportHeading(Caption(Msg::TREE_HEADING_ERROR_ANALYSIS), pane);
        WhereUsed(pane, H, WU_COMPLETE);
    }

    // Written before the question, so that the marks show this survey whatever the answer.
    if (WriteErrorList(H))
        App().ErrorsFileWritten = true;
    H.Clear();

    const bool go = !errors || GoOnAfterErrors(silent);
    if (go)
        Move(unstore, tsectionFile, lists, allStock, allConsists);
    return go;
}

void LoadErrorMarks(StringList& lines) {
    const QString path = ErrorListFile();
    QByteArray data;
    if (!ReadFlag(QStringLiteral("Suppress Error Highlighting")) && FileExists(path) &&
        ReadWholeFile(path, &data))
        lines.SetText(DecodeList(data));
    else
        lines.Clear();
    if (!App().ErrorsFileWritten)
        return;
    App().ConsistCacheStale = true;
    App().StockCacheStale = true;
    App().PathCacheStale = true;
    if (lines.IsEmpty())
        return;

    UsedInSearchList stock;
    for (int i = 0; i < lines.Count(); ++i)
        if (IsStockFile(lines[i]))
            stock.AddItem(lines[i]);
    UsedInList results;
    FindConsistsUsingStock(stock, nullptr, results);
    bool added = false;
    for (const auto& hit : results) {
        // Each consist once, however many of its vehicles are listed and however often the
        // marks are loaded.
        if (hit->Kind != PT_CONSIST || lines.IndexOf(hit->Text3) >= 0)
            continue;
        lines.Add(hit->Text3);
        added = true;
    }
    if (added)
        WriteErrorList(lines);
}

} // namespace qv
