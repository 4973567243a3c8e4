// The arithmetic of a viewer window's size, place and first view, as functions of plain numbers
// (the screen's pixels per inch, the screen's size, the heights), so that it holds without a
// window.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace qv {

struct SVIEWHeaderInfo;

// The viewer window's height in the form's design.
inline constexpr int kViewerDesignHeight = 127;

// "Viewer Height" as a number of pixels; the design height when it is absent, not a number, or
// not above 0 (it divides the width).
int ReadViewerHeight(const QString& text, int designHeight);

// The window width that shows the whole consist at the viewer height, in pixels.
int WindowWidth(int dpi, double totalLength, int viewerHeight, int designHeight);

// The window's new size. Initial: the viewer height and the ideal width; otherwise the current
// size is the start. Full width makes the window as wide as the screen (less 2), keeping its
// proportions unless that would be taller than the screen.
QSize SizeViewerWindow(int idealWidth, QSize current, bool initial, bool fullWidth,
                       int viewerHeight, QSize screen);

// Top-left of a window of the given size centred over the main window, kept on the screen.
QPoint CentreOverMainForm(QSize window, const QRect& mainForm, int screenWidth);

// Sets the header's look-at position (and, when the consist is wider than the screen, its middle
// index) for a window of the given height.
void FitView(SVIEWHeaderInfo& header, int windowWidth, int screenWidth, float fieldOfView,
             int designHeight, int windowHeight);

// The ambient light one step brighter (+1) or darker (-1) in each colour, each channel stopping
// at 0 and 255; alpha kept.
quint32 StepAmbient(quint32 ambient, int direction);

} // namespace qv
