#include "platform/fakeui.h"

namespace qv {

FakeUi::FakeUi() : previous_(&TheUi()) {
    SetUi(this);
}

FakeUi::~FakeUi() {
    if (&TheUi() == this)
        SetUi(previous_);
}

void FakeUi::Expect(const QString& textPart, int answer) {
    expected_.push_back({textPart, answer});
}

int FakeUi::MessageBox(const QString& text, const QString& caption, int style) {
    shown_.push_back({text, caption, style});
    if (!expected_.empty()) {
        Expectation next = expected_.front();
        expected_.pop_front();
        if (!text.contains(next.textPart))
            mismatches_ << QStringLiteral("expected '%1', shown '%2'").arg(next.textPart, text);
        return next.answer;
    }
    if (defaultAnswer_ != 0)
        return defaultAnswer_;
    const int buttons = style & 0xF;
    return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? ID_YES : ID_OK;
}

void FakeUi::ExpectConfirmFileMove(int answer) {
    fileMoveAnswers_.push_back(answer);
}

int FakeUi::ConfirmFileMove(const QString& sourceFile, const QString& targetFile,
                            bool contentsDiffer) {
    fileMoves_.push_back({sourceFile, targetFile, contentsDiffer});
    if (fileMoveAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected duplicate-file dialog for '%1'").arg(targetFile);
        return ID_CANCEL;
    }
    const int answer = fileMoveAnswers_.front();
    fileMoveAnswers_.pop_front();
    return answer;
}

void FakeUi::ExpectSelectFolder(int result, const QString& folder) {
    folderAnswers_.push_back({result, folder});
}

int FakeUi::SelectFolder(const QString& initialFolder, const QString& prompt,
                         const QString& captionSuffix, QString* folder) {
    folderDialogs_.push_back({initialFolder, prompt, captionSuffix});
    if (folderAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected folder dialog at '%1'").arg(initialFolder);
        return ID_CANCEL;
    }
    const auto [result, chosen] = folderAnswers_.front();
    folderAnswers_.pop_front();
    if (result == ID_OK && folder)
        *folder = chosen;
    return result;
}

void FakeUi::ExpectInputQuery(bool confirmed, const QString& value) {
    inputAnswers_.push_back({confirmed, value});
}

bool FakeUi::InputQuery(const QString& caption, const QString& prompt, QString* value) {
    inputQueries_.push_back({caption, prompt, value ? *value : QString()});
    if (inputAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected input box '%1'").arg(caption);
        return false;
    }
    const auto [confirmed, entered] = inputAnswers_.front();
    inputAnswers_.pop_front();
    if (confirmed && value)
        *value = entered;
    return confirmed;
}

void FakeUi::ExpectSetFixedObjects(int result) {
    fixedObjectsAnswers_.push_back(result);
}

int FakeUi::SetFixedObjects() {
    ++fixedObjectsDialogs_;
    if (fixedObjectsAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected fixed-objects dialog");
        return ID_CANCEL;
    }
    const int result = fixedObjectsAnswers_.front();
    fixedObjectsAnswers_.pop_front();
    return result;
}

void FakeUi::ExpectEditTsectionSettings(int result, std::function<void(RouteInfo&)> edit) {
    tsectionSettingsAnswers_.push_back({result, std::move(edit)});
}

int FakeUi::EditTsectionSettings(RouteInfo& record) {
    ++tsectionSettingsDialogs_;
    if (tsectionSettingsAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected TSECTION.DAT parameters dialog");
        return ID_CANCEL;
    }
    auto [result, edit] = std::move(tsectionSettingsAnswers_.front());
    tsectionSettingsAnswers_.pop_front();
    if (edit)
        edit(record);
    return result;
}

void FakeUi::ExpectResolveTsectionConflicts(int result, TsectionChoice choose) {
    tsectionChoiceAnswers_.push_back({result, std::move(choose)});
}

int FakeUi::ResolveTsectionConflicts(std::vector<std::unique_ptr<ConflictInfo>>& list) {
    ++tsectionChoiceDialogs_;
    if (tsectionChoiceAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected TSECTION.DAT choice dialog");
        return ID_CANCEL;
    }
    auto [result, choose] = std::move(tsectionChoiceAnswers_.front());
    tsectionChoiceAnswers_.pop_front();
    if (choose)
        choose(list);
    return result;
}

void FakeUi::ExpectSelectStoragePath(int result) {
    storagePathAnswers_.push_back(result);
}

int FakeUi::SelectStoragePath() {
    ++storagePathDialogs_;
    if (storagePathAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected storage-folder dialog");
        return ID_CANCEL;
    }
    const int result = storagePathAnswers_.front();
    storagePathAnswers_.pop_front();
    return result;
}

void FakeUi::ExpectChangeLotNumber(int result, const QString& lot) {
    lotNumberAnswers_.push_back({result, lot});
}

int FakeUi::ChangeLotNumber(const std::vector<std::unique_ptr<ItemSet>>& items,
                            QString* chosenLotNumber) {
    lotNumberDialogs_.push_back(int(items.size()));
    if (chosenLotNumber)
        chosenLotNumber->clear();
    if (lotNumberAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected lot-number dialog");
        return ID_CANCEL;
    }
    const auto [result, lot] = lotNumberAnswers_.front();
    lotNumberAnswers_.pop_front();
    if (result == ID_OK && chosenLotNumber)
        *chosenLotNumber = lot;
    return result;
}

void FakeUi::ExpectOpenScenarioDialog(int result, const QString& file) {
    openScenarioAnswers_.push_back({result, file});
}

void FakeUi::ExpectSaveScenarioDialog(int result, const QString& file) {
    saveScenarioAnswers_.push_back({result, file});
}

namespace {

// The scripted answer of a scenario file dialog; the chosen file is given back only with ID_OK.
int AnswerScenarioDialog(std::deque<std::pair<int, QString>>& answers, QStringList& mismatches,
                         const QString& what, QString* file) {
    if (answers.empty()) {
        mismatches << QStringLiteral("unexpected %1 dialog").arg(what);
        return ID_CANCEL;
    }
    const auto [result, chosen] = answers.front();
    answers.pop_front();
    if (result == ID_OK && file)
        *file = chosen;
    return result;
}

} // namespace

int FakeUi::OpenScenarioDialog(const QString& title, const QString& initialFolder, QString* file) {
    openScenarios_.push_back({title, initialFolder, QString()});
    return AnswerScenarioDialog(openScenarioAnswers_, mismatches_, QStringLiteral("open-scenario"),
                                file);
}

int FakeUi::SaveScenarioDialog(const QString& initialFolder, QString* file) {
    saveScenarios_.push_back({QString(), initialFolder, file ? *file : QString()});
    return AnswerScenarioDialog(saveScenarioAnswers_, mismatches_, QStringLiteral("save-scenario"),
                                file);
}

void FakeUi::ExpectEditLaunchSettings(int result, std::function<void()> enter) {
    launchSettingsAnswers_.push_back({result, std::move(enter)});
}

int FakeUi::EditLaunchSettings(const QString&, const QString&, const QString&, const QString& key,
                               bool, const QString&) {
    launchSettingsDialogs_ << key;
    if (launchSettingsAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected launch-settings dialog for '%1'").arg(key);
        return ID_CANCEL;
    }
    auto [result, enter] = std::move(launchSettingsAnswers_.front());
    launchSettingsAnswers_.pop_front();
    if (enter)
        enter();
    return result;
}

void FakeUi::ExpectSaveTextDialog(int result, const QString& file, int filterIndex) {
    saveTextAnswers_.emplace_back(result, file, filterIndex);
}

int FakeUi::SaveTextDialog(const QString& initialFolder, int* filterIndex, QString* file) {
    saveTextDialogs_.push_back({initialFolder, filterIndex ? *filterIndex : 0});
    if (saveTextAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected save-text dialog");
        return ID_CANCEL;
    }
    const auto [result, chosen, index] = saveTextAnswers_.front();
    saveTextAnswers_.pop_front();
    if (result == ID_OK) {
        if (file)
            *file = chosen;
        if (filterIndex)
            *filterIndex = index;
    }
    return result;
}

void FakeUi::ExpectPrintDocument(int result) {
    printAnswers_.push_back(result);
}

int FakeUi::PrintDocument(const QString& title, const QString& html) {
    printDialogs_.push_back({title, html});
    if (printAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected print dialog");
        return ID_CANCEL;
    }
    const int result = printAnswers_.front();
    printAnswers_.pop_front();
    return result;
}

void FakeUi::ExpectPrinterSetup(int result) {
    printerSetupAnswers_.push_back(result);
}

int FakeUi::PrinterSetup() {
    ++printerSetupDialogs_;
    if (printerSetupAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected printer-setup dialog");
        return ID_CANCEL;
    }
    const int result = printerSetupAnswers_.front();
    printerSetupAnswers_.pop_front();
    return result;
}

void FakeUi::ExpectChooseFont(int result, const QByteArray& logFont, quint32 colour) {
    fontAnswers_.emplace_back(result, logFont, colour);
}

int FakeUi::ChooseFont(QByteArray* logFont, quint32* colour) {
    fontDialogs_.push_back(logFont ? *logFont : QByteArray());
    if (fontAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected font dialog");
        return ID_CANCEL;
    }
    const auto [result, record, chosenColour] = fontAnswers_.front();
    fontAnswers_.pop_front();
    if (result == ID_OK) {
        if (logFont)
            *logFont = record;
        if (colour)
            *colour = chosenColour;
    }
    return result;
}

void FakeUi::ExpectFindTextDialog(int result, std::function<void(SearchTextSet&)> enter) {
    findTextAnswers_.push_back({result, std::move(enter)});
}

int FakeUi::FindTextDialog(SearchTextSet& record) {
    ++findTextDialogs_;
    if (findTextAnswers_.empty()) {
        mismatches_ << QStringLiteral("unexpected Find Text dialog");
        return ID_CANCEL;
    }
    auto [result, enter] = std::move(findTextAnswers_.front());
    findTextAnswers_.pop_front();
    if (enter)
        enter(record);
    return result;
}

void FakeUi::Clear() {
    saveTextAnswers_.clear();
    saveTextDialogs_.clear();
    printAnswers_.clear();
    printDialogs_.clear();
    printerSetupAnswers_.clear();
    printerSetupDialogs_ = 0;
    fontAnswers_.clear();
    fontDialogs_.clear();
    findTextAnswers_.clear();
    findTextDialogs_ = 0;
    launchSettingsAnswers_.clear();
    launchSettingsDialogs_.clear();
    tsectionSettingsAnswers_.clear();
    tsectionSettingsDialogs_ = 0;
    tsectionChoiceAnswers_.clear();
    tsectionChoiceDialogs_ = 0;
    storagePathAnswers_.clear();
    storagePathDialogs_ = 0;
    lotNumberAnswers_.clear();
    lotNumberDialogs_.clear();
    openScenarioAnswers_.clear();
    saveScenarioAnswers_.clear();
    openScenarios_.clear();
    saveScenarios_.clear();
    inputAnswers_.clear();
    inputQueries_.clear();
    fileMoveAnswers_.clear();
    fileMoves_.clear();
    folderAnswers_.clear();
    folderDialogs_.clear();
    fixedObjectsAnswers_.clear();
    fixedObjectsDialogs_ = 0;
    expected_.clear();
    shown_.clear();
    mismatches_.clear();
}

} // namespace qv
