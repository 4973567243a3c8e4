// The canvas drawing for real: Mesa's software renderer on an X server of the test's own, the
// frame read back from the widget.
#include "canvastestkit.h"
#include "easy/fakewindow/xserver.h"
#include "platform/fakeui.h"
#include "viewer/forms/viewercanvas.h"

#include <QFile>
#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>

namespace qv {
namespace {

const QRgb kBackground = qRgb(0xA6, 0xCA, 0xF0);
const QRgb kRed = qRgb(0xFF, 0, 0);
const QRgb kBlue = qRgb(0, 0, 0xFF);

// Says which colour was found when it is not near the one wanted.
::testing::AssertionResult Near(QRgb a, QRgb b, int tolerance = 8) {
    if (std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
        std::abs(qBlue(a) - qBlue(b)) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << QStringLiteral("%1").arg(a & 0xFFFFFF, 6, 16, QChar(u'0')).toStdString();
}

int Covered(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += Near(image.pixel(x, y), kBackground, 2) ? 0 : 1;
    return count;
}

class CanvasRender : public ::testing::Test {
protected:
    void SetUp() override {
        QV_REQUIRE_X_SERVER();
        ASSERT_TRUE(folder.Ok());
        canvas = std::make_unique<ViewerCanvas>();
        canvas->resize(200, 60);
        canvas->show();
        // The order the viewer windows use.
        ASSERT_TRUE(canvas->Startup()) << canvas->FailureText().toStdString();
        canvas->InitDefaults();
        canvas->SetViewParams(kCanvasFieldOfView, 1.0f, 100.0f);
        canvas->SetCamera({10, 0, 0}, {0, 0, 0}, {0, 1, 0});
    }

    // Writes a box and its texture, loads it as one vehicle and returns the model.
    CanvasModel* AddBox(const test::BoxOptions& options, bool flipped, float centre = 0) {
        const QString name = QStringLiteral("TRAINSET/BOX%1/box.s").arg(++boxes);
        EXPECT_TRUE(folder.Write(name, test::BoxTextFile(options)));
        EXPECT_TRUE(folder.Write(QStringLiteral("TRAINSET/BOX%1/box.ace").arg(boxes),
                                 test::BoxTexture(options.maskedBlue)));
        return AddModel(folder.Windows(name), flipped, centre);
    }

    CanvasModel* AddModel(const QString& path, bool flipped, float centre = 0) {
        auto model = std::make_unique<CanvasModel>(canvas.get());
        model->SetTextureFolder(QStringLiteral("..\\textures\\"));
        EXPECT_TRUE(model->LoadShape(path)) << model->Error().toStdString();
        model->SetWorldMatrix(VehicleWorldMatrix(flipped, centre));
        models.push_back(std::move(model));
        return models.back().get();
    }

    QImage Frame(float phase = 0) {
        EXPECT_TRUE(canvas->BeginScene());
        for (const auto& model : models)
            model->Draw(1, phase);
        canvas->EndScene();
        return canvas->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    }

    test::StockFolder folder;
    std::unique_ptr<ViewerCanvas> canvas;
    std::vector<std::unique_ptr<CanvasModel>> models;
    int boxes = 0;
};

TEST_F(CanvasRender, BoxShowsItsTexturedSideAgainstTheBackground) {
    struct Case {
        const char* name;
        test::BoxOptions options;
        bool flipped;
        QRgb centre;
    } cases[] = {
        // Not flipped, a vehicle is turned half round: its -x side faces the camera.
        {"vehicle as it stands", {}, false, kBlue},
        {"flipped vehicle shows its other side", {}, true, kRed},
        {"masked texels show the background", {.maskedBlue = true}, false, kBackground},
        {"unmasked side of a masked texture", {.maskedBlue = true}, true, kRed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        models.clear();
        AddBox(c.options, c.flipped);
        const QImage image = Frame();
        ASSERT_EQ(image.size(), QSize(200, 60));
        EXPECT_TRUE(Near(image.pixel(100, 30), c.centre));
        for (QPoint corner : {QPoint(0, 0), QPoint(199, 0), QPoint(0, 59), QPoint(199, 59)})
            EXPECT_TRUE(Near(image.pixel(corner), kBackground, 0));
    }
}

TEST_F(CanvasRender, LitSideIsBrighterTowardsTheLightAndWithMoreAmbient) {
    AddBox({.shader = QStringLiteral("TexDiff")}, false);
    const int towards = qBlue(Frame().pixel(100, 30));
    // The other side's light, mirrored across the consist, leaves this side in ambient light.
    canvas->SetLightAngle(1440 - kCanvasLightAngle);
    const int away = qBlue(Frame().pixel(100, 30));
    canvas->SetAmbient(kCanvasAmbient + 0x202020);
    const int brighter = qBlue(Frame().pixel(100, 30));
    EXPECT_GT(towards, away + 60);
    EXPECT_NEAR(away, 0x50, 4); // the ambient light alone on a full blue
    EXPECT_NEAR(brighter, 0x70, 4);
    // With lighting switched off in the options the texels show as they are.
    CanvasOptions options;
    options.lighting = false;
    canvas->SetOptions(options);
    EXPECT_TRUE(Near(Frame().pixel(100, 30), kBlue));
}

TEST_F(CanvasRender, OptionsChangeHowPartsAreDrawn) {
    // The masked near side lets the far side be seen from behind when back faces are drawn.
    AddBox({.maskedBlue = true}, false);
    AddBox({}, false, 6.5f); // a plain box to the right, from x 152 to 243
    struct Case {
        const char* name;
        CanvasOptions options;
        QRgb throughMask; // at the centre
        bool plainSolid;  // the plain box's side is filled
    } cases[] = {
        {"as they start", {}, kBackground, true},
        {"back faces drawn", {.culling = false}, kRed, true},
        {"textures off", {.textures = false}, qRgb(178, 178, 178), true},
        {"wireframe", {.wireframe = true}, kBackground, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CanvasOptions shown;
        canvas->SetOptionsEditor([&](QWidget*, CanvasOptions* options) {
            shown = *options;
            *options = c.options;
            return true;
        });
        canvas->ShowOptions();
        const QImage image = Frame();
        EXPECT_TRUE(Near(image.pixel(100, 30), c.throughMask));
        EXPECT_NE(bool(Near(image.pixel(175, 30), kBackground)), c.plainSolid);
        canvas->SetOptions({});
    }
}

TEST_F(CanvasRender, BlendedShaderMixesMaskedTexelsWithWhatIsBehind) {
    AddBox({.shader = QStringLiteral("BlendATex")}, true, -4); // red side towards the camera
    AddBox({.maskedBlue = true, .shader = QStringLiteral("BlendATex")}, false, 4);
    const QImage image = Frame();
    // Left of the centre the opaque red; right of it nothing of the transparent side shows.
    EXPECT_TRUE(Near(image.pixel(60, 30), kRed));
    EXPECT_TRUE(Near(image.pixel(140, 30), kBackground));
}

TEST_F(CanvasRender, OrthogonalProjectionChangesTheSilhouette) {
    AddBox({}, false);
    const QImage perspective = Frame();
    canvas->SetOrthogonal(true);
    const QImage orthogonal = Frame();
    // The near side is 9 m away: in perspective it looks larger than at the target's distance.
    EXPECT_GT(Covered(perspective), Covered(orthogonal));
    EXPECT_GT(Covered(orthogonal), 0);
}

TEST_F(CanvasRender, AnimationPhaseTurnsTheAnimatedPart) {
    AddBox({.animatedFlag = true}, false);
    const QImage start = Frame(0);
    const QImage middle = Frame(0.5f);
    // The red flag hangs above the centre at first and below it half way through.
    EXPECT_TRUE(Near(start.pixel(100, 23), kRed));
    EXPECT_TRUE(Near(start.pixel(100, 37), kBlue));
    EXPECT_TRUE(Near(middle.pixel(100, 23), kBlue));
    EXPECT_TRUE(Near(middle.pixel(100, 37), kRed));
}

TEST_F(CanvasRender, VehiclesOfOneShapeUploadItsTextureOnce) {
    const CanvasModel* first = AddBox({}, false, -7);
    const QString shape = first->Shape()->path;
    for (float centre : {0.0f, 7.0f}) {
        auto model = std::make_unique<CanvasModel>(canvas.get());
        model->SetOwnTextures(false);
        ASSERT_TRUE(model->LoadShape(shape));
        model->ShareTexturesFrom(*first);
        model->SetWorldMatrix(VehicleWorldMatrix(false, centre));
        models.push_back(std::move(model));
    }
    const QImage image = Frame();
    EXPECT_TRUE(Near(image.pixel(100, 30), kBlue));
    EXPECT_EQ(canvas->TextureUploads(), 1);
    EXPECT_EQ(canvas->Library().ShapeReads(), 1);
}

TEST_F(CanvasRender, RealShapeCoversPixelsAlikeFromTextAndBinary) {
    const QString realFolder = ToWindowsForm(QStringLiteral(QUARVEL_REALDATA_DIR "/shapes"));
    CanvasModel* text = AddModel(realFolder + QStringLiteral("\\DK10f_A1tPnt5dLft.s"), false);
    float x, y, z, size;
    text->SizeQuery(&x, &y, &z, &size);
    EXPECT_GT(size, 10);
    // Its textures are not in the test data: the track draws untextured, and says so.
    EXPECT_FALSE(text->Warnings().isEmpty());
    canvas->SetCamera({x + 60, y + 10, z}, {x, y, z}, {0, 1, 0});
    const QImage fromText = Frame();
    models.clear();
    AddModel(realFolder + QStringLiteral("\\DK10f_A1tPnt5dLft_compressed.s"), false);
    const QImage fromBinary = Frame();
    EXPECT_GT(Covered(fromText), 200);
    EXPECT_EQ(fromText, fromBinary);
}

TEST_F(CanvasRender, FrameRateOverlayIsDrawnOnTop) {
    const QImage plain = Frame();
    canvas->SetShowFrameRate(true);
    const QImage withRate = Frame();
    EXPECT_EQ(Covered(plain), 0);
    EXPECT_GT(Covered(withRate.copy(0, 0, 60, 20)), 0);
}

TEST_F(CanvasRender, ScreenshotsTakeTheNextFreeNumber) {
    AddBox({}, true);
    Frame();
    FakeUi ui;
    canvas->SetFileName(folder.Windows(QStringLiteral("shots")) + QStringLiteral("\\QVV"));
    ASSERT_TRUE(QDir().mkpath(folder.Host(QStringLiteral("shots"))));
    EXPECT_TRUE(canvas->SaveImage());
    EXPECT_TRUE(canvas->SaveImage());
    const QImage first(folder.Host(QStringLiteral("shots/QVV0001.png")));
    EXPECT_EQ(first.size(), QSize(200, 60));
    EXPECT_TRUE(Near(first.pixel(100, 30), kRed));
    EXPECT_TRUE(QFile::exists(folder.Host(QStringLiteral("shots/QVV0002.png"))));
    EXPECT_TRUE(ui.Shown().empty());
    // A folder that is not there is reported, not a crash.
    canvas->SetFileName(folder.Windows(QStringLiteral("missing")) + QStringLiteral("\\QVV"));
    EXPECT_FALSE(canvas->SaveImage());
    ASSERT_EQ(ui.Shown().size(), 1u);
    EXPECT_TRUE(ui.Shown()[0].text.contains(QLatin1String("could not be written")));
}

TEST_F(CanvasRender, AboutNamesTheOpenGlDriver) {
    Frame();
    FakeUi ui;
    ui.Expect(QStringLiteral("OpenGL renderer: "), ID_OK);
    canvas->About();
    EXPECT_TRUE(ui.Mismatches().isEmpty()) << ui.Mismatches().join(u'\n').toStdString();
    EXPECT_EQ(ui.PendingExpectations(), 0);
    EXPECT_FALSE(canvas->GlVendor().isEmpty());
}

// Without a display there is no OpenGL: the canvas says so and draws nothing.
TEST(CanvasWithoutDisplay, StartupFailsCleanly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            qunsetenv("DISPLAY");
            ViewerCanvas canvas;
            canvas.resize(200, 60);
            canvas.show();
            const bool started = canvas.Startup();
            const bool scene = canvas.BeginScene();
            std::exit(!started && !scene && !canvas.FailureText().isEmpty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace qv
