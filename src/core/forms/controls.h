// Helpers over the controls that can be searched, copied, printed or saved: which kind of
// control a widget stands for, the text of a list or tree, copying to the clipboard, selecting
// the line under the mouse, scrolling a rich edit, expanding a tree's roots and centring a
// dialog over another window.
#pragma once

#include <QString>

class QAbstractItemView;
class QTextEdit;
class QTreeView;
class QWidget;

namespace qv {

// The widget, given the object name that tests and the form's code find it by.
template <class T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The host form of a Windows-form path, for a file dialog to open at: the existing entry when
// there is one (found without regard to case), else the literal mapping through the drives; empty
// when neither works.
QString HostForm(const QString& windowsPath);

// The class a widget stands for, by its own Qt class (a derived class does not count):
// QTextEdit "TRichEdit", QTreeView and QTreeWidget "TTreeView", QListView and QListWidget
// "TListBox", QComboBox "TComboBox"; empty for every other widget and for none.
QString ControlClassName(const QWidget* control);

bool IsRichEdit(const QWidget* control);
bool IsRichEditOrTree(const QWidget* control);
bool IsListControl(const QWidget* control);

// A combo box's or list's items, a tree's nodes depth-first with one tab per level, each
// followed by a carriage return and a line feed; empty for any other control. A tree is left
// collapsed with its current node selected again and shown.
QString ListControlText(QWidget* control);

// A rich edit copies its selection, or all of its text when nothing is selected (the caret and
// an empty selection are put back); any other control puts its ListControlText on the clipboard
// unless that is empty.
void CopyToClipboard(QWidget* control);

// Unless the index is negative or its line is selected already, the line at the index becomes
// the only selected line.
void CheckOnlyItem(int index, QAbstractItemView* list);

// Puts the caret at the position (at the end of the text when it is negative) and scrolls it
// into view.
void ScrollRichEditToPosition(QTextEdit* edit, int position);

// Expands every top-level node, not their children.
void ExpandTopLevelNodes(QTreeView* tree);

// The component name of the program's main window.
inline constexpr const char* kMainWindowName = "TMainForm";

// The program's main window, found among the top-level windows by its name; null before it
// exists. Dialogs take it as their owner and centre over it.
QWidget* MainWindowWidget();

// Whether a window is on the screen where the user sees it: shown, handed to the window system
// (not only about to be, as during its first show) and not minimised.
bool OnScreen(const QWidget* window);

// Centres a window over another (see CentredTopLeft); over the screen when the other is not on
// the screen, where centring on it would put the window anywhere (at the top left for a window
// not placed yet).
void CentreControl(QWidget* control, const QWidget* over);

} // namespace qv
