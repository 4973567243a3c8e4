// The Easy services the main window installs: what the store engine and the start-up ask of the
// Easy-mode subsystem, answered by that subsystem's functions and by the window's Easy page.
#pragma once

#include "core/easyservices.h"

namespace qv {

class TMainForm;

class MainEasyServices : public EasyServices {
public:
    explicit MainEasyServices(TMainForm& form) : form_(form) {}

    void MarkSelectedNode(int state, bool routesHeading) override;
    bool MarkDefaultRoutes(ItemTree& tree) override;
    bool CheckDefaultRoutes(ItemTree& tree) override;
    bool GoAndLaunch(QObject* sender, bool silent) override;
    std::int32_t LaunchProgram(const QString& program, const QString& parameters,
                               const QString& displayName, bool minimiseSelf, bool startMinimised,
                               bool noWait) override;
    void CleanExploreTemp(const QString& routeFolder, QStringList* names) override;
    int MainPageIndex() const override;
    int ExploreTabIndex() const override;
    const ItemSet* ChosenExploreActivity() const override;
    const ExploreActivitySaveInfo* CurrentExploreRecord() const override;
    void RefillEasyLists() override;

private:
    TMainForm& form_;
};

} // namespace qv
