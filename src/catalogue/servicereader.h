// The two small readers of a route's service and traffic files: from a service its name, consist
// file and path file; from a traffic file its name and, when asked, the service files it names.
// Neither keeps a cache.
#pragma once

#include "catalogue/pathrecords.h"

#include <QString>

namespace qv {

class StringList;
struct AheadFile;

// Reads <root>\<relativePath> (ROUTES\<route>\SERVICES\<file>.srv). True when the consist, the
// path and the name were all found; fields not found hold "0". False too when the file cannot be
// opened. With `ahead` (the file as read ahead from this root), its text stands for reading it.
bool ReadServiceFile(const QString& root, const QString& relativePath, ServiceInfo& service,
                     const AheadFile* ahead = nullptr);

// Reads the traffic's name from <root>\<relativePath> (ROUTES\<route>\TRAFFIC\<file>.trf) and, when
// services is given, adds each service it defines as ROUTES\<route>\SERVICES\<name>.srv (the list
// is not cleared). True when the file could be opened.
bool ReadTrafficServices(const QString& root, const QString& relativePath, TrafficInfo& traffic,
                         StringList* services);

// The first item after the "(" of a block header line's rest: a quoted name up to the quote that a
// blank or tab follows, else the first word.
QString BlockHeaderValue(const QString& rest);

} // namespace qv
