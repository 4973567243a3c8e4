#include "engine/forms/pathselectdlg.h"

#include "core/appstate.h"
#include "core/forms/controls.h"
#include "engine/storefolder.h"
#include "platform/drivemap.h"
#include "platform/ui.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/forms/foldertree.h"

namespace qv {

using namespace foldertree;

namespace {

const char* const kDesignCaption = QT_TRANSLATE_NOOP("qv::TPathSelectDlg", "Storage Path Setup");
} // namespace

TPathSelectDlg::TPathSelectDlg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("PathSelectDlg"));
    setWindowTitle(App().ProgramTitle + QStringLiteral(" - ") + tr(kDesignCaption));

    SrcLabel = new QLabel(this);
    SrcLabel->setObjectName(QStringLiteral("SrcLabel"));
    SrcLabel->setWordWrap(true);
    DirectoryListBox = new QTreeWidget(this);
    DirectoryListBox->setObjectName(QStringLiteral("DirectoryListBox"));
    DirectoryListBox->setHeaderHidden(true);
    SelectedPath = new QLineEdit(this);
    SelectedPath->setObjectName(QStringLiteral("SelectedPath"));
    OKBtn = new QPushButton(tr("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(tr("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SrcLabel);
    layout->addWidget(DirectoryListBox, 1);
    layout->addWidget(SelectedPath);
    layout->addLayout(buttons);
    resize(420, 420);

    connect(DirectoryListBox, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { FillBranch(item); });
    connect(DirectoryListBox, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) {
                if (current)
                    SelectedPath->setText(Folder());
            });
    connect(SelectedPath, &QLineEdit::editingFinished, this, [this] { SelectedPathExit(); });
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(ID_CANCEL); });

    StorePathDialogStart start;
    ready_ = PrepareStorePathDialog(&start);
    if (!ready_)
        return;
    SrcLabel->setText(start.label);
    GoToFolder(start.folder);
    SelectedPath->setText(start.selected);
}

TPathSelectDlg::~TPathSelectDlg() {
    // The path field ends its edit when the window goes (the focus leaves it), and the tree
    // changes as its items go; what is left of the dialog then must not act.
    for (QObject* control :
         std::initializer_list<QObject*>{DirectoryListBox, SelectedPath, OKBtn, CancelBtn})
        disconnect(control, nullptr, this, nullptr);
}

QString TPathSelectDlg::Folder() const {
    const QTreeWidgetItem* item = DirectoryListBox->currentItem();
    return item ? item->data(0, kWindowsRole).toString() : QString();
}

void TPathSelectDlg::GoToFolder(const QString& windowsPath) {
    QChar drive;
    QStringList components;
    if (!SplitWindowsPath(windowsPath, &drive, &components))
        return;
    DirectoryListBox->clear();
    const QString root = JoinWindowsPath(drive, {});
    QTreeWidgetItem* item = MakeItem(root, TheDriveMap().HostRoot(drive), root);
    DirectoryListBox->addTopLevelItem(item);
    for (const QString& component : components) {
        FillBranch(item);
        QTreeWidgetItem* child = ChildNamed(item, component);
        if (!child)
            break;
        item->setExpanded(true);
        item = child;
    }
    item->setExpanded(true);
    DirectoryListBox->setCurrentItem(item);
}

void TPathSelectDlg::FillBranch(QTreeWidgetItem* item) {
    foldertree::FillBranch(item);
}

// What was typed becomes a full path: a Windows path with "." and ".." applied, or a host or
// relative path through the drive map.
void TPathSelectDlg::SelectedPathExit() {
    const QString typed = SelectedPath->text();
    if (!typed.isEmpty())
        SelectedPath->setText(ToWindowsForm(typed));
}

void TPathSelectDlg::OKClick() {
    SelectedPathExit();
    const QString newPath = SelectedPath->text();
    const StorePathAction action = CheckNewStorePath(newPath);
    if (action == StorePathAction::Refused)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool registered = ApplyNewStorePath(newPath, action);
    QApplication::restoreOverrideCursor();
    if (registered)
        done(ID_OK);
}

void TPathSelectDlg::reject() {
    done(ID_CANCEL);
}

void TPathSelectDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        CentreControl(this, parentWidget());
    QDialog::showEvent(event);
}

} // namespace qv
