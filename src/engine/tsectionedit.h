// What the two TSECTION.DAT dialogs show and check, kept apart from the forms so that it runs
// without a display: the texts of the parameters dialog, the checks of its OK button and the
// writing of an accepted specification, the rows and labels of the choice dialog, and the two
// menu commands that open the parameters dialog.
#pragma once

#include "catalogue/pathrecords.h"
#include "engine/tsection.h"

#include <QString>
#include <QStringList>

namespace qv {

// The captions of the three actions, in the order of their values (TSA_...).
QStringList TsectionActionStrings();
// The caption of one action; empty for a value that is none of them.
QString TsectionActionText(int action);

// A file's last-write date as the dialogs show it in place of a missing build
// ("01 Mar 2004   11:00 PM"); empty when the file has no date.
QString TsectionFileDateText(const QString& file);
// The build text when there is one, else the date of the file.
QString TsectionBuildOrDate(const QString& build, const QString& file);

// The texts of the parameters dialog for a record: the system default (PType PT_GLOBAL) or the
// route named by its Name.
struct TsectionParamsTexts {
    QString Caption; // the window title, program title first
    QString Explanation1;
    QString Explanation2;
};
TsectionParamsTexts TsectionParamsTextsFor(const RouteInfo& record);

// The OK button of the parameters dialog: checks the entered path (host or Windows form;
// empty removes the specification) and actions. A refusal is shown in a stop box and the
// result is false, with the record and the store as they were. When accepted, the record takes
// the entered values and is written to its ROUTE.QVC; for the system default the user is
// reminded when no route has a specification of its own.
bool AcceptTsectionSettings(RouteInfo& record, const QString& path, const QString& description,
                        int simulation, int maintenance);

// The names (Description) of the route nodes of the main tree that have a specification of
// their own, in tree order.
QStringList RoutesWithOwnTsectionSettings();

// The texts of one row of the choice list: the conflict mark ("*" on a ticked entry with a
// conflict), the route, the build (or the file's date), the action and the file.
QStringList TsectionChoiceRow(const ConflictInfo& entry);
// The chosen file's label for the result of RecommendedTsectionEntry; empty for -1.
QString TsectionRecommendedText(const ConflictList& list, int index);
// The conflict label for the result of RecommendedTsectionEntry (-1: a conflict remains).
QString TsectionConflictText(int index);

// Tools > Options > "System Default &TSECTION.DAT Settings ...": the parameters dialog for the
// system default, once the main tree has any node. The dialog's result, 0 when none was shown.
int EditDefaultTsectionSettings();
// Routes > "&TSECTION.DAT Settings ...": the parameters dialog for the route selected in the
// main tree; refused while no system default exists. The dialog's result, 0 when none was shown.
int EditRouteTsectionSettings();

} // namespace qv
