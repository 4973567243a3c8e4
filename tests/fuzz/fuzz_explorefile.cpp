// Explore generation from a source activity: the input after the first byte is the source
// activity file of a scratch route; it is read as the Explore panel reads it and the session's
// service, activity and marker are generated from it (the first byte picks AI traffic, loose
// stock and a new or a kept save number). A generated activity must read as an MSTS text file.
// Everything generated, and the source moved into the store, is removed after each run.
#include "catalogue/activityreader.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "easy/activityfilegen.h"
#include "easy/explorestate.h"
#include "easy/savedactivity.h"
#include "fuzzsupport.h"
#include "platform/fakeui.h"
#include "platform/mstsfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    qv::fuzz::EnsureApplication();
    static const qv::fuzz::ScratchRoots scratch({"MSTS/ROUTES/X/ACTIVITIES",
                                                 "MSTS/ROUTES/X/SERVICES", "MSTS/ROUTES/X/PATHS",
                                                 "MSTS/SAVES/X", "STORE/QVDATA/X"});
    scratch.Reset();
    qv::ResetExploreState();
    qv::FakeUi ui;
    qv::ClearReport(qv::TheMainServices().InformationMemo());
    const QString source = QStringLiteral("MSTS/ROUTES/X/ACTIVITIES/A.act");
    scratch.Write(source, qv::fuzz::Input(data + 1, size - 1));

    qv::ItemSet item;
    item.Folder = QStringLiteral("ROUTES\\X\\ACTIVITIES");
    item.FileName = QStringLiteral("A.act");
    qv::ActivityInfo activity;
    {
        qv::StoreIniHolder cache;
        qv::StringList services = qv::StringList::SortedUnique();
        qv::StringList stock = qv::StringList::SortedUnique();
        activity.FullCheck = true;
        qv::ReadActivityFile(scratch.msts, item, cache, activity, &services, &stock);
    }
    activity.Folder = item.Folder;
    activity.FileName = item.FileName;

    qv::ExploreActivitySaveInfo session;
    session.Folder = item.Folder;
    session.FileName = item.FileName;
    session.Name = activity.Name;
    session.ConsistFileName = QStringLiteral("C.con");
    session.PlayerPathFileName = QStringLiteral("ROUTES\\X\\PATHS\\P.pat");
    session.AITraffic = (data[0] & 1) != 0;
    session.LooseStock = (data[0] & 2) != 0;
    session.SaveNumber = (data[0] & 4) != 0 ? 7 : -1;
    if (qv::GenerateExploreActivity(activity, session)) {
        QString text;
        const QString generated = scratch.msts + QStringLiteral("\\ROUTES\\X\\ACTIVITIES\\") +
                                  qv::kExploreTempPrefix + QString::number(session.SaveNumber) +
                                  QStringLiteral(".act");
        if (!qv::ReadMstsTextFile(generated, &text) || !text.startsWith(QLatin1String("SIMISA")))
            __builtin_trap(); // what was written cannot be read as an MSTS text file
    }
    qv::CleanExploreTemp(QStringLiteral("ROUTES\\X"), nullptr);
    scratch.Remove(source);
    scratch.Remove(QStringLiteral("STORE/ROUTES/X/ACTIVITIES/A.act"));
    scratch.Remove(QStringLiteral("STORE/QVDATA/X/SAVES.QVC"));
    qv::ResetExploreState();
    qv::ResetAppState();
    return 0;
}
