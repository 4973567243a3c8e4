// What the move-phase and whole-job tests share: file operations that count, fail once or stop
// the job for good at a chosen operation (as if the program had been killed there), and the
// content of the two folders as (relative path, content hash) pairs, so that a test can check
// that no file was lost, damaged or duplicated.
#pragma once

#include "core/appstate.h"
#include "core/filemoveops.h"
#include "platform/winresolve.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStringList>
#include <cerrno>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

namespace qv {

// Makes the temporary folders created while it is in force in memory (/dev/shm) when the machine
// has it: tests that run a job hundreds of times would otherwise wait mostly for the disk to
// flush the settings and data files every job writes. Restore() puts the old setting back.
class TempFoldersInMemory {
public:
    TempFoldersInMemory()
        : had_(qEnvironmentVariableIsSet("TMPDIR")), previous_(qgetenv("TMPDIR")) {
        const QFileInfo shm(QStringLiteral("/dev/shm"));
        if (shm.isDir() && shm.isWritable())
            qputenv("TMPDIR", "/dev/shm");
    }
    ~TempFoldersInMemory() { Restore(); }
    void Restore() {
        if (had_)
            qputenv("TMPDIR", previous_);
        else
            qunsetenv("TMPDIR");
    }

private:
    bool had_;
    QByteArray previous_;
};

// Thrown by JobOps at its crash point: nothing after it touches the disk.
struct SimulatedCrash {};

// The default operations, counted. The failAt-th one fails with EIO; from the crashAt-th on the
// job is gone (SimulatedCrash). Successful renames are counted apart: a job that moves nothing
// renames nothing. Every path an operation is given is recorded. With `stepByStep` no file is
// renamed in one step settled by the listings: every move takes the operations it is made of.
class JobOps : public FileMoveOps {
public:
    int count = 0;
    int renames = 0;
    int failAt = 0;
    int crashAt = 0;
    bool stepByStep = false;
    QStringList paths;

    void Reset() {
        count = renames = failAt = crashAt = 0;
        paths.clear();
    }

    bool Find(const QString& p, FindEntry* e, int* err) override {
        return Step(err, {p}) && FileMoveOps::Find(p, e, err);
    }
    bool List(const QString& p, QList<FindEntry>* e, int* err) override {
        return Step(err, {p}) && FileMoveOps::List(p, e, err);
    }
    bool SetAttributes(const QString& p, quint32 a, int* err) override {
        return Step(err, {p}) && FileMoveOps::SetAttributes(p, a, err);
    }
    bool Rename(const QString& from, const QString& to, int* err) override {
        const bool done = Step(err, {from, to}) && FileMoveOps::Rename(from, to, err);
        renames += done ? 1 : 0;
        return done;
    }
    ListedRename RenameListed(const QString& from, const QString& to, QString* renamedTo,
                              int* err) override {
        if (stepByStep)
            return ListedRename::NotSettled;
        if (!Step(err, {from, to}))
            return ListedRename::Failed;
        const ListedRename done = FileMoveOps::RenameListed(from, to, renamedTo, err);
        renames += done == ListedRename::Renamed ? 1 : 0;
        return done;
    }
    bool Copy(const QString& s, const QString& t, int* err) override {
        return Step(err, {s, t}) && FileMoveOps::Copy(s, t, err);
    }
    bool Delete(const QString& p, int* err) override {
        return Step(err, {p}) && FileMoveOps::Delete(p, err);
    }
    bool RemoveFolder(const QString& p, int* err) override {
        return Step(err, {p}) && FileMoveOps::RemoveFolder(p, err);
    }
    bool MakeFolders(const QString& p, int* err) override {
        return Step(err, {p}) && FileMoveOps::MakeFolders(p, err);
    }
    bool MakeFoldersTogether(const QStringList& p, int* err) override {
        return Step(err, p) && FileMoveOps::MakeFoldersTogether(p, err);
    }

private:
    bool Step(int* err, const QStringList& given) {
        ++count;
        for (const QString& path : given)
            paths << path;
        if (crashAt > 0 && count >= crashAt)
            throw SimulatedCrash{};
        if (count != failAt)
            return true;
        if (err)
            *err = EIO;
        return false;
    }
};

// The files below a host folder as small-letter relative path -> SHA-1 of the content; the
// store's own data folder (QVDATA at the top) is left out, since every job rewrites it.
inline QMap<QString, QByteArray> FilesBelow(const QString& hostRoot) {
    QMap<QString, QByteArray> files;
    const QDir root(hostRoot);
    QDirIterator it(hostRoot, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = root.relativeFilePath(path).toLower();
        if (relative.startsWith(QLatin1String("qvdata/")))
            continue;
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files[relative] = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
    }
    return files;
}

// Both folders together as sorted "path hash" lines: the same before and after a job when no
// file was lost, damaged or left in both places.
inline QStringList ContentOfBoth(const QString& mstsHost, const QString& storeHost) {
    QStringList lines;
    for (const QString& host : {mstsHost, storeHost}) {
        const QMap<QString, QByteArray> files = FilesBelow(host);
        for (auto it = files.begin(); it != files.end(); ++it)
            lines << it.key() + QLatin1Char(' ') + QString::fromLatin1(it.value().toHex());
    }
    lines.sort();
    return lines;
}

// The small-letter relative paths of the files below a host folder (QVDATA left out).
inline QStringList PathsBelow(const QString& hostRoot) {
    return FilesBelow(hostRoot).keys();
}

// A new run of the program after the last one ended or was killed: none of its state is left.
inline void RestartProgram() {
    ResetAppState();
    ClearFolderCache();
    App().MstsRootFolder = QStringLiteral("C:\\MSTS");
    App().StoreRootFolder = QStringLiteral("C:\\STORE");
}

// A list as one text, so that a failed comparison shows it readably.
inline std::string Text(const QStringList& list) {
    return list.join(QLatin1Char('\n')).toStdString();
}

// A job with a fault at each of its file operations in turn, and then killed from each one on,
// once with every file moved step by step (more than `leastStepByStep` operations) and once with
// the one-step renames (fewer). `fresh` makes an installation no job ran on, `run` runs the job
// (true when it says it succeeded), `clean` is called after an undisturbed run, and `check(at)`
// after the program was started again, to check what the disturbed run left and what running
// the job again gives.
template <typename Fresh, typename Run, typename Clean, typename Check>
void AtEveryOperation(JobOps& ops, int leastStepByStep, const Fresh& fresh, const Run& run,
                      const Clean& clean, const Check& check) {
    int stepByStepTotal = 0;
    for (const bool stepByStep : {true, false}) {
        fresh();
        ops.Reset();
        ops.stepByStep = stepByStep;
        ASSERT_TRUE(run());
        clean();
        const int total = ops.count;
        if (stepByStep) {
            ASSERT_GT(total, leastStepByStep);
            stepByStepTotal = total;
        } else {
            ASSERT_LT(total, stepByStepTotal) << "the renames in one step were taken";
        }
        for (const bool crash : {false, true}) {
            for (int n = 1; n <= total; ++n) {
                fresh();
                ops.Reset();
                (crash ? ops.crashAt : ops.failAt) = n;
                try {
                    run();
                } catch (const SimulatedCrash&) {
                }
                ops.Reset();
                RestartProgram();
                check(std::string(stepByStep ? "step by step, " : "in one step, ") +
                      (crash ? "crash at " : "fault at ") + std::to_string(n));
                if (::testing::Test::HasFatalFailure())
                    return;
            }
        }
    }
}

} // namespace qv
