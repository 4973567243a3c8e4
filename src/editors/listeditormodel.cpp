#include "editors/listeditormodel.h"

#include "core/appstate.h"
#include "core/comparetext.h"

namespace qv {

ItemSet* ListEditorModel::AvailableRecord(int row) const {
    if (!AvailableItems || row < 0 || std::size_t(row) >= RowMap.size())
        return nullptr;
    const int index = RowMap[std::size_t(row)];
    if (index < 0 || std::size_t(index) >= AvailableItems->size())
        return nullptr;
    return (*AvailableItems)[std::size_t(index)].get();
}

ItemSet* ListEditorModel::CurrentRecord(int row) const {
    if (row < 0 || std::size_t(row) >= CurrentItems.size())
        return nullptr;
    return CurrentItems[std::size_t(row)].get();
}

QString ListItemText(const ItemSet& item) {
    return App().ViewByFileName ? item.FileName : item.Description;
}

QString ListItemKey(const ItemSet& item) {
    if (item.PType & PT_MASK_PATH_RELATED)
        return item.Folder + QLatin1Char('\\') + item.FileName;
    return item.FileName;
}

bool SameListItem(const ItemSet& a, const ItemSet& b) {
    return CompareText(ListItemKey(a), ListItemKey(b)) == 0;
}

} // namespace qv
