#include "editors/forms/listeditoropeners.h"

#include "catalogue/listeditorservices.h"
#include "editors/forms/editconsistlistsdlg.h"
#include "editors/forms/editpathlistsdlg.h"
#include "editors/forms/editstocklistsdlg.h"
#include "editors/listeditorsupport.h"

#include <memory>

namespace qv {

namespace {

TEditConsistListsDlg* consistEditor = nullptr;
TEditStockListsDlg* stockEditor = nullptr;
TEditPathListsDlg* pathEditor = nullptr;

template <typename Dialog> int ShowListEditor(Dialog*& shown, int mode, QWidget* owner) {
    auto dialog = std::make_unique<Dialog>(owner, mode);
    shown = dialog.get();
    SetListEditorServices(dialog.get());
    const int result = dialog->exec();
    SetListEditorServices(nullptr);
    shown = nullptr;
    RefreshAfterListEdit(result);
    // The dialog and its records go only once it has returned.
    dialog.reset();
    return result;
}

} // namespace

TEditConsistListsDlg* EditConsistListsDlg() {
    return consistEditor;
}

TEditStockListsDlg* EditStockListsDlg() {
    return stockEditor;
}

TEditPathListsDlg* EditPathListsDlg() {
    return pathEditor;
}

int ShowConsistListEditor(int mode, QWidget* owner) {
    return ShowListEditor(consistEditor, mode, owner);
}

int ShowStockListEditor(int mode, QWidget* owner) {
    return ShowListEditor(stockEditor, mode, owner);
}

int ShowPathListEditor(int mode, QWidget* owner) {
    return ShowListEditor(pathEditor, mode, owner);
}

} // namespace qv
