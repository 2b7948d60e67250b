// Cost of the status writer's pieces: the record, one write, one cycle without its sleep.
//
// The cycle queries the directory named by OSTRAVEL_POWER_SUPPLY_DIR (the bench tree in
// the test suite's smoke run; the machine's own supplies when unset).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "statuswriter/Battery.h"
#include "statuswriter/status_record.h"

namespace {

// A status file in a folder of its own, removed afterwards.
class BenchFile {
public:
    BenchFile() {
        std::random_device random;
        folder_ = std::filesystem::temp_directory_path() / ("ostravel-bench-" + std::to_string(random()));
        std::filesystem::create_directories(folder_);
    }
    ~BenchFile() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string Name() const { return (folder_ / "power.txt").string(); }

private:
    std::filesystem::path folder_;
};

void BM_BuildStatusRecord(benchmark::State& state) {
    platform::SYSTEM_POWER_STATUS status{0, 1, 75, 0, 10800, 14400};
    for (auto _ : state) {
        benchmark::DoNotOptimize(status);
        std::string record = Battery::BuildStatusRecord(status, true);
        benchmark::DoNotOptimize(record);
    }
}
BENCHMARK(BM_BuildStatusRecord);

void BM_WriteStatus(benchmark::State& state) {
    BenchFile file;
    const std::string name = file.Name();
    for (auto _ : state) Battery::WriteStatus(name, "0#14400#10800#1#75#");
}
BENCHMARK(BM_WriteStatus);

void BM_WholeCycleWithoutSleep(benchmark::State& state) {
    const char* directory = std::getenv("OSTRAVEL_POWER_SUPPLY_DIR");
    state.SetLabel(directory ? directory : "the machine's own supplies");
    BenchFile file;
    Battery::FileName = file.Name();
    for (auto _ : state) Battery::WriteCurrentStatus();
    benchmark::DoNotOptimize(Battery::PowerStatus);
}
BENCHMARK(BM_WholeCycleWithoutSleep);

} // namespace

BENCHMARK_MAIN();
