#pragma once

// Reading of the engine's data files, behind one small interface so that
// repeated runs can be made faster without changing any result.

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <memory>
#include <string>
#include <vector>

#include "engine/state.h"

namespace tavisol::engine {

using StationList = std::vector<StationRecord>;

class DataFiles {
public:
    virtual ~DataFiles() = default;

    // The records of one station file in file order (Latitude, Longitude,
    // Altitude, Values 1..12, Name, Country filled). Throws EngineError naming
    // the file when it is missing or unreadable, holds a bad record, or holds
    // more than maxRecords records.
    virtual std::shared_ptr<const StationList> ReadStationFile(const std::filesystem::path &file,
                                                               std::size_t maxRecords) = 0;

    // One byte of the elevation raster at a 0-based offset. Throws EngineError
    // when the raster is missing or shorter than the offset.
    virtual std::uint8_t ReadRasterByte(const std::filesystem::path &raster, std::uint64_t offset) = 0;
};

// Opens and closes the files at every call.
class PlainDataFiles : public DataFiles {
public:
    std::shared_ptr<const StationList> ReadStationFile(const std::filesystem::path &file,
                                                       std::size_t maxRecords) override;
    std::uint8_t ReadRasterByte(const std::filesystem::path &raster, std::uint64_t offset) override;
};

// The shared plain reader.
std::shared_ptr<DataFiles> DefaultDataFiles();

// Parses station records from list input (fields separated by commas or line
// ends, quoted texts may hold commas, a record may span lines). sourceName
// names the file in error messages. Texts are read as Windows-1252 and kept as
// UTF-8.
StationList ParseStationRecords(std::string_view text, const std::string &sourceName, std::size_t maxRecords);

std::string Windows1252ToUtf8(std::string_view text);

} // namespace tavisol::engine
