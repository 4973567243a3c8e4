// The keyboard as the window system drives it: a control gets the focus in its active window, and
// keys go to whatever widget has the focus then (an open drop-down list too).
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace qv {

// A key pressed and released at the focus widget.
inline void KeyAtFocus(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(focus, &press);
    QApplication::sendEvent(focus, &release);
}

// Gives a control the focus, as a click or the Tab key would; its window is the active one.
inline void FocusOn(QWidget* control) {
    ASSERT_NE(control, nullptr);
    control->window()->activateWindow();
    QApplication::processEvents();
    control->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), control) << control->objectName().toStdString();
}

} // namespace qv
