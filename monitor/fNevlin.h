// The window of the battery monitor: its controls as plain data, the poll loop, the state text,
// the saved placement, the hotkeys and the dragging. It reaches the system only through the
// services it is given, so it runs the same over a real window and over a test double.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "monitor/Alerts.h"
#include "monitor/DetailsTip.h"
#include "platform/notifier.h"
#include "platform/power_details.h"
#include "platform/power_status.h"
#include "platform/process.h"
#include "platform/settings.h"
#include "platform/toolkit.h"

// Everything the window needs from outside itself.
struct NevlinServices {
    std::function<std::unique_ptr<platform::Window>(const platform::WindowDesign&)> OpenWindow;
    platform::SettingsStore* Settings = nullptr; // not owned; outlives the window
    // As platform::GetSystemPowerStatus: fills the snapshot, or leaves it and says why not.
    std::function<platform::Result<platform::Done>(platform::SYSTEM_POWER_STATUS*)> GetSystemPowerStatus;
    std::function<void(std::uint32_t)> Sleep;
    std::function<bool()> StopRequested; // asked from outside to end, without saving
    std::function<std::string()> ApplicationName;
    const platform::Image* ChargingPicture = nullptr;
    const platform::Image* MainsPicture = nullptr;
    const platform::Image* BatteryPicture = nullptr;
    std::vector<const platform::Image*> Icons;
    platform::WarningHandler Warn; // stored values the window passes over, the notifier's troubles
    // The battery alerts' notices and command, opened at start only when [Alerts] turns them
    // on; without it (or with alerts off) a turn does nothing more for them.
    std::function<std::unique_ptr<platform::Notifier>()> OpenNotifier;
    std::function<std::chrono::steady_clock::time_point()> Now; // the alerts' and the tip's clock; steady_clock by default
    // As platform::GetPowerDetails, for the details tip; without it no tip shows.
    std::function<platform::Result<platform::PowerDetails>()> GetPowerDetails;
};

// The window's controls, as they are drawn.
struct NevlinControls {
    platform::Shape Shape1;
    platform::Label Label1; // charge in percent
    platform::Label Label2; // the "%" sign
    platform::Label Label3; // power-state text
    std::array<platform::Picture, 3> Image1; // 0 charging, 1 mains, 2 battery
};

// How a turn of the poll loop left the program.
struct TurnOutcome {
    bool ProgramEnded = false;
    int ExitStatus = 0;
};

class fNevlin final : public platform::WindowEvents {
public:
    // Builds the controls and opens the window, hidden at its design position.
    explicit fNevlin(NevlinServices services);
    fNevlin(const fNevlin&) = delete; // the window draws from this object's controls
    fNevlin& operator=(const fNevlin&) = delete;
    ~fNevlin();

    // Start-up, then the poll loop until the program ends; returns the exit status. Throws
    // platform::Error when the power status can't be read, having saved nothing.
    int Form_Load();
    // One turn of the poll loop, without the pause that follows it; throws as Form_Load.
    TurnOutcome Turn();

    // The power-state text; shows the matching picture of Image1.
    std::string TypeVal(std::uint8_t stval, std::uint8_t flgval, std::int32_t secval);
    // Saves (true) or restores (false) frmName's size and position in the user's settings.
    void WindowPosition(fNevlin& frmName, bool blnSavePostion);

    void CheckHotkeys();
    void ToggleTopmost();
    void Form_MouseDown(int Button, int Shift, int X, int Y);

    // Window events, delivered while the window processes its pending events.
    void MouseDown(int button, int shift, int xTwips, int yTwips) override;
    void CloseRequested() override;
    void PointerEntered() override;
    void PointerLeft() override;

    const std::string& Name() const;
    platform::Window& Window() { return *window_; }
    const NevlinControls& Controls() const { return controls_; }
    const platform::SYSTEM_POWER_STATUS& PowerStatus() const { return status_; }
    bool OnTop() const { return onTop_; }

    // Placement values as the settings store keeps them: plain decimal text of single precision.
    static std::string TwipsText(float twips);
    static std::optional<float> TwipsValue(const std::string& text);

private:
    void StartDrag(int Button);
    void EndProgram(int exitStatus);
    void CloseAndSave();
    void ShowPicture(int index);
    void SetCaption(platform::Label& label, std::string caption);
    void SetForeColor(platform::Label& label, platform::Colour colour);
    void SetVisible(platform::Picture& picture, bool visible);
    void OpenAlerts();
    void Alert();
    // `read`: the details already read this turn, if any.
    void UpdateTip(std::optional<platform::Result<platform::PowerDetails>> read);
    // problemOf says why a number can't be used here, or nothing when it can.
    float RestoredValue(const std::string& application, const std::string& section, const char* key,
                        float defaultValue, const std::function<std::string(float)>& problemOf);

    NevlinServices services_;
    NevlinControls controls_;
    platform::Surface surface_;
    platform::SYSTEM_POWER_STATUS status_{};
    bool onTop_ = false;
    bool contentsChanged_ = false;
    std::optional<int> endStatus_;
    std::optional<AlertDecision> alerts_; // with the notifier, only when the alerts are on
    std::unique_ptr<platform::Notifier> notifier_;
    TipDecision tip_;
    std::vector<std::string> tipLines_; // as the tip shows them
    std::unique_ptr<platform::Window> window_; // last: goes before the controls it draws
};
