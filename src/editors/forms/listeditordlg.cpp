#include "editors/forms/listeditordlg.h"

#include "catalogue/namedlists.h"
#include "core/appstate.h"
#include "core/controlhelpers.h"
#include "core/forms/controls.h"
#include "core/generaldefs.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/status.h"
#include "editors/listcommit.h"
#include "editors/listeditoractions.h"
#include "editors/listeditorsupport.h"
#include "mainwindow/iteminfo.h"
#include "platform/ui.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextEdit>
#include <tuple>

namespace qv {

namespace {

constexpr int kFormWidth = 792;
constexpr int kFormHeight = 552;
constexpr int kFrameTop = 22;
constexpr int kFrameHeight = 290;
constexpr int kBoxTop = 30;
constexpr int kBoxHeight = 250;
constexpr int kSelectedLabelTop = 288;
constexpr int kAddRemoveTop = 318;
constexpr int kButtonTop = 518;

QAction* NewPopupItem(QMenu* menu, const char* name) {
    auto* item = menu->addAction(QString());
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

// Caption and hint of a popup item: the hint's long part follows the "|".
void SetCaptionAndHint(QAction* item, const QString& caption, const QString& hint) {
    item->setText(caption);
    item->setToolTip(hint.section(QLatin1Char('|'), 1));
    item->setStatusTip(hint.section(QLatin1Char('|'), 1));
}

// A popup item takes its caption from the main window's menu item of that name when there is
// one.
void CopyMainMenuItem(QAction* item, const char* mainItem, const QString& fallback) {
    QAction* source = nullptr;
    if (QWidget* main = MainWindowWidget())
        source = main->findChild<QAction*>(QString::fromLatin1(mainItem));
    item->setText(source ? source->text() : fallback);
    if (source)
        item->setToolTip(source->toolTip());
}

bool IsListBox(const QWidget* control) {
    return ControlClassName(control) == QStringLiteral("TListBox") ||
           qobject_cast<const QListWidget*>(control);
}

// The row whose details a list box shows: the current one while selected, else the first
// selected; -1 when none is selected.
int DetailRow(const QListWidget* box, const WidgetListBox& view) {
    if (view.SelectedCount() == 0)
        return -1;
    const int row = box->currentRow();
    return row >= 0 && view.Selected(row) ? row : view.SelectedRows().front();
}

} // namespace

ListEditorFormHooks& TheListEditorFormHooks() {
    static ListEditorFormHooks hooks;
    return hooks;
}

TListEditorDlg::TListEditorDlg(QWidget* owner, int mode)
    : QDialog(owner), currentView_(nullptr), availableView_(nullptr) {
    model_.EditMode = mode;
    model_.RowMap.assign(2, 0);
    // Modal to the main window only: a viewer window opened from the editor has no owner and
    // must take the keys and the mouse while the editor stays open.
    setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    setFixedSize(kFormWidth, kFormHeight);
    BuildComponents();
    currentView_ = WidgetListBox(CurrentListBox);
    availableView_ = WidgetListBox(AvailableListBox);
    detailsPane_.OnChanged = [this] {
        Details->setPlainText(detailsPane_.Lines().join(QLatin1Char('\n')));
    };
}

TListEditorDlg::~TListEditorDlg() {
    // Nothing is left pointing into the records once the dialog is gone.
    detailsPane_.OnChanged = nullptr;
    painter_->StoreIndOf = nullptr;
}

void TListEditorDlg::BuildComponents() {
    MainPanel = new QWidget(this);
    MainPanel->setObjectName(QStringLiteral("MainPanel"));
    MainPanel->setGeometry(0, 0, kFormWidth, kFormHeight);

    auto frame = [this](const char* name) {
        auto* f = new QFrame(MainPanel);
        f->setObjectName(QString::fromLatin1(name));
        f->setFrameShape(QFrame::StyledPanel);
        f->setGeometry(5, kFrameTop, 100, kFrameHeight);
        return f;
    };
    LeftFrame = frame("LeftFrame");
    MiddleFrame = frame("MiddleFrame");
    RightFrame = frame("RightFrame");

    CurrentListBox = new EditorListBox(QStringLiteral("CurrentListBox"),
                                       QStringLiteral("AvailableListBox"), MainPanel);
    AvailableListBox = new EditorListBox(QStringLiteral("AvailableListBox"),
                                         QStringLiteral("CurrentListBox"), MainPanel);
    CurrentListBox->setGeometry(13, kBoxTop, 100, kBoxHeight);
    AvailableListBox->setGeometry(13, kBoxTop, 100, kBoxHeight);
    painter_ = new DrawItemColours(AvailableListBox);
    painter_->StoreIndOf = [this](int row) {
        const ItemSet* record = model_.AvailableRecord(row);
        return record ? record->StoreInd : 0;
    };
    AvailableListBox->setItemDelegate(painter_);

    Details = new QTextEdit(MainPanel);
    Details->setObjectName(QStringLiteral("Details"));
    Details->setReadOnly(true);
    Details->setStyleSheet(QStringLiteral("QTextEdit { background-color: #FFFFE1; }"));
    Details->setContextMenuPolicy(Qt::CustomContextMenu);

    auto label = [this](const char* name, int top) {
        auto* l = new QLabel(MainPanel);
        l->setObjectName(QString::fromLatin1(name));
        l->move(5, top);
        return l;
    };
    CurrentListLabel = label("CurrentListLabel", 4);
    AvailableListLabel = label("AvailableListLabel", 4);
    DetailsLabel = label("DetailsLabel", 4);
    SelectedLabel = label("SelectedLabel", kSelectedLabelTop);
    CurrentSelectedLabel = label("CurrentSelectedLabel", kSelectedLabelTop);

    auto button = [this](const char* name, const QString& caption, int left, int width, int top) {
        auto* b = new QPushButton(caption, MainPanel);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(left, top, width, 25);
        b->setAutoDefault(false);
        return b;
    };
    AddRemoveBtn = button("AddRemoveBtn", Caption(Msg::ADDREMOVE_ADD_LEG), 5, 130, kAddRemoveTop);
    ViewBtn = button("ViewBtn", QString(), 5, 130, kButtonTop);
    RefreshBtn = button("RefreshBtn", QString(), 300, 110, kButtonTop);
    ListNameBtn = button("ListNameBtn", QString(), 420, 130, kButtonTop);
    OKBtn = button("OKBtn", QString(), 610, 85, kButtonTop);
    CancelBtn = button("CancelBtn", QString(), 702, 85, kButtonTop);
    OKBtn->setEnabled(false);
    ShowButtonTexts();

    ListEditorPopupMenu = new QMenu(this);
    ListEditorPopupMenu->setObjectName(QStringLiteral("ListEditorPopupMenu"));
    ImmediateUnstorePopupMnu = NewPopupItem(ListEditorPopupMenu, "ImmediateUnstorePopupMnu");
    ImmediateEditPopupMnu = NewPopupItem(ListEditorPopupMenu, "ImmediateEditPopupMnu");
    LoadInCBPopupMnu = NewPopupItem(ListEditorPopupMenu, "LoadInCBPopupMnu");
    SVIEWPopupMnu = NewPopupItem(ListEditorPopupMenu, "SVIEWPopupMnu");
    EditLotNumberPopupMnu = NewPopupItem(ListEditorPopupMenu, "EditLotNumberPopupMnu");
    WhereUsedPopupMnu = NewPopupItem(ListEditorPopupMenu, "WhereUsedPopupMnu");
    ListEditorPopupMenu->addSeparator();
    CopyPopupMnu = NewPopupItem(ListEditorPopupMenu, "CopyPopupMnu");
    SaveTxtPopupMnu = NewPopupItem(ListEditorPopupMenu, "SaveTxtPopupMnu");
    PrintTxtPopupMnu = NewPopupItem(ListEditorPopupMenu, "PrintTxtPopupMnu");
    FindPopupMnu = NewPopupItem(ListEditorPopupMenu, "FindPopupMnu");
    FindNextPopupMnu = NewPopupItem(ListEditorPopupMenu, "FindNextPopupMnu");

    connect(AvailableListBox, &QListWidget::itemSelectionChanged, this,
            &TListEditorDlg::AvailableListBoxClick);
    connect(CurrentListBox, &QListWidget::itemSelectionChanged, this,
            &TListEditorDlg::CurrentListBoxClick);
    AvailableListBox->OnDragStart = [this] { AvailableListBoxClick(); };
    CurrentListBox->OnDragStart = [this] { CurrentListBoxClick(); };
    AvailableListBox->OnDrop = [this] { AddRemoveBtnClick(); };
    CurrentListBox->OnDrop = [this] { AddRemoveBtnClick(); };
    connect(AddRemoveBtn, &QPushButton::clicked, this, &TListEditorDlg::AddRemoveBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &TListEditorDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TListEditorDlg::reject);
    connect(RefreshBtn, &QPushButton::clicked, this, &TListEditorDlg::RefreshBtnClick);
    connect(ListNameBtn, &QPushButton::clicked, this, &TListEditorDlg::ListNameBtnClick);
    connect(ViewBtn, &QPushButton::clicked, this, [this] { PopupAction(ViewerAction()); });

    connect(ImmediateUnstorePopupMnu, &QAction::triggered, this,
            [this] { PopupAction(LEA_UNSTORE); });
    connect(ImmediateEditPopupMnu, &QAction::triggered, this, [this] { PopupAction(LEA_EDIT); });
    connect(LoadInCBPopupMnu, &QAction::triggered, this, [this] { PopupAction(LEA_CONBUILDER); });
    connect(SVIEWPopupMnu, &QAction::triggered, this, [this] { PopupAction(ViewerAction()); });
    connect(EditLotNumberPopupMnu, &QAction::triggered, this,
            &TListEditorDlg::EditLotNumberPopupMnuClick);
    connect(WhereUsedPopupMnu, &QAction::triggered, this, &TListEditorDlg::WhereUsedPopupMnuClick);
    connect(CopyPopupMnu, &QAction::triggered, this, [this] { CopyToClipboard(popupComponent_); });
    // These items hand the control the popup opened over to the main window's text tools.
    using ControlHook = std::function<void(QWidget*)> ListEditorFormHooks::*;
    for (const auto& [item, hook] :
         {std::pair<QAction*, ControlHook>{SaveTxtPopupMnu, &ListEditorFormHooks::SaveText},
          {PrintTxtPopupMnu, &ListEditorFormHooks::PrintText}})
        connect(item, &QAction::triggered, this, [this, hook] {
            if (const auto& run = TheListEditorFormHooks().*hook)
                run(popupComponent_);
        });
    connect(FindPopupMnu, &QAction::triggered, this,
            [this] { FindPopupMnuClick(popupComponent_); });
    connect(FindNextPopupMnu, &QAction::triggered, this,
            [this] { FindNextPopupMnuClick(popupComponent_); });

    for (QWidget* control : {static_cast<QWidget*>(AvailableListBox),
                             static_cast<QWidget*>(CurrentListBox), static_cast<QWidget*>(Details)})
        connect(control, &QWidget::customContextMenuRequested, this,
                [this, control](const QPoint& pos) { OpenPopup(control, pos); });
    for (QListWidget* box :
         {static_cast<QListWidget*>(AvailableListBox), static_cast<QListWidget*>(CurrentListBox)}) {
        box->installEventFilter(this);
        box->viewport()->installEventFilter(this);
    }
    Details->installEventFilter(this);
}

// ---- ListEditorServices ------------------------------------------------------------------------

QString TListEditorDlg::ListNameBtnCaption() const {
    return ListNameBtn->text();
}

void TListEditorDlg::EnableOKBtn() {
    // View All commits nothing.
    if (model_.EditMode != EM_VIEW_ALL)
        OKBtn->setEnabled(true);
}

void TListEditorDlg::SetEditorCaption(const QString& caption) {
    setWindowTitle(caption);
}

// ---- Showing -----------------------------------------------------------------------------------

void TListEditorDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    FormShow();
}

void TListEditorDlg::LayOut() {
    const ListEditorColumns columns = LayoutListEditorColumns(
        model_.EditMode, width(), LeftFrame->geometry(), MiddleFrame->geometry(),
        CurrentListBox->geometry(), AvailableListBox->geometry());
    LeftFrame->setGeometry(columns.LeftFrame);
    CurrentListBox->setGeometry(columns.CurrentListBox);
    MiddleFrame->setGeometry(columns.MiddleFrame);
    AvailableListBox->setGeometry(columns.AvailableListBox);
    RightFrame->setGeometry(columns.RightFrame);
    Details->setGeometry(columns.Details);
    SelectedLabel->move(SelectedLabel->x(), SelectedLabel->y() + columns.SelectedLabelShift);
    CurrentSelectedLabel->move(columns.CurrentListBox.left(), CurrentSelectedLabel->y());
    if (!columns.CurrentVisible) {
        for (QWidget* control :
             {static_cast<QWidget*>(LeftFrame), static_cast<QWidget*>(CurrentListBox),
              static_cast<QWidget*>(CurrentListLabel), static_cast<QWidget*>(CurrentSelectedLabel),
              static_cast<QWidget*>(OKBtn)})
            control->setVisible(false);
        // The one button left closes the window.
        CancelBtn->setText(OKBtn->text());
        CancelBtn->setToolTip(QString());
    }
    AddRemoveBtn->setVisible(columns.CurrentVisible);
    ListNameBtn->setVisible(columns.CurrentVisible);
}

void TListEditorDlg::CentreLabel(QLabel* label, const QFrame* frame) {
    label->adjustSize();
    label->move(frame->x() + (frame->width() - label->width()) / 2, label->y());
}

void TListEditorDlg::FormShow() {
    const QFont italic = [this] {
        QFont f = font();
        f.setItalic(true);
        return f;
    }();
    painter_->HighlightFont = TheListEditorFormHooks().HighlightFont
                                  ? TheListEditorFormHooks().HighlightFont(font())
                                  : italic;
    painter_->HighlightColour = TheListEditorFormHooks().HighlightColour
                                    ? TheListEditorFormHooks().HighlightColour()
                                    : QColor();
    LayOut();
    ClearReport(TheMainServices().InformationMemo());
    const bool viewer = !!TheListEditorHooks().ShowShape;
    ViewBtn->setVisible(viewer);
    ViewBtn->setEnabled(false);
    ShowCaptions();

    model_.InFormShow = true;
    model_.RouteFilterChanged = false;
    ShowFilters();

    ItemTree* tree = TheMainServices().QuarvelObjects();
    ItemNode* node = tree ? tree->Selected() : nullptr;
    if (model_.EditMode != EM_VIEW_ALL && !node)
        model_.EditMode = EM_VIEW_ALL;
    if (model_.EditMode == EM_VIEW_ALL) {
        model_.ListType = ViewAllKind();
        model_.ListInfo.ListType = ViewAllKind();
        listNode_ = ViewAllNode(node);
    } else {
        if (!(node->Data()->PType & PT_HEADING) && node->Parent())
            node = node->Parent();
        listNode_ = node;
        model_.ListType = node->Data()->PType & ListKindMask();
        FillRouteListsInfo(*node->Data(), model_.ListInfo, model_.ListType);
        RouteListFileOp(model_.ListInfo, RLF_OPEN | RLF_READ);
        if (model_.EditMode == EM_NEW_LIST)
            NextRouteListName(model_.ListInfo);
        LoadCurrentList(
            node, model_, [this] { EnableOKBtn(); }, currentView_);
    }
    setWindowTitle(BuildListEditorCaption(model_.EditMode, listNode_, model_.ListInfo));
    ReadFilterMemory();
    model_.RouteNodes.clear();
    if (tree && CollectsRouteNodes())
        CollectRouteNodes(model_.RouteNodes, *tree);
    RefreshAvailable(ShowsWithForce());
    model_.InFormShow = false;
    if (QWidget* main = MainWindowWidget())
        CentreControl(this, main);
}

void TListEditorDlg::ShowCaptions() {
    DetailsLabel->setText(DetailsCaption());
    CentreLabel(DetailsLabel, RightFrame);
    ListNameBtn->setText(Caption(Msg::LIST_NAME_EDIT_CAPTION));
    ListNameBtn->setToolTip(Caption(Msg::LIST_NAME_EDIT_HINT).section(QLatin1Char('|'), 0, 0));
    ViewBtn->setText(Caption(Msg::SHOW_SELECTED_ITEM_TAG));
    SVIEWPopupMnu->setText(Caption(Msg::SHOW_SELECTED_ITEM_TAG));
    SetCaptionAndHint(ImmediateUnstorePopupMnu,
                      Caption(Msg::LISTEDIT_POPUP_IMMEDIATE_UNSTORE_CAPTION),
                      Caption(Msg::LISTEDIT_POPUP_IMMEDIATE_UNSTORE_HINT));
    SetCaptionAndHint(ImmediateEditPopupMnu, Caption(Msg::LISTEDIT_POPUP_IMMEDIATE_EDIT_CAPTION),
                      Caption(Msg::LISTEDIT_POPUP_IMMEDIATE_EDIT_HINT));
    SetCaptionAndHint(LoadInCBPopupMnu, Caption(Msg::LISTEDIT_POPUP_LOAD_CB_CAPTION),
                      Caption(Msg::LISTEDIT_POPUP_LOAD_CB_HINT));
    SetCaptionAndHint(EditLotNumberPopupMnu, Caption(Msg::LISTEDIT_POPUP_EDIT_LOT_CAPTION),
                      Caption(Msg::LISTEDIT_POPUP_EDIT_LOT_HINT));
    CopyMainMenuItem(CopyPopupMnu, "CopyMnu", tr("&Copy"));
    CopyMainMenuItem(SaveTxtPopupMnu, "SaveTxtMnu", tr("&Save Text"));
    CopyMainMenuItem(PrintTxtPopupMnu, "Print1", tr("&Print"));
    CopyMainMenuItem(FindPopupMnu, "FindMnu", tr("&Find..."));
    CopyMainMenuItem(FindNextPopupMnu, "FindNextMnu", tr("Find &Next"));
    CopyMainMenuItem(WhereUsedPopupMnu, "WhereUsedMnu", tr("&Where Used"));
}

void TListEditorDlg::ShowButtonTexts() {
    RefreshBtn->setText(tr("Refresh List"));
    OKBtn->setText(tr("OK"));
    // In View All the one button left closes the window.
    CancelBtn->setText(OKBtn->isHidden() ? OKBtn->text() : tr("Cancel"));
}

void TListEditorDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        ShowTexts();
}

void TListEditorDlg::ShowTexts() {
    ShowButtonTexts();
    ShowFilterTexts();
    // Before the showing there is nothing more: the showing sets the rest.
    if (!shown_)
        return;
    ShowCaptions();
    setWindowTitle(BuildListEditorCaption(model_.EditMode, listNode_, model_.ListInfo));
    const int status = StoreIndCmbx->currentIndex();
    ShowFilters();
    ShowStatusIndex(StoreIndCmbx, status);
    if (!CurrentListLabel->text().isEmpty()) {
        CurrentListLabel->setText(CurrentLabelText(int(model_.CurrentItems.size())));
        CentreLabel(CurrentListLabel, LeftFrame);
    }
    if (!AvailableListLabel->text().isEmpty()) {
        AvailableListLabel->setText(
            AvailableLabelText(AvailableCaption(), int(model_.RowMap.size()), AvailableTotal()));
        CentreLabel(AvailableListLabel, MiddleFrame);
    }
    for (const auto& [label, view, frame] :
         {std::tuple{SelectedLabel, &availableView_, MiddleFrame},
          std::tuple{CurrentSelectedLabel, &currentView_, LeftFrame}}) {
        if (label->isHidden())
            continue;
        label->setText(SelectedText(view->SelectedCount()));
        CentreLabel(label, frame);
    }
    AddRemoveBtn->setText(
        Caption(addRemoveRemoves_ ? Msg::ADDREMOVE_REMOVE_LEG : Msg::ADDREMOVE_ADD_LEG));
    if (!AddRemoveBtn->toolTip().isEmpty())
        AddRemoveBtn->setToolTip(
            Caption(addRemoveRemoves_ ? Msg::ADDREMOVE_REMOVE_HINT : Msg::ADDREMOVE_ADD_HINT)
                .section(QLatin1Char('|'), 0, 0));
}

QString TListEditorDlg::SelectedText(int selected) const {
    return QString::number(selected) + QLatin1Char(' ') + SelectedCaption();
}

int TListEditorDlg::AvailableTotal() const {
    return model_.AvailableItems ? int(model_.AvailableItems->size()) : 0;
}

// ---- Columns and selection ---------------------------------------------------------------------

void TListEditorDlg::AvailableListBoxEnter() {
    AvailableListLabel->setText(
        AvailableLabelText(AvailableCaption(), int(model_.RowMap.size()), AvailableTotal()));
    CentreLabel(AvailableListLabel, MiddleFrame);
    CurrentSelectedLabel->setVisible(false);
    AddRemoveBtn->setEnabled(false);
    AvailableListBoxClick();
}

void TListEditorDlg::CurrentListBoxEnter() {
    CurrentListLabel->setText(CurrentLabelText(int(model_.CurrentItems.size())));
    CentreLabel(CurrentListLabel, LeftFrame);
    SelectedLabel->setVisible(false);
    AddRemoveBtn->setEnabled(false);
    CurrentListBoxClick();
}

void TListEditorDlg::SetListClick(QListWidget* box, bool remove) {
    WidgetListBox view(box);
    const AddRemoveButtonState state =
        UpdateAddRemoveBtn(AddRemoveBtn->width(), box->geometry(), view.SelectedCount(), remove);
    AddRemoveBtn->setText(state.Caption);
    AddRemoveBtn->setToolTip(state.Hint.section(QLatin1Char('|'), 0, 0));
    AddRemoveBtn->move(state.Left, AddRemoveBtn->y());
    AddRemoveBtn->setEnabled(state.Enabled);
    addRemoveTag_ = state.Tag;
    addRemoveRemoves_ = remove;
    popupComponent_ = box;
}

void TListEditorDlg::ShowDetails(const ItemSet* record) {
    // Entering a list (the focus coming back after the report was made) shows its item again.
    if (record && record == reportShownFor_)
        return;
    reportShownFor_ = nullptr;
    if (record)
        ShowItemInfo(*record, &detailsPane_);
    else
        detailsPane_.Clear();
}

void TListEditorDlg::ClearDetails() {
    reportShownFor_ = nullptr;
    detailsPane_.Clear();
}

const ItemSet* TListEditorDlg::DetailRecord(QListWidget* box) {
    const int row = DetailRow(box, WidgetListBox(box));
    if (row < 0)
        return nullptr;
    return box == AvailableListBox ? model_.AvailableRecord(row) : model_.CurrentRecord(row);
}

void TListEditorDlg::AvailableListBoxClick() {
    SetListClick(AvailableListBox, false);
    const int row = ShowSelection(AvailableListBox, availableView_, SelectedLabel, MiddleFrame);
    ViewBtn->setEnabled(availableView_.SelectedCount() == 1 &&
                        ViewerOffered(model_.AvailableRecord(row)));
    if (row >= 0)
        ShowDetails(model_.AvailableRecord(row));
}

void TListEditorDlg::CurrentListBoxClick() {
    SetListClick(CurrentListBox, true);
    const int row = ShowSelection(CurrentListBox, currentView_, CurrentSelectedLabel, LeftFrame);
    if (row >= 0)
        ShowDetails(model_.CurrentRecord(row));
}

int TListEditorDlg::ShowSelection(QListWidget* box, const WidgetListBox& view, QLabel* label,
                                  const QFrame* frame) {
    const int selected = view.SelectedCount();
    if (selected == 0) {
        ClearDetails();
        label->setVisible(false);
        return -1;
    }
    label->setText(SelectedText(selected));
    CentreLabel(label, frame);
    label->setVisible(true);
    return DetailRow(box, view);
}

// ---- Editing -----------------------------------------------------------------------------------

void TListEditorDlg::AddRemoveBtnClick() {
    if (App().Busy || model_.EditMode == EM_VIEW_ALL)
        return;
    if (addRemoveTag_ == 2) {
        // The selected rows in row order, taken once rather than asking each row.
        const std::vector<int> selected = currentView_.SelectedRows();
        std::size_t next = 0;
        RecordList<ItemSet> kept;
        for (int row = 0; row < int(model_.CurrentItems.size()); ++row) {
            if (next < selected.size() && selected[next] == row)
                ++next;
            else
                kept.push_back(std::move(model_.CurrentItems[std::size_t(row)]));
        }
        model_.CurrentItems = std::move(kept);
        ShowCurrentRows(model_, currentView_);
    } else if (addRemoveTag_ == 1) {
        AddToCurrentList(listNode_, currentView_, availableView_, model_);
    } else {
        return;
    }
    CurrentListBoxEnter();
    EnableOKBtn();
}

void TListEditorDlg::OKBtnClick() {
    if (App().Busy || model_.EditMode == EM_VIEW_ALL)
        return;
    ItemTree* tree = TheMainServices().QuarvelObjects();
    if (!tree || !listNode_)
        return;
    // A commit that could not be written keeps the editor open with the edits.
    if (CommitListEdit(model_.CurrentItems, *tree, listNode_, model_.EditMode, model_.ListInfo,
                       model_.ListType))
        done(1);
}

void TListEditorDlg::reject() {
    // A refresh under way still works on the lists.
    if (App().Busy)
        return;
    done(2);
}

void TListEditorDlg::closeEvent(QCloseEvent* event) {
    if (App().Busy) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TListEditorDlg::RefreshBtnClick() {
    if (App().Busy)
        return;
    ClearReport(TheMainServices().InformationMemo());
    RefreshAvailable(true);
}

void TListEditorDlg::ListNameBtnClick() {
    if (App().Busy)
        return;
    RenameRouteList(listNode_, *this, model_.ListInfo, model_.EditMode);
}

void TListEditorDlg::EnableMainPanel(bool enabled) {
    // Disabling the panel takes the focus from the filter whose Enter started the refresh; it
    // goes back there, so that the next key reaches the same filter.
    if (!enabled && !focusBeforeBusy_)
        focusBeforeBusy_ = focusWidget();
    MainPanel->setEnabled(enabled);
    if (enabled && focusBeforeBusy_) {
        focusBeforeBusy_->setFocus();
        focusBeforeBusy_ = nullptr;
    }
}

// ---- Popup -------------------------------------------------------------------------------------

ListBoxView* TListEditorDlg::PopupListBox() {
    if (popupComponent_ == AvailableListBox)
        return &availableView_;
    if (popupComponent_ == CurrentListBox)
        return &currentView_;
    return nullptr;
}

void TListEditorDlg::OpenPopup(QWidget* control, const QPoint& pos) {
    ListEditorPopupMenuPopup(control);
    bool any = false;
    for (QAction* item : ListEditorPopupMenu->actions())
        any = any || (item->isVisible() && !item->isSeparator());
    if (any)
        ListEditorPopupMenu->exec(control->mapToGlobal(pos));
}

void TListEditorDlg::ListEditorPopupMenuPopup(QWidget* component) {
    for (QAction* item : ListEditorPopupMenu->actions())
        if (!item->isSeparator())
            item->setVisible(false);
    if (!component)
        return;
    const ListEditorFormHooks& hooks = TheListEditorFormHooks();
    const bool richEdit = IsRichEdit(component);
    if (IsRichEditOrTree(component) && hooks.FindInControl) {
        FindPopupMnu->setVisible(true);
        FindNextPopupMnu->setVisible(!search_.Text.isEmpty() && search_.Control == component);
    }
    if (IsRichEditOrTree(component) || IsListBox(component) ||
        qobject_cast<QComboBox*>(component)) {
        CopyPopupMnu->setVisible(true);
        SaveTxtPopupMnu->setVisible(!!hooks.SaveText);
    }
    if (richEdit)
        PrintTxtPopupMnu->setVisible(!!hooks.PrintText);
    popupComponent_ = component;
    if (!IsListBox(component))
        return;
    WidgetListBox box(static_cast<QListWidget*>(component));
    const int selected = box.SelectedCount();
    if (selected == 1) {
        const int row = box.SelectedRows().front();
        SVIEWPopupMnu->setVisible(ViewerOffered(component == AvailableListBox
                                                    ? model_.AvailableRecord(row)
                                                    : model_.CurrentRecord(row)));
    }
    ImmediateUnstorePopupMnu->setEnabled(true);
    ImmediateEditPopupMnu->setEnabled(true);
    MainServices& main = TheMainServices();
    // Explore lists offer no Maintenance actions.
    if (model_.ListType != PT_EXPLORE_CONSIST && model_.ListType != PT_EXPLORE_PATH &&
        main.MainPageIndex() == 1 && main.SimulationMaintPageIndex() == 1) {
        if (selected > 0) {
            ImmediateUnstorePopupMnu->setVisible(true);
            EditLotNumberPopupMnu->setVisible(true);
            LoadInCBPopupMnu->setVisible(
                !RegReadString(kProductKey + QStringLiteral("\\ConBuilder"),
                               QStringLiteral("CB EXE Path"))
                     .isEmpty());
        }
        if (selected == 1)
            ImmediateEditPopupMnu->setVisible(
                !RegReadString(kProductKey + QStringLiteral("\\Editor"),
                               QStringLiteral("Editor EXE Path"))
                     .isEmpty());
    }
    WhereUsedPopupMnu->setVisible(selected > 0 && selected < 10000);
    AdjustPopupItems(selected);
}

void TListEditorDlg::PopupAction(int action) {
    ListEditorPopupAction(action, PopupListBox(), availableView_, model_);
}

void TListEditorDlg::EditLotNumberPopupMnuClick() {
    if (EditLotNumber(PopupListBox(), availableView_, currentView_, model_))
        RefreshAvailable(false);
}

void TListEditorDlg::FindPopupMnuClick(QWidget* control) {
    const auto& find = TheListEditorFormHooks().FindInControl;
    if (find && TheUi().FindTextDialog(search_) == ID_OK)
        find(search_, control);
}

void TListEditorDlg::FindNextPopupMnuClick(QWidget* control) {
    const auto& find = TheListEditorFormHooks().FindInControl;
    if (search_.Text.isEmpty() || search_.Control != control)
        FindPopupMnuClick(control);
    else if (find)
        find(search_, control);
}

void TListEditorDlg::WhereUsedPopupMnuClick() {
    auto* box = qobject_cast<QListWidget*>(popupComponent_);
    const ItemSet* record = box && PopupListBox() && !App().Busy ? DetailRecord(box) : nullptr;
    // The report is kept from the moment it is made: the focus given back to the list at its
    // end must not write the item's information over it.
    reportShownFor_ = record;
    WhereUsedForSelection(
        PopupListBox(), availableView_, model_, [this](bool enabled) { EnableMainPanel(enabled); },
        &detailsPane_);
}

// ---- Keys --------------------------------------------------------------------------------------

void TListEditorDlg::keyPressEvent(QKeyEvent* event) {
    if (!FormKeyDown(event))
        QDialog::keyPressEvent(event);
}

bool TListEditorDlg::eventFilter(QObject* watched, QEvent* event) {
    if (TextFilterEvent(watched, event))
        return true;
    auto* box = qobject_cast<QListWidget*>(watched);
    if (!box && watched->parent())
        box = qobject_cast<QListWidget*>(watched->parent());
    switch (event->type()) {
    case QEvent::KeyPress:
        return FormKeyDown(static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!box || box != watched || App().Busy)
            break;
        if (key->key() == Qt::Key_A && (key->modifiers() & Qt::ControlModifier)) {
            WidgetListBox(box).SelectAll();
            box == AvailableListBox ? AvailableListBoxEnter() : CurrentListBoxEnter();
            return true;
        }
        if (key->key() == Qt::Key_Delete && box == CurrentListBox) {
            AddRemoveBtnClick();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        if (box == watched)
            box == AvailableListBox ? AvailableListBoxEnter() : CurrentListBoxEnter();
        break;
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!box || watched != box->viewport() || mouse->button() != Qt::RightButton)
            break;
        // The row under the mouse alone is what the popup acts on.
        box->setFocus(Qt::MouseFocusReason);
        CheckOnlyItem(box->indexAt(mouse->position().toPoint()).row(), box);
        box == AvailableListBox ? AvailableListBoxClick() : CurrentListBoxClick();
        return true;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

bool TListEditorDlg::FormKeyDown(QKeyEvent* event) {
    // Escape too waits for a refresh under way.
    if (App().Busy)
        return true;
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool ctrlAlt = ctrl && (mods & Qt::AltModifier);
    QWidget* active = focusWidget();
    const ListEditorFormHooks& hooks = TheListEditorFormHooks();
    switch (event->key()) {
    case Qt::Key_F5:
        RefreshBtnClick();
        return true;
    case Qt::Key_M:
        if (ctrlAlt) {
            ShowMemoryUsage();
            return true;
        }
        break;
    case Qt::Key_T:
        if (ctrlAlt) {
            ToggleLogging(TheMainServices().InformationMemo());
            return true;
        }
        break;
    case Qt::Key_F3:
        if (IsRichEditOrTree(active) && hooks.FindInControl) {
            FindNextPopupMnuClick(active);
            return true;
        }
        break;
    case Qt::Key_F:
        if (ctrl && IsRichEditOrTree(active) && hooks.FindInControl) {
            FindPopupMnuClick(active);
            return true;
        }
        break;
    case Qt::Key_C:
        if (ctrl && (IsRichEditOrTree(active) || IsListBox(active))) {
            CopyToClipboard(active);
            return true;
        }
        break;
    case Qt::Key_S:
        if (ctrl && (IsRichEditOrTree(active) || IsListBox(active)) && hooks.SaveText) {
            hooks.SaveText(active);
            return true;
        }
        break;
    case Qt::Key_P:
        if (ctrl && IsRichEdit(active) && hooks.PrintText) {
            hooks.PrintText(active);
            return true;
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace qv
