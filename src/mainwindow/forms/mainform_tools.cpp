// The outside tools of the main window: their launch settings, starting Route_Riter and
// ConBuilder, the manual and the uninstall.

#include "mainwindow/forms/mainform.h"

#include "ui_mainform.h"

#include "core/appstate.h"
#include "core/regsettings.h"
#include "easy/launchsettings.h"
#include "platform/ui.h"

#include <QCheckBox>
#include <QMenu>

namespace qv {

void TMainForm::BindToolCommands() {
    const std::pair<QAction*, OutsideTool> settings[] = {
        {ui->MSTSLaunchSettings, OutsideTool::Msts},
        {ui->RCLaunchSettings, OutsideTool::RouteControl},
        {ui->EditorSettingsMnu, OutsideTool::Editor},
        {ui->ConBuilderMnu, OutsideTool::ConBuilder},
        {ui->RouteRiterMnu, OutsideTool::RouteRiter},
        {ui->RDLaunchSettings, OutsideTool::RailDriver},
        {ui->SVIEWSettingsMnu, OutsideTool::Sview},
    };
    for (const auto& [item, tool] : settings) {
        const OutsideTool which = tool;
        connect(item, &QAction::triggered, this, [this, which] {
            if (App().Busy)
                return;
            if (EditToolLaunchSettings(which) == ID_OK && which == OutsideTool::Msts) {
                const LaunchSettingsRow& row = LaunchSettingsFor(OutsideTool::Msts);
                ui->LaunchMSTSCbx->setEnabled(!RegReadString(row.Key, row.PathValue).isEmpty());
            }
        });
    }
    connect(ui->StartRRMnu, &QAction::triggered, this, [this] {
        if (App().Busy)
            return;
        StartOutsideTool(OutsideTool::RouteRiter);
        UpdateControls();
    });
    connect(ui->StartCBMnu, &QAction::triggered, this, [this] {
        if (App().Busy)
            return;
        StartOutsideTool(OutsideTool::ConBuilder);
        UpdateControls();
    });
    connect(ui->QuarvelManual, &QAction::triggered, this, [] {
        if (!App().Busy)
            QuarvelManualClick();
    });
    connect(ui->UninstallQuarvel1, &QAction::triggered, this, [] { UninstallQuarvel(); });
}

} // namespace qv
