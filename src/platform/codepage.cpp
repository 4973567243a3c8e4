#include "platform/codepage.h"

#include <QHash>

namespace qv {

namespace {

// Unicode of the bytes 0x80 to 0x9F; every other byte is the character of the same value.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};

char16_t CharOfByte(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char16_t(byte);
}

const QHash<char16_t, char>& ByteOfChar() {
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> map;
        for (int byte = 0; byte < 256; ++byte)
            map.insert(CharOfByte(static_cast<unsigned char>(byte)), static_cast<char>(byte));
        return map;
    }();
    return table;
}

} // namespace

QString DecodeWindows1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char byte : bytes)
        *out++ = QChar(CharOfByte(static_cast<unsigned char>(byte)));
    return text;
}

std::optional<QByteArray> EncodeWindows1252(const QString& text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (QChar ch : text) {
        const char16_t unit = ch.unicode();
        if (unit < 0x80)
            *out++ = static_cast<char>(unit);
        else if (!Windows1252Byte(unit, out++))
            return std::nullopt;
    }
    return bytes;
}

bool Windows1252Byte(char16_t unit, char* byte) {
    const QHash<char16_t, char>& table = ByteOfChar();
    const auto found = table.constFind(unit);
    if (found == table.constEnd())
        return false;
    *byte = *found;
    return true;
}

} // namespace qv
