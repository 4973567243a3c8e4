// The message box as the user reads it: a path is kept on one line wherever it fits.
#include "platform/ui.h"
#include "qtui/qtui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTextLayout>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Whatever the words before it, a path that fits on a line is never broken (as after "'Z:").
TEST(MessageBoxTest, APathThatFitsOnALineIsKeptWhole) {
    qv::QtUi ui;
    for (int words = 0; words < 40; ++words) {
        const QString text =
            QString("a ").repeated(words) +
            "Not found.\rFile: 'Z:\\tmp\\buildtree\\Program Files\\quarvel.PDF' end";
        int first = -1, last = -2; // the lines of the path's ends, as the box lays its text out
        QTimer::singleShot(0, [&] {
            auto* box = static_cast<QMessageBox*>(QApplication::activeModalWidget());
            const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
            QTextLayout layout(label->text(), label->font());
            layout.setTextOption(QTextOption(Qt::AlignLeft));
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
                line.setLineWidth(label->contentsRect().width());
            layout.endLayout();
            first = layout.lineForTextPosition(int(label->text().indexOf("Z:"))).lineNumber();
            last = layout.lineForTextPosition(int(label->text().indexOf(".PDF"))).lineNumber();
            box->button(QMessageBox::Ok)->click();
        });
        EXPECT_EQ(ui.MessageBox(text, "Quarvel", qv::MB_ICONEXCLAMATION), qv::ID_OK);
        EXPECT_EQ(first, last) << words;
    }
}

} // namespace
