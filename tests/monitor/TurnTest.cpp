// The window as created, the turns of the poll loop and the start-up that precedes them.
#include <gtest/gtest.h>

#include "tests/monitor/Fakes.h"

namespace {

using fakes::Harness;
using fakes::Reading;

constexpr platform::Colour kRed = 0x000000FF;
constexpr platform::Colour kMagenta = 0x00FF00FF;
constexpr platform::Colour kBlue = 0x00FF0000;

void ExpectRect(const platform::TwipsRect& rect, int left, int top, int width, int height) {
    EXPECT_EQ(rect.Left, left);
    EXPECT_EQ(rect.Top, top);
    EXPECT_EQ(rect.Width, width);
    EXPECT_EQ(rect.Height, height);
}

void ExpectFont(const platform::FontSpec& font, const char* name, double size, int weight) {
    EXPECT_EQ(font.Name, name);
    EXPECT_DOUBLE_EQ(font.Size, size);
    EXPECT_EQ(font.Weight, weight);
    EXPECT_EQ(font.Charset, platform::kCharsetCyrillic);
    EXPECT_EQ(platform::kCharsetCyrillic, 204);
}

TEST(Creation, TheWindowOpensHiddenAtTheDesignPlaceShowingFullChargeOnMains) {
    Harness harness;
    const platform::WindowDesign& design = harness.Window->Design;
    EXPECT_EQ(design.Title, "Ostravel");
    ExpectRect(design.Placement, 0, 0, 1680, 630);
    EXPECT_EQ(design.Icons, (std::vector<const platform::Image*>{&harness.Icon32, &harness.Icon16}));
    EXPECT_EQ(design.Keys, (std::vector<int>{platform::kVirtualKeyAlt, platform::kVirtualKeyF4, platform::kVirtualKeyT}));
    EXPECT_TRUE(harness.Window->Calls.empty()) << "not shown, not pinned, not placed yet";

    const NevlinControls& c = harness.Form->Controls();
    ExpectRect(c.Shape1.Rect, 0, 0, 1680, 625);
    EXPECT_EQ(c.Shape1.FillColor, 0x00E0E0E0u);
    EXPECT_EQ(c.Shape1.BorderColor, 0x00C00000u);
    EXPECT_EQ(c.Shape1.BorderWidth, 3);

    ExpectRect(c.Label1.Rect, 110, 40, 555, 300);
    EXPECT_EQ(c.Label1.Caption, "100");
    EXPECT_EQ(c.Label1.ForeColor, kBlue);
    ExpectFont(c.Label1.Font, "Arial", 15.75, 700);
    EXPECT_EQ(c.Label1.Alignment, platform::TextAlign::Right);

    ExpectRect(c.Label2.Rect, 720, 40, 280, 300);
    EXPECT_EQ(c.Label2.Caption, "%");
    EXPECT_EQ(c.Label2.ForeColor, kBlue);
    ExpectFont(c.Label2.Font, "Arial", 15.75, 400);
    EXPECT_EQ(c.Label2.Alignment, platform::TextAlign::Right);

    ExpectRect(c.Label3.Rect, 90, 360, 1020, 195);
    EXPECT_EQ(c.Label3.Caption, "От батареи");
    EXPECT_EQ(c.Label3.ForeColor, 0x00000080u);
    ExpectFont(c.Label3.Font, "Verdana", 8.25, 400);
    EXPECT_EQ(c.Label3.Alignment, platform::TextAlign::Center);

    const platform::Image* sources[] = {&harness.Charging, &harness.Mains, &harness.Battery};
    for (int i = 0; i < 3; ++i) {
        ExpectRect(c.Image1[i].Rect, 1120, 70, 480, 480);
        EXPECT_EQ(c.Image1[i].Source, sources[i]);
    }
    EXPECT_EQ(harness.VisiblePictures(), "010");

    // Drawn panel first, then the labels, then the pictures.
    const platform::Surface& surface = *design.Contents;
    EXPECT_EQ(surface.Panel, &c.Shape1);
    EXPECT_EQ(surface.Labels, (std::vector<const platform::Label*>{&c.Label1, &c.Label2, &c.Label3}));
    EXPECT_EQ(surface.Pictures,
              (std::vector<const platform::Picture*>{&c.Image1[0], &c.Image1[1], &c.Image1[2]}));
    EXPECT_FALSE(harness.Form->OnTop());
}

TEST(Turn, ShowsThePercentInTheColourOfItsBandOnBothLabels) {
    const struct {
        int percent;
        platform::Colour colour;
    } bands[] = {{0, kRed}, {39, kRed}, {40, kMagenta}, {64, kMagenta}, {65, kBlue}, {66, kBlue}, {100, kBlue}, {255, kBlue}};
    Harness harness;
    for (const auto& band : bands) {
        SCOPED_TRACE(band.percent);
        harness.Power = Reading(1, 1, static_cast<std::uint8_t>(band.percent));
        EXPECT_FALSE(harness.Form->Turn().ProgramEnded);
        EXPECT_EQ(harness.Form->Controls().Label1.Caption, std::to_string(band.percent));
        EXPECT_EQ(harness.Form->Controls().Label1.ForeColor, band.colour);
        EXPECT_EQ(harness.Form->Controls().Label2.ForeColor, band.colour);
        EXPECT_EQ(harness.Form->Controls().Label2.Caption, "%");
    }
}

TEST(Turn, PutsTheStateTextOfTheReadingInLabel3AndProcessesEventsOnce) {
    Harness harness;
    harness.Power = Reading(0, 1, 57, 7380);
    harness.Form->Turn();
    EXPECT_EQ(harness.Form->Controls().Label3.Caption, "2 ч. 03 м.");
    EXPECT_EQ(harness.VisiblePictures(), "001");
    EXPECT_EQ(harness.Form->PowerStatus().BatteryLifeTime, 7380);
    EXPECT_EQ(std::count(harness.Window->Calls.begin(), harness.Window->Calls.end(), "DoEvents"), 1);
    EXPECT_TRUE(harness.Sleeps.empty());
}

// The failure travels to main, which prints it and ends with status 1.
std::string FailedTurnMessage(Harness& harness) {
    try {
        harness.Form->Turn();
    } catch (const platform::Error& failure) {
        return failure.what();
    }
    ADD_FAILURE() << "the turn went on without a power status";
    return {};
}

TEST(Turn, AFailedPowerQueryEndsTheProgramWithNothingDrawnOrSaved) {
    Harness harness;
    harness.PowerFails = true;
    harness.PowerFailure = "Permission denied";
    EXPECT_EQ(FailedTurnMessage(harness), "cannot read the power status: Permission denied");
    EXPECT_TRUE(harness.Settings->Values.empty());
    EXPECT_TRUE(harness.Window->Calls.empty()) << "no drawing and no event pass after the failure";
    EXPECT_EQ(harness.Form->Controls().Label1.Caption, "100");
    EXPECT_EQ(harness.Warnings, "");
}

TEST(Turn, AFailedPowerQueryWithoutAReasonSaysThereWasNone) {
    Harness harness;
    harness.PowerFails = true;
    EXPECT_EQ(FailedTurnMessage(harness), "cannot read the power status: the system gave no reason");
}

TEST(Turn, InvalidatesTheWindowBeforeItsEventPassOnlyWhenSomethingShownChanged) {
    Harness harness;
    auto invalidatedThisTurn = [&] {
        harness.Window->Calls.clear();
        harness.Form->Turn();
        const std::vector<std::string>& calls = harness.Window->Calls;
        if (calls == std::vector<std::string>{"Invalidate", "DoEvents"}) return true;
        EXPECT_EQ(calls, std::vector<std::string>{"DoEvents"});
        return false;
    };
    harness.Power = Reading(1, 1, 80);
    EXPECT_TRUE(invalidatedThisTurn());
    EXPECT_FALSE(invalidatedThisTurn()) << "same reading";
    harness.Power = Reading(1, 1, 81);
    EXPECT_TRUE(invalidatedThisTurn()) << "digits, same colour";
    harness.Power = Reading(1, 1, 81, 5000);
    EXPECT_FALSE(invalidatedThisTurn()) << "a time left is not shown on mains";
    harness.Power = Reading(1, 9, 81, 5000);
    EXPECT_TRUE(invalidatedThisTurn()) << "picture and text";
    harness.Power = Reading(1, 10, 81, 5000);
    EXPECT_FALSE(invalidatedThisTurn()) << "another charging flag";
    harness.Power = Reading(1, 10, 50, 5000);
    EXPECT_TRUE(invalidatedThisTurn()) << "colour";
}

TEST(Turn, TheWindowSystemsCloseDuringTheEventPassSavesAndEndsWithStatusZero) {
    Harness harness;
    harness.Window->CurrentPlacement = {300, 400, 1680, 630};
    harness.Window->OnDoEvents = [](platform::WindowEvents& events) {
        events.CloseRequested();
        events.MouseDown(platform::kButtonLeft, 0, 5, 5); // too late: the program is ending
    };
    const TurnOutcome outcome = harness.Form->Turn();
    EXPECT_TRUE(outcome.ProgramEnded);
    EXPECT_EQ(outcome.ExitStatus, 0);
    EXPECT_EQ(harness.Settings->Placement("Left"), "300");
    EXPECT_EQ(harness.Settings->Placement("Top"), "400");
    EXPECT_EQ(std::count(harness.Window->Calls.begin(), harness.Window->Calls.end(), "BeginMove(1)"), 0);
}

TEST(FormLoad, PinsPlacesAndShowsThenTurnsEvery300MsUntilTheProgramEnds) {
    Harness harness;
    int turnsBeforeChord = 3;
    harness.BetweenTurns = [&] {
        if (--turnsBeforeChord == 0) {
            harness.Window->KeyWords[platform::kVirtualKeyAlt] = {-32768};
            harness.Window->KeyWords[platform::kVirtualKeyF4] = {-32768};
        }
    };
    EXPECT_EQ(harness.Form->Form_Load(), 0);
    const std::vector<std::string>& calls = harness.Window->Calls;
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0], "SetTopmost(true)");
    EXPECT_EQ(calls[1], "SetPlacement");
    EXPECT_EQ(calls[2], "Show");
    EXPECT_TRUE(harness.Form->OnTop());
    EXPECT_EQ(harness.Queries, 3);
    EXPECT_EQ(harness.Sleeps, (std::vector<std::uint32_t>{300, 300, 300}));
    EXPECT_EQ(harness.Settings->SavedKeys.size(), 4u);
}

TEST(FormLoad, AFirstQueryThatFailsFlashesTheWindowUpAndEnds) {
    Harness harness;
    harness.PowerFails = true;
    EXPECT_THROW(harness.Form->Form_Load(), platform::Error);
    EXPECT_EQ(harness.Window->Calls, (std::vector<std::string>{"SetTopmost(true)", "SetPlacement", "Show"}));
    EXPECT_TRUE(harness.Sleeps.empty());
    EXPECT_TRUE(harness.Settings->Values.empty());
}

TEST(FormLoad, AStopFromOutsideEndsAfterTheSleepItArrivedInWithoutSaving) {
    Harness harness;
    harness.StopAfterSleeps = 2;
    EXPECT_EQ(harness.Form->Form_Load(), 0);
    EXPECT_EQ(harness.Queries, 2);
    EXPECT_TRUE(harness.Settings->Values.empty());
}

} // namespace
