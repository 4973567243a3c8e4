// The viewer's key help follows a switch of language while it is open.
#include "core/appstate.h"
#include "fixtures/formtexts.h"
#include "fixtures/markingtranslator.h"
#include "viewer/forms/hintwindow.h"

#include <QCoreApplication>
#include <QLabel>
#include <gtest/gtest.h>
#include <optional>

namespace qv {
namespace {

TEST(ViewerHelp, AnOpenHelpWindowShowsItsTextInTheNewLanguageAtASwitch) {
    ResetAppState();
    ToggleViewerHelp(600);
    TMyHintWindow* help = ViewerHelpWindow();
    ASSERT_TRUE(help);
    const auto* text = help->findChild<QLabel*>(QStringLiteral("HintTxt"));
    ASSERT_TRUE(text);
    EXPECT_TRUE(test::UnmarkedText(text->text())); // English, before the switch

    std::optional<test::MarkingTranslator> switched;
    switched.emplace();
    QCoreApplication::processEvents();
    EXPECT_FALSE(test::UnmarkedText(text->text())) << text->text().toStdString();
    EXPECT_LE(help->width(), 600);
    EXPECT_GE(help->height(), text->sizeHint().height());

    ToggleViewerHelp(600); // closes it
    switched.reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(ViewerHelpWindow());
    ResetAppState();
}

} // namespace
} // namespace qv
