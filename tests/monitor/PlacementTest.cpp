// The window's size and position in the user's settings: saved on close, restored at start-up.
#include <gtest/gtest.h>

#include <locale>

#include "tests/monitor/Fakes.h"

namespace {

using fakes::Harness;
using fakes::MemorySettings;

void ExpectPlacement(const platform::TwipsRect& rect, int left, int top, int width, int height) {
    EXPECT_EQ(rect.Left, left);
    EXPECT_EQ(rect.Top, top);
    EXPECT_EQ(rect.Width, width);
    EXPECT_EQ(rect.Height, height);
}

// Restores from the given entries on a 1920 x 1080 pixel primary monitor.
struct Restore {
    std::shared_ptr<MemorySettings> store = std::make_shared<MemorySettings>();
    std::unique_ptr<Harness> harness;

    platform::TwipsRect Run(const std::vector<platform::TwipsRect>* monitors = nullptr) {
        harness = std::make_unique<Harness>(store);
        if (monitors) harness->Window->MonitorList = *monitors;
        harness->Form->WindowPosition(*harness->Form, false);
        return harness->Window->CurrentPlacement;
    }
    std::string Warnings() const { return harness->Warnings; }
};

TEST(WindowPosition, AFirstRunCentresTheDesignSizeAndStoresNothing) {
    Restore restore;
    ExpectPlacement(restore.Run(), 13560, 7785, 1680, 630); // (28800 - 1680) / 2, (16200 - 630) / 2
    EXPECT_TRUE(restore.store->Values.empty());
    EXPECT_EQ(restore.Warnings(), "");
}

TEST(WindowPosition, CentresOnThePrimaryMonitorWhereverItLies) {
    Restore restore;
    restore.harness = std::make_unique<Harness>(restore.store);
    restore.harness->Window->Primary = {28800, 1500, 19200, 10800};
    restore.harness->Window->MonitorList = {{0, 0, 28800, 16200}, {28800, 1500, 19200, 10800}};
    restore.harness->Form->WindowPosition(*restore.harness->Form, false);
    ExpectPlacement(restore.harness->Window->CurrentPlacement, 28800 + 8760, 1500 + 5085, 1680, 630);
}

TEST(WindowPosition, SavesHeightWidthLeftTopAndTheNextRunRestoresThem) {
    auto store = std::make_shared<MemorySettings>();
    {
        Harness first(store);
        first.Window->CurrentPlacement = {2000, 3000, 1695, 645};
        first.Form->WindowPosition(*first.Form, true);
    }
    EXPECT_EQ(store->SavedKeys, (std::vector<std::string>{"Height", "Width", "Left", "Top"}));
    EXPECT_EQ(store->Placement("Height"), "645");
    EXPECT_EQ(store->Placement("Width"), "1695");
    EXPECT_EQ(store->Placement("Left"), "2000");
    EXPECT_EQ(store->Placement("Top"), "3000");

    Harness second(store);
    second.Form->WindowPosition(*second.Form, false);
    ExpectPlacement(second.Window->CurrentPlacement, 2000, 3000, 1695, 645);
}

TEST(WindowPosition, EachKeyFallsBackOnItsOwnAndTheCentringUsesTheRestoredSize) {
    Restore restore;
    restore.store->Placement("Width") = "2000";
    ExpectPlacement(restore.Run(), 13400, 7785, 2000, 630);

    Restore heightAndTop;
    heightAndTop.store->Placement("Height") = "1000";
    heightAndTop.store->Placement("Top") = "50";
    ExpectPlacement(heightAndTop.Run(), 13560, 50, 1680, 1000);
}

TEST(WindowPosition, AMinimisedOrMaximisedWindowNeitherSavesNorRestores) {
    for (const platform::WindowState state : {platform::WindowState::Minimized, platform::WindowState::Maximized}) {
        auto store = std::make_shared<MemorySettings>();
        store->Placement("Left") = "100";
        Harness harness(store);
        harness.Window->CurrentState = state;
        harness.Window->CurrentPlacement = {7, 8, 900, 400};
        harness.Form->WindowPosition(*harness.Form, true);
        harness.Form->WindowPosition(*harness.Form, false);
        EXPECT_EQ(store->SavedKeys, std::vector<std::string>{});
        EXPECT_EQ(store->Placement("Left"), "100");
        EXPECT_TRUE(harness.Window->Calls.empty());
    }
}

TEST(WindowPosition, AStoredValueThatIsNoNumberFallsBackWithOneWarningAndStaysStored) {
    Restore restore;
    restore.store->Placement("Width") = "2000";
    restore.store->Placement("Left") = "abc";
    ExpectPlacement(restore.Run(), 13400, 7785, 2000, 630);
    EXPECT_EQ(restore.Warnings(), "/home/user/.config/Ostravel/settings.conf: ignoring [fNevlin Pos] Left = "
                                  "\"abc\" (not a number of twips), using 13400\n");
    EXPECT_EQ(restore.store->Placement("Left"), "abc");
    EXPECT_TRUE(restore.store->SavedKeys.empty());
}

TEST(WindowPosition, StoredTextsThatCannotBeAPlacementAllFallBack) {
    for (const char* text : {"", "12abc", "1,5", "1 500", "nan", "inf", "-", "1e3", "99999999999"}) {
        SCOPED_TRACE(text);
        Restore restore;
        restore.store->Placement("Top") = text;
        ExpectPlacement(restore.Run(), 13560, 7785, 1680, 630);
        EXPECT_NE(restore.Warnings().find("Top = \"" + std::string(text) + "\""), std::string::npos)
            << restore.Warnings();
    }
    for (const char* size : {"0", "-630", "0.4"}) {
        SCOPED_TRACE(size);
        Restore restore;
        restore.store->Placement("Height") = size;
        ExpectPlacement(restore.Run(), 13560, 7785, 1680, 630);
        EXPECT_NE(restore.Warnings().find("less than one pixel"), std::string::npos) << restore.Warnings();
    }
}

TEST(WindowPosition, APlacementBesideEveryMonitorIsCentredKeepingItsSize) {
    Restore leftOfScreen;
    leftOfScreen.store->Placement("Left") = "-50000";
    leftOfScreen.store->Placement("Top") = "100";
    ExpectPlacement(leftOfScreen.Run(), 13560, 7785, 1680, 630);

    Restore touchingTheRightEdge;
    touchingTheRightEdge.store->Placement("Width") = "3000";
    touchingTheRightEdge.store->Placement("Height") = "900";
    touchingTheRightEdge.store->Placement("Left") = "28800";
    touchingTheRightEdge.store->Placement("Top") = "0";
    ExpectPlacement(touchingTheRightEdge.Run(), 12900, 7650, 3000, 900);

    Restore onAnUnpluggedMonitor;
    onAnUnpluggedMonitor.store->Placement("Left") = "30000";
    onAnUnpluggedMonitor.store->Placement("Top") = "1000";
    ExpectPlacement(onAnUnpluggedMonitor.Run(), 13560, 7785, 1680, 630);
    EXPECT_EQ(onAnUnpluggedMonitor.Warnings(), "");
}

TEST(WindowPosition, APlacementAtLeastPartlyOnSomeMonitorIsKept) {
    Restore cornerShowing;
    cornerShowing.store->Placement("Left") = "-1670";
    cornerShowing.store->Placement("Top") = "16190";
    ExpectPlacement(cornerShowing.Run(), -1670, 16190, 1680, 630);

    const std::vector<platform::TwipsRect> twoMonitors{{0, 0, 28800, 16200}, {28800, 0, 19200, 10800}};
    Restore onTheSecondMonitor;
    onTheSecondMonitor.store->Placement("Left") = "30000";
    onTheSecondMonitor.store->Placement("Top") = "1000";
    ExpectPlacement(onTheSecondMonitor.Run(&twoMonitors), 30000, 1000, 1680, 630);
}

TEST(WindowPosition, SizesTheWindowSystemCannotMakeFallBackWithOneWarning) {
    // 32768 px at 96 dpi, far beyond any screen, one pixel wider than the virtual screen.
    for (const char* width : {"491520", "2000000000", "28815"}) {
        SCOPED_TRACE(width);
        Restore restore;
        restore.store->Placement("Width") = width;
        ExpectPlacement(restore.Run(), 13560, 7785, 1680, 630);
        EXPECT_NE(restore.Warnings().find("Width = \"" + std::string(width) + "\" ("), std::string::npos);
        EXPECT_NE(restore.Warnings().find("more than the 1920 px a window can have here), using 1680\n"),
                  std::string::npos)
            << restore.Warnings();
        EXPECT_EQ(restore.store->Placement("Width"), width); // left for the next save to replace
    }
    Restore tall;
    tall.store->Placement("Height") = "16215"; // 1081 px
    ExpectPlacement(tall.Run(), 13560, 7785, 1680, 630);
    EXPECT_NE(tall.Warnings().find("(1081 px at 96 dpi, more than the 1080 px"), std::string::npos) << tall.Warnings();

    // The whole virtual screen, and a size that rounds down to it, are still made.
    Restore wholeScreen;
    wholeScreen.store->Placement("Width") = "28807";
    wholeScreen.store->Placement("Height") = "16200";
    ExpectPlacement(wholeScreen.Run(), -4, 0, 28807, 16200); // -3.5 rounds away from zero
    EXPECT_EQ(wholeScreen.Warnings(), "");
}

TEST(WindowPosition, SizesUnderOnePixelAtTheWindowsDpiFallBack) {
    Restore tiny;
    tiny.store->Placement("Height") = "1";
    tiny.store->Placement("Width") = "1";
    ExpectPlacement(tiny.Run(), 13560, 7785, 1680, 630);
    EXPECT_EQ(tiny.Warnings(), "/home/user/.config/Ostravel/settings.conf: ignoring [fNevlin Pos] Height = "
                               "\"1\" (0 px at 96 dpi, less than one pixel), using 630\n"
                               "/home/user/.config/Ostravel/settings.conf: ignoring [fNevlin Pos] Width = "
                               "\"1\" (0 px at 96 dpi, less than one pixel), using 1680\n");

    // 8 twips make one pixel at 96 dpi; 4 twips make one only from 192 dpi on.
    Restore onePixel;
    onePixel.store->Placement("Height") = "8";
    EXPECT_EQ(onePixel.Run().Height, 8);
    for (const double dpi : {96.0, 192.0}) {
        Restore fourTwips;
        fourTwips.store->Placement("Width") = "4";
        fourTwips.harness = std::make_unique<Harness>(fourTwips.store);
        fourTwips.harness->Window->DisplayDpi = dpi;
        fourTwips.harness->Window->Largest = {3840, 2160};
        fourTwips.harness->Form->WindowPosition(*fourTwips.harness->Form, false);
        EXPECT_EQ(fourTwips.harness->Window->CurrentPlacement.Width, dpi == 96 ? 1680 : 4) << dpi;
    }
}

TEST(WindowPosition, WarningsQuoteTheStoredTextWithControlCharactersEscaped) {
    Restore restore;
    restore.store->Placement("Left") = "12\n34";
    restore.store->Placement("Top") = "\x1b[31m\"red\\";
    restore.Run();
    EXPECT_EQ(restore.Warnings(),
              "/home/user/.config/Ostravel/settings.conf: ignoring [fNevlin Pos] Left = \"12\\x0a34\" (not a "
              "number of twips), using 13560\n"
              "/home/user/.config/Ostravel/settings.conf: ignoring [fNevlin Pos] Top = "
              "\"\\x1b[31m\\\"red\\\\\" (not a number of twips), using 7785\n");
}

TEST(WindowPosition, TheCloseChordSavesTheFourKeysAsOneChange) {
    auto store = std::make_shared<MemorySettings>();
    Harness harness(store);
    harness.Window->CurrentPlacement = {1, 2, 3000, 900};
    harness.Form->WindowPosition(*harness.Form, true);
    EXPECT_EQ(store->SaveBatches, (std::vector<std::vector<std::string>>{{"Height", "Width", "Left", "Top"}}));
}

// Decimal point "," and digit grouping in the program's locale must not reach the store.
struct GroupingComma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return ' '; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(WindowPosition, ValuesArePlainDecimalTextWhateverTheLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new GroupingComma));
    auto store = std::make_shared<MemorySettings>();
    {
        Harness harness(store);
        harness.Window->CurrentPlacement = {-20000, 0, 1234567, 16777217};
        harness.Form->WindowPosition(*harness.Form, true);
    }
    std::locale::global(previous);
    EXPECT_EQ(store->Placement("Left"), "-20000");
    EXPECT_EQ(store->Placement("Top"), "0");
    EXPECT_EQ(store->Placement("Width"), "1234567");
    EXPECT_EQ(store->Placement("Height"), "16777216"); // single precision keeps 24 bits

    EXPECT_EQ(fNevlin::TwipsText(1680.0f), "1680");
    EXPECT_EQ(fNevlin::TwipsText(1234.5f), "1234.5");
    EXPECT_EQ(fNevlin::TwipsText(0.25f), "0.25");
    EXPECT_EQ(fNevlin::TwipsText(-0.0f), "0");
    EXPECT_EQ(fNevlin::TwipsText(1e10f), "10000000000");
}

TEST(WindowPosition, FractionalTwipsAreReadAndRoundedToTheNearest) {
    Restore restore;
    restore.store->Placement("Left") = "1234.5";
    restore.store->Placement("Top") = "-20.25";
    restore.store->Placement("Width") = " 1700.4 ";
    ExpectPlacement(restore.Run(), 1235, -20, 1700, 630);
    EXPECT_EQ(restore.Warnings(), "");
}

} // namespace
