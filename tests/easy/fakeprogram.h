// A stand-in for an outside program in launch tests: a shell script below the test's drive C
// that records its current folder and arguments, then runs on while the test's folder exists
// (about 20 seconds at most), so that a test can tell a launch that waited from one that did not.
#pragma once

#include "fixtures/tempmsts.h"
#include "platform/drivemap.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace qv {

class FakeProgram {
public:
    FakeProgram(TempMsts& drive, const QString& name)
        : record_(drive.Host(name + QStringLiteral(".txt"))) {
        const QByteArray record = record_.toUtf8();
        const QString script = QStringLiteral("Prog/") + name + QStringLiteral(".sh");
        drive.MakeFile(script,
                       "#!/bin/sh\nexec >/dev/null 2>&1\nprintf '%s\\n' \"$PWD\" \"$@\" > '" +
                           record + ".tmp'\nmv '" + record + ".tmp' '" + record +
                           "'\nfor i in $(seq 400); do [ -d '" + drive.DriveC().toUtf8() +
                           "' ] || break; sleep 0.05; done\n: > '" + record + ".done'\n");
        QFile::setPermissions(drive.Host(script),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        path_ = ToWindowsForm(drive.Host(script));
    }
    // The program's path as a setting holds it (Windows form).
    const QString& Path() const { return path_; }
    // Its folder and arguments, once it has run; empty when it did not run within `ms`.
    QStringList Ran(int ms = 10000) const {
        QFile file(record_);
        QElapsedTimer timer;
        timer.start();
        while (!file.exists() && timer.elapsed() < ms)
            QThread::msleep(20);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    // It was started and has not ended yet.
    bool StillRunning() const {
        return !Ran().isEmpty() && !QFile::exists(record_ + QStringLiteral(".done"));
    }

private:
    QString record_;
    QString path_;
};

} // namespace qv
