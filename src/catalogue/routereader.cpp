#include "catalogue/routereader.h"

#include "catalogue/mststext.h"
#include "catalogue/routefolders.h"
#include "core/appstate.h"
#include "core/contentpath.h"
#include "core/generaldefs.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "platform/winfind.h"

#include <QStringList>

namespace qv {

namespace {

enum RouteKeyword {
    kName,
    kDescription,
    kRouteId,
    kElectrified,
    kGraphic,
    kLoadingScreen,
    kComment
};

const QStringList& RouteKeywords() {
    static const QStringList table{QStringLiteral("Name"),    QStringLiteral("Description"),
                                   QStringLiteral("RouteID"), QStringLiteral("Electrified"),
                                   QStringLiteral("Graphic"), QStringLiteral("LoadingScreen"),
                                   QStringLiteral("Comment")};
    return table;
}

// MSTS writes the flag as eight digits ("00000001"); anything that is not a number counts as 0.
bool IsElectrified(const QString& value) {
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok, 10);
    return ok && number != 0;
}

// The name of the first route file in a route folder, empty when there is none.
QString FirstRouteFile(const QString& root, const QString& folder) {
    QList<FindEntry> entries;
    if (!FindEntries(root + u'\\' + folder + QStringLiteral("\\*.trk"), &entries))
        return QString();
    for (const FindEntry& entry : entries) {
        if (!entry.IsFolder())
            return entry.name;
    }
    return QString();
}

} // namespace

bool ReadRouteFile(const QString& root, const QString& folder, const QString& file,
                   RouteInfo& info) {
    PumpMessagesIfBusy();
    info.Name = folder.mid(folder.lastIndexOf(u'\\') + 1);
    info.Folder = folder;
    info.FileName = file;
    info.PType = PT_ROUTE;
    // A record serves for many routes: what one route's file says must not stay for the next.
    info.Description.clear();
    info.RouteID.clear();
    info.Graphic.clear();
    info.LoadingScreen.clear();
    info.TSectionFileName.clear();
    info.TSectionDescription.clear();
    info.TSectionBuild.clear();
    info.Comment.clear();
    info.TSectionSimulation = 0;
    info.TSectionMaintenance = 0;

    MstsTextReader reader;
    const QString path = ContentPath(root, folder, file);
    if (path.isEmpty() || !reader.Open(path))
        return false;
    const QStringList& table = RouteKeywords();
    QString line;
    while (reader.ReadLine(&line)) {
        const int keyword = MatchKeyword(line, table);
        if (keyword < 0)
            continue;
        const QString value = CutValue(reader, line, int(table[keyword].size()));
        switch (keyword) {
        case kName:
            info.Name = value;
            break;
        case kDescription:
            info.Description = value;
            break;
        case kRouteId:
            info.RouteID = value;
            break;
        case kElectrified:
            if (IsElectrified(value))
                info.PType |= PT_ELECTRIFIED;
            break;
        case kGraphic:
            info.Graphic = value;
            break;
        case kLoadingScreen:
            info.LoadingScreen = value;
            break;
        case kComment: {
            const QString version = ReadRouteSubValue(QStringLiteral("Version"), value);
            if (!version.isEmpty())
                info.Comment = version;
            break;
        }
        }
    }
    ShowReadStatus(Msg::STATUS_TEXT_LOADING_ROUTE, info.Name);
    return true;
}

QString ReadRouteSubValue(const QString& keyword, const QString& text) {
    QString word;
    for (const QString& candidate : {QStringLiteral("Version"), QStringLiteral("LanguageID")}) {
        if (text.startsWith(candidate, Qt::CaseInsensitive)) {
            word = candidate;
            break;
        }
    }
    if (word.isEmpty() || word.compare(keyword, Qt::CaseInsensitive) != 0)
        return QString();
    // The value lies between the "(" after the word and the first ")".
    const QString rest = TrimText(text.mid(word.size()));
    const qsizetype close = rest.indexOf(u')');
    if (close < 1)
        return QString();
    return StripQuotes(TrimText(rest.mid(1, close - 1)));
}

void ReadRouteItems(RecordList<ItemSet>& items) {
    const QString& msts = App().MstsRootFolder;
    const QString& store = App().StoreRootFolder;
    StringList folders = StringList::SortedUnique();
    ListRouteFolders(folders, msts, QString());
    ListRouteFolders(folders, store, QString());

    RouteInfo route;
    for (int i = 0; i < folders.Count(); ++i) {
        const QString& name = folders[i];
        auto item = std::make_unique<ItemSet>();
        item->Description = name;
        item->StoreInd = SI_HEADING;
        item->Folder = QStringLiteral("Routes\\") + name;

        // The store is looked at only when the MSTS folder has no route file.
        QString file = FirstRouteFile(msts, item->Folder);
        if (!file.isEmpty()) {
            if (ReadRouteFile(msts, item->Folder, file, route))
                item->StoreInd = SI_IN_USE;
        } else {
            file = FirstRouteFile(store, item->Folder);
            if (!file.isEmpty() && ReadRouteFile(store, item->Folder, file, route))
                item->StoreInd = SI_IN_STORE;
        }
        if (item->StoreInd == SI_HEADING) {
            Report(2, item.get(),
                   Caption(Msg::TYPE_ROUTE_LEG) + u' ' + Caption(Msg::GENERAL_NOT_FOUND0),
                   TheMainServices().InformationMemo());
            continue;
        }
        item->PType = route.PType;
        item->Description = route.Name;
        item->Folder = route.Folder;
        item->FileName = route.FileName;
        items.push_back(std::move(item));
    }
}

} // namespace qv
