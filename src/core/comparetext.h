// The one comparison of names that every sort, sorted list and sorted walk of the program uses:
// the user's locale, without regard to case. Kept in a header of its own so that the item
// records and the sorting helpers can both use it without including each other.
#pragma once

#include <QCollatorSortKey>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace qv {

// Compares two names without regard to case in the user's locale: negative, zero or positive.
// Names that differ only in letter case compare equal; accents still count.
int CompareText(const QString& a, const QString& b);
// True when CompareText finds two names equal exactly when their case-folded texts are (the C
// locale): names can then be looked up by their folded form in a hash. Other locales' collators
// may find names equal that fold apart.
bool CompareTextFoldsCase();

// Sorts texts in CompareText's order, equal ones staying in the order given. Lists of tens of
// thousands of paths are sorted at every job: plain ASCII texts in the C locale are sorted by
// their folded bytes, which order exactly as CompareText orders the texts, and a list already in
// order is left as it is after one pass.
void SortTexts(QStringList& texts);

// A name prepared once for many comparisons: keys order as CompareText orders their names, so a
// sort of tens of thousands of names prepares each name once instead of collating it again at
// every comparison. Keys are made on any thread (each keeps a collator of its own) and compared
// once made, all under one default locale.
class TextKey {
public:
    explicit TextKey(const QString& text);
    int Compare(const TextKey& other) const;
    // The first characters packed into kHeads numbers (all zero outside the C locale): keys
    // whose numbers differ compare as the numbers do, equal numbers leave it to Compare.
    static constexpr int kHeads = 4;
    quint64 Head(int i) const { return head_[i]; }
    // The numbers a key of the text would hold, made without the key: true when they alone
    // settle the text's place among other texts they settle (in the C locale, plain ASCII without
    // zero characters and at most 4 * kHeads of them); else false, and `head` is left alone.
    static bool QuickHeads(QStringView text, quint64 (&head)[kHeads]);

private:
    std::optional<QCollatorSortKey> collated_;
    QString folded_; // in the C locale, whose comparison folds the case of each character
    // The first characters of `folded_` packed so that comparing the numbers compares them (the
    // end padded with zeros): most comparisons of a sort are settled without reaching the text.
    quint64 head_[kHeads] = {};
};

// Makes the locale the default one and the one every later comparison follows. The default
// locale is changed only through this, so that comparisons need not look it up every time.
void SetDefaultLocale(const QLocale& locale);

} // namespace qv
