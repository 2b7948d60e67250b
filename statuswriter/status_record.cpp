#include "statuswriter/status_record.h"

#include <charconv>
#include <cstdint>

namespace Battery {
namespace {

// Longest record: two 11-character times, three 3-character bytes, five separators.
constexpr std::size_t kLongestRecord = 36;

char* AppendField(char* at, char* end, std::int64_t value) {
    at = std::to_chars(at, end, value).ptr;
    *at++ = '#';
    return at;
}

} // namespace

std::string BuildStatusRecord(const platform::SYSTEM_POWER_STATUS& status, bool queryAnswered) {
    char text[kLongestRecord];
    char* const end = text + kLongestRecord;
    char* at = text;
    at = AppendField(at, end, queryAnswered ? std::int64_t{status.ACLineStatus} : -1);
    at = AppendField(at, end, status.BatteryFullLifeTime);
    at = AppendField(at, end, status.BatteryLifeTime);
    at = AppendField(at, end, status.BatteryFlag);
    at = AppendField(at, end, status.BatteryLifePercent);
    return std::string(text, at);
}

} // namespace Battery
