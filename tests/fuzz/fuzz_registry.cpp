// Registry files: our hive (parsed, written, parsed again to the same text) and Wine's files.
#include "fuzzsupport.h"
#include "platform/registryformat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = qv::fuzz::Input(data, size);
    const QString rootName = QStringLiteral("HKEY_LOCAL_MACHINE");
    qv::RegNode hive;
    QString error;
    if (qv::ParseHiveText(bytes, rootName, &hive, &error)) {
        // What we write we must read back as the same hive.
        const QByteArray written = qv::HiveText(hive, rootName);
        qv::RegNode again;
        if (!qv::ParseHiveText(written, rootName, &again, &error) ||
            qv::HiveText(again, rootName) != written)
            __builtin_trap();
    }
    qv::RegNode wine;
    qv::ParseWineRegistry(bytes, &wine);
    return 0;
}
