// The window program's form: its controls with their design-time properties, the start-up
// sequence and the 300 ms poll loop, the hotkeys, the presses on the window and the placement
// values as text. The power-state text (TypeVal.cpp) and the saved placement (WindowPosition.cpp)
// keep a file each.
#include "monitor/fNevlin.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <utility>

#include "platform/blanks.h"

namespace {

constexpr std::uint32_t kPollPeriodMs = 300;

constexpr platform::Colour kRed = 0x000000FF;
constexpr platform::Colour kMagenta = 0x00FF00FF;
constexpr platform::Colour kBlue = 0x00FF0000;
constexpr platform::Colour kDarkRed = 0x00000080;

const std::string kFormName = "fNevlin";

platform::Label MakeLabel(platform::TwipsRect rect, std::string caption, platform::Colour colour,
                          platform::FontSpec font, platform::TextAlign alignment) {
    platform::Label label;
    label.Rect = rect;
    label.Caption = std::move(caption);
    label.ForeColor = colour;
    label.Font = std::move(font);
    label.Alignment = alignment;
    return label;
}

platform::Picture MakePicture(const platform::Image* source, bool visible) {
    return platform::Picture{{1120, 70, 480, 480}, source, visible};
}

void RequireServices(NevlinServices& services) {
    if (!services.OpenWindow || !services.Settings || !services.GetSystemPowerStatus || !services.Sleep ||
        !services.ApplicationName) {
        throw platform::Error("fNevlin needs a window, a settings store, a power query, a sleep "
                              "and an application name");
    }
}

// 65 joins the blue band so that every charge has a colour.
platform::Colour ChargeColour(std::uint8_t percent) {
    if (percent >= 40 && percent <= 64) return kMagenta;
    if (percent < 40) return kRed;
    return kBlue;
}

bool Contains(const platform::TwipsRect& rect, int x, int y) {
    return x >= rect.Left && x < rect.Left + rect.Width && y >= rect.Top && y < rect.Top + rect.Height;
}

} // namespace

fNevlin::fNevlin(NevlinServices services) : services_(std::move(services)) {
    RequireServices(services_);

    // Created from the bottom of the drawing order upwards.
    controls_.Shape1 = platform::Shape{{0, 0, 1680, 625}, 0x00E0E0E0, 0x00C00000, 3};
    controls_.Label1 = MakeLabel({110, 40, 555, 300}, "100", kBlue, {"Arial", 15.75, 700, platform::kCharsetCyrillic},
                                 platform::TextAlign::Right);
    controls_.Label2 = MakeLabel({720, 40, 280, 300}, "%", kBlue, {"Arial", 15.75, 400, platform::kCharsetCyrillic},
                                 platform::TextAlign::Right);
    controls_.Label3 = MakeLabel({90, 360, 1020, 195}, "От батареи", kDarkRed,
                                 {"Verdana", 8.25, 400, platform::kCharsetCyrillic}, platform::TextAlign::Center);
    controls_.Image1[0] = MakePicture(services_.ChargingPicture, false);
    controls_.Image1[1] = MakePicture(services_.MainsPicture, true);
    controls_.Image1[2] = MakePicture(services_.BatteryPicture, false);

    surface_.Panel = &controls_.Shape1;
    surface_.Labels = {&controls_.Label1, &controls_.Label2, &controls_.Label3};
    surface_.Pictures = {&controls_.Image1[0], &controls_.Image1[1], &controls_.Image1[2]};

    platform::WindowDesign design;
    design.Title = "Ostravel";
    design.Icons = services_.Icons;
    design.Placement = {0, 0, 1680, 630};
    design.Contents = &surface_;
    design.Keys = {platform::kVirtualKeyAlt, platform::kVirtualKeyF4, platform::kVirtualKeyT};
    if (!services_.Now) services_.Now = [] { return std::chrono::steady_clock::now(); };
    window_ = services_.OpenWindow(design);
    if (!window_) throw platform::Error("cannot open the window");
    OpenAlerts();
}

fNevlin::~fNevlin() = default;

const std::string& fNevlin::Name() const { return kFormName; }

// The start-up sequence and the poll loop.

int fNevlin::Form_Load() {
    ToggleTopmost();
    WindowPosition(*this, false);
    window_->Show();
    for (;;) {
        const TurnOutcome outcome = Turn();
        if (outcome.ProgramEnded) return outcome.ExitStatus;
        services_.Sleep(kPollPeriodMs);
        // A stop from outside ends the program between turns, like a failed query: no save.
        if (services_.StopRequested && services_.StopRequested()) return 0;
    }
}

// Every turn: the keys, then the charge, its colour and the state text.
TurnOutcome fNevlin::Turn() {
    CheckHotkeys();
    if (endStatus_) return {true, *endStatus_};

    // While the tip shows, one reading of the whole picture gives the turn's record as well.
    std::optional<platform::Result<platform::PowerDetails>> details;
    if (services_.GetPowerDetails && tip_.Shown()) details = services_.GetPowerDetails();
    if (details && *details) {
        status_ = (*details)->record;
    } else {
        // A failed query ends the program at once: nothing drawn, nothing saved.
        const platform::Result<platform::Done> read = services_.GetSystemPowerStatus(&status_);
        if (!read) throw platform::Error("cannot read the power status: " + read.Reason());
    }

    SetCaption(controls_.Label1, std::to_string(status_.BatteryLifePercent));
    const platform::Colour colour = ChargeColour(status_.BatteryLifePercent);
    SetForeColor(controls_.Label1, colour);
    SetForeColor(controls_.Label2, colour);
    SetCaption(controls_.Label3, TypeVal(status_.ACLineStatus, status_.BatteryFlag, status_.BatteryLifeTime));
    if (alerts_) Alert();

    if (contentsChanged_) {
        window_->Invalidate();
        contentsChanged_ = false;
    }
    window_->DoEvents(*this);
    if (endStatus_) return {true, *endStatus_};
    if (services_.GetPowerDetails) UpdateTip(std::move(details));
    return {};
}

// The tip shows the whole picture after the pointer has rested on the window; while it shows,
// each turn reads the picture anew and the window redraws it only when its text changed.
void fNevlin::UpdateTip(std::optional<platform::Result<platform::PowerDetails>> read) {
    const TipAction action = tip_.Next(services_.Now);
    if (action == TipAction::None) return;
    if (action == TipAction::Hide) {
        window_->HideTip();
        tipLines_.clear();
        return;
    }
    const platform::Result<platform::PowerDetails> details = read ? std::move(*read) : services_.GetPowerDetails();
    // A failed reading still has this turn's record to tell.
    std::vector<std::string> lines = platform::DetailsLines(details ? *details : platform::DetailsOfRecord(status_),
                                                            platform::DetailsLanguage::Russian);
    if (action == TipAction::Refresh && lines == tipLines_) return;
    tipLines_ = std::move(lines);
    window_->ShowTip(tipLines_);
}

void fNevlin::PointerEntered() { tip_.PointerEntered(services_.Now()); }

void fNevlin::PointerLeft() { tip_.PointerLeft(); }

// The alerts' settings are read once; alerts left off open nothing and cost a turn nothing.
void fNevlin::OpenAlerts() {
    if (!services_.OpenNotifier) return;
    AlertSettings settings = ReadAlertSettings(*services_.Settings, services_.ApplicationName(), services_.Warn);
    if (!settings.Enabled) return;
    notifier_ = services_.OpenNotifier();
    if (!notifier_) return;
    alerts_.emplace(std::move(settings));
}

// What the reading just shown asks of the alerts, in order; then the notifier takes in its
// answers without waiting.
void fNevlin::Alert() {
    const AlertActions actions = alerts_->Next(&status_, services_.Now());
    if (actions.Withdraw) notifier_->Withdraw();
    if (actions.Show) notifier_->Show(NoticeOf(*actions.Show));
    if (actions.RunCriticalCommand) notifier_->Run(alerts_->Settings().CriticalCommand);
    notifier_->Turn();
}

// The program ends once the current turn returns; the first reason to end wins.
void fNevlin::EndProgram(int exitStatus) {
    if (!endStatus_) endStatus_ = exitStatus;
}

// The close chord and the window system's close both keep the placement, then end with 0.
void fNevlin::CloseAndSave() {
    WindowPosition(*this, true);
    EndProgram(0);
}

// The keys polled from the whole keyboard: Alt+F4 closes and saves, T pins or releases the window.
// Both keys down now, or both pressed since their previous poll, make the chord.
void fNevlin::CheckHotkeys() {
    const std::int16_t alt = window_->GetAsyncKeyState(platform::kVirtualKeyAlt);
    const std::int16_t f4 = window_->GetAsyncKeyState(platform::kVirtualKeyF4);
    if ((alt & f4) != 0) {
        CloseAndSave();
        return;
    }
    if (window_->GetAsyncKeyState(platform::kVirtualKeyT) != 0) ToggleTopmost();
}

void fNevlin::ToggleTopmost() {
    window_->SetTopmost(!onTop_);
    onTop_ = !onTop_;
}

// Presses on the window: the labels and the visible picture keep theirs, the bare panel drags.
void fNevlin::MouseDown(int button, int shift, int xTwips, int yTwips) {
    if (endStatus_) return; // closing: the window is about to go
    tip_.Pressed(); // any press, a drag's among them, takes the tip away, before a drag begins
    if (services_.GetPowerDetails) UpdateTip(std::nullopt);
    for (const platform::Label* label : {&controls_.Label1, &controls_.Label2, &controls_.Label3}) {
        if (Contains(label->Rect, xTwips, yTwips)) return;
    }
    for (const platform::Picture& picture : controls_.Image1) {
        if (picture.Visible && Contains(picture.Rect, xTwips, yTwips)) return;
    }
    Form_MouseDown(button, shift, xTwips, yTwips);
}

void fNevlin::Form_MouseDown(int Button, int /*Shift*/, int /*X*/, int /*Y*/) {
    if (Button != platform::kButtonRight) StartDrag(Button);
}

// The window manager moves the window until the button is released, as if by a title bar.
void fNevlin::StartDrag(int Button) {
    window_->ReleaseCapture();
    window_->BeginMove(Button);
}

void fNevlin::CloseRequested() {
    if (endStatus_) return;
    CloseAndSave();
}

// Setters that note whether the window has anything new to draw.

void fNevlin::SetCaption(platform::Label& label, std::string caption) {
    if (label.Caption == caption) return;
    label.Caption = std::move(caption);
    contentsChanged_ = true;
}

void fNevlin::SetForeColor(platform::Label& label, platform::Colour colour) {
    if (label.ForeColor == colour) return;
    label.ForeColor = colour;
    contentsChanged_ = true;
}

void fNevlin::SetVisible(platform::Picture& picture, bool visible) {
    if (picture.Visible == visible) return;
    picture.Visible = visible;
    contentsChanged_ = true;
}

// Placement values as text: plain decimal with "." whatever the locale, no exponent, no grouping.

std::string fNevlin::TwipsText(float twips) {
    if (twips == 0) twips = 0; // no "-0"
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, twips, std::chars_format::fixed);
    return std::string(text, result.ptr);
}

std::optional<float> fNevlin::TwipsValue(const std::string& text) {
    const std::string_view number = platform::TrimBlanks(text);
    const char* first = number.data();
    const char* last = first + number.size();
    float value = 0;
    const auto result = std::from_chars(first, last, value, std::chars_format::fixed);
    if (first == last || result.ec != std::errc() || result.ptr != last || !std::isfinite(value)) return std::nullopt;
    return value;
}
