#include "viewer/forms/viewerform.h"

#include "core/appstate.h"
#include "viewer/forms/hintwindow.h"
#include "viewer/forms/viewercanvas.h"
#include "viewer/viewergeometry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace qv {

namespace {

QPointer<QWidget>& MainFormPointer() {
    static QPointer<QWidget> form;
    return form;
}

int ShiftMask(Qt::KeyboardModifiers modifiers) {
    int mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= VK_SHIFT_MASK;
    if (modifiers & Qt::ControlModifier)
        mask |= VK_CTRL_MASK;
    if (modifiers & Qt::AltModifier)
        mask |= VK_ALT_MASK;
    return mask;
}

// Windows colours are 0x00BBGGRR.
QColor FromWindowsColour(quint32 colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

quint32 ToWindowsColour(const QColor& colour) {
    return quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
}

} // namespace

TViewerForm::TViewerForm(std::unique_ptr<SVIEWHeaderInfo> header, QWidget* owner,
                         ViewerWindowList& list)
    : QWidget(owner, Qt::Window), ViewerWindow(list) {
    setObjectName(QStringLiteral("TViewerForm"));
    resize(864, kViewerDesignHeight);
    canvas_ = new ViewerCanvas(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(canvas_);
    canvas_->installEventFilter(this);
    Register(std::move(header), height());
}

TViewerForm::~TViewerForm() {
    if (waitCursor_)
        QApplication::restoreOverrideCursor();
}

void TViewerForm::SetMainForm(QWidget* mainForm) {
    MainFormPointer() = mainForm;
}

QWidget* TViewerForm::MainForm() {
    return MainFormPointer().data();
}

Canvas& TViewerForm::ViewCanvas() {
    return *canvas_;
}

void TViewerForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (QScreen* shown = screen())
        setMaximumWidth(shown->geometry().width());
    FormShow();
}

void TViewerForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TViewerForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        FormResize();
}

void TViewerForm::closeEvent(QCloseEvent* event) {
    if (FormClose())
        event->accept();
    else
        event->ignore();
}

void TViewerForm::HandleKey(QKeyEvent* event) {
    const int shift = ShiftMask(event->modifiers());
    int key = event->key();
    if ((event->modifiers() & Qt::KeypadModifier) && key == Qt::Key_Minus)
        key = kKeypadMinus;
    else if ((event->modifiers() & Qt::KeypadModifier) && key == Qt::Key_Plus)
        key = kKeypadPlus;
    FormKeyDown(key, shift);
    CanvasKeyDown(key, shift);
}

void TViewerForm::keyPressEvent(QKeyEvent* event) {
    HandleKey(event);
}

bool TViewerForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == canvas_ && event->type() == QEvent::KeyPress) {
        HandleKey(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TViewerForm::ResizeWindow(QSize size) {
    resize(size);
}

QRect TViewerForm::MainFormGeometry() const {
    if (const QWidget* main = MainForm())
        return main->frameGeometry();
    const QScreen* shown = screen();
    return shown ? shown->availableGeometry() : QRect(0, 0, 1024, 768);
}

QSize TViewerForm::ScreenSize() const {
    const QScreen* shown = screen();
    return shown ? shown->geometry().size() : QSize(1024, 768);
}

int TViewerForm::ScreenDpi() const {
    return logicalDpiX();
}

void TViewerForm::MinimiseWindow() {
    showMinimized();
}

void TViewerForm::RestoreAndRaise() {
    showNormal();
    raise();
    activateWindow();
}

void TViewerForm::DestroyWindow() {
    deleteLater();
}

void TViewerForm::ToggleHelp() {
    ToggleViewerHelp(width());
}

bool TViewerForm::ChooseBackground(quint32* colour) {
    QColorDialog dialog(FromWindowsColour(*colour), this);
    dialog.setObjectName(QStringLiteral("BackColourDlg"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *colour = ToWindowsColour(dialog.selectedColor());
    return true;
}

void TViewerForm::ScreenshotFlash() {
    QPalette colours = palette();
    const QColor own = colours.color(QPalette::Button);
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    repaint();
    colours.setColor(QPalette::Window, own);
    setPalette(colours);
}

void TViewerForm::FocusCanvas() {
    canvas_->setFocus();
}

void TViewerForm::Beep() {
    QApplication::beep();
}

void TViewerForm::ProcessMessages() {
    QCoreApplication::processEvents();
}

void TViewerForm::SetWaitCursor(bool wait) {
    if (wait == waitCursor_)
        return;
    waitCursor_ = wait;
    if (wait)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void OpenViewerWindow(std::unique_ptr<SVIEWHeaderInfo> header) {
    auto* window = new TViewerForm(std::move(header), nullptr);
    window->show();
    // Opened from a dialog, the new window would stay behind it.
    window->raise();
    window->activateWindow();
}

} // namespace qv
