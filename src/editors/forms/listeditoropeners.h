// The ways the rest of the program opens a list editor: modal, on the main tree's selected node,
// in mode 0 (View All), 1 (edit the selected list) or 2 (new list), followed by the main
// window's refresh. Each returns the modal result: 1 OK, 2 Cancel.
#pragma once

class QWidget;

namespace qv {

class TEditConsistListsDlg;
class TEditPathListsDlg;
class TEditStockListsDlg;

int ShowConsistListEditor(int mode, QWidget* owner);
int ShowStockListEditor(int mode, QWidget* owner);
int ShowPathListEditor(int mode, QWidget* owner);

// The editor of that kind while it is shown, else null.
TEditConsistListsDlg* EditConsistListsDlg();
TEditStockListsDlg* EditStockListsDlg();
TEditPathListsDlg* EditPathListsDlg();

} // namespace qv
