// The helpers the list editors call from their form handlers: the Add/Remove button's state,
// the column layout, loading the Current list of a list node, the column labels, busy marking
// around long work, moving tree nodes under another node, and the refresh of the main window
// after an editor closed.
#pragma once

#include "core/itemset.h"

#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>

namespace qv {

class ItemNode;
class ListBoxView;
struct ListEditorModel;

// What the Add/Remove button shows and does: Tag 0 nothing (disabled), 1 add, 2 remove.
struct AddRemoveButtonState {
    QString Caption;
    QString Hint;
    int Left = 0;
    int Tag = 0;
    bool Enabled = false;
};
// The button centred under the list box it acts for, in its add or remove form.
AddRemoveButtonState UpdateAddRemoveBtn(int buttonWidth, const QRect& listBox, int selectedCount,
                                        bool remove);

// The places of an editor's three columns (two in View All, where the Current column is hidden
// and the Available column grows by 32 pixels).
struct ListEditorColumns {
    QRect LeftFrame;
    QRect CurrentListBox;
    QRect MiddleFrame;
    QRect AvailableListBox;
    QRect RightFrame;
    QRect Details;
    bool CurrentVisible = true;
    int SelectedLabelShift = 0; // how far SelectedLabel moves down
};
// `leftFrame`, `middleFrame`, `currentBox` and `availableBox` are the places the form gives them;
// their tops and heights are kept, the columns are laid out across `formWidth`.
ListEditorColumns LayoutListEditorColumns(int editMode, int formWidth, const QRect& leftFrame,
                                          const QRect& middleFrame, const QRect& currentBox,
                                          const QRect& availableBox);

// "<caption> (<total>)", or "<caption> (<shown> out of <total>)" when not every record is shown.
QString AvailableLabelText(const QString& caption, int shown, int total);
// "Current List (<count>)".
QString CurrentLabelText(int count);

// Shows one row per record of the Current list in `current`, in place of what it showed.
void ShowCurrentRows(const ListEditorModel& model, ListBoxView& current);

// Fills the Current list of the list node: empty in View All; in new-list mode a route's new
// Maintenance consist or stock list starts with what the route's activities use (and OK is
// enabled); otherwise the list file is read and brought up to date, and entries whose file is gone
// are offered for removal (OK enabled when any went). `current` gets one row per entry.
void LoadCurrentList(ItemNode* node, ListEditorModel& model, const std::function<void()>& enableOK,
                     ListBoxView& current);

// Whether the viewer commands are offered for the record: only while both viewer hooks are set
// and a viewer can show it (none: not offered).
bool ViewerOffered(const ItemSet* record);

// Busy with the control disabled for the guard's life; then the busy flag it found is put back,
// and the control enabled unless the program is still busy.
class BusyWithControl {
public:
    explicit BusyWithControl(std::function<void(bool enabled)> enableControl);
    ~BusyWithControl();
    BusyWithControl(const BusyWithControl&) = delete;
    BusyWithControl& operator=(const BusyWithControl&) = delete;

private:
    std::function<void(bool enabled)> enableControl_;
    bool previous_;
};

// Moves `first` and each sibling that follows it (passing over `newParent` itself) to the end of
// `newParent`'s children: the same nodes with their records, each record's PLevel set to its new
// depth and its state icon set by the list kind.
void MoveChildNodes(ItemNode* first, ItemNode* newParent, std::uint32_t kind);

// After an editor closed with `result` (1 OK): when it was OK or the Easy lists went stale, the
// main window no longer claims that tree and folders agree and refreshes its controls.
void RefreshAfterListEdit(int result);

} // namespace qv
