#include "worldmap/shapefile.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "numfmt/numfmt.h"
#include "numfmt/textfile.h"
#include "numfmt/textread.h"
#include "worldmap/mapmath.h"

namespace tavisol::worldmap {

namespace {

bool fitsSingle(double v) {
    return std::isfinite(v) && std::fabs(v) <= static_cast<double>(std::numeric_limits<float>::max());
}

// Offsets are 32 bits: the shape files' size limit keeps them far below that.
std::uint32_t offset(std::size_t n) {
    if (n > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("Too many shapes");
    return static_cast<std::uint32_t>(n);
}

bool isHeader(std::string_view line) { return !line.empty() && line.front() == '"'; }

// A header's name: the text before its first comma, quotation marks kept.
std::string_view headerName(std::string_view line) { return line.substr(0, line.find(',')); }

// The name kept in UTF-8, into `out` (reused from name to name).
void nameInUtf8(std::string_view raw, bool utf8, std::string &out) {
    out.clear();
    for (const char c : raw) {
        const auto b = static_cast<unsigned char>(c);
        if (utf8 || b < 0x80) out += c;
        else numfmt::appendUtf8(out, numfmt::fromCp1252(b));
    }
}

// What the text asks of a set, so that it is allocated once at its size.
struct ShapeTextSize {
    std::size_t shapes = 0, points = 0, nameBytes = 0;
};

// `pacer` counts this walk and the reading's: `after` bytes follow it.
ShapeTextSize sizeOfShapeText(std::string_view rest, bool utf8, StretchPacer &pacer) {
    ShapeTextSize size;
    const std::size_t after = rest.size();
    std::string_view line;
    while (numfmt::TakeTextLine(rest, line)) {
        pacer.at(rest.size() + after);
        if (isHeader(line)) {
            ++size.shapes;
            const std::string_view name = headerName(line);
            size.nameBytes += name.size();
            if (!utf8)  // a Windows-1252 byte takes up to three in UTF-8
                for (const char c : name)
                    if (static_cast<unsigned char>(c) >= 0x80) size.nameBytes += 2;
        } else if (line.find(',') != std::string_view::npos) {
            ++size.points;
        }
    }
    return size;
}

} // namespace

std::string_view ShapeSet::name(std::size_t shape) const {
    const std::size_t begin = shape == 0 ? 0 : nameEnds_[shape - 1];
    return std::string_view(names_).substr(begin, nameEnds_[shape] - begin);
}

std::span<const MapPoint> ShapeSet::points(std::size_t shape) const {
    const std::size_t begin = shape == 0 ? 0 : pointEnds_[shape - 1];
    return std::span<const MapPoint>(points_).subspan(begin, pointEnds_[shape] - begin);
}

void ShapeSet::reserve(std::size_t shapes, std::size_t points, std::size_t nameBytes) {
    names_.reserve(nameBytes);
    nameEnds_.reserve(shapes);
    pointEnds_.reserve(shapes);
    points_.reserve(points);
}

void ShapeSet::addShape(std::string_view name, std::initializer_list<MapPoint> points) {
    names_.append(name);
    nameEnds_.push_back(offset(names_.size()));
    pointEnds_.push_back(offset(points_.size()));
    for (const MapPoint &p : points)
        addPoint(p);
}

void ShapeSet::addPoint(MapPoint p) {
    points_.push_back(p);
    pointEnds_.back() = offset(points_.size());
}

std::size_t ShapeSet::heldBytes() const {
    return names_.capacity() + (nameEnds_.capacity() + pointEnds_.capacity()) * sizeof(std::uint32_t) +
           points_.capacity() * sizeof(MapPoint);
}

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
    ShapeSet &shapes = result.Shapes;
    MapPoint lastKept; // survives headers on purpose: see ShapeKind::Boundaries
    const numfmt::FileText file = numfmt::TextOfFile(text);
    // Walked a line at a time: a file of blank lines costs no more than its bytes.
    std::string_view rest = file.text;
    StretchPacer pacer(2 * rest.size(), eachStretch);
    const ShapeTextSize size = sizeOfShapeText(rest, file.utf8, pacer);
    shapes.reserve(size.shapes, size.points, size.nameBytes);
    std::string name;
    std::string_view line;
    for (std::size_t i = 0; numfmt::TakeTextLine(rest, line); ++i) {
        pacer.at(rest.size());
        if (isHeader(line)) {
            nameInUtf8(headerName(line), file.utf8, name);
            shapes.addShape(name);
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
        if (shapes.empty()) {
            result.Error = "line " + std::to_string(i + 1) + ": a point comes before the first shape header.";
            return result;
        }
        if (kind == ShapeKind::Degrees) {
            shapes.addPoint({numfmt::toSingle(lon), numfmt::toSingle(lat)});
            continue;
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
        shapes.addPoint(p);
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
