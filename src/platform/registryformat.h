// The registry's in-memory tree and its two text forms: our own hive files (REGEDIT4, UTF-8), which
// we read and write, and Wine's system.reg / user.reg, which we only read.
#pragma once

#include "platform/casefold.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace qv {

// Value types, with the numbers the registry has always given them. A type is a 32-bit number
// without sign: programs may store values of any type, also those of 0x80000000 and above.
enum RegType : quint32 {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
};

struct RegValue {
    quint32 type = REG_NONE;
    QString text;      // REG_SZ, REG_EXPAND_SZ
    QByteArray data;   // REG_BINARY, and the raw bytes of types we keep without reading them
    quint32 dword = 0; // REG_DWORD

    bool operator==(const RegValue&) const = default;
};

// One key: its name as first written, its values in the order they were added, its sub-keys
// ordered by their case-folded names so that they enumerate the same way every time.
struct RegNode {
    QString name;
    // Enumerated in this order; changed only through SetValue and RemoveValue, which keep
    // valueIndex in step.
    std::vector<std::pair<QString, RegValue>> values;
    // Each value's name (without regard to case) -> its place in `values`, so that a key of
    // thousands of values is read without a walk through them for each. Made only once a key
    // holds many values: Wine's files have tens of thousands of keys of a few values each, for
    // which a walk is quicker and an index would cost more than a kilobyte a key.
    QHash<FoldedName, std::size_t> valueIndex;
    std::map<QString, std::unique_ptr<RegNode>> children;

    RegNode() = default;
    RegNode(RegNode&&) = default;
    RegNode& operator=(RegNode&& other) noexcept;
    // Frees the keys below one by one, so that no depth of keys can exhaust the stack.
    ~RegNode();

    RegNode* Child(const QString& childName) const;
    RegNode* AddChild(const QString& childName); // the existing one when there is one
    const RegValue* Value(const QString& valueName) const;
    // Keeps place and name case; false when the value held it already (nothing changed).
    bool SetValue(const QString& valueName, const RegValue& value);
    bool RemoveValue(const QString& valueName);

private:
    // The value's place in `values`; values.size() when there is none.
    std::size_t ValuePlace(const QString& valueName) const;
};

// The deepest key and the longest key name a hive may hold. Real keys stay far below both; a file
// beyond them is damaged or hostile, and is not a hive to trust.
inline constexpr int kMaxRegDepth = 512;
inline constexpr int kMaxRegKeyNameLength = 255;

// Why the key path (its segments below the root) may not stand in a hive; empty when it may.
QString RegPathProblem(const QStringList& parts);

// Key and value names compare without regard to case.
QString RegFold(const QString& name);

// Splits a key path at its backslashes; empty segments (leading, trailing, doubled) are dropped.
QStringList RegSplitPath(const QString& path);

// Follows `parts` down from `root`; nullptr when a segment is missing.
RegNode* RegFind(RegNode& root, const QStringList& parts);

// Reads a hive file. `rootName` is the root written in its section headers ("HKEY_LOCAL_MACHINE");
// sections under HKEY_CLASSES_ROOT are accepted in the HKEY_LOCAL_MACHINE file as Software\Classes.
// False, with the line and the reason in `error`, when the text is not a hive we can read.
bool ParseHiveText(const QByteArray& bytes, const QString& rootName, RegNode* root, QString* error);

// Writes the tree as a hive file: a section for each key that holds values and for each key with
// neither values nor sub-keys. The keys between them are named by the paths below them, so the
// file is never larger than the paths it must name, however deep the keys lie.
QByteArray HiveText(const RegNode& root, const QString& rootName);

// Reads Wine's registry file. Lines it does not understand are passed over: the file is Wine's,
// we take from it what we can. False only when it is not a Wine registry file at all.
bool ParseWineRegistry(const QByteArray& bytes, RegNode* root);

} // namespace qv
