#pragma once

// Reading of the engine's data files, behind one small interface so that
// repeated runs can be made faster without changing any result.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <shared_mutex>
#include <string_view>
#include <memory>
#include <string>
#include <vector>

#include "engine/state.h"
#include "engine/station_index.h"

namespace tavisol::engine {

// One station file as read, with its nearest-station index when the reader
// keeps one (null: the selection measures every record).
struct IndexedStationFile {
    std::shared_ptr<const StationList> records;
    std::shared_ptr<const StationIndex> index;
};

// Bytes of the elevation raster: 2160 rows of 4320 cells.
inline constexpr std::uint64_t ElevationRasterBytes = 4320ull * 2160;

class DataFiles {
public:
    virtual ~DataFiles() = default;

    // The records of one station file in file order (Latitude, Longitude,
    // Altitude, Values 1..12, Name, Country filled). Throws EngineError naming
    // the file when it is missing, unreadable or not a regular file, holds a
    // bad record, holds more than maxRecords records, or is larger than the
    // record limit's records could be.
    virtual std::shared_ptr<const StationList> ReadStationFile(const std::filesystem::path &file,
                                                               std::size_t maxRecords) = 0;

    // One byte of the elevation raster at a 0-based offset. Throws EngineError
    // when the raster is missing or not ElevationRasterBytes long.
    virtual std::uint8_t ReadRasterByte(const std::filesystem::path &raster, std::uint64_t offset) = 0;

    // The same records with their index; this reader keeps none.
    virtual IndexedStationFile ReadIndexedStationFile(const std::filesystem::path &file, std::size_t maxRecords) {
        return {ReadStationFile(file, maxRecords), nullptr};
    }

    // The whole elevation raster when the reader keeps it in memory; null:
    // read it byte by byte.
    virtual std::shared_ptr<const std::vector<std::uint8_t>> KeptRaster(const std::filesystem::path &) {
        return nullptr;
    }
};

// Opens and closes the files at every call.
class PlainDataFiles : public DataFiles {
public:
    std::shared_ptr<const StationList> ReadStationFile(const std::filesystem::path &file,
                                                       std::size_t maxRecords) override;
    std::uint8_t ReadRasterByte(const std::filesystem::path &raster, std::uint64_t offset) override;
};

// Keeps parsed station files with their indexes, and the elevation raster, in
// memory, keyed by path, size, modification and change time and file identity:
// a file changed on disk is read again at its next use, a missing or bad file
// fails at every use with the plain reader's message (failures are never
// kept). A file changed within the last settleTime is read plainly at every
// use, because a second change within the file system's time-stamp step
// could not be told apart. Safe for any number of threads at once.
class CachingDataFiles : public DataFiles {
public:
    static constexpr std::chrono::milliseconds DefaultSettleTime{2000};
    explicit CachingDataFiles(std::chrono::milliseconds settleTime = DefaultSettleTime);

    std::shared_ptr<const StationList> ReadStationFile(const std::filesystem::path &file,
                                                       std::size_t maxRecords) override;
    IndexedStationFile ReadIndexedStationFile(const std::filesystem::path &file, std::size_t maxRecords) override;
    std::uint8_t ReadRasterByte(const std::filesystem::path &raster, std::uint64_t offset) override;
    std::shared_ptr<const std::vector<std::uint8_t>> KeptRaster(const std::filesystem::path &raster) override;

    // Forgets everything kept.
    void Clear();
    // Station files read and parsed so far (cached or not).
    std::size_t StationFilesParsed() const { return parsed_.load(); }

    // Identity and time stamps of a file on disk.
    struct Stamp {
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t modified = 0, changed = 0;  // ns
        bool operator==(const Stamp &) const = default;
    };

private:
    struct StationEntry {
        Stamp stamp;
        IndexedStationFile file;
    };
    struct RasterEntry {
        std::string path;
        Stamp stamp;
        std::shared_ptr<const std::vector<std::uint8_t>> bytes;
    };

    // The stamp of a regular file whose last change lies settleTime back.
    bool SettledStamp(const std::filesystem::path &file, Stamp &stamp) const;
    void Forget(const std::filesystem::path &file);

    std::chrono::milliseconds settleTime_;
    PlainDataFiles plain_;
    mutable std::shared_mutex mutex_;  // guards stations_ and raster_
    std::mutex loading_;                 // one file read into the cache at a time
    std::map<std::string, StationEntry> stations_;
    RasterEntry raster_;
    std::atomic<std::size_t> parsed_{0};
};

// The reader that states without their own use: one CachingDataFiles shared by
// the whole program and all its threads.
std::shared_ptr<DataFiles> DefaultDataFiles();

// A shared reader as one thread that runs estimate after estimate sees it (a
// batch run's worker): each file is checked with the shared reader once per
// step, and within a step what that check gave is used again, so the check
// on disk costs little per estimate and a file changed during a run is read
// again at the next step. Failures are never kept. For one thread only.
class SteppedDataFiles : public DataFiles {
public:
    explicit SteppedDataFiles(std::shared_ptr<DataFiles> shared);

    // The reads after this check their files again.
    void NextStep();

    std::shared_ptr<const StationList> ReadStationFile(const std::filesystem::path &file,
                                                       std::size_t maxRecords) override;
    IndexedStationFile ReadIndexedStationFile(const std::filesystem::path &file, std::size_t maxRecords) override;
    std::uint8_t ReadRasterByte(const std::filesystem::path &raster, std::uint64_t offset) override;
    std::shared_ptr<const std::vector<std::uint8_t>> KeptRaster(const std::filesystem::path &raster) override;

private:
    std::shared_ptr<DataFiles> shared_;
    std::map<std::string, IndexedStationFile> stations_; // of this step
    bool rasterChecked_ = false;                          // in this step
    std::string rasterPath_;
    std::shared_ptr<const std::vector<std::uint8_t>> raster_;
};

// Parses station records from list input (fields separated by commas or line
// ends, quoted texts may hold commas, a record may span lines). sourceName
// names the file in error messages. Texts are read as Windows-1252 and kept as
// UTF-8.
StationList ParseStationRecords(std::string_view text, const std::string &sourceName, std::size_t maxRecords);

std::string Windows1252ToUtf8(std::string_view text);

} // namespace tavisol::engine
