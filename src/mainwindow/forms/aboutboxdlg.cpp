#include "mainwindow/forms/aboutboxdlg.h"

#include "core/appstate.h"
#include "core/forms/controls.h"
#include "core/forms/fixeddefs.h"
#include "core/pathshorten.h"
#include "mainwindow/aboutinfo.h"
#include "platform/ui.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace qv {

namespace {

constexpr int kPathLabelWidth = 324;

QLabel* Label(QWidget* parent, const QString& text, const char* name, bool bold = false) {
    auto* label = Named(new QLabel(text, parent), name);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

void ShowPath(QLabel* label, const QString& path) {
    const QFontMetrics metrics(label->font());
    label->setText(ShortenPath(path, kPathLabelWidth, [&metrics](const QString& text) {
        return metrics.horizontalAdvance(text);
    }));
    label->setToolTip(path);
}

} // namespace

TAboutBoxDlg::TAboutBoxDlg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("TAboutBoxDlg"));
    setWindowTitle(tr("About"));
    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    ProgramIcon = Named(new QLabel(Panel1), "ProgramIcon");
    ProgramIcon->setFixedSize(64, 64);
    ProgramIcon->setScaledContents(true);
    ProductNameLbl = Label(Panel1, QString(), "ProductNameLbl", true);
    VersionLbl = Label(Panel1, QString(), "VersionLbl", true);
    CopyrightLbl = Label(Panel1, tr("Copyright:"), "CopyrightLbl");
    LegalCopyrightLbl = Label(Panel1, QString(), "LegalCopyrightLbl");
    DescriptionLbl = Label(Panel1, tr("Description: "), "DescriptionLbl");
    Description = Label(Panel1,
                        tr("A program to store Routes and Activities efficiently so that MSTS "
                           "does not read redundant information on startup."),
                        "Description");
    Description->setWordWrap(true);
    LinePnl = Named(new QFrame(Panel1), "LinePnl");
    LinePnl->setFrameShape(QFrame::HLine);
    MSTSFolderPathLbl = Label(Panel1, tr("MSTS Folder:"), "MSTSFolderPathLbl");
    MSTSFolderFixedAuto = Label(Panel1, QString(), "MSTSFolderFixedAuto");
    MSTSFolderPath = Label(Panel1, QString(), "MSTSFolderPath");
    MSTSFolderPath->setFixedWidth(kPathLabelWidth);
    StorageFolderPathLbl = Label(Panel1, tr("Storage Folder:"), "StorageFolderPathLbl");
    StorageFolderPath = Label(Panel1, QString(), "StorageFolderPath");
    StorageFolderPath->setFixedWidth(kPathLabelWidth);
    TSECTIONLbl = Label(Panel1, tr("Active TSECTION.DAT"), "TSECTIONLbl");
    TSECTIONBuildLbl = Label(Panel1, QString(), "TSECTIONBuildLbl");
    OKButton = Named(new QPushButton(tr("OK"), this), "OKButton");
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { done(ID_OK); });

    auto* head = new QHBoxLayout;
    head->addWidget(ProgramIcon);
    auto* names = new QVBoxLayout;
    names->addWidget(ProductNameLbl);
    names->addWidget(VersionLbl);
    head->addLayout(names, 1);
    auto* panel = new QVBoxLayout(Panel1);
    panel->addLayout(head);
    panel->addWidget(CopyrightLbl);
    panel->addWidget(LegalCopyrightLbl);
    panel->addWidget(DescriptionLbl);
    panel->addWidget(Description);
    panel->addWidget(LinePnl);
    auto* msts = new QHBoxLayout;
    msts->addWidget(MSTSFolderPathLbl);
    msts->addWidget(MSTSFolderFixedAuto);
    msts->addStretch();
    panel->addLayout(msts);
    panel->addWidget(MSTSFolderPath);
    panel->addWidget(StorageFolderPathLbl);
    panel->addWidget(StorageFolderPath);
    panel->addWidget(TSECTIONLbl);
    panel->addWidget(TSECTIONBuildLbl);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addStretch();
    layout->addLayout(buttons);
    // The box is as large as its texts need in the font and language in force, and no larger.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBoxDlg::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TAboutBoxDlg::FormShow() {
    if (filled_)
        return;
    filled_ = true;
    const AboutTexts texts = AboutBoxTexts();
    ProductNameLbl->setText(texts.ProductName);
    VersionLbl->setText(texts.Version);
    LegalCopyrightLbl->setText(texts.Copyright);
    setWindowTitle(windowTitle() + QLatin1Char(' ') + texts.ProductName);
    MSTSFolderFixedAuto->setText(texts.FixedOrAutomatic);
    ShowPath(MSTSFolderPath, texts.MstsFolder);
    ShowPath(StorageFolderPath, texts.StoreFolder);
    if (const TFixedDefsForm* pictures = FixedDefsForm();
        pictures && pictures->LargeImageList.Count() > 0)
        ProgramIcon->setPixmap(pictures->LargeImageList.Images[0]);
    TSECTIONBuildLbl->setText(texts.TsectionBuild);
}

} // namespace qv
