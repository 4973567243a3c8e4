// The list boxes of the list editors: a list widget whose rows can be dragged only to its peer
// box, the adapter through which the editors' logic sees it, and the row painter that shows each
// row's store state (the highlight font for items in the MSTS folder, strike-out for items in
// error).
#pragma once

#include "editors/listboxview.h"

#include <QColor>
#include <QFont>
#include <QListWidget>
#include <QStyledItemDelegate>
#include <functional>

namespace qv {

class EditorListBox : public QListWidget {
    Q_OBJECT

public:
    // `name` is the component name; `peer` the name of the only box whose rows may be dropped
    // here.
    EditorListBox(const QString& name, const QString& peer, QWidget* parent);

    // Runs when a drag of this box's rows begins (the box then counts as the one last clicked).
    std::function<void()> OnDragStart;
    // Runs when rows of the peer box are dropped here.
    std::function<void()> OnDrop;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool AcceptsFrom(const QObject* source) const;
    QString peer_;
};

// The logic's view of an editor list box.
class WidgetListBox : public ListBoxView {
public:
    explicit WidgetListBox(QListWidget* box) : box_(box) {}
    int Count() const override;
    QString Text(int row) const override;
    bool Selected(int row) const override;
    void SetSelected(int row, bool selected) override;
    void Clear() override;
    void Add(const QString& text) override;
    void Delete(int row) override;
    void Repaint() override;
    QListWidget* Box() const { return box_; }

private:
    QListWidget* box_;
};

// Paints a row by its store state: In Use rows in the highlight font and colour, rows in error
// struck out, selected rows in the selection colours.
class DrawItemColours : public QStyledItemDelegate {
public:
    explicit DrawItemColours(QObject* parent) : QStyledItemDelegate(parent) {}
    // The store state of a row; rows it does not know are painted plainly.
    std::function<int(int row)> StoreIndOf;
    QFont HighlightFont;
    QColor HighlightColour;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // A row in the highlight font is as tall as that font needs.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // The row's option with its state's font and colour.
    QStyleOptionViewItem RowOption(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const;
};

} // namespace qv
