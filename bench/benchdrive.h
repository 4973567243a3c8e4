// The work folder every benchmark builds its installation in, mapped as drive C: with the MSTS
// folder C:\MSTS and the store C:\STORE. /dev/shm is preferred: temporary folders on disk are slow
// enough on these machines to drown what is measured.
#pragma once

#include "core/appstate.h"
#include "platform/drivemap.h"
#include "platform/winresolve.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

namespace qv {

// QUARVEL_BENCH_DIVIDE=N makes the installation N times smaller, for profiling runs that count
// instructions rather than time.
inline int BenchDivide() {
    const int divide = qEnvironmentVariableIntValue("QUARVEL_BENCH_DIVIDE");
    return divide > 1 ? divide : 1;
}

inline QString WorkBase() {
    if (QDir(QStringLiteral("/dev/shm")).exists())
        return QStringLiteral("/dev/shm");
    return QCoreApplication::applicationDirPath();
}

// Maps a work folder as drive C: and starts afresh on it, as the program does when it starts.
inline void UseBenchDrive(const QString& folder) {
    DriveMap drives;
    drives.SetDrive(u'C', folder);
    SetDriveMap(drives);
    ClearFolderCache();
    ResetAppState();
    App().MstsRootFolder = QStringLiteral("C:\\MSTS");
    App().StoreRootFolder = QStringLiteral("C:\\STORE");
}

// Makes the work folder and maps it; false (with a message) when it cannot be made.
inline bool MapBenchDrive(QTemporaryDir& work) {
    if (!work.isValid()) {
        std::fprintf(stderr, "cannot make a work folder below %s\n", qPrintable(WorkBase()));
        return false;
    }
    UseBenchDrive(work.path());
    return true;
}

} // namespace qv
