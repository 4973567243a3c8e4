// Case folding for the names that are looked up without regard to case by the thousand (ini
// sections, folder listings, wildcard masks): the same result as QString::toCaseFolded, with a
// fast path for the plain ASCII names that nearly all of them are.
#pragma once

#include <QString>
#include <QStringView>

namespace qv {

// The text case-folded, exactly as QString::toCaseFolded folds it.
QString FoldCase(const QString& text);
QString FoldCase(QStringView text);

// Whether the text holds only ASCII characters, whose case folding is plain.
bool IsAscii(QStringView text);
// An ASCII character folded as FoldCase folds it (other characters as they are).
inline char16_t AsciiLower(char16_t u) {
    return u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u;
}
// Compares two texts with their ASCII letters folded and every other character by its code:
// negative, zero or positive. For plain ASCII texts that is comparing without regard to case.
int CompareAsciiFolded(QStringView a, QStringView b);
// Two texts alike without regard to case: plain ASCII ones (nearly all names) letter by letter,
// any other by the full folding.
bool SameWithoutCase(QStringView a, QStringView b);

// A name as a hash key that equals every name with the same FoldCase, and is hashed by it,
// without a folded copy being made of an ASCII name. The hash is made once, with the name: a
// table compares the name looked up with every name its search meets, and the two hashes tell
// nearly all of those apart without either text being read.
struct FoldedName {
    explicit FoldedName(QString name);
    QString text;
    size_t hash = 0; // of the folded text, with the tables' seed
    bool ascii = true;
};
bool operator==(const FoldedName& a, const FoldedName& b);
size_t qHash(const FoldedName& name, size_t seed = 0);

} // namespace qv
