// Files at the limits of their readers: what reading one costs in time and
// memory, by what the file holds.
//   BM_BoundariesOfBlankLines: a raster map's boundary file of one name and
//     60 MB of blank lines (within the shape files' 64 MiB limit), read as the
//     raster window reads it; counter `events`: rounds of window events.
//   BM_WorldBoundariesOfBlankLines: the same file through the world map's reader.
//   BM_BoundariesOfNamesOnly: a raster map's boundary file at the shape files'
//     limit made of names alone (a quotation mark and a line end, 32 million
//     times); counters `shapes`, `held_mb` (what the shapes hold) and
//     `peak_rss_mb`.
//   BM_WorldBoundariesOfNamesOnly: the same file through the world map's reader.
//   BM_LocationListAtItsLimit: a location list of 32 MiB of three-number lines
//     (about 4.8 million), read as "Set Locations from File" reads it;
//     counter `rows`: the rows the list got.
//   BM_LocationListOfSkippedLines: 32 MiB of lines that are all skipped, read
//     on without a message for each.
//   BM_RasterImageOfTheLargestHeader: an image whose header gives 32767 x 32767
//     cells (a sparse file of 1 GiB), read as the raster window loads a map;
//     counter `peak_rss_mb`: the process's peak memory afterwards.
// The files are made in a temporary folder and removed at exit.

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "batch/locations.h"
#include "rastermap/mapfiles.h"
#include "rastermap/rasterimage.h"
#include "worldmap/shapefile.h"

namespace {

using namespace tavisol;
namespace fs = std::filesystem;

struct Folder {
    fs::path path = fs::temp_directory_path() / ("tavisol_bench_readers_" + std::to_string(::getpid()));
    Folder() { fs::create_directories(path); }
    ~Folder() { fs::remove_all(path); }
};

Folder &Files() {
    static Folder folder;
    return folder;
}

fs::path Made(const char *name, const std::string &bytes) {
    const fs::path file = Files().path / name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

std::string BlankBoundaries() { return "\"Only\",\"A\",1\r\n" + std::string(60'000'000, '\n'); }

void BM_BoundariesOfBlankLines(benchmark::State &state) {
    const fs::path file = Made("blank.bnd", BlankBoundaries());
    double events = 0;
    for (auto _ : state) {
        const rastermap::ShapeReadResult r = rastermap::ReadShapes(file, [&events] { ++events; });
        benchmark::DoNotOptimize(r.Shapes.allPoints().data());
    }
    state.counters["events"] = benchmark::Counter(events, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_BoundariesOfBlankLines)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WorldBoundariesOfBlankLines(benchmark::State &state) {
    const fs::path file = Made("blank.bna", BlankBoundaries());
    double events = 0;
    for (auto _ : state) {
        const worldmap::ShapeReadResult r =
            worldmap::ReadShapeFile(file, worldmap::ShapeKind::Boundaries, 4320, 2160, [&events] { ++events; });
        benchmark::DoNotOptimize(r.Shapes.allPoints().data());
    }
    state.counters["events"] = benchmark::Counter(events, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WorldBoundariesOfBlankLines)->Unit(benchmark::kMillisecond)->Iterations(1);

// The shape files' limit filled with names alone.
std::string ManyNames() {
    std::string text;
    text.reserve(worldmap::MaxShapeFileBytes);
    while (text.size() + 2 <= worldmap::MaxShapeFileBytes)
        text += "\"\n";
    return text;
}

double PeakRssMb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_BoundariesOfNamesOnly(benchmark::State &state) {
    const fs::path file = Made("names.bnd", ManyNames());
    double shapes = 0, held = 0;
    for (auto _ : state) {
        const rastermap::ShapeReadResult r = rastermap::ReadShapes(file);
        shapes = static_cast<double>(r.Shapes.size());
        held = static_cast<double>(r.Shapes.heldBytes()) / (1 << 20);
    }
    state.counters["shapes"] = shapes;
    state.counters["held_mb"] = held;
    state.counters["peak_rss_mb"] = PeakRssMb();
}
BENCHMARK(BM_BoundariesOfNamesOnly)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WorldBoundariesOfNamesOnly(benchmark::State &state) {
    const fs::path file = Made("names.bna", ManyNames());
    double shapes = 0, held = 0;
    for (auto _ : state) {
        const worldmap::ShapeReadResult r =
            worldmap::ReadShapeFile(file, worldmap::ShapeKind::Boundaries, 4320, 2160, [] {});
        shapes = static_cast<double>(r.Shapes.size());
        held = static_cast<double>(r.Shapes.heldBytes()) / (1 << 20);
    }
    state.counters["shapes"] = shapes;
    state.counters["held_mb"] = held;
    state.counters["peak_rss_mb"] = PeakRssMb();
}
BENCHMARK(BM_WorldBoundariesOfNamesOnly)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_LocationListAtItsLimit(benchmark::State &state) {
    std::string text;
    while (text.size() + 7 <= 32u << 20)
        text += "1,2,3\r\n";
    const fs::path file = Made("big.csv", text);
    double rows = 0;
    for (auto _ : state) {
        rows = 0;
        const auto failure = batch::ReadLocationFile(
            file, [](float, float) { return 0; }, numfmt::Locale::english(), [](const Message &) { return true; },
            [&rows](const batch::ListEntry &) { ++rows; });
        benchmark::DoNotOptimize(failure);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_LocationListAtItsLimit)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same size of lines that are all skipped (the user reads on without a
// message for each).
void BM_LocationListOfSkippedLines(benchmark::State &state) {
    std::string text;
    while (text.size() + 3 <= 32u << 20)
        text += "x\r\n";
    const fs::path file = Made("skipped.csv", text);
    for (auto _ : state) {
        const auto failure = batch::ReadLocationFile(
            file, [](float, float) { return 0; }, numfmt::Locale::english(), [](const Message &) { return true; },
            [](const batch::ListEntry &) {});
        benchmark::DoNotOptimize(failure);
    }
}
BENCHMARK(BM_LocationListOfSkippedLines)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_RasterImageOfTheLargestHeader(benchmark::State &state) {
    const fs::path file = Files().path / "large.img";
    rastermap::ImageHeader header;
    header.Rows = 32767;
    header.Columns = 32767;
    const rastermap::HeaderBytes bytes = rastermap::SerializeHeader(header);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()), bytes.size());
    fs::resize_file(file, bytes.size() + 32767ull * 32767ull);
    for (auto _ : state) {
        const rastermap::RasterImage image = rastermap::ReadRasterImage(file);
        benchmark::DoNotOptimize(image.Cells.data());
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_RasterImageOfTheLargestHeader)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
