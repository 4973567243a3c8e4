// The keys of a viewer window and what they save: moving along the consist, zoom, the other
// side, light, background, options, screenshots, full width and the saved view.

#include "viewer/viewerwindow.h"

#include "core/appstate.h"
#include "core/regsettings.h"
#include "platform/winfs.h"
#include "viewer/canvas.h"
#include "viewer/viewergeometry.h"

#include <Qt>
#include <algorithm>

namespace qv {

namespace {

const char* const kSavedValues[] = {"Viewer Background", "Viewer F12", "Viewer Ambient",
                                    "Viewer InOut", "Viewer Height"};

} // namespace

void ViewerWindow::SaveViewerSettings() {
    Canvas& canvas = ViewCanvas();
    RegWriteString(kProductKey, QStringLiteral("Viewer Background"),
                   QString::number(canvas.BackgroundColour()));
    WriteFlag(header_->FullWidth, QStringLiteral("Viewer F12"));
    RegWriteString(kProductKey, QStringLiteral("Viewer Ambient"),
                   QString::number(canvas.Ambient()));
    RegWriteString(kProductKey, QStringLiteral("Viewer InOut"),
                   QString::number(double(header_->InOutOffset)));
    if (!header_->FullWidth)
        RegWriteString(kProductKey, QStringLiteral("Viewer Height"),
                       QString::number(WindowSize().height()));
}

void ViewerWindow::TakeScreenshot() {
    QString folder = App().ScreenshotFolder;
    if (folder.isEmpty() || !FolderExists(folder))
        return;
    if (!folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('\\');
    Canvas& canvas = ViewCanvas();
    canvas.SetFileName(folder + QStringLiteral("QVV"));
    ScreenshotFlash();
    // The canvas numbers its pictures and never writes over one that exists.
    canvas.SaveImage();
    FocusCanvas();
    Beep();
}

void ViewerWindow::OtherSide(SVIEWHeaderInfo& header) {
    Canvas& canvas = ViewCanvas();
    if (header.Side == 1) {
        header.Side = 3;
        header.CameraDistance = -std::abs(header.CameraDistance);
        canvas.SetLightAngle(1440 - lightAngleAtCreation_);
    } else {
        header.Side = 1;
        header.CameraDistance = std::abs(header.CameraDistance);
        canvas.SetLightAngle(lightAngleAtCreation_);
    }
}

void ViewerWindow::FormKeyDown(int key, int shift) {
    if (key == Qt::Key_Shift && (shift & VK_SHIFT_MASK))
        list_.ViewerShiftDown = true;
}

void ViewerWindow::CanvasKeyDown(int key, int shift) {
    if (App().Busy || !OwnEntry())
        return;
    SVIEWHeaderInfo& header = *header_;
    Canvas& canvas = ViewCanvas();
    const float step = header.Side == 3 ? -0.25f : 0.25f;
    float move = 0, zoom = 0;
    bool redraw = false;
    const bool none = shift == 0;
    const int last = std::max(int(header.Models.size()) - 1, 0);

    if (key == Qt::Key_Escape && none) {
        FormClose();
        return;
    } else if (key == Qt::Key_S && shift == VK_CTRL_MASK) {
        SaveViewerSettings();
    } else if (key == Qt::Key_S && shift == (VK_CTRL_MASK | VK_SHIFT_MASK)) {
        for (const char* value : kSavedValues)
            RegDeleteValueAt(HKEY_LOCAL_MACHINE, kProductKey, QLatin1String(value));
    } else if (key == Qt::Key_P && shift == VK_CTRL_MASK) {
        canvas.SetOrthogonal(!canvas.Orthogonal());
        redraw = true;
    } else if (key == Qt::Key_Insert) {
        canvas.SetAmbient(StepAmbient(canvas.Ambient(), +1));
        redraw = true;
    } else if (key == Qt::Key_Delete) {
        canvas.SetAmbient(StepAmbient(canvas.Ambient(), -1));
        redraw = true;
    } else if (key == Qt::Key_Shift && (shift & VK_SHIFT_MASK)) {
        list_.ViewerShiftDown = true;
    } else if (key == Qt::Key_F1) {
        ToggleHelp();
    } else if (key == Qt::Key_F11) {
        TakeScreenshot();
    } else if (key == Qt::Key_Z && shift == VK_SHIFT_MASK) {
        canvas.SetShowFrameRate(!canvas.ShowFrameRate());
        redraw = true;
    } else if (key == Qt::Key_F12) {
        header.FullWidth = !header.FullWidth;
        ResizeWindow(SizeViewerWindow(IdealWidth(), WindowSize(), false, header.FullWidth,
                                      list_.ViewerHeight, ScreenSize()));
        MoveWindow(CentreOverMainForm(WindowSize(), MainFormGeometry(), ScreenSize().width()));
    } else if (key == Qt::Key_A && none) {
        RenderFrame(true);
    } else if (key == Qt::Key_F8 && none) {
        quint32 colour = canvas.BackgroundColour();
        if (ChooseBackground(&colour)) {
            canvas.SetBackgroundColour(colour);
            redraw = true;
        }
    } else if (key == Qt::Key_F6 && none) {
        canvas.ShowOptions();
        redraw = true;
    } else if (key == Qt::Key_A && shift == VK_ALT_MASK) {
        canvas.About();
    } else if (key == Qt::Key_F6) {
        const ViewerEntry* other = FindViewerEntry(list_, this, shift == VK_CTRL_MASK ? 1 : 2);
        if (other && other->Window)
            other->Window->RestoreAndRaise();
    } else if (key == Qt::Key_R) {
        OtherSide(header);
        redraw = true;
    } else if (key == Qt::Key_Right) {
        if (shift == VK_SHIFT_MASK)
            header.CurrentIndex = last;
        move = step;
    } else if (key == Qt::Key_Left) {
        if (shift == VK_SHIFT_MASK)
            header.CurrentIndex = 0;
        move = -step;
    } else if (key == kKeypadMinus) {
        zoom = step;
    } else if (key == kKeypadPlus) {
        zoom = -step;
    } else if (key == Qt::Key_Home) {
        header.CurrentIndex = header.MiddleIndex;
        header.TargetZ = header.EyeZ = float(header.LookAtPosition);
        redraw = true;
    }

    if (move != 0 && !header.Models.empty()) {
        header.CurrentIndex = std::clamp(header.CurrentIndex + (move > 0 ? 1 : -1), 0, last);
        header.TargetZ = header.EyeZ = float(header.Models[size_t(header.CurrentIndex)]->Centre);
    } else if (zoom != 0) {
        header.CameraDistance += zoom;
        header.InOutOffset += zoom;
    }
    if (move != 0 || zoom != 0 || redraw) {
        ApplyCamera();
        RenderFrame(false);
    }
}

} // namespace qv
