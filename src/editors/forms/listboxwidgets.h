// The list boxes of the list editors: a list widget whose rows can be dragged only to its peer
// box, the adapter through which the editors' logic sees it, and the row painter that shows each
// row's store state (the highlight font for items in the MSTS folder, strike-out for items in
// error).
#pragma once

#include "editors/listboxview.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QListWidget>
#include <QStyledItemDelegate>
#include <functional>
#include <optional>

namespace qv {

class EditorListBox : public QListWidget {
    Q_OBJECT

public:
    // `name` is the component name; `peer` the name of the only box whose rows may be dropped
    // here. Its rows take one size (see DrawItemColours, which paints them plainly until the
    // editor gives it the rows' states).
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
    // From the selection's ranges: asking each row whether it is selected looks through every
    // range, which for a list of thousands with a thousand rows selected takes seconds.
    int SelectedCount() const override;
    std::vector<int> SelectedRows() const override;
    void SelectAll() override;
    QListWidget* Box() const { return box_; }

private:
    QListWidget* box_;
};

// Paints a row by its store state: In Use rows in the highlight font and colour, rows in error
// struck out, selected rows in the selection colours.
//
// Every row of the view takes one size, whatever its state: as tall as the taller of the plain
// and the highlight font needs, as wide as the widest row in the wider of them. A state that
// changes lays out nothing anew, and the view lays its rows out by that one size (its uniform
// item sizes) rather than asking each row; the widths are measured again only when rows come,
// go or change their text, each distinct text once.
class DrawItemColours : public QStyledItemDelegate {
public:
    explicit DrawItemColours(QAbstractItemView* view);
    // The store state of a row; rows it does not know are painted plainly.
    std::function<int(int row)> StoreIndOf;
    QFont HighlightFont;
    QColor HighlightColour;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // Whether the size the rows were last given still holds: the same fonts, the same rows.
    bool SizeHolds() const;

private:
    // The row's option with its state's font and colour.
    QStyleOptionViewItem RowOption(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const;
    // What the fonts give: the rows' height, and for each font what the style adds to a text's
    // width. Measured again when a font changes.
    void MeasureFonts(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    int TextWidth(const QString& text) const;
    // The font rows in use may take: the highlight font once the rows' states are known.
    QFont RowsHighlightFont(const QFont& plain) const;

    QAbstractItemView* view_;
    mutable QFont plainFont_;
    mutable QFont highlightFont_;
    mutable std::optional<QFontMetrics> plainMetrics_;
    mutable std::optional<QFontMetrics> highlightMetrics_;
    mutable bool fontsMeasured_ = false;
    mutable int rowHeight_ = 0;
    mutable int plainExtra_ = 0;
    mutable int highlightExtra_ = 0;
    // The widest row, unknown (-1) once rows changed; each text's width as measured.
    mutable int widest_ = -1;
    mutable QHash<QString, int> widths_;
};

} // namespace qv
