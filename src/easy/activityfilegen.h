// The transient MSTS service and activity written just before MSTS starts an Explore session
// with traffic: the service "QV_~TEMP.srv" of the chosen consist and player path, the activity
// "QV_~TEMP<n>.act" that copies the chosen sections of the source activity, and the empty marker
// "EXPLORER.ACT" that MSTS removes once it has taken the session up. The source activity is then
// moved into the store, so that MSTS lists only the generated activity.
#pragma once

#include "catalogue/activityreader.h"
#include "core/exploresaveinfo.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace qv {

// The lines of the service file, the byte-order mark first; each is written followed by LF.
QStringList ExploreServiceLines(const ExploreActivitySaveInfo& session);
// The lines of the activity's header and player service, the byte-order mark first, for the
// session under its save number (which names the session).
QStringList ExploreActivityLines(const ActivityInfo& source,
                                 const ExploreActivitySaveInfo& session);
// The text that follows the header: from the first line that opens a listed section (traffic only
// with AI traffic, loose consists only with loose stock, always restricted speed zones, failed
// signals and platform passengers) up to the next line that begins with "Events", and so on to the
// end. The source's text is cut into runs of at most 255 units, each ending after a line feed,
// and copied run by run with their own line ends.
QString CopiedActivityText(const QString& sourceText, bool aiTraffic, bool looseStock);

// Where the Mode line lies in the lines written with LF ends: its byte offset (the byte-order
// mark included) and its text with every "2" made "1"; the last line beginning with "Mode" counts.
// Offset -1 when there is none.
struct ModeLine {
    std::int32_t Position = -1;
    QString Text;
};
ModeLine FindModeLine(const QStringList& lines);

// The lines joined, each followed by LF, as UTF-16 little-endian bytes.
QByteArray Utf16LeLines(const QStringList& lines);

// Writes the service, the activity and the marker for the session into the source activity's
// route in the MSTS folder, gives a new session its save number (and records it), remembers the
// Mode line in the Explore state and moves the source activity into the store. On failure the
// route's temporary Explore files are removed, a stop box tells what failed, and the result is
// false.
bool GenerateExploreActivity(const ActivityInfo& source, ExploreActivitySaveInfo& session);

} // namespace qv
