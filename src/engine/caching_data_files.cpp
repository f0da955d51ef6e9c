#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <iterator>
#include <optional>

#include "engine/data_files.h"
#include "numfmt/textread.h"

namespace tavisol::engine {

namespace {

// Station files kept before the cache starts over (tests make many folders).
constexpr std::size_t MostKeptFiles = 512;

std::int64_t Nanoseconds(const timespec &t) { return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec; }

// The clock that the kernel stamps files with.
std::int64_t FileClockNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return Nanoseconds(now);
}

} // namespace

CachingDataFiles::CachingDataFiles(std::chrono::milliseconds settleTime) : settleTime_(settleTime) {}

bool CachingDataFiles::SettledStamp(const std::filesystem::path &file, Stamp &stamp) const {
    // Taken before the stat: a change after it stamps a later time.
    const std::int64_t now = FileClockNow();
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.modified = Nanoseconds(st.st_mtim);
    stamp.changed = Nanoseconds(st.st_ctim);
    const std::int64_t settle = std::chrono::duration_cast<std::chrono::nanoseconds>(settleTime_).count();
    return settle <= 0 || now - stamp.changed >= settle;
}

void CachingDataFiles::Forget(const std::filesystem::path &file) {
    std::unique_lock lock(mutex_);
    stations_.erase(file.native());
}

void CachingDataFiles::Clear() {
    std::unique_lock lock(mutex_);
    stations_.clear();
    raster_ = RasterEntry{};
}

std::shared_ptr<const StationList> CachingDataFiles::ReadStationFile(const std::filesystem::path &file,
                                                                     std::size_t maxRecords) {
    return ReadIndexedStationFile(file, maxRecords).records;
}

IndexedStationFile CachingDataFiles::ReadIndexedStationFile(const std::filesystem::path &file,
                                                            std::size_t maxRecords) {
    auto plainly = [&]() -> IndexedStationFile {
        ++parsed_;
        return {plain_.ReadStationFile(file, maxRecords), nullptr};
    };
    Stamp stamp;
    if (!SettledStamp(file, stamp)) {
        // Missing, not a file, or just changed: the plain reader answers and fails as it does.
        Forget(file);
        return plainly();
    }
    // A copy of what is kept for this very file, taken under the lock.
    auto kept = [&]() -> std::optional<IndexedStationFile> {
        std::shared_lock lock(mutex_);
        const auto it = stations_.find(file.native());
        if (it != stations_.end() && it->second.stamp == stamp)
            return it->second.file;
        return std::nullopt;
    };
    // The plain reader fails a run that holds too many records, with its message.
    auto answer = [&](const IndexedStationFile &f) { return f.records->size() > maxRecords ? plainly() : f; };
    if (const auto f = kept())
        return answer(*f);
    std::lock_guard load(loading_);
    if (const auto f = kept())
        return answer(*f);
    IndexedStationFile read;
    try {
        read = plainly();
    } catch (...) {
        Forget(file);
        throw;
    }
    Stamp after;
    if (!SettledStamp(file, after) || !(after == stamp))
        return read; // changed while being read: used once, not kept
    read.index = std::make_shared<const StationIndex>(*read.records);
    std::unique_lock lock(mutex_);
    if (stations_.size() >= MostKeptFiles)
        stations_.clear();
    stations_[file.native()] = StationEntry{stamp, read};
    return read;
}

std::uint8_t CachingDataFiles::ReadRasterByte(const std::filesystem::path &raster, std::uint64_t offset) {
    const std::shared_ptr<const std::vector<std::uint8_t>> bytes = KeptRaster(raster);
    if (!bytes || offset >= bytes->size())
        return plain_.ReadRasterByte(raster, offset); // fails with the plain reader's message
    return (*bytes)[offset];
}

std::shared_ptr<const std::vector<std::uint8_t>> CachingDataFiles::KeptRaster(const std::filesystem::path &raster) {
    Stamp stamp;
    // A raster of another size is refused by the plain reader.
    if (!SettledStamp(raster, stamp) || stamp.size != ElevationRasterBytes)
        return nullptr;
    std::shared_ptr<const std::vector<std::uint8_t>> bytes;
    auto kept = [&] {
        std::shared_lock lock(mutex_);
        if (raster_.bytes && raster_.stamp == stamp && raster_.path == raster.native())
            bytes = raster_.bytes;
        return bytes != nullptr;
    };
    if (!kept()) {
        std::lock_guard load(loading_);
        if (!kept()) {
            const std::uint64_t want = ElevationRasterBytes;
            std::string read;
            Stamp after;
            if (numfmt::ReadFileAt(raster, 0, want, read) || read.size() != want || !SettledStamp(raster, after) ||
                !(after == stamp))
                return nullptr;
            bytes = std::make_shared<const std::vector<std::uint8_t>>(read.begin(), read.end());
            std::unique_lock lock(mutex_);
            raster_ = RasterEntry{raster.native(), stamp, bytes};
        }
    }
    return bytes;
}

std::shared_ptr<DataFiles> DefaultDataFiles() {
    static const std::shared_ptr<DataFiles> files = std::make_shared<CachingDataFiles>();
    return files;
}

} // namespace tavisol::engine
