// Loading a twelve-vehicle consist onto the 3-D canvas and drawing its first frame, against the
// bare reading and inflating of the distinct files it uses. The consist repeats the real shape
// and two synthetic ones; each shape and texture must be read and uploaded once and shared by
// every vehicle that uses it. The canvas and its OpenGL context are made before the clock
// starts; each round starts from a new canvas, and the quickest round counts. Target: at most 3.
#include "easy/fakewindow/xserver.h"
#include "graphics/simisfile.h"
#include "viewer/canvastestkit.h"
#include "viewer/forms/viewercanvas.h"
#include "viewer/viewerwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>

using namespace qv;

namespace {

constexpr int kRounds = 5;

struct Vehicle {
    QString shape;
    float length;
    bool flipped;
};

// Loads the consist as the viewer windows do and draws it once; the milliseconds it took.
double LoadAndDraw(const std::vector<Vehicle>& consist, int* uploads, int* shapeReads,
                   int* textureReads) {
    ViewerCanvas canvas;
    canvas.resize(864, 127);
    canvas.show();
    if (!canvas.Startup())
        return -1;
    canvas.grabFramebuffer(); // the context exists before the clock starts
    QElapsedTimer timer;
    timer.start();
    canvas.InitDefaults();
    canvas.SetViewParams(kCanvasFieldOfView, 1.0f, 100.0f);
    std::vector<std::shared_ptr<CanvasModel>> models;
    float along = 0, targetY = 2;
    for (const Vehicle& vehicle : consist) {
        std::shared_ptr<CanvasModel> shared;
        for (const auto& model : models)
            if (model->Shape()->path.compare(vehicle.shape, Qt::CaseInsensitive) == 0) {
                shared = model;
                break;
            }
        SVIEWModelInfo info;
        info.Flipped = vehicle.flipped;
        info.Centre = along + vehicle.length / 2;
        auto model = LoadShapeModel(canvas, info, vehicle.shape, shared);
        if (!model) {
            std::printf("cannot load %s\n", qPrintable(vehicle.shape));
            return -1;
        }
        along += vehicle.length;
        float x, y, z, size;
        model->SizeQuery(&x, &y, &z, &size);
        targetY = y;
        models.push_back(std::move(model));
    }
    canvas.SetCamera({30, targetY, along / 2}, {0, targetY, along / 2}, {0, 1, 0});
    if (!canvas.BeginScene())
        return -1;
    for (const auto& model : models)
        model->Draw(1, 0);
    canvas.EndScene();
    if (canvas.grabFramebuffer().isNull())
        return -1;
    const double ms = timer.nsecsElapsed() / 1e6;
    *uploads = canvas.TextureUploads();
    *shapeReads = canvas.Library().ShapeReads();
    *textureReads = canvas.Library().TextureReads();
    return ms;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (testing::EnsureXServer() != testing::XServer::Available) {
        std::printf("no X server: the canvas cannot be measured\n");
        return 1;
    }
    test::StockFolder folder;
    QFile real(QStringLiteral(QUARVEL_REALDATA_DIR "/shapes/DK10f_A1tPnt5dLft_compressed.s"));
    QFile texture(QStringLiteral(QUARVEL_REALDATA_DIR "/shapes/woda.ace"));
    if (!folder.Ok() || !real.open(QIODevice::ReadOnly) || !texture.open(QIODevice::ReadOnly) ||
        !folder.Write(QStringLiteral("TRAINSET/REAL/real.s"), real.readAll()) ||
        !folder.Write(QStringLiteral("TRAINSET/textures/woda.ace"), texture.readAll()) ||
        !folder.Write(QStringLiteral("TRAINSET/BOXA/boxa.s"),
                      test::BoxBinaryFile({.imageName = QStringLiteral("woda.ace")})) ||
        !folder.Write(
            QStringLiteral("TRAINSET/BOXB/boxb.s"),
            test::BoxTextFile({.animatedFlag = true, .imageName = QStringLiteral("woda.ace")}))) {
        std::printf("cannot lay out the test consist\n");
        return 1;
    }
    const QString realShape = folder.Windows(QStringLiteral("TRAINSET/REAL/real.s"));
    const QString boxA = folder.Windows(QStringLiteral("TRAINSET/BOXA/boxa.s"));
    const QString boxB = folder.Windows(QStringLiteral("TRAINSET/BOXB/boxb.s"));
    std::vector<Vehicle> consist;
    for (int i = 0; i < 4; ++i) {
        consist.push_back({realShape, 80, i % 2 == 1});
        consist.push_back({boxA, 6, false});
        consist.push_back({boxB, 6, true});
    }
    const QStringList distinct = {realShape, boxA, boxB,
                                  folder.Windows(QStringLiteral("TRAINSET/textures/woda.ace"))};

    double bare = 1e30, full = 1e30;
    int uploads = 0, shapeReads = 0, textureReads = 0;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (const QString& file : distinct) {
            SimisBody body;
            QString error;
            if (!LoadSimisFile(file, &body, &error)) {
                std::printf("cannot read %s: %s\n", qPrintable(file), qPrintable(error));
                return 1;
            }
        }
        bare = std::min(bare, timer.nsecsElapsed() / 1e6);
        const double ms = LoadAndDraw(consist, &uploads, &shapeReads, &textureReads);
        if (ms < 0) {
            std::printf("the canvas could not load or draw the consist\n");
            return 1;
        }
        full = std::min(full, ms);
    }
    const double ratio = full / std::max(bare, 1e-3);
    std::printf("twelve vehicles, %d distinct files: read and inflate %.2f ms; load to first "
                "frame %.2f ms; ratio %.2f (target at most 3: %s)\n",
                int(distinct.size()), bare, full, ratio, ratio <= 3 ? "met" : "missed");
    std::printf("    shapes read %d, textures read %d, textures uploaded %d (each once: %s)\n",
                shapeReads, textureReads, uploads,
                shapeReads == 3 && textureReads == 1 && uploads == 1 ? "yes" : "no");
    return ratio <= 3 ? 0 : 1;
}
