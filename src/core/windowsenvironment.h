// The environment a Windows program started through Wine sees: the variables that Wine gives
// every program in the prefix (the program-files folders, the system folder, the Session
// Manager's environment), which the host's own environment does not hold.
#pragma once

#include <QString>

#include <functional>

namespace qv {

// Replaces each %NAME% by the value `lookup` gives for NAME; a name it has none for, an empty
// name ("%%") and a lone percent sign stay as written.
QString ExpandPercentNames(const QString& text,
                           const std::function<bool(const QString&, QString*)>& lookup);

// The value of the variable `name` (any case) as a program in the Wine prefix sees it: taken
// from the prefix's registry, else Wine's own default; false for a name Wine does not set.
bool WindowsVariable(const QString& name, QString* value);

} // namespace qv
