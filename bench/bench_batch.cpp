// Estimates per second of the own-format batch run over a grid of locations
// on the demo data, with one worker per core (counter batch_estimates_per_s)
// and on the run's own thread (batch_estimates_per_s_plain, over a tenth of
// the locations, for comparison).
// The demo data are made by make-demo-data into a temporary folder
// (demo_data.h).
// TAVISOL_BENCH_LOCATIONS sets the number of locations (default 10000).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "demo_data.h"
#include "batch/runs.h"
#include "engine/state.h"
#include "engine/workers.h"

namespace {

using namespace tavisol;

int LocationCount() {
    const char *text = std::getenv("TAVISOL_BENCH_LOCATIONS");
    return text ? std::max(1, std::atoi(text)) : 10000;
}

// A square grid over Europe, land and sea, as the grid dialog lays it out.
batch::LocationList Grid(int count) {
    const int side = std::max(1, static_cast<int>(std::lround(std::sqrt(count))));
    batch::LocationList list;
    const numfmt::Locale english = numfmt::Locale::english();
    for (int i = 0; i < side; ++i)
        for (int j = 0; j < side; ++j)
            list.push_back(batch::GridEntry(-10.0f + 40.0f * static_cast<float>(j) / static_cast<float>(side),
                                            35.0f + 25.0f * static_cast<float>(i) / static_cast<float>(side), 0,
                                            english));
    return list;
}

void RunBatch(benchmark::State &bench, unsigned workers, int locations, const char *counter) {
    const batch::LocationList list = Grid(locations);
    batch::RunHost host;
    batch::BatchChoices choices;
    choices.Variables.fill(true);
    choices.Outputs[static_cast<int>(batch::Output::Best)] = true;
    choices.Outputs[static_cast<int>(batch::Output::High)] = true;
    choices.Outputs[static_cast<int>(batch::Output::Error)] = true;
    choices.ConfidenceLevel = ConfidenceLevel::P90;
    choices.UseDem = true;
    host.Choices = [choices] { return choices; };
    host.Workers = workers;
    const std::filesystem::path out = bench::DemoProgramFolder() / "out";
    int run = 0;
    double estimates = 0;
    double cpuSeconds = 0; // of the whole process, workers included
    for (auto _ : bench) {
        bench.PauseTiming();
        std::filesystem::remove_all(out);
        std::filesystem::create_directories(out);
        engine::EngineState state;
        engine::SetInitialValues(state);
        state.DataFolder = bench::DemoDataFolder();
        bench.ResumeTiming();
        const std::clock_t cpu = std::clock();
        const batch::RunEnd end = batch::RunOwnFormat(state, list, out, {2026, 12, 9, 0, 0, run++ % 60}, host);
        if (end != batch::RunEnd::Completed)
            bench.SkipWithError("the batch run did not complete");
        cpuSeconds += static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
        estimates += 8.0 * static_cast<double>(list.size());
    }
    // CPU time per estimate over all threads: what the rate would be on idle
    // cores (workers / this), whatever else the machine runs.
    bench.counters["cpu_ms_per_estimate"] = estimates > 0 ? 1000 * cpuSeconds / estimates : 0;
    bench.counters[counter] = benchmark::Counter(estimates, benchmark::Counter::kIsRate);
    bench.counters["locations"] = static_cast<double>(list.size());
    bench.counters["workers"] = workers;
}

// TAVISOL_BENCH_WORKERS sets the number of workers (default one per core).
unsigned BenchWorkers() {
    const char *text = std::getenv("TAVISOL_BENCH_WORKERS");
    return text ? static_cast<unsigned>(std::max(1, std::atoi(text))) : engine::WorkerCount();
}

void BM_BatchOwnFormat(benchmark::State &bench) {
    RunBatch(bench, BenchWorkers(), LocationCount(), "batch_estimates_per_s");
}
// The plain path over a tenth of the grid: one thread takes long.
void BM_BatchOwnFormatPlain(benchmark::State &bench) {
    RunBatch(bench, 0, std::max(1, LocationCount() / 10), "batch_estimates_per_s_plain");
}

} // namespace

BENCHMARK(BM_BatchOwnFormat)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_BatchOwnFormatPlain)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
