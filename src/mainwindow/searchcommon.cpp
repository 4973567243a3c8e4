#include "mainwindow/searchcommon.h"

#include "core/comparetext.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/status.h"
#include "easy/easylists.h"
#include "mainwindow/objecttree.h"

namespace qv {

namespace {

int CountNodes(const ItemTree& tree) {
    int count = 0;
    for (const ItemNode* node = tree.First(); node; node = node->GetNext())
        ++count;
    return count;
}

bool SameRecord(const ItemSet& a, const ItemSet& b) {
    return a.PLevel == b.PLevel && a.PType == b.PType && a.Description == b.Description &&
           CompareText(a.Folder, b.Folder) == 0 && CompareText(a.FileName, b.FileName) == 0;
}

} // namespace

void SearchTreeView(SearchTextSet& record, ItemTree& tree) {
    record.LastResult = 0;
    if (!tree.First())
        return;
    MainServices& main = TheMainServices();
    main.ShowHourglass(true);

    ItemNode* start = tree.Selected() ? tree.Selected() : tree.First();
    const int startIndex = TreePosition(tree, start);
    // The search goes on inside a node's text only where the last one stopped.
    if (startIndex != record.NodeIndex)
        record.Position = 0;
    record.NodeIndex = startIndex;
    const ItemSet copy = *start->Data();

    tree.BeginUpdate();
    const int before = CountNodes(tree);
    FillUnopenedLists(tree);
    const bool added = CountNodes(tree) != before;
    if (added) {
        int index = 0;
        for (ItemNode* node = tree.First(); node; node = node->GetNext(), ++index) {
            if (index >= startIndex && SameRecord(*node->Data(), copy)) {
                record.NodeIndex = index;
                break;
            }
        }
    }

    {
        StatusGuard status(QStringLiteral("SEARCH"));
        int index = record.NodeIndex;
        for (ItemNode* node = NodeAtPosition(tree, index); node; node = node->GetNext(), ++index) {
            const int result = MatchSearchText(ObjectNodeText(*node), record);
            if (result > 0) {
                record.LastResult = result;
                record.NodeIndex = index;
                break;
            }
        }
    }

    // Collapsed, with only the path down to the match (or the start) open.
    for (ItemNode* node = tree.First(); node; node = node->GetNext())
        node->SetExpanded(false);
    ItemNode* shown = NodeAtPosition(tree, record.NodeIndex);
    for (ItemNode* parent = shown ? shown->Parent() : nullptr; parent; parent = parent->Parent())
        parent->SetExpanded(true);
    tree.EndUpdate();
    tree.SetSelected(shown);
    main.ShowHourglass(false);
}

} // namespace qv
