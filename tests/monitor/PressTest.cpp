// Presses on the window: the labels and the visible picture keep theirs, the bare panel drags.
#include <gtest/gtest.h>

#include "tests/monitor/Fakes.h"

namespace {

using platform::kButtonLeft;
using platform::kButtonMiddle;
using platform::kButtonRight;

const std::vector<std::string> kNoDrag;

std::vector<std::string> CallsOfPress(fakes::Harness& harness, int button, int x, int y) {
    harness.Window->Calls.clear();
    harness.Form->MouseDown(button, 0, x, y);
    return harness.Window->Calls;
}

std::vector<std::string> Drag(int button) { return {"ReleaseCapture", "BeginMove(" + std::to_string(button) + ")"}; }

TEST(Press, OnTheLabelsNothingHappens) {
    fakes::Harness harness;
    EXPECT_EQ(CallsOfPress(harness, kButtonLeft, 300, 150), kNoDrag) << "Label1";
    EXPECT_EQ(CallsOfPress(harness, kButtonLeft, 110, 40), kNoDrag) << "Label1's top-left corner";
    EXPECT_EQ(CallsOfPress(harness, kButtonLeft, 664, 339), kNoDrag) << "Label1's last twip";
    EXPECT_EQ(CallsOfPress(harness, kButtonMiddle, 800, 100), kNoDrag) << "Label2";
    EXPECT_EQ(CallsOfPress(harness, kButtonLeft, 500, 400), kNoDrag) << "Label3";
}

TEST(Press, OnTheBarePanelLeftAndMiddleDragAndRightDoesNot) {
    fakes::Harness harness;
    EXPECT_EQ(CallsOfPress(harness, kButtonLeft, 690, 150), Drag(kButtonLeft)) << "gap between Label1 and Label2";
    EXPECT_EQ(CallsOfPress(harness, kButtonLeft, 665, 150), Drag(kButtonLeft)) << "just right of Label1";
    EXPECT_EQ(CallsOfPress(harness, kButtonMiddle, 5, 5), Drag(kButtonMiddle)) << "along the frame";
    EXPECT_EQ(CallsOfPress(harness, kButtonLeft, 1670, 620), Drag(kButtonLeft)) << "bottom-right corner";
    EXPECT_EQ(CallsOfPress(harness, kButtonLeft, 300, 340), Drag(kButtonLeft)) << "just under Label1";
    EXPECT_EQ(CallsOfPress(harness, kButtonRight, 690, 150), kNoDrag);
    EXPECT_EQ(CallsOfPress(harness, kButtonRight, 5, 5), kNoDrag);
}

TEST(Press, TheVisiblePictureKeepsItsPressesWhicheverPictureItIs) {
    fakes::Harness harness;
    EXPECT_EQ(CallsOfPress(harness, kButtonLeft, 1300, 300), kNoDrag) << "mains picture at creation";
    harness.Form->TypeVal(1, 9, -1);
    EXPECT_EQ(CallsOfPress(harness, kButtonLeft, 1120, 70), kNoDrag) << "charging picture";
    harness.Form->TypeVal(0, 1, -1);
    EXPECT_EQ(CallsOfPress(harness, kButtonLeft, 1599, 549), kNoDrag) << "battery picture";
    EXPECT_EQ(CallsOfPress(harness, kButtonLeft, 1600, 300), Drag(kButtonLeft)) << "right of the picture";
    EXPECT_EQ(CallsOfPress(harness, kButtonLeft, 1115, 300), Drag(kButtonLeft)) << "between Label3 and the picture";
    EXPECT_EQ(CallsOfPress(harness, kButtonLeft, 1300, 560), Drag(kButtonLeft)) << "under the picture";
}

TEST(Press, DuringTheEventPassOfATurnAPanelPressDrags) {
    fakes::Harness harness;
    harness.Window->OnDoEvents = [](platform::WindowEvents& events) { events.MouseDown(kButtonLeft, 1, 690, 150); };
    EXPECT_FALSE(harness.Form->Turn().ProgramEnded);
    const std::vector<std::string>& calls = harness.Window->Calls;
    EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
              (std::vector<std::string>{"DoEvents", "ReleaseCapture", "BeginMove(1)"}));
}

} // namespace
