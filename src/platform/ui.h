// The seam through which every message box, question and modal dialog goes, so that the logic
// can be driven by a script in tests and by Qt in the program.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <vector>

namespace qv {

struct ConflictInfo;
struct ItemSet;
struct RouteInfo;
struct SearchTextSet;

// Message box styles, as the numbers the program has always used.
enum MbStyle : int {
    MB_OK = 0,
    MB_OKCANCEL = 1,
    MB_YESNOCANCEL = 3,
    MB_YESNO = 4,
    MB_ICONSTOP = 16,
    MB_ICONQUESTION = 32,
    MB_ICONEXCLAMATION = 48,
    MB_ICONINFORMATION = 64,
    MB_DEFBUTTON2 = 256,
};

// Answer codes of a message box or dialog.
enum MbAnswer : int {
    ID_OK = 1,
    ID_CANCEL = 2,
    ID_YES = 6,
    ID_NO = 7,
    ID_NOTOALL = 9,
    ID_YESTOALL = 10,
};

class Ui {
public:
    virtual ~Ui() = default;

    // Shows a message box; style is a sum of MbStyle numbers; returns an MbAnswer.
    virtual int MessageBox(const QString& text, const QString& caption, int style) = 0;

    // A question with the buttons Yes, No, No to All and Yes to All. Returns ID_YES, ID_NO,
    // ID_NOTOALL or ID_YESTOALL; Escape or the close box answer ID_NO. By default it is asked as
    // a Yes/No message box (style MB_YESNO + MB_ICONQUESTION), so a script answers it as one.
    virtual int ConfirmForAll(const QString& text, const QString& caption);

    // The duplicate-file dialog: `sourceFile` is being moved onto `targetFile`, which exists
    // already; `contentsDiffer` tells whether the two contents differ. Returns ID_YES (Replace),
    // ID_YESTOALL (Replace All), ID_NO (Keep), ID_NOTOALL (Keep All) or ID_CANCEL (Escape or the
    // close box). Without a dialog to show the answer is ID_CANCEL, which moves and deletes
    // nothing.
    virtual int ConfirmFileMove(const QString& sourceFile, const QString& targetFile,
                                bool contentsDiffer);

    // The folder dialog, opened at `initialFolder` (Windows form) with the prompt and the caption
    // suffix (either may be empty). Returns ID_OK with the chosen folder (Windows form) in
    // `folder`, or ID_CANCEL with `folder` left alone. Without a dialog to show: ID_CANCEL.
    virtual int SelectFolder(const QString& initialFolder, const QString& prompt,
                             const QString& captionSuffix, QString* folder);

    // An input box with the caption, the prompt ("\r" breaks lines) and an edit line that starts
    // with `*value`. True, with the text as entered in `*value`, when confirmed; false, with
    // `*value` left alone, when cancelled. Without a box to show: false.
    virtual bool InputQuery(const QString& caption, const QString& prompt, QString* value);

    // The fixed-objects dialog, in which the user edits the stock that always stays in the MSTS
    // folder; OK writes the lists. Returns ID_OK or ID_CANCEL. Without a dialog to show:
    // ID_CANCEL, which changes nothing.
    virtual int SetFixedObjects();

    // The TSECTION.DAT parameters dialog for `record`: the system default when its PType has the
    // Global bit, else the route given by its Name and Folder. It shows the stored
    // specification; an accepted OK puts the edited one into the record and writes it. Returns
    // ID_OK or ID_CANCEL. Without a dialog to show: ID_CANCEL, which changes nothing.
    virtual int EditTsectionSettings(RouteInfo& record);

    // The choice between conflicting TSECTION.DAT specifications: the user unticks routes until
    // one file serves all that remain (only the entries' Selected, ConflictCount and order
    // change). Returns ID_OK or ID_CANCEL. Without a dialog to show: ID_CANCEL, which abandons
    // the job.
    virtual int ResolveTsectionConflicts(std::vector<std::unique_ptr<ConflictInfo>>& list);

    // The storage-folder dialog ("Storage Path Setup"): the user chooses the store folder, which
    // is checked, created or moved to, and registered as "Store Path". Returns ID_OK when a
    // folder was registered, else ID_CANCEL (nothing changed). Without a dialog to show:
    // ID_CANCEL.
    virtual int SelectStoragePath();

    // The "Change Lot Number" dialog for the items selected in a list editor (their lots are
    // offered to pick from). Returns ID_OK or ID_CANCEL; `*chosenLotNumber` becomes the lot
    // entered, empty after Cancel or an empty entry. Without a dialog to show: ID_CANCEL.
    virtual int ChangeLotNumber(const std::vector<std::unique_ptr<ItemSet>>& items,
                                QString* chosenLotNumber);

    // The open-scenario dialog ("*.QVS" files; the file must exist) with the title, opened at
    // `initialFolder` (Windows form) with an empty file name. Returns ID_OK with the chosen file
    // (Windows form) in `*file`, or ID_CANCEL with `*file` left alone. Without a dialog to show:
    // ID_CANCEL.
    virtual int OpenScenarioDialog(const QString& title, const QString& initialFolder,
                                   QString* file);
    // The save-scenario dialog ("Save Quarvel Scenario"; extension ".QVS"; asks before
    // overwriting), opened at `initialFolder` with `*file` as the file name. Returns ID_OK with
    // the chosen file (Windows form) in `*file`, or ID_CANCEL with `*file` left alone. Without a
    // dialog to show: ID_CANCEL.
    virtual int SaveScenarioDialog(const QString& initialFolder, QString* file);

    // The launch-settings dialog of an outside program ("Set the <program> Launch Parameters"),
    // with the arguments of its form: it edits the path value `pathValue` and, when
    // `paramsValue` is not empty and `showParams` is set, the parameters value `paramsValue`,
    // both under the HKEY_LOCAL_MACHINE key `key`; OK writes them. Returns ID_OK or ID_CANCEL.
    // Without a dialog to show: ID_CANCEL, which changes nothing.
    virtual int EditLaunchSettings(const QString& programName, const QString& paramsValue,
                                   const QString& pathValue, const QString& key, bool showParams,
                                   const QString& description);

    // The save-text dialog ("Save Selected Text to File"; types "Text Document (*.TXT)", "Rich
    // Text Format (*.RTF)", "All Files (*.*)"; extension "TXT"; asks before overwriting), opened
    // at `initialFolder` with the type `*filterIndex` (1-based) preselected. Returns ID_OK with
    // the chosen file (Windows form) in `*file` and the type chosen in `*filterIndex`, or
    // ID_CANCEL with both left alone. Without a dialog to show: ID_CANCEL.
    virtual int SaveTextDialog(const QString& initialFolder, int* filterIndex, QString* file);

    // The print dialog; OK prints the HTML document with `title` as the document's name and its
    // lines' tab stops at `tabStops` (points from the left margin; none: the default stops).
    // Returns ID_OK when it was printed, else ID_CANCEL. Without a dialog to show: ID_CANCEL.
    virtual int PrintDocument(const QString& title, const QString& html,
                              const QList<int>& tabStops);
    // The printer-setup dialog for the printer the print dialog uses. Returns ID_OK or
    // ID_CANCEL. Without a dialog to show: ID_CANCEL.
    virtual int PrinterSetup();

    // The font dialog and a colour choice, started with the 60-byte logical-font record
    // `*logFont` (empty for the default font in italic) and the COLORREF `*colour`. Returns ID_OK
    // with the chosen record and colour (the colour left alone when only its step was
    // cancelled), or ID_CANCEL with both left alone. Without a dialog to show: ID_CANCEL.
    virtual int ChooseFont(QByteArray* logFont, quint32* colour);

    // The "Find Text" dialog for a window's search record: it shows the history and the options
    // from the registry, stores a clicked option at once, and on OK (never with an empty text)
    // puts the choices into the record. Returns ID_OK or ID_CANCEL. Without a dialog to show:
    // ID_CANCEL, which leaves the record alone.
    virtual int FindTextDialog(SearchTextSet& record);
};

// The Ui in force. Until the program or a test installs one, a silent default answers every
// box with its first button (OK or Yes).
Ui& TheUi();
// Installs a Ui (not owned); nullptr puts the silent default back.
void SetUi(Ui* ui);

} // namespace qv
