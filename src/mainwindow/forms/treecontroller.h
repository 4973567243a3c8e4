// Binds the main window's tree view (QuarvelObjects) to the tree of stored objects: the view
// shows the tree through an ItemTreeModel, opening a node fills it from the caches, the open
// nodes and the selected node are kept alike in both, and the tree's change, mouse and popup
// handlers and the named-list commands of the Classic page live here.
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <functional>

class QAction;
class QMenu;
class QModelIndex;
class QTreeView;
class QWidget;

namespace qv {

class ItemNode;
class ItemTree;
class ItemTreeModel;

class TreeController : public QObject {
    Q_OBJECT

public:
    // The popup menu of the tree and panes, and the main-menu items it copies from. An item whose
    // "Tag" property is -1 is never copied.
    struct PopupSources {
        QMenu* MainFormPopup = nullptr;
        QMenu* RoutesMnu = nullptr;
        QMenu* ActivitiesMnu = nullptr;
        QMenu* ExploreModeConsistsMnu = nullptr;
        QMenu* StockMnu = nullptr;
        QMenu* PathsMnu = nullptr;
        QAction* StoreRouteMnu = nullptr;
        QAction* UnStoreRouteMnu = nullptr;
        QAction* StoreActivityMnu = nullptr;
        QAction* UnStoreActivityMnu = nullptr;
        QAction* SetTSECTIONMnu = nullptr;
        QAction* FindMnu = nullptr;
        QAction* FindNextMnu = nullptr;
        QAction* CopyMnu = nullptr;
        QAction* SaveTxtMnu = nullptr;
        QAction* Print1 = nullptr;
    };

    // Gives the view a model of the tree (both must outlive the controller) and follows both.
    TreeController(QTreeView* view, ItemTree& tree, QObject* parent = nullptr);
    ~TreeController() override;

    ItemTreeModel* Model() const { return model_; }
    QTreeView* View() const { return view_; }
    void SetPopupSources(const PopupSources& sources) { popup_ = sources; }

    // Hooks the window sets; each does nothing while unset.
    // Shows the selected stock item or consist in the viewer (SVIEWMnuClick).
    std::function<void()> ShowInViewer;
    // The list editors, in mode 0 view all, 1 edit the node's list, 2 create a new list; each
    // returns the editor's modal result.
    std::function<int(ItemNode* node, int mode)> ShowConsistListEditor;
    std::function<int(ItemNode* node, int mode)> ShowStockListEditor;
    std::function<int(ItemNode* node, int mode)> ShowPathListEditor;
    // Whether the text search can go on in the control (its Position is set and its Control is
    // this one), so that the popup offers Find Next there.
    std::function<bool(QWidget* control)> SearchContinuesIn;

    // The selected node changed: refreshes the controls and, on the Classic page, the information
    // pane. Ignored while the tree is being rebuilt.
    void QuarvelObjectsChange();
    // A node is about to open.
    void QuarvelObjectsExpanding(ItemNode* node);
    // A mouse button went down at `pos` (viewport coordinates) after the view selected the node
    // there: a left click on the state icon of the selected node switches a named list on or off,
    // or shows a list's consist or stock item in the viewer.
    void QuarvelObjectsMouseDown(Qt::MouseButton button, const QPoint& pos);
    // Rebuilds the popup for the control it is opened on.
    void MainFormPopupPopup(QWidget* control);
    // Gives a pane of the window (a list box, rich edit or combo box) the popup, rebuilt for it
    // on every opening.
    void AttachPopup(QWidget* control);

    // The named-list commands on the selected node.
    int OpenListEditorForNode(ItemNode* node, int mode);
    void AddExploreModeConsistsBtnClick(); // edit the node's list, else create one
    void AddPathListMnuClick();            // create a list
    void ActivatePathListMnuClick();
    void DeActivatePathListMnuClick();
    void ActivateThisPathListOnlyMnuClick();
    void ViewAllConsistsMnuClick();
    void ViewAllStockItemsMnuClick();
    void ViewAllPathsMnuClick();

    // Where the node's text is drawn in the view's viewport; its state icon lies just left of it.
    QRect NodeTextRect(const ItemNode* node) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FollowTreeSelection();
    void FollowTreeExpansion(const QModelIndex& index, bool expanded);
    void FollowModelReset();
    void SetViewCurrent(const ItemNode* node);
    void SwitchSelectedList(int state, bool exclusive);
    void CopyMenuItems(QMenu* menu, bool visibleOnly, QAction* storeItem, QAction* unstoreItem);
    QAction* CopyItem(QAction* source);

    QTreeView* view_;
    ItemTree& tree_;
    ItemTreeModel* model_;
    PopupSources popup_;
    // Set while the view is brought in line with the tree, so that its signals are not taken
    // for the user's.
    bool following_ = false;
    Qt::MouseButton pressButton_ = Qt::NoButton;
    QPoint pressPos_;
};

} // namespace qv
