// The start-up sequence and the poll loop: every 300 ms the charge, its colour and the state text.
#include <cerrno>
#include <ostream>
#include <string>
#include <system_error>

#include "monitor/fNevlin.h"

namespace {

constexpr std::uint32_t kPollPeriodMs = 300;

constexpr platform::Colour kRed = 0x000000FF;
constexpr platform::Colour kMagenta = 0x00FF00FF;
constexpr platform::Colour kBlue = 0x00FF0000;

// 65 joins the blue band so that every charge has a colour.
platform::Colour ChargeColour(std::uint8_t percent) {
    if (percent >= 40 && percent <= 64) return kMagenta;
    if (percent < 40) return kRed;
    return kBlue;
}

std::string QueryFailureReason(int error) {
    if (error == 0) return "the system gave no reason";
    return std::generic_category().message(error);
}

} // namespace

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

TurnOutcome fNevlin::Turn() {
    CheckHotkeys();
    if (endStatus_) return {true, *endStatus_};

    errno = 0;
    if (services_.GetSystemPowerStatus(&status_) == 0) {
        const int error = errno;
        *services_.Errors << "nevlin: cannot read the power status: " << QueryFailureReason(error) << '\n';
        EndProgram(1);
        return {true, *endStatus_};
    }

    SetCaption(controls_.Label1, std::to_string(status_.BatteryLifePercent));
    const platform::Colour colour = ChargeColour(status_.BatteryLifePercent);
    SetForeColor(controls_.Label1, colour);
    SetForeColor(controls_.Label2, colour);
    SetCaption(controls_.Label3, TypeVal(status_.ACLineStatus, status_.BatteryFlag, status_.BatteryLifeTime));

    if (contentsChanged_) {
        window_->Invalidate();
        contentsChanged_ = false;
    }
    window_->DoEvents(*this);
    if (endStatus_) return {true, *endStatus_};
    return {};
}

// The program ends once the current turn returns; the first reason to end wins.
void fNevlin::EndProgram(int exitStatus) {
    if (!endStatus_) endStatus_ = exitStatus;
}
