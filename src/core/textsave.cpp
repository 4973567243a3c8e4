#include "core/textsave.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/panetext.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "platform/drivemap.h"
#include "platform/ui.h"
#include "platform/winfs.h"

namespace qv {

namespace {

const QString kLastTextSaveFolder = QStringLiteral("Last Text Save Folder");

// The folder part of a Windows-form file name, with its trailing backslash.
QString FolderOf(const QString& file) {
    const qsizetype slash = file.lastIndexOf(QLatin1Char('\\'));
    return slash < 0 ? QString() : file.left(slash + 1);
}

} // namespace

bool SaveAsRichText(int filterIndex, const QString& file) {
    if (filterIndex == SAVE_AS_RTF)
        return true;
    return filterIndex == SAVE_AS_ANY && file.endsWith(QStringLiteral(".rtf"), Qt::CaseInsensitive);
}

bool WriteSavedText(const QString& file, const QByteArray& data) {
    if (WriteFileAtomic(file, data))
        return true;
    Report(2, nullptr, Caption(Msg::WRITE_ERROR) + file + QLatin1Char('\''), nullptr);
    return false;
}

bool SaveFocusedTextAs(const ReportPane* pane, bool richPane, const QString& listText) {
    int filterIndex = pane && richPane ? SAVE_AS_RTF : SAVE_AS_TEXT;
    QString file;
    // The last folder used for saved text while it is there, else the home folder (never the
    // current folder, which a launch leaves in the MSTS folder).
    QString folder = RegReadString(kProductKey, kLastTextSaveFolder);
    if (folder.isEmpty() || !FolderExists(folder)) {
        folder = HomeFolder();
        if (!folder.endsWith(QLatin1Char('\\')))
            folder += QLatin1Char('\\');
    }
    if (TheUi().SaveTextDialog(folder, &filterIndex, &file) != ID_OK || file.isEmpty())
        return false;
    RegWriteString(kProductKey, kLastTextSaveFolder, FolderOf(file));
    QByteArray data;
    if (pane && SaveAsRichText(filterIndex, file))
        data = PaneRtf(*pane);
    else
        data = (pane ? PanePlainText(*pane) : listText).toUtf8();
    return WriteSavedText(file, data);
}

} // namespace qv
