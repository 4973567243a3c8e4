#include "engine/forms/setfixeddlg.h"

#include "core/appstate.h"
#include "core/forms/controls.h"
#include "core/generaldefs.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/stringlist.h"
#include "engine/aliasscan.h"
#include "platform/drivemap.h"
#include "platform/ui.h"
#include "platform/winresolve.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace qv {

namespace {

const char* const kDesignCaption = QT_TRANSLATE_NOOP("qv::TSetFixedDlg", "Select Fixed Objects");

QPushButton* MakeButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

QListWidget* MakeList(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}

} // namespace

TSetFixedDlg::TSetFixedDlg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("SetFixedDlg"));
    setWindowTitle(App().ProgramTitle + QStringLiteral(" - ") + tr(kDesignCaption));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    TrainsetFolders = MakeList("TrainsetFolders", this);
    SelectedFoldersLbl = new QLabel(this);
    SelectedFoldersLbl->setObjectName(QStringLiteral("SelectedFoldersLbl"));
    ExclusionListLbl = new QLabel(tr("Current Fi&xed Objects List"), this);
    ExclusionListLbl->setObjectName(QStringLiteral("ExclusionListLbl"));
    ExclusionListBox = MakeList("ExclusionListBox", this);
    ExclusionListLbl->setBuddy(ExclusionListBox);

    AddFolderBtn = MakeButton(tr("Add F&older"), "AddFolderBtn", this);
    AddFolderBtn->setEnabled(false);
    AddFileBtn = MakeButton(tr("Add F&ile"), "AddFileBtn", this);
    RemoveBtn = MakeButton(tr("&Remove"), "RemoveBtn", this);
    RemoveBtn->setEnabled(false);
    AliasesOrFolders = MakeButton(tr("Suggested &Aliases"), "AliasesOrFolders", this);
    OKBtn = MakeButton(tr("OK"), "OKBtn", this);
    CancelBtn = MakeButton(tr("Cancel"), "CancelBtn", this);

    // Not the platform's own dialog: ours finds MSTS's upper-case extensions through the filters.
    OpenFileDlg = new QFileDialog(this, tr("Quarvel - Select Files to Exclude"));
    OpenFileDlg->setObjectName(QStringLiteral("OpenFileDlg"));
    OpenFileDlg->setOption(QFileDialog::DontUseNativeDialog);
    OpenFileDlg->setFileMode(QFileDialog::ExistingFiles);
    OpenFileDlg->setNameFilters({tr("MSTS Engine Files (*.eng)"), tr("MSTS Wagon files (*.wag)"),
                                 tr("MSTS Consist Files (*.con)"),
                                 tr("MSTS Activity Files (*.act)")});

    auto* left = new QVBoxLayout;
    left->addWidget(Label1);
    left->addWidget(TrainsetFolders, 1);
    left->addWidget(SelectedFoldersLbl);
    left->addWidget(AliasesOrFolders);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(AddFolderBtn);
    middle->addWidget(AddFileBtn);
    middle->addWidget(RemoveBtn);
    middle->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(ExclusionListLbl);
    right->addWidget(ExclusionListBox, 1);
    auto* lists = new QHBoxLayout;
    lists->addLayout(left, 2);
    lists->addLayout(middle);
    lists->addLayout(right, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    resize(640, 420);

    connect(AddFolderBtn, &QPushButton::clicked, this, [this] { AddFolderClick(); });
    connect(AddFileBtn, &QPushButton::clicked, this, [this] { AddFileClick(); });
    connect(RemoveBtn, &QPushButton::clicked, this, [this] { RemoveClick(); });
    connect(AliasesOrFolders, &QPushButton::clicked, this, [this] { AliasesOrFoldersClick(); });
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(ID_CANCEL); });
    connect(TrainsetFolders, &QListWidget::itemSelectionChanged, this,
            [this] { TrainsetFoldersSelectionChanged(); });
    connect(ExclusionListBox, &QListWidget::itemSelectionChanged, this,
            [this] { RemoveBtn->setEnabled(!ExclusionListBox->selectedItems().isEmpty()); });
}

void TSetFixedDlg::ShowTrainsetFolders() {
    FillLeftList(TrainsetFolderNames(), Msg::TRAINSET_FOLDERS_TAG, Msg::SHOW_SUGGESTED_ALIASES_TAG);
}

void TSetFixedDlg::ShowSuggestedAliases() {
    StringList aliases = StringList::SortedUnique();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ScanAliasTargets(aliases);
    QGuiApplication::restoreOverrideCursor();
    FillLeftList(aliases.Strings(), Msg::TRAINSET_ALIASES_TAG, Msg::SHOW_TRAINSET_FOLDERS_TAG);
}

void TSetFixedDlg::FillLeftList(const QStringList& names, Msg label, Msg buttonCaption) {
    TrainsetFolders->clear();
    TrainsetFolders->addItems(names);
    Label1->setText(Caption(label) + QStringLiteral(" (") + QString::number(names.size()) +
                    QLatin1Char(')'));
    AliasesOrFolders->setText(Caption(buttonCaption));
    TrainsetFoldersSelectionChanged();
}

void TSetFixedDlg::AppendLine(const ExclusionInfo& entry) {
    auto* item = new QListWidgetItem(ExclusionEditor::LineText(entry), ExclusionListBox);
    // The hint over a line is the entry's path.
    item->setToolTip(entry.Path);
}

void TSetFixedDlg::TrainsetFoldersSelectionChanged() {
    const qsizetype selected = TrainsetFolders->selectedItems().size();
    AddFolderBtn->setEnabled(selected > 0);
    SelectedFoldersLbl->setText(selected > 0 ? Caption(Msg::TRAINSET_FOLDERS_SELECTED_TAG) +
                                                   QStringLiteral(" (") +
                                                   QString::number(selected) + QLatin1Char(')')
                                             : QString());
}

void TSetFixedDlg::AddFolderClick() {
    for (int row = 0; row < TrainsetFolders->count(); ++row) {
        const QListWidgetItem* item = TrainsetFolders->item(row);
        if (!item->isSelected() || !editor_.AddFolder(item->text()))
            continue;
        AppendLine(*editor_.Entries().back());
        RemoveBtn->setEnabled(true);
    }
}

void TSetFixedDlg::AddFileClick() {
    ClearReport(TheMainServices().InformationMemo());
    const QString trainset = App().MstsRootFolder + QStringLiteral("\\TRAINS\\TRAINSET");
    QString host;
    if (!ResolvePath(trainset, &host))
        host = TheDriveMap().ToHost(trainset);
    OpenFileDlg->setDirectory(host);
    OpenFileDlg->selectFile(QString());
    if (OpenFileDlg->exec() != QDialog::Accepted)
        return;
    QStringList files;
    for (const QString& file : OpenFileDlg->selectedFiles())
        files << ToWindowsForm(file);
    const size_t before = editor_.Entries().size();
    editor_.AddFiles(files);
    for (size_t i = before; i < editor_.Entries().size(); ++i)
        AppendLine(*editor_.Entries()[i]);
    if (editor_.Entries().size() > before)
        RemoveBtn->setEnabled(true);
}

void TSetFixedDlg::RemoveClick() {
    std::vector<int> rows;
    for (const QListWidgetItem* item : ExclusionListBox->selectedItems())
        rows.push_back(ExclusionListBox->row(item));
    editor_.Remove(rows);
    std::sort(rows.begin(), rows.end());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        delete ExclusionListBox->takeItem(*it);
    if (ExclusionListBox->count() == 0)
        RemoveBtn->setEnabled(false);
}

void TSetFixedDlg::AliasesOrFoldersClick() {
    if (AliasesOrFolders->text() == Caption(Msg::SHOW_TRAINSET_FOLDERS_TAG))
        ShowTrainsetFolders();
    else
        ShowSuggestedAliases();
}

void TSetFixedDlg::OKClick() {
    editor_.Save();
    done(ID_OK);
}

void TSetFixedDlg::done(int result) {
    // Closing either way lets go of the list; the next showing reads the registry again.
    editor_.Clear();
    ExclusionListBox->clear();
    QDialog::done(result);
}

void TSetFixedDlg::reject() {
    done(ID_CANCEL);
}

void TSetFixedDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        ShowTrainsetFolders();
        editor_.Load();
        ExclusionListBox->clear();
        for (const auto& entry : editor_.Entries())
            AppendLine(*entry);
        RemoveBtn->setEnabled(!ExclusionListBox->selectedItems().isEmpty());
        CentreControl(this, parentWidget());
    }
    QDialog::showEvent(event);
}

} // namespace qv
