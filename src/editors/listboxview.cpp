#include "editors/listboxview.h"

namespace qv {

int ListBoxView::SelectedCount() const {
    int count = 0;
    for (int row = 0; row < Count(); ++row)
        count += Selected(row) ? 1 : 0;
    return count;
}

std::vector<int> ListBoxView::SelectedRows() const {
    std::vector<int> rows;
    for (int row = 0; row < Count(); ++row)
        if (Selected(row))
            rows.push_back(row);
    return rows;
}

void ListBoxView::SelectAll() {
    for (int row = 0; row < Count(); ++row)
        SetSelected(row, true);
}

bool MemoryListBox::Selected(int row) const {
    return row >= 0 && std::size_t(row) < selected_.size() && selected_[std::size_t(row)];
}

void MemoryListBox::SetSelected(int row, bool selected) {
    if (row >= 0 && std::size_t(row) < selected_.size())
        selected_[std::size_t(row)] = selected;
}

void MemoryListBox::Clear() {
    texts_.clear();
    selected_.clear();
}

void MemoryListBox::Add(const QString& text) {
    texts_ << text;
    selected_.push_back(false);
}

void MemoryListBox::Delete(int row) {
    if (row < 0 || row >= texts_.size())
        return;
    texts_.removeAt(row);
    selected_.erase(selected_.begin() + row);
}

} // namespace qv
