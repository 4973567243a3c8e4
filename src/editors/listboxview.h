// The little the list editors' logic needs of a list box: its rows' texts, which rows are
// selected, filling it and repainting it. The dialogs wrap their list widgets in it; tests and
// headless callers use the in-memory list below.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace qv {

class ListBoxView {
public:
    virtual ~ListBoxView() = default;

    virtual int Count() const = 0;
    virtual QString Text(int row) const = 0;
    virtual bool Selected(int row) const = 0;
    virtual void SetSelected(int row, bool selected) = 0;
    virtual void Clear() = 0;
    virtual void Add(const QString& text) = 0;
    virtual void Delete(int row) = 0;
    // Paints the rows again (their store states may have changed).
    virtual void Repaint() {}

    // These ask each row by default; a list box that knows its selection as a whole answers
    // without looking at every row.
    virtual int SelectedCount() const;
    // The selected rows, in row order.
    virtual std::vector<int> SelectedRows() const;
    virtual void SelectAll();
};

// A list box kept in memory.
class MemoryListBox : public ListBoxView {
public:
    int Count() const override { return int(texts_.size()); }
    QString Text(int row) const override { return texts_.value(row); }
    bool Selected(int row) const override;
    void SetSelected(int row, bool selected) override;
    void Clear() override;
    void Add(const QString& text) override;
    void Delete(int row) override;
    QStringList Texts() const { return texts_; }

private:
    QStringList texts_;
    std::vector<bool> selected_;
};

} // namespace qv
