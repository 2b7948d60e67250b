// Cost of one power status query over a tree with mains, two batteries and a mouse, and of
// one details reading (the record, the times to empty and full, each battery's own values).
//
// GetSystemPowerStatus and GetPowerDetails read the directory named by OSTRAVEL_POWER_SUPPLY_DIR
// (the bench tree in the test suite's smoke run; the machine's own supplies when unset).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "platform/linux/power_rate_average.h"
#include "platform/linux/power_supply_directory.h"
#include "platform/power_details.h"
#include "platform/power_status.h"

namespace {

const std::string kFixtures = OSTRAVEL_POWER_FIXTURES;

void BM_GetSystemPowerStatus(benchmark::State& state) {
    const char* directory = std::getenv("OSTRAVEL_POWER_SUPPLY_DIR");
    state.SetLabel(directory ? directory : platform::linux_detail::kPowerSupplyDirectory);
    platform::SYSTEM_POWER_STATUS status{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform::GetSystemPowerStatus(&status));
        benchmark::DoNotOptimize(status);
    }
}
BENCHMARK(BM_GetSystemPowerStatus);

void BM_GetPowerDetails(benchmark::State& state) {
    const char* directory = std::getenv("OSTRAVEL_POWER_SUPPLY_DIR");
    state.SetLabel(directory ? directory : platform::linux_detail::kPowerSupplyDirectory);
    for (auto _ : state) benchmark::DoNotOptimize(platform::GetPowerDetails());
}
BENCHMARK(BM_GetPowerDetails);

// The same tree, one property per file: what a kernel without uevent costs.
void BM_ReadPowerStatus(benchmark::State& state, const std::string& tree) {
    const std::string directory = kFixtures + "/" + tree;
    platform::SYSTEM_POWER_STATUS status{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform::linux_detail::ReadPowerStatus(directory.c_str(), &status));
        benchmark::DoNotOptimize(status);
    }
}
BENCHMARK_CAPTURE(BM_ReadPowerStatus, uevent, std::string("bench"));
BENCHMARK_CAPTURE(BM_ReadPowerStatus, attribute_files, std::string("bench_files"));

void BM_ReadPowerDetails(benchmark::State& state, const std::string& tree) {
    const std::string directory = kFixtures + "/" + tree;
    for (auto _ : state) benchmark::DoNotOptimize(platform::linux_detail::ReadPowerDetails(directory.c_str()));
}
BENCHMARK_CAPTURE(BM_ReadPowerDetails, uevent, std::string("bench"));
BENCHMARK_CAPTURE(BM_ReadPowerDetails, attribute_files, std::string("bench_files"));

// What the averaging of the draw adds to every query: the boot clock and one step of the average.
void BM_RateAverageNext(benchmark::State& state) {
    const platform::linux_detail::SystemBootClock clock;
    platform::linux_detail::RateAverage average(clock);
    std::int64_t rate = 10'000'000;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rate);
        benchmark::DoNotOptimize(average.Next(rate, 0, 1));
    }
}
BENCHMARK(BM_RateAverageNext);

} // namespace

BENCHMARK_MAIN();
