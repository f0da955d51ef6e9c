#pragma once

// A program folder of its own for the dialog tests: TavisolData/10k8b.raw all
// water except the cells the test gives an altitude.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/engine.h"

class RasterFolder {
public:
    // Each point gets the altitude byte * 20 - 40 m.
    explicit RasterFolder(const std::vector<std::pair<std::pair<float, float>, std::uint8_t>> &cells,
                          bool withRaster = true) {
        static int count = 0;
        root_ = std::filesystem::temp_directory_path() /
                ("tavisol_dialogs_" + std::to_string(::getpid()) + "_" + std::to_string(++count));
        std::filesystem::create_directories(root_ / "TavisolData");
        if (!withRaster)
            return;
        std::vector<char> bytes(std::size_t(4320) * 2160, char(255));
        for (const auto &[point, value] : cells) {
            const auto position =
                tavisol::engine::ElevationBytePosition(point.first, point.second);
            bytes[static_cast<std::size_t>(position - 1)] = static_cast<char>(value);
        }
        std::ofstream raw(root_ / "TavisolData" / tavisol::engine::ElevationRasterName,
                          std::ios::binary);
        raw.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~RasterFolder() {
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    RasterFolder(const RasterFolder &) = delete;
    RasterFolder &operator=(const RasterFolder &) = delete;

    const std::filesystem::path &root() const { return root_; }
    std::filesystem::path data() const { return root_ / "TavisolData"; }

private:
    std::filesystem::path root_;
};
