// Ini files as the store's caches and lists are read: every section, key and value looked at,
// and the text written back read as the same file. Then sections, keys and values made of the
// rest of the input are written into it: each one the ini takes must read back from the file
// exactly (a line break in a value as a blank), with the whole file as it was in memory; each
// one it refuses must leave the file as it was.
#include "fuzzsupport.h"
#include "platform/inifile.h"

namespace {

// Writes checked per input: each reads the whole file back, so a long input of many small
// writes would cost in proportion to the square of its length.
constexpr int kMaxWrites = 64;

// The text from `*pos` up to the next byte 0xFF: a byte below 0xF0 is that character (Latin-1),
// a byte from 0xF0 to 0xFE takes the next two bytes as a UTF-16 unit, so that any unit, half a
// surrogate pair and line breaks included, can stand in a name.
QString NextText(const QByteArray& bytes, qsizetype* pos) {
    QString text;
    while (*pos < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[(*pos)++]);
        if (byte == 0xFF)
            break;
        if (byte < 0xF0) {
            text.append(QChar(char16_t(byte)));
        } else if (*pos + 1 < bytes.size()) {
            text.append(QChar(char16_t(static_cast<unsigned char>(bytes[*pos]) |
                                       static_cast<unsigned char>(bytes[*pos + 1]) << 8)));
            *pos += 2;
        }
    }
    return text;
}

bool SameIni(const qv::IniFile& a, const qv::IniFile& b) {
    if (a.ReadSections() != b.ReadSections())
        return false;
    for (const QString& section : a.ReadSections()) {
        if (a.ReadSectionValues(section) != b.ReadSectionValues(section))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input = qv::fuzz::Input(data, size);
    // The first byte says how much of the rest is the file; what follows it is written.
    const qsizetype fileSize =
        input.isEmpty() ? 0 : (input.size() - 1) * static_cast<unsigned char>(input[0]) / 255;
    qv::IniFile ini = qv::IniFile::FromBytes(input.mid(1, fileSize));
    for (const QString& section : ini.ReadSections()) {
        for (const QString& key : ini.ReadSection(section)) {
            ini.ReadString(section, key, QString());
            ini.ReadInteger(section, key, 0);
            ini.ReadBool(section, key, false);
        }
        ini.ReadSectionValues(section);
    }
    const QByteArray written = ini.ToBytes();
    if (qv::IniFile::FromBytes(written).ToBytes() != written)
        __builtin_trap();

    const QString missing = QStringLiteral("\x01missing");
    qsizetype pos = 1 + fileSize;
    for (int write = 0; write < kMaxWrites && pos < input.size(); ++write) {
        const QString section = NextText(input, &pos);
        const QString key = NextText(input, &pos);
        const QString value = NextText(input, &pos);
        const QByteArray before = ini.ToBytes();
        if (!ini.WriteString(section, key, value)) {
            if (ini.ToBytes() != before ||
                (qv::IniFile::CanHoldSection(section) && qv::IniFile::CanHoldKey(key)))
                __builtin_trap();
            continue;
        }
        QString expected = value;
        expected.replace(u'\r', u' ').replace(u'\n', u' ');
        const qv::IniFile read = qv::IniFile::FromBytes(ini.ToBytes());
        if (ini.ReadString(section, key, missing) != expected ||
            read.ReadString(section, key, missing) != expected || !SameIni(ini, read))
            __builtin_trap();
    }
    return 0;
}
