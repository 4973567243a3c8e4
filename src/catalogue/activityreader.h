// Reading one MSTS activity file (".act" in a route's ACTIVITIES folder) into an ActivityInfo: its
// texts, its player service and path, the services of its traffic, its loose stock and the traffic
// file it names. Parsing every activity is slow, so the results are kept per activity in the
// scenario cache ("CACHESCN.QVC") and the file is parsed only when its section is missing, out of
// date or incomplete, or when the caller asks for a full check.
#pragma once

#include "core/itemset.h"

#include <QString>
#include <QStringList>
#include <QTime>
#include <cstdint>

namespace qv {

class ListedFileDates;
class MstsTextReader;
class StringList;
struct AheadFile;
struct StoreIniHolder;

struct ActivityInfo {
    QString Name;
    QString Folder;   // relative to the root, e.g. ROUTES\X\Activities
    QString FileName; // with its extension
    QString Traffic;  // the traffic's name (no folder, no extension); empty without traffic
    bool LooseStock = false;
    // The traffic file's packed date while it lists exactly the activity's services; else -1.
    std::int32_t TrafficDate = -1;
    // Set only with FullCheck: the saved-state file (".ASV") is older than the activity.
    bool AsvOutOfDate = false;
    // Set by the caller and never changed by the reader: parse the file even when its section is
    // current, and check the saved state and the player path.
    bool FullCheck = false;
    QString PathID; // the player path's file name, with ".pat"
    // Set only with FullCheck: the player path exists in the store or in the MSTS folder.
    bool PlayerPathFound = false;
    QString PlayerSrv; // <route folder>\SERVICES\<name>.srv; empty when the activity names none
    QString RouteID;
    QString Description;
    QString Briefing;
    QTime StartTime{0, 0};
    std::int32_t Season = 0;
    std::int32_t Weather = 0;
    std::int32_t Difficulty = 0;
    QTime Duration{0, 0};
};

template <> struct RecordKind<ActivityInfo> { static constexpr int code = RK_ACTIVITY; };

// An activity parsed ahead of the reading loop on a worker thread: the record's fields the parse
// sets, and its services and stock in file order.
struct ActivityAhead {
    ActivityInfo info;
    QStringList serviceFiles;
    QStringList stockFiles;
    bool parsed = false;
};

// Parses an activity's text (the file of `item`) for the reading loop; safe on several threads at
// once (no status is shown).
void ParseActivityAhead(MstsTextReader& reader, const ItemSet& item, ActivityAhead& parsed);

// Reads <root>\<item.Folder>\<item.FileName> into info, through its section of the scenario cache
// (which it renews when needed, setting the cache's Modified). services (or none) receives the
// activity's traffic services as <route folder>\SERVICES\<name>.srv, the player service not among
// them; stock (or none) receives its loose stock as <stock folder>\<file>.ENG or .WAG. Both lists
// must ignore duplicates: an entry may be offered twice. False only when the file does not exist
// under root. With `ahead` (the file as read ahead from this root) its text and date stand for
// reading it, and `parsedAhead` (when given, from the same text) for parsing it; with `listed`
// (dates relative to the roots) a saved state or traffic file that the listing of its folder
// lacks is not asked for.
bool ReadActivityFile(const QString& root, const ItemSet& item, StoreIniHolder& cache,
                      ActivityInfo& info, StringList* services, StringList* stock,
                      const AheadFile* ahead = nullptr, const ListedFileDates* listed = nullptr,
                      ActivityAhead* parsedAhead = nullptr);

// True when the traffic file that info.Traffic names (always read from the MSTS folder) lists
// exactly the given services, the player service aside; also true when it cannot be read.
bool TrafficMatchesActivity(const ActivityInfo& info, const StringList& services);

} // namespace qv
