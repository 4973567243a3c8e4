// The top-level windows of other programs on the X display, in place of the Windows window list:
// finding one by class and title, showing it, bringing it to the front and minimising it. Each
// call opens its own connection to the display named by $DISPLAY; without a display nothing is
// found and nothing is done.
#pragma once

#include <QString>
#include <QtGlobal>

namespace qv {

// An X window id; 0 is no window.
using WindowHandle = quint64;

// The first top-level window (topmost first) whose class and title both equal the given ones
// without regard to case; 0 when there is none. The class is either part of WM_CLASS (instance
// or class name), the title _NET_WM_NAME, else WM_NAME. A window made by Wine carries its program
// file as class ("train.exe"), not the Windows class, so it matches on its title alone. Windows
// whose _NET_WM_PID is skipProcessId are passed over (-1: none).
WindowHandle FindXWindow(const QString& className, const QString& title, qint64 skipProcessId = -1);

// Maps the window (taking it out of its minimised state), raises it and asks the window manager
// to activate it. False when there is no display or no such window.
bool RestoreXWindow(WindowHandle window);
// Raises the window and asks the window manager to activate it. False when there is no display or
// no such window.
bool ActivateXWindow(WindowHandle window);
// Asks the window manager to minimise the window. False when there is no display or no such
// window.
bool MinimiseXWindow(WindowHandle window);

} // namespace qv
