// The main window's viewer commands: View in 3-D, Use SVIEW, the screenshot folder, and the
// viewer windows' housekeeping at each timer tick and at the close.

#include "mainwindow/forms/mainform.h"

#include "ui_mainform.h"

#include "core/appstate.h"
#include "mainwindow/forms/treecontroller.h"
#include "viewer/forms/viewerform.h"
#include "viewer/showshape.h"
#include "viewer/viewerwindow.h"

namespace qv {

void TMainForm::BindViewerCommands() {
    TViewerForm::SetMainForm(this);
    SetViewerWindowOpener(OpenViewerWindow);
    for (QAction* item : {ui->SVIEWMnu, ui->SVIEWMnu1})
        connect(item, &QAction::triggered, this, [this] { SVIEWMnuClick(); });
    connect(ui->UseSVIEWMnu, &QAction::triggered, this,
            [](bool checked) { UseSviewCommand(checked); });
    connect(ui->ViewerScreenshotFolderMnu, &QAction::triggered, this, [] {
        if (!App().Busy)
            ViewerScreenshotFolderCommand();
    });
    treeController_->ShowInViewer = [this] { SVIEWMnuClick(); };
}

void TMainForm::SVIEWMnuClick() {
    if (App().Busy)
        return;
    if (const ItemNode* node = tree_.Selected(); node && node->Data())
        ShowShape(*node->Data());
}

void TMainForm::ViewerTimerTick() {
    ViewerHousekeeping(ViewerWindows(), false);
}

void TMainForm::CloseViewers() {
    ViewerHousekeeping(ViewerWindows(), true);
}

} // namespace qv
