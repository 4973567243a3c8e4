#include "catalogue/consistvehicles.h"

#include "catalogue/consistreader.h"
#include "catalogue/mststext.h"
#include "core/status.h"
#include "core/stringlist.h"

#include <QStringList>

namespace qv {

namespace {

// The data keywords stand before the block keywords that begin them.
enum VehicleKeyword { kWagonData, kEngineData, kEngine, kWagon, kFlip };

const QStringList& VehicleKeywords() {
    static const QStringList table{QStringLiteral("WagonData"), QStringLiteral("EngineData"),
                                   QStringLiteral("Engine"), QStringLiteral("Wagon"),
                                   QStringLiteral("Flip")};
    return table;
}

} // namespace

std::unique_ptr<SVIEWModelInfo> NewSviewModelInfo() {
    return std::make_unique<SVIEWModelInfo>();
}

bool ReadConsistVehicles(const QString& consistFile, StringList* vehicleFiles,
                         SviewModelList* viewerEntries) {
    PumpMessagesIfBusy();
    MstsTextReader reader;
    if (!reader.Open(consistFile))
        return false;
    const QStringList& table = VehicleKeywords();
    SVIEWModelInfo* current = nullptr; // the viewer entry of the vehicle block being read
    bool flipped = false;
    bool anyVehicle = false;
    QStringList read; // added to the list at the end, sorted once
    QStringView line;
    while (reader.ReadLine(&line)) {
        const int keyword = MatchKeyword(line, table);
        switch (keyword) {
        case kWagonData:
        case kEngineData: {
            // The quotes stay: StockDataPath needs them to find a name that holds blanks.
            const QString value = CutValue(reader, line, int(table[keyword].size()), true);
            const QString path = StockDataPath(value, keyword == kEngineData);
            anyVehicle = true;
            if (vehicleFiles)
                read.append(path);
            if (viewerEntries) {
                auto entry = NewSviewModelInfo();
                entry->Flipped = flipped;
                current = entry.get();
                viewerEntries->push_back(std::move(entry));
            }
            break;
        }
        case kEngine:
        case kWagon:
            current = nullptr;
            flipped = false;
            break;
        case kFlip:
            flipped = true;
            if (current)
                current->Flipped = true;
            break;
        default:
            break;
        }
    }
    if (vehicleFiles)
        vehicleFiles->AddStrings(std::move(read));
    return anyVehicle;
}

} // namespace qv
