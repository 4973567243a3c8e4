// Windows-1252, the 8-bit code page of the Windows systems that made existing stores: decoding
// its bytes to Unicode and encoding text back when every character has a byte in it.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace qv {

// Every byte decodes to one character. The five bytes that Windows-1252 leaves unassigned (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) decode to the C1 control characters of the same value, as Windows does.
QString DecodeWindows1252(const QByteArray& bytes);

// The bytes of the text, or nothing when a character has no byte in Windows-1252.
std::optional<QByteArray> EncodeWindows1252(const QString& text);
// The byte of a character beyond ASCII in Windows-1252; false when it has none.
bool Windows1252Byte(char16_t unit, char* byte);

} // namespace qv
