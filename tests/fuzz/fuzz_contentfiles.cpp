// The content readers that open their files themselves. The input is written as one file of a
// scratch MSTS folder and read by the reader the first byte picks; one reader takes the rest of
// the input as the scenario cache instead, with a section that is current for its activity.
#include "catalogue/activityreader.h"
#include "catalogue/consistvehicles.h"
#include "catalogue/routereader.h"
#include "catalogue/servicereader.h"
#include "catalogue/stockdeps.h"
#include "core/appstate.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "fuzzsupport.h"
#include "platform/drivemap.h"
#include "platform/fakeui.h"
#include "platform/winfs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

struct Scratch {
    QTemporaryDir dir;
    QString msts; // Windows form
    QString store;

    Scratch() {
        for (const char* folder :
             {"MSTS/ROUTES/X/SERVICES", "MSTS/ROUTES/X/TRAFFIC", "MSTS/ROUTES/X/ACTIVITIES",
              "MSTS/TRAINS/CONSISTS", "MSTS/TRAINS/TRAINSET/LOCO/SOUND",
              "MSTS/TRAINS/TRAINSET/LOCO/CABVIEW", "STORE"})
            QDir(dir.path()).mkpath(QLatin1String(folder));
        msts = qv::ToWindowsForm(dir.filePath(QStringLiteral("MSTS")));
        store = qv::ToWindowsForm(dir.filePath(QStringLiteral("STORE")));
    }
    void Write(const QString& relative, const QByteArray& bytes) const {
        QFile file(dir.filePath(QStringLiteral("MSTS/") + relative));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
    }
};

const char* const kFiles[] = {
    "ROUTES/X/SERVICES/A.srv",
    "ROUTES/X/TRAFFIC/A.trf",
    "ROUTES/X/ACTIVITIES/A.act",
    "ROUTES/X/X.trk",
    "TRAINS/CONSISTS/A.con",
    "TRAINS/TRAINSET/LOCO/SOUND/A.sms",
    "TRAINS/TRAINSET/LOCO/CABVIEW/A.cvf",
    "TRAINS/TRAINSET/LOCO/LOCO.eng",
};

QString WindowsPath(const char* relative) {
    return QString::fromLatin1(relative).replace(u'/', u'\\');
}

qv::ItemSet Activity() {
    qv::ItemSet item;
    item.Folder = QStringLiteral("ROUTES\\X\\ACTIVITIES");
    item.FileName = QStringLiteral("A.act");
    return item;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    qv::fuzz::EnsureApplication();
    static const Scratch scratch;
    qv::ResetAppState();
    qv::App().MstsRootFolder = scratch.msts;
    qv::App().StoreRootFolder = scratch.store;
    qv::App().ExtendedActivityCache = true;
    qv::FakeUi ui;
    qv::ClearReport(qv::TheMainServices().InformationMemo());

    const QByteArray input = qv::fuzz::Input(data + 1, size - 1);
    const int pick = data[0] % 9;
    if (pick < 8)
        scratch.Write(QLatin1String(kFiles[pick]), input);
    const QString& root = scratch.msts;
    qv::StringList first = qv::StringList::SortedUnique();
    qv::StringList second = qv::StringList::SortedUnique();
    switch (pick) {
    case 0: {
        qv::ServiceInfo service;
        qv::ReadServiceFile(root, WindowsPath(kFiles[0]), service);
        break;
    }
    case 1: {
        qv::TrafficInfo traffic;
        qv::ReadTrafficServices(root, WindowsPath(kFiles[1]), traffic, &first);
        break;
    }
    case 2: {
        qv::StoreIniHolder cache;
        qv::ActivityInfo info;
        info.FullCheck = true;
        qv::ReadActivityFile(root, Activity(), cache, info, &first, &second);
        break;
    }
    case 3: {
        qv::RouteInfo info;
        qv::ReadRouteFile(root, QStringLiteral("ROUTES\\X"), QStringLiteral("X.trk"), info);
        break;
    }
    case 4:
        qv::ReadConsistVehicles(root + u'\\' + WindowsPath(kFiles[4]), &first, nullptr);
        break;
    case 5:
        qv::ReadSoundDependencies(root, WindowsPath(kFiles[5]), scratch.store, first, true, true);
        break;
    case 6:
        qv::ReadCabViewDependencies(root, WindowsPath(kFiles[6]), scratch.store, first, true);
        break;
    case 7:
        qv::ReadStockDependencies(root, WindowsPath(kFiles[7]), scratch.store, first, second, true);
        break;
    default: {
        // The scenario cache from the input, made current for a small activity.
        static const bool written = [] {
            scratch.Write(QLatin1String(kFiles[2]),
                          QByteArray("SIMISA@@@@@@@@@@JINX0a0t______\r\n\r\nTr_Activity (\r\n"
                                     "Tr_Activity_Header ( Name ( A ) )\r\n)\r\n"));
            return true;
        }();
        (void)written;
        qv::StoreIniHolder cache;
        cache.Ini = qv::IniFile::FromBytes(input);
        const QString section = QStringLiteral("ROUTES\\X\\ACTIVITIES\\A.act");
        cache.Ini.WriteInteger(section, QStringLiteral("FileDate"),
                               qv::FileAge(root + QStringLiteral("\\") + section));
        if (!cache.Ini.ValueExists(section, QStringLiteral("LooseStock")))
            cache.Ini.WriteBool(section, QStringLiteral("LooseStock"), false);
        qv::ActivityInfo info;
        qv::ReadActivityFile(root, Activity(), cache, info, &first, &second);
        break;
    }
    }
    qv::ResetAppState();
    return 0;
}
