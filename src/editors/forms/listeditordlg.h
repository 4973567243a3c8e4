// The dialog base of the list editors: the Current list, the Available list and the Details
// pane side by side, the Add/Remove button, the item popup, drag and drop between the two boxes,
// the keys, and OK and Cancel. It owns the editor's model and the controls and handlers every
// filter panel shares; an editor adds its own filters, its refresh of the Available list and its
// texts.
#pragma once

#include "catalogue/listeditorservices.h"
#include "core/reportpane.h"
#include "core/searchtext.h"
#include "editors/forms/filterwidgets.h"
#include "editors/forms/listboxwidgets.h"
#include "editors/listeditormodel.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTextEdit;
class QWidget;

namespace qv {

class ItemNode;

// What the editors use of the main window's text commands. Each popup item and key is offered
// only while its hook is set.
struct ListEditorFormHooks {
    // Searches the control from the state of the search record (each editor keeps its own).
    std::function<void(SearchTextSet& record, QWidget* control)> FindInControl;
    std::function<void(QWidget* control)> SaveText;
    std::function<void(QWidget* control)> PrintText;
    // The list editors' highlight font and its colour.
    std::function<QFont(const QFont& defaultFont)> HighlightFont;
    std::function<QColor()> HighlightColour;
};
ListEditorFormHooks& TheListEditorFormHooks();

class TListEditorDlg : public QDialog, public ListEditorServices {
    Q_OBJECT

public:
    TListEditorDlg(QWidget* owner, int mode);
    ~TListEditorDlg() override;

    ListEditorModel& Model() { return model_; }
    const ListEditorModel& Model() const { return model_; }
    // The list node the editor works on (null in View All without a selection).
    ItemNode* ListNode() const { return listNode_; }

    // ListEditorServices.
    QString ListNameBtnCaption() const override;
    void EnableOKBtn() override;
    void SetEditorCaption(const QString& caption) override;
    QObject* EditConsistListsDlg() const override { return nullptr; }
    QObject* EditStockListsDlg() const override { return nullptr; }

    // Components.
    QWidget* MainPanel = nullptr;
    QFrame* LeftFrame = nullptr;
    QFrame* MiddleFrame = nullptr;
    QFrame* RightFrame = nullptr;
    EditorListBox* CurrentListBox = nullptr;
    EditorListBox* AvailableListBox = nullptr;
    QTextEdit* Details = nullptr;
    QLabel* CurrentListLabel = nullptr;
    QLabel* AvailableListLabel = nullptr;
    QLabel* SelectedLabel = nullptr;
    QLabel* CurrentSelectedLabel = nullptr;
    QLabel* DetailsLabel = nullptr;
    QPushButton* AddRemoveBtn = nullptr;
    QPushButton* ViewBtn = nullptr;
    QPushButton* RefreshBtn = nullptr;
    QPushButton* ListNameBtn = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QMenu* ListEditorPopupMenu = nullptr;
    QAction* ImmediateUnstorePopupMnu = nullptr;
    QAction* ImmediateEditPopupMnu = nullptr;
    QAction* LoadInCBPopupMnu = nullptr;
    QAction* SVIEWPopupMnu = nullptr;
    QAction* EditLotNumberPopupMnu = nullptr;
    QAction* WhereUsedPopupMnu = nullptr;
    QAction* CopyPopupMnu = nullptr;
    QAction* SaveTxtPopupMnu = nullptr;
    QAction* PrintTxtPopupMnu = nullptr;
    QAction* FindPopupMnu = nullptr;
    QAction* FindNextPopupMnu = nullptr;
    // The controls every editor's filter panel has.
    QComboBox* DriveableCmbx = nullptr;
    QComboBox* StoreIndCmbx = nullptr;
    QPushButton* ApplyFilterBtn = nullptr;
    QLabel* FilterIconImage = nullptr;

    // Handlers.
    void AvailableListBoxClick();
    void CurrentListBoxClick();
    void AvailableListBoxEnter();
    void CurrentListBoxEnter();
    void AddRemoveBtnClick();
    void OKBtnClick();
    void RefreshBtnClick();
    void ListNameBtnClick();
    // Rebuilds the popup for the control it opens on; the list box it opens on becomes the
    // popup's component.
    void ListEditorPopupMenuPopup(QWidget* component);
    void PopupAction(int action);
    void EditLotNumberPopupMnuClick();
    void WhereUsedPopupMnuClick();
    // Find asks for a search text and searches the control; Find Next goes on with the search
    // under way there, else acts as Find. The search record is the editor's own.
    void FindPopupMnuClick(QWidget* control);
    void FindNextPopupMnuClick(QWidget* control);
    // The filter panel's Apply Filter, its boxes and choices: the Available list again.
    void ApplyFilterBtnClick();
    // A key released in a text filter: Enter refreshes; Shift+Delete forgets the history under
    // `historyKey` and refreshes.
    void TextFilterKeyUp(QComboBox* combo, const QString& historyKey, int key,
                         Qt::KeyboardModifiers modifiers);
    // The same in the Used in Route filter, where Enter takes the text only when it is empty or
    // one of the items; then the route marks are renewed.
    void RouteFilterKeyUp(QComboBox* combo, const QString& historyKey, int key,
                          Qt::KeyboardModifiers modifiers);
    // A route chosen from the Used in Route drop-down: its marks are renewed on the next refresh.
    void RouteFilterSelect();

    // Cancel, Escape and the close box: nothing while a refresh is under way, else result 2.
    void reject() override;

    // The Available list again, from the program-wide list (rebuilt when forced).
    virtual void RefreshAvailable(bool force) = 0;

    // The popup's list box, or null when it opened elsewhere.
    ListBoxView* PopupListBox();
    WidgetListBox& AvailableView() { return availableView_; }
    ReportPane& DetailsPane() { return detailsPane_; }

protected:
    // The editor's own texts and kinds.
    virtual QString AvailableCaption() const = 0;
    virtual QString SelectedCaption() const = 0;
    virtual QString DetailsCaption() const = 0;
    virtual std::uint32_t ViewAllKind() const = 0;
    virtual int ViewerAction() const = 0;
    // The number the Available label counts shown rows against.
    virtual int AvailableTotal() const;
    // The filter panel's part of the showing: before the list node is known, and after it.
    virtual void ShowFilters() {}
    virtual void ReadFilterMemory() {}
    // The kind bits of a list node that make the list's kind.
    virtual std::uint32_t ListKindMask() const { return PT_MASK_GLOBAL_ALL_LISTS; }
    // The node View All works on, given the tree's selected node (which may be null).
    virtual ItemNode* ViewAllNode(ItemNode* selected) { return selected; }
    // Whether the Used in Route filter needs the tree's route nodes.
    virtual bool CollectsRouteNodes() const { return true; }
    // Whether the showing reloads the Available list from the files.
    virtual bool ShowsWithForce() const { return false; }
    // The editor's last word on its popup items for a list box with `selected` rows selected.
    virtual void AdjustPopupItems(int selected) { (void)selected; }

    // Builds the Driveable choice on the filter panel, and then, after the editor's own filters,
    // the Status choice, the Apply Filter button, the picture and the panel of new items (with
    // `newItemsName` naming its caption, or null for an empty panel). Each choice refreshes.
    void BuildDriveableFilter(QWidget* panel);
    // A kind box of the filter panel's top row; a click refreshes.
    QCheckBox* BuildKindBox(QWidget* panel, const char* name, int left, int width);
    void BuildFilterControls(QWidget* panel, const char* newItemsName);
    // The filter panel's captions in the language in use: the editor sets them once its panel is
    // built, and again at a switch of language.
    virtual void ShowFilterTexts();
    // Sends Enter and Shift+Delete released in a text filter to TextFilterKeyUp (to
    // RouteFilterKeyUp for the Used in Route filter), with the history that Shift+Delete forgets.
    void WatchTextFilter(QComboBox* combo, const QString& historyKey, bool route = false);
    // Shows the picture of the list's kind on the filter panel: `picture` for an Explore list,
    // the next one for a Maintenance Mode list (`maintenanceKind`), also in View All on the
    // Maintenance tab.
    void ShowFilterIcon(QLabel* icon, std::uint32_t maintenanceKind, int picture);

    // The showing of the dialog, in the order the editors have always followed.
    virtual void FormShow();
    void EnableMainPanel(bool enabled);

    void showEvent(QShowEvent* event) override;
    // A switch of language while the editor is open shows every text of it in the new language.
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The dialog's keys, seen before its controls see them; true when one was taken (every key
    // while the program is busy).
    bool FormKeyDown(QKeyEvent* event);

    ListEditorModel model_;
    NewLotsWidgets newLots_;
    ItemNode* listNode_ = nullptr;
    int addRemoveTag_ = 0;
    // The Add/Remove button removes from the Current list (else it adds to it).
    bool addRemoveRemoves_ = false;

private:
    void BuildComponents();
    void LayOut();
    // The texts of the editor: those of its own buttons (set when it is built), those the
    // showing sets (the table's captions and the main window's menu items), and all of them
    // again, with the counts and the caption, at a switch of language.
    void ShowButtonTexts();
    void ShowCaptions();
    void ShowTexts();
    // "<n> <the editor's selected caption>".
    QString SelectedText(int selected) const;
    // Shows the record's information in the details, unless the where-used report of that same
    // record stands there: it stays until another item is chosen.
    void ShowDetails(const ItemSet* record);
    void ClearDetails();
    // The record whose details a list box shows: its current row while selected, else its first
    // selected row; nullptr when none is selected.
    const ItemSet* DetailRecord(QListWidget* box);
    void SetListClick(QListWidget* box, bool remove);
    // Shows the count of the selected rows of `box` in `label`, centred over `frame`; returns
    // the row whose details to show, or -1 (details cleared) when none is selected.
    int ShowSelection(QListWidget* box, const WidgetListBox& view, QLabel* label,
                      const QFrame* frame);
    // Enter or Shift+Delete released in a watched text filter, handled.
    bool TextFilterEvent(QObject* watched, QEvent* event);
    void CentreLabel(QLabel* label, const QFrame* frame);
    void OpenPopup(QWidget* control, const QPoint& pos);

    struct TextFilter {
        QComboBox* Combo;
        QString HistoryKey;
        bool Route;
    };
    std::vector<TextFilter> textFilters_;
    WidgetListBox currentView_;
    WidgetListBox availableView_;
    ReportPane detailsPane_;
    SearchTextSet search_;
    DrawItemColours* painter_ = nullptr;
    QWidget* popupComponent_ = nullptr;
    QPointer<QWidget> focusBeforeBusy_;
    // The record whose where-used report the details hold (only compared, never read).
    const ItemSet* reportShownFor_ = nullptr;
    bool shown_ = false;
};

} // namespace qv
