// The engine driver of one store or unstore job (survey, error analysis, the error list, the
// user's decision after errors, the move) and the reader of the error list that the list editors
// use for their error marks.
#pragma once

#include <QString>

namespace qv {

class StringList;

// Runs one accepted job. The survey fills the work lists; the items in error are analysed in the
// information pane (unless the job is silent or "Suppress Where Used Analysis" is set) and
// written to <store>\QVDATA\ERRORS.QVC on every run. After survey errors a silent job stops, any
// other asks whether to go on (not with "Suppress Move Errors"). True when the move ran.
bool StoreUnstore(bool unstore, bool partialRoute, bool defaultRoutes, bool allConsists,
                  bool allStock, bool silent, const QString& tsectionFile);

// The error list's file, <store>\QVDATA\ERRORS.QVC.
QString ErrorListFile();

// Writes the entries, one a line ended by CR LF, over the error list; false (reported in the
// information pane) when it could not be written, the old list then staying as it was.
bool WriteErrorList(const StringList& entries);

// Loads the error list into `lines` (emptied when the file is missing or "Suppress Error
// Highlighting" is set). When a job has written the list since (App().ErrorsFileWritten) the
// three caches are marked out of date, and the consists that use a listed engine or wagon are
// added to the lines and saved with the list.
void LoadErrorMarks(StringList& lines);

} // namespace qv
