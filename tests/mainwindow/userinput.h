// The keyboard as the window system drives it: a control gets the focus in its active window, and
// a key is pressed and released at whatever widget has the focus then (an open drop-down list too).
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace qv {

inline void KeyAtFocus(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(focus, &press);
    QApplication::sendEvent(focus, &release);
}

inline void FocusOn(QWidget* control) {
    ASSERT_NE(control, nullptr);
    control->window()->activateWindow();
    QApplication::processEvents();
    control->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), control) << control->objectName().toStdString();
}

} // namespace qv
