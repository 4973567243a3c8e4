// The one comparison of names that every sort, sorted list and sorted walk of the program uses:
// the user's locale, without regard to case. Kept in a header of its own so that the item
// records and the sorting helpers can both use it without including each other.
#pragma once

#include <QLocale>
#include <QString>

namespace qv {

// Compares two names without regard to case in the user's locale: negative, zero or positive.
// Names that differ only in letter case compare equal; accents still count.
int CompareText(const QString& a, const QString& b);

// Makes the locale the default one and the one every later comparison follows. The default
// locale is changed only through this, so that comparisons need not look it up every time.
void SetDefaultLocale(const QLocale& locale);

} // namespace qv
