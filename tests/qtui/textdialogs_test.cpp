// The dialogs of the text commands, answered as a user answers them.

#include "qtui/textdialogs.h"

#include "core/forms/fontrecord.h"
#include "platform/ui.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QTimer>
#include <gtest/gtest.h>

using namespace qv;

namespace {

TEST(HighlightFontDialogTest, CancellingTheColourKeepsTheFontJustChosen) {
    struct Case {
        bool colourAccepted;
        quint32 colour;
    };
    for (const Case c : {Case{true, 0x0000FF00}, Case{false, 0x000000FF}}) {
        SCOPED_TRACE(c.colourAccepted);
        QFont wanted(QStringLiteral("DejaVu Sans Mono"), 15);
        wanted.setBold(true);
        // Each dialog is answered once it is up: the font with OK, the colour as the case says.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* font = qobject_cast<QFontDialog*>(modal)) {
                font->setCurrentFont(wanted);
                font->accept();
            } else if (auto* colour = qobject_cast<QColorDialog*>(modal)) {
                colour->setCurrentColor(Qt::green);
                c.colourAccepted ? colour->accept() : colour->reject();
            }
        });
        answer.start(10);
        QByteArray record;
        quint32 colour = 0x000000FF;
        EXPECT_EQ(ShowFontDialog(nullptr, &record, &colour), ID_OK);
        LogFontRecord chosen;
        ASSERT_TRUE(chosen.Decode(record));
        EXPECT_EQ(chosen.Weight, 700);
        EXPECT_EQ(chosen.Height, -20);
        EXPECT_EQ(colour, c.colour);
    }
}

} // namespace
