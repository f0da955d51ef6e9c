#include "engine/data_files.h"

namespace tavisol::engine {

SteppedDataFiles::SteppedDataFiles(std::shared_ptr<DataFiles> shared) : shared_(std::move(shared)) {}

void SteppedDataFiles::NextStep() {
    stations_.clear();
    rasterChecked_ = false;
    raster_.reset();
}

std::shared_ptr<const StationList> SteppedDataFiles::ReadStationFile(const std::filesystem::path &file,
                                                                     std::size_t maxRecords) {
    return ReadIndexedStationFile(file, maxRecords).records;
}

IndexedStationFile SteppedDataFiles::ReadIndexedStationFile(const std::filesystem::path &file,
                                                            std::size_t maxRecords) {
    const auto it = stations_.find(file.native());
    // Too many records for this run: the shared reader fails with its message.
    if (it != stations_.end() && it->second.records->size() <= maxRecords)
        return it->second;
    IndexedStationFile read = shared_->ReadIndexedStationFile(file, maxRecords);
    stations_[file.native()] = read;
    return read;
}

std::shared_ptr<const std::vector<std::uint8_t>> SteppedDataFiles::KeptRaster(const std::filesystem::path &raster) {
    if (!rasterChecked_ || rasterPath_ != raster.native()) {
        raster_ = shared_->KeptRaster(raster);
        rasterPath_ = raster.native();
        rasterChecked_ = true;
    }
    return raster_;
}

std::uint8_t SteppedDataFiles::ReadRasterByte(const std::filesystem::path &raster, std::uint64_t offset) {
    const std::shared_ptr<const std::vector<std::uint8_t>> bytes = KeptRaster(raster);
    if (!bytes || offset >= bytes->size())
        return shared_->ReadRasterByte(raster, offset); // read as the shared reader reads it, failures included
    return (*bytes)[offset];
}

} // namespace tavisol::engine
