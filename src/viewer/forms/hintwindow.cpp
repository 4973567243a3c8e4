#include "viewer/forms/hintwindow.h"

#include "core/appstate.h"
#include "core/generaldefs.h"
#include "viewer/forms/viewerform.h"
#include "viewer/viewerwindow.h"

#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace qv {

namespace {

QPointer<TMyHintWindow>& HelpWindow() {
    static QPointer<TMyHintWindow> window;
    return window;
}

constexpr int kHintMargin = 4;

QString ViewerHelpText() {
    return Caption(Msg::VIEWER_HELP_LEG1) + Caption(Msg::VIEWER_HELP_LEG1A) +
           Caption(Msg::VIEWER_HELP_LEG2) + Caption(Msg::VIEWER_HELP_LEG3);
}

} // namespace

TMyHintWindow::TMyHintWindow(QWidget* owner, const QString& text, int maxWidth)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), maxWidth_(maxWidth) {
    setObjectName(QStringLiteral("TMyHintWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
    setPalette(colours);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    setFont(font);

    hintTxt_ = new QLabel(this);
    hintTxt_->setObjectName(QStringLiteral("HintTxt"));
    hintTxt_->setWordWrap(true);
    hintTxt_->setMargin(kHintMargin / 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(hintTxt_);

    ShowText(text);
    move(QCursor::pos());
    setFocusPolicy(Qt::StrongFocus);
}

TMyHintWindow::~TMyHintWindow() {
    Forget();
}

// The window is forgotten as soon as it closes, so that the next F1 opens a new one.
void TMyHintWindow::Forget() {
    if (HelpWindow() != this)
        return;
    HelpWindow() = nullptr;
    if (App().ViewerWindowList)
        App().ViewerWindowList->CloseHelpWindow = nullptr;
}

void TMyHintWindow::ShowText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    hintTxt_->setText(shown);
    setFixedSize(CalcHintTextRect(shown, maxWidth_, font()).size());
}

void TMyHintWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange && HelpWindow() == this)
        ShowText(ViewerHelpText());
}

void TMyHintWindow::closeEvent(QCloseEvent* event) {
    Forget();
    QWidget::closeEvent(event);
}

QRect TMyHintWindow::CalcHintTextRect(const QString& text, int maxWidth, const QFont& font) {
    const QFontMetrics metrics(font);
    QRect rect = metrics.boundingRect(QRect(0, 0, std::max(maxWidth, 40) - 2 * kHintMargin, 0),
                                      Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
    rect.adjust(0, 0, 2 * kHintMargin, 2 * kHintMargin);
    return QRect(0, 0, rect.width(), rect.height());
}

void TMyHintWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 || event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

// Dragging anywhere in the window moves it, as a caption would.
void TMyHintWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
    QWidget::mousePressEvent(event);
}

void TMyHintWindow::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - dragOffset_);
    QWidget::mouseMoveEvent(event);
}

TMyHintWindow* ViewerHelpWindow() {
    return HelpWindow().data();
}

void ToggleViewerHelp(int viewerWidth) {
    if (TMyHintWindow* open = HelpWindow().data()) {
        open->close();
        return;
    }
    auto* window = new TMyHintWindow(TViewerForm::MainForm(), ViewerHelpText(), viewerWidth);
    HelpWindow() = window;
    ViewerWindows().CloseHelpWindow = [] {
        if (TMyHintWindow* open = HelpWindow().data())
            open->close();
    };
    window->show();
}

} // namespace qv
