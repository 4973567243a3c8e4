// The canvas's options dialog: textures, lighting, wireframe and culling.
#pragma once

#include "viewer/canvas.h"

class QWidget;

namespace qv {

// Shows the dialog with the options; true, with the edited options, after OK.
bool EditCanvasOptions(QWidget* parent, CanvasOptions* options);

} // namespace qv
