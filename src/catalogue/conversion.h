// Conversion of the old store layout: older stores kept the single Explore consist list, the
// Maintenance consist list and the Maintenance stock list of every scope together in one file
// each in the store's root folder. The current layout keeps one list file per scope in its QVDATA
// sub-folder; the conversion splits each old file into those and keeps the old file as ".BAK".
#pragma once

#include <QString>

namespace qv {

// Where the conversion shows how far it has got: the splash window's description text and
// progress bar, kept apart from the widgets so that the logic needs no display.
class ConversionProgress {
public:
    virtual ~ConversionProgress() = default;
    // Shows the text at once (the conversion does not return to the event loop while it runs).
    virtual void ShowDescription(const QString& text) = 0;
    // Sets the bar's position, 0 to 100.
    virtual void SetPosition(int position) = 0;
};

// Runs the whole conversion once: creates <store>\QVDATA and converts CONSISTS.QVC, MAINTCON.QVC
// and MAINTSTK.QVC in that order, moving the bar 0, 10, 40, 70, 100. False, after a stop box,
// when QVDATA cannot be created; the old files are then left alone so that the next start tries
// again.
bool ConvertStore(ConversionProgress& progress);

// Converts one old file, given by its bare name, when it exists in the store root: its global
// scope and every route of either root get their own list file of the same name, and the old
// file becomes "<name>.BAK". Any name but the three is an internal error that ends the program.
void ConvertListFile(const QString& fileName);

} // namespace qv
