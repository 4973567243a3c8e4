#include "platform/casefold.h"

#include <QHash>
#include <QVarLengthArray>
#include <algorithm>
#include <cstring>

namespace qv {

namespace {

// Four ASCII characters (each below 0x80 in its 16 bits) folded at once: those from 'A' to 'Z'
// gain 0x20. A lane at or above 'A' carries into its bit 7 when 0x80 - 'A' is added, one above
// 'Z' when 0x80 - 'Z' - 1 is; no lane carries into the next.
quint64 FoldFourAscii(quint64 four) {
    constexpr quint64 kLanes = 0x0001000100010001ULL;
    const quint64 fromA = four + (0x80 - 'A') * kLanes;
    const quint64 pastZ = four + (0x80 - 'Z' - 1) * kLanes;
    return four + (((fromA & ~pastZ) & (0x80 * kLanes)) >> 2);
}

// Folds plain ASCII characters as FoldCase does, four at a time.
void FoldAsciiInto(const char16_t* in, char16_t* out, qsizetype size) {
    qsizetype i = 0;
    for (; i + 4 <= size; i += 4) {
        quint64 four;
        std::memcpy(&four, in + i, sizeof four);
        four = FoldFourAscii(four);
        std::memcpy(out + i, &four, sizeof four);
    }
    for (; i < size; ++i)
        out[i] = AsciiLower(in[i]);
}

} // namespace

QString FoldCase(QStringView text) {
    // ASCII letters fold to their lower case and nothing else folds into ASCII from ASCII, so an
    // ASCII name needs no tables; any other character leaves the work to Qt.
    bool upper = false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80)
            return text.toString().toCaseFolded();
        upper = upper || (u >= u'A' && u <= u'Z');
    }
    if (!upper)
        return text.toString();
    QString folded(text.size(), Qt::Uninitialized);
    FoldAsciiInto(text.utf16(), reinterpret_cast<char16_t*>(folded.data()), text.size());
    return folded;
}

QString FoldCase(const QString& text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80)
            return text.toCaseFolded();
        if (u >= u'A' && u <= u'Z')
            return FoldCase(QStringView(text));
    }
    return text; // shared, no copy
}

bool IsAscii(QStringView text) {
    // Asked of every path a move encodes and every name it hashes: four characters at a time.
    const char16_t* chars = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = 0;
    for (; i + 4 <= size; i += 4) {
        quint64 four;
        std::memcpy(&four, chars + i, sizeof four);
        if (four & 0xFF80FF80FF80FF80ULL)
            return false;
    }
    for (; i < size; ++i)
        if (chars[i] >= 0x80)
            return false;
    return true;
}

int CompareAsciiFolded(QStringView a, QStringView b) {
    const qsizetype size = std::min(a.size(), b.size());
    // Characters alike exactly are alike folded: the common start of two paths of one folder is
    // passed over four characters at a time.
    qsizetype i = 0;
    for (; i + 4 <= size; i += 4)
        if (std::memcmp(a.utf16() + i, b.utf16() + i, 4 * sizeof(char16_t)) != 0)
            break;
    for (; i < size; ++i) {
        const char16_t x = AsciiLower(a[i].unicode());
        const char16_t y = AsciiLower(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

namespace {

size_t FoldedHash(const QString& text, bool ascii, size_t seed) {
    if (!ascii)
        return qHash(FoldCase(text), seed);
    // The same characters FoldCase would give, hashed the same way.
    QVarLengthArray<char16_t, 256> folded(text.size());
    FoldAsciiInto(reinterpret_cast<const char16_t*>(text.constData()), folded.data(), text.size());
    return qHash(QStringView(folded.constData(), folded.size()), seed);
}

} // namespace

FoldedName::FoldedName(QString name) : text(std::move(name)), ascii(IsAscii(text)) {
    hash = FoldedHash(text, ascii, QHashSeed::globalSeed());
}

bool operator==(const FoldedName& a, const FoldedName& b) {
    if (a.hash != b.hash)
        return false;
    const qsizetype size = a.text.size();
    if (size != b.text.size()) {
        // Only characters beyond ASCII could fold to texts of one length.
        return !(a.ascii && b.ascii) && FoldCase(a.text) == FoldCase(b.text);
    }
    if (!a.ascii || !b.ascii)
        return FoldCase(a.text) == FoldCase(b.text);
    return CompareAsciiFolded(a.text, b.text) == 0;
}

size_t qHash(const FoldedName& name, size_t seed) {
    // The tables hash with one seed, which the name was hashed with already.
    return seed == size_t(QHashSeed::globalSeed()) ? name.hash
                                                   : FoldedHash(name.text, name.ascii, seed);
}

bool SameWithoutCase(QStringView a, QStringView b) {
    if (IsAscii(a) && IsAscii(b))
        return a.size() == b.size() && CompareAsciiFolded(a, b) == 0;
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace qv
