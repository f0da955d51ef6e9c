#pragma once

// The raster image file (.img): a 512-byte header, then one class byte per
// cell, row 0 (north) first, column 0 (west) first within a row. Reals in the
// header are 6-byte reals, converted only through Real48Conversions.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "numfmt/bytefile.h"
#include "vantrix/vantrix.h"

namespace tavisol::rastermap {

inline constexpr std::size_t HeaderSize = 512;
inline constexpr std::uint8_t NoDataClass = 255;

// The 6-byte real conversions; each throws RasterError when it cannot run
// (e.g. the library that does them is missing).
struct Real48Conversions {
    std::function<double(const Real48Rec &)> ToDouble;
    std::function<Real48Rec(double)> ToReal48;
};

struct ImageHeader {
    std::array<std::uint8_t, 22> Reserved0{};
    std::array<std::uint8_t, 2> Carry22{};
    std::array<std::uint8_t, 6> Reserved24{};
    std::int16_t Rows = 0;
    std::int16_t Columns = 0;
    std::array<std::uint8_t, 4> Reserved34{};
    std::array<char, 80> Title{};  // single-byte characters, blank-padded
    std::array<std::uint8_t, 2> Reserved118{};
    Real48Rec CentreLatitude{};
    Real48Rec CentreLongitude{};
    Real48Rec CentreColumn{};
    Real48Rec CentreRow{};
    Real48Rec CellWidth{};
    Real48Rec CellHeight{};
    Real48Rec CarryReal156{};
    Real48Rec CarryReal162{};
    std::array<std::uint8_t, 3> Carry168{};
    Real48Rec ClassScale{};
    Real48Rec ClassOffset{};
    std::uint8_t Carry183 = 0;
    std::array<std::uint8_t, 328> Reserved184{};

    std::string TitleText() const { return std::string(Title.data(), Title.size()); }
};

using HeaderBytes = std::array<std::uint8_t, HeaderSize>;

HeaderBytes SerializeHeader(const ImageHeader &header);
ImageHeader ParseHeader(const HeaderBytes &bytes);

// A loaded image: the header and the cells, column index varying fastest.
struct RasterImage {
    ImageHeader Header;
    int Columns = 0;
    int Rows = 0;
    std::vector<std::uint8_t> Cells;

    bool Empty() const { return Columns < 1 || Rows < 1; }
    std::uint8_t At(int column, int row) const {
        return Cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(Columns) +
                     static_cast<std::size_t>(column)];
    }
    // Last column and row index (the upper bounds of the raster).
    int U1() const { return Columns - 1; }
    int U2() const { return Rows - 1; }
};

// Reads the whole image. Throws RasterError, naming the file, when it cannot
// be opened, is shorter than its header, gives fewer than one row or column,
// or holds fewer or more cells than its header gives (a file whose size says
// so is refused before its cells are read). The cells are held once, read
// straight into the image. Nothing is returned half read.
RasterImage ReadRasterImage(const std::filesystem::path &path);

// Writes the parts, one after the other, as the whole file, as
// numfmt::WriteWholeFile does (an existing file stays as it was until the new
// one replaces it; a write-protected one is refused). Throws RasterError
// naming the file and the reason.
void WriteWholeFile(const std::filesystem::path &path, const std::vector<std::string_view> &parts);
// The same for a set of files, which are all replaced or none
// (numfmt::WriteWholeFiles); the message names the file that failed.
void WriteWholeFiles(const std::vector<numfmt::WholeFile> &files);

// Writes header and cells (columns x rows, row 0 first) as the whole file. The
// bytes go to a temporary file beside the target, which then replaces it, so a
// failed write leaves an existing file as it was. Throws RasterError.
void WriteRasterImage(const std::filesystem::path &path, const ImageHeader &header,
                      const std::vector<std::uint8_t> &cells);

} // namespace tavisol::rastermap
