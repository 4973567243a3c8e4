// The records that the path, service, traffic and route readers fill: one per MSTS file, made and
// owned by the caller. Paths and services can stand in typed record lists; traffic and route
// records never do.
#pragma once

#include "core/itemset.h"

#include <QString>
#include <cstdint>

namespace qv {

// One path file (".pat" in a route's PATHS folder).
struct PathInfo {
    std::uint32_t PType = 0; // PT_DRIVEABLE and PT_NAME_DIFFERS only
    QString Name;
    QString Folder;   // ROUTES\<route folder>\PATHS, relative to the root; set by the caller
    QString FileName; // with its extension; set by the caller
    QString PathStart;
    QString PathEnd;
    // Set by the caller: a current cache section is not used and the file is parsed.
    bool SkipCache = false;
};

// One service file (".srv" in a route's SERVICES folder). Name, ConsistFile and PathFile hold "0"
// after a read that did not find their keyword.
struct ServiceInfo {
    QString Name;
    QString Folder; // ROUTES\<route folder>\SERVICES
    QString FileName;
    QString ConsistFile; // file name in TRAINS\CONSISTS, with ".con"
    QString PathFile;    // file name in the route's PATHS folder, with ".pat"
};

// One traffic file (".trf" in a route's TRAFFIC folder).
struct TrafficInfo {
    QString Name;
    QString Folder; // ROUTES\<route folder>\TRAFFIC
    QString FileName;
};

// One route, read from its route file (".trk"); made by its user with every field empty or 0 and
// reused for several routes. The TSECTION fields carry the route's TSECTION.DAT specification and
// the Explore fields its last generated Explore activity; the route reader only clears the former.
struct RouteInfo {
    std::uint32_t PType = 0; // PT_ROUTE, or PT_ELECTRIFIED; PT_GLOBAL for the system default
    QString Name;            // the route folder name until a Name line is read
    QString Description;
    QString Folder; // Routes\<route folder>
    QString FileName;
    QString RouteID;
    QString Graphic;
    QString LoadingScreen;
    QString TSectionFileName;
    QString TSectionDescription;
    QString TSectionBuild;
    std::int32_t TSectionSimulation = 0;
    std::int32_t TSectionMaintenance = 0;
    QString Comment; // the version text of the route file's Comment line
    QString ExploreFileName;
    std::int32_t ExploreSetupDate = 0;
};

template <> struct RecordKind<PathInfo> { static constexpr int code = RK_PATH; };
template <> struct RecordKind<ServiceInfo> { static constexpr int code = RK_SERVICE; };

} // namespace qv
