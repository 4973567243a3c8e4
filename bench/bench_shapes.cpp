// Reading the real MSTS shape in both of its encodings (UTF-16 text; binary, compressed) into
// the shape model, against the bare reading and inflating of the same bytes (the container
// alone). Both are measured side by side in one run, each the quickest of several rounds, and
// printed as a ratio; the target is at most 3 for each encoding, and the exit status is
// non-zero when either misses it. The text form's long lists are read on several threads while
// the bare read is one file read on one thread (threads would gain it little: it is a copy of
// the bytes), so the text read on one thread is printed too. Reading the text file as MSTS
// text, what every other MSTS reader of the program starts from, is printed for information.
#include "graphics/acefile.h"
#include "graphics/shapereader.h"
#include "graphics/simisfile.h"
#include "platform/drivemap.h"
#include "platform/mstsfile.h"
#include "platform/workers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace qv;

namespace {

constexpr int kRounds = 15;

// The quickest of the rounds, in milliseconds.
double QuickestMs(const std::function<bool()>& run) {
    double best = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        if (!run())
            return -1;
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

QString RealPath(const char* file) {
    return ToWindowsForm(QStringLiteral(QUARVEL_REALDATA_DIR "/shapes/") + QLatin1String(file));
}

// The container alone: the file read and, when compressed, inflated.
double BareReadMs(const QString& path, QString* error) {
    return QuickestMs([&] {
        SimisBody body;
        return LoadSimisFile(path, &body, error);
    });
}

// Prints one encoding's lines; false when the shape could not be read or the ratio misses.
bool Measure(const char* name, const char* file, bool text) {
    const QString path = RealPath(file);
    QString error;
    const double bare = BareReadMs(path, &error);
    ShapeModel model;
    const auto read = [&] { return ReadShapeFile(path, &model, &error); };
    const double full = QuickestMs(read);
    if (bare < 0 || full < 0) {
        std::printf("%s: cannot be read: %s\n", name, qPrintable(error));
        return false;
    }
    const double ratio = full / std::max(bare, 1e-3);
    std::printf("%s (%s): read and inflate %.2f ms; read into the model %.2f ms; ratio %.2f "
                "(target at most 3: %s)\n",
                name, file, bare, full, ratio, ratio <= 3 ? "met" : "missed");
    if (!text)
        return ratio <= 3;
    LimitWorkers(1);
    const double oneThread = QuickestMs(read);
    LimitWorkers(0);
    std::printf("    on one thread, like the bare read: read into the model %.2f ms; ratio %.2f "
                "(information)\n",
                oneThread, oneThread / std::max(bare, 1e-3));
    QString decoded;
    const double decode = QuickestMs([&] { return ReadMstsTextFile(path, &decoded); });
    std::printf("    read and decode as MSTS text %.2f ms; ratio of the model read %.2f "
                "(information)\n",
                decode, full / std::max(decode, 1e-3));
    return ratio <= 3;
}

// The real texture decoded into pixels against its bare read and inflate; printed only, the
// texture has no target of its own.
void MeasureTexture(const char* file) {
    const QString path = RealPath(file);
    QString error;
    const double bare = BareReadMs(path, &error);
    AceTexture texture;
    const double full = QuickestMs([&] { return LoadAceFile(path, &texture, &error); });
    if (bare < 0 || full < 0) {
        std::printf("texture: cannot be read: %s\n", qPrintable(error));
        return;
    }
    std::printf("texture (%s): read and inflate %.2f ms; read into pixels %.2f ms; ratio %.2f\n",
                file, bare, full, full / std::max(bare, 1e-3));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool text = Measure("text shape", "DK10f_A1tPnt5dLft.s", true);
    const bool binary = Measure("compressed binary shape", "DK10f_A1tPnt5dLft_compressed.s", false);
    MeasureTexture("woda.ace");
    return text && binary ? 0 : 1;
}
