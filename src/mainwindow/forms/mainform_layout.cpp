// The parts of the main window's settings and layout that follow the stored values at start-up:
// the derived hints and captions, the Easy page's boxes, the tree pane's width beside the
// information pane (a splitter the user drags), and Reset Pane Width.

#include "mainwindow/forms/mainform_settings.h"

#include "ui_mainform.h"

#include "core/appstate.h"
#include "core/forms/fixeddefs.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "mainwindow/forms/mainform.h"
#include "mainwindow/windowplace.h"
#include "platform/winfs.h"

#include <QComboBox>
#include <QIcon>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>

namespace qv {

namespace {

const QString kSplitterName = QStringLiteral("ClassicSplitter");
constexpr int kMinimumPane = 80;

QStringList CaptionLines(Msg key) {
    return Caption(key).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
}

void FillCombo(QComboBox* combo, Msg key) {
    const QSignalBlocker blocker(combo);
    const int index = combo->currentIndex();
    combo->clear();
    combo->addItems(CaptionLines(key));
    combo->setCurrentIndex(index < combo->count() ? index : -1);
}

// A tool button's hint is its menu item's hint with the last character made "|".
QString ButtonHint(const QObject* item) {
    QString hint = TMainForm::Hint(item);
    if (!hint.isEmpty())
        hint.back() = u'|';
    return hint;
}

// Moves the widgets of a pane's layout into a widget of their own, for the splitter.
QWidget* PaneOf(QLayout* layout, QWidget* parent) {
    auto* pane = new QWidget(parent);
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(0, 0, 0, 0);
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QWidget* widget = item->widget())
            column->addWidget(widget);
        delete item;
    }
    return pane;
}

QSplitter* Splitter(const TMainForm& form) {
    return form.findChild<QSplitter*>(kSplitterName);
}

} // namespace

void LoadEasySettings(TMainForm& form) {
    ::Ui::TMainForm& ui = *form.ui;
    const std::pair<QObject*, QObject*> toolButtons[] = {
        {ui.New1, ui.NewTBtn},     {ui.Open1, ui.OpenTBtn},
        {ui.Save1, ui.SaveTBtn},   {ui.SaveAs1, ui.SaveAsTBtn},
        {ui.Print1, ui.PrintTBtn}, {ui.UnStoreCompletely, ui.UnStoreCompletelyTBtn}};
    for (const auto& [item, button] : toolButtons) {
        if (!TMainForm::Hint(item).isEmpty())
            TMainForm::SetHint(button, ButtonHint(item));
    }
    for (QAction* copy : {ui.WhereUsedMnu1, ui.WhereUsedMnu2}) {
        copy->setText(ui.WhereUsedMnu->text());
        TMainForm::SetHint(copy, TMainForm::Hint(ui.WhereUsedMnu));
    }
    ui.SVIEWMnu1->setText(ui.SVIEWMnu->text());
    TMainForm::SetHint(ui.SVIEWMnu1, TMainForm::Hint(ui.SVIEWMnu));
    const TFixedDefsForm* pictures = FixedDefsForm();
    for (QAbstractButton* button : {ui.ShowExpConsistBtn, ui.ShowActConsistBtn}) {
        TMainForm::SetHint(button, ButtonHint(ui.SVIEWMnu));
        if (pictures && pictures->StateImageList.Count() > 5)
            button->setIcon(QIcon(pictures->StateImageList.Images[5]));
    }
    TMainForm::SetHint(ui.MaintenanceLabel, Caption(Msg::MAINT_LABEL_HINT));
    for (QAbstractButton* box : {ui.ActStartRDCbx, ui.ExpStartRDCbx}) {
        box->setText(ui.StartRDCbx->text());
        TMainForm::SetHint(box, TMainForm::Hint(ui.StartRDCbx));
    }

    const AppState& app = App();
    const bool viewer = !app.ShapeViewerPath.isEmpty() || app.ViewerControlRegistered;
    ui.ViewerScreenshotFolderMnu->setVisible(viewer);
    ui.ShowExpConsistBtn->setVisible(viewer);
    ui.ShowActConsistBtn->setVisible(viewer);
    ui.UseSVIEWMnu->setVisible(!app.ShapeViewerPath.isEmpty() && app.ViewerControlRegistered);
    ui.RCLaunchSettings->setVisible(
        !app.MstsRootFolder.isEmpty() &&
        FolderExists(app.MstsRootFolder + QStringLiteral("\\Routes\\RtCntrl-route")));

    FillCombo(ui.AllLocomotivesCmbx, Msg::ALL_LOCOMOTIVES_ACTION_STRINGS);
    TMainForm::SetHint(ui.AllLocomotivesCmbx, Caption(Msg::ALL_LOCOMOTIVES_HINT));
    FillCombo(ui.ExploreLoadCmbx, Msg::EXPLORE_LOAD_STRINGS);
    if (ui.ExploreLoadCmbx->currentIndex() < 0) {
        const QSignalBlocker blocker(ui.ExploreLoadCmbx);
        ui.ExploreLoadCmbx->setCurrentIndex(0);
    }
    FillCombo(ui.SeasonCmbx, Msg::SEASONS_LEG_STRINGS);
    FillCombo(ui.WeatherCmbx, Msg::WEATHER_LEG_STRINGS);
    const QSignalBlocker blocker(ui.AllLocomotivesCmbx);
    ui.AllLocomotivesCmbx->setCurrentIndex(
        UsableAllLocosIndex(ReadProductNumber(QStringLiteral("All Locos Index"), 0)));
}

void InstallClassicSplitter(TMainForm& form) {
    ::Ui::TMainForm& ui = *form.ui;
    auto* splitter = new QSplitter(Qt::Horizontal, ui.Classic);
    splitter->setObjectName(kSplitterName);
    splitter->setChildrenCollapsible(false);
    QWidget* tree = PaneOf(ui.TreePaneLayout, splitter);
    QWidget* information = PaneOf(ui.InformationPaneLayout, splitter);
    tree->setMinimumWidth(kMinimumPane);
    information->setMinimumWidth(kMinimumPane);
    splitter->addWidget(tree);
    splitter->addWidget(information);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    // Taking a layout out of its parent leaves it with no owner: the emptied columns are freed
    // here.
    ui.ClassicLayout->removeItem(ui.TreePaneLayout);
    ui.ClassicLayout->removeItem(ui.InformationPaneLayout);
    delete ui.TreePaneLayout;
    delete ui.InformationPaneLayout;
    ui.TreePaneLayout = nullptr;
    ui.InformationPaneLayout = nullptr;
    ui.ClassicLayout->insertWidget(0, splitter, 1);
    // The splitter's own handle takes the place of the panel that was dragged before.
    ui.SplitterPnl->setVisible(false);
    QObject::connect(splitter, &QSplitter::splitterMoved, &form, [&form](int position) {
        if (!App().GeometryRestoring)
            RegWriteString(kProductKey, QStringLiteral("Last MainForm Tree Width"),
                           QString::number(position));
    });
    ApplyTreeWidth(form, 267, false);
}

int TreeWidth(const TMainForm& form) {
    const QSplitter* splitter = Splitter(form);
    return splitter ? splitter->sizes().value(0) : 0;
}

bool ApplyTreeWidth(TMainForm& form, int width, bool store, int windowWidth) {
    QSplitter* splitter = Splitter(form);
    if (!splitter)
        return false;
    // The splitter's own width once it is shown; before that, the window's less the controls.
    const int shown =
        splitter->isVisible() ? splitter->width() : form.width() - form.ui->MainPanel->width();
    const int total = shown + std::max(0, windowWidth - form.width());
    const int usable = UsableTreeWidth(width, total, kMinimumPane);
    if (usable < 0)
        return false;
    splitter->setSizes({usable, std::max(kMinimumPane, total - usable)});
    if (store)
        RegWriteString(kProductKey, QStringLiteral("Last MainForm Tree Width"),
                       QString::number(usable));
    return true;
}

void ResetPaneWidthMnuClick(TMainForm& form) {
    if (!form.isMaximized())
        form.resize(760, 577);
    ApplyTreeWidth(form, 267, true);
}

} // namespace qv
