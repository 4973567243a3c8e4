#include "mainwindow/forms/treecontroller.h"

#include "catalogue/namedlists.h"
#include "core/appstate.h"
#include "core/controlhelpers.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "mainwindow/forms/itemtreemodel.h"
#include "mainwindow/objecttree.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTextEdit>
#include <QTreeView>

namespace qv {

namespace {

constexpr int kClassicPage = 1;
// The width of a state icon, which lies just left of a node's text.
constexpr int kStateIconWidth = 16;
constexpr std::uint32_t kConsistAndStockLists =
    PT_EXPLORE_CONSIST | PT_MAINT_CONSIST | PT_MAINT_STOCK;

bool IsRichEdit(const QWidget* control) {
    return qobject_cast<const QTextEdit*>(control) || qobject_cast<const QPlainTextEdit*>(control);
}

} // namespace

TreeController::TreeController(QTreeView* view, ItemTree& tree, QObject* parent)
    : QObject(parent), view_(view), tree_(tree), model_(new ItemTreeModel(tree, this)) {
    view_->setHeaderHidden(true);
    view_->setModel(model_);
    view_->viewport()->installEventFilter(this);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);

    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!following_)
                    tree_.SetSelected(ItemTreeModel::NodeOf(current));
            });
    connect(view_, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (!following_)
            QuarvelObjectsExpanding(ItemTreeModel::NodeOf(index));
    });
    connect(view_, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (ItemNode* node = ItemTreeModel::NodeOf(index); node && !following_)
            node->SetExpanded(false);
    });
    connect(view_, &QTreeView::pressed, this,
            [this] { QuarvelObjectsMouseDown(pressButton_, pressPos_); });
    AttachPopup(view_);

    connect(model_, &ItemTreeModel::SelectedNodeChanged, this,
            &TreeController::FollowTreeSelection);
    connect(model_, &ItemTreeModel::NodeExpansionChanged, this,
            &TreeController::FollowTreeExpansion);
    connect(model_, &QAbstractItemModel::modelReset, this, &TreeController::FollowModelReset);
    FollowModelReset();
}

TreeController::~TreeController() = default;

// ---- Keeping view and tree alike ---------------------------------------------------------------

void TreeController::SetViewCurrent(const ItemNode* node) {
    const QModelIndex index = model_->IndexOf(node);
    if (view_->currentIndex() == index)
        return;
    following_ = true;
    if (index.isValid())
        view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    else
        view_->selectionModel()->clear();
    following_ = false;
}

void TreeController::FollowTreeSelection() {
    SetViewCurrent(tree_.Selected());
    QuarvelObjectsChange();
}

void TreeController::FollowTreeExpansion(const QModelIndex& index, bool expanded) {
    following_ = true;
    view_->setExpanded(index, expanded);
    following_ = false;
}

void TreeController::FollowModelReset() {
    following_ = true;
    for (ItemNode* node = tree_.First(); node; node = node->GetNext()) {
        if (node->Expanded())
            view_->setExpanded(model_->IndexOf(node), true);
    }
    following_ = false;
    SetViewCurrent(tree_.Selected());
}

// ---- Handlers ----------------------------------------------------------------------------------

void TreeController::QuarvelObjectsChange() {
    if (App().TreeClearing)
        return;
    MainServices& main = TheMainServices();
    main.UpdateControls();
    if (main.MainPageIndex() == kClassicPage)
        main.ShowSelectedNodeInfo();
}

void TreeController::QuarvelObjectsExpanding(ItemNode* node) {
    if (!node)
        return;
    ExpandNodeFromCaches(node);
    node->SetExpanded(true);
}

bool TreeController::eventFilter(QObject* watched, QEvent* event) {
    // The view selects the node under the mouse before it tells of the press; the button and
    // place are kept for that moment.
    if (watched == view_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        pressButton_ = mouse->button();
        pressPos_ = mouse->position().toPoint();
    }
    return QObject::eventFilter(watched, event);
}

QRect TreeController::NodeTextRect(const ItemNode* node) const {
    const QModelIndex index = model_->IndexOf(node);
    if (!index.isValid())
        return {};
    QStyleOptionViewItem option;
    option.initFrom(view_);
    option.rect = view_->visualRect(index);
    option.widget = view_;
    option.index = index;
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = index.data(Qt::DisplayRole).toString();
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.decorationPosition = QStyleOptionViewItem::Left;
    option.decorationAlignment = Qt::AlignCenter;
    const QSize iconSize = view_->iconSize();
    option.decorationSize =
        iconSize.isValid()
            ? iconSize
            : QSize(kStateIconWidth, view_->style()->pixelMetric(QStyle::PM_SmallIconSize));
    const QVariant decoration = index.data(Qt::DecorationRole);
    if (decoration.isValid()) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.icon = QIcon(decoration.value<QPixmap>());
    }
    return view_->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, view_);
}

void TreeController::QuarvelObjectsMouseDown(Qt::MouseButton button, const QPoint& pos) {
    ItemNode* node = tree_.Selected();
    if (button != Qt::LeftButton || !node)
        return;
    const QRect text = NodeTextRect(node);
    // Only a click on the state icon counts.
    const bool onIcon = pos.x() > text.left() - kStateIconWidth && pos.x() < text.left() &&
                        pos.y() > text.top() && pos.y() < text.top() + text.height();
    if (!onIcon)
        return;
    const AppState& app = App();
    const std::uint32_t kind = node->Data()->PType;
    if ((kind & PT_MASK_LIST_KINDS) && (kind & PT_HEADING) && node->StateIndex != -1) {
        ActivateRouteList(
            node, node->StateIndex != SI_LIST_ACTIVE ? SI_LIST_ACTIVE : SI_LIST_INACTIVE, false);
        tree_.NotifyRecordsChanged();
        TheMainServices().UpdateControls();
    } else if ((kind & kConsistAndStockLists) && !(kind & PT_HEADING)) {
        if ((app.ViewerControlRegistered || !app.ShapeViewerPath.isEmpty()) && ShowInViewer)
            ShowInViewer();
    }
}

// ---- Popup -------------------------------------------------------------------------------------

QAction* TreeController::CopyItem(QAction* source) {
    QMenu* popup = popup_.MainFormPopup;
    if (source->isSeparator())
        return popup->addSeparator();
    if (QMenu* submenu = source->menu())
        return popup->addMenu(submenu);
    auto* copy = new QAction(source->text(), popup);
    copy->setEnabled(source->isEnabled());
    copy->setToolTip(source->toolTip());
    copy->setStatusTip(source->statusTip());
    // The copy is enabled as its item is, and runs the item's handler.
    connect(copy, &QAction::triggered, source,
            [source] { emit source->triggered(source->isChecked()); });
    popup->addAction(copy);
    return copy;
}

void TreeController::CopyMenuItems(QMenu* menu, bool visibleOnly, QAction* storeItem,
                                   QAction* unstoreItem) {
    if (!menu)
        return;
    const ItemSet& item = *tree_.Selected()->Data();
    const bool single = !(item.PType & PT_HEADING);
    for (QAction* source : menu->actions()) {
        if (!source->isEnabled() || (visibleOnly && !source->isVisible()) ||
            source->property("Tag").toInt() == -1)
            continue;
        QAction* copy = CopyItem(source);
        if (single && source == storeItem)
            copy->setText(Caption(Msg::STORE_MENU_TAG) + QLatin1Char(' ') + item.Description);
        else if (single && source == unstoreItem)
            copy->setText(Caption(Msg::UNSTORE_MENU_TAG) + QLatin1Char(' ') + item.Description);
    }
}

void TreeController::MainFormPopupPopup(QWidget* control) {
    QMenu* popup = popup_.MainFormPopup;
    if (!popup)
        return;
    popup->clear();
    TheMainServices().UpdateControls();

    if (control != view_) {
        if (control)
            control->setFocus();
    } else if (const ItemNode* node = tree_.Selected()) {
        const std::uint32_t kind = node->Data()->PType;
        if (kind & PT_ROUTE)
            CopyMenuItems(popup_.RoutesMnu, false, popup_.StoreRouteMnu, popup_.UnStoreRouteMnu);
        else if (kind & PT_ACTIVITY)
            CopyMenuItems(popup_.ActivitiesMnu, false, popup_.StoreActivityMnu,
                          popup_.UnStoreActivityMnu);
        else if (kind & (PT_EXPLORE_CONSIST | PT_MAINT_CONSIST))
            CopyMenuItems(popup_.ExploreModeConsistsMnu, true, nullptr, nullptr);
        else if (kind & PT_MAINT_STOCK)
            CopyMenuItems(popup_.StockMnu, false, nullptr, nullptr);
        else if (kind & (PT_EXPLORE_PATH | PT_MAINT_PATH))
            CopyMenuItems(popup_.PathsMnu, false, nullptr, nullptr);
    }

    if (!control)
        return;
    const bool richEdit = IsRichEdit(control);
    const bool treeView = qobject_cast<QTreeView*>(control);
    const auto add = [this](QAction* source) {
        if (source)
            CopyItem(source);
    };
    if (control->objectName() == QLatin1String("RoutesLstbx"))
        add(popup_.SetTSECTIONMnu);
    if (richEdit || treeView) {
        add(popup_.FindMnu);
        if (SearchContinuesIn && SearchContinuesIn(control))
            add(popup_.FindNextMnu);
    }
    if (richEdit || treeView || qobject_cast<QListView*>(control) ||
        qobject_cast<QComboBox*>(control)) {
        add(popup_.CopyMnu);
        add(popup_.SaveTxtMnu);
    }
    if (richEdit)
        add(popup_.Print1);
}

void TreeController::AttachPopup(QWidget* control) {
    control->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(control, &QWidget::customContextMenuRequested, this, [this, control](QPoint pos) {
        QMenu* popup = popup_.MainFormPopup;
        if (!popup)
            return;
        MainFormPopupPopup(control);
        // A scroll area tells the place in its viewport.
        if (const auto* area = qobject_cast<QAbstractScrollArea*>(control))
            pos = area->viewport()->mapTo(control, pos);
        if (!popup->isEmpty())
            popup->popup(control->mapToGlobal(pos));
    });
}

// ---- Named-list commands -----------------------------------------------------------------------

int TreeController::OpenListEditorForNode(ItemNode* node, int mode) {
    const int listClass = ClassifyListNode(node);
    if ((listClass & mode) == 0)
        return listClass;
    const std::uint32_t kind = node->Data()->PType & PT_MASK_LIST_KINDS;
    const std::function<int(ItemNode*, int)>* editor = nullptr;
    if (kind & PT_MAINT_STOCK)
        editor = &ShowStockListEditor;
    else if (kind & (PT_EXPLORE_CONSIST | PT_MAINT_CONSIST))
        editor = &ShowConsistListEditor;
    else if (kind & (PT_EXPLORE_PATH | PT_MAINT_PATH))
        editor = &ShowPathListEditor;
    if (!editor)
        return listClass;
    return *editor ? (*editor)(node, mode) : 0;
}

void TreeController::AddExploreModeConsistsBtnClick() {
    ItemNode* node = tree_.Selected();
    const int listClass = ClassifyListNode(node);
    if (listClass & 1)
        OpenListEditorForNode(node, 1);
    else if (listClass & 2)
        OpenListEditorForNode(node, 2);
}

void TreeController::AddPathListMnuClick() {
    OpenListEditorForNode(tree_.Selected(), 2);
}

void TreeController::SwitchSelectedList(int state, bool exclusive) {
    ActivateRouteList(tree_.Selected(), state, exclusive);
    tree_.NotifyRecordsChanged();
    TheMainServices().UpdateControls();
}

void TreeController::ActivatePathListMnuClick() {
    SwitchSelectedList(SI_LIST_ACTIVE, false);
}

void TreeController::DeActivatePathListMnuClick() {
    SwitchSelectedList(SI_LIST_INACTIVE, false);
}

void TreeController::ActivateThisPathListOnlyMnuClick() {
    SwitchSelectedList(SI_LIST_ACTIVE, true);
}

void TreeController::ViewAllConsistsMnuClick() {
    if (ShowConsistListEditor)
        ShowConsistListEditor(tree_.Selected(), 0);
}

void TreeController::ViewAllStockItemsMnuClick() {
    if (ShowStockListEditor)
        ShowStockListEditor(tree_.Selected(), 0);
}

void TreeController::ViewAllPathsMnuClick() {
    if (ShowPathListEditor)
        ShowPathListEditor(tree_.Selected(), 0);
}

} // namespace qv
