#include "catalogue/listeditorservices.h"

#include "catalogue/namedlists.h"
#include "core/appstate.h"
#include "core/filefind.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "platform/ui.h"

#include <algorithm>

namespace qv {

namespace {

// Where an unknown kind has always been reported from; support texts refer to it.
constexpr const char* kListEditorModule = "ListEditorCommon";
constexpr int kUnknownKindLine = 918;

// Every kind a list editor can show, for its kind name in the caption.
constexpr std::uint32_t kEditorKinds = 0xBC00068;

class NoListEditorServices : public ListEditorServices {
public:
    QString ListNameBtnCaption() const override { return QString(); }
    void EnableOKBtn() override {}
    void SetEditorCaption(const QString&) override {}
    QObject* EditConsistListsDlg() const override { return nullptr; }
    QObject* EditStockListsDlg() const override { return nullptr; }
};

NoListEditorServices noListEditorServices;
ListEditorServices* currentListEditorServices = nullptr;

// Lists the MSTS folder's files of the kind into `files` and clears that kind's flag. False for
// a kind without files of its own, and for an empty path list, which tells no PATHS folder.
bool ListMstsFilesOfKind(const RecordList<ItemSet>& list, std::uint32_t kind, StringList& files) {
    const QString root = App().MstsRootFolder + QLatin1Char('\\');
    switch (kind) {
    case PT_CONSIST:
        FindFiles(files, root + QStringLiteral("TRAINS\\CONSISTS"), false, QString(),
                  QStringLiteral("*.CON"));
        App().ConsistCacheStale = false;
        return true;
    case PT_STOCK: {
        const QString trainset = root + QStringLiteral("TRAINS\\TRAINSET");
        StringList folders;
        FindFiles(folders, trainset, true, QString(), QStringLiteral("*.*"));
        for (int i = 0; i < folders.Count(); ++i) {
            const QString folder = trainset + QLatin1Char('\\') + folders[i];
            FindFiles(files, folder, false, folders[i], QStringLiteral("*.WAG"));
            FindFiles(files, folder, false, folders[i], QStringLiteral("*.ENG"));
        }
        App().StockCacheStale = false;
        return true;
    }
    case PT_PATH: {
        // Every item of a path list lies in one route's PATHS folder.
        const auto first = std::find_if(
            list.begin(), list.end(), [](const std::unique_ptr<ItemSet>& item) { return !!item; });
        if (first == list.end())
            return false;
        FindFiles(files, root + (*first)->Folder, false, QString(), QStringLiteral("*.PAT"));
        App().PathCacheStale = false;
        return true;
    }
    default:
        TheUi().MessageBox(
            UnexpectedText(kListEditorModule, kUnknownKindLine, QString::number(kind)),
            App().ProgramTitle, MB_ICONSTOP);
        return false;
    }
}

} // namespace

bool UpdateStoreIndicators(RecordList<ItemSet>& list, std::uint32_t kind,
                           const StringList* errorList) {
    StatusGuard status(QStringLiteral("STRIND"));
    AppState& app = App();
    // A store job that wrote a new error list leaves every kind's indicators out of date.
    if (app.ErrorsFileWritten)
        app.ConsistCacheStale = app.StockCacheStale = app.PathCacheStale = true;
    if (!app.ConsistCacheStale && !app.StockCacheStale && !app.PathCacheStale)
        return false;

    // One listing of the folder and one walk over two sorted lists, not one file test per item.
    StringList files = StringList::SortedUnique();
    if (!ListMstsFilesOfKind(list, kind, files))
        return false;
    app.ErrorsFileWritten = false;

    std::stable_sort(list.begin(), list.end(),
                     [](const std::unique_ptr<ItemSet>& a, const std::unique_ptr<ItemSet>& b) {
                         if (!a || !b)
                             return a && !b; // empty places last
                         return CompareText(a->FileName, b->FileName) < 0;
                     });
    for (const auto& item : list) {
        if (!item)
            continue;
        item->StoreInd = SI_IN_STORE;
        int at = 0;
        if (errorList && errorList->Find(item->FileName, at))
            item->StoreInd += SI_IN_ERROR;
    }
    int f = 0;
    std::size_t i = 0;
    while (f < files.Count() && i < list.size() && list[i]) {
        const int order = CompareText(files[f], list[i]->FileName);
        if (order == 0) {
            list[i]->StoreInd = SetStoreBits(list[i]->StoreInd, SI_IN_USE);
            ++f;
            ++i;
        } else if (order < 0) {
            ++f;
        } else {
            ++i;
        }
    }
    SortItemList(list);
    return true;
}

QString BuildListEditorCaption(int mode, const ItemNode* node, const RouteListsInfo& info) {
    const std::uint32_t kind = info.ListType & kEditorKinds;
    QString caption = App().ProgramTitle + QStringLiteral(" - ") +
                      Caption(mode != 0 ? Msg::EDIT_LEG : Msg::VIEW_ALL_LEG) +
                      QStringLiteral(": ") + ItemKindName(kind);
    const ItemNode* parent = node ? node->Parent() : nullptr;
    if (mode == 0) {
        if (kind == PT_PATH)
            caption += QLatin1Char(' ') + Caption(Msg::LIST_LEG) + QLatin1Char(' ') +
                       Caption(Msg::TREE_HEADING_DETAILS) + QStringLiteral(" - ") +
                       Caption(Msg::TYPE_ROUTE_LEG) + QStringLiteral(": ") +
                       (node ? node->Data()->Description : QString());
        else
            caption += QLatin1Char(' ') + Caption(Msg::TREE_HEADING_DETAILS);
        return caption;
    }

    caption += QLatin1Char(' ') + Caption(Msg::LIST_LEG) + QStringLiteral(" - ");
    if (parent && (parent->Data()->PType & info.ListType)) {
        // A list node under its kind heading: the route above the heading, then the list.
        const ItemNode* route = parent->Parent();
        caption += (route ? route->Data()->Description : QString()) + QStringLiteral(" - ") +
                   info.ListName;
    } else {
        caption += parent ? parent->Data()->Description : QString();
        if (mode == 2)
            caption += QStringLiteral(" - ") + info.ListName;
    }
    if (info.State == SI_LIST_ACTIVE)
        caption += QStringLiteral(" (") + Caption(Msg::ACTIVATED_LEG) + QLatin1Char(')');
    else if (info.State == SI_LIST_INACTIVE)
        caption += QStringLiteral(" (") + Caption(Msg::DEACTIVATED_LEG) + QLatin1Char(')');
    return caption;
}

ListEditorServices& TheListEditorServices() {
    return currentListEditorServices ? *currentListEditorServices : noListEditorServices;
}

void SetListEditorServices(ListEditorServices* services) {
    currentListEditorServices = services;
}

} // namespace qv
