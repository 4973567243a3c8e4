// A scripted Ui for tests: each expected prompt names a fragment of its text and the answer to
// give. Every prompt shown is recorded, so tests can check what the user would have seen.
#pragma once

#include "platform/ui.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <tuple>
#include <utility>

namespace qv {

struct ShownMessage {
    QString text;
    QString caption;
    int style = 0;
};

struct ShownFileMove {
    QString sourceFile;
    QString targetFile;
    bool contentsDiffer = true;
};

struct ShownFolderDialog {
    QString initialFolder;
    QString prompt;
    QString captionSuffix;
};

struct ShownInputQuery {
    QString caption;
    QString prompt;
    QString value; // the text the edit line started with
};

struct ShownScenarioDialog {
    QString title; // empty for the save dialog, whose title is fixed
    QString initialFolder;
    QString file; // the file name the dialog started with
};

struct ShownSaveTextDialog {
    QString initialFolder;
    int filterIndex = 0; // the type preselected
};

struct ShownPrint {
    QString title;
    QString html;
    QList<int> tabStops;
};

class FakeUi : public Ui {
public:
    FakeUi();
    ~FakeUi() override;

    // Expects a message box whose text contains `textPart` and answers it with `answer`.
    void Expect(const QString& textPart, int answer);
    // Answer given to a message box that was not expected (default: ID_OK / ID_YES by style).
    void SetDefaultAnswer(int answer) { defaultAnswer_ = answer; }

    int MessageBox(const QString& text, const QString& caption, int style) override;

    // Queues the answer of the next duplicate-file dialog (ID_YES, ID_YESTOALL, ID_NO,
    // ID_NOTOALL or ID_CANCEL). A dialog with no queued answer is a mismatch, answered ID_CANCEL.
    // `meanwhile` runs while the dialog is open, as another program acting then.
    void ExpectConfirmFileMove(int answer, std::function<void()> meanwhile = {});
    int ConfirmFileMove(const QString& sourceFile, const QString& targetFile,
                        bool contentsDiffer) override;
    const std::deque<ShownFileMove>& FileMoves() const { return fileMoves_; }

    // Queues the result of the next folder dialog and, for ID_OK, the folder it returns. A dialog
    // with no queued result is a mismatch, answered ID_CANCEL.
    void ExpectSelectFolder(int result, const QString& folder = QString());
    int SelectFolder(const QString& initialFolder, const QString& prompt,
                     const QString& captionSuffix, QString* folder) override;
    const std::deque<ShownFolderDialog>& FolderDialogs() const { return folderDialogs_; }

    // Queues the result (ID_OK or ID_CANCEL) of the next fixed-objects dialog. A dialog with no
    // queued result is a mismatch, answered ID_CANCEL.
    void ExpectSetFixedObjects(int result);
    int SetFixedObjects() override;
    int FixedObjectsDialogs() const { return fixedObjectsDialogs_; }

    // Queues the result (ID_OK or ID_CANCEL) of the next TSECTION.DAT parameters dialog and what
    // the dialog does to the record first (a test may also just look at it). A dialog with no
    // queued result is a mismatch, answered ID_CANCEL.
    void ExpectEditTsectionSettings(int result, std::function<void(RouteInfo&)> edit = {});
    int EditTsectionSettings(RouteInfo& record) override;
    int TsectionSettingsDialogs() const { return tsectionSettingsDialogs_; }

    // Queues the result (ID_OK or ID_CANCEL) of the next TSECTION.DAT choice dialog and what the
    // user does to the entries first (such as unticking some). A dialog with no queued result is
    // a mismatch, answered ID_CANCEL.
    using TsectionChoice = std::function<void(std::vector<std::unique_ptr<ConflictInfo>>&)>;
    void ExpectResolveTsectionConflicts(int result, TsectionChoice choose = {});
    int ResolveTsectionConflicts(std::vector<std::unique_ptr<ConflictInfo>>& list) override;
    int TsectionChoiceDialogs() const { return tsectionChoiceDialogs_; }

    // Queues the answer of the next input box: confirmed with `value` entered, or cancelled. A box
    // with no queued answer is a mismatch, answered as cancelled.
    void ExpectInputQuery(bool confirmed, const QString& value = QString());
    bool InputQuery(const QString& caption, const QString& prompt, QString* value) override;
    const std::deque<ShownInputQuery>& InputQueries() const { return inputQueries_; }

    // Queues the result (ID_OK or ID_CANCEL) of the next storage-folder dialog; the fake registers
    // no folder itself. A dialog with no queued result is a mismatch, answered ID_CANCEL.
    void ExpectSelectStoragePath(int result);
    int SelectStoragePath() override;
    int StoragePathDialogs() const { return storagePathDialogs_; }

    // Queues the result (ID_OK or ID_CANCEL) of the next lot-number dialog and, for ID_OK, the
    // lot it returns. A dialog with no queued result is a mismatch, answered ID_CANCEL. Each
    // dialog shown records the number of items it was given.
    void ExpectChangeLotNumber(int result, const QString& lot = QString());
    int ChangeLotNumber(const std::vector<std::unique_ptr<ItemSet>>& items,
                        QString* chosenLotNumber) override;
    const std::deque<int>& LotNumberDialogs() const { return lotNumberDialogs_; }

    // Queue the result of the next open- or save-scenario dialog and, for ID_OK, the file it
    // returns. A dialog with no queued result is a mismatch, answered ID_CANCEL.
    void ExpectOpenScenarioDialog(int result, const QString& file = QString());
    void ExpectSaveScenarioDialog(int result, const QString& file = QString());
    int OpenScenarioDialog(const QString& title, const QString& initialFolder,
                           QString* file) override;
    int SaveScenarioDialog(const QString& initialFolder, QString* file) override;
    const std::deque<ShownScenarioDialog>& OpenScenarioDialogs() const { return openScenarios_; }
    const std::deque<ShownScenarioDialog>& SaveScenarioDialogs() const { return saveScenarios_; }

    // Queues the result (ID_OK or ID_CANCEL) of the next launch-settings dialog and what the user
    // does in it first (such as writing the path value; the fake writes nothing itself). A dialog
    // with no queued result is a mismatch, answered ID_CANCEL. Each dialog shown records its key.
    void ExpectEditLaunchSettings(int result, std::function<void()> enter = {});
    int EditLaunchSettings(const QString& programName, const QString& paramsValue,
                           const QString& pathValue, const QString& key, bool showParams,
                           const QString& description) override;
    const QStringList& LaunchSettingsDialogs() const { return launchSettingsDialogs_; }

    // Queue the result of the next save-text dialog and, for ID_OK, the file and type it returns.
    // A dialog with no queued result is a mismatch, answered ID_CANCEL.
    void ExpectSaveTextDialog(int result, const QString& file = QString(), int filterIndex = 1);
    int SaveTextDialog(const QString& initialFolder, int* filterIndex, QString* file) override;
    const std::deque<ShownSaveTextDialog>& SaveTextDialogs() const { return saveTextDialogs_; }

    // Queue the result of the next print dialog (ID_OK prints) or printer-setup dialog. A dialog
    // with no queued result is a mismatch, answered ID_CANCEL. Each print dialog shown records
    // its document.
    void ExpectPrintDocument(int result);
    int PrintDocument(const QString& title, const QString& html,
                      const QList<int>& tabStops) override;
    const std::deque<ShownPrint>& PrintDialogs() const { return printDialogs_; }
    void ExpectPrinterSetup(int result);
    int PrinterSetup() override;
    int PrinterSetupDialogs() const { return printerSetupDialogs_; }

    // Queues the result of the next font dialog and, for ID_OK, the record and colour it returns.
    // A dialog with no queued result is a mismatch, answered ID_CANCEL. Each dialog shown records
    // the record it started with.
    void ExpectChooseFont(int result, const QByteArray& logFont = QByteArray(), quint32 colour = 0);
    int ChooseFont(QByteArray* logFont, quint32* colour) override;
    const std::deque<QByteArray>& FontDialogs() const { return fontDialogs_; }

    // Queues the result of the next Find Text dialog and what the user does in it first (such as
    // entering a text with AcceptSearchParams). A dialog with no queued result is a mismatch,
    // answered ID_CANCEL.
    void ExpectFindTextDialog(int result, std::function<void(SearchTextSet&)> enter = {});
    int FindTextDialog(SearchTextSet& record) override;
    int FindTextDialogs() const { return findTextDialogs_; }

    const std::deque<ShownMessage>& Shown() const { return shown_; }
    // Prompts whose text did not match the next expectation, and dialogs nobody expected; then the
    // number of expectations (boxes and dialogs) not met yet.
    const QStringList& Mismatches() const { return mismatches_; }
    int PendingExpectations() const {
        return int(expected_.size() + fileMoveAnswers_.size() + folderAnswers_.size() +
                   inputAnswers_.size() + fixedObjectsAnswers_.size() + storagePathAnswers_.size() +
                   tsectionSettingsAnswers_.size() + tsectionChoiceAnswers_.size() +
                   lotNumberAnswers_.size() + openScenarioAnswers_.size() +
                   saveScenarioAnswers_.size() + launchSettingsAnswers_.size() +
                   saveTextAnswers_.size() + printAnswers_.size() + printerSetupAnswers_.size() +
                   fontAnswers_.size() + findTextAnswers_.size());
    }
    void Clear();

private:
    struct Expectation {
        QString textPart;
        int answer;
    };
    std::deque<Expectation> expected_;
    std::deque<std::pair<int, std::function<void()>>> fileMoveAnswers_;
    std::deque<ShownFileMove> fileMoves_;
    std::deque<std::pair<int, QString>> folderAnswers_;
    std::deque<ShownFolderDialog> folderDialogs_;
    std::deque<int> fixedObjectsAnswers_;
    int fixedObjectsDialogs_ = 0;
    std::deque<std::pair<int, std::function<void(RouteInfo&)>>> tsectionSettingsAnswers_;
    int tsectionSettingsDialogs_ = 0;
    std::deque<std::pair<int, TsectionChoice>> tsectionChoiceAnswers_;
    int tsectionChoiceDialogs_ = 0;
    std::deque<std::pair<bool, QString>> inputAnswers_;
    std::deque<ShownInputQuery> inputQueries_;
    std::deque<int> storagePathAnswers_;
    int storagePathDialogs_ = 0;
    std::deque<std::pair<int, QString>> lotNumberAnswers_;
    std::deque<int> lotNumberDialogs_;
    std::deque<std::pair<int, QString>> openScenarioAnswers_;
    std::deque<std::pair<int, QString>> saveScenarioAnswers_;
    std::deque<ShownScenarioDialog> openScenarios_;
    std::deque<ShownScenarioDialog> saveScenarios_;
    std::deque<std::pair<int, std::function<void()>>> launchSettingsAnswers_;
    QStringList launchSettingsDialogs_;
    std::deque<std::tuple<int, QString, int>> saveTextAnswers_;
    std::deque<ShownSaveTextDialog> saveTextDialogs_;
    std::deque<int> printAnswers_;
    std::deque<ShownPrint> printDialogs_;
    std::deque<int> printerSetupAnswers_;
    int printerSetupDialogs_ = 0;
    std::deque<std::tuple<int, QByteArray, quint32>> fontAnswers_;
    std::deque<QByteArray> fontDialogs_;
    std::deque<std::pair<int, std::function<void(SearchTextSet&)>>> findTextAnswers_;
    int findTextDialogs_ = 0;
    std::deque<ShownMessage> shown_;
    QStringList mismatches_;
    int defaultAnswer_ = 0;
    Ui* previous_ = nullptr;
};

} // namespace qv
