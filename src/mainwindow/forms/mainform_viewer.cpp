// The main window's viewer commands: View in 3-D, Use SVIEW, the screenshot folder, and the
// viewer windows' housekeeping at each timer tick and at the close.

#include "mainwindow/forms/mainform.h"

#include "ui_mainform.h"

#include "core/appstate.h"
#include "easy/easylists.h"
#include "editors/listeditoractions.h"
#include "mainwindow/forms/easycontroller.h"
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
    TheListEditorHooks().ShowShape = [](const ItemSet& item) { ShowShape(item); };
    TheListEditorHooks().ShapeViewerOffered = [](const ItemSet& item) {
        return ShapeViewerOffered(item);
    };
    connect(ui->ShowExpConsistBtn, &QAbstractButton::clicked, this,
            [this] { ShowExpConsistBtnClick(); });
    connect(ui->ShowActConsistBtn, &QAbstractButton::clicked, this, [this] {
        // The consist of the activity shown last on the Run an Activity tab.
        const QString consist = EasyPage().EasyActivityConsist;
        if (App().Busy || consist.isEmpty())
            return;
        ItemSet item;
        item.PType = PT_EXPLORE_CONSIST;
        item.FileName = consist;
        item.Description = ui->ConsistUsedTxt->text();
        ShowShape(item);
    });
}

void TMainForm::ShowExpConsistBtnClick() {
    const int consist = easyController_ ? easyController_->ChosenConsist() : -1;
    if (App().Busy || consist < 0)
        return;
    ItemSet item = *App().ConsistCacheList[std::size_t(consist)];
    item.PType |= PT_EXPLORE_CONSIST;
    ShowShape(item);
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
