#include "engine/forms/tsectionchoiceboxdlg.h"

#include "core/forms/controls.h"
#include "core/generaldefs.h"
#include "engine/tsectionedit.h"
#include "platform/ui.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace qv {

namespace {

constexpr int kColumns = 5;
constexpr int kMarkColumnWidth = 30;
constexpr int kTextMargin = 20;

// The message table breaks lines with carriage returns; a label breaks them at line feeds.
QString LabelText(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QChar('\r'), QChar('\n'));
}

} // namespace

TTSECTIONChoiceBoxDlg::TTSECTIONChoiceBoxDlg(QWidget* owner, ConflictList& list)
    : QDialog(owner), list_(list) {
    setObjectName(QStringLiteral("TSECTIONChoiceBoxDlg"));
    setWindowTitle(tr("Resolve Conflicting TSECTION.DAT Specifications"));

    Panel1 = Named(new QFrame(this), "Panel1");
    Panel1->setFrameShape(QFrame::StyledPanel);
    ConflictLbl = Named(new QLabel(Panel1), "ConflictLbl");
    ConflictLbl->setWordWrap(true);
    DeselectLbl = Named(new QLabel(tr("Deselect one or more of the conflicting (*) "
                                      "Routes until no more conflicts remain."),
                                   Panel1),
                        "DeselectLbl");
    DeselectLbl->setWordWrap(true);
    TSECTIONLvw = Named(new QTableWidget(0, kColumns, Panel1), "TSECTIONLvw");
    TSECTIONLvw->verticalHeader()->hide();
    TSECTIONLvw->setShowGrid(true);
    TSECTIONLvw->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TSECTIONLvw->setSelectionBehavior(QAbstractItemView::SelectRows);
    TSECTIONLvw->setSelectionMode(QAbstractItemView::SingleSelection);
    TSECTIONLvw->setWordWrap(false);
    TSECTIONLvw->horizontalHeader()->setSectionsClickable(true);
    RecommendedLbl = Named(new QLabel(Panel1), "RecommendedLbl");
    RecommendedLbl->setWordWrap(true);
    Bevel6 = Named(new QFrame(this), "Bevel6");
    Bevel6->setFrameShape(QFrame::HLine);
    Bevel6->setFrameShadow(QFrame::Sunken);
    ReSortBtn = Named(new QPushButton(tr("ReSort"), this), "ReSortBtn");
    ReSortBtn->setAutoDefault(false);
    OKButton = Named(new QPushButton(tr("OK"), this), "OKButton");
    OKButton->setDefault(true);
    CancelButton = Named(new QPushButton(tr("Cancel"), this), "CancelButton");
    CancelButton->setAutoDefault(false);

    auto* panel = new QVBoxLayout(Panel1);
    panel->addWidget(ConflictLbl);
    panel->addWidget(DeselectLbl);
    panel->addWidget(TSECTIONLvw, 1);
    panel->addWidget(RecommendedLbl);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ReSortBtn);
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Panel1, 1);
    layout->addWidget(Bevel6);
    layout->addLayout(buttons);
    resize(760, 400);

    connect(TSECTIONLvw, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { TSECTIONLvwChange(item); });
    connect(TSECTIONLvw->horizontalHeader(), &QHeaderView::sectionClicked, this, [this] {
        if (guard_)
            ReSortBtnClick();
    });
    connect(ReSortBtn, &QPushButton::clicked, this, [this] {
        if (guard_)
            ReSortBtnClick();
    });
    connect(OKButton, &QPushButton::clicked, this, [this] { done(ID_OK); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(ID_CANCEL); });
}

void TTSECTIONChoiceBoxDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TTSECTIONChoiceBoxDlg::FormShow() {
    guard_ = false;
    TSECTIONLvw->setHorizontalHeaderLabels(
        {QString(), Caption(Msg::TYPE_ROUTE_LEG), Caption(Msg::TREE_HEADING_TSECTION_BUILD),
         Caption(Msg::TREE_HEADING_TSECTION_ACTION), Caption(Msg::TREE_HEADING_FILE_NAME)});
    FillTsectionListView();
    RenewLabels();
    guard_ = true;
    OKButton->setEnabled(false);
    // The conflict text arrives only now: the rows are laid out for it before the first paint.
    Panel1->layout()->activate();
}

void TTSECTIONChoiceBoxDlg::FillTsectionListView() {
    // The rows are rewritten in place: a check-box change arrives from one of these items, which
    // must outlive its own signal.
    TSECTIONLvw->setRowCount(int(list_.size()));
    std::vector<int> widths(kColumns, 0);
    const QFontMetrics metrics = TSECTIONLvw->fontMetrics();
    for (int column = 1; column < kColumns; ++column)
        if (const QTableWidgetItem* header = TSECTIONLvw->horizontalHeaderItem(column))
            widths[std::size_t(column)] =
                TSECTIONLvw->horizontalHeader()->fontMetrics().horizontalAdvance(header->text());
    for (int row = 0; row < int(list_.size()); ++row) {
        const ConflictInfo& entry = *list_[std::size_t(row)];
        const QStringList texts = TsectionChoiceRow(entry);
        for (int column = 0; column < kColumns; ++column) {
            QTableWidgetItem* item = TSECTIONLvw->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                item->setFlags(column == 0 ? Qt::ItemIsEnabled | Qt::ItemIsSelectable |
                                                 Qt::ItemIsUserCheckable
                                           : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
                TSECTIONLvw->setItem(row, column, item);
            }
            item->setText(texts[column]);
            if (column == 0)
                item->setCheckState(entry.Selected ? Qt::Checked : Qt::Unchecked);
            else
                widths[std::size_t(column)] =
                    std::max(widths[std::size_t(column)], metrics.horizontalAdvance(texts[column]));
        }
    }
    TSECTIONLvw->setColumnWidth(0, kMarkColumnWidth);
    for (int column = 1; column < kColumns; ++column)
        TSECTIONLvw->setColumnWidth(column, widths[std::size_t(column)] + kTextMargin);
}

void TTSECTIONChoiceBoxDlg::RenewLabels() {
    const int recommended = RecommendedTsectionEntry(list_);
    RecommendedLbl->setText(LabelText(TsectionRecommendedText(list_, recommended)));
    DeselectLbl->setVisible(recommended < 0);
    ConflictLbl->setText(LabelText(TsectionConflictText(recommended)));
}

void TTSECTIONChoiceBoxDlg::TSECTIONLvwChange(QTableWidgetItem* item) {
    if (!guard_ || item->column() != 0 || item->row() >= int(list_.size()))
        return;
    ConflictInfo& entry = *list_[std::size_t(item->row())];
    const bool checked = item->checkState() == Qt::Checked;
    if (checked == (entry.Selected != 0))
        return;
    guard_ = false;
    entry.Selected = checked ? 1 : 0;
    OKButton->setEnabled(false);
    const bool anySelected = std::any_of(list_.begin(), list_.end(),
                                         [](const auto& other) { return other->Selected != 0; });
    if (!FindTsectionConflicts(list_, false) && anySelected)
        OKButton->setEnabled(true);
    FillTsectionListView();
    RenewLabels();
    ReSortBtn->setEnabled(true);
    guard_ = true;
}

void TTSECTIONChoiceBoxDlg::ReSortBtnClick() {
    guard_ = false;
    FindTsectionConflicts(list_, true);
    FillTsectionListView();
    RenewLabels();
    ReSortBtn->setEnabled(false);
    guard_ = true;
}

void TTSECTIONChoiceBoxDlg::done(int result) {
    guard_ = false;
    QDialog::done(result);
}

void TTSECTIONChoiceBoxDlg::reject() {
    done(ID_CANCEL);
}

} // namespace qv
