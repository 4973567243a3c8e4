#include "core/itemkinds.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/status.h"
#include "platform/ui.h"
#include "platform/workers.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace qv {

QString ItemKindName(std::uint32_t kind) {
    switch (kind) {
    case PT_GLOBAL:
        return Caption(Msg::TYPE_GLOBAL_LEG);
    case PT_ROUTE:
        return Caption(Msg::TYPE_ROUTE_LEG);
    case PT_ACTIVITY:
        return Caption(Msg::TYPE_ACTIVITY_LEG);
    case PT_EXPLORE_CONSIST:
        return Caption(Msg::TYPE_EXPLORE_MODE_CONSIST_LEG);
    case PT_HEADING:
        return Caption(Msg::TYPE_HEADING_LEG);
    case PT_MAINT_CONSIST:
        return Caption(Msg::TYPE_MAINTENANCE_CONSIST_LEG);
    case PT_MAINT_STOCK:
        return Caption(Msg::TYPE_MAINTENANCE_STOCK_LEG);
    case PT_CONSIST:
        return Caption(Msg::TYPE_CONSIST_LEG);
    case PT_PATH:
        return Caption(Msg::TYPE_PATH_LEG);
    case PT_EXPLORE_PATH:
        return Caption(Msg::TYPE_EXPLORE_MODE_PATH_LEG);
    case PT_MAINT_PATH:
        return Caption(Msg::TYPE_MAINTENANCE_PATH_LEG);
    case PT_STOCK:
        return Caption(Msg::TYPE_STOCK_ITEM_LEG);
    default:
        // Services and traffic have never had a name of their own here.
        return Caption(Msg::TYPE_UNKNOWN_LEG);
    }
}

bool IsActivityItem(const ItemSet& item) {
    return (item.PType & PT_ACTIVITY) && !(item.PType & PT_HEADING);
}

bool IsRouteItem(const ItemSet& item) {
    return (item.PType & PT_ROUTE) && !(item.PType & PT_HEADING);
}

QString LastPathComponent(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1);
}

QString ParentPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    return slash < 0 ? QString() : path.left(slash);
}

QString WithoutExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > path.lastIndexOf(QLatin1Char('\\')) ? path.left(dot) : path;
}

// ---- Sort orders -------------------------------------------------------------------------------

namespace {

QString FileNameKey(const ItemSet& item) {
    return (item.PType & PT_ROUTE) ? LastPathComponent(item.Folder) : item.FileName;
}

int NumberOrMinusOne(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : -1;
}

} // namespace

int CompareFileNameOrder(const ItemSet& a, const ItemSet& b) {
    return CompareText(FileNameKey(a), FileNameKey(b));
}

int CompareDescriptionOrder(const ItemSet& a, const ItemSet& b) {
    return CompareText(a.Description, b.Description);
}

int CompareNamedListOrder(const QString& a, const QString& b) {
    // Without a comma the whole line is the name.
    return CompareText(a.mid(a.indexOf(QLatin1Char(',')) + 1),
                       b.mid(b.indexOf(QLatin1Char(',')) + 1));
}

int CompareNumericOrder(const QString& a, const QString& b) {
    const int x = NumberOrMinusOne(a);
    const int y = NumberOrMinusOne(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

void SortItemList(RecordList<ItemSet>& list) {
    // What is sorted are small entries with the first characters of each record's name, which
    // settle most comparisons. Short plain names need nothing more; the others are prepared as
    // keys, once, when they are first needed. The names are looked at where they are: copies
    // of tens of thousands of texts made on other threads cost more than the sort.
    struct Entry {
        quint64 head[TextKey::kHeads] = {};
        std::size_t record = 0;
        bool settled = false; // the head is the whole name
    };
    const bool byFileName = App().ViewByFileName;
    std::vector<QString> fileNames; // the names made for the file-name view, by record
    if (byFileName) {
        fileNames.resize(list.size());
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i])
                fileNames[i] = FileNameKey(*list[i]);
        }
    }
    const auto name = [&](std::size_t record) -> const QString& {
        return byFileName ? fileNames[record] : list[record]->Description;
    };
    std::vector<std::unique_ptr<TextKey>> keys(list.size());
    const auto key = [&](std::size_t record) -> const TextKey& {
        if (!keys[record])
            keys[record] = std::make_unique<TextKey>(name(record));
        return *keys[record];
    };
    std::vector<Entry> entries;
    entries.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i])
            entries.push_back(Entry{{}, i, false});
    }
    const std::size_t empty = list.size() - entries.size();
    // Long lists have their entries made on a few threads (each entry and key by one of them):
    // the names lie all over memory, and reading them is most of the work.
    constexpr std::size_t kRun = 1024;
    ForEachOnWorkers((entries.size() + kRun - 1) / kRun, 4, [&](std::size_t run) {
        for (std::size_t e = run * kRun; e < std::min(entries.size(), (run + 1) * kRun); ++e) {
            Entry& entry = entries[e];
            entry.settled = TextKey::QuickHeads(name(entry.record), entry.head);
            if (!entry.settled) {
                for (int h = 0; h < TextKey::kHeads; ++h)
                    entry.head[h] = key(entry.record).Head(h);
            }
        }
    });
    std::stable_sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        for (int h = 0; h < TextKey::kHeads; ++h) {
            if (a.head[h] != b.head[h])
                return a.head[h] < b.head[h];
        }
        if (a.settled && b.settled)
            return false;
        return key(a.record).Compare(key(b.record)) < 0;
    });
    RecordList<ItemSet> sorted;
    sorted.reserve(list.size());
    for (const Entry& entry : entries)
        sorted.push_back(std::move(list[entry.record]));
    sorted.resize(sorted.size() + empty); // empty places last
    list = std::move(sorted);
}

// ---- The object tree ---------------------------------------------------------------------------

QString ItemNodeText(const ItemSet& item) {
    if (!App().ViewByFileName || (item.PType & PT_HEADING))
        return item.Description;
    if (item.PType & PT_ROUTE)
        return LastPathComponent(item.Folder);
    if (item.PType & PT_MAINT_STOCK)
        return LastPathComponent(item.FileName);
    return item.FileName;
}

void FillTreeFromItemList(ItemTree& tree, RecordList<ItemSet>& list) {
    constexpr int kLevels = 5;
    // The last node made at each level; null while none has been made there.
    std::array<ItemNode*, kLevels> last{};
    int previous = 0;
    for (std::unique_ptr<ItemSet>& place : list) {
        if (!place)
            continue;
        const int level = std::min({std::clamp(place->PLevel, 0, kLevels - 1), previous + 1});
        const bool listKind = place->PType & PT_MASK_LIST_KINDS;
        ItemNode* node = nullptr;
        if (level > previous && last[level - 1])
            node = last[level - 1]->AddChild(std::move(place));
        else if (last[level] && last[level]->Parent())
            node = last[level]->Parent()->AddChild(std::move(place));
        else
            node = tree.AddRoot(std::move(place));

        // A named-list node shows its state only below another list node, not below the route or
        // heading that holds the lists.
        node->StateIndex = node->Data()->StoreInd;
        if (listKind) {
            const ItemNode* parent = node->Parent();
            if (!parent || !(parent->Data()->PType & PT_MASK_LIST_KINDS))
                node->StateIndex = -1;
        }
        last[level] = node;
        previous = level;
        LogStatus();
    }
}

// ---- Wildcard masks ----------------------------------------------------------------------------

namespace {

QString ClassChar(QChar c) {
    return QStringLiteral("\\x{%1}").arg(c.unicode(), 0, 16);
}

// Blanks and control characters are trimmed, as the filter edits have always done.
QString TrimFilter(const QString& filter) {
    qsizetype start = 0;
    qsizetype end = filter.size();
    while (start < end && filter.at(start).unicode() <= ' ')
        ++start;
    while (end > start && filter.at(end - 1).unicode() <= ' ')
        --end;
    return filter.mid(start, end - start);
}

} // namespace

std::optional<QRegularExpression> Mask::Compile(const QString& mask) {
    QString pattern;
    const qsizetype length = mask.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = mask.at(i);
        if (c == QLatin1Char('*')) {
            pattern += QStringLiteral(".*");
        } else if (c == QLatin1Char('?')) {
            pattern += QLatin1Char('.');
        } else if (c == QLatin1Char('[')) {
            ++i;
            QString set;
            if (i < length && mask.at(i) == QLatin1Char('!')) {
                set += QLatin1Char('^');
                ++i;
            }
            bool empty = true;
            while (i < length && mask.at(i) != QLatin1Char(']')) {
                set += ClassChar(mask.at(i));
                if (i + 1 < length && mask.at(i + 1) == QLatin1Char('-')) {
                    i += 2;
                    if (i >= length || mask.at(i) == QLatin1Char(']'))
                        return std::nullopt; // a range without its end
                    set += QLatin1Char('-') + ClassChar(mask.at(i));
                }
                empty = false;
                ++i;
            }
            if (i >= length || empty)
                return std::nullopt; // unclosed or empty set
            pattern += QLatin1Char('[') + set + QLatin1Char(']');
        } else {
            pattern += QRegularExpression::escape(QString(c));
        }
    }
    QRegularExpression expression(QRegularExpression::anchoredPattern(pattern),
                                  QRegularExpression::CaseInsensitiveOption |
                                      QRegularExpression::DotMatchesEverythingOption);
    if (!expression.isValid()) // a reversed range such as [z-a]
        return std::nullopt;
    expression.optimize();
    return expression;
}

bool Mask::Matches(const QString& text) const {
    return expression_.match(text).hasMatch();
}

std::unique_ptr<Mask> MakeMask(const QString& filter) {
    const QString trimmed = TrimFilter(filter);
    if (trimmed.isEmpty())
        return nullptr;
    std::optional<QRegularExpression> expression = Mask::Compile(trimmed);
    if (!expression) {
        TheUi().MessageBox(Caption(Msg::INVALID_MASK_LEG) + QLatin1Char(' ') + trimmed,
                           App().ProgramTitle, MB_ICONSTOP);
        return nullptr;
    }
    return std::make_unique<Mask>(std::move(*expression));
}

} // namespace qv
