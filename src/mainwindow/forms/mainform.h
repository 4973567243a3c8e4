// The main window: its menus, tool bar and status bar, the Easy page, and the Classic page with
// the tree of stored objects and the information pane. The window is the program's MainServices
// (status panels, information pane, the controls a job locks, page indexes, check marks) and
// installs Easy services that reach the Easy-mode subsystem; its handlers are spread over one file
// per concern: the control-state refresh, the command bindings, the start-up and the languages.
#pragma once

#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/reportpane.h"
#include "core/searchtext.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>

class QTextEdit;

class QAbstractButton;
class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace Ui {
class TMainForm;
}

namespace qv {

// The property that carries a menu item's number: a language's id, a recent file's index, or -1
// for an item never copied into the popup.
inline constexpr const char* kTagProperty = "Tag";

// The program's icon among the resources.
inline const QString kProgramIcon = QStringLiteral(":/icons/quarvel.png");

class EasyController;
class MainEasyServices;
class TreeController;

class TMainForm : public QMainWindow, public MainServices {
    Q_OBJECT

public:
    explicit TMainForm(const QString& commandLineArgument, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The one argument the program was started with (empty for none).
    const QString& CommandLineArgument() const { return commandLineArgument_; }
    // The program's exit status when the event loop ends: non-zero when a job given on the
    // command line could not run.
    int ExitStatus() const { return exitStatus_; }

    // The form's components by their names (ui->QuarvelObjects, ui->GoBtn, ...).
    std::unique_ptr<Ui::TMainForm> ui;
    // The popup of the tree and the panes, rebuilt each time it opens.
    QMenu* MainFormPopup = nullptr;
    // The 1000 ms timer of the start-up; connected to Timer1Timer, started by the start-up.
    QTimer* Timer1 = nullptr;
    // Binds QuarvelObjects to the tree of stored objects.
    TreeController* Tree() const { return treeController_; }
    // The Easy page's lists, layout and commands.
    EasyController* EasyControls() const { return easyController_; }

    // Start-up and languages (mainform_start.cpp, mainform_language.cpp).
    void FormShow();
    void Timer1Timer();
    // Loads the Classic page's tree for the first time: the default scenario, else the MSTS
    // configuration, unless "Start Blank" is set.
    void LoadFirstTree();
    void BuildLanguageMenu();
    void LanguageItemMnuClick(QAction* item);
    void ReinitializeForms();

    // The control-state refresh (mainform_controls.cpp): every menu item, button, label and the
    // window caption follow the selected node, the shown page and the store state.
    void UpdateControls() override;
    void UpdatePopupAndButtons();
    void UpdateEasyControls();
    void UpdateExploreButton();
    // Reloads a non-empty tree from its own records for the page now shown.
    void RebuildTreeForPage(int state);
    // After a language switch: the three page indexes back, the tree rebuilt, the controls and
    // the information pane refreshed.
    void RefreshAfterLanguageChange(int mainPage, int simulationMaintPage, int easyPage);
    // The main page was switched (Easy or Classic).
    void MainPageControlChange();
    // The Classic page's Simulation/Maintenance tab was switched: the tree is rebuilt for the
    // page with the selection kept.
    void SimulationMaintPageControlChange();

    // Window helpers shared with the start-up, the close and the dialogs.
    // Writes "Last MainForm Top", "Last MainForm Left" and "Last MainForm Maximized".
    void SaveMainFormPosition();
    // Status panel widths and "View by File Name"; then the Language item of "Last Language" is
    // the only one checked. The caller loads the other settings (LoadSettings) right after it.
    void ApplyViewSettings();
    // Makes the window taller by the status bar's height, without storing the new size.
    void FitMainFormHeight();
    // Status panel 1 shows the long part of a hint ("short|long"), or nothing.
    void ShowHintInStatus(const QString& hint);
    // Centres a dialog over the window, keeping its bottom 4 pixels above the status bar.
    void CentreControlAboveStatusBar(QWidget* control) const;
    // The rectangle a tool tip needs to show the text at most `maxWidth` pixels wide.
    QRect CalcHintTextRect(const QString& text, int maxWidth) const;

    // The index of the ButtonImageList picture a button shows; -1 for none.
    static int Glyph(const QAbstractButton* button);
    static void SetGlyph(QAbstractButton* button, int glyph);
    // A hint in the form "short|long": the short part becomes the tool tip, the long part the
    // status-bar text; Hint() gives back the whole text.
    static void SetHint(QObject* control, const QString& hint);
    static QString Hint(const QObject* control);

    // The main window's text search (Find, Find Next).
    SearchTextSet SearchState;
    // The control the Edit commands, the keys and printing act on: the focused one of this
    // window (the last one focused while the menu bar has the keys), or null.
    QWidget* ActiveControl() const;

    // Text commands (mainform_print.cpp, mainform_search.cpp) on a control of this window.
    void PrintFocusedText(QWidget* control);
    void SaveFocusedTextAs(QWidget* control);
    void FindMnuClick();
    void FindNextMnuClick();
    void FindInControl(SearchTextSet& record, QWidget* control);
    // The main form's key preview: the shortcuts of the window; true when the key was used.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // The Edit menu's items, and the print commands, follow the focused control.
    void EditMnuClick();
    // View Refresh (F5).
    void ViewRefreshClick();

    // MainServices.
    QString StatusText(int panel) const override;
    void SetStatusText(int panel, const QString& text) override;
    void RepaintStatusBar() override;
    ReportPane* InformationMemo() override { return &informationPane_; }
    void SetBusyControlsEnabled(bool enabled) override;
    bool BusyControlsEnabled() const override;
    void ProcessEvents() override;
    int SimulationMaintPageIndex() const override;
    void SetSimulationMaintPageIndex(int index) override;
    ItemTree* QuarvelObjects() override { return &tree_; }
    int QuerySaveScenario() override;
    void LoadTree(const QString& scenarioFile, RecordList<ItemSet>* items, int state) override;
    void ShowSelectedNodeInfo() override;
    QString CurrentScenarioFile() const override { return currentScenarioFile_; }
    void SetCurrentScenarioFile(const QString& file) override { currentScenarioFile_ = file; }
    void SetOpenScenarioDialogFile(const QString& file) override { openDialogFile_ = file; }
    QString OpenScenarioDialogFile() const { return openDialogFile_; }
    void ShowHourglass(bool show) override;
    QSize ScreenSize() const override;
    void CloseMainForm() override;
    int MainPageIndex() const override;
    void SetMainPageIndex(int index) override;
    int ActivityExplorePageIndex() const override;
    void SetActivityExplorePageIndex(int index) override;
    bool Checked(const QString& component) const override;
    void SetChecked(const QString& component, bool checked) override;
    void MinimiseApplication() override;
    void RestoreApplication() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // mainform_start.cpp: makes this copy the running one; false when another copy runs.
    bool ClaimRunningCopy();
    // mainform_commands.cpp
    void BindCommands();
    void File1Click();
    void ExitBtnClick();
    void EveryThingCbxClick();
    void DefaultRoutesCbxClick();
    void UnstoreBtnClick();
    void RebuildCachesMnuClick();
    // mainform_options.cpp, mainform_print.cpp, mainform_search.cpp, mainform_tools.cpp
    void BindOptionCommands();
    void OptionFlagItemClick(const QString& component, bool checked);
    void About1Click();
    void BindTextCommands();
    void BindToolCommands();
    void SearchRichEdit(SearchTextSet& record, QTextEdit* edit);
    // The keys the window answers, shown beside their menu items.
    void ShowMenuKeys();

    // mainform_viewer.cpp
    void BindViewerCommands();
    void SVIEWMnuClick();
    void ShowExpConsistBtnClick();
    void ViewerTimerTick();
    void CloseViewers();

    // mainform_reports.cpp
    void BindReportCommands();
    void StatisticsMnuClick();
    void CheckAttributesClick();
    void WhereUsedMnuClick();

    void ShowInformationPane();
    void ApplyPaneLayout(QTextEdit* edit);
    void ScrollInformationPaneTo(int line);
    void ShowToolBarImages();
    void ResetControlsForRefresh();
    void KeepFocusAfterRefresh(QWidget* focus);
    // The control that holds the focus on the page shown: the tree, or the Easy routes list.
    QWidget* PageFocusControl() const;
    void ShowWindowCaption();
    void ShowRailDriverBoxes();

    QString commandLineArgument_;
    int exitStatus_ = 0;
    ItemTree tree_;
    ReportPane informationPane_;
    // What the start-up settled of the last run's left-overs, shown once the tree is loaded.
    ReportPane startupReport_;
    int shownPaneLines_ = 0;
    QString lastShownPaneLine_;
    bool shownFixedPitch_ = false;
    QList<int> shownTabStops_;
    QString proportionalPaneFont_;
    TreeController* treeController_ = nullptr;
    EasyController* easyController_ = nullptr;
    std::unique_ptr<MainEasyServices> easyServices_;
    QLabel* statusPanels_[2] = {nullptr, nullptr};
    QString currentScenarioFile_;
    QString openDialogFile_;
    int hourglassDepth_ = 0;
    // The control that had the focus when the busy controls were disabled.
    QPointer<QWidget> busyFocus_;
    // The last control of this window that had the focus, menus aside.
    QPointer<QWidget> lastControl_;
    bool shown_ = false;
};

// Disables every item below a menu, at every depth; the menu's own item keeps its state.
void DisableMenuTree(QMenu* menu);

} // namespace qv
