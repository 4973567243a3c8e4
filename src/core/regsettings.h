// The program's settings in the registry: string values at any root and key, flags stored as
// "true"/"false", deleting values and key trees, and short most-recent-first lists kept in the
// values "0", "1", ... of a sub-key of the product key. Nothing is cached: every call goes to the
// registry, so that two running copies see each other's settings.
#pragma once

#include "platform/registry.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace qv {

// Where all of the program's settings live, under HKEY_LOCAL_MACHINE.
inline const QString kProductKey = QStringLiteral("SOFTWARE\\Pellicott\\Quarvel");

// Writes a string value, creating the key when missing. A failed write shows the registry write
// failure in a stop box and ends the program with exit status 1 (false when the end is hooked).
bool RegWriteStringAt(RegRoot root, const QString& key, const QString& name, const QString& text);
bool RegWriteString(const QString& key, const QString& name, const QString& text);
// Several values (name, text) of one key, written together.
bool RegWriteStringsAt(RegRoot root, const QString& key,
                       const QList<std::pair<QString, QString>>& values);

// The value's text; empty when the key or the value is missing or the value is not a string.
QString RegReadStringAt(RegRoot root, const QString& key, const QString& name);
QString RegReadString(const QString& key, const QString& name);

// Deletes a value (a missing one is no error); a failure ends the program as a failed write does.
bool RegDeleteValueAt(RegRoot root, const QString& key, const QString& name);

// A flag of the product key: set only when its value is exactly "true".
bool ReadFlag(const QString& name);
void WriteFlag(bool flag, const QString& name);

// Deletes a key of HKEY_LOCAL_MACHINE with all its values and sub-keys. A missing key is no error;
// a failure is shown and gives false.
bool DeleteKeyTree(const QString& key);
// DeleteKeyTree on a sub-key of the product key.
bool ClearKey(const QString& subKey);

// The entries of a list sub-key of the product key, most recent first.
QStringList ReadKeyList(const QString& subKey);
// Puts `entry` first in the list (or, with `remove`, takes every copy of it out), keeping at most
// `maximum` entries. False when the list could not be written back.
bool AddToKeyList(const QString& subKey, const QString& entry, bool remove, int maximum);

// The text without one pair of surrounding double quotes.
QString StripQuotes(const QString& text);

// True when a typed folder path can be used as a folder: a drive letter and a colon, no doubled
// backslash, none of / ? " < > | and the broken bar.
bool IsValidPath(const QString& path);

} // namespace qv
