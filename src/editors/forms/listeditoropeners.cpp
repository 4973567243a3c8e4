#include "editors/forms/listeditoropeners.h"

#include "catalogue/listeditorservices.h"
#include "editors/forms/editconsistlistsdlg.h"
#include "editors/listeditorsupport.h"

#include <memory>

namespace qv {

namespace {

TEditConsistListsDlg* consistEditor = nullptr;

} // namespace

TEditConsistListsDlg* EditConsistListsDlg() {
    return consistEditor;
}

int ShowConsistListEditor(int mode, QWidget* owner) {
    auto dialog = std::make_unique<TEditConsistListsDlg>(owner, mode);
    consistEditor = dialog.get();
    SetListEditorServices(dialog.get());
    const int result = dialog->exec();
    SetListEditorServices(nullptr);
    consistEditor = nullptr;
    RefreshAfterListEdit(result);
    // The dialog and its records go only once it has returned.
    dialog.reset();
    return result;
}

} // namespace qv
