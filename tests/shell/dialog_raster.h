#pragma once

// A program folder of its own for the dialog tests: TavisolData/10k8b.raw all
// water except the cells the test gives an altitude.

#include <cstdint>
#include <filesystem>
#include <utility>
#include <vector>

#include "support/datafolder.h"

class RasterFolder {
public:
    // Each point (lon, lat) gets the altitude byte * 20 - 40 m.
    explicit RasterFolder(const std::vector<std::pair<std::pair<float, float>, std::uint8_t>> &cells,
                          bool withRaster = true)
        : folder_("tavisol_dialogs") {
        std::filesystem::create_directories(data());
        if (withRaster)
            tavisol::testsupport::WriteElevationRaster(data(), 255, cells);
    }

    const std::filesystem::path &root() const { return folder_.path(); }
    std::filesystem::path data() const { return root() / "TavisolData"; }

private:
    tavisol::testsupport::TempFolder folder_;
};
