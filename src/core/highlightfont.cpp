#include "core/highlightfont.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "platform/codepage.h"
#include "platform/ui.h"

#include <QtEndian>

namespace qv {

namespace {

constexpr int kFaceNameBytes = 32;

void PutInt(QByteArray& out, int at, std::int32_t value) {
    qToLittleEndian<qint32>(value, out.data() + at);
}

std::int32_t GetInt(const QByteArray& data, int at) {
    return qFromLittleEndian<qint32>(data.constData() + at);
}

void ShowRegistryFailure(const QString& key) {
    TheUi().MessageBox(Caption(Msg::BAD_REGISTRY_WRITE_LEG1) +
                           Caption(Msg::BAD_REGISTRY_WRITE_LEG2) + key + QLatin1Char('\''),
                       App().ProgramTitle, MB_ICONSTOP);
}

} // namespace

QByteArray LogFontRecord::Encode() const {
    QByteArray out(kSize, '\0');
    PutInt(out, 0, Height);
    PutInt(out, 4, Width);
    PutInt(out, 8, Escapement);
    PutInt(out, 12, Orientation);
    PutInt(out, 16, Weight);
    const std::uint8_t bytes[8] = {Italic,       Underline,     StrikeOut, CharSet,
                                   OutPrecision, ClipPrecision, Quality,   PitchAndFamily};
    for (int i = 0; i < 8; ++i)
        out[20 + i] = char(bytes[i]);
    QByteArray face = EncodeWindows1252(FaceName).value_or(FaceName.toLatin1());
    face.truncate(kFaceNameBytes - 1);
    for (int i = 0; i < face.size(); ++i)
        out[28 + i] = face[i];
    return out;
}

bool LogFontRecord::Decode(const QByteArray& data) {
    if (data.size() != kSize)
        return false;
    Height = GetInt(data, 0);
    Width = GetInt(data, 4);
    Escapement = GetInt(data, 8);
    Orientation = GetInt(data, 12);
    Weight = GetInt(data, 16);
    std::uint8_t* const bytes[8] = {&Italic,       &Underline,     &StrikeOut, &CharSet,
                                    &OutPrecision, &ClipPrecision, &Quality,   &PitchAndFamily};
    for (int i = 0; i < 8; ++i)
        *bytes[i] = std::uint8_t(data[20 + i]);
    QByteArray face = data.mid(28, kFaceNameBytes);
    const qsizetype end = face.indexOf('\0');
    if (end >= 0)
        face.truncate(end);
    FaceName = DecodeWindows1252(face);
    return true;
}

QString HighlightFontKey(const QString& name) {
    return kProductKey + QStringLiteral("\\Fonts\\") + name;
}

HighlightFont ReadHighlightFont(RegRoot root, const QString& name) {
    HighlightFont font;
    const QString key = HighlightFontKey(name);
    RegistryKey reg;
    if (!reg.Open(root, key, true)) {
        ShowRegistryFailure(key);
        return font;
    }
    RegValue data;
    // A record of any other length (a hand-edited hive) counts as missing.
    if (reg.ReadValue(QStringLiteral("Data"), &data) && data.type == REG_BINARY &&
        font.Font.Decode(data.data)) {
        font.HasData = true;
        RegValue colour;
        if (reg.ReadValue(QStringLiteral("Colour"), &colour) && colour.type == REG_DWORD)
            font.Colour = colour.dword;
    }
    return font;
}

int ChooseHighlightFont(RegRoot root, const QString& name) {
    const HighlightFont current = ReadHighlightFont(root, name);
    QByteArray record = current.HasData ? current.Font.Encode() : QByteArray();
    quint32 colour = current.Colour;
    if (TheUi().ChooseFont(&record, &colour) != ID_OK || record.size() != LogFontRecord::kSize)
        return 0;
    const QString key = HighlightFontKey(name);
    RegistryKey reg;
    if (!reg.Open(root, key, true) || !reg.WriteBinary(QStringLiteral("Data"), record) ||
        !reg.WriteDword(QStringLiteral("Colour"), colour)) {
        ShowRegistryFailure(key);
        return 0;
    }
    return 1;
}

} // namespace qv
