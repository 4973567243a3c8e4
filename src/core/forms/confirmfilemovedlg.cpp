#include "core/forms/confirmfilemovedlg.h"

#include "core/filefind.h"
#include "core/filemove.h"
#include "core/forms/controls.h"
#include "core/generaldefs.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <algorithm>

namespace qv {

namespace {

const char* const kDesignCaption =
    QT_TRANSLATE_NOOP("qv::TConfirmFileMoveDlg", "Confirm Duplicate File Action");
constexpr int kFirstTextHeight = 31;
// The dialog grows for this many lines of its first text at most; a longer text scrolls.
constexpr int kFirstTextLines = 6;

QLabel* MakeLabel(QWidget* parent, const char* name, int left, int top, int width, int height,
                  bool wrap = false) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(wrap);
    label->setGeometry(left, top, width, std::max(height, label->fontMetrics().height()));
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, int left) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, 208, 75, 25);
    button->setAutoDefault(false); // only the proposed answer is the default
    return button;
}

// The first text gets the height of its lines (kFirstTextLines at most), and a name wider than
// the dialog a scroll bar; what lies below it moves down, and the dialog grows, as much.
void FitFirstText(QDialog& dialog, QScrollArea& area, const QLabel& text) {
    const int width = area.width();
    const int textWidth = std::max(width, text.minimumSizeHint().width());
    const int bar = textWidth > width ? area.horizontalScrollBar()->sizeHint().height() : 0;
    const int lines = kFirstTextLines * text.fontMetrics().lineSpacing();
    const int height =
        std::max(kFirstTextHeight, std::min(text.heightForWidth(textWidth), lines) + bar);
    const int grown = height - area.height();
    if (grown == 0)
        return;
    const int below = area.geometry().bottom();
    for (QWidget* control : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control == &area)
            continue;
        if (control->y() > below)
            control->move(control->x(), control->y() + grown);
        else if (control->geometry().bottom() > below) // the bevel round it all
            control->resize(control->width(), control->height() + grown);
    }
    area.resize(width, height);
    dialog.setFixedSize(dialog.width(), dialog.height() + grown);
}

QDateTime FileTime(const QString& path) {
    return UnpackDosDateTime(FileAge(path));
}

QString DateText(const QDateTime& time) {
    return time.isValid() ? QLocale().toString(time, QStringLiteral("dd/MMM/yyyy HH:mm:ss"))
                          : QString();
}

} // namespace

TConfirmFileMoveDlg::TConfirmFileMoveDlg(QWidget* owner, bool contentsDiffer)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      contentsDiffer_(contentsDiffer) {
    setObjectName(QStringLiteral("ConfirmFileMoveDlg"));
    setWindowTitle(tr(kDesignCaption));
    setFixedSize(417, 240);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::Box);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(8, 8, 401, 193);

    // The first text names the existing file, however long its name: it wraps, and scrolls when
    // it needs more room than the dialog gives it (FitFirstText).
    auto* firstText = new QScrollArea(this);
    firstText->setObjectName(QStringLiteral("FirstTextArea"));
    firstText->setFrameShape(QFrame::NoFrame);
    firstText->setGeometry(16, 16, 385, kFirstTextHeight);
    firstText->setWidgetResizable(true);
    firstText->viewport()->setAutoFillBackground(false);
    Label1 = MakeLabel(firstText, "Label1", 0, 0, 385, kFirstTextHeight, true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    firstText->setWidget(Label1);
    Label2 = MakeLabel(this, "Label2", 16, 53, 385, 13, true);
    Label3A = MakeLabel(this, "Label3A", 96, 78, 305, 13);
    Label4A = MakeLabel(this, "Label4A", 96, 94, 305, 13);
    Label5 = MakeLabel(this, "Label5", 16, 125, 385, 13);
    Label3B = MakeLabel(this, "Label3B", 96, 149, 305, 13);
    Label4B = MakeLabel(this, "Label4B", 96, 165, 305, 13);
    Label6 = MakeLabel(this, "Label6", 96, 182, 305, 13);

    // Created in tab order.
    ReplaceBtn = MakeButton(this, "ReplaceBtn", tr("&Replace"), 10);
    ReplaceAllBtn = MakeButton(this, "ReplaceAllBtn", tr("Replace &All"), 91);
    KeepBtn = MakeButton(this, "KeepBtn", tr("&Keep"), 171);
    KeepAllBtn = MakeButton(this, "KeepAllBtn", tr("Kee&p All"), 252);
    CancelBtn = MakeButton(this, "CancelBtn", tr("&Cancel"), 332);
    CancelBtn->setVisible(false); // Escape still answers Cancel

    connect(ReplaceBtn, &QPushButton::clicked, this, [this] { done(ID_YES); });
    connect(ReplaceAllBtn, &QPushButton::clicked, this, [this] { ReplaceAllBtnClick(); });
    connect(KeepBtn, &QPushButton::clicked, this, [this] { done(ID_NO); });
    connect(KeepAllBtn, &QPushButton::clicked, this, [this] { KeepAllBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(ID_CANCEL); });
}

void TConfirmFileMoveDlg::FormShow() {
    setWindowTitle(App().ProgramTitle + QStringLiteral(" - ") + tr(kDesignCaption));
    const QString incoming = PathSet().DuplicateSourceFile;
    const QString existing = PathSet().DuplicateTargetFile;
    const QDateTime incomingTime = FileTime(incoming);
    const QDateTime existingTime = FileTime(existing);

    Label1->setText(Caption(Msg::CONFIRM_FILE_MOVE1A) + existing +
                    Caption(Msg::CONFIRM_FILE_MOVE1C));
    if (auto* area = findChild<QScrollArea*>(QStringLiteral("FirstTextArea")))
        FitFirstText(*this, *area, *Label1);
    const bool incomingNewer = incomingTime > existingTime;
    Label2->setText(Caption(incomingNewer ? Msg::CONFIRM_FILE_MOVE2A : Msg::CONFIRM_FILE_MOVE2B));
    Label5->setText(Caption(incomingNewer ? Msg::CONFIRM_FILE_MOVE5A : Msg::CONFIRM_FILE_MOVE5B));
    QPushButton* proposed = incomingNewer ? ReplaceBtn : KeepBtn;
    (incomingNewer ? KeepBtn : ReplaceBtn)->setDefault(false);
    proposed->setDefault(true);
    proposed->setFocus();

    const QString size = Caption(Msg::CONFIRM_FILE_MOVE3) + QLatin1Char(' ');
    const QString modified = Caption(Msg::CONFIRM_FILE_MOVE4) + QLatin1Char(' ');
    Label3A->setText(size + SizeText(FileSizeOf(existing)));
    Label4A->setText(modified + DateText(existingTime));
    Label3B->setText(size + SizeText(FileSizeOf(incoming)));
    Label4B->setText(modified + DateText(incomingTime));
    Label6->setText(contentsDiffer_ ? QString() : Caption(Msg::CONFIRM_FILE_MOVE6));

    // Over the main window, whichever window was active when the move met the duplicate; over
    // its owner while the main window is not on the screen.
    const QWidget* mainWindow = MainWindowWidget();
    CentreControl(this, OnScreen(mainWindow) ? mainWindow : parentWidget());
}

void TConfirmFileMoveDlg::ReplaceAllBtnClick() {
    PathSet().DuplicateAnswer = 1;
    done(ID_YES);
}

void TConfirmFileMoveDlg::KeepAllBtnClick() {
    PathSet().DuplicateAnswer = 2;
    done(ID_NO);
}

void TConfirmFileMoveDlg::reject() {
    done(ID_CANCEL);
}

void TConfirmFileMoveDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

} // namespace qv
