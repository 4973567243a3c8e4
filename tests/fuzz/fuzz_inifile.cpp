// Ini files as the store's caches and lists are read: every section, key and value looked at,
// and the text written back read as the same file.
#include "fuzzsupport.h"
#include "platform/inifile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const qv::IniFile ini = qv::IniFile::FromBytes(qv::fuzz::Input(data, size));
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
    return 0;
}
