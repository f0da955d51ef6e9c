// The estimates a user waits for, on the demo data: View Data (all eight
// variables at the current location, as the location results window runs
// them) and the workbench's re-estimate after a neighbour was switched off or
// on. Counters in milliseconds per run: view_data_ms, reestimate_ms.

#include <benchmark/benchmark.h>

#include <chrono>
#include <utility>
#include <vector>

#include "demo_data.h"
#include "engine/engine.h"
#include "results/storedresults.h"
#include "shell/appstate.h"
#include "shell/programfolders.h"
#include "shell/sharedsettings.h"
#include "workbench/model.h"

namespace {

using namespace tavisol;
using Clock = std::chrono::steady_clock;

// The start-up location "East of Rome".
constexpr float StartLongitude = 13.01f;
constexpr float StartLatitude = 41.99f;
constexpr float StartAltitude = 17.0f;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

engine::EngineState ResultsWindowState() {
    engine::EngineState state;
    engine::SetInitialValues(state);
    state.UseSettings(engine::DefaultSettings());
    state.DataFolder = bench::DemoDataFolder();
    return state;
}

// View Data as the first run after start: nothing read yet.
void BM_ViewDataFirstRun(benchmark::State &b) {
    engine::EngineState state = ResultsWindowState();
    results::LocationResults stored;
    double total = 0;
    for (auto _ : b) {
        state.Files = std::make_shared<engine::CachingDataFiles>();
        const auto start = Clock::now();
        const auto outcome = results::RunLocationEstimate(stored, state, StartLongitude, StartLatitude, StartAltitude);
        total += Milliseconds(Clock::now() - start);
        if (!outcome.ok)
            b.SkipWithError(outcome.error.c_str());
    }
    b.counters["view_data_first_ms"] = benchmark::Counter(total, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ViewDataFirstRun)->Unit(benchmark::kMillisecond);

// View Data with the station files already read (one run before timing).
void BM_ViewData(benchmark::State &b) {
    engine::EngineState state = ResultsWindowState();
    results::LocationResults stored;
    results::RunLocationEstimate(stored, state, StartLongitude, StartLatitude, StartAltitude);
    double total = 0;
    for (auto _ : b) {
        const auto start = Clock::now();
        const auto outcome = results::RunLocationEstimate(stored, state, StartLongitude, StartLatitude, StartAltitude);
        total += Milliseconds(Clock::now() - start);
        if (!outcome.ok)
            b.SkipWithError(outcome.error.c_str());
        benchmark::DoNotOptimize(stored[0].Result.Best[13]);
    }
    b.counters["view_data_ms"] = benchmark::Counter(total, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_ViewData)->Unit(benchmark::kMillisecond);

// The workbench on mean temperature at the start-up location; each iteration
// switches neighbour 3 off or back on, as a click on its check box does.
void BM_WorkbenchReestimate(benchmark::State &b) {
    setProgramFolderForTesting(bench::DemoProgramFolder());
    ResetAppState();
    AppState &app = appState();
    app.CurLongitude = StartLongitude;
    app.CurLatitude = StartLatitude;
    app.CurElevation = StartAltitude;
    SetSharedSettings(engine::DefaultSettings());
    workbench::WorkbenchModel model;
    model.Load();
    if (model.State.NeighbourCount < 3) {
        b.SkipWithError("no neighbours at the start-up location");
        return;
    }
    bool active = true;
    double total = 0;
    for (auto _ : b) {
        active = !active;
        const auto start = Clock::now();
        model.ToggleNeighbour(3, active);
        total += Milliseconds(Clock::now() - start);
        benchmark::DoNotOptimize(model.State.CurResult.Best[13]);
    }
    b.counters["reestimate_ms"] = benchmark::Counter(total, benchmark::Counter::kAvgIterations);
    setProgramFolderForTesting({});
}
BENCHMARK(BM_WorkbenchReestimate)->Unit(benchmark::kMillisecond);

// One estimate of mean temperature (the raster export's chain) at points
// around the demo stations, files already read; argument 1: the plain steps
// with files read at every estimate, as before they were kept.
void BM_EstimateNearStations(benchmark::State &b) {
    engine::EngineState state = ResultsWindowState();
    if (b.range(0) == 1) {
        state.PlainSteps = true;
        state.Files = std::make_shared<engine::PlainDataFiles>();
    }
    engine::PlainDataFiles plain;
    const auto stations = plain.ReadStationFile(bench::DemoDataFolder() / "max.txt", engine::MaxStationRecords);
    std::vector<std::pair<float, float>> points;
    for (std::size_t i = 0; i < stations->size(); i += 37)
        points.emplace_back((*stations)[i].Longitude + 0.3f, (*stations)[i].Latitude - 0.2f);
    std::size_t next = 0;
    double total = 0;
    for (auto _ : b) {
        state.CurrentVariable = 0;
        state.CalcLongitude = points[next].first;
        state.CalcLatitude = points[next].second;
        next = (next + 1) % points.size();
        const auto start = Clock::now();
        engine::RunRasterExportChain(state);
        total += std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        benchmark::DoNotOptimize(state.CurResult.Best[13]);
    }
    b.counters["estimate_us"] = benchmark::Counter(total, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_EstimateNearStations)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same estimates on worker threads, each with its own state and no
// callbacks, all sharing the program's reader (DefaultDataFiles).
void BM_EstimatesOnThreads(benchmark::State &b) {
    engine::EngineState state;
    engine::SetInitialValues(state);
    state.DataFolder = bench::DemoDataFolder();
    static const std::vector<std::pair<float, float>> points = [] {
        engine::PlainDataFiles plain;
        const auto stations = plain.ReadStationFile(bench::DemoDataFolder() / "max.txt", engine::MaxStationRecords);
        std::vector<std::pair<float, float>> p;
        for (std::size_t i = 0; i < stations->size(); i += 37)
            p.emplace_back((*stations)[i].Longitude + 0.3f, (*stations)[i].Latitude - 0.2f);
        return p;
    }();
    std::size_t next = static_cast<std::size_t>(b.thread_index()) * 7;
    for (auto _ : b) {
        state.CurrentVariable = 0;
        state.CalcLongitude = points[next % points.size()].first;
        state.CalcLatitude = points[next % points.size()].second;
        ++next;
        engine::RunRasterExportChain(state);
        benchmark::DoNotOptimize(state.CurResult.Best[13]);
    }
    b.counters["estimates_per_s"] = benchmark::Counter(static_cast<double>(b.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EstimatesOnThreads)->Threads(1)->Threads(8)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
