#include "platform/clock.h"
#include "platform/fakeui.h"
#include "platform/terminate.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(FakeUi, AnswersExpectedPromptsInOrderAndRecordsEveryBox) {
    FakeUi ui;
    ui.Expect("first", ID_NO);
    EXPECT_EQ(TheUi().MessageBox("the first question", "Quarvel", MB_YESNO | MB_ICONQUESTION),
              ID_NO);
    EXPECT_EQ(TheUi().MessageBox("unexpected", "Quarvel", MB_YESNOCANCEL), ID_YES);
    EXPECT_EQ(TheUi().MessageBox("plain", "Quarvel", MB_ICONSTOP), ID_OK);
    ASSERT_EQ(ui.Shown().size(), 3u);
    EXPECT_EQ(ui.Shown()[0].style, MB_YESNO | MB_ICONQUESTION);
    EXPECT_TRUE(ui.Mismatches().isEmpty());
}

TEST(FakeUi, ReportsAPromptThatDiffersFromTheScript) {
    FakeUi ui;
    ui.Expect("delete", ID_YES);
    TheUi().MessageBox("keep the file?", "Quarvel", MB_YESNO);
    EXPECT_EQ(ui.Mismatches().size(), 1);
}

TEST(FakeUi, RestoresThePreviousUiWhenDestroyed) {
    Ui* before = &TheUi();
    {
        FakeUi ui;
        EXPECT_EQ(&TheUi(), &ui);
    }
    EXPECT_EQ(&TheUi(), before);
}

TEST(FakeClock, SleepingAdvancesTimeWithoutWaiting) {
    FakeClock clock;
    const QDateTime start = TheClock().Now();
    TheClock().SleepMs(10000);
    EXPECT_EQ(start.msecsTo(TheClock().Now()), 10000);
    EXPECT_EQ(clock.Sleeps(), 1);
}

TEST(TerminateProgram, GoesThroughTheInstalledHook) {
    int seen = -1;
    TerminateHook previous = SetTerminateHook([&](int status) { seen = status; });
    TerminateProgram(1);
    SetTerminateHook(previous);
    EXPECT_EQ(seen, 1);
}
