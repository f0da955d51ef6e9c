#include "worldmap/shapefile.h"

#include <cmath>
#include <limits>

#include "numfmt/numfmt.h"
#include "numfmt/textread.h"
#include "worldmap/mapmath.h"

namespace tavisol::worldmap {

namespace {

bool fitsSingle(double v) {
    return std::isfinite(v) && std::fabs(v) <= static_cast<double>(std::numeric_limits<float>::max());
}

} // namespace

StretchPacer::StretchPacer(std::size_t textBytes, std::function<void()> step)
    : left_(textBytes), step_(std::move(step)) {}

void StretchPacer::at(std::size_t bytesLeft) {
    if (!step_ || left_ - bytesLeft < ShapeTextStretchBytes)
        return;
    left_ = bytesLeft;
    step_();
}

ShapeReadResult ReadShapeText(std::string_view text, ShapeKind kind, float W, float H,
                              const std::function<void()> &eachStretch) {
    ShapeReadResult result;
    ShapeList &shapes = result.Shapes;
    MapPoint lastKept; // survives headers on purpose: see ShapeKind::Boundaries
    // Walked a line at a time: a file of blank lines costs no more than its bytes.
    std::string_view rest = numfmt::TextOfFile(text).text;
    StretchPacer pacer(rest.size(), eachStretch);
    std::string_view line;
    for (std::size_t i = 0; numfmt::TakeTextLine(rest, line); ++i) {
        pacer.at(rest.size());
        if (!line.empty() && line.front() == '"') {
            MapShape shape;
            shape.Name = std::string(line.substr(0, line.find(',')));
            shapes.push_back(std::move(shape));
            continue;
        }
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos)
            continue; // fewer than two fields
        const std::size_t comma2 = line.find(',', comma + 1);
        const double lon = numfmt::val(line.substr(0, comma));
        const double lat = numfmt::val(
            line.substr(comma + 1, comma2 == std::string_view::npos ? std::string_view::npos
                                                                     : comma2 - comma - 1));
        if (shapes.size() < 2) {
            result.Error = "line " + std::to_string(i + 1) + ": a point comes before the first shape header.";
            return result;
        }
        double x = ProjectX(lon, W);
        double y = ProjectY(lat, H);
        if (kind == ShapeKind::Boundaries) {
            x = std::floor(x);
            y = std::floor(y);
        }
        if (!fitsSingle(x) || !fitsSingle(y)) {
            result.Error = "line " + std::to_string(i + 1) + ": a coordinate is out of range.";
            return result;
        }
        const MapPoint p{static_cast<float>(x), static_cast<float>(y)};
        if (kind == ShapeKind::Boundaries) {
            if (p == lastKept)
                continue;
            lastKept = p;
        }
        shapes.back().Points.push_back(p);
    }
    return result;
}

std::optional<std::string> ReadShapeFileBytes(const std::filesystem::path &file, std::string &bytes) {
    if (auto failure = numfmt::ReadWholeFile(file, MaxShapeFileBytes, bytes,
                                             numfmt::LargerThanAny("shape file", file, MaxShapeFileBytes)))
        return failure;
    if (numfmt::TextOfFile(bytes).text.find('\0') != std::string_view::npos) {
        bytes.clear();
        return "The shape file " + file.string() + " is no text file: it holds NUL bytes.";
    }
    return std::nullopt;
}

ShapeReadResult ReadShapeFile(const std::filesystem::path &file, ShapeKind kind, float W, float H,
                              const std::function<void()> &eachStretch) {
    std::string text;
    if (auto failure = ReadShapeFileBytes(file, text)) {
        ShapeReadResult result;
        result.Error = *failure;
        return result;
    }
    ShapeReadResult result = ReadShapeText(text, kind, W, H, eachStretch);
    if (!result.ok())
        result.Error = file.filename().string() + ", " + result.Error;
    return result;
}

} // namespace tavisol::worldmap
