// The records that the engine, wagon and consist readers fill: one per file, made by the caller
// and reused for a loop of reads. Consist records can stand in typed record lists; stock records
// never do.
#pragma once

#include "core/itemset.h"

#include <QString>
#include <cstdint>

namespace qv {

// What stands between a root and the name of a stock file or consist file.
inline constexpr QLatin1StringView kTrainsetBase("\\TRAINS\\TRAINSET\\");
inline constexpr QLatin1StringView kConsistsBase("\\TRAINS\\CONSISTS\\");

// One engine (".eng") or wagon (".wag") below TRAINS\TRAINSET.
struct StockInfo {
    std::uint32_t PType = 0; // attribute bits only (PT_ENGINE ... PT_ENGINE_REF_DIFFERS)
    QString Name;            // display name; the file name until a Wagon or Name line is read
    QString Folder;          // TRAINS\TRAINSET
    QString FileName;        // <trainset folder>\<file>; also the cache section name
    QString LotNumber;
    // Set by the caller: a current cache section is not used and the file is parsed.
    bool SkipCache = false;
    QString Description;
    QString EngineName; // the name of the Engine block
    QString WagonShape;
    QString FreightAnim;
    double Size = 0; // length in metres; kept from an earlier read when the file has no Size line
};

// One consist (".con") in TRAINS\CONSISTS.
struct ConsistInfo {
    QString Folder;          // TRAINS\CONSISTS
    QString FileName;        // with its extension; also the cache section name
    std::uint32_t PType = 0; // attribute bits only
    QString Description;     // the consist's Name; the file name until one is read
    QString EngineName;      // the stock cache's Name of the leading engine
    QString LotNumber;
    // Set by the caller: a current cache section is not used and the file is parsed.
    bool SkipCache = false;
    QString TrainCfgName;
    QString LeadEngine; // stock path (<folder>\<file>.ENG) of the first engine
    // Set by the lead-engine check: the section is rewritten although its date matches.
    bool RewriteSection = false;
};

template <> struct RecordKind<ConsistInfo> { static constexpr int code = RK_CONSIST; };

} // namespace qv
