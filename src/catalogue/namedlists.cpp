#include "catalogue/namedlists.h"

#include "catalogue/listeditorservices.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemset.h"
#include "core/itemtree.h"
#include "core/regsettings.h"
#include "platform/terminate.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <QStringList>
#include <algorithm>

namespace qv {

namespace {

// Where an unknown list kind has always been reported from; support texts refer to it.
constexpr const char* kListEditorModule = "ListEditorCommon";
constexpr int kUnknownKindLine = 1173;

const QString kListExtension = QStringLiteral(".QVC");
const QString kRegisterName = QStringLiteral("ROUTE.QVC");

// The register of the scope an item folder belongs to: the global one for the consists and
// trainset folders (spelt exactly so, as the data folders are), else the route's own.
QString RegisterName(const QString& folder) {
    if (folder == QLatin1String("TRAINS\\CONSISTS") || folder == QLatin1String("TRAINS\\TRAINSET"))
        return kRegisterName;
    return LastPathComponent(folder) + QLatin1Char('\\') + kRegisterName;
}

// The number of a list id: 0 for the section name itself, n for the section name followed by the
// digits of n; -1 for any other id. The section name is matched without regard to case, as the
// register's keys and the list files' names are, so that no id in use is handed out again.
int ListIdNumber(const QString& id, const QString& section) {
    if (!id.startsWith(section, Qt::CaseInsensitive))
        return -1;
    const QString digits = id.mid(section.size());
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    }
    bool ok = false;
    const int number = (QStringLiteral("0") + digits).toInt(&ok);
    return ok ? number : -1;
}

} // namespace

QString RouteListSection(std::uint32_t kind) {
    switch (kind) {
    case PT_EXPLORE_CONSIST:
        return QStringLiteral("CONSISTS");
    case PT_MAINT_CONSIST:
        return QStringLiteral("MAINTCON");
    case PT_MAINT_STOCK:
        return QStringLiteral("MAINTSTK");
    case PT_EXPLORE_PATH:
        return QStringLiteral("PATHS");
    case PT_MAINT_PATH:
        return QStringLiteral("MAINTPAT");
    default:
        TheUi().MessageBox(
            UnexpectedText(kListEditorModule, kUnknownKindLine, QString::number(kind)),
            App().ProgramTitle, MB_ICONSTOP);
        TerminateProgram(1);
        return QString();
    }
}

void FillRouteListsInfo(const ItemSet& item, RouteListsInfo& info, std::uint32_t kind) {
    info.ListType = kind;
    info.Folder = item.Folder;
    info.Key = item.FileName;
    info.Section = RouteListSection(kind);
    info.FileName = RegisterName(item.Folder);
}

bool RouteListFileOp(RouteListsInfo& info, int operations) {
    bool openedHere = false;
    if (!info.Holder) {
        info.Holder = OpenStoreIni(info.FileName);
        openedHere = true;
    }
    IniFile& ini = info.Holder->Ini;
    const QString key = WithoutExtension(info.Key);
    if (operations & RLF_READ) {
        info.RawValue = ini.ReadString(info.Section, key, QString());
        info.State = ListValueState(info.RawValue);
        info.ListName = ListValueText(info.RawValue);
        info.NameChanged = false;
    } else if (operations & RLF_WRITE) {
        ini.WriteString(info.Section, key,
                        QString::number(info.State) + QLatin1Char(',') + info.ListName);
        info.Holder->Modified = true;
    } else if (operations & RLF_DELETE) {
        ini.DeleteKey(info.Section, key);
        info.Holder->Modified = true;
        info.KeysLeft = std::int32_t(ini.ReadSection(info.Section).size());
        if (info.KeysLeft == 0)
            ini.EraseSection(info.Section);
    }
    if (operations & RLF_KEEP_OPEN)
        return true;
    if (!(operations & RLF_OPEN) && !openedHere)
        return true;
    return CloseStoreIni(std::move(info.Holder));
}

int ListValueState(const QString& value) {
    const qsizetype comma = value.indexOf(QLatin1Char(','));
    if (comma < 0)
        return -1;
    bool ok = false;
    const int state = value.left(comma).toInt(&ok);
    return ok ? state : -1;
}

QString ListValueText(const QString& value) {
    const qsizetype comma = value.indexOf(QLatin1Char(','));
    if (comma < 0)
        return value;
    return value.mid(comma + 1, 999);
}

StringList ReadRouteLists(const QString& folder, std::uint32_t kind, bool activeOnly) {
    StringList result;
    ItemSet scope;
    scope.Folder = folder;
    RouteListsInfo info;
    FillRouteListsInfo(scope, info, kind);
    if (info.Section.isEmpty())
        return result;

    RouteListFileOp(info, RLF_OPEN | RLF_KEEP_OPEN);
    QStringList keys = info.Holder->Ini.ReadSection(info.Section);
    // Older stores kept one list per kind in a file named after the section: it becomes the
    // scope's first, active list.
    if (keys.isEmpty() && FileExists(ItemDataFolder(folder) + info.Section + kListExtension)) {
        info.Key = info.Section;
        info.State = SI_LIST_ACTIVE;
        info.ListName = Caption(Msg::ORIGINAL_LIST_LEG);
        RouteListFileOp(info, RLF_WRITE | RLF_KEEP_OPEN);
        keys << info.Section;
    }

    QStringList lines;
    for (const QString& key : keys) {
        info.Key = key;
        RouteListFileOp(info, RLF_READ | RLF_KEEP_OPEN);
        if (!activeOnly || info.State == SI_LIST_ACTIVE)
            lines << key + kListExtension + QLatin1Char('=') + info.RawValue;
    }
    std::stable_sort(lines.begin(), lines.end(), [](const QString& a, const QString& b) {
        return CompareNamedListOrder(a, b) < 0;
    });
    CloseStoreIni(std::move(info.Holder));
    for (const QString& line : lines)
        result.Add(line);
    return result;
}

void NextRouteListName(RouteListsInfo& info) {
    const QString section = RouteListSection(info.ListType);
    if (section.isEmpty())
        return;
    const StringList lists = ReadRouteLists(info.Folder, info.ListType, false);

    // The numbers of the ids in use, as text for the numeric order. Hand-edited entries whose id
    // is no list id of the section are passed over: they take no number.
    QStringList numbers;
    for (int i = 0; i < lists.Count(); ++i) {
        QString id = lists.Names(i);
        if (id.endsWith(kListExtension, Qt::CaseInsensitive))
            id.chop(kListExtension.size());
        const int number = ListIdNumber(id, section);
        if (number >= 0)
            numbers << QString::number(number);
    }

    QString suffix;
    if (numbers.isEmpty()) {
        info.ListName = Caption(Msg::ORIGINAL_LIST_LEG);
    } else {
        const QString highest = *std::max_element(
            numbers.begin(), numbers.end(),
            [](const QString& a, const QString& b) { return CompareNumericOrder(a, b) < 0; });
        suffix = QString::number(highest.toLongLong() + 1);
        info.ListName =
            Caption(Msg::NEW_LIST_LEG) + QStringLiteral(" (") + suffix + QLatin1Char(')');
    }
    info.State = SI_LIST_ACTIVE;
    info.ListId = section + suffix + kListExtension;
}

void SetRouteListState(RouteListsInfo& info, ItemNode* node, int state) {
    if (!node)
        return;
    const bool openedHere = !info.Holder;
    info.Key = node->Data()->FileName;
    RouteListFileOp(info, RLF_OPEN | RLF_READ | RLF_KEEP_OPEN);
    // Writing a state under a key the register lacks would register a list that has no file.
    const bool registered = !info.Key.isEmpty() &&
                            info.Holder->Ini.ValueExists(info.Section, WithoutExtension(info.Key));
    if (registered) {
        info.State = state;
        node->StateIndex = state;
        node->Data()->StoreInd = state;
        RouteListFileOp(info, RLF_WRITE | RLF_KEEP_OPEN);
    }
    if (openedHere)
        RouteListFileOp(info, RLF_OPEN);
}

void ActivateRouteList(ItemNode* node, int state, bool deactivateSiblings) {
    if (!node)
        return;
    const ItemSet& record = *node->Data();
    const std::uint32_t kind = record.PType & PT_MASK_LIST_KINDS;
    if (kind == 0 || !(record.PType & PT_HEADING))
        return;
    RouteListsInfo info;
    FillRouteListsInfo(record, info, kind);
    if (info.Section.isEmpty())
        return;

    RouteListFileOp(info, RLF_OPEN | RLF_KEEP_OPEN);
    if (record.FileName.isEmpty()) {
        // The heading over several lists: each of them.
        for (int i = 0; i < node->ChildCount(); ++i)
            SetRouteListState(info, node->Child(i), state);
    } else {
        ItemNode* parent = node->Parent();
        if (deactivateSiblings && parent && (parent->Data()->PType & kind)) {
            for (int i = 0; i < parent->ChildCount(); ++i)
                SetRouteListState(info, parent->Child(i), SI_LIST_INACTIVE);
        }
        SetRouteListState(info, node, state);
    }
    RouteListFileOp(info, RLF_OPEN);
}

bool RenameRouteList(ItemNode* node, ListEditorServices& editor, RouteListsInfo& info, int mode) {
    QString name = info.ListName;
    if (!TheUi().InputQuery(editor.ListNameBtnCaption(), Caption(Msg::LIST_NAME_EDIT_PROMPT),
                            &name))
        return false;
    if (name.trimmed().isEmpty())
        return false;
    info.ListName = name;
    info.NameChanged = true;
    if (mode == 1) {
        editor.EnableOKBtn();
        editor.SetEditorCaption(BuildListEditorCaption(mode, node, info));
    }
    return true;
}

QString StatusComboItems() {
    StringList items;
    items.Add(Caption(Msg::TREE_HEADING_IN_USE));
    items.Add(Caption(Msg::TREE_HEADING_IN_STORE));
    if (!ReadFlag(QStringLiteral("Suppress Error Highlighting")))
        items.Add(Caption(Msg::IN_ERROR_LEG));
    items.Add(QString());
    return items.Text();
}

int StatusFilterMask(int index) {
    // Only the four items have a mask of their own; no selection (-1) and anything past them
    // mean all.
    int mask = (index >= 0 && index <= 3) ? 1 << index : 8;
    if (mask == 4 && ReadFlag(QStringLiteral("Suppress Error Highlighting")))
        mask = 8;
    return mask;
}

int SetStoreBits(int value, int bits) {
    return (value & ~3) | bits;
}

} // namespace qv
