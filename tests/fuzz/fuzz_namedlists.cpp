// The list files of the list editors and the registers that name them. The first byte picks the
// file the rest of the input becomes: a route's consist or path list, the global stock list
// (each read and brought up to date against a scratch MSTS folder that holds one consist, one
// wagon and one path), or a route's or the global register (ROUTE.QVC), whose lists of every
// kind are read, put into a tree list and given the next list name.
#include "catalogue/cacherebuild.h"
#include "catalogue/listrefresh.h"
#include "catalogue/namedlists.h"
#include "core/itemset.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "fuzzsupport.h"
#include "platform/fakeui.h"

namespace {

const char* const kConsist =
    "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\nTrain (\r\n"
    "\tTrainCfg ( A\r\n\t\tName ( \"A\" )\r\n"
    "\t\tWagon (\r\n\t\t\tUiD ( 0 )\r\n\t\t\tWagonData ( W W )\r\n\t\t)\r\n"
    "\t)\r\n)\r\n";
const char* const kWagon = "SIMISA@@@@@@@@@@JINX0D0t______\r\n\r\nWagon ( W\r\n"
                           "\tType ( Freight )\r\n\tWagonShape ( W.s )\r\n"
                           "\tSize ( 3m 4m 12m )\r\n\tName ( \"W\" )\r\n)\r\n";
const char* const kPath = "SIMISA@@@@@@@@@@JINX0P0t______\r\n\r\nSerial ( 1 )\r\nTrackPath (\r\n"
                          "\tTrPathName ( P )\r\n\tName ( \"P\" )\r\n\tTrPathStart ( A )\r\n"
                          "\tTrPathEnd ( B )\r\n\tTrPathNodes ( 0 )\r\n)\r\n";

struct ListFile {
    const char* name; // below the scratch folder
    const char* folder;
    const char* listId;
    std::uint32_t kind;
};

const ListFile kLists[] = {
    {"STORE/QVDATA/X/CONSISTS1.QVC", "ROUTES\\X", "CONSISTS1.QVC", qv::PT_EXPLORE_CONSIST},
    {"STORE/QVDATA/X/PATHS1.QVC", "ROUTES\\X", "PATHS1.QVC", qv::PT_EXPLORE_PATH},
    {"STORE/QVDATA/GLOBAL SETTINGS/MAINTSTK1.QVC", "TRAINS\\TRAINSET", "MAINTSTK1.QVC",
     qv::PT_MAINT_STOCK},
    {"STORE/QVDATA/X/ROUTE.QVC", "ROUTES\\X", "", 0},
    {"STORE/QVDATA/ROUTE.QVC", "TRAINS\\CONSISTS", "", 0},
};

const std::uint32_t kKinds[] = {qv::PT_EXPLORE_CONSIST, qv::PT_MAINT_CONSIST, qv::PT_MAINT_STOCK,
                                qv::PT_EXPLORE_PATH, qv::PT_MAINT_PATH};

void ReadRegister(const QString& folder) {
    for (std::uint32_t kind : kKinds) {
        const qv::StringList lists = qv::ReadRouteLists(folder, kind, false);
        qv::RecordList<qv::ItemSet> tree;
        for (int index = 0; index < std::min(lists.Count(), 3); ++index)
            qv::AddListNode(tree, kind, folder, true, nullptr, nullptr, nullptr, index, lists);
        qv::RouteListsInfo info;
        info.ListType = kind;
        info.Folder = folder;
        qv::NextRouteListName(info);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    qv::fuzz::EnsureApplication();
    static const qv::fuzz::ScratchRoots scratch({"MSTS/TRAINS/CONSISTS", "MSTS/TRAINS/TRAINSET/W",
                                                 "MSTS/ROUTES/X/PATHS", "STORE/QVDATA/X",
                                                 "STORE/QVDATA/GLOBAL SETTINGS"});
    static const bool written = [] {
        scratch.Write(QStringLiteral("MSTS/TRAINS/CONSISTS/A.con"), kConsist);
        scratch.Write(QStringLiteral("MSTS/TRAINS/TRAINSET/W/W.wag"), kWagon);
        scratch.Write(QStringLiteral("MSTS/ROUTES/X/PATHS/P.pat"), kPath);
        return true;
    }();
    (void)written;
    scratch.Reset();
    qv::FakeUi ui;
    qv::ClearReport(qv::TheMainServices().InformationMemo());

    const ListFile& file = kLists[data[0] % std::size(kLists)];
    const bool firstOnly = (data[0] / std::size(kLists)) % 2 != 0;
    scratch.Write(QLatin1String(file.name), qv::fuzz::Input(data + 1, size - 1));
    const QString folder = QLatin1String(file.folder);
    const QString listId = QLatin1String(file.listId);
    qv::RecordList<qv::ItemSet> members;
    qv::StringList notFound;
    auto stockCache = qv::OpenStoreIni(qv::CacheFileName(QStringLiteral("CACHESTK")));
    auto consistCache = qv::OpenStoreIni(qv::CacheFileName(QStringLiteral("CACHECON")));
    auto pathCache = qv::OpenStoreIni(qv::CacheFileName(QStringLiteral("CACHEPAT")));
    switch (file.kind) {
    case qv::PT_EXPLORE_CONSIST:
        qv::RefreshConsistList(members, folder, listId, &notFound, false, firstOnly, *stockCache,
                               *consistCache, file.kind);
        break;
    case qv::PT_EXPLORE_PATH:
        qv::RefreshPathList(members, folder, listId, &notFound, false, firstOnly, *pathCache,
                            file.kind);
        break;
    case qv::PT_MAINT_STOCK:
        qv::RefreshStockList(members, folder, listId, &notFound, false, firstOnly, *stockCache,
                             file.kind);
        break;
    default:
        ReadRegister(folder);
        break;
    }
    for (const auto& member : members) {
        if (!member || !(member->PType & file.kind))
            __builtin_trap(); // a member of another kind was kept
    }
    // The caches are dropped unwritten, so that every run starts from the same files.
    scratch.Remove(QLatin1String(file.name));
    qv::ResetAppState();
    return 0;
}
