#include "core/forms/controls.h"

#include "core/controlhelpers.h"
#include "platform/drivemap.h"
#include "platform/winresolve.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QScreen>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeView>
#include <QWindow>

namespace qv {

namespace {

const QString kRichEdit = QStringLiteral("TRichEdit");
const QString kTreeView = QStringLiteral("TTreeView");
const QString kListBox = QStringLiteral("TListBox");
const QString kComboBox = QStringLiteral("TComboBox");
const QString kLineEnd = QStringLiteral("\r\n");

void AppendTreeText(const QAbstractItemModel* model, const QModelIndex& parent, int level,
                    QString& text) {
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex index = model->index(row, 0, parent);
        text += QString(level, QLatin1Char('\t')) + index.data().toString() + kLineEnd;
        AppendTreeText(model, index, level + 1, text);
    }
}

QString TreeText(QTreeView* tree) {
    QString text;
    if (!tree->model())
        return text;
    tree->setUpdatesEnabled(false);
    tree->expandAll(); // a model that fills its nodes on demand fills them now
    const QModelIndex current = tree->currentIndex();
    AppendTreeText(tree->model(), QModelIndex(), 0, text);
    tree->collapseAll();
    tree->setUpdatesEnabled(true);
    if (current.isValid()) {
        tree->setCurrentIndex(current);
        tree->scrollTo(current); // opens the node's branch
    }
    return text;
}

} // namespace

QString ControlClassName(const QWidget* control) {
    if (!control)
        return QString();
    const QLatin1String name(control->metaObject()->className());
    if (name == QLatin1String("QTextEdit"))
        return kRichEdit;
    if (name == QLatin1String("QTreeView") || name == QLatin1String("QTreeWidget"))
        return kTreeView;
    if (name == QLatin1String("QListView") || name == QLatin1String("QListWidget"))
        return kListBox;
    if (name == QLatin1String("QComboBox"))
        return kComboBox;
    return QString();
}

bool IsRichEdit(const QWidget* control) {
    return ControlClassName(control) == kRichEdit;
}

bool IsRichEditOrTree(const QWidget* control) {
    const QString name = ControlClassName(control);
    return name == kRichEdit || name == kTreeView;
}

bool IsListControl(const QWidget* control) {
    return !ControlClassName(control).isEmpty();
}

QString ListControlText(QWidget* control) {
    const QString name = ControlClassName(control);
    QString text;
    if (name == kComboBox) {
        const auto* combo = static_cast<QComboBox*>(control);
        for (int i = 0; i < combo->count(); ++i)
            text += combo->itemText(i) + kLineEnd;
    } else if (name == kListBox) {
        const QAbstractItemModel* model = static_cast<QAbstractItemView*>(control)->model();
        for (int row = 0; model && row < model->rowCount(); ++row)
            text += model->index(row, 0).data().toString() + kLineEnd;
    } else if (name == kTreeView) {
        text = TreeText(static_cast<QTreeView*>(control));
    }
    return text;
}

void CopyToClipboard(QWidget* control) {
    if (IsRichEdit(control)) {
        auto* edit = static_cast<QTextEdit*>(control);
        if (edit->textCursor().hasSelection()) {
            edit->copy();
            return;
        }
        QTextCursor caret = edit->textCursor();
        edit->selectAll();
        edit->copy();
        caret.clearSelection();
        edit->setTextCursor(caret);
        return;
    }
    const QString text = ListControlText(control);
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void CheckOnlyItem(int index, QAbstractItemView* list) {
    if (!list || index < 0 || !list->model() || !list->selectionModel())
        return;
    const QModelIndex line = list->model()->index(index, 0);
    if (!line.isValid() || list->selectionModel()->isSelected(line))
        return;
    list->selectionModel()->select(line, QItemSelectionModel::ClearAndSelect);
}

void ScrollRichEditToPosition(QTextEdit* edit, int position) {
    QTextCursor caret = edit->textCursor();
    const int end = edit->document()->characterCount() - 1;
    caret.setPosition(position < 0 || position > end ? end : position);
    edit->setTextCursor(caret);
    edit->ensureCursorVisible();
}

void ExpandTopLevelNodes(QTreeView* tree) {
    const QAbstractItemModel* model = tree->model();
    for (int row = 0; model && row < model->rowCount(); ++row)
        tree->expand(model->index(row, 0));
}

QWidget* MainWindowWidget() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String(kMainWindowName))
            return window;
    return nullptr;
}

bool OnScreen(const QWidget* window) {
    window = window ? window->window() : nullptr;
    return window && window->isVisible() && window->windowHandle() &&
           window->windowHandle()->isVisible() && !window->isMinimized();
}

void CentreControl(QWidget* control, const QWidget* over) {
    if (!control)
        return;
    const QScreen* screen = control->screen();
    const int screenHeight = screen ? screen->geometry().height() : 0;
    QRect target;
    if (over && OnScreen(over))
        target = over->isWindow() ? over->frameGeometry()
                                  : QRect(over->mapToGlobal(QPoint()), over->size());
    else if (screen)
        target = screen->availableGeometry();
    else
        return;
    control->move(CentredTopLeft(QRect(control->pos(), control->size()), target, screenHeight));
}

QString HostForm(const QString& windowsPath) {
    return HostPathOf(windowsPath);
}

} // namespace qv
