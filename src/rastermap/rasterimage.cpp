#include "rastermap/rasterimage.h"

#include <algorithm>
#include <cstring>

#include "numfmt/bytefile.h"
#include "numfmt/textread.h"
#include "rastermap/rastererror.h"

namespace tavisol::rastermap {

namespace {

// Writes each kind of header field at its offset, little-endian.
struct HeaderWriter {
    HeaderBytes &out;
    template <class T, std::size_t N>
    void operator()(std::size_t offset, const std::array<T, N> &bytes) const {
        static_assert(sizeof(T) == 1);
        std::memcpy(out.data() + offset, bytes.data(), N);
    }
    void operator()(std::size_t offset, std::uint8_t v) const { out[offset] = v; }
    void operator()(std::size_t offset, std::int16_t v) const {
        const auto u = static_cast<std::uint16_t>(v);
        out[offset] = static_cast<std::uint8_t>(u & 0xFF);
        out[offset + 1] = static_cast<std::uint8_t>(u >> 8);
    }
    void operator()(std::size_t offset, const Real48Rec &r) const {
        out[offset] = r.Exp;
        out[offset + 1] = static_cast<std::uint8_t>(r.Lo & 0xFF);
        out[offset + 2] = static_cast<std::uint8_t>(r.Lo >> 8);
        out[offset + 3] = static_cast<std::uint8_t>(r.Mid & 0xFF);
        out[offset + 4] = static_cast<std::uint8_t>(r.Mid >> 8);
        out[offset + 5] = r.Hi;
    }
};

// Reads each kind of header field from its offset.
struct HeaderReader {
    const HeaderBytes &in;
    template <class T, std::size_t N>
    void operator()(std::size_t offset, std::array<T, N> &bytes) const {
        static_assert(sizeof(T) == 1);
        std::memcpy(bytes.data(), in.data() + offset, N);
    }
    void operator()(std::size_t offset, std::uint8_t &v) const { v = in[offset]; }
    void operator()(std::size_t offset, std::int16_t &v) const {
        v = static_cast<std::int16_t>(static_cast<std::uint16_t>(in[offset] | (in[offset + 1] << 8)));
    }
    void operator()(std::size_t offset, Real48Rec &r) const {
        r = Real48Rec{};
        r.Exp = in[offset];
        r.Lo = static_cast<std::uint16_t>(in[offset + 1] | (in[offset + 2] << 8));
        r.Mid = static_cast<std::uint16_t>(in[offset + 3] | (in[offset + 4] << 8));
        r.Hi = in[offset + 5];
    }
};

// The offset of every header field, walked by both the writer and the reader
// so that the two cannot drift apart.
template <class Header, class Field>
void EachHeaderField(Header &h, const Field &field) {
    field(0, h.Reserved0);
    field(22, h.Carry22);
    field(24, h.Reserved24);
    field(30, h.Rows);
    field(32, h.Columns);
    field(34, h.Reserved34);
    field(38, h.Title);
    field(118, h.Reserved118);
    field(120, h.CentreLatitude);
    field(126, h.CentreLongitude);
    field(132, h.CentreColumn);
    field(138, h.CentreRow);
    field(144, h.CellWidth);
    field(150, h.CellHeight);
    field(156, h.CarryReal156);
    field(162, h.CarryReal162);
    field(168, h.Carry168);
    field(171, h.ClassScale);
    field(177, h.ClassOffset);
    field(183, h.Carry183);
    field(184, h.Reserved184);
}

std::string name(const std::filesystem::path &p) { return p.string(); }

} // namespace

HeaderBytes SerializeHeader(const ImageHeader &h) {
    HeaderBytes out{};
    EachHeaderField(h, HeaderWriter{out});
    return out;
}

ImageHeader ParseHeader(const HeaderBytes &in) {
    ImageHeader h;
    EachHeaderField(h, HeaderReader{in});
    return h;
}

RasterImage ReadRasterImage(const std::filesystem::path &path) {
    // The header first: it gives the size of the whole file, so that no more
    // than that is ever read.
    std::string head;
    std::uint64_t headSize = 0;
    if (const auto failure = numfmt::ReadFileAt(path, 0, HeaderSize, head, &headSize))
        throw RasterError(*failure);
    HeaderBytes bytes{};
    if (head.size() < bytes.size())
        throw RasterError("The raster image " + name(path) + " is shorter than its 512-byte header.");
    std::memcpy(bytes.data(), head.data(), bytes.size());
    RasterImage image;
    image.Header = ParseHeader(bytes);
    image.Columns = image.Header.Columns;
    image.Rows = image.Header.Rows;
    if (image.Columns < 1 || image.Rows < 1)
        throw RasterError("The raster image " + name(path) + " gives " + std::to_string(image.Rows) +
                          " rows and " + std::to_string(image.Columns) +
                          " columns; it needs at least one of each.");
    const std::size_t count = static_cast<std::size_t>(image.Columns) * static_cast<std::size_t>(image.Rows);
    const std::string cellsGiven =
        " than its header gives (" + std::to_string(image.Rows) + " rows of " + std::to_string(image.Columns) + " columns).";
    const RasterError fewer("The raster image " + name(path) + " holds fewer cells" + cellsGiven);
    const RasterError more("The raster image " + name(path) + " holds more cells" + cellsGiven);
    const std::uint64_t whole = bytes.size() + count;
    // The size the file reports decides before the cells take any memory (a
    // file under /proc reports none and is judged by what it gives).
    if (headSize != 0 && headSize != whole)
        throw headSize < whole ? fewer : more;
    // The cells are read straight into their place: a map of 32767 x 32767
    // cells is held once, not as bytes and again as cells.
    image.Cells.resize(count);
    std::size_t got = 0;
    std::uint64_t size = 0;
    if (const auto failure = numfmt::ReadFileInto(path, bytes.size(), reinterpret_cast<char *>(image.Cells.data()),
                                                  count, got, &size))
        throw RasterError(*failure);
    if (got < count)
        throw fewer;
    // Of a file that reports no size, a byte after the cells tells more of them.
    std::string beyond;
    const bool longer = size != 0 ? size > whole : !numfmt::ReadFileAt(path, whole, 1, beyond) && !beyond.empty();
    if (longer)
        throw more;
    return image;
}

namespace {

RasterError WriteFailure(const std::filesystem::path &path, const numfmt::FileWriteFailure &failure) {
    return RasterError("Cannot write the file " + name(path) + ": " + failure.reason() + ".");
}

} // namespace

void WriteWholeFile(const std::filesystem::path &path, const std::vector<std::string_view> &parts) {
    if (const auto failure = numfmt::WriteWholeFile(path, parts)) throw WriteFailure(path, *failure);
}

void WriteWholeFiles(const std::vector<numfmt::WholeFile> &files) {
    if (const auto failed = numfmt::WriteWholeFiles(files))
        throw WriteFailure(files[failed->file].path, failed->failure);
}

void WriteRasterImage(const std::filesystem::path &path, const ImageHeader &header,
                      const std::vector<std::uint8_t> &cells) {
    const HeaderBytes bytes = SerializeHeader(header);
    WriteWholeFile(path, {std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()),
                          std::string_view(reinterpret_cast<const char *>(cells.data()), cells.size())});
}

} // namespace tavisol::rastermap
