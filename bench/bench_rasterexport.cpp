// Speed of the raster image export: mean temperature (annual value) over a
// 500 x 500 grid of a land-heavy region of the demo map Africa (10 to 35 E,
// 30 to 5 N at 0.05 degree), on demo data made by make-demo-data into a
// temporary folder (demo_data.h). Reports cells per second with all cores
// (raster_cells_per_s) and with one worker (raster_cells_per_s_1t).
//
// TAVISOL_BENCH_RASTER_SIDE=n runs an n x n grid over the same region instead
// (for slow builds). TAVISOL_BENCH_WHOLE_MAP=1 also exports the whole Africa
// map at its own 0.05 degree cells and reports the peak memory of the process
// (peak_rss_mb).
//
// TAVISOL_BENCH_LARGEST_MAP=1 registers BM_RasterExportOfTheLargestMap: a
// small region exported from a map of the largest size a header gives (32767
// x 32767 cells, 1 GiB, Africa's georeference), the map read and shared with
// the run as the raster map window does; argument 1 copies the map for the
// run first, as the window did before.
// Counters: peak_rss_mb (the process's peak memory, getrusage; run it alone
// with --benchmark_filter) and map_mb (the map's cells).

#include <benchmark/benchmark.h>

#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "demo_data.h"
#include "engine/engine.h"
#include "engine/workers.h"
#include "rastermap/exportgrid.h"
#include "rastermap/georef.h"
#include "rastermap/rasterimage.h"

namespace {

using namespace tavisol;
using namespace tavisol::rastermap;

// The 6-byte reals through the built Vantrix library.
Real48Conversions BuiltVantrix() {
    void *lib = ::dlopen(TAVISOL_BIN_DIR "/libvantrix.so", RTLD_NOW);
    if (!lib) throw std::runtime_error(std::string("Cannot load Vantrix: ") + ::dlerror());
    auto toDouble = reinterpret_cast<VantrixReal48ToDoubleFn>(::dlsym(lib, "Real48ToDouble"));
    auto toReal = reinterpret_cast<VantrixDoubleToReal48Fn>(::dlsym(lib, "DoubleToReal48"));
    if (!toDouble || !toReal) throw std::runtime_error("Vantrix lacks its conversions");
    Real48Conversions conv;
    conv.ToDouble = [toDouble](const Real48Rec &r) { return toDouble(&r); };
    conv.ToReal48 = [toReal](double v) {
        Real48Rec r{};
        toReal(v, &r);
        return r;
    };
    return conv;
}

class DemoData {
public:
    DemoData() {
        map_ = std::make_shared<const RasterImage>(
            ReadRasterImage(bench::DemoProgramFolder() / "vistreldata" / "Africa.img"));
        geo_ = SetHeaderDoubleValues(map_->Header, BuiltVantrix());
    }
    std::filesystem::path DataFolder() const { return bench::DemoDataFolder(); }
    ExportMap Map() const { return ExportMap{map_, geo_}; }
    const RasterImage &Image() const { return *map_; }
    int Columns() const { return map_->Columns; }
    int Rows() const { return map_->Rows; }

private:
    std::shared_ptr<const RasterImage> map_;
    Georeference geo_;
};

DemoData &Data() {
    static DemoData data;
    return data;
}

int GridSide() {
    const char *side = std::getenv("TAVISOL_BENCH_RASTER_SIDE");
    const int n = side ? std::atoi(side) : 500;
    return n > 0 ? n : 500;
}

// The image of the land region's last run, to hold the next one against.
std::vector<std::uint8_t> &LastImage() {
    static std::vector<std::uint8_t> cells;
    return cells;
}

// Runs one export; returns the cells computed per second of wall time.
double Export(const ExportRegion &region, int threads, std::vector<std::uint8_t> *image = nullptr) {
    DemoData &data = Data();
    const auto [columns, rows] = ExportGridSize(region);
    ParallelExportRun run(region, columns, rows, ClassTable[0], data.Map(),
                          EngineEstimates({engine::DefaultSettings(), data.DataFolder()}, 0, 13));
    const auto start = std::chrono::steady_clock::now();
    run.Start(threads);
    if (!run.Wait()) throw std::runtime_error("export did not complete");
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    benchmark::DoNotOptimize(run.Cells().data());
    if (image) *image = run.Cells();
    return static_cast<double>(run.CellCount()) / seconds.count();
}

ExportRegion LandRegion() {
    const int side = GridSide();
    ExportRegion g;
    g.LonStart = 10;
    g.LonEnd = 35;
    g.LatStart = 30;
    g.LatEnd = 5;
    g.Resolution = 25.0f / static_cast<float>(side);
    g.Decimals = 6;
    return g;
}

void RunRegion(benchmark::State &bench, int threads, const char *counter) {
    Data();
    const ExportRegion region = LandRegion();
    double rate = 0;
    std::vector<std::uint8_t> image;
    for (auto _ : bench)
        rate = Export(region, threads, &image);
    // One worker or many, the image is the same.
    if (!LastImage().empty() && LastImage() != image)
        bench.SkipWithError("the image differs from the previous run's");
    LastImage() = image;
    bench.counters[counter] = rate;
    bench.counters["threads"] = threads > 0 ? threads : static_cast<int>(engine::WorkerCount());
}

void BM_RasterExportAllCores(benchmark::State &bench) { RunRegion(bench, 0, "raster_cells_per_s"); }
void BM_RasterExportOneThread(benchmark::State &bench) { RunRegion(bench, 1, "raster_cells_per_s_1t"); }

// The largest demo map whole, at its own cells.
void BM_RasterExportWholeMap(benchmark::State &bench) {
    DemoData &data = Data();
    const ExportRegion region{-20.0f, -20.0f + 0.05f * static_cast<float>(data.Columns()), 38.0f,
                              38.0f - 0.05f * static_cast<float>(data.Rows()), 0.05f, 2};
    double rate = 0;
    for (auto _ : bench)
        rate = Export(region, 0);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    bench.counters["raster_cells_per_s"] = rate;
    bench.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The largest map a header gives, Africa's georeference and its cells all 0
// (a sparse file), made once in a temporary folder and removed at exit.
struct LargestMap {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tavisol_bench_largemap_" + std::to_string(::getpid()));
    std::filesystem::path file = folder / "large.img";
    LargestMap() {
        std::filesystem::create_directories(folder);
        ImageHeader header = Data().Image().Header;
        header.Rows = 32767;
        header.Columns = 32767;
        const HeaderBytes bytes = SerializeHeader(header);
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        std::filesystem::resize_file(file, bytes.size() + 32767ull * 32767ull);
    }
    ~LargestMap() { std::filesystem::remove_all(folder); }
};

void BM_RasterExportOfTheLargestMap(benchmark::State &bench) {
    static LargestMap largest;
    const bool copied = bench.range(0) == 1;
    ExportRegion region{10, 11, 30, 29, 0.05f, 2};
    const auto [columns, rows] = ExportGridSize(region);
    double mapMb = 0;
    for (auto _ : bench) {
        std::shared_ptr<const RasterImage> map = std::make_shared<const RasterImage>(ReadRasterImage(largest.file));
        mapMb = static_cast<double>(map->Cells.size()) / (1 << 20);
        const Georeference geo = SetHeaderDoubleValues(map->Header, BuiltVantrix());
        if (copied) map = std::make_shared<const RasterImage>(RasterImage(*map));
        ParallelExportRun run(region, columns, rows, ClassTable[0], ExportMap{map, geo},
                              EngineEstimates({engine::DefaultSettings(), Data().DataFolder()}, 0, 13));
        run.Start(0);
        if (!run.Wait()) throw std::runtime_error("export did not complete");
        benchmark::DoNotOptimize(run.Cells().data());
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    bench.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    bench.counters["map_mb"] = mapMb;
}

const bool registered = [] {
    benchmark::RegisterBenchmark("BM_RasterExportAllCores", BM_RasterExportAllCores)
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_RasterExportOneThread", BM_RasterExportOneThread)
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    if (const char *largest = std::getenv("TAVISOL_BENCH_LARGEST_MAP"); largest && std::string(largest) == "1")
        benchmark::RegisterBenchmark("BM_RasterExportOfTheLargestMap", BM_RasterExportOfTheLargestMap)
            ->Arg(0)
            ->Arg(1)
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    if (const char *whole = std::getenv("TAVISOL_BENCH_WHOLE_MAP"); whole && std::string(whole) == "1")
        benchmark::RegisterBenchmark("BM_RasterExportWholeMap", BM_RasterExportWholeMap)
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
