#include "rastermap/exportgrid.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "engine/engine.h"
#include "numfmt/numfmt.h"
#include "rastermap/rastererror.h"

namespace tavisol::rastermap {

const std::array<ClassEntry, 8> ClassTable = {{
    {0.4, -50}, {0.4, -50}, {0.4, -50}, {8, 0}, {0.2, 0}, {2, 0}, {0.1, 0}, {0.004, 0},
}};

const std::array<double, 17> Resolutions = {0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.3,
                                            0.4,   0.5,   0.6,   0.7,  0.8,  0.9,  1,   2};

const std::array<const char *, 13> MonthChoices = {"Average", "January", "February", "March",    "April",
                                                   "May",     "June",    "July",     "August",   "September",
                                                   "October", "November", "December"};

std::uint8_t ClassOfValue(float value, const ClassEntry &e) {
    const double t = std::floor((static_cast<double>(value) - e.Offset) / e.Scale);
    if (t < 0) return 253;
    if (t <= 250) return static_cast<std::uint8_t>(t);
    return 254;
}

int ExportMonthOf(const std::string &text, int current) {
    for (int k = 0; k < 13; ++k)
        if (text == MonthChoices[static_cast<std::size_t>(k)])
            return k == 0 ? 13 : k;
    return current;
}

int DecimalsOf(const std::string &text) {
    std::string s = text;
    for (char &c : s)
        if (c == ',') c = '.';
    const std::size_t p = s.find('.');
    const int written = p == std::string::npos ? 0 : static_cast<int>(s.size() - p - 1);
    // A number in exponent form ("5e-2") has more decimals than it shows.
    const double v = numfmt::val(s);
    char digits[400];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, v, std::chars_format::fixed);
    if (ec != std::errc() || !std::isfinite(v)) return written;
    const std::string_view fixed(digits, static_cast<std::size_t>(end - digits));
    const std::size_t point = fixed.find('.');
    const int needed = point == std::string_view::npos ? 0 : static_cast<int>(fixed.size() - point - 1);
    return std::max(written, needed);
}

double RegionValue(const std::string &text) { return numfmt::valCommaAsPoint(text); }

bool IsNumeric(const std::string &text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    if (b == e) return false;
    std::string s = text.substr(b, e - b);
    for (char &c : s)
        if (c == ',') c = '.';
    bool digit = false;
    for (char c : s)
        if (c >= '0' && c <= '9') digit = true;
        else if (c != '+' && c != '-' && c != '.' && c != 'e' && c != 'E') return false;
    if (!digit) return false;
    numfmt::Locale point;
    point.group.clear();
    return numfmt::parseRegional(s, point).has_value();
}

MapExtent ExtentOf(const Georeference &geo, int columns, int rows) {
    MapExtent x;
    PixelToLonLat(geo, 0, 0, x.West, x.North);
    PixelToLonLat(geo, static_cast<std::int16_t>(columns - 1), static_cast<std::int16_t>(rows - 1), x.East, x.South);
    return x;
}

namespace {
std::string whole(double v) { return numfmt::forcedPoint(std::floor(v), "0"); }
} // namespace

std::optional<std::string> ValidateExport(const ExportInputs &in, const MapExtent &x, float &resolution) {
    const auto r = static_cast<float>(numfmt::valCommaAsPoint(in.Resolution));
    if (!(r >= 0.001 && r <= 2.0f && r != 0.0f))
        return std::string("Resolution in decimal degrees must be in the range (2,0.001)  ");
    const double lonStart = RegionValue(in.LonStart);
    const double lonEnd = RegionValue(in.LonEnd);
    const double latStart = RegionValue(in.LatStart);
    const double latEnd = RegionValue(in.LatEnd);
    if (!(lonStart >= x.West) || !IsNumeric(in.LonStart))
        return "Start Longitude must be in the range (" + whole(x.West + 1.0) + ";" + whole(x.East) + ")  ";
    if (!(lonEnd > lonStart) || lonEnd > x.East || !IsNumeric(in.LonEnd))
        return "End Longitude must be in the range (" + in.LonStart + ";" + whole(x.East) + ")  ";
    if (!(latEnd > x.South) || !IsNumeric(in.LatEnd))
        return "End Latitude must be in the range (" + whole(x.South) + ";" + whole(x.North) + ")  ";
    if (!(latStart > latEnd) || latStart > x.North || !IsNumeric(in.LatStart))
        return "Start Latitude must be in the range (" + in.LatEnd + ";" + whole(x.North) + ")  ";
    resolution = r;
    return std::nullopt;
}

int SnapRegionTexts(const std::string &resolutionText, std::array<std::string, 4> &region) {
    std::string s = resolutionText;
    for (char &c : s)
        if (c == ',') c = '.';
    const numfmt::Locale point = numfmt::Locale::english();
    if (const double typed = numfmt::val(s); std::isfinite(typed) && numfmt::roundDecimals(typed, 3) != typed)
        s = numfmt::general(numfmt::roundDecimals(static_cast<float>(typed), 3), point);
    const int d = DecimalsOf(s);
    const double v = numfmt::val(s);
    if (v == 0) return d;
    for (std::string &t : region) {
        // Rounded to d decimals, then snapped down to a multiple of v. A
        // value on the grid stays on it: x / v may come out a hair below the
        // whole number it stands for.
        const double q = numfmt::val(numfmt::forcedPointFixed(RegionValue(t), d)) / v;
        if (!std::isfinite(q)) continue;
        double k = std::floor(q);
        if (std::fabs(q - std::round(q)) <= 1e-9 * std::max(1.0, std::fabs(q))) k = std::round(q);
        t = numfmt::general(numfmt::roundDecimals(k * v, d), point);
    }
    return d;
}

std::pair<int, int> ExportGridSize(const ExportRegion &g) {
    const float cols = (g.LonEnd - g.LonStart) / g.Resolution;
    const float rows = (g.LatStart - g.LatEnd) / g.Resolution;
    const double c = numfmt::roundHalfEven(cols);
    const double r = numfmt::roundHalfEven(rows);
    if (!(c >= 1 && r >= 1))
        throw RasterError("The region holds no whole cell at this resolution.");
    if (c > MaxExportCells || r > MaxExportCells)
        throw RasterError("The region needs more than " + std::to_string(MaxExportCells) +
                          " cells in a row or a column at this resolution.");
    return {static_cast<int>(c), static_cast<int>(r)};
}

std::string WorkingText(float lon, float lat) {
    return "Working on Lon: " + numfmt::forcedPoint(lon, "###0.0###") +
           " - Lat: " + numfmt::forcedPoint(lat, "###0.0###");
}

namespace {
std::vector<float> gridPoints(float start, float step, int count, int decimals) {
    std::vector<float> points(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const double p = static_cast<double>(start) + static_cast<double>(i) * static_cast<double>(step);
        points[static_cast<std::size_t>(i)] = static_cast<float>(numfmt::roundDecimals(p, decimals));
    }
    return points;
}
} // namespace

std::vector<float> ExportColumnLongitudes(const ExportRegion &g, int columns) {
    return gridPoints(g.LonStart, g.Resolution, columns, g.Decimals);
}

std::vector<float> ExportRowLatitudes(const ExportRegion &g, int rows) {
    return gridPoints(g.LatStart, -g.Resolution, rows, g.Decimals);
}

std::uint8_t ExportCellClass(const ExportMap &map, const ClassEntry &classes, float lon, float lat,
                             const CellEstimate &estimate) {
    std::int16_t mc = 0, mr = 0;
    LonLatToPixel(map.Geo, lon, lat, mc, mr);
    if (mc < 0 || mr < 0 || mc > map.Image->U1() || mr > map.Image->U2())
        throw RasterError("The point Lon " + numfmt::forcedPoint(lon, "###0.0###") + ", Lat " +
                          numfmt::forcedPoint(lat, "###0.0###") + " lies outside the loaded map.");
    if (map.Image->At(mc, mr) == NoDataClass)
        return NoDataClass;
    const std::optional<float> value = estimate ? estimate(lon, lat) : std::optional<float>(0.0f);
    if (!value)
        return NoDataClass;
    return ClassOfValue(*value, classes);
}

// ---- Parallel run -------------------------------------------------------------

namespace {
// Cells a worker takes at a time: few enough that the last ones spread over
// all workers, enough that the shared counter is rarely touched.
constexpr std::size_t CellBlock = 16;
} // namespace

ParallelExportRun::ParallelExportRun(const ExportRegion &region, int columns, int rows, const ClassEntry &classes,
                                     const ExportMap &map, EstimateFactory factory)
    : region_(region), columns_(columns), rows_(rows), classes_(classes), map_(map), factory_(std::move(factory)),
      lons_(ExportColumnLongitudes(region, columns)), lats_(ExportRowLatitudes(region, rows)),
      cells_(static_cast<std::size_t>(std::max(columns, 0)) * static_cast<std::size_t>(std::max(rows, 0)), 0) {}

ParallelExportRun::~ParallelExportRun() {
    Stop();
    for (std::thread &t : threads_)
        if (t.joinable()) t.join();
}

void ParallelExportRun::Start(int threads) {
    if (threads < 1) threads = static_cast<int>(engine::WorkerCount());
    const std::size_t blocks = (cells_.size() + CellBlock - 1) / CellBlock;
    threads = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(threads), std::max<std::size_t>(blocks, 1)));
    running_.store(threads);
    for (int k = 0; k < threads; ++k) {
        try {
            threads_.emplace_back([this] { work(); });
        } catch (...) {
            // The workers already started do the whole grid.
            running_.fetch_sub(threads - k);
            if (k == 0) {
                std::lock_guard<std::mutex> lock(failureMutex_);
                failure_ = std::current_exception();
            }
            break;
        }
    }
}

void ParallelExportRun::Stop() { stop_.store(true); }

bool ParallelExportRun::Wait() {
    for (std::thread &t : threads_)
        if (t.joinable()) t.join();
    {
        std::lock_guard<std::mutex> lock(failureMutex_);
        if (failure_) std::rethrow_exception(failure_);
    }
    return done_.load() == cells_.size();
}

std::pair<float, float> ParallelExportRun::CurrentPoint() const {
    if (cells_.empty()) return {region_.LonStart, region_.LatStart};
    const std::size_t i = std::min(current_.load(std::memory_order_relaxed), cells_.size() - 1);
    const auto cols = static_cast<std::size_t>(columns_);
    return {lons_[i % cols], lats_[i / cols]};
}

void ParallelExportRun::work() {
    try {
        const CellEstimate estimate = factory_ ? factory_() : CellEstimate{};
        const std::size_t n = cells_.size();
        const auto cols = static_cast<std::size_t>(columns_);
        while (!stop_.load(std::memory_order_relaxed)) {
            const std::size_t begin = next_.fetch_add(CellBlock);
            if (begin >= n) break;
            const std::size_t end = std::min(begin + CellBlock, n);
            for (std::size_t i = begin; i < end && !stop_.load(std::memory_order_relaxed); ++i) {
                current_.store(i, std::memory_order_relaxed);
                cells_[i] = ExportCellClass(map_, classes_, lons_[i % cols], lats_[i / cols], estimate);
                done_.fetch_add(1, std::memory_order_relaxed);
            }
        }
    } catch (...) {
        {
            std::lock_guard<std::mutex> lock(failureMutex_);
            if (!failure_) failure_ = std::current_exception();
        }
        stop_.store(true);
    }
    running_.fetch_sub(1);
}

ParallelExportRun::EstimateFactory EngineEstimates(engine::WorkerSetup setup, int variable, int month) {
    return [setup = std::move(setup), variable, month] {
        auto state = std::make_shared<engine::EngineState>();
        setup.Prepare(*state);
        return CellEstimate([state, variable, month](float lon, float lat) {
            return EstimateAtPoint(*state, lon, lat, variable, month);
        });
    };
}

std::optional<float> EstimateAtPoint(engine::EngineState &state, float lon, float lat, int variable, int month) {
    state.CurrentVariable = static_cast<engine::Integer>(variable);
    state.CalcLongitude = lon;
    state.CalcLatitude = lat;
    engine::Integer water = 0;
    engine::DataFiles &files = state.Files ? *state.Files : *engine::DefaultDataFiles();
    state.CalcAltitude = engine::GetElevation(files, state.DataFolder, lon, lat, water);
    if (!engine::RunRasterExportChain(state))
        return std::nullopt;
    return state.CurResult.Best[static_cast<std::size_t>(month)];
}

} // namespace tavisol::rastermap
