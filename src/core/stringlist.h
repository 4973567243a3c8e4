// A list of strings that can keep itself sorted without regard to case (through CompareText) and
// then hold each entry once, or keep its entries in the order they were added. It is the work list
// of the store engine, the file finder and the catalogue: the sorted lists find entries by binary
// search, so a survey of thousands of files stays fast.
#pragma once

#include <QString>
#include <QStringList>

namespace qv {

class StringList {
public:
    // What a sorted list does with an entry that it holds already (in any letter case). An
    // unsorted list always accepts it.
    enum class Duplicates { Ignore, Accept };

    StringList() = default;
    explicit StringList(bool sorted, Duplicates duplicates = Duplicates::Ignore);

    // A sorted list that holds each entry once: the usual work list.
    static StringList SortedUnique() { return StringList(true, Duplicates::Ignore); }

    bool Sorted() const { return sorted_; }
    // Making a list sorted sorts the entries it holds (duplicates already there stay).
    void SetSorted(bool sorted);
    Duplicates DuplicatesMode() const { return duplicates_; }
    void SetDuplicates(Duplicates duplicates) {
        Settle();
        duplicates_ = duplicates;
    }

    // While a sorted list gathers, Add and AddStrings put the entries aside instead of each into
    // its place, and the list takes them in all at once, as AddStrings takes entries in, when it
    // is next looked at or stops gathering: a survey adds tens of thousands of entries in no
    // order, each of which would otherwise move half the list. Gathering changes no outcome, only
    // when the work is done; a list holding entries put aside is not to be looked at on two
    // threads at once.
    void SetGathering(bool gathering);

    // Adds an entry: at its sorted place in a sorted list, else at the end. Returns its index;
    // in a sorted list that ignores duplicates, the index of the entry it holds already; -1 in a
    // sorted list that gathers.
    int Add(const QString& text);
    // Adds every entry of another list, one by one as Add does.
    void AddStrings(const StringList& other);
    // Adds the entries as Add would one after another, leaving the list exactly as that would
    // (the same order, the same entries kept of equal ones), but sorts them once and merges them
    // in: a reader that collects thousands of entries from one file in any order adds them so.
    void AddStrings(QStringList texts);
    // Puts an entry at the index (0..Count) of an unsorted list. A sorted list keeps its order,
    // so there the entry is added at its sorted place as Add does.
    void Insert(int index, const QString& text);

    // The index of the first entry equal to the text without regard to case, or -1.
    int IndexOf(const QString& text) const;
    // Looks for the text: by binary search in a sorted list, else from the start. True when found;
    // `index` is then the first equal entry, otherwise where the text would be inserted (the end
    // of an unsorted list).
    bool Find(const QString& text, int& index) const;

    int Count() const {
        Settle();
        return int(items_.size());
    }
    bool IsEmpty() const { return items_.isEmpty() && pending_.isEmpty(); }
    const QString& operator[](int index) const {
        Settle();
        return items_.at(index);
    }
    void Delete(int index) {
        Settle();
        items_.removeAt(index);
    }
    void Clear() {
        items_.clear();
        pending_.clear();
    }
    // Sorts the entries without regard to case; equal entries keep their order.
    void Sort();

    QStringList Strings() const {
        Settle();
        return items_;
    }

    // For entries of the form name=value: the text before the first "=" (empty without one) and
    // the text after it (empty without one).
    QString Names(int index) const;
    QString ValueFromIndex(int index) const;

    // Every entry followed by CR LF ("" for an empty list).
    QString Text() const;
    // Replaces the entries by the lines of the text (CR LF, LF or CR end a line; a break at the
    // very end makes no empty last entry). A sorted list sorts them and applies its duplicates
    // rule.
    void SetText(const QString& text);

private:
    // Takes in the entries put aside, if any.
    void Settle() const {
        if (!pending_.isEmpty())
            TakePending();
    }
    void TakePending() const;
    void Merge(QStringList texts);

    QStringList items_;
    // The entries put aside while gathering, in the order they were added. Only a list that was
    // added to holds any, so a list looked at through a const reference may take them in.
    QStringList pending_;
    bool sorted_ = false;
    bool gathering_ = false;
    Duplicates duplicates_ = Duplicates::Ignore;
};

} // namespace qv
