// Time of the location-results chain (all eight variables at the default
// point) over a generated data folder of 30000 stations per variable.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>

#include "engine/engine.h"

namespace {

using namespace tavisol::engine;

constexpr int StationsPerVariable = 30000;

class GeneratedData {
public:
    GeneratedData() {
        folder_ = std::filesystem::temp_directory_path() / ("tavisol_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        EngineState defaults;
        SetInitialValues(defaults);
        std::mt19937 rng(20261209);
        std::uniform_real_distribution<double> unit(0, 1);
        for (Integer v = 0; v <= 7; ++v) {
            const auto names = StationFileNames(v, defaults.CalcLatitude, defaults.CalcLongitude);
            const int perFile = StationsPerVariable / static_cast<int>(names.size());
            for (const std::string &name : names) {
                std::ofstream out(folder_ / name, std::ios::binary);
                char line[512];
                for (int i = 0; i < perFile; ++i) {
                    // One station in fifty near the point, the rest anywhere.
                    double lat, lon;
                    if (i % 50 == 0) {
                        lat = defaults.CalcLatitude + (unit(rng) - 0.5) * 10;
                        lon = defaults.CalcLongitude + (unit(rng) - 0.5) * 14;
                    } else {
                        lat = std::asin(2 * unit(rng) - 1) * 180 / 3.141592653589793;
                        lon = unit(rng) * 360 - 180;
                    }
                    const double alt = i % 37 == 0 ? 9999 : unit(rng) * 2500;
                    int n = std::snprintf(line, sizeof line, "%.4f,%.4f,%.0f", lat, lon, alt);
                    for (int m = 1; m <= 12; ++m)
                        n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), ",%.1f",
                                           10 + 10 * unit(rng) + m);
                    std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n),
                                  ",\"Station %d, %d\",\"Country\"\r\n", i, v);
                    out << line;
                }
            }
        }
    }
    ~GeneratedData() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    const std::filesystem::path &folder() const { return folder_; }

private:
    std::filesystem::path folder_;
};

void BM_LocationResultsChain(benchmark::State &bench) {
    static GeneratedData data;
    EngineState state;
    state.UseSettings(DefaultSettings());
    SetInitialValues(state);
    state.DataFolder = data.folder();
    for (auto _ : bench) {
        for (Integer v = 0; v <= 7; ++v) {
            RunLocationResultsChain(state, v);
            benchmark::DoNotOptimize(state.CurResult.Best[13]);
        }
    }
    // Reported as time per estimate of one variable.
    bench.counters["per_estimate"] =
        benchmark::Counter(8, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_LocationResultsChain)->Unit(benchmark::kMillisecond);

} // namespace
