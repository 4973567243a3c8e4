#include "editors/forms/listboxwidgets.h"

#include "core/itemset.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <algorithm>

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
    setUniformItemSizes(true);
    setItemDelegate(new DrawItemColours(this));
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

int WidgetListBox::SelectedCount() const {
    return int(SelectedRows().size());
}

std::vector<int> WidgetListBox::SelectedRows() const {
    // The indexes of the selection's ranges, of rows that can be selected, as isSelected counts
    // them; ranges do not overlap, but a row is taken once all the same.
    const QModelIndexList indexes = box_->selectionModel()->selectedIndexes();
    std::vector<int> rows;
    rows.reserve(std::size_t(indexes.size()));
    for (const QModelIndex& index : indexes)
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void WidgetListBox::SelectAll() {
    // One change of the selection, not one for every row.
    if (box_->count() > 0)
        box_->selectionModel()->select(
            QItemSelection(box_->model()->index(0, 0), box_->model()->index(box_->count() - 1, 0)),
            QItemSelectionModel::Select);
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

// A row's state may have changed its font (In Use rows take the highlight font). Rows painted
// by DrawItemColours keep one size whatever their states, and are laid out again only when that
// size no longer holds (a font changed); others are laid out again in any case.
void WidgetListBox::Repaint() {
    const auto* painter = dynamic_cast<const DrawItemColours*>(box_->itemDelegate());
    if (!painter || !painter->SizeHolds())
        box_->doItemsLayout();
    box_->viewport()->update();
}

DrawItemColours::DrawItemColours(QAbstractItemView* view) : QStyledItemDelegate(view), view_(view) {
    QAbstractItemModel* model = view->model();
    const auto rowsChanged = [this] { widest_ = -1; };
    connect(model, &QAbstractItemModel::rowsInserted, this, rowsChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, rowsChanged);
    connect(model, &QAbstractItemModel::modelReset, this, rowsChanged);
    connect(model, &QAbstractItemModel::dataChanged, this, rowsChanged);
    connect(model, &QAbstractItemModel::layoutChanged, this, rowsChanged);
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

void DrawItemColours::MeasureFonts(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    if (fontsMeasured_ && option.font == plainFont_ &&
        RowsHighlightFont(option.font) == highlightFont_)
        return;
    plainFont_ = option.font;
    highlightFont_ = RowsHighlightFont(plainFont_);
    plainMetrics_.emplace(plainFont_);
    highlightMetrics_.emplace(highlightFont_);
    fontsMeasured_ = true;
    widths_.clear();
    widest_ = -1;
    // A row of one line, as the style lays it out in each font.
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const QString sample = QStringLiteral("Xg");
    const auto measure = [&](const QFont& font, int* extra) {
        QStyleOptionViewItem shown(option);
        initStyleOption(&shown, index);
        shown.text = sample;
        shown.font = font;
        shown.fontMetrics = QFontMetrics(font);
        const QSize size =
            style->sizeFromContents(QStyle::CT_ItemViewItem, &shown, QSize(), widget);
        *extra = size.width() - shown.fontMetrics.horizontalAdvance(sample);
        return size.height();
    };
    rowHeight_ = measure(plainFont_, &plainExtra_);
    rowHeight_ = std::max(rowHeight_, measure(highlightFont_, &highlightExtra_));
}

bool DrawItemColours::SizeHolds() const {
    return fontsMeasured_ && widest_ >= 0 && view_->font() == plainFont_ &&
           RowsHighlightFont(plainFont_) == highlightFont_;
}

QFont DrawItemColours::RowsHighlightFont(const QFont& plain) const {
    return StoreIndOf ? HighlightFont : plain;
}

int DrawItemColours::TextWidth(const QString& text) const {
    auto known = widths_.constFind(text);
    if (known != widths_.constEnd())
        return *known;
    const int width = std::max(plainMetrics_->horizontalAdvance(text) + plainExtra_,
                               highlightMetrics_->horizontalAdvance(text) + highlightExtra_);
    widths_.insert(text, width);
    return width;
}

QSize DrawItemColours::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    MeasureFonts(option, index);
    if (widest_ < 0) {
        widest_ = 0;
        const QAbstractItemModel* model = view_->model();
        for (int row = 0, rows = model->rowCount(); row < rows; ++row)
            widest_ =
                std::max(widest_, TextWidth(model->index(row, 0).data(Qt::DisplayRole).toString()));
    }
    return QSize(widest_, rowHeight_);
}

} // namespace qv
