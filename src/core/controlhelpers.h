// The shared helpers of the windows that need no widget: the folder dialog's program-wide
// exchange, the centring arithmetic, hint texts, and the classification of named-list nodes and
// route nodes on the tree of stored objects. The helpers that work on widgets are in
// core/forms/controls.h.
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <vector>

namespace qv {

class ItemNode;
class ItemTree;

// The modal folder dialog: keeps the initial folder, prompt and caption suffix in
// App().FolderDialogFolder/-Prompt/-Caption and the dialog's result in App().FolderDialogResult
// (ID_OK, ID_CANCEL); returns the chosen folder (Windows form) after OK, else an empty text.
QString SelectFolder(const QString& initialFolder, const QString& prompt,
                     const QString& captionSuffix);

// Where a control of the given geometry goes when centred over `over`: horizontally over its
// middle, but never left of 0; vertically over its middle, or in the middle of a screen of
// `screenHeight` when the control is at least as tall as `over`.
QPoint CentredTopLeft(const QRect& control, const QRect& over, int screenHeight);

// The text without its last character, followed by "|" (a caption used as a hint whose long
// part is empty).
QString ReplaceLastCharWithBar(const QString& text);

// Named-list nodes: 0 not a list node; 1 a list whose heading hangs below another list node;
// 2 a heading without a file name; 3 any other list node.
int ClassifyListNode(const ItemNode* node);

// Appends the first route node of the tree (depth-first; a route that is no heading) and each
// sibling that follows it.
void CollectRouteNodes(std::vector<ItemNode*>& list, const ItemTree& tree);

} // namespace qv
