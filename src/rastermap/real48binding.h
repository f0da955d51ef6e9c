#pragma once

// The 6-byte real conversions of the raster map, through the run-time binding
// of the Vantrix library. A failed binding throws RasterError whose text is
// the binding's error message.

#include "rastermap/rasterimage.h"

namespace tavisol::rastermap {

Real48Conversions VantrixConversions();

} // namespace tavisol::rastermap
