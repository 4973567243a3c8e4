#include "core/forms/searchparamsboxdlg.h"

#include "core/appstate.h"
#include "core/forms/controls.h"
#include "core/searchtext.h"
#include "platform/ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace qv {

TSearchParamsBoxDlg::TSearchParamsBoxDlg(QWidget* owner, SearchTextSet& record, QWidget*)
    : QDialog(owner), record_(record) {
    setObjectName(QStringLiteral("TSearchParamsBoxDlg"));
    setWindowTitle(tr("Find Text"));
    Label1 = Named(new QLabel(tr("Text to find:"), this), "Label1");
    SearchTextCmbx = Named(new QComboBox(this), "SearchTextCmbx");
    SearchTextCmbx->setEditable(true);
    SearchTextCmbx->setInsertPolicy(QComboBox::NoInsert);
    SearchTextCmbx->setMinimumWidth(260);
    SearchTextCmbx->setToolTip(tr("Enter the text to search for"));
    CaseSensitiveCbx = Named(new QCheckBox(tr("Case sensitive"), this), "CaseSensitiveCbx");
    WholeWordCbx = Named(new QCheckBox(tr("Whole words only"), this), "WholeWordCbx");
    SearchInformationCbx =
        Named(new QCheckBox(tr("Also search Information pane"), this), "SearchInformationCbx");
    WholeWordCbx->setVisible(false);
    SearchInformationCbx->setVisible(false);
    OKButton = Named(new QPushButton(tr("OK"), this), "OKButton");
    OKButton->setDefault(true);
    CancelButton = Named(new QPushButton(tr("Cancel"), this), "CancelButton");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(SearchTextCmbx);
    layout->addWidget(CaseSensitiveCbx);
    layout->addWidget(WholeWordCbx);
    layout->addWidget(SearchInformationCbx);
    layout->addLayout(buttons);

    const SearchDialogState state = LoadSearchDialogState();
    SearchTextCmbx->addItems(state.History);
    SearchTextCmbx->setCurrentIndex(-1);
    SearchTextCmbx->setEditText(QString());
    CaseSensitiveCbx->setChecked(state.CaseSensitive);
    WholeWordCbx->setChecked(state.WholeWord);
    SearchInformationCbx->setChecked(state.SearchInformation);

    connect(CaseSensitiveCbx, &QCheckBox::clicked, this, &StoreSearchCaseSensitive);
    connect(WholeWordCbx, &QCheckBox::clicked, this, &StoreSearchWholeWord);
    connect(SearchInformationCbx, &QCheckBox::clicked, this, &StoreSearchInformation);
    connect(OKButton, &QPushButton::clicked, this, &TSearchParamsBoxDlg::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(ID_CANCEL); });
}

void TSearchParamsBoxDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    setWindowTitle(App().ProgramTitle + QStringLiteral(" - ") + tr("Find Text"));
    CentreControl(this, parentWidget());
    SearchTextCmbx->setFocus();
}

void TSearchParamsBoxDlg::OKButtonClick() {
    if (AcceptSearchParams(record_, SearchTextCmbx->currentText(), CaseSensitiveCbx->isChecked(),
                           WholeWordCbx->isChecked(), SearchInformationCbx->isChecked()))
        done(ID_OK);
}

} // namespace qv
