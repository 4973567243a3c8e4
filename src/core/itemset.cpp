#include "core/itemset.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "platform/ui.h"

namespace qv {

namespace {

// The place the unexpected kind has always been reported from; support texts refer to it.
constexpr const char* kListProcessModule = "ListProcess";
constexpr int kUnexpectedKindLine = 3184;

const QString& CompareKey(const ItemSet& item, bool byFileName) {
    return byFileName ? item.FileName : item.Description;
}

} // namespace

void ReportUnexpectedRecordKind(int kind) {
    TheUi().MessageBox(
        UnexpectedText(kListProcessModule, kUnexpectedKindLine, QString::number(kind)),
        App().ProgramTitle, MB_ICONSTOP);
}

void CopyItemSet(const ItemSet& source, ItemSet& target) {
    target = source;
}

bool MarkItemsInList(const RecordList<ItemSet>& reference, RecordList<ItemSet>& target) {
    const bool byFileName = App().ViewByFileName;
    std::size_t r = 0;
    std::size_t t = 0;
    while (r < reference.size() && t < target.size()) {
        if (!reference[r]) {
            ++r;
            continue;
        }
        if (!target[t]) {
            ++t;
            continue;
        }
        const int order =
            CompareText(CompareKey(*reference[r], byFileName), CompareKey(*target[t], byFileName));
        if (order == 0) {
            target[t]->PType |= PT_IN_OTHER_LIST;
            ++r;
            ++t;
        } else if (order > 0) {
            target[t]->PType &= ~PT_IN_OTHER_LIST;
            ++t;
        } else {
            ++r;
        }
    }
    for (; t < target.size(); ++t) {
        if (target[t])
            target[t]->PType &= ~PT_IN_OTHER_LIST;
    }
    return true;
}

} // namespace qv
