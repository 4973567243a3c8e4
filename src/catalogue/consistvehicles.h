// The vehicles of one consist in train order: the stock file each one uses and, for the 3-D
// viewer, whether it runs reversed. Serves the scenario-cache rebuild, the where-used analysis,
// the immediate unstore of a consist and the consist viewer.
#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace qv {

class StringList;

// The 3-D viewer's entry for one vehicle. Reading a consist sets only Flipped; the viewer fills
// the rest from the vehicle's stock record and keeps its loaded shapes in the model slots.
struct SVIEWModelInfo {
    QString Shape;       // full path of the vehicle's shape file
    QString SecondShape; // the freight-animation shape; may be empty
    double Length = 0;   // metres
    double Centre = 0;   // metres from the consist's start
    bool Flipped = false;
    // The loaded shapes, owned by the viewer; empty until it loads them.
    std::shared_ptr<void> Model;
    std::shared_ptr<void> SecondModel;
};

using SviewModelList = std::vector<std::unique_ptr<SVIEWModelInfo>>;

// A new entry with empty shapes, zero length and position, not flipped and no models.
std::unique_ptr<SVIEWModelInfo> NewSviewModelInfo();

// Reads the consist file at a full Windows-form path and adds, per vehicle in file order, its
// stock path ("<folder>\<file>.ENG" or ".WAG") to vehicleFiles and a new viewer entry with its
// Flip flag to viewerEntries (either may be none; nothing is cleared first). True when the file
// names at least one vehicle; false when it cannot be opened or names none.
bool ReadConsistVehicles(const QString& consistFile, StringList* vehicleFiles,
                         SviewModelList* viewerEntries);

} // namespace qv
