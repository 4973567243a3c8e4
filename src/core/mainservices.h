// What the core, the catalogue and the engine need of the main window: the status bar panels,
// the information pane, the controls a long job locks, the Classic page index and the tree of
// stored objects. The window implements this interface and installs itself; until then (and in
// tests and command-line jobs) a headless implementation keeps the same state in memory.
#pragma once

#include <QHash>
#include <QSize>
#include <QString>
#include <QStringList>

#include "core/itemset.h"
#include "core/reportpane.h"

namespace qv {

class ItemTree;

class MainServices {
public:
    virtual ~MainServices() = default;

    // Status bar panels: 0 the top status code, 1 the detail.
    virtual QString StatusText(int panel) const = 0;
    virtual void SetStatusText(int panel, const QString& text) = 0;
    // Paints the status bar now, without waiting for the event loop.
    virtual void RepaintStatusBar() = 0;
    // The information pane (InformationMemo).
    virtual ReportPane* InformationMemo() = 0;
    // Enables or disables ToolBar1 and MainPageControl (the tree lies inside the latter).
    virtual void SetBusyControlsEnabled(bool enabled) = 0;
    virtual bool BusyControlsEnabled() const = 0;
    // Lets the application process its pending events once.
    virtual void ProcessEvents() = 0;
    // SimulationMaintPageControl: 0 Simulation, 1 Maintenance.
    virtual int SimulationMaintPageIndex() const = 0;
    virtual void SetSimulationMaintPageIndex(int index) = 0;
    // The main tree of stored objects, or null when there is none.
    virtual ItemTree* QuarvelObjects() = 0;

    // What the store command and Unstore Everything need of the window. Without a window there is
    // nothing to show or ask, and these do nothing.
    // Offers to save a changed scenario: 1 when nothing was asked, else ID_YES, ID_NO, ID_CANCEL.
    virtual int QuerySaveScenario() { return 1; }
    // Refreshes the enabled and visible state of the menus and buttons (selection, store state).
    virtual void UpdateControls() {}
    // Refills the main tree: from the folders with no scenario file, no items and state -1, else
    // from the scenario.
    virtual void LoadTree(const QString& /*scenarioFile*/, RecordList<ItemSet>* /*items*/,
                          int /*state*/) {}
    // Shows the selected node's information in the information pane.
    virtual void ShowSelectedNodeInfo() {}
    // The scenario file the marks were loaded from or saved to; empty for none.
    virtual QString CurrentScenarioFile() const { return QString(); }
    virtual void SetCurrentScenarioFile(const QString& /*file*/) {}
    // The file name the open-scenario dialog starts with.
    virtual void SetOpenScenarioDialogFile(const QString& /*file*/) {}
    // Shows the hourglass cursor, or puts back the cursor shown before.
    virtual void ShowHourglass(bool /*show*/) {}
    // The size of the screen the window is on, in pixels.
    virtual QSize ScreenSize() const { return QSize(1024, 768); }
    // Closes the main window without asking again (the close counts as confirmed).
    virtual void CloseMainForm() {}

    // What launching and the jobs need of the window's other controls.
    // MainPageControl: 0 Easy, 1 Classic.
    virtual int MainPageIndex() const { return 1; }
    virtual void SetMainPageIndex(int /*index*/) {}
    // ActivityExplorePageCntrl of the Easy page: 0 "Run an Activity", 1 "Explore the Route".
    virtual int ActivityExplorePageIndex() const { return 0; }
    virtual void SetActivityExplorePageIndex(int /*index*/) {}
    // The check mark of a check box or auto-check menu item, by component name (LaunchMSTSCbx,
    // AllConsistsCbx, PartialRouteCbx ...); false for a name the window does not have.
    virtual bool Checked(const QString& /*component*/) const { return false; }
    virtual void SetChecked(const QString& /*component*/, bool /*checked*/) {}
    // Minimises the whole application, or restores it from its minimised state.
    virtual void MinimiseApplication() {}
    virtual void RestoreApplication() {}
};

// The main window's services kept in memory, for tests and jobs without a window.
class HeadlessMainServices : public MainServices {
public:
    QString StatusText(int panel) const override;
    void SetStatusText(int panel, const QString& text) override;
    void RepaintStatusBar() override {}
    ReportPane* InformationMemo() override { return &pane_; }
    void SetBusyControlsEnabled(bool enabled) override { controlsEnabled_ = enabled; }
    bool BusyControlsEnabled() const override { return controlsEnabled_; }
    // Processes the pending events of the application object, when there is one.
    void ProcessEvents() override;
    int SimulationMaintPageIndex() const override { return pageIndex_; }
    void SetSimulationMaintPageIndex(int index) override { pageIndex_ = index; }
    ItemTree* QuarvelObjects() override { return tree_; }
    // Gives the services a tree (not owned) to hand out as the main tree.
    void SetQuarvelObjects(ItemTree* tree) { tree_ = tree; }
    QString CurrentScenarioFile() const override { return scenarioFile_; }
    void SetCurrentScenarioFile(const QString& file) override { scenarioFile_ = file; }
    int MainPageIndex() const override { return mainPage_; }
    void SetMainPageIndex(int index) override { mainPage_ = index; }
    int ActivityExplorePageIndex() const override { return explorePage_; }
    void SetActivityExplorePageIndex(int index) override { explorePage_ = index; }
    bool Checked(const QString& component) const override { return checked_.value(component); }
    void SetChecked(const QString& component, bool checked) override {
        checked_[component] = checked;
    }
    void MinimiseApplication() override { minimised_ = true; }
    void RestoreApplication() override { minimised_ = false; }
    // Whether the application was last minimised rather than restored.
    bool Minimised() const { return minimised_; }

private:
    QStringList panels_;
    ReportPane pane_;
    bool controlsEnabled_ = true;
    int pageIndex_ = 0;
    ItemTree* tree_ = nullptr;
    QString scenarioFile_;
    int mainPage_ = 1;
    int explorePage_ = 0;
    QHash<QString, bool> checked_;
    bool minimised_ = false;
};

// The services in force: the installed ones, else a program-wide headless instance.
MainServices& TheMainServices();
// Installs services (not owned); nullptr puts the headless default back.
void SetMainServices(MainServices* services);

// Shows the hourglass for the life of the guard and then puts back the cursor shown before.
class HourglassGuard {
public:
    HourglassGuard() { TheMainServices().ShowHourglass(true); }
    ~HourglassGuard() { TheMainServices().ShowHourglass(false); }
    HourglassGuard(const HourglassGuard&) = delete;
    HourglassGuard& operator=(const HourglassGuard&) = delete;
};

} // namespace qv
