// The record of saved Explore sessions. Every session for which an activity is generated gets a
// save number 1..998 and a section of that number in the route's store data file
// "<route folder name>\SAVES.QVC". MSTS names the saves of the generated activity QV_~TEMP<n>_...;
// a section lives only while MSTS holds a save file of its number, so numbers are reused.
#pragma once

#include "core/exploresaveinfo.h"

#include <QString>

namespace qv {

class ReportPane;
class StringList;
struct StoreIniHolder;

// The store data file of a route's saved sessions, for OpenStoreIni.
QString ExploreSavesFileName(const QString& routeFolderName);

// The route folder name of a record: the last component of its folder's parent
// (Routes\X\Activities gives X).
QString ExploreRouteFolderName(const ExploreActivitySaveInfo& record);

// The save number in an MSTS save file's name: the text after its first 8 characters up to the
// first "_" after them, when there is any (QV_~TEMP12_3.sav gives "12"); otherwise empty
// (QV_~TEMP12.sav).
QString SaveNumberFromSaveFileName(const QString& name);

// The MSTS save files "QV_~TEMP*.sav" of <MstsRootFolder>\SAVES\<route folder name> that belong
// to a recorded session of the open "SAVES.QVC": their names into `files`, their numbers into
// `numbers` (either may be null). Both should be sorted lists that ignore duplicates. False when
// the save folder could not be listed (a folder that does not exist holds no saves): nothing may
// then be purged on the strength of the listing.
bool ListExploreSaves(const QString& routeFolderName, StringList* files, StringList* numbers,
                      const StoreIniHolder& savesFile);

// Erases every session section whose name `validNumbers` (sorted) lacks, the information section
// excepted; marks the file modified when one went.
void PurgeStaleExploreSaves(const StringList& validNumbers, StoreIniHolder& savesFile);

// Gives the record the first free save number of its route, after the sessions without a save
// file have been purged, and records it in the route's "SAVES.QVC". True when the record has a
// positive number afterwards; with all 998 numbers in use nothing is written.
bool AllocateExploreSaveNumber(ExploreActivitySaveInfo& record);

// Reads the section into the record (its save date untouched); false, record untouched, when the
// section does not exist. A numeric section name gives the save number, since MSTS's saves carry
// that number whatever the section's "SaveNumber" says.
bool ReadExploreSaveRecord(ExploreActivitySaveInfo& record, const QString& sectionName,
                           const StoreIniHolder& savesFile);

// The date of a save as the session list and the summary show it: "dd mmm yyyy hh:nn".
QString ExploreSaveDateText(const QDateTime& date);

// The "Using" value of the summary: "Loose Stock, AI Traffic out of <name>", as far as the
// session takes either, else the bare name.
QString ExploreSessionUsingText(const ExploreActivitySaveInfo& record);

// Writes the summary of the session below what the pane holds: a heading naming the session,
// then its save date, locomotive and consist (from the consist cache), what it takes out of which
// activity, where it starts and heads (from the player path), its start time, season and weather.
void DescribeExploreSession(const ExploreActivitySaveInfo& record, ReportPane* pane);

} // namespace qv
