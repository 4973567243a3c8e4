#include "viewer/forms/viewercanvas.h"

#include "platform/ui.h"
#include "platform/winfs.h"
#include "viewer/forms/canvasoptionsdialog.h"

#include <QBuffer>
#include <QImage>
#include <QOpenGLContext>
#include <QOpenGLFunctions_2_0>

namespace qv {

ViewerCanvas::ViewerCanvas(QWidget* parent) : QOpenGLWidget(parent) {
    setObjectName(QStringLiteral("ViewerCanvas"));
    setFocusPolicy(Qt::StrongFocus);
    QSurfaceFormat surface = format();
    surface.setDepthBufferSize(24);
    surface.setVersion(2, 0);
    surface.setProfile(QSurfaceFormat::CompatibilityProfile);
    setFormat(surface);
    optionsEditor_ = EditCanvasOptions;
}

ViewerCanvas::~ViewerCanvas() {
    // The context outlives this part of the widget: its end must not call back into it.
    if (context())
        disconnect(context(), nullptr, this, nullptr);
    FreeTextures();
}

bool ViewerCanvas::Startup() {
    if (failed_)
        return false;
    if (!isValid()) {
        // The widget makes its context when it is first shown; ask now whether one can be made.
        QOpenGLContext probe;
        probe.setFormat(format());
        if (!probe.create()) {
            failed_ = true;
            failure_ = tr("OpenGL cannot be started on this display");
            return false;
        }
        const QSurfaceFormat made = probe.format();
        if (made.majorVersion() < 2 || made.profile() == QSurfaceFormat::CoreProfile) {
            failed_ = true;
            failure_ = tr("OpenGL 2.0 with the fixed-function pipeline is missing");
            return false;
        }
    }
    startedUp_ = true;
    return true;
}

bool ViewerCanvas::HasDevice() const {
    return startedUp_ && !failed_;
}

void ViewerCanvas::initializeGL() {
    // A context made anew (the widget moved to another window) starts without our textures.
    textures_.clear();
    uploaded_.clear();
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &ViewerCanvas::FreeTextures,
            Qt::UniqueConnection);
    gl_ = new QOpenGLFunctions_2_0;
    if (!gl_->initializeOpenGLFunctions()) {
        delete gl_;
        gl_ = nullptr;
        failed_ = true;
        failure_ = tr("OpenGL 2.0 with the fixed-function pipeline is missing");
        return;
    }
    const auto text = [this](unsigned name) {
        return QString::fromLatin1(reinterpret_cast<const char*>(gl_->glGetString(name)));
    };
    vendor_ = text(GL_VENDOR);
    renderer_ = text(GL_RENDERER);
    version_ = text(GL_VERSION);
    WarmUp();
}

void ViewerCanvas::FreeTextures() {
    if (!gl_)
        return;
    if (!textures_.isEmpty() && context()) {
        makeCurrent();
        for (unsigned id : std::as_const(textures_))
            gl_->glDeleteTextures(1, &id);
        doneCurrent();
    }
    textures_.clear();
    uploaded_.clear();
    delete gl_;
    gl_ = nullptr;
}

void ViewerCanvas::Reset() {
    // The frame buffer follows the widget's size by itself; the projection is made per frame.
}

void ViewerCanvas::Refresh() {
    update();
}

void ViewerCanvas::ShowOptions() {
    CanvasOptions options = Options();
    if (optionsEditor_ && optionsEditor_(this, &options))
        SetOptions(options);
}

bool ViewerCanvas::SaveImage() {
    const QString caption = tr("Screenshot");
    const QString prefix = FileName();
    if (prefix.isEmpty() || !HasDevice()) {
        TheUi().MessageBox(tr("There is no picture or no file name to save it to."), caption,
                           MB_ICONEXCLAMATION);
        return false;
    }
    QString path;
    for (int n = 1; n <= 9999 && path.isEmpty(); ++n) {
        const QString candidate = prefix + QStringLiteral("%1.png").arg(n, 4, 10, QChar(u'0'));
        if (!FileExists(candidate))
            path = candidate;
    }
    if (path.isEmpty()) {
        TheUi().MessageBox(tr("Every screenshot number of \"%1\" is taken.").arg(prefix), caption,
                           MB_ICONEXCLAMATION);
        return false;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QImage picture = grabFramebuffer();
    int error = 0;
    if (picture.isNull() || !picture.save(&buffer, "PNG") ||
        !WriteFileAtomic(path, bytes, &error)) {
        TheUi().MessageBox(
            tr("The screenshot \"%1\" could not be written: %2").arg(path, FsErrorText(error)),
            caption, MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

void ViewerCanvas::About() {
    QString text = tr("Quarvel 3-D canvas") + QStringLiteral("\r\r");
    if (vendor_.isEmpty())
        text += tr("OpenGL has not drawn yet. ") + failure_;
    else
        text += tr("OpenGL vendor: %1\rOpenGL renderer: %2\rOpenGL version: %3")
                    .arg(vendor_, renderer_, version_);
    TheUi().MessageBox(text, tr("About"), MB_ICONINFORMATION);
}

} // namespace qv
