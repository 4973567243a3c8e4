// The splash window the main window's start-up shows modally: the program's name, version and
// legal notice, and, on its first timer tick, the start-up actions that may take long (with any
// command-line job); the tick after they are done closes it.
#pragma once

#include "mainwindow/commandline.h"
#include "mainwindow/startupsequence.h"

#include <QDialog>
#include <QString>
#include <memory>

class QTimer;

namespace Ui {
class TSplashForm;
}

namespace qv {

class TSplashForm : public QDialog, private StartupView {
    Q_OBJECT

public:
    // `commandLineArgument` is the program's first argument, empty for none.
    TSplashForm(const QString& commandLineArgument, QWidget* parent);
    ~TSplashForm() override;

    // The form's components by their names (ui->Description, ui->ProgressBar, ...).
    std::unique_ptr<::Ui::TSplashForm> ui;
    // Runs the sequence on its first tick and closes the form on the first tick after it.
    QTimer* Timer1 = nullptr;

    void FormShow();
    void Timer1Timer();
    // The sequence has finished and the form may close.
    bool SplashDone() const { return splashDone_; }

protected:
    void showEvent(QShowEvent* event) override;
    // Escape and the window's close do nothing until the sequence has finished.
    void reject() override;

private:
    // The description label as the command-line job's status label.
    class DescriptionStatus : public StatusLabel {
    public:
        explicit DescriptionStatus(TSplashForm& form) : form_(form) {}
        void ShowText(const QString& text) override;
        int TextWidth(const QString& text) const override;
        int Width() const override;

    private:
        TSplashForm& form_;
    };

    void ShowDescription(const QString& text) override;
    void SetPosition(int position) override;
    void HideProgressBar() override;
    void SetTimerInterval(int milliseconds) override;
    StatusLabel& DescriptionLabel() override { return description_; }

    QString commandLineArgument_;
    DescriptionStatus description_{*this};
    bool splashStarted_ = false;
    bool splashDone_ = false;
};

} // namespace qv
