#include "core/forms/folderselectdlg.h"

#include "core/appstate.h"
#include "core/forms/controls.h"
#include "platform/drivemap.h"
#include "platform/ui.h"

#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/forms/foldertree.h"

namespace qv {

using namespace foldertree;

namespace {

const char* const kDesignCaption = QT_TRANSLATE_NOOP("qv::TFolderSelectDlg", "Select Folder");

// The width at which the window manager shows the whole title: the title in the bold face most
// title bars use, and room for the bar's icon and buttons; never wider than the screen.
int WidthForTitle(const QWidget& dialog, int designWidth) {
    QFont bold = dialog.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    int width = metrics.horizontalAdvance(dialog.windowTitle()) + 8 * metrics.height();
    if (const QScreen* screen = dialog.screen())
        width = std::min(width, screen->availableGeometry().width());
    return std::max(designWidth, width);
}
} // namespace

TFolderSelectDlg::TFolderSelectDlg(const QString& initialFolder, const QString& prompt,
                                   const QString& captionSuffix, QWidget* owner)
    : QDialog(owner) {
    setObjectName(QStringLiteral("FolderSelectDlg"));
    QString caption = App().ProgramTitle + QStringLiteral(" - ") + tr(kDesignCaption);
    if (!captionSuffix.isEmpty())
        caption += QLatin1Char(' ') + captionSuffix;
    setWindowTitle(caption);

    SrcLabel = new QLabel(this);
    SrcLabel->setObjectName(QStringLiteral("SrcLabel"));
    SrcLabel->setWordWrap(true);
    if (!prompt.isEmpty())
        SrcLabel->setText(prompt);
    DriveComboBox = new QComboBox(this);
    DriveComboBox->setObjectName(QStringLiteral("DriveComboBox"));
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

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SrcLabel);
    layout->addWidget(DriveComboBox);
    layout->addWidget(DirectoryListBox, 1);
    layout->addWidget(SelectedPath);
    layout->addLayout(buttons);
    resize(WidthForTitle(*this, 360), 400);

    const QMap<QChar, QString>& drives = TheDriveMap().Drives();
    for (auto it = drives.begin(); it != drives.end(); ++it)
        DriveComboBox->addItem(QString(it.key()) + QLatin1Char(':'), QString(it.key()));

    connect(DriveComboBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { ShowDrive(index); });
    connect(DirectoryListBox, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { FillBranch(item); });
    connect(DirectoryListBox, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem*, QTreeWidgetItem*) { SelectedPath->setText(Folder()); });
    connect(SelectedPath, &QLineEdit::editingFinished, this, [this] { SelectedPathExit(); });
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(ID_CANCEL); });

    ShowDrive(DriveComboBox->currentIndex());
    GoToFolder(initialFolder);
}

TFolderSelectDlg::~TFolderSelectDlg() {
    // The path field ends its edit when the window goes (the focus leaves it), and the tree and
    // the drive list change as their items go; what is left of the dialog then must not act.
    for (QObject* control : std::initializer_list<QObject*>{DriveComboBox, DirectoryListBox,
                                                            SelectedPath, OKBtn, CancelBtn})
        disconnect(control, nullptr, this, nullptr);
}

QString TFolderSelectDlg::Folder() const {
    const QTreeWidgetItem* item = DirectoryListBox->currentItem();
    return item ? item->data(0, kWindowsRole).toString() : QString();
}

void TFolderSelectDlg::GoToFolder(const QString& windowsPath) {
    QChar drive;
    QStringList components;
    if (!SplitWindowsPath(windowsPath, &drive, &components))
        return;
    const int index = DriveComboBox->findData(QString(drive));
    if (index < 0)
        return;
    if (index == DriveComboBox->currentIndex())
        ShowDrive(index); // back to the drive's root
    else
        DriveComboBox->setCurrentIndex(index);
    QTreeWidgetItem* item = DirectoryListBox->topLevelItem(0);
    for (const QString& component : components) {
        FillBranch(item);
        QTreeWidgetItem* child = item ? ChildNamed(item, component) : nullptr;
        if (!child)
            break;
        item->setExpanded(true);
        item = child;
    }
    DirectoryListBox->setCurrentItem(item);
}

// A folder typed in the field: the tree goes as far along it as the folders exist; a folder that
// does not exist stays in the field as typed (in Windows form).
void TFolderSelectDlg::SelectedPathExit() {
    const QString typed = SelectedPath->text().trimmed();
    if (typed.isEmpty() || typed.compare(Folder(), Qt::CaseInsensitive) == 0)
        return;
    const QString windowsPath = ToWindowsForm(typed);
    GoToFolder(windowsPath);
    if (windowsPath.compare(Folder(), Qt::CaseInsensitive) != 0)
        SelectedPath->setText(windowsPath);
}

// Only a folder that exists is chosen; a typed one that does not keeps the dialog open.
void TFolderSelectDlg::OKClick() {
    SelectedPathExit();
    if (SelectedPath->text().compare(Folder(), Qt::CaseInsensitive) != 0) {
        SelectedPath->setFocus();
        SelectedPath->selectAll();
        return;
    }
    done(ID_OK);
}

void TFolderSelectDlg::ShowDrive(int comboIndex) {
    DirectoryListBox->clear();
    if (comboIndex < 0)
        return;
    const QChar drive = DriveComboBox->itemData(comboIndex).toString().at(0);
    QTreeWidgetItem* root = MakeItem(JoinWindowsPath(drive, {}), TheDriveMap().HostRoot(drive),
                                     JoinWindowsPath(drive, {}));
    DirectoryListBox->addTopLevelItem(root);
    root->setExpanded(true);
    DirectoryListBox->setCurrentItem(root);
}

void TFolderSelectDlg::FillBranch(QTreeWidgetItem* item) {
    foldertree::FillBranch(item);
}

void TFolderSelectDlg::reject() {
    done(ID_CANCEL);
}

void TFolderSelectDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        // Over the main window; over the owner while the main window is not on the screen (the
        // start-up asks for folders before it is).
        const QWidget* mainWindow = MainWindowWidget();
        CentreControl(this, OnScreen(mainWindow) ? mainWindow : parentWidget());
    }
    QDialog::showEvent(event);
}

} // namespace qv
