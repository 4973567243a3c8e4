// Registry files: our hive (parsed, written and parsed again to the same tree) and Wine's files.
#include "fuzzsupport.h"
#include "platform/registryformat.h"

namespace {

// The same keys and values, spelled alike and in the same order.
bool SameTree(const qv::RegNode& a, const qv::RegNode& b) {
    if (a.name != b.name || a.values.size() != b.values.size() ||
        a.children.size() != b.children.size())
        return false;
    for (std::size_t i = 0; i < a.values.size(); ++i) {
        const qv::RegValue& x = a.values[i].second;
        const qv::RegValue& y = b.values[i].second;
        if (a.values[i].first != b.values[i].first || x.type != y.type || x.text != y.text ||
            x.data != y.data || x.dword != y.dword)
            return false;
    }
    for (auto i = a.children.begin(), j = b.children.begin(); i != a.children.end(); ++i, ++j) {
        if (i->first != j->first || !SameTree(*i->second, *j->second))
            return false;
    }
    return true;
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
