#pragma once

// A 24-bit bitmap whose pixel bytes the program writes directly (scan lines
// bottom-up, blue-green-red, padded to 4 bytes) and then paints in one
// transfer. The raster map draws every view through a fresh instance.

#include <QImage>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "rastermap/mapfiles.h"
#include "rastermap/mapview.h"
#include "rastermap/rasterimage.h"

class QPainter;

namespace tavisol::rastermap {

class DibBitmap {
public:
    DibBitmap() = default;
    ~DibBitmap() { ClearUp(); }
    DibBitmap(const DibBitmap &) = delete;
    DibBitmap &operator=(const DibBitmap &) = delete;

    // Returns false, leaving no bitmap, when the clipboard cannot be reached
    // or, with dib true, after saying that only a plain bitmap can be copied.
    bool CopyToClipboard(bool dib);
    // A new bitmap of the given size, black; releases the previous one first.
    bool Create(int width, int height);
    // A bitmap of the picture's size holding the picture.
    bool CreateFromPicture(const QImage &picture);
    int BytesPerScanLine() const { return rastermap::BytesPerScanLine(width_); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Copies a part of the source into this bitmap at (0, 0); a negative
    // width or height means this bitmap's own.
    void LoadPictureBlt(const QImage &source, int srcLeft, int srcTop, int width = -1, int height = -1);
    // Paints a part of this bitmap at (destLeft, destTop); negative sizes as above.
    void PaintPicture(QPainter &dest, int destLeft, int destTop, int width = -1, int height = -1, int srcLeft = 0,
                      int srcTop = 0) const;
    std::uint8_t *pixelBits() { return bits_.empty() ? nullptr : bits_.data(); }
    const std::uint8_t *pixelBits() const { return bits_.empty() ? nullptr : bits_.data(); }
    // Test fill: red, or random greys.
    void RandomiseBits(bool gray);
    // Fills the pixels from the raster map through the colour table at the
    // zoom; afterColumn runs after each pixel column. Throws RasterError.
    void RandomiseBits2(const RasterImage &raster, const ColorTable &colors, const ZoomState &zoom,
                        const std::function<void(int column)> &afterColumn = {});
    void ClearUp();
    // A new bitmap of the new size, bilinear; null when it cannot be made.
    std::unique_ptr<DibBitmap> Resample(int newHeight, int newWidth) const;

    // The bitmap as a picture, top row first.
    QImage ToImage() const;

private:
    void ResampleWorker(DibBitmap &target) const;

    std::vector<std::uint8_t> bits_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace tavisol::rastermap
