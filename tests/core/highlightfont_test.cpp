#include "core/highlightfont.h"

#include "core/appstate.h"
#include "core/forms/fontrecord.h"
#include "core/regsettings.h"
#include "fixtures/registrysandbox.h"
#include "platform/fakeui.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

class HighlightFontTest : public ::testing::Test {
protected:
    HighlightFontTest() {
        ResetAppState();
        SetUi(&ui);
    }
    ~HighlightFontTest() override {
        SetUi(nullptr);
        ResetAppState();
    }
    void WriteData(const QByteArray& data) {
        RegistryKey key;
        ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, HighlightFontKey(kHighlightFontName), true));
        ASSERT_TRUE(key.WriteBinary("Data", data));
    }

    RegistrySandbox registry;
    FakeUi ui;
};

TEST_F(HighlightFontTest, TheRecordRoundTripsThroughItsSixtyBytes) {
    LogFontRecord record;
    record.Height = -16;
    record.Weight = 700;
    record.Italic = 1;
    record.Underline = 1;
    record.FaceName = QString::fromUtf8("Sans Sérif");
    const QByteArray bytes = record.Encode();
    ASSERT_EQ(bytes.size(), 60);
    EXPECT_EQ(bytes.mid(0, 4), QByteArray("\xF0\xFF\xFF\xFF", 4));
    LogFontRecord back;
    ASSERT_TRUE(back.Decode(bytes));
    EXPECT_EQ(back.Height, -16);
    EXPECT_EQ(back.Weight, 700);
    EXPECT_EQ(back.Italic, 1);
    EXPECT_EQ(back.Underline, 1);
    EXPECT_EQ(back.FaceName, record.FaceName);

    const QFont font = FontFromLogFont(back);
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 12.0);
    EXPECT_TRUE(font.italic());
    EXPECT_EQ(font.weight(), QFont::Bold);
    const LogFontRecord again = LogFontFromFont(font);
    EXPECT_EQ(again.Height, -16);
    EXPECT_EQ(again.Weight, 700);
    EXPECT_EQ(ColorRefFromColour(ColourFromColorRef(0x00336699)), 0x00336699u);
    EXPECT_EQ(ColourFromColorRef(0x000000FF), QColor(255, 0, 0));
}

TEST_F(HighlightFontTest, MissingOrWrongSizedDataGivesTheItalicDefault) {
    EXPECT_FALSE(ReadHighlightFont(HKEY_LOCAL_MACHINE, kHighlightFontName).HasData);
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, HighlightFontKey(kHighlightFontName)));
    WriteData(QByteArray(12, '\x7F'));
    const HighlightFont font = ReadHighlightFont(HKEY_LOCAL_MACHINE, kHighlightFontName);
    EXPECT_FALSE(font.HasData);
    QFont base("Sans", 10);
    EXPECT_TRUE(HighlightQFont(font, base).italic());
    EXPECT_EQ(HighlightQFont(font, base).family(), base.family());
}

TEST_F(HighlightFontTest, ChoosingStoresTheRecordAndColourOnlyOnOk) {
    LogFontRecord chosen;
    chosen.Height = -13;
    chosen.FaceName = "Mono";
    ui.ExpectChooseFont(ID_CANCEL);
    EXPECT_EQ(ChooseHighlightFont(HKEY_LOCAL_MACHINE, kHighlightFontName), 0);
    EXPECT_FALSE(ReadHighlightFont(HKEY_LOCAL_MACHINE, kHighlightFontName).HasData);

    ui.ExpectChooseFont(ID_OK, chosen.Encode(), 0x0000FF00);
    EXPECT_EQ(ChooseHighlightFont(HKEY_LOCAL_MACHINE, kHighlightFontName), 1);
    const HighlightFont stored = ReadHighlightFont(HKEY_LOCAL_MACHINE, kHighlightFontName);
    ASSERT_TRUE(stored.HasData);
    EXPECT_EQ(stored.Font.FaceName, "Mono");
    EXPECT_EQ(stored.Colour, 0x0000FF00u);

    // The dialog starts with what is stored: none the first time, the record the next.
    ui.ExpectChooseFont(ID_CANCEL);
    ChooseHighlightFont(HKEY_LOCAL_MACHINE, kHighlightFontName);
    ASSERT_EQ(ui.FontDialogs().size(), 3u);
    EXPECT_TRUE(ui.FontDialogs()[0].isEmpty());
    EXPECT_EQ(ui.FontDialogs()[2], chosen.Encode());
}

} // namespace
