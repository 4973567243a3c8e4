#include "catalogue/servicereader.h"

#include "catalogue/mststext.h"
#include "catalogue/readahead.h"
#include "core/contentpath.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "core/status.h"
#include "core/stringlist.h"

#include <QStringList>

namespace qv {

namespace {

// What a service field holds until its keyword is found.
const QString& NotFound() {
    static const QString zero = QStringLiteral("0");
    return zero;
}

enum ServiceKeyword { kTrainConfig, kPathId, kName };
enum TrafficKeyword { kTrafficDefinition, kServiceDefinition };

const QStringList& ServiceKeywords() {
    static const QStringList table{QStringLiteral("Train_Config"), QStringLiteral("PathID"),
                                   QStringLiteral("Name")};
    return table;
}

const QStringList& TrafficKeywords() {
    static const QStringList table{QStringLiteral("Traffic_Definition"),
                                   QStringLiteral("Service_Definition")};
    return table;
}

// The folder part of a relative path (empty when it has none) and its last component.
void SplitRelativePath(const QString& path, QString* folder, QString* file) {
    const qsizetype slash = path.lastIndexOf(u'\\');
    *folder = slash < 0 ? QString() : path.left(slash);
    *file = path.mid(slash + 1);
}

// A service's path as the status bar shows it: below the ROUTES folder.
QString BelowRoutesFolder(const QString& relativePath) {
    static const QString routes = QStringLiteral("ROUTES\\");
    return relativePath.startsWith(routes, Qt::CaseInsensitive) ? relativePath.mid(routes.size())
                                                                : relativePath;
}

qsizetype FirstNonControl(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].unicode() < 33)
        ++i;
    return i;
}

} // namespace

QString BlockHeaderValue(const QString& rest) {
    const QString text = TrimText(TrimText(rest).mid(1));
    if (!text.startsWith(u'"')) {
        const qsizetype blank = FindBlank(text);
        return blank < 0 ? text : text.left(blank);
    }
    qsizetype close = text.indexOf(u'"', 1);
    while (close >= 0 && !(close + 1 < text.size() && IsBlank(text[close + 1])))
        close = text.indexOf(u'"', close + 1);
    const QString value = close >= 0 ? text.mid(1, close - 1) : StripQuotes(text);
    return value.mid(FirstNonControl(value));
}

bool ReadServiceFile(const QString& root, const QString& relativePath, ServiceInfo& service,
                     const AheadFile* ahead) {
    PumpMessagesIfBusy();
    service.ConsistFile = NotFound();
    service.PathFile = NotFound();
    service.Name = NotFound();
    SplitRelativePath(relativePath, &service.Folder, &service.FileName);

    // The path comes from an activity's PlayerService or Service_Definition.
    const QString path = ContentPath(root, QString(), relativePath);
    if (path.isEmpty())
        return false;
    MstsTextReader reader;
    if (ahead && ahead->root == root && !ahead->path.isEmpty())
        reader = MstsTextReader(ahead->text);
    else if (!reader.Open(path))
        return false;
    const QStringList& table = ServiceKeywords();
    // Whether each field was found is kept apart from its text: a service may well be named "0",
    // the text a field holds until it is found.
    bool found[3] = {false, false, false};
    bool complete = false;
    QStringView line;
    while (!complete && reader.ReadLine(&line)) {
        const int keyword = MatchKeyword(line, table);
        if (keyword < 0)
            continue;
        const QString value = CutValue(reader, line, int(table[keyword].size()));
        switch (keyword) {
        case kTrainConfig:
            service.ConsistFile = value + QStringLiteral(".con");
            break;
        case kPathId:
            service.PathFile = value + QStringLiteral(".pat");
            break;
        case kName:
            service.Name = value;
            break;
        }
        found[keyword] = true;
        complete = found[kTrainConfig] && found[kPathId] && found[kName];
    }
    ShowReadStatus(Msg::STATUS_TEXT_LOADING_SERVICE, BelowRoutesFolder(relativePath));
    return complete;
}

bool ReadTrafficServices(const QString& root, const QString& relativePath, TrafficInfo& traffic,
                         StringList* services) {
    PumpMessagesIfBusy();
    traffic.Name.clear();
    SplitRelativePath(relativePath, &traffic.Folder, &traffic.FileName);
    QString routeFolder;
    QString unused;
    SplitRelativePath(traffic.Folder, &routeFolder, &unused);

    // The path comes from an activity's Traffic_Definition.
    const QString path = ContentPath(root, QString(), relativePath);
    MstsTextReader reader;
    if (path.isEmpty() || !reader.Open(path))
        return false;
    const QStringList& table = TrafficKeywords();
    QStringList listed; // added to the list at the end, sorted once
    QString line;
    while (reader.ReadLine(&line)) {
        const int keyword = MatchKeyword(line, table);
        if (keyword < 0)
            continue;
        const QString value = BlockHeaderValue(line.mid(table[keyword].size()));
        if (keyword == kTrafficDefinition)
            traffic.Name = value;
        else if (services)
            listed.append(routeFolder + QStringLiteral("\\SERVICES\\") + value +
                          QStringLiteral(".srv"));
        if (!services && !traffic.Name.isEmpty())
            break;
    }
    if (services)
        services->AddStrings(std::move(listed));
    return true;
}

} // namespace qv
