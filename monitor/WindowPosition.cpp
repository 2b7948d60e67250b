// The window's size and position, kept in the user's settings between runs.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ostream>

#include "monitor/fNevlin.h"

namespace {

int RoundedTwips(float twips) { return static_cast<int>(std::lround(twips)); }

// Rounding a value inside these bounds always fits an int.
bool FitsTwips(float twips) { return twips >= -2147483648.0f && twips < 2147483520.0f; }

std::int64_t Overlap(std::int64_t start1, std::int64_t length1, std::int64_t start2, std::int64_t length2) {
    const std::int64_t start = std::max(start1, start2);
    const std::int64_t end = std::min(start1 + length1, start2 + length2);
    return std::max<std::int64_t>(0, end - start);
}

bool SharesArea(const platform::TwipsRect& a, const platform::TwipsRect& b) {
    return Overlap(a.Left, a.Width, b.Left, b.Width) > 0 && Overlap(a.Top, a.Height, b.Top, b.Height) > 0;
}

// A window with no frame and no taskbar button that lies beside every monitor can't be reached.
bool ReachableOnSomeMonitor(const platform::TwipsRect& placement, const std::vector<platform::TwipsRect>& monitors,
                            const platform::TwipsRect& primary) {
    if (monitors.empty()) return SharesArea(placement, primary);
    for (const platform::TwipsRect& monitor : monitors) {
        if (SharesArea(placement, monitor)) return true;
    }
    return false;
}

float CentredStart(int screenStart, int screenLength, float length) {
    return static_cast<float>(screenStart) + (static_cast<float>(screenLength) - length) / 2;
}

} // namespace

void fNevlin::WindowPosition(fNevlin& frmName, bool blnSavePostion) {
    const std::string application = services_.ApplicationName();
    platform::Window& window = frmName.Window();
    if (window.State() != platform::WindowState::Normal) return;
    const std::string section = frmName.Name() + " Pos";
    const platform::TwipsRect current = window.Placement();
    platform::SettingsStore& store = *services_.Settings;

    if (blnSavePostion) {
        store.SaveSetting(application, section, "Height", TwipsText(static_cast<float>(current.Height)));
        store.SaveSetting(application, section, "Width", TwipsText(static_cast<float>(current.Width)));
        store.SaveSetting(application, section, "Left", TwipsText(static_cast<float>(current.Left)));
        store.SaveSetting(application, section, "Top", TwipsText(static_cast<float>(current.Top)));
        return;
    }

    // Each key falls back on its own; the centring defaults use the size just restored.
    const platform::TwipsRect screen = window.PrimaryScreen();
    const float height = RestoredValue(application, section, "Height", static_cast<float>(current.Height), true);
    const float width = RestoredValue(application, section, "Width", static_cast<float>(current.Width), true);
    const float left =
        RestoredValue(application, section, "Left", CentredStart(screen.Left, screen.Width, width), false);
    const float top =
        RestoredValue(application, section, "Top", CentredStart(screen.Top, screen.Height, height), false);

    platform::TwipsRect restored{RoundedTwips(left), RoundedTwips(top), RoundedTwips(width), RoundedTwips(height)};
    if (!ReachableOnSomeMonitor(restored, window.Monitors(), screen)) {
        restored.Left = RoundedTwips(CentredStart(screen.Left, screen.Width, width));
        restored.Top = RoundedTwips(CentredStart(screen.Top, screen.Height, height));
    }
    window.SetPlacement(restored);
}

// A stored value that can't be a placement would fail every start until edited by hand:
// that key takes its default instead, and the stored text stays until the next save.
float fNevlin::RestoredValue(const std::string& application, const std::string& section, const char* key,
                             float defaultValue, bool mustBePositive) {
    const std::string defaultText = TwipsText(defaultValue);
    const std::string text = services_.Settings->GetSetting(application, section, key, defaultText);
    if (text == defaultText) return defaultValue;

    const std::optional<float> value = TwipsValue(text);
    const char* problem = nullptr;
    if (!value || !FitsTwips(*value)) {
        problem = "not a number of twips";
    } else if (mustBePositive && RoundedTwips(*value) <= 0) {
        problem = "not a size above zero";
    } else {
        return *value;
    }
    *services_.Errors << "nevlin: " << services_.Settings->Location(application) << ": ignoring [" << section << "] "
                      << key << " = \"" << text << "\" (" << problem << "), using " << defaultText << '\n';
    return defaultValue;
}
