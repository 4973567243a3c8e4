#include "viewer/viewerwindow.h"

#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "core/status.h"
#include "platform/ui.h"
#include "platform/winfs.h"
#include "viewer/canvas.h"
#include "viewer/viewergeometry.h"

#include <algorithm>

namespace qv {

ViewerWindowList& ViewerWindows() {
    auto& list = App().ViewerWindowList;
    if (!list)
        list = std::make_shared<ViewerWindowList>();
    return *list;
}

namespace {

// Frees a closed entry: its models, its header, its window.
void FreeEntry(ViewerWindowList& list, size_t index) {
    std::unique_ptr<ViewerEntry> entry = std::move(list.Entries[index]);
    list.Entries.erase(list.Entries.begin() + std::ptrdiff_t(index));
    if (entry->Header)
        FreeViewerModels(*entry->Header);
    if (entry->Window)
        entry->Window->DestroyWindow();
}

// A registry number written as decimal text (colours may exceed a signed 32-bit number);
// `fallback` when it is not a number.
quint32 RegistryColour(const QString& text, quint32 fallback) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    return ok && value >= 0 && value <= 0xFFFFFFFFLL ? quint32(value) : fallback;
}

} // namespace

bool ViewerHousekeeping(ViewerWindowList& list, bool closing) {
    // A timer tick that arrives while a window loads (events are processed between its models)
    // must not free entries the first pass is walking, nor start loading inside the load.
    if (list.InHousekeeping)
        return true;
    list.InHousekeeping = true;
    list.ViewerShiftDown = false;
    for (size_t i = list.Entries.size(); i-- > 0;) {
        if (i >= list.Entries.size())
            continue;
        ViewerEntry* entry = list.Entries[i].get();
        ViewerWindow* window = entry->Window;
        if (window && (closing || list.CloseAllViewers)) {
            if (entry->State >= VS_CREATED)
                window->FormClose();
        } else if (window) {
            if (entry->State == VS_CREATED && !App().Busy)
                window->LoadModels();
            else if (entry->State == VS_TO_CLOSE)
                window->FormClose();
            else if (entry->State == VS_SHOWN && list.MinimiseAllViewers)
                window->MinimiseWindow();
        }
        if (i < list.Entries.size() && list.Entries[i].get() == entry &&
            (entry->State == VS_CLOSED || !entry->Window))
            FreeEntry(list, i);
    }
    list.CloseAllViewers = false;
    list.MinimiseAllViewers = false;
    list.InHousekeeping = false;
    if (list.Entries.empty() && list.CloseHelpWindow) {
        const auto close = std::move(list.CloseHelpWindow);
        list.CloseHelpWindow = nullptr;
        close();
    }
    return true;
}

ViewerEntry* FindViewerEntry(ViewerWindowList& list, const ViewerWindow* window, int which) {
    const auto own = std::find_if(list.Entries.begin(), list.Entries.end(),
                                  [window](const auto& entry) { return entry->Window == window; });
    if (own == list.Entries.end())
        return nullptr;
    if (which == 0)
        return own->get();
    const std::ptrdiff_t count = std::ptrdiff_t(list.Entries.size());
    const std::ptrdiff_t start = own - list.Entries.begin();
    for (std::ptrdiff_t step = 1; step < count; ++step) {
        const std::ptrdiff_t at =
            which == 1 ? (start + step) % count : (start - step + count) % count;
        ViewerEntry* other = list.Entries[size_t(at)].get();
        if (other->Window && other->Window != window)
            return other;
    }
    return nullptr;
}

std::shared_ptr<CanvasModel> FindLoadedModel(const SVIEWHeaderInfo& header, const QString& shape,
                                             int count) {
    const int limit = std::min(count, int(header.Models.size()));
    for (int i = 0; i < limit; ++i) {
        const SVIEWModelInfo& model = *header.Models[size_t(i)];
        if (model.Model && CompareText(model.Shape, shape) == 0)
            return std::static_pointer_cast<CanvasModel>(model.Model);
        if (model.SecondModel && CompareText(model.SecondShape, shape) == 0)
            return std::static_pointer_cast<CanvasModel>(model.SecondModel);
    }
    return nullptr;
}

std::shared_ptr<CanvasModel> LoadShapeModel(Canvas& canvas, const SVIEWModelInfo& model,
                                            const QString& shape,
                                            const std::shared_ptr<CanvasModel>& shared) {
    auto loaded = std::make_shared<CanvasModel>(&canvas);
    loaded->SetTextureFolder(QStringLiteral("..\\textures\\"));
    if (shared)
        loaded->SetOwnTextures(false);
    if (!loaded->LoadShape(shape))
        return nullptr;
    if (!loaded->TexturesLoaded() && shared)
        loaded->ShareTexturesFrom(*shared);
    loaded->SetWorldMatrix(VehicleWorldMatrix(model.Flipped, float(model.Centre)));
    return loaded;
}

ViewerWindow::~ViewerWindow() {
    // A window that goes while still listed leaves its entry to be freed without it.
    for (size_t i = 0; i < list_.Entries.size(); ++i) {
        if (list_.Entries[i]->Window != this)
            continue;
        list_.Entries[i]->Window = nullptr;
        list_.Entries[i]->State = VS_CLOSED;
        if (list_.Entries[i]->Header)
            list_.Entries[i]->Header->Active = false;
        if (!list_.InHousekeeping)
            FreeEntry(list_, i);
        break;
    }
}

void ViewerWindow::Register(std::unique_ptr<SVIEWHeaderInfo> header, int designHeight) {
    header_ = header.get();
    header->Active = true;
    auto entry = std::make_unique<ViewerEntry>();
    entry->Window = this;
    entry->State = VS_CREATED;
    entry->Header = std::move(header);
    list_.Entries.push_back(std::move(entry));
    list_.DesignHeight = designHeight;
    list_.ViewerHeight =
        ReadViewerHeight(RegReadString(kProductKey, QStringLiteral("Viewer Height")), designHeight);
    lightAngleAtCreation_ = ViewCanvas().LightAngle();
    fieldOfView_ = kCanvasFieldOfView;
}

ViewerEntry* ViewerWindow::OwnEntry() const {
    return FindViewerEntry(list_, this, 0);
}

int ViewerWindow::IdealWidth() const {
    return WindowWidth(ScreenDpi(), header_ ? header_->TotalLength : 0.0, list_.ViewerHeight,
                       list_.DesignHeight);
}

void ViewerWindow::FormShow() {
    ViewerEntry* entry = OwnEntry();
    if (!entry)
        return;
    SetCaption(header_->Title);
    if (entry->State != VS_SHOWN)
        LayoutConsist(*header_);
    ResizeWindow(SizeViewerWindow(IdealWidth(), WindowSize(), true, header_->FullWidth,
                                  list_.ViewerHeight, ScreenSize()));
}

void ViewerWindow::LoadModels() {
    ViewerEntry* entry = OwnEntry();
    if (!entry)
        return;
    MoveWindow(CentreOverMainForm(WindowSize(), MainFormGeometry(), ScreenSize().width()));
    SetWaitCursor(true);
    const bool wasBusy = App().Busy;
    SetBusy(true);
    entry->State = VS_LOADING;
    const bool loaded = LoadSteps(*header_);
    entry = OwnEntry();
    if (!loaded) {
        QString text = Caption(Msg::SVIEW_INCOMPATIBLE_LEG);
        if (!ViewCanvas().FailureText().isEmpty())
            text += QStringLiteral("\r\r") + ViewCanvas().FailureText();
        TheUi().MessageBox(text, App().ProgramTitle, MB_ICONSTOP);
    }
    if (entry)
        entry->State = loaded ? VS_SHOWN : VS_TO_CLOSE;
    SetBusy(wasBusy);
    SetWaitCursor(false);
}

bool ViewerWindow::LoadSteps(SVIEWHeaderInfo& header) {
    Canvas& canvas = ViewCanvas();
    if (!canvas.Startup())
        return false;
    canvas.InitDefaults();
    canvas.SetViewParams(fieldOfView_, kCanvasNearPlane, kCanvasFarPlane);
    // A value that is missing or no number keeps the default the canvas has.
    canvas.SetBackgroundColour(
        RegistryColour(RegReadString(kProductKey, QStringLiteral("Viewer Background")),
                       canvas.BackgroundColour()));
    canvas.SetAmbient(RegistryColour(RegReadString(kProductKey, QStringLiteral("Viewer Ambient")),
                                     canvas.Ambient()));

    header.CameraDistance = 15.0f;
    header.TargetX = 0;
    header.TargetY = 2.0f;
    header.CameraHeightAtLargest = 2.0f;
    header.TargetZ = header.EyeZ = float(header.TotalLength * 0.5);

    const int count = int(header.Models.size());
    for (int i = 0; i < count; ++i) {
        SVIEWModelInfo& model = *header.Models[size_t(i)];
        if (!model.Shape.isEmpty() && FileExists(model.Shape)) {
            SetCaption(Caption(Msg::STATUS_TEXT_LOADING) + QLatin1Char(' ') + model.Shape +
                       QStringLiteral("    (%1 / %2)").arg(i + 1).arg(count));
            // A shape that cannot be read is left out, as a missing one is; the freight
            // animation is a shape of its own and is shown without it.
            auto loaded =
                LoadShapeModel(canvas, model, model.Shape, FindLoadedModel(header, model.Shape, i));
            if (!model.SecondShape.isEmpty() && FileExists(model.SecondShape)) {
                auto shared = FindLoadedModel(header, model.SecondShape, i);
                model.SecondModel = LoadShapeModel(canvas, model, model.SecondShape, shared);
            }
            if (loaded) {
                float x = 0, y = 0, z = 0, size = 0;
                loaded->SizeQuery(&x, &y, &z, &size);
                header.TargetX = x;
                header.TargetY = y;
                header.TargetZ = z;
                if (size > header.LargestSize) {
                    header.LargestSize = size;
                    header.CameraHeightAtLargest = y;
                }
                model.Model = std::move(loaded);
            }
        }
        ProcessMessages();
    }
    header.CameraDistance = std::max(header.LargestSize * 1.0f, 15.0f) + header.InOutOffset;
    FitView(header, IdealWidth(), ScreenSize().width(), fieldOfView_, list_.DesignHeight,
            std::max(WindowSize().height(), 1));
    header.TargetY = header.CameraHeightAtLargest;
    header.TargetZ = float(header.LookAtPosition);
    header.EyeZ = header.TargetZ;
    ApplyCamera();
    SetCaption(header.Title);
    header.CurrentIndex = header.MiddleIndex;
    ProcessMessages();
    RenderFrame(false);
    return true;
}

void ViewerWindow::ApplyCamera() {
    const SVIEWHeaderInfo& h = *header_;
    ViewCanvas().SetCamera({h.CameraDistance, h.CameraHeightAtLargest, h.EyeZ},
                           {h.TargetX, h.TargetY, h.TargetZ}, {0, 1, 0});
}

void ViewerWindow::RenderFrame(bool animate) {
    SVIEWHeaderInfo& header = *header_;
    if (animate) {
        header.AnimationPhase += 0.03f;
        if (header.AnimationPhase > 1.0f)
            header.AnimationPhase = 0;
    } else {
        header.AnimationPhase = 0;
    }
    Canvas& canvas = ViewCanvas();
    if (!canvas.BeginScene())
        return;
    for (const auto& model : header.Models) {
        if (CanvasModel* shape = ModelOf(*model))
            shape->Draw(1, header.AnimationPhase);
        if (CanvasModel* second = SecondModelOf(*model))
            second->Draw(1, header.AnimationPhase);
    }
    canvas.EndScene();
}

void ViewerWindow::FormResize() {
    if (Minimised()) {
        if (list_.ViewerShiftDown)
            list_.MinimiseAllViewers = true;
        return;
    }
    const ViewerEntry* entry = OwnEntry();
    if (!entry || entry->State != VS_SHOWN)
        return;
    // The canvas keeps its models' textures through a resize: only the canvas itself is reset.
    ViewCanvas().Reset();
    ViewCanvas().Refresh();
}

bool ViewerWindow::FormClose() {
    if (App().Busy)
        return false;
    HideWindow();
    if (header_)
        header_->Active = false;
    if (ViewerEntry* entry = OwnEntry())
        entry->State = VS_CLOSED;
    if (list_.ViewerShiftDown)
        list_.CloseAllViewers = true;
    return true;
}

} // namespace qv
