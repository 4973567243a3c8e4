// A language module is a Qt translation file, and Qt's translator trusts every offset and length
// inside it. Modules lie beside the program where anyone may put a file, so each one is checked
// here before the translator is given it: a damaged module is skipped and reported, never loaded.
#pragma once

#include <QByteArray>
#include <QString>

namespace qv {

// Why the bytes are not a translation file that the translator can read safely; empty when they
// are. Checked: the magic number, every section length, the context table, every message the
// hash table points at (each field within the messages), and that the module names no other
// modules (those would be loaded without this check).
QString TranslationDataProblem(const QByteArray& data);

// Reads a module file (host path) and checks it. False when it cannot be read or is damaged; a
// damaged module is reported to the user once per run; a file that is no translation file at
// all is passed over quietly.
bool ReadCheckedModule(const QString& hostPath, QByteArray* data);

} // namespace qv
