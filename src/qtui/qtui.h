// The Ui seam as the program shows it: Qt message boxes and the forms of every subsystem.
#pragma once

#include "platform/ui.h"

namespace qv {

class QtUi : public Ui {
public:
    int MessageBox(const QString& text, const QString& caption, int style) override;
    int ConfirmForAll(const QString& text, const QString& caption) override;
    int ConfirmFileMove(const QString& sourceFile, const QString& targetFile,
                        bool contentsDiffer) override;
    int SelectFolder(const QString& initialFolder, const QString& prompt,
                     const QString& captionSuffix, QString* folder) override;
    int SetFixedObjects() override;
    int EditTsectionSettings(RouteInfo& record) override;
    int ResolveTsectionConflicts(std::vector<std::unique_ptr<ConflictInfo>>& list) override;
    bool InputQuery(const QString& caption, const QString& prompt, QString* value) override;
    int SelectStoragePath() override;
    int ChangeLotNumber(const std::vector<std::unique_ptr<ItemSet>>& items,
                        QString* chosenLotNumber) override;
    int OpenScenarioDialog(const QString& title, const QString& initialFolder,
                           QString* file) override;
    int SaveScenarioDialog(const QString& initialFolder, QString* file) override;
    int EditLaunchSettings(const QString& programName, const QString& paramsValue,
                           const QString& pathValue, const QString& key, bool showParams,
                           const QString& description) override;
    int SaveTextDialog(const QString& initialFolder, int* filterIndex, QString* file) override;
    int PrintDocument(const QString& title, const QString& html,
                      const QList<int>& tabStops) override;
    int PrinterSetup() override;
    int ChooseFont(QByteArray* logFont, quint32* colour) override;
    int FindTextDialog(SearchTextSet& record) override;
};

} // namespace qv
