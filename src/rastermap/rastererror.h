#pragma once

#include <stdexcept>
#include <string>

namespace tavisol::rastermap {

// A failure of the raster map code; what() is a description fit for a message box.
class RasterError : public std::runtime_error {
public:
    explicit RasterError(const std::string &description) : std::runtime_error(description) {}
};

} // namespace tavisol::rastermap
