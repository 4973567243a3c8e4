#include "core/stringlist.h"

#include "core/comparetext.h"

#include <QSet>

#include <algorithm>
#include <iterator>
#include <utility>

namespace qv {

namespace {

// Batches up to this size are sorted as they come.
constexpr qsizetype kFewToSort = 64;

} // namespace

StringList::StringList(bool sorted, Duplicates duplicates)
    : sorted_(sorted), duplicates_(duplicates) {}

void StringList::SetSorted(bool sorted) {
    Settle();
    if (sorted && !sorted_)
        Sort();
    sorted_ = sorted;
}

void StringList::SetGathering(bool gathering) {
    Settle();
    gathering_ = gathering;
}

void StringList::TakePending() const {
    // Entries are put aside only by Add and AddStrings, which a const list does not allow.
    auto* self = const_cast<StringList*>(this);
    self->Merge(std::exchange(self->pending_, QStringList()));
}

int StringList::Add(const QString& text) {
    if (!sorted_) {
        items_.append(text);
        return Count() - 1;
    }
    if (gathering_) {
        pending_.append(text);
        return -1;
    }
    // Lists are mostly filled in their own order: such an entry goes at the end unsearched.
    if (!items_.isEmpty() && CompareText(items_.constLast(), text) < 0) {
        items_.append(text);
        return Count() - 1;
    }
    int index = 0;
    if (Find(text, index)) {
        if (duplicates_ == Duplicates::Ignore)
            return index;
        // Accepted duplicates go after the equal entries, so they keep their order of adding.
        while (index < Count() && CompareText(items_.at(index), text) == 0)
            ++index;
    }
    items_.insert(index, text);
    return index;
}

void StringList::AddStrings(const StringList& other) {
    other.Settle();
    AddStrings(other.items_);
}

void StringList::AddStrings(QStringList texts) {
    if (texts.isEmpty())
        return;
    if (!sorted_) {
        items_.append(std::move(texts));
        return;
    }
    if (gathering_) {
        pending_.append(std::move(texts));
        return;
    }
    Settle();
    Merge(std::move(texts));
}

void StringList::Merge(QStringList texts) {
    const auto below = [](const QString& a, const QString& b) { return CompareText(a, b) < 0; };
    const bool ignore = duplicates_ == Duplicates::Ignore;
    if (ignore && texts.size() > kFewToSort) {
        // A gathered batch names the same entries many times over (a wagon in every consist that
        // has it): a repeat of the very same text is let go of before the sort, which keeps the
        // first of equal ones anyway.
        QSet<QString> seen;
        seen.reserve(texts.size());
        QStringList first;
        first.reserve(texts.size());
        for (QString& text : texts) {
            if (seen.contains(text))
                continue;
            seen.insert(text);
            first.append(std::move(text));
        }
        texts = std::move(first);
    }
    SortTexts(texts);
    if (ignore) {
        // Of equal entries the first added stays, as Add keeps it.
        const auto equal = [](const QString& a, const QString& b) {
            return CompareText(a, b) == 0;
        };
        texts.erase(std::unique(texts.begin(), texts.end(), equal), texts.end());
    }
    // Entries read in their own order all go after those held, as in Add.
    if (items_.isEmpty() || below(items_.constLast(), texts.constFirst())) {
        items_.append(std::move(texts));
        return;
    }
    QStringList held = std::exchange(items_, QStringList());
    items_.reserve(held.size() + texts.size());
    qsizetype from = 0; // the held entries before it are in place
    for (QString& text : texts) {
        // After the held entries not above it, as Add puts an accepted duplicate after its equals.
        // An equal held entry stands just before that place: the texts rise, so the held entries
        // already in place are below this one.
        const qsizetype place =
            std::upper_bound(held.cbegin() + from, held.cend(), text, below) - held.cbegin();
        const bool heldAlready =
            ignore && place > from && CompareText(held.at(place - 1), text) == 0;
        std::move(held.begin() + from, held.begin() + place, std::back_inserter(items_));
        from = place;
        if (!heldAlready)
            items_.append(std::move(text));
    }
    std::move(held.begin() + from, held.end(), std::back_inserter(items_));
}

void StringList::Insert(int index, const QString& text) {
    if (sorted_) {
        Add(text);
        return;
    }
    items_.insert(std::clamp(index, 0, Count()), text);
}

int StringList::IndexOf(const QString& text) const {
    int index = 0;
    return Find(text, index) ? index : -1;
}

bool StringList::Find(const QString& text, int& index) const {
    Settle();
    if (!sorted_) {
        for (index = 0; index < Count(); ++index) {
            if (CompareText(items_.at(index), text) == 0)
                return true;
        }
        return false;
    }
    // Lower bound: the first entry not below the text.
    int low = 0;
    int high = Count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (CompareText(items_.at(middle), text) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    index = low;
    return low < Count() && CompareText(items_.at(low), text) == 0;
}

void StringList::Sort() {
    Settle();
    SortTexts(items_);
}

QString StringList::Names(int index) const {
    const QString& entry = (*this)[index];
    const qsizetype equals = entry.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : entry.left(equals);
}

QString StringList::ValueFromIndex(int index) const {
    const QString& entry = (*this)[index];
    const qsizetype equals = entry.indexOf(QLatin1Char('='));
    return equals < 0 ? QString() : entry.mid(equals + 1);
}

QString StringList::Text() const {
    Settle();
    QString text;
    for (const QString& entry : items_)
        text += entry + QStringLiteral("\r\n");
    return text;
}

void StringList::SetText(const QString& text) {
    Clear();
    QStringList lines;
    qsizetype start = 0;
    const qsizetype length = text.size();
    while (start < length) {
        qsizetype end = start;
        while (end < length && text.at(end) != QLatin1Char('\r') &&
               text.at(end) != QLatin1Char('\n'))
            ++end;
        lines.append(text.mid(start, end - start));
        if (end < length && text.at(end) == QLatin1Char('\r'))
            ++end;
        if (end < length && text.at(end) == QLatin1Char('\n'))
            ++end;
        start = end;
    }
    AddStrings(std::move(lines));
}

} // namespace qv
