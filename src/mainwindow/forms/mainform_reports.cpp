// The main window's reports: the information of the selected tree node, Statistics, Check
// Attributes and Where Used of the selection. The reports themselves are written by the
// widget-free units; here they get the pane, the cursor and the repaints.

#include "mainwindow/forms/mainform.h"

#include "ui_mainform.h"

#include "core/appstate.h"
#include "core/report.h"
#include "mainwindow/iteminfo.h"
#include "mainwindow/toolreports.h"

#include <QAction>

namespace qv {

void TMainForm::BindReportCommands() {
    connect(ui->StatisticsMnu, &QAction::triggered, this, [this] { StatisticsMnuClick(); });
    connect(ui->CheckAttributes, &QAction::triggered, this, [this] { CheckAttributesClick(); });
}

// Only while the tree holds the window's focus: after a page switch another control may have it,
// and the pane then keeps what it shows. The window's own focus widget counts, so the report also
// follows a selection made while the window is not active.
void TMainForm::ShowSelectedNodeInfo() {
    const ItemNode* node = tree_.Selected();
    const QWidget* focus = focusWidget();
    if (!node || !node->Data() || !focus || focus->objectName() != ui->QuarvelObjects->objectName())
        return;
    App().ReportItemCount = 0;
    ShowItemInfo(*node->Data(), InformationMemo());
}

void TMainForm::StatisticsMnuClick() {
    ShowHourglass(true);
    WriteStatistics(InformationMemo(), [this] { repaint(); });
    ShowHourglass(false);
}

void TMainForm::CheckAttributesClick() {
    ShowHourglass(true);
    ClearReport(InformationMemo());
    repaint();
    CheckInstallationAttributes();
    ShowHourglass(false);
}

void TMainForm::WhereUsedMnuClick() {
    const ItemNode* node = tree_.Selected();
    if (node && node->Data())
        WhereUsedItem(*node->Data(), InformationMemo());
}

} // namespace qv
