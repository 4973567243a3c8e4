// Registry files: our hive (parsed, written and parsed again to the same tree) and Wine's files.
#include "fuzzsupport.h"
#include "platform/registryformat.h"

#include <algorithm>

namespace {

// The same keys and values, spelled alike and in the same order.
bool SameTree(const qv::RegNode& a, const qv::RegNode& b) {
    return a.name == b.name && a.values == b.values &&
           std::ranges::equal(a.children, b.children, [](const auto& x, const auto& y) {
               return x.first == y.first && SameTree(*x.second, *y.second);
           });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = qv::fuzz::Input(data, size);
    const QString rootName = QStringLiteral("HKEY_LOCAL_MACHINE");
    qv::RegNode hive;
    QString error;
    if (qv::ParseHiveText(bytes, rootName, &hive, &error)) {
        // What we read we write so that it reads back as the same hive.
        qv::RegNode again;
        if (!qv::ParseHiveText(qv::HiveText(hive, rootName), rootName, &again, &error) ||
            !SameTree(hive, again))
            __builtin_trap();
    }
    qv::RegNode wine;
    qv::ParseWineRegistry(bytes, &wine);
    return 0;
}
