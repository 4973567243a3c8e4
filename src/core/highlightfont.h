// The font with which the list editors highlight entries: kept in the registry as the 60-byte
// logical-font record of Windows ("Data") and a colour ("Colour"), read back into a font
// description and chosen with the font dialog.
#pragma once

#include "platform/registry.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace qv {

// The logical-font record (ANSI form): 5 signed 32-bit numbers, 8 bytes, a 32-byte face name.
struct LogFontRecord {
    static constexpr int kSize = 60;
    std::int32_t Height = 0; // negative: the character height in pixels
    std::int32_t Width = 0;
    std::int32_t Escapement = 0;
    std::int32_t Orientation = 0;
    std::int32_t Weight = 400; // 100 to 900; 400 normal, 700 bold
    std::uint8_t Italic = 0;
    std::uint8_t Underline = 0;
    std::uint8_t StrikeOut = 0;
    std::uint8_t CharSet = 1; // the default character set
    std::uint8_t OutPrecision = 0;
    std::uint8_t ClipPrecision = 0;
    std::uint8_t Quality = 0;
    std::uint8_t PitchAndFamily = 0;
    QString FaceName; // at most 31 characters

    // The record's bytes, little-endian, the face name in Windows-1252 and zero-padded.
    QByteArray Encode() const;
    // False, leaving the record alone, unless `data` is exactly 60 bytes.
    bool Decode(const QByteArray& data);
};

struct HighlightFont {
    // False when no usable "Data" is stored (missing, not 60 bytes, or a registry failure): the
    // caller uses its default font in italic.
    bool HasData = false;
    LogFontRecord Font;
    std::uint32_t Colour = 0; // COLORREF: red in the low byte
};

inline const QString kHighlightFontName = QStringLiteral("ListHighlight");

// The key of a highlight font: SOFTWARE\Pellicott\Quarvel\Fonts\<name>.
QString HighlightFontKey(const QString& name);

// Reads the font stored under the name (HKEY_LOCAL_MACHINE unless another root is given),
// creating the key when missing. A registry failure shows the registry failure box and gives the
// italic default.
HighlightFont ReadHighlightFont(RegRoot root, const QString& name);

// The font dialog, started with the stored font; OK stores the chosen record and colour. 1 when
// a font was chosen and stored, else 0 (also after a registry failure, which is shown).
int ChooseHighlightFont(RegRoot root, const QString& name);

} // namespace qv
