// The route folders of a root that hold a route file, and the files of one kind (routes,
// activities, services, paths, traffic) in every route of a root, as paths relative to the root.
#pragma once

#include "core/stringlist.h"

#include <QString>
#include <cstdint>

namespace qv {

class ListedFileDates;

// Adds to `out` each sub-folder of `<root>\Routes` that holds a "*.TRK" file in the MSTS folder
// or, failing that, in the store (a stored route keeps its folder in the MSTS folder and only its
// route file moves), in sorted order and each once, as `<prefix>\<name>`, or the bare name when
// the prefix is empty. A missing root adds nothing. Always true.
bool ListRouteFolders(StringList& out, const QString& root, const QString& prefix);

// Adds to `out` one path `Routes\<route>[\<sub-folder>]\<file>` per file of the kind (PT_ROUTE,
// PT_ACTIVITY, PT_SERVICE, PT_PATH or PT_TRAFFIC) in every route of the root, route by route in
// sorted order. Any other kind is reported as unexpected and adds nothing.
// With `listed`, the files' dates and the folders listed are noted there.
void ListRouteFilesOfKind(std::uint32_t kind, StringList& out, const QString& root,
                          ListedFileDates* listed = nullptr);
// The same for the routes ListRouteFolders gave (bare names), listed once for several kinds.
void ListRouteFilesOfKindIn(const StringList& routes, std::uint32_t kind, StringList& out,
                            const QString& root);

} // namespace qv
