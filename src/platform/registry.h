// The registry in place of Windows': a hive file per root in our own folder, shared safely between
// running copies of the program, with Wine's registry files read for the keys we do not hold.
//
// Our hive files are HKEY_LOCAL_MACHINE.reg and HKEY_CURRENT_USER.reg (REGEDIT4 text, UTF-8) in
// $QUARVEL_REGISTRY_DIR, else $XDG_CONFIG_HOME/quarvel/registry (~/.config when unset).
// HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\Software\Classes. Every call reads the current state of
// the file; every change is made under a lock and replaces the file whole.
#pragma once

#include "platform/registryformat.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

namespace qv {

enum RegRoot : int {
    HKEY_LOCAL_MACHINE = 0,
    HKEY_CURRENT_USER = 1,
    HKEY_CLASSES_ROOT = 2,
};

// An open key. Opening only checks and remembers the key: every read and write afterwards looks
// at the hive as it is at that moment.
class RegistryKey {
public:
    // Opens a key of our hive for reading and writing; with `canCreate` the key and its missing
    // parents are created. False when the key is missing (and not to be created) or cannot be
    // created (ErrorText() says why).
    bool Open(RegRoot root, const QString& path, bool canCreate);
    // Opens a key for reading: ours, else Wine's. False when neither has it.
    bool OpenReadOnly(RegRoot root, const QString& path);
    void Close();
    bool IsOpen() const { return open_; }

    // False when the key or the value is missing.
    bool ReadValue(const QString& name, RegValue* value);
    bool ValueExists(const QString& name);
    QStringList ValueNames();  // in the order the values were added
    QStringList SubKeyNames(); // ordered by name, without regard to case

    // Writing fails on a key opened read-only, on a key deleted since it was opened, and when the
    // hive file cannot be written; ErrorText() then says why.
    bool WriteString(const QString& name, const QString& text);
    // Several string values (name, text) in one change of the hive.
    bool WriteStrings(const QList<std::pair<QString, QString>>& values);
    bool WriteExpandString(const QString& name, const QString& text);
    bool WriteDword(const QString& name, quint32 number);
    bool WriteBinary(const QString& name, const QByteArray& data);
    // A missing value is no error.
    bool DeleteValue(const QString& name);

    // Why the last call failed.
    QString ErrorText() const { return error_; }

private:
    bool Write(const QString& name, const RegValue& value);
    // The key as it now stands: ours, else (read-only keys) Wine's; nullptr when gone.
    const RegNode* Current();

    RegRoot root_ = HKEY_LOCAL_MACHINE;
    QStringList parts_;
    bool open_ = false;
    bool readOnly_ = true;
    QString error_;
};

// The registry as it stands at one moment, for many reads in a row (each name of a long text
// looked up in turn): each root's hive file is read, and Wine's file looked at, once, at the first
// read of that root, not at every read. Reads find keys as OpenReadOnly does; what this program
// writes meanwhile is seen, another program's changes perhaps only by a snapshot taken later.
class RegistrySnapshot {
public:
    // The key (ours, else Wine's); nullptr when neither has it. Good until the next call of any
    // registry function.
    const RegNode* Key(RegRoot root, const QString& path);
    // False when the key or the value is missing.
    bool ReadValue(RegRoot root, const QString& path, const QString& name, RegValue* value);

private:
    struct Taken {
        bool taken = false;
        RegNode* ours = nullptr;
        const RegNode* wine = nullptr;
        const bool* wine64 = nullptr;
    };
    Taken roots_[2];
};

// True when the key is in our hive or Wine's.
bool RegKeyExists(RegRoot root, const QString& path);

// Deletes a key of our hive. Its sub-keys must have been deleted first: a key that still has some
// is not deleted. A missing key is no error.
bool RegDeleteKey(RegRoot root, const QString& path, QString* error = nullptr);

// Texts that tell of hive files that could not be read and were set aside (renamed to a ".bad"
// copy, an empty hive taking their place), each once, since the last call.
QStringList TakeHiveNotices();

// The folder of our hive files.
QString RegistryDir();

// The Wine prefix whose system.reg and user.reg are read: $WINEPREFIX, else ~/.wine, when the
// folder is present; empty when there is none. SetRegistryWinePrefix replaces that choice (an
// empty text: no prefix at all); std::nullopt restores it.
QString RegistryWinePrefix();
void SetRegistryWinePrefix(std::optional<QString> prefix);

} // namespace qv
