// One viewer window's consist: its vehicles with their shapes, lengths and places along the
// track, the camera's numbers and the settings the window was opened with. Made when a consist
// or stock item is shown and freed with its window.
#pragma once

#include "catalogue/consistvehicles.h"

#include <QString>
#include <memory>

namespace qv {

class CanvasModel;

struct SVIEWHeaderInfo {
    SviewModelList Models;  // the vehicles in consist order
    QString Title;          // the item's description; the window's caption
    QString MstsFolder;     // MstsRootFolder when the header was made
    QString StoreFolder;    // StoreRootFolder when the header was made
    double TotalLength = 0; // metres, a vehicle without a length counted as 5 m
    float LargestSize = 0;
    float TargetX = 0, TargetY = 0, TargetZ = 0;
    float CameraDistance = 0;        // the camera's x; negative while the other side is shown
    float CameraHeightAtLargest = 0; // target y of the largest model, kept for resets
    float EyeZ = 0;
    std::int32_t Side = 1; // 1 the normal side, 3 the other side
    std::int32_t CurrentIndex = 0;
    std::int32_t MiddleIndex = 0;
    double LookAtPosition = 0; // along the consist, of the first view
    float AnimationPhase = 0;  // 0 to 1
    bool Active = false;       // the window is listed and showing
    bool FullWidth = false;    // "Viewer F12": as wide as the screen
    float InOutOffset = 0;     // "Viewer InOut": added to the camera distance
};

// A header with no models, side 1, "Viewer F12" and "Viewer InOut" read from the settings and
// the two root folders copied.
std::unique_ptr<SVIEWHeaderInfo> NewSviewHeaderInfo();

// What a length adds to the consist: the length when it is a positive finite number, else
// nothing (to the centres) and 5 m (to the total length).
bool UsableLength(double length);

// Lays the vehicles end to end: total length, each centre and the middle index. Starts from
// nothing each time, so that showing a window again gives the same numbers.
void LayoutConsist(SVIEWHeaderInfo& header);

// The loaded shapes of a model entry, as the window keeps them.
CanvasModel* ModelOf(const SVIEWModelInfo& model);
CanvasModel* SecondModelOf(const SVIEWModelInfo& model);

// Frees the models' loaded shapes and the model entries.
void FreeViewerModels(SVIEWHeaderInfo& header);

} // namespace qv
