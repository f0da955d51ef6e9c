#include "rastermap/dib_bitmap.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>

#include <cmath>
#include <new>
#include <random>

#include "shell/messages.h"

namespace tavisol::rastermap {

bool DibBitmap::Create(int width, int height) {
    ClearUp();
    if (width < 1 || height < 1)
        return false;
    try {
        bits_.assign(static_cast<std::size_t>(rastermap::BytesPerScanLine(width)) * static_cast<std::size_t>(height), 0);
    } catch (const std::bad_alloc &) {
        bits_.clear();
        return false;
    }
    width_ = width;
    height_ = height;
    return true;
}

void DibBitmap::ClearUp() {
    bits_.clear();
    bits_.shrink_to_fit();
    width_ = height_ = 0;
}

bool DibBitmap::CreateFromPicture(const QImage &picture) {
    if (!Create(picture.width(), picture.height()))
        return false;
    LoadPictureBlt(picture, 0, 0);
    return true;
}

void DibBitmap::LoadPictureBlt(const QImage &source, int srcLeft, int srcTop, int width, int height) {
    if (width < 0) width = width_;
    if (height < 0) height = height_;
    const QImage src = source.convertToFormat(QImage::Format_RGB888);
    const int bpl = BytesPerScanLine();
    for (int y = 0; y < height && y < height_; ++y) {
        const int sy = srcTop + y;
        if (sy < 0 || sy >= src.height()) continue;
        const uchar *line = src.constScanLine(sy);
        std::uint8_t *out = bits_.data() + static_cast<std::ptrdiff_t>(height_ - 1 - y) * bpl;
        for (int x = 0; x < width && x < width_; ++x) {
            const int sx = srcLeft + x;
            if (sx < 0 || sx >= src.width()) continue;
            out[x * 3] = line[sx * 3 + 2];
            out[x * 3 + 1] = line[sx * 3 + 1];
            out[x * 3 + 2] = line[sx * 3];
        }
    }
}

QImage DibBitmap::ToImage() const {
    if (bits_.empty())
        return {};
    QImage img(width_, height_, QImage::Format_RGB888);
    const int bpl = BytesPerScanLine();
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t *in = bits_.data() + static_cast<std::ptrdiff_t>(height_ - 1 - y) * bpl;
        uchar *line = img.scanLine(y);
        for (int x = 0; x < width_; ++x) {
            line[x * 3] = in[x * 3 + 2];
            line[x * 3 + 1] = in[x * 3 + 1];
            line[x * 3 + 2] = in[x * 3];
        }
    }
    return img;
}

void DibBitmap::PaintPicture(QPainter &dest, int destLeft, int destTop, int width, int height, int srcLeft,
                               int srcTop) const {
    if (bits_.empty()) return;
    if (width < 0) width = width_;
    if (height < 0) height = height_;
    dest.drawImage(QPoint(destLeft, destTop), ToImage(), QRect(srcLeft, srcTop, width, height));
}

void DibBitmap::RandomiseBits(bool gray) {
    std::mt19937 gen(std::random_device{}());
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int bpl = BytesPerScanLine();
    for (int j = 0; j < height_; ++j)
        for (int i = 0; i < width_; ++i) {
            std::uint8_t *p = bits_.data() + static_cast<std::ptrdiff_t>(j) * bpl + i * 3;
            if (gray) {
                const auto g = static_cast<std::uint8_t>(std::lround(unit(gen) * 255));
                p[0] = p[1] = p[2] = g;
            } else {
                p[0] = 0;
                p[1] = 0;
                p[2] = 255;
            }
        }
}

void DibBitmap::RandomiseBits2(const RasterImage &raster, const ColorTable &colors, const ZoomState &zoom,
                                 const std::function<void(int)> &afterColumn) {
    if (bits_.empty() || raster.Empty()) return;
    FillPixels(raster, colors, zoom, width_, height_, bits_.data(), BytesPerScanLine(), afterColumn);
}

std::unique_ptr<DibBitmap> DibBitmap::Resample(int newHeight, int newWidth) const {
    auto out = std::make_unique<DibBitmap>();
    if (!out->Create(newWidth, newHeight))
        return nullptr;
    if (newWidth == width_ && newHeight == height_)
        out->LoadPictureBlt(ToImage(), 0, 0);
    else
        ResampleWorker(*out);
    return out;
}

void DibBitmap::ResampleWorker(DibBitmap &t) const {
    if (bits_.empty()) return;
    const int sbpl = BytesPerScanLine();
    const int tbpl = t.BytesPerScanLine();
    for (int y = 0; y < t.height_; ++y)
        for (int x = 0; x < t.width_; ++x) {
            const double sx = static_cast<double>(x) * (width_ - 1) / t.width_;
            const double sy = static_cast<double>(y) * (height_ - 1) / t.height_;
            const int x0 = static_cast<int>(std::floor(sx));
            const int y0 = static_cast<int>(std::floor(sy));
            const int x1 = std::min(x0 + 1, width_ - 1);
            const int y1 = std::min(y0 + 1, height_ - 1);
            const double fx = sx - x0, fy = sy - y0;
            for (int k = 0; k < 3; ++k) {
                auto at = [&](int xx, int yy) {
                    return static_cast<double>(bits_[static_cast<std::size_t>(yy * sbpl + xx * 3 + k)]);
                };
                const double v = at(x0, y0) * (1 - fx) * (1 - fy) + at(x1, y0) * fx * (1 - fy) +
                                 at(x0, y1) * (1 - fx) * fy + at(x1, y1) * fx * fy;
                t.bits_[static_cast<std::size_t>(y * tbpl + x * 3 + k)] =
                    static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
            }
        }
}

bool DibBitmap::CopyToClipboard(bool dib) {
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    if (dib) {
        ShowMessage(nullptr, MsgIcon::NoIcon,
                    QStringLiteral("I don't know how to put a DIB on the clipboard! Copy as bitmap instead!!!"));
        return false;
    }
    if (bits_.empty())
        return false;
    clipboard->setImage(ToImage());
    return true;
}

} // namespace tavisol::rastermap
