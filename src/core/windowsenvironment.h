// The environment a Windows program started through Wine sees: the variables that Wine gives
// every program in the prefix (the program-files folders, the system folder, the Session
// Manager's environment), which the host's own environment does not hold.
#pragma once

#include "platform/registry.h"

#include <QHash>
#include <QString>

#include <functional>

namespace qv {

// The most characters a variable's value or an expanded text may hold, as on Windows.
inline constexpr qsizetype kMaxExpandedLength = 32767;

// What a look-up of a name gave: no value, a value, or one that would be longer than
// kMaxExpandedLength.
enum class NameValue { Missing, Found, TooLong };

// Replaces each %NAME% by the value `lookup` gives for NAME, which is not expanded again; a name
// it has none for, an empty name ("%%"), a name holding a NUL and a lone percent sign stay as
// written. Each name is looked up once, however often the text holds it. A result that would be
// longer than kMaxExpandedLength, or a name whose value would be, leaves the text as written,
// with `*complete` (when given) false; the work stops there, however long the text is.
QString ExpandPercentNames(const QString& text,
                           const std::function<NameValue(const QString&, QString*)>& lookup,
                           bool* complete = nullptr);

// The variables as a program in the Wine prefix sees them, read from one registry snapshot:
// the prefix's registry, else Wine's own default. Each variable is worked out once.
class WindowsVariables {
public:
    // The value of the variable `name` (any case); Missing for a name Wine does not set.
    NameValue Get(const QString& name, QString* value);

private:
    NameValue Lookup(const QString& name, QString* value, bool expand);
    NameValue SessionValue(const QString& name, QString* value, bool expand);
    QString Text(const QString& key, const QString& name);

    RegistrySnapshot registry_;
    struct Known {
        NameValue result;
        QString value;
    };
    QHash<QString, Known> known_; // by the name in capitals
};

} // namespace qv
