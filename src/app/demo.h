// The demo: a synthetic MSTS installation and store, built once in a folder of their own, with a
// private registry whose settings point the program at them, so that the program can be tried
// without MSTS and without touching the user's own settings.
#pragma once

#include <QString>

namespace qv {

// The demo's host folder: $QUARVEL_DEMO_DIR, else ~/.cache/quarvel/demo.
QString DemoFolder();

// Makes the program (and every copy it starts) use the demo's registry, in <folder>/registry,
// and builds the installation (<folder>/MSTS), the store (<folder>/STORE) and their settings
// unless an earlier run finished them. MSTS itself is a harmless stand-in script. False, with the
// reason in `error`, when the demo cannot be built.
bool PrepareDemo(const QString& folder, QString* error);

} // namespace qv
