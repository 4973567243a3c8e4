#include "editors/forms/listboxwidgets.h"

#include "core/itemset.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>

namespace qv {

namespace {

const QString kRowsMimeType = QStringLiteral("application/x-quarvel-list-rows");

} // namespace

EditorListBox::EditorListBox(const QString& name, const QString& peer, QWidget* parent)
    : QListWidget(parent), peer_(peer) {
    setObjectName(name);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

void EditorListBox::startDrag(Qt::DropActions) {
    if (selectedItems().isEmpty())
        return;
    if (OnDragStart)
        OnDragStart();
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    data->setData(kRowsMimeType, objectName().toUtf8());
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

bool EditorListBox::AcceptsFrom(const QObject* source) const {
    return source && source != this && source->objectName() == peer_;
}

void EditorListBox::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptsFrom(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void EditorListBox::dragMoveEvent(QDragMoveEvent* event) {
    if (AcceptsFrom(event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void EditorListBox::dropEvent(QDropEvent* event) {
    if (!AcceptsFrom(event->source())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (OnDrop)
        OnDrop();
}

int WidgetListBox::Count() const {
    return box_->count();
}

QString WidgetListBox::Text(int row) const {
    const QListWidgetItem* item = box_->item(row);
    return item ? item->text() : QString();
}

bool WidgetListBox::Selected(int row) const {
    const QListWidgetItem* item = box_->item(row);
    return item && item->isSelected();
}

void WidgetListBox::SetSelected(int row, bool selected) {
    if (QListWidgetItem* item = box_->item(row))
        item->setSelected(selected);
}

void WidgetListBox::Clear() {
    box_->clear();
}

void WidgetListBox::Add(const QString& text) {
    box_->addItem(text);
}

void WidgetListBox::Delete(int row) {
    delete box_->takeItem(row);
}

// A row's state may have changed its font (In Use rows take the highlight font), and so its
// height: the rows are laid out again, not only painted.
void WidgetListBox::Repaint() {
    box_->doItemsLayout();
    box_->viewport()->update();
}

QStyleOptionViewItem DrawItemColours::RowOption(const QStyleOptionViewItem& option,
                                                const QModelIndex& index) const {
    QStyleOptionViewItem shown(option);
    const int state = StoreIndOf ? StoreIndOf(index.row()) : 0;
    if (state > 0 && state < SI_LIST_INACTIVE) {
        if ((state & 3) == SI_IN_USE) {
            shown.font = HighlightFont;
            if (HighlightColour.isValid())
                shown.palette.setColor(QPalette::Text, HighlightColour);
        }
        if (state & SI_IN_ERROR)
            shown.font.setStrikeOut(true);
    }
    shown.fontMetrics = QFontMetrics(shown.font);
    return shown;
}

void DrawItemColours::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, RowOption(option, index), index);
}

QSize DrawItemColours::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    return QStyledItemDelegate::sizeHint(RowOption(option, index), index);
}

} // namespace qv
