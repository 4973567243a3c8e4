#include "platform/ui.h"

namespace qv {

namespace {

class SilentUi : public Ui {
public:
    int MessageBox(const QString&, const QString&, int style) override {
        const int buttons = style & 0xF;
        return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? ID_YES : ID_OK;
    }
};

SilentUi silentUi;
Ui* currentUi = nullptr;

} // namespace

int Ui::ConfirmForAll(const QString& text, const QString& caption) {
    return MessageBox(text, caption, MB_YESNO | MB_ICONQUESTION);
}

int Ui::ConfirmFileMove(const QString&, const QString&, bool) {
    return ID_CANCEL;
}

int Ui::SelectFolder(const QString&, const QString&, const QString&, QString*) {
    return ID_CANCEL;
}

int Ui::SetFixedObjects() {
    return ID_CANCEL;
}

int Ui::EditTsectionSettings(RouteInfo&) {
    return ID_CANCEL;
}

int Ui::ResolveTsectionConflicts(std::vector<std::unique_ptr<ConflictInfo>>&) {
    return ID_CANCEL;
}

bool Ui::InputQuery(const QString&, const QString&, QString*) {
    return false;
}

int Ui::SelectStoragePath() {
    return ID_CANCEL;
}

int Ui::ChangeLotNumber(const std::vector<std::unique_ptr<ItemSet>>&, QString* chosenLotNumber) {
    if (chosenLotNumber)
        chosenLotNumber->clear();
    return ID_CANCEL;
}

int Ui::OpenScenarioDialog(const QString&, const QString&, QString*) {
    return ID_CANCEL;
}

int Ui::SaveScenarioDialog(const QString&, QString*) {
    return ID_CANCEL;
}

int Ui::EditLaunchSettings(const QString&, const QString&, const QString&, const QString&, bool,
                           const QString&) {
    return ID_CANCEL;
}

int Ui::SaveTextDialog(const QString&, int*, QString*) {
    return ID_CANCEL;
}

int Ui::PrintDocument(const QString&, const QString&, const QList<int>&) {
    return ID_CANCEL;
}

int Ui::PrinterSetup() {
    return ID_CANCEL;
}

int Ui::ChooseFont(QByteArray*, quint32*) {
    return ID_CANCEL;
}

int Ui::FindTextDialog(SearchTextSet&) {
    return ID_CANCEL;
}

Ui& TheUi() {
    return currentUi ? *currentUi : silentUi;
}

void SetUi(Ui* ui) {
    currentUi = ui;
}

} // namespace qv
