#include "mainwindow/forms/splashform.h"

#include "core/appstate.h"
#include "core/forms/fixeddefs.h"
#include "ui_splashform.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace qv {

TSplashForm::TSplashForm(const QString& commandLineArgument, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui(new ::Ui::TSplashForm),
      commandLineArgument_(commandLineArgument) {
    ui->setupUi(this);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &TSplashForm::Timer1Timer);
}

TSplashForm::~TSplashForm() = default;

void TSplashForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TSplashForm::FormShow() {
    splashStarted_ = false;
    splashDone_ = false;
    const AppState& app = App();
    ui->ProductNameLbl->setText(app.ProgramTitle);
    ui->VersionLbl->setText(
        tr("Version %1 (Build %2)").arg(app.ProgramVersion, app.ProgramFileVersion));
    setWindowTitle(tr("About %1").arg(app.ProgramTitle));
    ui->CopyrightLbl->setText(app.ProgramCopyright);
    if (const TFixedDefsForm* images = FixedDefsForm(); images && images->LargeImageList.Count())
        ui->ProgramIcon->setPixmap(images->LargeImageList.Images[0]);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    Timer1->start(1);
}

void TSplashForm::Timer1Timer() {
    if (!splashStarted_) {
        splashStarted_ = true;
        StartupSequence(*this, commandLineArgument_);
        splashDone_ = true;
    } else if (splashDone_) {
        Timer1->stop();
        accept();
    }
}

void TSplashForm::reject() {
    if (splashDone_)
        QDialog::reject();
}

void TSplashForm::ShowDescription(const QString& text) {
    // A "\r" in a caption breaks the line, which a label does only for a line feed.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
    ui->Description->setText(shown);
    ui->Description->repaint();
}

void TSplashForm::SetPosition(int position) {
    ui->ProgressBar->setValue(position);
    ui->ProgressBar->repaint();
}

void TSplashForm::HideProgressBar() {
    ui->ProgressBar->hide();
}

void TSplashForm::SetTimerInterval(int milliseconds) {
    Timer1->setInterval(milliseconds);
}

void TSplashForm::DescriptionStatus::ShowText(const QString& text) {
    form_.ShowDescription(text);
}

int TSplashForm::DescriptionStatus::TextWidth(const QString& text) const {
    return form_.ui->Description->fontMetrics().horizontalAdvance(text);
}

int TSplashForm::DescriptionStatus::Width() const {
    return form_.ui->Description->width();
}

} // namespace qv
