#include "platform/linux/power_rate_average.h"

#include <cmath>
#include <ctime>

namespace platform::linux_detail {

std::chrono::nanoseconds SystemBootClock::Now() const {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

std::optional<std::int64_t> RateAverage::Next(std::optional<std::int64_t> rate, std::uint8_t lineStatus,
                                              std::uint64_t batterySet) {
    const std::chrono::nanoseconds now = clock_->Now();
    const std::chrono::nanoseconds gap = now - at_;
    const bool sameCircumstances = average_ && lineStatus == lineStatus_ && batterySet == batterySet_ &&
                                   gap >= std::chrono::nanoseconds::zero() && gap <= kLongestGap;
    at_ = now;
    lineStatus_ = lineStatus;
    batterySet_ = batterySet;

    if (!rate) average_.reset();
    else if (!sameCircumstances) average_ = static_cast<double>(*rate);
    else {
        using Seconds = std::chrono::duration<double>;
        const double weight = -std::expm1(-Seconds(gap).count() / Seconds(kTimeConstant).count());
        *average_ += weight * (static_cast<double>(*rate) - *average_);
    }
    if (!average_) return std::nullopt;
    return std::llround(*average_);
}

} // namespace platform::linux_detail
