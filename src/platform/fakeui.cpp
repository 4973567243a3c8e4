#include "platform/fakeui.h"

#include <optional>

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

void FakeUi::ExpectConfirmFileMove(int answer, std::function<void()> meanwhile) {
    fileMoveAnswers_.push_back({answer, std::move(meanwhile)});
}

namespace {

// The next scripted answer of a dialog; none, and a mismatch noted, when no answer was scripted.
template <typename T>
std::optional<T> Next(std::deque<T>& answers, QStringList& mismatches, const QString& unexpected) {
    if (answers.empty()) {
        mismatches << unexpected;
        return std::nullopt;
    }
    T next = std::move(answers.front());
    answers.pop_front();
    return next;
}

// The scripted result of a dialog that only answers with it; ID_CANCEL when none was scripted.
int NextResult(std::deque<int>& answers, QStringList& mismatches, const QString& unexpected) {
    return Next(answers, mismatches, unexpected).value_or(ID_CANCEL);
}

// The scripted answer of a dialog that chooses a text; the text is given back only with ID_OK.
int AnswerWithText(std::deque<std::pair<int, QString>>& answers, QStringList& mismatches,
                   const QString& unexpected, QString* text) {
    const auto next = Next(answers, mismatches, unexpected);
    if (!next)
        return ID_CANCEL;
    if (next->first == ID_OK && text)
        *text = next->second;
    return next->first;
}

// The scripted answer of a dialog whose answer may edit what it was given.
template <typename... Edited>
int AnswerAndEdit(std::deque<std::pair<int, std::function<void(Edited&...)>>>& answers,
                  QStringList& mismatches, const QString& unexpected, Edited&... edited) {
    auto next = Next(answers, mismatches, unexpected);
    if (!next)
        return ID_CANCEL;
    if (next->second)
        next->second(edited...);
    return next->first;
}

} // namespace

int FakeUi::ConfirmFileMove(const QString& sourceFile, const QString& targetFile,
                            bool contentsDiffer) {
    fileMoves_.push_back({sourceFile, targetFile, contentsDiffer});
    return AnswerAndEdit(
        fileMoveAnswers_, mismatches_,
        QStringLiteral("unexpected duplicate-file dialog for '%1'").arg(targetFile));
}

void FakeUi::ExpectSelectFolder(int result, const QString& folder) {
    folderAnswers_.push_back({result, folder});
}

int FakeUi::SelectFolder(const QString& initialFolder, const QString& prompt,
                         const QString& captionSuffix, QString* folder) {
    folderDialogs_.push_back({initialFolder, prompt, captionSuffix});
    return AnswerWithText(folderAnswers_, mismatches_,
                          QStringLiteral("unexpected folder dialog at '%1'").arg(initialFolder),
                          folder);
}

void FakeUi::ExpectInputQuery(bool confirmed, const QString& value) {
    inputAnswers_.push_back({confirmed, value});
}

bool FakeUi::InputQuery(const QString& caption, const QString& prompt, QString* value) {
    inputQueries_.push_back({caption, prompt, value ? *value : QString()});
    const auto next =
        Next(inputAnswers_, mismatches_, QStringLiteral("unexpected input box '%1'").arg(caption));
    if (next && next->first && value)
        *value = next->second;
    return next && next->first;
}

void FakeUi::ExpectSetFixedObjects(int result) {
    fixedObjectsAnswers_.push_back(result);
}

int FakeUi::SetFixedObjects() {
    ++fixedObjectsDialogs_;
    return NextResult(fixedObjectsAnswers_, mismatches_,
                      QStringLiteral("unexpected fixed-objects dialog"));
}

void FakeUi::ExpectEditTsectionSettings(int result, std::function<void(RouteInfo&)> edit) {
    tsectionSettingsAnswers_.push_back({result, std::move(edit)});
}

int FakeUi::EditTsectionSettings(RouteInfo& record) {
    ++tsectionSettingsDialogs_;
    return AnswerAndEdit(tsectionSettingsAnswers_, mismatches_,
                         QStringLiteral("unexpected TSECTION.DAT parameters dialog"), record);
}

void FakeUi::ExpectResolveTsectionConflicts(int result, TsectionChoice choose) {
    tsectionChoiceAnswers_.push_back({result, std::move(choose)});
}

int FakeUi::ResolveTsectionConflicts(std::vector<std::unique_ptr<ConflictInfo>>& list) {
    ++tsectionChoiceDialogs_;
    return AnswerAndEdit(tsectionChoiceAnswers_, mismatches_,
                         QStringLiteral("unexpected TSECTION.DAT choice dialog"), list);
}

void FakeUi::ExpectSelectStoragePath(int result) {
    storagePathAnswers_.push_back(result);
}

int FakeUi::SelectStoragePath() {
    ++storagePathDialogs_;
    return NextResult(storagePathAnswers_, mismatches_,
                      QStringLiteral("unexpected storage-folder dialog"));
}

void FakeUi::ExpectChangeLotNumber(int result, const QString& lot) {
    lotNumberAnswers_.push_back({result, lot});
}

int FakeUi::ChangeLotNumber(const std::vector<std::unique_ptr<ItemSet>>& items,
                            QString* chosenLotNumber) {
    lotNumberDialogs_.push_back(int(items.size()));
    if (chosenLotNumber)
        chosenLotNumber->clear();
    return AnswerWithText(lotNumberAnswers_, mismatches_,
                          QStringLiteral("unexpected lot-number dialog"), chosenLotNumber);
}

void FakeUi::ExpectOpenScenarioDialog(int result, const QString& file) {
    openScenarioAnswers_.push_back({result, file});
}

void FakeUi::ExpectSaveScenarioDialog(int result, const QString& file) {
    saveScenarioAnswers_.push_back({result, file});
}

int FakeUi::OpenScenarioDialog(const QString& title, const QString& initialFolder, QString* file) {
    openScenarios_.push_back({title, initialFolder, QString()});
    return AnswerWithText(openScenarioAnswers_, mismatches_,
                          QStringLiteral("unexpected open-scenario dialog"), file);
}

int FakeUi::SaveScenarioDialog(const QString& initialFolder, QString* file) {
    saveScenarios_.push_back({QString(), initialFolder, file ? *file : QString()});
    return AnswerWithText(saveScenarioAnswers_, mismatches_,
                          QStringLiteral("unexpected save-scenario dialog"), file);
}

void FakeUi::ExpectEditLaunchSettings(int result, std::function<void()> enter) {
    launchSettingsAnswers_.push_back({result, std::move(enter)});
}

int FakeUi::EditLaunchSettings(const QString&, const QString&, const QString&, const QString& key,
                               bool, const QString&) {
    launchSettingsDialogs_ << key;
    return AnswerAndEdit(launchSettingsAnswers_, mismatches_,
                         QStringLiteral("unexpected launch-settings dialog for '%1'").arg(key));
}

void FakeUi::ExpectSaveTextDialog(int result, const QString& file, int filterIndex) {
    saveTextAnswers_.emplace_back(result, file, filterIndex);
}

int FakeUi::SaveTextDialog(const QString& initialFolder, int* filterIndex, QString* file) {
    saveTextDialogs_.push_back({initialFolder, filterIndex ? *filterIndex : 0});
    const auto next =
        Next(saveTextAnswers_, mismatches_, QStringLiteral("unexpected save-text dialog"));
    if (!next)
        return ID_CANCEL;
    const auto& [result, chosen, index] = *next;
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

int FakeUi::PrintDocument(const QString& title, const QString& html, const QList<int>& tabStops) {
    printDialogs_.push_back({title, html, tabStops});
    return NextResult(printAnswers_, mismatches_, QStringLiteral("unexpected print dialog"));
}

void FakeUi::ExpectPrinterSetup(int result) {
    printerSetupAnswers_.push_back(result);
}

int FakeUi::PrinterSetup() {
    ++printerSetupDialogs_;
    return NextResult(printerSetupAnswers_, mismatches_,
                      QStringLiteral("unexpected printer-setup dialog"));
}

void FakeUi::ExpectChooseFont(int result, const QByteArray& logFont, quint32 colour) {
    fontAnswers_.emplace_back(result, logFont, colour);
}

int FakeUi::ChooseFont(QByteArray* logFont, quint32* colour) {
    fontDialogs_.push_back(logFont ? *logFont : QByteArray());
    const auto next = Next(fontAnswers_, mismatches_, QStringLiteral("unexpected font dialog"));
    if (!next)
        return ID_CANCEL;
    const auto& [result, record, chosenColour] = *next;
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
    return AnswerAndEdit(findTextAnswers_, mismatches_,
                         QStringLiteral("unexpected Find Text dialog"), record);
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
