// The message box as the user reads it: a path is kept on one line wherever it fits.

#include "qtui/qtui.h"

#include "platform/ui.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTextLayout>
#include <QTimer>
#include <gtest/gtest.h>

using namespace qv;

namespace {

// The lines, as the box's label lays its text out, of the start of `first` and the end of
// `last`; -1 when either is not there.
std::pair<int, int> LinesOf(const QLabel& label, const QString& first, const QString& last) {
    const QString text = label.text();
    const qsizetype start = text.indexOf(first);
    const qsizetype end = text.indexOf(last);
    if (start < 0 || end < 0)
        return {-1, -1};
    QTextLayout layout(text, label.font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(label.contentsRect().width());
    layout.endLayout();
    return {layout.lineForTextPosition(int(start)).lineNumber(),
            layout.lineForTextPosition(int(end + last.size() - 1)).lineNumber()};
}

// Whatever the words before it, a path that fits on a line is never broken (as after "'Z:").
TEST(MessageBoxTest, APathThatFitsOnALineIsKeptWhole) {
    QtUi ui;
    for (int words = 0; words < 40; ++words) {
        SCOPED_TRACE(words);
        const QString text = QString("a ").repeated(words) +
                             "The file was not found.\rFile: 'Z:\\tmp\\quarvelbuildtree\\Program "
                             "Files\\app\\quarvel.PDF' and more words after it";
        std::pair<int, int> lines{-1, -1};
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (const auto* label = box->findChild<QLabel*>("qt_msgbox_label"))
                lines = LinesOf(*label, "Z:", "quarvel.PDF");
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : box,
                                    &enter);
        });
        EXPECT_EQ(ui.MessageBox(text, "Quarvel", MB_ICONEXCLAMATION), ID_OK);
        ASSERT_GE(lines.first, 0);
        EXPECT_EQ(lines.first, lines.second);
    }
}

} // namespace
