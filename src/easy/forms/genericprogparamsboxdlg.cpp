#include "easy/forms/genericprogparamsboxdlg.h"

#include "core/appstate.h"
#include "core/forms/controls.h"
#include "core/forms/fixeddefs.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "easy/launchsettings.h"
#include "platform/drivemap.h"
#include "platform/ui.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace qv {

namespace {

void SetHint(QWidget* control, const QString& hint) {
    control->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
    control->setStatusTip(hint.section(QLatin1Char('|'), 1));
}

} // namespace

TGenericProgParamsBoxDlg::TGenericProgParamsBoxDlg(QWidget* owner, const QString& programName,
                                                   const QString& paramsValue,
                                                   const QString& pathValue, const QString& key,
                                                   bool showParams, const QString& description)
    : QDialog(owner), key_(key), pathValue_(pathValue), paramsValue_(paramsValue) {
    setObjectName(QStringLiteral("TGenericProgParamsBoxDlg"));
    const QString blank = QStringLiteral(" ");
    setWindowTitle(Caption(Msg::GEN_PROG_CAPTION1) + blank + programName + blank +
                   Caption(Msg::GEN_PROG_CAPTION2));

    DescriptionTextLbl = Named(new QLabel(description, this), "DescriptionTextLbl");
    DescriptionTextLbl->setWordWrap(true);
    Launch_EXE_PathLbl = Named(new QLabel(tr("Path: "), this), "Launch_EXE_PathLbl");
    Launch_EXE_Path = Named(new QLineEdit(this), "Launch_EXE_Path");
    SetHint(Launch_EXE_Path, Caption(Msg::GEN_PROG_PATH_HINT1) + blank + programName + blank +
                                 Caption(Msg::GEN_PROG_PATH_HINT2));
    OpenLaunchDialogBtn = Named(new QToolButton(this), "OpenLaunchDialogBtn");
    // The shared folder picture, else the style's own.
    const TFixedDefsForm* pictures = FixedDefsForm();
    OpenLaunchDialogBtn->setIcon(pictures && pictures->ButtonImageList.Count() > 3
                                     ? QIcon(pictures->ButtonImageList.Images[3])
                                     : style()->standardIcon(QStyle::SP_DirOpenIcon));
    Launch_EXE_ParamsLbl = Named(new QLabel(tr("Parameters: "), this), "Launch_EXE_ParamsLbl");
    Launch_EXE_Params = Named(new QLineEdit(this), "Launch_EXE_Params");
    SetHint(Launch_EXE_Params, Caption(Msg::GEN_PROG_PARAM_HINT1) + blank + programName + blank +
                                   Caption(Msg::GEN_PROG_PARAM_HINT2));
    const bool params = !paramsValue.isEmpty() && showParams;
    Launch_EXE_ParamsLbl->setVisible(params);
    Launch_EXE_Params->setVisible(params);

    OpenLaunchDlg = Named(new QFileDialog(this), "OpenLaunchDlg");
    OpenLaunchDlg->setWindowTitle(Caption(Msg::GEN_PROG_OPEN_TITLE1) + blank + programName + blank +
                                  Caption(Msg::GEN_PROG_OPEN_TITLE2));
    OpenLaunchDlg->setOption(QFileDialog::DontUseNativeDialog);
    OpenLaunchDlg->setFileMode(QFileDialog::ExistingFile);
    OpenLaunchDlg->setNameFilters({tr("Application Files (*.EXE *.exe)"),
                                   tr("Shortcut Files (*.LNK *.lnk)"), tr("All Files (*)")});

    OKButton = Named(new QPushButton(tr("OK"), this), "OKButton");
    OKButton->setDefault(true);
    CancelButton = Named(new QPushButton(tr("Cancel"), this), "CancelButton");

    auto* grid = new QGridLayout;
    grid->addWidget(Launch_EXE_PathLbl, 0, 0);
    grid->addWidget(Launch_EXE_Path, 0, 1);
    grid->addWidget(OpenLaunchDialogBtn, 0, 2);
    grid->addWidget(Launch_EXE_ParamsLbl, 1, 0);
    grid->addWidget(Launch_EXE_Params, 1, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DescriptionTextLbl);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(480, sizeHint().height());

    connect(OpenLaunchDialogBtn, &QToolButton::clicked, this,
            &TGenericProgParamsBoxDlg::OpenLaunchDialogBtnClick);
    connect(OKButton, &QPushButton::clicked, this, &TGenericProgParamsBoxDlg::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(ID_CANCEL); });
    FormShow();
}

void TGenericProgParamsBoxDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    setWindowTitle(App().ProgramTitle + QStringLiteral(" - ") + windowTitle());
    CentreControl(this, parentWidget());
}

void TGenericProgParamsBoxDlg::FormShow() {
    Launch_EXE_Path->setText(RegReadString(key_, pathValue_));
    if (!paramsValue_.isEmpty())
        Launch_EXE_Params->setText(RegReadString(key_, paramsValue_));
}

void TGenericProgParamsBoxDlg::OpenLaunchDialogBtnClick() {
    QString folder = LaunchBrowseFolder(key_, pathValue_);
    // A stored program file opens the dialog in its folder.
    const qsizetype slash = folder.lastIndexOf(QLatin1Char('\\'));
    if (folder.contains(QLatin1Char('.')) && slash > 0)
        folder.truncate(slash);
    if (!folder.isEmpty())
        OpenLaunchDlg->setDirectory(HostForm(folder));
    OpenLaunchDlg->selectFile(QString());
    if (OpenLaunchDlg->exec() != QDialog::Accepted || OpenLaunchDlg->selectedFiles().isEmpty())
        return;
    Launch_EXE_Path->setText(ToWindowsForm(OpenLaunchDlg->selectedFiles().front()));
}

void TGenericProgParamsBoxDlg::OKButtonClick() {
    // A host path typed in is kept in the Windows form, as every stored path is; a path in
    // quotes, as a command line holds one with blanks, names the program without them.
    QString path = StripQuotes(Launch_EXE_Path->text().trimmed());
    if (path.startsWith(QLatin1Char('/')))
        path = ToWindowsForm(path);
    if (AcceptLaunchSettings(key_, pathValue_, paramsValue_, path, Launch_EXE_Params->text()))
        done(ID_OK);
}

} // namespace qv
