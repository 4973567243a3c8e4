// Saved Explore sessions: the input is a route's SAVES.QVC. The route's sessions are listed
// against a few MSTS save files, each one read and described, and a new session is given its
// save number (which writes the file back), as the Explore panel does.
#include "core/mainservices.h"
#include "core/report.h"
#include "core/reportpane.h"
#include "core/storeini.h"
#include "easy/exploresaves.h"
#include "easy/exploresession.h"
#include "easy/explorestate.h"
#include "fuzzsupport.h"
#include "platform/fakeui.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qv::fuzz::EnsureApplication();
    static const qv::fuzz::ScratchRoots scratch(
        {"MSTS/SAVES/X", "MSTS/ROUTES/X/PATHS", "STORE/QVDATA/X"});
    static const bool saves = [] {
        for (const char* name : {"QV_~TEMP1_a.sav", "QV_~TEMP2.sav", "QV_~TEMP12_b.sav",
                                 "QV_~TEMPx_3.sav", "QV_~TEMP998_c.sav", "other.sav"})
            scratch.Write(QStringLiteral("MSTS/SAVES/X/") + QLatin1String(name), "save");
        return true;
    }();
    (void)saves;
    scratch.Reset();
    qv::ResetExploreState();
    qv::FakeUi ui;
    qv::ClearReport(qv::TheMainServices().InformationMemo());
    const QString file = QStringLiteral("STORE/QVDATA/X/SAVES.QVC");
    scratch.Write(file, qv::fuzz::Input(data, size));

    const qv::SavedSessionRows rows = qv::FillSavedExploreSessions(QStringLiteral("X"));
    if (rows.Rows.size() != qsizetype(rows.RowMap.size()))
        __builtin_trap();
    {
        auto savesFile = qv::OpenStoreIni(qv::ExploreSavesFileName(QStringLiteral("X")));
        qv::ReportPane pane;
        for (const qv::SessionRow& row : rows.RowMap) {
            qv::ExploreActivitySaveInfo record;
            if (!qv::ReadExploreSaveRecord(record, QString::number(row.SaveNumber), *savesFile))
                continue;
            qv::ExploreSessionUsingText(record);
            qv::DescribeExploreSession(record, &pane);
        }
    }
    qv::ExploreActivitySaveInfo record;
    record.Folder = QStringLiteral("ROUTES\\X\\ACTIVITIES");
    record.FileName = QStringLiteral("A.act");
    if (qv::AllocateExploreSaveNumber(record) && (record.SaveNumber < 1 || record.SaveNumber > 998))
        __builtin_trap();
    scratch.Remove(file);
    qv::ResetExploreState();
    qv::ResetAppState();
    return 0;
}
