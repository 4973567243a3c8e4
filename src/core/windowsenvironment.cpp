#include "core/windowsenvironment.h"

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

// The capitals a name is remembered by: Windows' names are alike without regard to case.
QString NameKey(const QString& name) {
    return name.toUpper();
}

NameValue Bounded(const QString& text, QString* value) {
    if (text.size() > kMaxExpandedLength)
        return NameValue::TooLong;
    *value = text;
    return NameValue::Found;
}

} // namespace

QString ExpandPercentNames(const QString& text,
                           const std::function<NameValue(const QString&, QString*)>& lookup,
                           bool* complete) {
    if (complete)
        *complete = true;
    const auto asWritten = [&] {
        if (complete)
            *complete = false;
        return text;
    };
    // A text that holds a name many times looks it up once.
    QHash<QString, std::pair<NameValue, QString>> looked;
    QString result;
    const auto append = [&result](QStringView piece) {
        if (result.size() + piece.size() > kMaxExpandedLength)
            return false;
        result += piece;
        return true;
    };
    qsizetype pos = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1Char('%'), pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char('%'), open + 1);
        if (close < 0)
            break;
        if (!append(QStringView(text).mid(pos, open - pos)))
            return asWritten();
        const QString name = text.mid(open + 1, close - open - 1);
        auto found = looked.constFind(name);
        if (found == looked.constEnd()) {
            std::pair<NameValue, QString> answer{NameValue::Missing, QString()};
            // A name holding a NUL would be looked up cut there, as another name.
            if (!name.isEmpty() && !name.contains(QChar(0)))
                answer.first = lookup(name, &answer.second);
            found = looked.insert(name, answer);
        }
        if (found->first == NameValue::TooLong)
            return asWritten();
        if (!append(found->first == NameValue::Found
                        ? QStringView(found->second)
                        : QStringView(text).mid(open, close - open + 1)))
            return asWritten();
        pos = close + 1;
    }
    if (!append(QStringView(text).mid(pos)))
        return asWritten();
    return result;
}

NameValue WindowsVariables::Get(const QString& name, QString* value) {
    const QString key = NameKey(name);
    auto found = known_.constFind(key);
    if (found == known_.constEnd()) {
        Known answer{NameValue::Missing, QString()};
        answer.result = Lookup(name, &answer.value, true);
        found = known_.insert(key, answer);
    }
    if (found->result == NameValue::Found)
        *value = found->value;
    return found->result;
}

QString WindowsVariables::Text(const QString& key, const QString& name) {
    RegValue read;
    if (!registry_.ReadValue(HKEY_LOCAL_MACHINE, key, name, &read) ||
        (read.type != REG_SZ && read.type != REG_EXPAND_SZ))
        return QString();
    return read.text;
}

// The Session Manager's value of the variable. Wine expands one of the expandable type with the
// values the others have as written: the values met on the way are not expanded again (Wine's
// own chains are one step deep: windir is %SystemRoot%), so a loop or a fan of names in a
// hand-made file costs no more than one pass.
NameValue WindowsVariables::SessionValue(const QString& name, QString* value, bool expand) {
    RegValue read;
    if (!registry_.ReadValue(HKEY_LOCAL_MACHINE, kSessionEnvironment, name, &read) ||
        (read.type != REG_SZ && read.type != REG_EXPAND_SZ))
        return NameValue::Missing;
    if (read.type != REG_EXPAND_SZ || !expand)
        return Bounded(read.text, value);
    bool complete = true;
    const QString expanded = ExpandPercentNames(
        read.text,
        [this](const QString& inner, QString* innerValue) {
            return Lookup(inner, innerValue, false);
        },
        &complete);
    return complete ? Bounded(expanded, value) : NameValue::TooLong;
}

NameValue WindowsVariables::Lookup(const QString& name, QString* value, bool expand) {
    const WineVariable* known = nullptr;
    for (const WineVariable& variable : kWineVariables) {
        if (name.compare(QLatin1String(variable.name), Qt::CaseInsensitive) == 0)
            known = &variable;
    }
    // The program-files and system folders are set by Wine from their own values, over
    // anything the Session Manager's list may hold.
    if (known && known->key) {
        const QString found = Text(QLatin1String(known->key), QLatin1String(known->value));
        if (!found.isEmpty())
            return Bounded(found, value);
    }
    const NameValue session = SessionValue(name, value, expand);
    if (session != NameValue::Missing || !known)
        return session;
    if (name.compare(QLatin1String("WINDIR"), Qt::CaseInsensitive) == 0)
        return Lookup(QStringLiteral("SystemRoot"), value, expand);
    if (!known->fallback)
        return NameValue::Missing;
    *value = QLatin1String(known->fallback);
    return NameValue::Found;
}

} // namespace qv
