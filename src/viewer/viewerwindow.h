// What every viewer window does, apart from its widgets: its entry in the program-wide list of
// viewer windows, loading the consist's shapes onto the canvas, the camera, the keys, and the
// housekeeping the main window's timer runs over all windows. The window on the screen
// (TViewerForm) supplies the few things only a window can do; tests supply a fake one.
#pragma once

#include "viewer/viewerheader.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace qv {

class Canvas;
class CanvasModel;
class ViewerWindow;

// The state of a viewer window's entry.
enum ViewerState : std::int32_t {
    VS_CLOSED = 0,  // closed, to be freed by the next housekeeping pass
    VS_CREATED = 1, // waiting for its models
    VS_LOADING = 2,
    VS_SHOWN = 3,
    VS_TO_CLOSE = 4, // its loading failed
};

struct ViewerEntry {
    ViewerWindow* Window = nullptr; // none once the window has gone
    std::int32_t State = VS_CREATED;
    std::unique_ptr<SVIEWHeaderInfo> Header;
};

struct ViewerWindowList {
    std::vector<std::unique_ptr<ViewerEntry>> Entries;
    int DesignHeight = 127;       // the form's height when the last window was made
    int ViewerHeight = 127;       // "Viewer Height", else the design height
    bool ViewerShiftDown = false; // Shift was pressed in a viewer window since the last pass
    bool CloseAllViewers = false;
    bool MinimiseAllViewers = false;
    bool InHousekeeping = false;
    // Closes the help window; set while one is open.
    std::function<void()> CloseHelpWindow;
};

// The program-wide list, made when first asked for.
ViewerWindowList& ViewerWindows();

// Shift mask of the key handler.
enum ViewerShift { VK_SHIFT_MASK = 1, VK_CTRL_MASK = 2, VK_ALT_MASK = 4 };
// The keypad's minus and plus, which zoom, told apart from the main keyboard's.
inline constexpr int kKeypadMinus = 0x2000002d;
inline constexpr int kKeypadPlus = 0x2000002b;

// One pass over the list: loads windows waiting for their models (not while a job runs), closes
// those to be closed (all with `closing` or after a close with Shift), minimises all after a
// minimise with Shift, and frees the closed ones; the last window's going closes the help
// window. A pass started while another runs returns at once. Returns true.
bool ViewerHousekeeping(ViewerWindowList& list, bool closing);

// The window's own entry (which 0), the next (1) or the previous (2) other window, wrapping;
// none when there is no such entry.
ViewerEntry* FindViewerEntry(ViewerWindowList& list, const ViewerWindow* window, int which);

// The loaded model of the first of the first `count` models whose shape (or second shape) is
// the given one, compared without regard to case; none otherwise.
std::shared_ptr<CanvasModel> FindLoadedModel(const SVIEWHeaderInfo& header, const QString& shape,
                                             int count);

// Loads a shape onto the canvas for a vehicle: textures from its "..\textures\" folder, or from
// the shared model of the same shape; turned about its vertical axis and moved to its centre.
// None when the shape cannot be read.
std::shared_ptr<CanvasModel> LoadShapeModel(Canvas& canvas, const SVIEWModelInfo& model,
                                            const QString& shape,
                                            const std::shared_ptr<CanvasModel>& shared);

class ViewerWindow {
public:
    virtual ~ViewerWindow();

    SVIEWHeaderInfo* Header() const { return header_; }
    ViewerEntry* OwnEntry() const;
    ViewerWindowList& List() const { return list_; }

    // The handlers of the window.
    void FormShow();
    void LoadModels();
    void FormResize();
    // Keys on the canvas (Qt key codes, the keypad's minus and plus as above) and on the form.
    void CanvasKeyDown(int key, int shift);
    void FormKeyDown(int key, int shift);
    // False (the window stays) while a job runs.
    bool FormClose();
    void RenderFrame(bool animate);
    // The camera from the header's numbers.
    void ApplyCamera();
    // The width the whole consist needs, at the screen's pixels per inch.
    int IdealWidth() const;

protected:
    explicit ViewerWindow(ViewerWindowList& list) : list_(list) {}
    // Adds the window to the list with its header, once its canvas exists.
    void Register(std::unique_ptr<SVIEWHeaderInfo> header, int designHeight);

    // What only a window on the screen can do.
    virtual Canvas& ViewCanvas() = 0;
    virtual QSize WindowSize() const = 0;
    virtual void ResizeWindow(QSize size) = 0;
    virtual void MoveWindow(QPoint topLeft) = 0;
    virtual QRect MainFormGeometry() const = 0;
    virtual QSize ScreenSize() const = 0;
    virtual int ScreenDpi() const = 0;
    virtual void SetCaption(const QString& caption) = 0;
    virtual void HideWindow() = 0;
    virtual bool Minimised() const = 0;

public:
    virtual void MinimiseWindow() = 0;
    virtual void RestoreAndRaise() = 0;
    // Destroys the window once the list has let it go.
    virtual void DestroyWindow() = 0;

protected:
    // Opens the help window, or closes the open one.
    virtual void ToggleHelp() = 0;
    // The colour dialog: true with the chosen colour (0x00BBGGRR) after OK.
    virtual bool ChooseBackground(quint32* colour) = 0;
    // Lets the window show white behind the canvas for the screenshot, then its own colour.
    virtual void ScreenshotFlash() = 0;
    virtual void FocusCanvas() = 0;
    virtual void Beep() = 0;
    virtual void ProcessMessages() = 0;
    virtual void SetWaitCursor(bool wait) = 0;

private:
    bool LoadSteps(SVIEWHeaderInfo& header);
    void TakeScreenshot();
    void SaveViewerSettings();
    void OtherSide(SVIEWHeaderInfo& header);

    ViewerWindowList& list_;
    SVIEWHeaderInfo* header_ = nullptr;
    int lightAngleAtCreation_ = 0;
    float fieldOfView_ = 0.3926991f;
};

} // namespace qv
