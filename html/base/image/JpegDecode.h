// JPEG pictures through libjpeg: read from a stream, tell whether the picture is greyscale, and
// deliver a 24-bit picture or an 8-bit one (reduced to a given palette when there is one).
#pragma once

#include "html/base/image/DisplayPalette.h"
#include "platform/core/Exceptions.h"

#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace velmoran {

class TStream;

// A JPEG that libjpeg cannot decode, or one that ends before its last scan.
class EJpegError : public Exception {
public:
    using Exception::Exception;
};

class TJPEGImage {
public:
    // Reads the stream from its position to its end and checks the header; raises EJpegError.
    void LoadFromStream(TStream& stream);
    void LoadFromBytes(const std::uint8_t* bytes, std::size_t count);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Grayscale() const { return grayscale_; }
    bool Progressive() const { return progressive_; }

    // 24 (default) or 8 bits a pixel for the bitmap.
    void SetPixelFormat(int bits) { pixelBits_ = bits == 8 ? 8 : 24; }
    // The palette an 8-bit colour picture is reduced to; without one libjpeg chooses 256 colours.
    void SetPalette(TPalette palette) { palette_ = std::move(palette); }

    // Decodes the picture: Format_RGB32 at 24 bits, Format_Indexed8 at 8 bits; raises EJpegError.
    QImage Bitmap() const;

private:
    std::vector<std::uint8_t> data_;
    int width_ = 0, height_ = 0;
    bool grayscale_ = false;
    bool progressive_ = false;
    int pixelBits_ = 24;
    TPalette palette_;
};

}  // namespace velmoran
