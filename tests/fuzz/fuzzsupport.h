// What every harness shares: the Qt application object some readers expect, the input as a
// byte array, and a scratch MSTS folder and store for the readers that open files themselves.
#pragma once

#include "core/appstate.h"
#include "platform/winfs.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace qv::fuzz {

inline QByteArray Input(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// One application object for the life of the harness.
inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

// A temporary MSTS folder and store with the given sub-folders (host form, below the scratch
// folder, e.g. "MSTS/TRAINS/CONSISTS"), a registry and a temporary folder of their own, so that
// no run reads or writes the user's settings or leaves files behind.
struct ScratchRoots {
    QTemporaryDir dir;
    QString msts;  // Windows form
    QString store; // Windows form

    explicit ScratchRoots(std::initializer_list<const char*> folders) {
        for (const char* folder : folders)
            QDir(dir.path()).mkpath(QLatin1String(folder));
        for (const char* folder : {"MSTS", "STORE/QVDATA", "REGISTRY", "TEMP"})
            QDir(dir.path()).mkpath(QLatin1String(folder));
        msts = qv::ToWindowsForm(dir.filePath(QStringLiteral("MSTS")));
        store = qv::ToWindowsForm(dir.filePath(QStringLiteral("STORE")));
        qputenv("QUARVEL_REGISTRY_DIR",
                QFile::encodeName(dir.filePath(QStringLiteral("REGISTRY"))));
        qputenv("TMPDIR", QFile::encodeName(dir.filePath(QStringLiteral("TEMP"))));
    }
    // A file below the scratch folder (host form), replaced whole.
    void Write(const QString& relative, const QByteArray& bytes) const {
        QFile file(dir.filePath(relative));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
    }
    void Remove(const QString& relative) const { QFile::remove(dir.filePath(relative)); }
    // The program-wide state of a fresh start on these roots.
    void Reset() const {
        qv::ResetAppState();
        qv::App().MstsRootFolder = msts;
        qv::App().StoreRootFolder = store;
        qv::App().ProgramTitle = QStringLiteral("Quarvel");
    }
};

} // namespace qv::fuzz
