// What the core, the catalogue and the engine need of the main window: the status bar panels,
// the information pane, the controls a long job locks, the Classic page index and the tree of
// stored objects. The window implements this interface and installs itself; until then (and in
// tests and command-line jobs) a headless implementation keeps the same state in memory.
#pragma once

#include <QString>
#include <QStringList>

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

private:
    QStringList panels_;
    ReportPane pane_;
    bool controlsEnabled_ = true;
    int pageIndex_ = 0;
    ItemTree* tree_ = nullptr;
};

// The services in force: the installed ones, else a program-wide headless instance.
MainServices& TheMainServices();
// Installs services (not owned); nullptr puts the headless default back.
void SetMainServices(MainServices* services);

} // namespace qv
