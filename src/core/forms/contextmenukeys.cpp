#include "core/forms/contextmenukeys.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QWidget>

namespace qv {

namespace {

bool IsContextMenuKey(const QKeyEvent& key) {
    return (key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier) ||
           (key.key() == Qt::Key_Menu && key.modifiers() == Qt::NoModifier);
}

// The keys are taken where the window system delivers them, at the focus widget, before the
// widget or its window sees them.
class ContextMenuKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !IsContextMenuKey(*static_cast<QKeyEvent*>(event)))
            return false;
        QWidget* control = QApplication::focusWidget();
        // While a popup is open the keys are its own; where the window system asks for the menu
        // itself on the Menu key, the menu it opened is that popup. The menu bar, worked with the
        // keys, is no control the user is in.
        if (watched != control || QApplication::activePopupWidget() ||
            qobject_cast<QMenuBar*>(control) || qobject_cast<QMenu*>(control))
            return false;
        if (control->isEnabled()) {
            // At the control's current place: its current row, the caret.
            const QPoint place = control->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
            QContextMenuEvent request(QContextMenuEvent::Keyboard, place,
                                      control->mapToGlobal(place), Qt::NoModifier);
            QCoreApplication::sendEvent(control, &request);
        }
        return true;
    }
};

} // namespace

void InstallContextMenuKeys() {
    static QPointer<ContextMenuKeys> keys;
    if (keys || !qApp)
        return;
    keys = new ContextMenuKeys(qApp);
    qApp->installEventFilter(keys);
}

} // namespace qv
