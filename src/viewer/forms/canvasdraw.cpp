// How the canvas draws a frame: OpenGL's fixed-function pipeline, fed with the shapes' batches.
// MSTS's axes are left-handed and its front faces clockwise; the view and projection keep that
// handedness all the way to the screen, so clockwise triangles are the front ones here too.
#include "viewer/forms/viewercanvas.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLFunctions_2_0>
#include <QPainter>

namespace qv {

namespace {

// The colour of parts without a texture.
constexpr float kUntextured = 0.7f;
// The light's strength beside the ambient light.
constexpr float kDiffuse = 0.75f;

} // namespace

void ViewerCanvas::paintGL() {
    if (!gl_)
        return;
    // Text painting leaves its own programs and arrays bound; the fixed pipeline needs none.
    QOpenGLFunctions* f = context()->functions();
    f->glUseProgram(0);
    f->glBindBuffer(GL_ARRAY_BUFFER, 0);
    f->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    for (unsigned i = 0; i < 4; ++i)
        f->glDisableVertexAttribArray(i);
    float background[3];
    WindowsColourRgb(BackgroundColour(), background);
    gl_->glClearColor(background[0], background[1], background[2], 1);
    gl_->glDepthMask(GL_TRUE);
    gl_->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (HasDevice())
        DrawScene();
    if (frameClock_.isValid()) {
        const qint64 ms = std::max<qint64>(frameClock_.restart(), 1);
        framesPerSecond_ = framesPerSecond_ * 0.8 + 0.2 * 1000.0 / double(ms);
    } else {
        frameClock_.start();
    }
    if (ShowFrameRate())
        DrawFrameRate();
}

void ViewerCanvas::SetFrameState(const Mat4& projection, const Mat4& view) {
    gl_->glMatrixMode(GL_PROJECTION);
    gl_->glLoadMatrixf(projection.Data());
    gl_->glMatrixMode(GL_MODELVIEW);
    gl_->glLoadMatrixf(view.Data());

    float ambient[4] = {0, 0, 0, 1};
    ArgbColourRgb(Ambient(), ambient);
    gl_->glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    const Vec3 towards = LightDirection(LightAngle());
    const float position[4] = {towards.x, towards.y, towards.z, 0};
    const float black[4] = {0, 0, 0, 1};
    const float diffuse[4] = {kDiffuse, kDiffuse, kDiffuse, 1};
    gl_->glLightfv(GL_LIGHT0, GL_POSITION, position);
    gl_->glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    gl_->glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    gl_->glLightfv(GL_LIGHT0, GL_SPECULAR, black);
    gl_->glEnable(GL_LIGHT0);
    gl_->glEnable(GL_NORMALIZE);
    gl_->glEnable(GL_COLOR_MATERIAL);
    gl_->glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    gl_->glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    gl_->glEnable(GL_DEPTH_TEST);
    gl_->glDepthFunc(GL_LEQUAL);
    gl_->glFrontFace(GL_CW);
    gl_->glCullFace(GL_BACK);
    if (Options().culling)
        gl_->glEnable(GL_CULL_FACE);
    else
        gl_->glDisable(GL_CULL_FACE);
    gl_->glPolygonMode(GL_FRONT_AND_BACK, Options().wireframe ? GL_LINE : GL_FILL);
    gl_->glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    gl_->glEnableClientState(GL_VERTEX_ARRAY);
    gl_->glEnableClientState(GL_NORMAL_ARRAY);
    gl_->glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void ViewerCanvas::EndFrameState() {
    gl_->glDisableClientState(GL_VERTEX_ARRAY);
    gl_->glDisableClientState(GL_NORMAL_ARRAY);
    gl_->glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    gl_->glDisable(GL_TEXTURE_2D);
    gl_->glDisable(GL_LIGHTING);
    gl_->glDisable(GL_ALPHA_TEST);
    gl_->glDisable(GL_BLEND);
    gl_->glDisable(GL_CULL_FACE);
    gl_->glDisable(GL_DEPTH_TEST);
    gl_->glDepthMask(GL_TRUE);
    gl_->glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void ViewerCanvas::SetBatchState(bool lit, unsigned texture, AlphaMode alpha) {
    if (texture) {
        gl_->glEnable(GL_TEXTURE_2D);
        gl_->glBindTexture(GL_TEXTURE_2D, texture);
        gl_->glColor4f(1, 1, 1, 1);
    } else {
        gl_->glDisable(GL_TEXTURE_2D);
        gl_->glColor4f(kUntextured, kUntextured, kUntextured, 1);
    }
    if (lit && Options().lighting)
        gl_->glEnable(GL_LIGHTING);
    else
        gl_->glDisable(GL_LIGHTING);
    if (alpha == AlphaMode::Tested && texture) {
        gl_->glEnable(GL_ALPHA_TEST);
        gl_->glAlphaFunc(GL_GREATER, 0.5f);
    } else {
        gl_->glDisable(GL_ALPHA_TEST);
    }
    if (alpha == AlphaMode::Blended) {
        gl_->glEnable(GL_BLEND);
        gl_->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        gl_->glDepthMask(GL_FALSE);
    } else {
        gl_->glDisable(GL_BLEND);
        gl_->glDepthMask(GL_TRUE);
    }
}

void ViewerCanvas::DrawScene() {
    const Mat4 view = ViewMatrix(View());
    SetFrameState(ProjectionMatrix(View(), Orthogonal(), width(), height()), view);
    // Blended parts go after everything solid, so that what lies behind them is there.
    for (bool blendedPass : {false, true})
        for (const qv::DrawItem& item : Scene())
            DrawOne(item, view, blendedPass);
    EndFrameState();
}

void ViewerCanvas::WarmUp() {
    // Software renderers build their pipeline for each drawing state the first time it is used;
    // drawing one small triangle in each state while the window still waits for its models
    // spares the first frame of the consist that work.
    const unsigned char white[4] = {255, 255, 255, 255};
    unsigned texture = 0;
    gl_->glGenTextures(1, &texture);
    gl_->glBindTexture(GL_TEXTURE_2D, texture);
    gl_->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    const float positions[9] = {-0.5f, -0.5f, 0.5f, -0.5f, 0.5f, 0.5f, 0.5f, -0.5f, 0.5f};
    const float normals[9] = {0, 0, -1, 0, 0, -1, 0, 0, -1};
    const float uvs[6] = {0, 0, 0, 1, 1, 1};
    SetFrameState(Mat4{}, Mat4{});
    gl_->glVertexPointer(3, GL_FLOAT, 0, positions);
    gl_->glNormalPointer(GL_FLOAT, 0, normals);
    gl_->glTexCoordPointer(2, GL_FLOAT, 0, uvs);
    for (bool lit : {false, true})
        for (unsigned withTexture : {0u, texture})
            for (AlphaMode alpha : {AlphaMode::Opaque, AlphaMode::Tested, AlphaMode::Blended}) {
                SetBatchState(lit, withTexture, alpha);
                gl_->glDrawArrays(GL_TRIANGLES, 0, 3);
            }
    EndFrameState();
    gl_->glFinish();
    gl_->glDeleteTextures(1, &texture);
    gl_->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void ViewerCanvas::DrawOne(const qv::DrawItem& item, const Mat4& view, bool blendedPass) {
    const CanvasShape& shape = *item.shape;
    const std::vector<Mat4> poses = PoseMatrices(shape, item.phase);
    for (const ShapeBatch& batch : shape.batches) {
        if ((batch.alpha == AlphaMode::Blended) != blendedPass || batch.positions.empty())
            continue;
        const Mat4& pose =
            size_t(batch.matrix) < poses.size() ? poses[size_t(batch.matrix)] : Mat4{};
        const Mat4 modelView = MatrixMultiply(MatrixMultiply(pose, item.world), view);
        gl_->glLoadMatrixf(modelView.Data());

        unsigned texture = 0;
        if (Options().textures && batch.image >= 0 && size_t(batch.image) < item.textures.size())
            texture = TextureFor(item.textures[size_t(batch.image)]);
        SetBatchState(batch.lit, texture, batch.alpha);
        gl_->glVertexPointer(3, GL_FLOAT, 0, batch.positions.data());
        gl_->glNormalPointer(GL_FLOAT, 0, batch.normals.data());
        gl_->glTexCoordPointer(2, GL_FLOAT, 0, batch.uvs.data());
        gl_->glDrawArrays(GL_TRIANGLES, 0, GLsizei(batch.positions.size() / 3));
    }
}

unsigned ViewerCanvas::TextureFor(const std::shared_ptr<const CanvasTexture>& texture) {
    if (!texture)
        return 0;
    if (auto found = textures_.constFind(texture.get()); found != textures_.constEnd())
        return *found;
    unsigned id = 0;
    if (texture->width > 0 && texture->height > 0 &&
        texture->rgba.size() == qsizetype(texture->width) * texture->height * 4) {
        gl_->glGenTextures(1, &id);
        gl_->glBindTexture(GL_TEXTURE_2D, id);
        gl_->glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gl_->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, texture->width, texture->height, 0, GL_RGBA,
                          GL_UNSIGNED_BYTE, texture->rgba.constData());
        // The smaller levels are made here: the driver's own way is slow on software renderers.
        CanvasTexture level = *texture;
        for (int n = 1; level.width > 1 || level.height > 1; ++n) {
            level = HalveTexture(level);
            gl_->glTexImage2D(GL_TEXTURE_2D, n, GL_RGBA, level.width, level.height, 0, GL_RGBA,
                              GL_UNSIGNED_BYTE, level.rgba.constData());
        }
        gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        gl_->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        ++uploads_;
    }
    // A texture that cannot be uploaded is remembered as none, so it is not tried every frame.
    textures_.insert(texture.get(), id);
    uploaded_.push_back(texture);
    return id;
}

void ViewerCanvas::DrawFrameRate() {
    QPainter painter(this);
    painter.setPen(Qt::yellow);
    painter.drawText(rect().adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop,
                     tr("%1 fps").arg(framesPerSecond_, 0, 'f', 1));
}

} // namespace qv
