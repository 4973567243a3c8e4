#include "engine/forms/tsectionparamsboxdlg.h"

#include "core/appstate.h"
#include "core/forms/controls.h"
#include "core/generaldefs.h"
#include "engine/tsectionedit.h"
#include "engine/tsectionsettings.h"
#include "platform/drivemap.h"
#include "platform/ui.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace qv {

namespace {

const char* const kPathHint =
    QT_TRANSLATE_NOOP("qv::TTSECTIONParamsBoxDlg",
                      "Enter the full path to the TSECTION.DAT file that you want to use. "
                      "(Click on the folder icon to open a dialog to navigate to the file)|");
const char* const kDescriptionHint =
    QT_TRANSLATE_NOOP("qv::TTSECTIONParamsBoxDlg",
                      "Enter any description that you want Quarvel to display for this file.|");
const char* const kSimulationHint = QT_TRANSLATE_NOOP(
    "qv::TTSECTIONParamsBoxDlg", "Choose the action to take when unstoring in Simulation mode");
const char* const kMaintenanceHint = QT_TRANSLATE_NOOP(
    "qv::TTSECTIONParamsBoxDlg", "Choose the action to take when unstoring in Maintenance mode");

// A hint's short part (before "|") is the tooltip, its long part the status-bar text.
void SetHint(QWidget* control, QString hint) {
    hint.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    control->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
    control->setStatusTip(hint.section(QLatin1Char('|'), 1));
}

} // namespace

TTSECTIONParamsBoxDlg::TTSECTIONParamsBoxDlg(QWidget* owner, RouteInfo& record)
    : QDialog(owner), record_(record), work_(record) {
    setObjectName(QStringLiteral("TSECTIONParamsBoxDlg"));
    setWindowTitle(tr("TSECTION.DAT Parameters "));

    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameShape(QFrame::StyledPanel);
    SetTSECTIONLbl1 = Named(new QLabel(Panel1), "SetTSECTIONLbl1");
    SetTSECTIONLbl1->setWordWrap(true);
    Label2 = Named(new QLabel(tr("Path:"), Panel1), "Label2");
    Path = Named(new QLineEdit(Panel1), "Path");
    SetHint(Path, tr(kPathHint));
    Label2->setBuddy(Path);
    OpenTSECTIONDialogBtn = Named(new QToolButton(Panel1), "OpenTSECTIONDialogBtn");
    OpenTSECTIONDialogBtn->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    Label3 = Named(new QLabel(tr("Description: "), Panel1), "Label3");
    Description = Named(new QLineEdit(Panel1), "Description");
    SetHint(Description, tr(kDescriptionHint));
    Label3->setBuddy(Description);
    Label6 = Named(new QLabel(tr("Action when Unstoring ..."), Panel1), "Label6");
    Label4 = Named(new QLabel(tr("in Simulation Mode:"), Panel1), "Label4");
    SimulationActionCmbx = Named(new QComboBox(Panel1), "SimulationActionCmbx");
    SetHint(SimulationActionCmbx, tr(kSimulationHint));
    Label4->setBuddy(SimulationActionCmbx);
    Label5 = Named(new QLabel(tr("in Maintenance  Mode:"), Panel1), "Label5");
    MaintenanceActionCmbx = Named(new QComboBox(Panel1), "MaintenanceActionCmbx");
    SetHint(MaintenanceActionCmbx, tr(kMaintenanceHint));
    Label5->setBuddy(MaintenanceActionCmbx);
    SetTSECTIONLbl2 = Named(new QLabel(Panel1), "SetTSECTIONLbl2");
    SetTSECTIONLbl2->setWordWrap(true);
    BuildInfoLbl = Named(new QLabel(Panel1), "BuildInfoLbl");

    OKButton = Named(new QPushButton(tr("OK"), this), "OKButton");
    OKButton->setDefault(true);
    CancelButton = Named(new QPushButton(tr("Cancel"), this), "CancelButton");
    CancelButton->setAutoDefault(false);

    // Not the platform's own dialog: ours matches MSTS's upper-case names through the filters.
    OpenTSECTIONDlg =
        Named(new QFileDialog(this, tr("Choose TSECTION.DAT File")), "OpenTSECTIONDlg");
    OpenTSECTIONDlg->setOption(QFileDialog::DontUseNativeDialog);
    OpenTSECTIONDlg->setFileMode(QFileDialog::ExistingFile);
    OpenTSECTIONDlg->setNameFilters(
        {tr("TSECTION Files (TSECTION*.*)"), tr("DAT Files (*.DAT)"), tr("All Files (*.*)")});

    auto* fields = new QGridLayout(Panel1);
    fields->addWidget(SetTSECTIONLbl1, 0, 0, 1, 3);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(Path, 1, 1);
    fields->addWidget(OpenTSECTIONDialogBtn, 1, 2);
    fields->addWidget(Label3, 2, 0);
    fields->addWidget(Description, 2, 1, 1, 2);
    fields->addWidget(Label6, 3, 0, 1, 3);
    fields->addWidget(Label4, 4, 0);
    fields->addWidget(SimulationActionCmbx, 4, 1, 1, 2);
    fields->addWidget(Label5, 5, 0);
    fields->addWidget(MaintenanceActionCmbx, 5, 1, 1, 2);
    fields->addWidget(SetTSECTIONLbl2, 6, 0, 1, 3);
    fields->addWidget(BuildInfoLbl, 7, 0, 1, 3);
    fields->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel1);
    layout->addLayout(buttons);
    setMinimumWidth(560);

    connect(OpenTSECTIONDialogBtn, &QToolButton::clicked, this,
            [this] { OpenTSECTIONDialogBtnClick(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(ID_CANCEL); });
}

void TTSECTIONParamsBoxDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TTSECTIONParamsBoxDlg::FormShow() {
    const TsectionParamsTexts texts = TsectionParamsTextsFor(work_);
    setWindowTitle(texts.Caption);
    SetTSECTIONLbl1->setText(texts.Explanation1);
    SetTSECTIONLbl2->setText(texts.Explanation2);

    const QStringList actions = TsectionActionStrings();
    const QString listed =
        QStringLiteral("\n\n") + Caption(Msg::TSECTION_ACTION_STRINGS) + QLatin1Char('|');
    SimulationActionCmbx->clear();
    SimulationActionCmbx->addItems(actions);
    SetHint(SimulationActionCmbx, tr(kSimulationHint) + listed);
    MaintenanceActionCmbx->clear();
    MaintenanceActionCmbx->addItems(actions);
    SetHint(MaintenanceActionCmbx, tr(kMaintenanceHint) + listed);
    // Without a stored specification the boxes show the record's actions rather than nothing,
    // so that OK never records an action that none of the lines stands for.
    SimulationActionCmbx->setCurrentIndex(work_.TSectionSimulation);
    MaintenanceActionCmbx->setCurrentIndex(work_.TSectionMaintenance);

    if (ReadTsectionSettings(work_))
        ShowTsectionSettings();
    // The explanations arrive only now: the height is fitted to them before centring.
    layout()->activate();
    adjustSize();
    CentreControl(this, parentWidget());
}

void TTSECTIONParamsBoxDlg::ShowTsectionSettings() {
    Path->setText(work_.TSectionFileName);
    // A file whose build cannot be read shows nothing, not the build of the file before it.
    BuildInfoLbl->clear();
    if (ReadTsectionBuild(work_))
        BuildInfoLbl->setText(QLatin1Char('(') +
                              TsectionBuildOrDate(work_.TSectionBuild, work_.TSectionFileName) +
                              QLatin1Char(')'));
    Description->setText(work_.TSectionDescription);
    SimulationActionCmbx->setCurrentIndex(work_.TSectionSimulation);
    MaintenanceActionCmbx->setCurrentIndex(work_.TSectionMaintenance);
}

void TTSECTIONParamsBoxDlg::OpenTSECTIONDialogBtnClick() {
    const qsizetype slash = work_.TSectionFileName.lastIndexOf(QLatin1Char('\\'));
    const QString folder = work_.TSectionFileName.isEmpty() ? App().MstsRootFolder
                                                            : work_.TSectionFileName.left(slash);
    OpenTSECTIONDlg->setDirectory(HostForm(folder));
    OpenTSECTIONDlg->selectFile(QString());
    if (OpenTSECTIONDlg->exec() != QDialog::Accepted || OpenTSECTIONDlg->selectedFiles().isEmpty())
        return;
    work_.TSectionFileName = ToWindowsForm(OpenTSECTIONDlg->selectedFiles().front());
    // A description typed before browsing is kept, not replaced by the stored one.
    work_.TSectionDescription = Description->text();
    work_.TSectionSimulation = TSA_THIS_BUILD_OR_HIGHER;
    work_.TSectionMaintenance = TSA_THIS_BUILD_OR_HIGHER;
    ShowTsectionSettings();
}

void TTSECTIONParamsBoxDlg::OKButtonClick() {
    // A refusal has told the user why; the dialog stays open for a correction.
    if (!AcceptTsectionSettings(work_, Path->text(), Description->text(),
                                SimulationActionCmbx->currentIndex(),
                                MaintenanceActionCmbx->currentIndex()))
        return;
    record_ = work_;
    done(ID_OK);
}

void TTSECTIONParamsBoxDlg::reject() {
    done(ID_CANCEL);
}

} // namespace qv
