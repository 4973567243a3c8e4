// The 3-D canvas on a viewer window: an OpenGL widget that draws the frame the models put
// together (the most detailed level of each shape, its textures uploaded once per file and
// shared), lit by the ambient light and one light from the side.
#pragma once

#include "viewer/canvas.h"

#include <QElapsedTimer>
#include <QHash>
#include <QOpenGLWidget>
#include <functional>

class QOpenGLFunctions_2_0;

namespace qv {

class ViewerCanvas : public QOpenGLWidget, public Canvas {
    Q_OBJECT
public:
    explicit ViewerCanvas(QWidget* parent = nullptr);
    ~ViewerCanvas() override;

    bool Startup() override;
    void Reset() override;
    void Refresh() override;
    void ShowOptions() override;
    bool SaveImage() override;
    void About() override;
    bool HasDevice() const override;
    QString FailureText() const override { return failure_; }

    // The graphics card's vendor, renderer and version, once the widget has drawn.
    QString GlVendor() const { return vendor_; }
    QString GlRenderer() const { return renderer_; }
    QString GlVersion() const { return version_; }
    // How many textures went to the graphics card, for tests and the benchmark.
    int TextureUploads() const { return uploads_; }

    // The options dialog; tests put a script in its place.
    using OptionsEditor = std::function<bool(QWidget* parent, CanvasOptions* options)>;
    void SetOptionsEditor(OptionsEditor editor) { optionsEditor_ = std::move(editor); }

protected:
    void initializeGL() override;
    void paintGL() override;
    void SettingsChanged() override { update(); }

private:
    void SetFrameState(const Mat4& projection, const Mat4& view);
    void SetBatchState(bool lit, unsigned texture, AlphaMode alpha);
    void EndFrameState();
    void DrawScene();
    void WarmUp();
    void DrawOne(const qv::DrawItem& item, const Mat4& view, bool blendedPass);
    unsigned TextureFor(const std::shared_ptr<const CanvasTexture>& texture);
    void DrawFrameRate();
    void FreeTextures();

    QOpenGLFunctions_2_0* gl_ = nullptr;
    bool startedUp_ = false;
    bool failed_ = false;
    QString failure_;
    QString vendor_, renderer_, version_;
    // GL textures by the texels they hold; the texels are kept while their texture lives.
    QHash<const CanvasTexture*, unsigned> textures_;
    std::vector<std::shared_ptr<const CanvasTexture>> uploaded_;
    int uploads_ = 0;
    QElapsedTimer frameClock_;
    double framesPerSecond_ = 0;
    OptionsEditor optionsEditor_;
};

} // namespace qv
