#include "core/controlhelpers.h"

#include "core/appstate.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "platform/ui.h"

#include <algorithm>

namespace qv {

QString SelectFolder(const QString& initialFolder, const QString& prompt,
                     const QString& captionSuffix) {
    AppState& app = App();
    app.FolderDialogFolder = initialFolder;
    app.FolderDialogPrompt = prompt;
    app.FolderDialogCaption = captionSuffix;
    QString chosen;
    app.FolderDialogResult = TheUi().SelectFolder(initialFolder, prompt, captionSuffix, &chosen);
    // The dialog takes the initial folder and leaves only a chosen one behind.
    app.FolderDialogFolder = app.FolderDialogResult == ID_OK ? chosen : QString();
    return app.FolderDialogFolder;
}

QPoint CentredTopLeft(const QRect& control, const QRect& over, int screenHeight) {
    const int difference = over.height() - control.height();
    const int top =
        difference < 1 ? (screenHeight - control.height()) / 2 : over.top() + difference / 2;
    const int left = std::max(0, over.left() + (over.width() - control.width()) / 2);
    return QPoint(left, top);
}

QString ReplaceLastCharWithBar(const QString& text) {
    return text.chopped(text.isEmpty() ? 0 : 1) + QLatin1Char('|');
}

int ClassifyListNode(const ItemNode* node) {
    if (!node || !(node->Data()->PType & PT_MASK_LIST_KINDS))
        return 0;
    const bool heading = node->Data()->PType & PT_HEADING;
    const ItemNode* list = heading ? node : node->Parent();
    if (!list)
        return 3;
    if (list->Data()->FileName.isEmpty())
        return heading ? 2 : 3;
    const ItemNode* above = list->Parent();
    return above && (above->Data()->PType & PT_MASK_LIST_KINDS) ? 1 : 3;
}

void CollectRouteNodes(std::vector<ItemNode*>& list, const ItemTree& tree) {
    ItemNode* node = tree.First();
    while (node && !IsRouteItem(*node->Data()))
        node = node->GetNext();
    for (; node; node = node->NextSibling())
        list.push_back(node);
}

} // namespace qv
