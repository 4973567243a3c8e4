#include "viewer/canvas.h"

#include "viewer/texturelookup.h"

#include <cmath>

namespace qv {

Mat4 ViewMatrix(const CanvasView& view) {
    return MatrixLookAt(view.eye, view.target, view.up);
}

Mat4 ProjectionMatrix(const CanvasView& view, bool orthogonal, int width, int height) {
    const float aspect = height > 0 ? float(width) / float(height) : 1.0f;
    if (!orthogonal)
        return MatrixPerspective(view.fieldOfView, aspect, view.nearPlane, view.farPlane);
    // The orthogonal view shows what the perspective one shows at the target's distance.
    const float dx = view.target.x - view.eye.x, dy = view.target.y - view.eye.y,
                dz = view.target.z - view.eye.z;
    const float distance = std::max(std::sqrt(dx * dx + dy * dy + dz * dz), view.nearPlane);
    const float tall = 2 * distance * std::tan(view.fieldOfView / 2);
    return MatrixOrthogonal(tall * aspect, tall, view.nearPlane, view.farPlane);
}

Vec3 LightDirection(int lightAngle) {
    const float pi = 3.14159265358979f;
    const float turn = float(lightAngle) / 4.0f * pi / 180.0f;
    const float flat = std::cos(pi / 4);
    return {std::sin(turn) * flat, std::sin(pi / 4), std::cos(turn) * flat};
}

void WindowsColourRgb(quint32 colour, float rgb[3]) {
    rgb[0] = float(colour & 0xFF) / 255.0f;
    rgb[1] = float((colour >> 8) & 0xFF) / 255.0f;
    rgb[2] = float((colour >> 16) & 0xFF) / 255.0f;
}

void ArgbColourRgb(quint32 colour, float rgb[3]) {
    rgb[0] = float((colour >> 16) & 0xFF) / 255.0f;
    rgb[1] = float((colour >> 8) & 0xFF) / 255.0f;
    rgb[2] = float(colour & 0xFF) / 255.0f;
}

Canvas::~Canvas() = default;

void Canvas::InitDefaults() {
    view_ = CanvasView{};
    background_ = kCanvasBackground;
    ambient_ = kCanvasAmbient;
    lightAngle_ = kCanvasLightAngle;
    orthogonal_ = false;
    showFrameRate_ = false;
    options_ = CanvasOptions{};
    SettingsChanged();
}

void Canvas::SetViewParams(float fieldOfView, float nearPlane, float farPlane) {
    // A view that cannot be projected keeps the last good one.
    if (!(fieldOfView > 0 && fieldOfView < 3.14f) || !(nearPlane > 0) || !(farPlane > nearPlane))
        return;
    view_.fieldOfView = fieldOfView;
    view_.nearPlane = nearPlane;
    view_.farPlane = farPlane;
}

void Canvas::SetCamera(const Vec3& eye, const Vec3& target, const Vec3& up) {
    view_.eye = eye;
    view_.target = target;
    view_.up = up;
}

bool Canvas::BeginScene() {
    if (!HasDevice())
        return false;
    building_.clear();
    inScene_ = true;
    return true;
}

void Canvas::AddToScene(DrawItem item) {
    if (inScene_)
        building_.push_back(std::move(item));
}

void Canvas::EndScene() {
    if (!inScene_)
        return;
    inScene_ = false;
    scene_ = std::move(building_);
    building_.clear();
    Refresh();
}

void Canvas::SetBackgroundColour(quint32 colour) {
    background_ = colour & 0xFFFFFF;
    SettingsChanged();
}

void Canvas::SetAmbient(quint32 colour) {
    ambient_ = colour;
    SettingsChanged();
}

void Canvas::SetLightAngle(int angle) {
    lightAngle_ = angle;
    SettingsChanged();
}

void Canvas::SetOrthogonal(bool on) {
    orthogonal_ = on;
    SettingsChanged();
}

void Canvas::SetShowFrameRate(bool on) {
    showFrameRate_ = on;
    SettingsChanged();
}

void Canvas::SetOptions(const CanvasOptions& options) {
    options_ = options;
    SettingsChanged();
}

bool CanvasModel::LoadShape(const QString& path) {
    error_.clear();
    warnings_.clear();
    textures_.clear();
    texturesLoaded_ = false;
    shape_ = device_->Library().Shape(path, &error_);
    if (!shape_)
        return false;
    textures_.resize(shape_->model.images.size());
    if (!ownTextures_)
        return true;
    for (size_t i = 0; i < textures_.size(); ++i) {
        // Only images that some drawn part uses are read.
        bool used = false;
        for (const ShapeBatch& batch : shape_->batches)
            used |= batch.image == int(i);
        if (!used)
            continue;
        QString file, reason;
        if (!FindTextureFile(path, textureFolder_, shape_->model.images[i], &file, &reason)) {
            warnings_.append(reason);
            continue;
        }
        textures_[i] = device_->Library().Texture(file, &reason);
        if (!textures_[i])
            warnings_.append(
                QStringLiteral("the texture \"%1\" cannot be read: %2").arg(file, reason));
    }
    texturesLoaded_ = true;
    return true;
}

void CanvasModel::ShareTexturesFrom(const CanvasModel& other) {
    // Textures belong to their shape's images: a model of another shape has none to give.
    if (shape_ && other.shape_ == shape_)
        textures_ = other.textures_;
}

void CanvasModel::SizeQuery(float* x, float* y, float* z, float* size) const {
    Vec3 centre;
    float radius = 0;
    if (shape_) {
        centre = TransformPoint(shape_->centre, world_);
        radius = shape_->radius;
    } else {
        centre = TransformPoint(Vec3{}, world_);
    }
    *x = centre.x;
    *y = centre.y;
    *z = centre.z;
    *size = radius;
}

void CanvasModel::Draw(int flag, float phase) {
    if (flag == 0 || !shape_)
        return;
    device_->AddToScene(DrawItem{shape_, textures_, world_, phase});
}

} // namespace qv
