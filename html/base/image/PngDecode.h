// The PNG picture: its chunks kept in order, the decoder that turns them into a QImage, and (in
// PngWrite.cpp) the writer that turns a QImage back into PNG chunks.
#pragma once

#include "platform/core/Exceptions.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmoran {

class TStream;

// Failures of the PNG format handler; the id selects one of the fixed English messages.
class EPNGImageException : public Exception {
public:
    explicit EPNGImageException(int id);
    int Id() const { return id_; }

private:
    int id_;
};

// A zlib failure while inflating or deflating, with zlib's own message.
class EZDecompressionError : public Exception {
public:
    using Exception::Exception;
};
class EZCompressionError : public Exception {
public:
    using Exception::Exception;
};

namespace png {
inline constexpr int CorruptedData = 65088;
inline constexpr int NoIHDR = 65089;
inline constexpr int NoImageData = 65090;
inline constexpr int InvalidPalette = 65091;
inline constexpr int UnknownColorType = 65092;
inline constexpr int UnknownFilter = 65093;
inline constexpr int UnknownInterlace = 65094;
inline constexpr int UnknownCriticalChunk = 65095;
inline constexpr int MissingPalette = 65096;
inline constexpr int NotRGB = 65097;
inline constexpr int ChunkNotInList = 65098;
inline constexpr int InvalidHeader = 65117;
inline constexpr int ChunkIndexOutOfRange = 65118;
inline constexpr int ChunkClassIndexOutOfRange = 65119;
}  // namespace png

std::string PngMessage(int id);

// The CRC-32 of PNG over the four name bytes and the data.
std::uint32_t PngCrc(const char* name, const std::uint8_t* data, std::size_t length);

// One chunk: its four-letter name and its data bytes.
struct TChunk {
    std::string Name;
    std::vector<std::uint8_t> Data;
};

// The ordered chunks of one picture.
class TChunkList {
public:
    int Count() const { return static_cast<int>(chunks_.size()); }
    TChunk& Item(int index);
    const TChunk& Item(int index) const;
    int IndexOfName(const std::string& name) const;
    TChunk& Add(TChunk chunk);
    void Insert(TChunk chunk, int index);
    void Delete(int index);
    void Clear() { chunks_.clear(); }

private:
    std::vector<TChunk> chunks_;
};

// The chunk types this handler knows; every other critical chunk makes a picture unreadable.
bool IsRegisteredChunk(const std::string& name);

class TPNGImage {
public:
    TPNGImage();

    // Reads a PNG from the stream's position to its end; raises EPNGImageException or
    // EZDecompressionError and leaves no picture on failure.
    void LoadFromStream(TStream& stream);
    void LoadFromBytes(const std::uint8_t* bytes, std::size_t count);
    // Writes the picture as PNG (colour type 3 for palette pictures, else 2).
    void SaveToStream(TStream& stream);

    // The decoded picture: Format_Indexed8 for palette and greyscale pictures (the colour table
    // carries tRNS alpha), else Format_RGB32 or Format_ARGB32 with 8 bits a sample.
    const QImage& Picture() const { return picture_; }
    void SetPicture(QImage picture) { picture_ = std::move(picture); }

    TChunkList& Chunks() { return chunks_; }
    const TChunkList& Chunks() const { return chunks_; }

    int BitDepth() const { return bitDepth_; }
    int ColorType() const { return colorType_; }
    int InterlaceMethod() const { return interlace_; }
    // Gamma times 100000 from gAMA, 0 when absent or ignored.
    std::uint32_t Gamma() const { return gamma_; }
    // The keyword/text pairs of the tEXt chunks.
    std::vector<std::pair<std::string, std::string>> Texts() const;

    // The transparent colour of an RGB picture (tRNS, high bytes of 16-bit samples);
    // raises 65097 for other colour types; nullopt when there is none.
    std::optional<QRgb> TransparentColor() const;
    // The writer's transparent colour: written as a tRNS chunk.
    void SetTransparentColor(std::optional<QRgb> color) { writeTransparent_ = color; }

    std::uint8_t Filters = 27;
    bool Interlaced = false;

private:
    TChunkList chunks_;
    QImage picture_;
    int bitDepth_ = 0;
    int colorType_ = 0;
    int interlace_ = 0;
    std::uint32_t gamma_ = 0;
    std::optional<std::array<std::uint16_t, 3>> rgbTransparent_;
    std::optional<QRgb> writeTransparent_;
};

// The gamma table for a gAMA value (gamma × 100000): table[i] = 255 (i/255)^(1/(gamma × 2.2)).
std::array<std::uint8_t, 256> PngGammaTable(std::uint32_t gamma);

}  // namespace velmoran
