#include "core/windowsenvironment.h"

#include "core/regsettings.h"
#include "platform/registry.h"

namespace qv {

namespace {

const QString kSessionEnvironment =
    QStringLiteral("System\\CurrentControlSet\\Control\\Session Manager\\Environment");

// A variable that Wine sets itself: where its value stands in the registry, and what Wine
// uses when it is not there (no default: Wine leaves the variable unset).
struct WineVariable {
    const char* name;
    const char* key;
    const char* value;
    const char* fallback;
};

const WineVariable kWineVariables[] = {
    {"PROGRAMFILES", "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
     "C:\\Program Files"},
    {"PROGRAMFILES(X86)", "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir (x86)",
     nullptr},
    {"COMMONPROGRAMFILES", "Software\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir",
     "C:\\Program Files\\Common Files"},
    {"COMMONPROGRAMFILES(X86)", "Software\\Microsoft\\Windows\\CurrentVersion",
     "CommonFilesDir (x86)", nullptr},
    {"SYSTEMROOT", "Software\\Microsoft\\Windows NT\\CurrentVersion", "SystemRoot", "C:\\windows"},
    {"SYSTEMDRIVE", nullptr, nullptr, "C:"},
    {"WINDIR", nullptr, nullptr, nullptr}, // the Session Manager's, else the system folder
    {"PROGRAMDATA", nullptr, nullptr, "C:\\ProgramData"},
    {"ALLUSERSPROFILE", nullptr, nullptr, "C:\\ProgramData"},
    {"PUBLIC", nullptr, nullptr, "C:\\users\\Public"},
};

bool Lookup(const QString& name, QString* value, int depth);

// Expands %NAME% in a registry text with the prefix's variables only. Values met on the way are
// not expanded again: Wine's own chains are one step deep (windir is %SystemRoot%), and a loop
// or a fan of names in a hand-made file costs no more than one pass.
QString ExpandWithin(const QString& text, int depth) {
    return ExpandPercentNames(text, [depth](const QString& name, QString* value) {
        return depth > 0 && Lookup(name, value, depth - 1);
    });
}

bool SessionValue(const QString& name, QString* value, int depth) {
    RegistryKey key;
    RegValue read;
    if (!key.OpenReadOnly(HKEY_LOCAL_MACHINE, kSessionEnvironment) || !key.ReadValue(name, &read) ||
        (read.type != REG_SZ && read.type != REG_EXPAND_SZ))
        return false;
    *value = read.type == REG_EXPAND_SZ && depth > 0 ? ExpandWithin(read.text, depth) : read.text;
    return true;
}

bool Lookup(const QString& name, QString* value, int depth) {
    const WineVariable* known = nullptr;
    for (const WineVariable& variable : kWineVariables) {
        if (name.compare(QLatin1String(variable.name), Qt::CaseInsensitive) == 0)
            known = &variable;
    }
    // The program-files and system folders are set by Wine from their own values, over
    // anything the Session Manager's list may hold.
    if (known && known->key) {
        const QString found = RegReadStringAt(HKEY_LOCAL_MACHINE, QLatin1String(known->key),
                                              QLatin1String(known->value));
        if (!found.isEmpty()) {
            *value = found;
            return true;
        }
    }
    if (SessionValue(name, value, depth))
        return true;
    if (!known)
        return false;
    if (name.compare(QLatin1String("WINDIR"), Qt::CaseInsensitive) == 0)
        return Lookup(QStringLiteral("SystemRoot"), value, depth);
    if (!known->fallback)
        return false;
    *value = QLatin1String(known->fallback);
    return true;
}

} // namespace

QString ExpandPercentNames(const QString& text,
                           const std::function<bool(const QString&, QString*)>& lookup) {
    QString result;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1Char('%'), pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char('%'), open + 1);
        if (close < 0)
            break;
        result += QStringView(text).mid(pos, open - pos);
        const QString name = text.mid(open + 1, close - open - 1);
        QString found;
        if (!name.isEmpty() && lookup(name, &found))
            result += found;
        else
            result += QLatin1Char('%') + name + QLatin1Char('%');
        pos = close + 1;
    }
    result += QStringView(text).mid(pos);
    return result;
}

bool WindowsVariable(const QString& name, QString* value) {
    return Lookup(name, value, 1);
}

} // namespace qv
