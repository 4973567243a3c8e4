#include "core/regsettings.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "platform/terminate.h"
#include "platform/ui.h"

namespace qv {

namespace {

// A hive file that had to be set aside is told to the user once, whatever call came upon it.
void ShowHiveNotices() {
    for (const QString& notice : TakeHiveNotices())
        TheUi().MessageBox(notice, App().ProgramTitle, MB_ICONEXCLAMATION);
}

// Shows hive notices when the operation that came upon them is done.
struct HiveNoticeGuard {
    HiveNoticeGuard() = default;
    HiveNoticeGuard(const HiveNoticeGuard&) = delete;
    HiveNoticeGuard& operator=(const HiveNoticeGuard&) = delete;
    ~HiveNoticeGuard() { ShowHiveNotices(); }
};

void ShowFailure(Msg first, const QString& name) {
    ShowHiveNotices();
    TheUi().MessageBox(Caption(first) + Caption(Msg::BAD_REGISTRY_WRITE_LEG2) + name +
                           QLatin1Char('\''),
                       App().ProgramTitle, MB_ICONSTOP);
}

// A write the program cannot go on without: the user is told, and the program ends.
void FailAndTerminate(const QString& name) {
    ShowFailure(Msg::BAD_REGISTRY_WRITE_LEG1, name);
    TerminateProgram(1);
}

// Trims characters below 33 (blanks and control characters) from both ends.
QString TrimControls(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() < 33)
        ++begin;
    while (end > begin && text[end - 1].unicode() < 33)
        --end;
    return text.mid(begin, end - begin);
}

QString TextOf(RegistryKey& key, const QString& name) {
    RegValue value;
    if (!key.ReadValue(name, &value))
        return QString();
    // Only string values have a text; any other type reads as empty rather than failing.
    return (value.type == REG_SZ || value.type == REG_EXPAND_SZ) ? value.text : QString();
}

} // namespace

bool RegWriteStringAt(RegRoot root, const QString& key, const QString& name, const QString& text) {
    return RegWriteStringsAt(root, key, {{name, text}});
}

bool RegWriteString(const QString& key, const QString& name, const QString& text) {
    return RegWriteStringAt(HKEY_LOCAL_MACHINE, key, name, text);
}

bool RegWriteStringsAt(RegRoot root, const QString& key,
                       const QList<std::pair<QString, QString>>& values) {
    HiveNoticeGuard notices;
    RegistryKey reg;
    // A key that cannot be created loses the settings just as a failed write does.
    if (!reg.Open(root, key, true) || !reg.WriteStrings(values)) {
        FailAndTerminate(values.isEmpty() ? QString() : values.first().first);
        return false;
    }
    return true;
}

QString RegReadStringAt(RegRoot root, const QString& key, const QString& name) {
    HiveNoticeGuard notices;
    RegistryKey reg;
    if (!reg.OpenReadOnly(root, key))
        return QString();
    return TextOf(reg, name);
}

QString RegReadString(const QString& key, const QString& name) {
    return RegReadStringAt(HKEY_LOCAL_MACHINE, key, name);
}

bool RegDeleteValueAt(RegRoot root, const QString& key, const QString& name) {
    HiveNoticeGuard notices;
    RegistryKey reg;
    if (!reg.Open(root, key, true) || !reg.DeleteValue(name)) {
        FailAndTerminate(name);
        return false;
    }
    return true;
}

bool ReadFlag(const QString& name) {
    return RegReadString(kProductKey, name) == "true";
}

void WriteFlag(bool flag, const QString& name) {
    RegWriteString(kProductKey, name, flag ? QStringLiteral("true") : QStringLiteral("false"));
}

bool DeleteKeyTree(const QString& key) {
    HiveNoticeGuard notices;
    RegistryKey reg;
    if (!reg.Open(HKEY_LOCAL_MACHINE, key, false)) {
        if (reg.ErrorText().isEmpty())
            return true; // nothing to delete
        ShowFailure(Msg::BAD_REGISTRY_DELETE_LEG1, key);
        return false;
    }
    bool ok = true;
    for (const QString& name : reg.ValueNames()) {
        if (!reg.DeleteValue(name)) {
            ShowFailure(Msg::BAD_REGISTRY_DELETE_LEG1, key);
            ok = false;
            break;
        }
    }
    if (ok) {
        for (const QString& subKey : reg.SubKeyNames()) {
            if (!DeleteKeyTree(key + QLatin1Char('\\') + subKey)) {
                ok = false;
                break;
            }
        }
    }
    reg.Close();
    if (ok && !RegDeleteKey(HKEY_LOCAL_MACHINE, key)) {
        ShowFailure(Msg::BAD_REGISTRY_DELETE_LEG1, key);
        ok = false;
    }
    return ok;
}

bool ClearKey(const QString& subKey) {
    return DeleteKeyTree(kProductKey + '\\' + subKey);
}

QStringList ReadKeyList(const QString& subKey) {
    HiveNoticeGuard notices;
    QStringList list;
    RegistryKey reg;
    if (reg.OpenReadOnly(HKEY_LOCAL_MACHINE, kProductKey + '\\' + subKey)) {
        for (const QString& name : reg.ValueNames())
            list << TextOf(reg, name);
    }
    return list;
}

bool AddToKeyList(const QString& subKey, const QString& entry, bool remove, int maximum) {
    if (TrimControls(entry).isEmpty())
        return true;
    HiveNoticeGuard notices;
    const QStringList old = ReadKeyList(subKey);
    if (!ClearKey(subKey))
        return false;
    const QString path = kProductKey + '\\' + subKey;
    RegistryKey reg;
    // The list has just been deleted: not re-creating it loses it, which must not pass as done.
    if (!reg.Open(HKEY_LOCAL_MACHINE, path, true)) {
        ShowFailure(Msg::BAD_REGISTRY_WRITE_LEG1, path);
        return false;
    }
    int index = 0;
    if (!remove) {
        if (!reg.WriteString(QStringLiteral("0"), entry)) {
            ShowFailure(Msg::BAD_REGISTRY_WRITE_LEG1, path);
            return false;
        }
        index = 1;
    }
    for (const QString& item : old) {
        if (item == entry)
            continue;
        if (!reg.WriteString(QString::number(index), item)) {
            ShowFailure(Msg::BAD_REGISTRY_WRITE_LEG1, path);
            return false;
        }
        ++index;
        if (index > maximum - 1)
            break;
    }
    return true;
}

QString StripQuotes(const QString& text) {
    if (text.size() > 1 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        return text.mid(1, text.size() - 2);
    return text;
}

bool IsValidPath(const QString& path) {
    if (path.isEmpty() || path == QLatin1String(".") || path == QLatin1String(".."))
        return false;
    static const QString forbidden = QStringLiteral("/?\"<>|") + QChar(0xA6);
    for (QChar c : forbidden) {
        if (path.contains(c))
            return false;
    }
    // A drive letter and its colon are required, and no colon may follow them.
    return path.lastIndexOf(QLatin1Char(':')) == 1 && !path.contains(QLatin1String("\\\\"));
}

} // namespace qv
