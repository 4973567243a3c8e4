// The 3-D canvas that the viewer windows draw consists on, and the model of one loaded shape.
// The windows call the canvas in a fixed order: Startup, InitDefaults, SetViewParams, then
// SetCamera whenever the view changes; a frame is BeginScene, the models' Draw, EndScene. The
// canvas keeps its settings and the scene here; the drawing itself belongs to the widget that
// implements it (a fake one in the windows' tests).
#pragma once

#include "viewer/canvasmaths.h"
#include "viewer/shapelibrary.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace qv {

// The vertical field of view the windows use, pi / 8.
inline constexpr float kCanvasFieldOfView = 0.3926991f;
inline constexpr float kCanvasNearPlane = 1.0f;
inline constexpr float kCanvasFarPlane = 100.0f;
// The background as a Windows colour value (0x00BBGGRR): a light sky blue.
inline constexpr quint32 kCanvasBackground = 0xF0CAA6;
// The ambient light as alpha, red, green, blue.
inline constexpr quint32 kCanvasAmbient = 0xFF505050;
// The light comes from this direction about the vertical axis, in quarter degrees from the
// consist's forward direction towards the normal viewing side; the other side mirrors it as
// 1440 minus the value.
inline constexpr int kCanvasLightAngle = 300;

// What the options dialog switches.
struct CanvasOptions {
    bool textures = true;
    bool lighting = true;
    bool wireframe = false;
    bool culling = true;
    bool operator==(const CanvasOptions&) const = default;
};

struct CanvasView {
    float fieldOfView = kCanvasFieldOfView;
    float nearPlane = kCanvasNearPlane;
    float farPlane = kCanvasFarPlane;
    Vec3 eye{15, 2, 0};
    Vec3 target{0, 2, 0};
    Vec3 up{0, 1, 0};
};

// One model's part of a frame: what to draw, with which textures (by image index, null for an
// image that draws untextured), where and at which animation phase.
struct DrawItem {
    std::shared_ptr<const CanvasShape> shape;
    std::vector<std::shared_ptr<const CanvasTexture>> textures;
    Mat4 world;
    float phase = 0;
};

// The camera's view and projection for a canvas of width x height pixels.
Mat4 ViewMatrix(const CanvasView& view);
Mat4 ProjectionMatrix(const CanvasView& view, bool orthogonal, int width, int height);
// The direction towards the light (a unit vector) for a light angle in quarter degrees; the
// light falls from 45 degrees above the horizon.
Vec3 LightDirection(int lightAngle);
// Red, green and blue (0 to 1) of a Windows colour value and of an alpha-red-green-blue value.
void WindowsColourRgb(quint32 colour, float rgb[3]);
void ArgbColourRgb(quint32 colour, float rgb[3]);

class Canvas {
public:
    virtual ~Canvas();

    // Makes the canvas ready to draw; false, with FailureText, when this machine cannot draw.
    virtual bool Startup() = 0;
    // The settings and view as a new canvas has them.
    virtual void InitDefaults();
    void SetViewParams(float fieldOfView, float nearPlane, float farPlane);
    void SetCamera(const Vec3& eye, const Vec3& target, const Vec3& up);
    const CanvasView& View() const { return view_; }

    // True when drawing may go on; the frame is then collected until EndScene shows it.
    virtual bool BeginScene();
    void AddToScene(DrawItem item);
    virtual void EndScene();
    // The frame shown last.
    const std::vector<DrawItem>& Scene() const { return scene_; }

    // After a resize: the widget takes its new size; Refresh draws the frame again.
    virtual void Reset() = 0;
    virtual void Refresh() = 0;
    virtual void ShowOptions() = 0;
    // Writes a picture of the frame to the file-name prefix with the next free number; false
    // when it could not be written (the user is told why).
    virtual bool SaveImage() = 0;
    virtual void About() = 0;
    // True once Startup succeeded.
    virtual bool HasDevice() const = 0;
    virtual QString FailureText() const = 0;

    quint32 BackgroundColour() const { return background_; }
    void SetBackgroundColour(quint32 colour);
    quint32 Ambient() const { return ambient_; }
    void SetAmbient(quint32 colour);
    int LightAngle() const { return lightAngle_; }
    void SetLightAngle(int angle);
    bool Orthogonal() const { return orthogonal_; }
    void SetOrthogonal(bool on);
    bool ShowFrameRate() const { return showFrameRate_; }
    void SetShowFrameRate(bool on);
    QString FileName() const { return fileName_; }
    void SetFileName(const QString& prefix) { fileName_ = prefix; }
    const CanvasOptions& Options() const { return options_; }
    void SetOptions(const CanvasOptions& options);

    // The shapes and textures read for this canvas, shared by its models.
    ShapeLibrary& Library() { return library_; }

protected:
    // A setting changed that the frame shows.
    virtual void SettingsChanged() {}

private:
    CanvasView view_;
    quint32 background_ = kCanvasBackground;
    quint32 ambient_ = kCanvasAmbient;
    int lightAngle_ = kCanvasLightAngle;
    bool orthogonal_ = false;
    bool showFrameRate_ = false;
    QString fileName_;
    CanvasOptions options_;
    bool inScene_ = false;
    std::vector<DrawItem> building_;
    std::vector<DrawItem> scene_;
    ShapeLibrary library_;
};

// One loaded shape on a canvas, used in this order: texture folder, own-texture switch, load,
// texture sharing, world matrix, size query, draws.
class CanvasModel {
public:
    explicit CanvasModel(Canvas* device) : device_(device) {}

    // The folder of textures not found beside the shape, relative to the shape's folder.
    void SetTextureFolder(const QString& folder) { textureFolder_ = folder; }
    // Off when another model holds the same shape: its textures are taken instead of read.
    void SetOwnTextures(bool on) { ownTextures_ = on; }
    // Reads the shape (once per canvas) and, with own textures on, its textures. False with
    // Error() when the shape cannot be read; a texture that cannot be read only adds a warning
    // and leaves its parts untextured.
    bool LoadShape(const QString& path);
    // True when the last load read the textures itself.
    bool TexturesLoaded() const { return texturesLoaded_; }
    void ShareTexturesFrom(const CanvasModel& other);
    void SetWorldMatrix(const Mat4& world) { world_ = world; }
    const Mat4& WorldMatrix() const { return world_; }
    // The centre of the shape's bounding sphere where the world matrix puts it, and its radius
    // in metres.
    void SizeQuery(float* x, float* y, float* z, float* size) const;
    // Adds the model to the canvas's frame (flag non-zero) at the animation phase (0 to 1).
    void Draw(int flag, float phase);

    bool Loaded() const { return shape_ != nullptr; }
    const QString& Error() const { return error_; }
    const QStringList& Warnings() const { return warnings_; }
    const std::shared_ptr<const CanvasShape>& Shape() const { return shape_; }
    const std::vector<std::shared_ptr<const CanvasTexture>>& Textures() const { return textures_; }

private:
    Canvas* device_;
    QString textureFolder_;
    bool ownTextures_ = true;
    bool texturesLoaded_ = false;
    std::shared_ptr<const CanvasShape> shape_;
    std::vector<std::shared_ptr<const CanvasTexture>> textures_;
    Mat4 world_;
    QString error_;
    QStringList warnings_;
};

} // namespace qv
