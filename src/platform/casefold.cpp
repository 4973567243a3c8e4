#include "platform/casefold.h"

#include <QHash>
#include <QVarLengthArray>
#include <algorithm>
#include <cstring>

namespace qv {

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
    QChar* out = folded.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        out[i] = QChar(u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u);
    }
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
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t x = AsciiLower(a[i].unicode());
        const char16_t y = AsciiLower(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool operator==(const FoldedName& a, const FoldedName& b) {
    const qsizetype size = a.text.size();
    if (size != b.text.size()) {
        // Only characters beyond ASCII could fold to texts of one length.
        return !(IsAscii(a.text) && IsAscii(b.text)) && FoldCase(a.text) == FoldCase(b.text);
    }
    // While both are ASCII up to a place, a difference there settles it.
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t x = a.text[i].unicode();
        const char16_t y = b.text[i].unicode();
        if (x >= 0x80 || y >= 0x80)
            return FoldCase(a.text) == FoldCase(b.text);
        if (AsciiLower(x) != AsciiLower(y))
            return false;
    }
    return true;
}

size_t qHash(const FoldedName& name, size_t seed) {
    if (!IsAscii(name.text))
        return qHash(FoldCase(name.text), seed);
    // The same characters FoldCase would give, hashed the same way.
    QVarLengthArray<char16_t, 256> folded(name.text.size());
    for (qsizetype i = 0; i < name.text.size(); ++i)
        folded[i] = AsciiLower(name.text[i].unicode());
    return qHash(QStringView(folded.constData(), folded.size()), seed);
}

bool SameWithoutCase(QStringView a, QStringView b) {
    if (IsAscii(a) && IsAscii(b))
        return a.size() == b.size() && CompareAsciiFolded(a, b) == 0;
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace qv
