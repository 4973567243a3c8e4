// A viewer window: the 3-D canvas showing one consist or stock item, sized to the consist and
// driven by the main window's timer through the viewer windows' list.
#pragma once

#include "viewer/viewerwindow.h"

#include <QPointer>
#include <QWidget>

class QColorDialog;

namespace qv {

class ViewerCanvas;

class TViewerForm : public QWidget, public ViewerWindow {
    Q_OBJECT
public:
    // Lists the window with its header; the caller shows it.
    TViewerForm(std::unique_ptr<SVIEWHeaderInfo> header, QWidget* owner,
                ViewerWindowList& list = ViewerWindows());
    ~TViewerForm() override;

    ViewerCanvas* ViewerCanvasWidget() const { return canvas_; }

    // The main window the viewer windows centre over and the help window belongs to.
    static void SetMainForm(QWidget* mainForm);
    static QWidget* MainForm();

    void MinimiseWindow() override;
    void RestoreAndRaise() override;
    void DestroyWindow() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    Canvas& ViewCanvas() override;
    QSize WindowSize() const override { return size(); }
    void ResizeWindow(QSize size) override;
    void MoveWindow(QPoint topLeft) override { move(topLeft); }
    QRect MainFormGeometry() const override;
    QSize ScreenSize() const override;
    int ScreenDpi() const override;
    void SetCaption(const QString& caption) override { setWindowTitle(caption); }
    void HideWindow() override { hide(); }
    bool Minimised() const override { return isMinimized(); }
    void ToggleHelp() override;
    bool ChooseBackground(quint32* colour) override;
    void ScreenshotFlash() override;
    void FocusCanvas() override;
    void Beep() override;
    void ProcessMessages() override;
    void SetWaitCursor(bool wait) override;

private:
    void HandleKey(QKeyEvent* event);

    ViewerCanvas* canvas_ = nullptr;
    bool waitCursor_ = false;
};

// Opens a viewer window on the header and shows it.
void OpenViewerWindow(std::unique_ptr<SVIEWHeaderInfo> header);

} // namespace qv
