#include "rastermap/rasterimage.h"

#include <cstring>
#include <fstream>
#include <system_error>

#include "rastermap/rastererror.h"

namespace tavisol::rastermap {

namespace {

template <std::size_t N>
void put(HeaderBytes &out, std::size_t offset, const std::array<std::uint8_t, N> &bytes) {
    std::memcpy(out.data() + offset, bytes.data(), N);
}
template <std::size_t N>
void get(const HeaderBytes &in, std::size_t offset, std::array<std::uint8_t, N> &bytes) {
    std::memcpy(bytes.data(), in.data() + offset, N);
}

void putInt16(HeaderBytes &out, std::size_t offset, std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    out[offset] = static_cast<std::uint8_t>(u & 0xFF);
    out[offset + 1] = static_cast<std::uint8_t>(u >> 8);
}
std::int16_t getInt16(const HeaderBytes &in, std::size_t offset) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(in[offset] | (in[offset + 1] << 8)));
}

void putReal(HeaderBytes &out, std::size_t offset, const Real48Rec &r) {
    out[offset] = r.Exp;
    out[offset + 1] = static_cast<std::uint8_t>(r.Lo & 0xFF);
    out[offset + 2] = static_cast<std::uint8_t>(r.Lo >> 8);
    out[offset + 3] = static_cast<std::uint8_t>(r.Mid & 0xFF);
    out[offset + 4] = static_cast<std::uint8_t>(r.Mid >> 8);
    out[offset + 5] = r.Hi;
}
Real48Rec getReal(const HeaderBytes &in, std::size_t offset) {
    Real48Rec r{};
    r.Exp = in[offset];
    r.Lo = static_cast<std::uint16_t>(in[offset + 1] | (in[offset + 2] << 8));
    r.Mid = static_cast<std::uint16_t>(in[offset + 3] | (in[offset + 4] << 8));
    r.Hi = in[offset + 5];
    return r;
}

std::string name(const std::filesystem::path &p) { return p.string(); }

} // namespace

HeaderBytes SerializeHeader(const ImageHeader &h) {
    HeaderBytes out{};
    put(out, 0, h.Reserved0);
    put(out, 22, h.Carry22);
    put(out, 24, h.Reserved24);
    putInt16(out, 30, h.Rows);
    putInt16(out, 32, h.Columns);
    put(out, 34, h.Reserved34);
    std::memcpy(out.data() + 38, h.Title.data(), h.Title.size());
    put(out, 118, h.Reserved118);
    putReal(out, 120, h.CentreLatitude);
    putReal(out, 126, h.CentreLongitude);
    putReal(out, 132, h.CentreColumn);
    putReal(out, 138, h.CentreRow);
    putReal(out, 144, h.CellWidth);
    putReal(out, 150, h.CellHeight);
    putReal(out, 156, h.CarryReal156);
    putReal(out, 162, h.CarryReal162);
    put(out, 168, h.Carry168);
    putReal(out, 171, h.ClassScale);
    putReal(out, 177, h.ClassOffset);
    out[183] = h.Carry183;
    put(out, 184, h.Reserved184);
    return out;
}

ImageHeader ParseHeader(const HeaderBytes &in) {
    ImageHeader h;
    get(in, 0, h.Reserved0);
    get(in, 22, h.Carry22);
    get(in, 24, h.Reserved24);
    h.Rows = getInt16(in, 30);
    h.Columns = getInt16(in, 32);
    get(in, 34, h.Reserved34);
    std::memcpy(h.Title.data(), in.data() + 38, h.Title.size());
    get(in, 118, h.Reserved118);
    h.CentreLatitude = getReal(in, 120);
    h.CentreLongitude = getReal(in, 126);
    h.CentreColumn = getReal(in, 132);
    h.CentreRow = getReal(in, 138);
    h.CellWidth = getReal(in, 144);
    h.CellHeight = getReal(in, 150);
    h.CarryReal156 = getReal(in, 156);
    h.CarryReal162 = getReal(in, 162);
    get(in, 168, h.Carry168);
    h.ClassScale = getReal(in, 171);
    h.ClassOffset = getReal(in, 177);
    h.Carry183 = in[183];
    get(in, 184, h.Reserved184);
    return h;
}

RasterImage ReadRasterImage(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw RasterError("File not found: " + name(path));
    HeaderBytes bytes{};
    in.read(reinterpret_cast<char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(bytes.size()))
        throw RasterError("The raster image " + name(path) + " is shorter than its 512-byte header.");
    RasterImage image;
    image.Header = ParseHeader(bytes);
    image.Columns = image.Header.Columns;
    image.Rows = image.Header.Rows;
    if (image.Columns < 1 || image.Rows < 1)
        throw RasterError("The raster image " + name(path) + " gives " + std::to_string(image.Rows) +
                          " rows and " + std::to_string(image.Columns) +
                          " columns; it needs at least one of each.");
    const std::size_t count = static_cast<std::size_t>(image.Columns) * static_cast<std::size_t>(image.Rows);
    image.Cells.resize(count);
    in.read(reinterpret_cast<char *>(image.Cells.data()), static_cast<std::streamsize>(count));
    if (static_cast<std::size_t>(in.gcount()) != count)
        throw RasterError("The raster image " + name(path) + " holds fewer cells than its header gives (" +
                          std::to_string(image.Rows) + " rows of " + std::to_string(image.Columns) +
                          " columns).");
    return image;
}

void WriteRasterImage(const std::filesystem::path &path, const ImageHeader &header,
                      const std::vector<std::uint8_t> &cells) {
    std::filesystem::path temp = path;
    temp += ".tmp~";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            throw RasterError("Cannot write the file " + name(path) + ".");
        const HeaderBytes bytes = SerializeHeader(header);
        out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.write(reinterpret_cast<const char *>(cells.data()), static_cast<std::streamsize>(cells.size()));
        out.close();
        if (!out) {
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            throw RasterError("Cannot write the file " + name(path) + ".");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw RasterError("Cannot write the file " + name(path) + ": " + ec.message() + ".");
    }
}

} // namespace tavisol::rastermap
