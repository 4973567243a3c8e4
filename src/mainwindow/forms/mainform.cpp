#include "mainwindow/forms/mainform.h"

#include "ui_mainform.h"

#include "core/appstate.h"
#include "core/easyservices.h"
#include "core/forms/controls.h"
#include "core/forms/fixeddefs.h"
#include "core/regsettings.h"
#include "mainwindow/closeform.h"
#include "mainwindow/forms/easycontroller.h"
#include "mainwindow/forms/maineasyservices.h"
#include "mainwindow/forms/mainform_settings.h"
#include "mainwindow/forms/treecontroller.h"
#include "mainwindow/objecttree.h"

#include <QAbstractButton>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>
#include <QToolTip>

namespace qv {

namespace {

const char* const kGlyphProperty = "Glyph";
const char* const kHintProperty = "Hint";

// One line of the information pane: a heading is centred, bold and underlined, a bold line bold.
void AppendPaneLine(QTextEdit* edit, const QString& line, ReportPane::LineStyle style, bool first) {
    const bool heading = style == ReportPane::LineStyle::Heading;
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    QTextBlockFormat block;
    block.setAlignment(heading ? Qt::AlignHCenter : Qt::AlignLeft);
    // A block's own tab positions replace the document's when it is laid out.
    block.setTabPositions(edit->document()->defaultTextOption().tabs());
    QTextCharFormat chars;
    chars.setFontWeight(style != ReportPane::LineStyle::Plain ? QFont::Bold : QFont::Normal);
    chars.setFontUnderline(heading);
    if (first) {
        cursor.setBlockFormat(block);
        cursor.setBlockCharFormat(chars);
    } else {
        cursor.insertBlock(block, chars);
    }
    cursor.insertText(line, chars);
}

} // namespace

TMainForm::TMainForm(const QString& commandLineArgument, QWidget* parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::TMainForm>()),
      commandLineArgument_(commandLineArgument) {
    ui->setupUi(this);
    setWindowIcon(QIcon(kProgramIcon));

    // The File menu's separators are found by name: the recent files stand between the last two.
    for (QAction* separator : {ui->N4, ui->NLBeforeMRU, ui->NLAfterMRU})
        separator->setSeparator(true);
    QAction* const recent[] = {ui->MRU0, ui->MRU1, ui->MRU2, ui->MRU3, ui->MRU4,
                               ui->MRU5, ui->MRU6, ui->MRU7, ui->MRU8};
    for (int i = 0; i < 9; ++i) {
        recent[i]->setProperty(kTagProperty, i);
        recent[i]->setVisible(false);
    }
    ui->NLBeforeMRU->setVisible(false);
    ui->NLAfterMRU->setVisible(false);
    // The view-all commands are never copied into the tree's popup.
    for (QAction* viewAll : {ui->ViewAllConsistsMnu, ui->ViewAllStockItemsMnu, ui->ViewAllPathsMnu})
        viewAll->setProperty(kTagProperty, -1);
    // Kept out of sight: reachable by their keys or shown when their program is present. Check
    // Attributes stays in the Reports menu: a hidden item cannot be chosen at all.
    for (QAction* hidden : {ui->StrictSMSChecking, ui->FixedObjects1, ui->RCLaunchSettings})
        hidden->setVisible(false);
    ui->Spacer->setEnabled(false);
    ui->EasyBackground->setVisible(false);
    // The maintenance label comes and goes with the store state; its room stays, so that the
    // window keeps its height and the buttons do not move under the mouse.
    QSizePolicy labelPolicy = ui->MaintenanceLabel->sizePolicy();
    labelPolicy.setRetainSizeWhenHidden(true);
    ui->MaintenanceLabel->setSizePolicy(labelPolicy);

    for (int panel = 0; panel < 2; ++panel) {
        statusPanels_[panel] = new QLabel(ui->StatusBar);
        statusPanels_[panel]->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        ui->StatusBar->addWidget(statusPanels_[panel], panel);
    }
    statusPanels_[0]->setFixedWidth(75);
    // A text longer than the bar is cut at its end: the window never widens for it.
    statusPanels_[1]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    MainFormPopup = new QMenu(this);
    MainFormPopup->setObjectName(QStringLiteral("MainFormPopup"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);

    informationPane_.OnChanged = [this] { ShowInformationPane(); };
    informationPane_.OnScrollToLine = [this](int line) { ScrollInformationPaneTo(line); };

    treeController_ = new TreeController(ui->QuarvelObjects, tree_, this);
    TreeController::PopupSources sources;
    sources.MainFormPopup = MainFormPopup;
    sources.RoutesMnu = ui->RoutesMnu;
    sources.ActivitiesMnu = ui->ActivitiesMnu;
    sources.ExploreModeConsistsMnu = ui->ExploreModeConsistsMnu;
    sources.StockMnu = ui->StockMnu;
    sources.PathsMnu = ui->PathsMnu;
    sources.StoreRouteMnu = ui->StoreRouteMnu;
    sources.UnStoreRouteMnu = ui->UnStoreRouteMnu;
    sources.StoreActivityMnu = ui->StoreActivityMnu;
    sources.UnStoreActivityMnu = ui->UnStoreActivityMnu;
    sources.SetTSECTIONMnu = ui->SetTSECTIONMnu;
    sources.FindMnu = ui->FindMnu;
    sources.FindNextMnu = ui->FindNextMnu;
    sources.CopyMnu = ui->CopyMnu;
    sources.SaveTxtMnu = ui->SaveTxtMnu;
    sources.Print1 = ui->Print1;
    treeController_->SetPopupSources(sources);

    InstallClassicSplitter(*this);
    easyController_ = new EasyController(*this);
    easyServices_ = std::make_unique<MainEasyServices>(*this);
    SetMainServices(this);
    SetEasyServices(easyServices_.get());

    BindCommands();
    BindReportCommands();
    BindOptionCommands();
    BindTextCommands();
    BindToolCommands();
    BindViewerCommands();
    ShowToolBarImages();
    ShowMenuKeys();
}

TMainForm::~TMainForm() {
    // The focus moves while the children go: nothing of the window may answer it any more.
    disconnect(qApp, nullptr, this, nullptr);
    qApp->removeEventFilter(this);
    if (&TheMainServices() == this)
        SetMainServices(nullptr);
    if (&TheEasyServices() == easyServices_.get())
        SetEasyServices(nullptr);
    informationPane_.OnChanged = nullptr;
    informationPane_.OnScrollToLine = nullptr;
    // The controller and its model look at the tree, which goes before the form's children do.
    ui->QuarvelObjects->setModel(nullptr);
    delete treeController_;
    treeController_ = nullptr;
    // The Easy page's controller watches widgets whose last events come after `ui` is gone.
    delete easyController_;
    easyController_ = nullptr;
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    FormShow();
    // The pictures are drawn during the start-up.
    ShowToolBarImages();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!FormCloseMayProceed(this)) {
        event->ignore();
        return;
    }
    CloseViewers();
    // The place of the window's inside, the one the start gives back (see SaveMainFormPosition).
    FormCloseFinish(geometry().y(), geometry().x(), isMaximized());
    event->accept();
}

bool TMainForm::event(QEvent* event) {
    // Hints of menu items and controls go to status panel 1, not over the whole status bar.
    if (event->type() == QEvent::StatusTip) {
        SetStatusText(1, static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::ShowToolBarImages() {
    const TFixedDefsForm* pictures = FixedDefsForm();
    if (!pictures)
        return;
    const std::pair<QAction*, int> buttons[] = {
        {ui->NewTBtn, TB_NEW},     {ui->OpenTBtn, TB_OPEN},
        {ui->SaveTBtn, TB_SAVE},   {ui->SaveAsTBtn, TB_SAVE_AS},
        {ui->PrintTBtn, TB_PRINT}, {ui->UnStoreCompletelyTBtn, TB_UNSTORE_EVERYTHING}};
    for (const auto& [button, image] : buttons) {
        if (image < pictures->ToolBarImageList.Count())
            button->setIcon(QIcon(pictures->ToolBarImageList.Images[image]));
    }
}

// ---- Window helpers ----------------------------------------------------------------------------

// The place stored is that of the window's inside, without the frame: the start restores it
// before the window manager has framed the window, when the frame's size is not known yet.
void TMainForm::SaveMainFormPosition() {
    RegWriteString(kProductKey, QStringLiteral("Last MainForm Top"),
                   QString::number(geometry().y()));
    RegWriteString(kProductKey, QStringLiteral("Last MainForm Left"),
                   QString::number(geometry().x()));
    RegWriteString(kProductKey, QStringLiteral("Last MainForm Maximized"),
                   isMaximized() ? QStringLiteral("true") : QStringLiteral("false"));
}

void TMainForm::ApplyViewSettings() {
    statusPanels_[0]->setFixedWidth(75);
    // A text longer than the bar is cut at its end: the window never widens for it.
    statusPanels_[1]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    App().ViewByFileName = ReadFlag(QStringLiteral("View by File Name"));
    bool ok = false;
    int lastLanguage = RegReadString(kProductKey, QStringLiteral("Last Language")).toInt(&ok);
    if (!ok)
        lastLanguage = -1;
    for (QAction* item : ui->LanguageMnu->actions()) {
        const QVariant tag = item->property(kTagProperty);
        item->setCheckable(true);
        item->setChecked(lastLanguage != -1 && tag.isValid() && tag.toInt() == lastLanguage);
    }
}

void TMainForm::FitMainFormHeight() {
    const bool restoring = App().GeometryRestoring;
    App().GeometryRestoring = true;
    resize(width(), height() + ui->StatusBar->height());
    App().GeometryRestoring = restoring;
}

void TMainForm::ShowHintInStatus(const QString& hint) {
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    SetStatusText(1, bar < 0 ? hint : hint.mid(bar + 1));
}

void TMainForm::CentreControlAboveStatusBar(QWidget* control) const {
    CentreControl(control, this);
    const QRect form = frameGeometry();
    const int statusHeight = ui->StatusBar->height();
    if (control->y() + control->height() > form.y() + form.height() - statusHeight) {
        int top = form.y() + form.height() - control->height() - statusHeight - 4;
        if (top < 1)
            top = 0;
        control->move(control->x(), top);
    }
}

QRect TMainForm::CalcHintTextRect(const QString& text, int maxWidth) const {
    const QFontMetrics metrics(QToolTip::font());
    const QRect textRect =
        metrics.boundingRect(QRect(0, 0, maxWidth, 0), Qt::AlignLeft | Qt::TextWordWrap, text);
    const int margin = style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth) + 2;
    return QRect(0, 0, textRect.width() + 2 * margin, textRect.height() + 2 * margin);
}

int TMainForm::Glyph(const QAbstractButton* button) {
    const QVariant glyph = button->property(kGlyphProperty);
    return glyph.isValid() ? glyph.toInt() : -1;
}

void TMainForm::SetGlyph(QAbstractButton* button, int glyph) {
    button->setProperty(kGlyphProperty, glyph);
    const TFixedDefsForm* pictures = FixedDefsForm();
    if (glyph >= 0 && pictures && glyph < pictures->ButtonImageList.Count())
        button->setIcon(QIcon(pictures->ButtonImageList.Images[glyph]));
    else
        button->setIcon(QIcon());
}

void TMainForm::SetHint(QObject* control, const QString& hint) {
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    control->setProperty(kHintProperty, hint);
    control->setProperty("toolTip", bar < 0 ? hint : hint.left(bar));
    control->setProperty("statusTip", bar < 0 ? hint : hint.mid(bar + 1));
}

QString TMainForm::Hint(const QObject* control) {
    return control->property(kHintProperty).toString();
}

void DisableMenuTree(QMenu* menu) {
    for (QAction* item : menu->actions()) {
        item->setEnabled(false);
        if (item->menu())
            DisableMenuTree(item->menu());
    }
}

// ---- MainServices ------------------------------------------------------------------------------

QString TMainForm::StatusText(int panel) const {
    return panel == 0 || panel == 1 ? statusPanels_[panel]->text() : QString();
}

void TMainForm::SetStatusText(int panel, const QString& text) {
    if (panel == 0 || panel == 1)
        statusPanels_[panel]->setText(text);
}

void TMainForm::RepaintStatusBar() {
    ui->StatusBar->repaint();
}

// Disabling the page that holds the focused control takes the focus away for good. The control
// that had it gets it back (else the page's main list), so that the keys and the information
// pane go on where the user left them.
void TMainForm::SetBusyControlsEnabled(bool enabled) {
    const bool wasEnabled = BusyControlsEnabled();
    if (!enabled && wasEnabled)
        busyFocus_ = focusWidget();
    ui->ToolBar1->setEnabled(enabled);
    ui->MainPageControl->setEnabled(enabled);
    if (!enabled || wasEnabled)
        return;
    QWidget* focus = busyFocus_;
    busyFocus_ = nullptr;
    if (!focus || !focus->isVisible() || !focus->isEnabled())
        focus = PageFocusControl();
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
}

bool TMainForm::BusyControlsEnabled() const {
    return ui->ToolBar1->isEnabled() && ui->MainPageControl->isEnabled();
}

void TMainForm::ProcessEvents() {
    QCoreApplication::processEvents();
}

int TMainForm::SimulationMaintPageIndex() const {
    return ui->SimulationMaintPageControl->currentIndex();
}

// Page indexes set by the program do not run the switch handlers; only the user's switch does.
void TMainForm::SetSimulationMaintPageIndex(int index) {
    const QSignalBlocker blocker(ui->SimulationMaintPageControl);
    ui->SimulationMaintPageControl->setCurrentIndex(index);
}

int TMainForm::MainPageIndex() const {
    return ui->MainPageControl->currentIndex();
}

void TMainForm::SetMainPageIndex(int index) {
    const QSignalBlocker blocker(ui->MainPageControl);
    ui->MainPageControl->setCurrentIndex(index);
}

int TMainForm::ActivityExplorePageIndex() const {
    return ui->ActivityExplorePageCntrl->currentIndex();
}

void TMainForm::SetActivityExplorePageIndex(int index) {
    const QSignalBlocker blocker(ui->ActivityExplorePageCntrl);
    ui->ActivityExplorePageCntrl->setCurrentIndex(index);
}

int TMainForm::QuerySaveScenario() {
    return qv::QuerySaveScenario(this);
}

void TMainForm::LoadTree(const QString& scenarioFile, RecordList<ItemSet>* items, int state) {
    qv::LoadTree(tree_, scenarioFile, items, state);
}

void TMainForm::ShowHourglass(bool show) {
    if (show) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++hourglassDepth_;
    } else if (hourglassDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --hourglassDepth_;
    }
}

QSize TMainForm::ScreenSize() const {
    const QScreen* shown = screen();
    return shown ? shown->geometry().size() : MainServices::ScreenSize();
}

void TMainForm::CloseMainForm() {
    App().SilentClose = true;
    // The close frees the tree; a handler that asks for it (a launch that does not wait, a job)
    // may still use the tree after asking, so the close waits until control is back in the loop.
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

bool TMainForm::Checked(const QString& component) const {
    if (const auto* box = findChild<QAbstractButton*>(component))
        return box->isChecked();
    if (const auto* item = findChild<QAction*>(component))
        return item->isChecked();
    return false;
}

// Setting a mark does not run the control's click handler; only the user's click does.
void TMainForm::SetChecked(const QString& component, bool checked) {
    if (auto* box = findChild<QAbstractButton*>(component))
        box->setChecked(checked);
    else if (auto* item = findChild<QAction*>(component))
        item->setChecked(checked);
}

void TMainForm::MinimiseApplication() {
    setWindowState(windowState() | Qt::WindowMinimized);
}

void TMainForm::RestoreApplication() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

// The pane's view follows its lines: a line added at the end is appended, anything else
// (cleared, replaced, another font or tab stops) shows the pane afresh.
void TMainForm::ShowInformationPane() {
    QTextEdit* edit = ui->InformationMemo;
    const int count = informationPane_.LineCount();
    const QStringList lines = informationPane_.Lines();
    const bool sameLayout = informationPane_.FixedPitch() == shownFixedPitch_ &&
                            informationPane_.TabStops() == shownTabStops_;
    const bool appended =
        sameLayout && count == shownPaneLines_ + 1 &&
        (shownPaneLines_ == 0 || lines.at(shownPaneLines_ - 1) == lastShownPaneLine_);
    int from = shownPaneLines_;
    if (!appended) {
        edit->clear();
        from = 0;
        if (!sameLayout)
            ApplyPaneLayout(edit);
    }
    for (int i = from; i < count; ++i)
        AppendPaneLine(edit, lines.at(i), informationPane_.Style(i), i == 0);
    shownPaneLines_ = count;
    lastShownPaneLine_ = count > 0 ? lines.at(count - 1) : QString();
}

// Shows the line at the top of the pane (as far as the scroll range allows) with the caret on it.
void TMainForm::ScrollInformationPaneTo(int line) {
    QTextEdit* edit = ui->InformationMemo;
    const QTextBlock block = edit->document()->findBlockByNumber(line);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    edit->setTextCursor(cursor);
    edit->verticalScrollBar()->setValue(
        int(edit->document()->documentLayout()->blockBoundingRect(block).top()));
}

// The pane's font (proportional or fixed pitch) and its tab stops, given in points.
void TMainForm::ApplyPaneLayout(QTextEdit* edit) {
    shownFixedPitch_ = informationPane_.FixedPitch();
    shownTabStops_ = informationPane_.TabStops();
    QFont font = edit->document()->defaultFont();
    if (shownFixedPitch_) {
        if (proportionalPaneFont_.isEmpty())
            proportionalPaneFont_ = font.family();
        font.setFamily(QStringLiteral("Courier New"));
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
    } else if (!proportionalPaneFont_.isEmpty()) {
        font.setFamily(proportionalPaneFont_);
        font.setStyleHint(QFont::AnyStyle);
        font.setFixedPitch(false);
    }
    edit->document()->setDefaultFont(font);
    QTextOption option = edit->document()->defaultTextOption();
    QList<QTextOption::Tab> tabs;
    const qreal pixelsPerPoint = edit->logicalDpiX() / 72.0;
    for (int points : shownTabStops_)
        tabs.append(QTextOption::Tab(points * pixelsPerPoint, QTextOption::LeftTab));
    option.setTabs(tabs);
    edit->document()->setDefaultTextOption(option);
}

} // namespace qv
