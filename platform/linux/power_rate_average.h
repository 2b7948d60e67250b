// Smooths the batteries' draw across queries, so the times left follow a lasting
// change of load but not every burst of work.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace platform::linux_detail {

// Time since boot, suspend included: a gap in it is a suspend that a clock
// stopping during suspend would hide.
class BootClock {
public:
    virtual ~BootClock() = default;
    virtual std::chrono::nanoseconds Now() const = 0;
};

// CLOCK_BOOTTIME.
class SystemBootClock final : public BootClock {
public:
    std::chrono::nanoseconds Now() const override;
};

// An exponential average of the draw, each reading weighted by the time since the one
// before, so it settles alike whether it is read every 300 ms or every few seconds.
// Not thread-safe: each program queries from one thread.
class RateAverage {
public:
    // A reading's weight after `t` is 1 - e^(-t / kTimeConstant).
    static constexpr std::chrono::seconds kTimeConstant{20};
    // A longer gap between readings is a suspend or a stopped process: the old draw is stale.
    static constexpr std::chrono::minutes kLongestGap{5};

    explicit RateAverage(const BootClock& clock) : clock_(&clock) {}

    // Folds in one reading's draw (µW, empty when unknown) and returns the draw to work the
    // times out with. It starts again from this reading when the line status or the set of
    // batteries changed, after a long gap, and after a reading without a draw.
    std::optional<std::int64_t> Next(std::optional<std::int64_t> rate, std::uint8_t lineStatus,
                                      std::uint64_t batterySet);

private:
    const BootClock* clock_;
    std::optional<double> average_; // µW
    std::chrono::nanoseconds at_{};
    std::uint8_t lineStatus_ = 0;
    std::uint64_t batterySet_ = 0;
};

} // namespace platform::linux_detail
