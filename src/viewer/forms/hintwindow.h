// The viewer's key help: a small frameless window in tool-tip colours at the mouse, sized to its
// text, moved by dragging its body and closed by F1 or Esc. At most one is open.
#pragma once

#include <QWidget>

class QLabel;

namespace qv {

class TMyHintWindow : public QWidget {
    Q_OBJECT
public:
    TMyHintWindow(QWidget* owner, const QString& text, int maxWidth);
    ~TMyHintWindow() override;

    // The rectangle a hint needs to show the text at most maxWidth wide.
    static QRect CalcHintTextRect(const QString& text, int maxWidth, const QFont& font);

protected:
    // The help follows a switch of language while it is open.
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Forget();
    // Shows the text, the window sized to it.
    void ShowText(const QString& text);

    QLabel* hintTxt_ = nullptr;
    int maxWidth_ = 0;
    QPoint dragOffset_;
};

// The open help window, or none.
TMyHintWindow* ViewerHelpWindow();
// Opens the help window for a viewer of the given width, or closes the open one.
void ToggleViewerHelp(int viewerWidth);

} // namespace qv
