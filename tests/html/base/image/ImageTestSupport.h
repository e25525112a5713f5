// Builders the image tests use to make their own pictures: a raw PNG writer for every colour type,
// bit depth and interlacing (with its own filters), a GIF writer with its own LZW encoder, a
// JPEG writer over libjpeg and an enhanced-metafile writer.
#pragma once

#include <QImage>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace imagetest {

// ---- PNG ----
std::string PngChunk(const std::string& name, const std::string& data);
std::string Be32(std::uint32_t v);

struct PngSpec {
    PngSpec() = default;
    PngSpec(int width, int height, int colorType, int depth, bool interlace = false)
        : Width(width), Height(height), ColorType(colorType), Depth(depth), Interlace(interlace)
    {
    }
    int Width = 0;
    int Height = 0;
    int ColorType = 2;
    int Depth = 8;
    bool Interlace = false;
    std::string Plte;  // raw PLTE data, empty for none
    std::string Trns;  // raw tRNS data, empty for none
    std::optional<std::uint32_t> Gamma;
    std::vector<std::pair<std::string, std::string>> ChunksBeforeData;
    std::vector<std::pair<std::string, std::string>> ChunksAfterData;
    bool SplitData = false;  // two IDAT chunks with a tEXt between them
    int ForcedFilter = -1;   // -1: filters 0..4 in turn
};
int PngChannels(int colorType);
// A PNG file as Qt's own decoder reads it, to compare ours with.
QImage QtRead(const std::string& bytes);
// The raw (filtered, unpacked) stream of rows for the samples, in the seven interlace passes when
// the description asks for interlacing.
std::string PngRawRows(const PngSpec& spec, const std::vector<std::uint16_t>& samples);
// Samples: width × height × channels values in row order.
std::string BuildPng(const PngSpec& spec, const std::vector<std::uint16_t>& samples);
std::string BuildPngFromRaw(const PngSpec& spec, const std::string& zlibData);
// Deterministic samples in the range of the depth.
std::vector<std::uint16_t> PngSamples(const PngSpec& spec, unsigned seed);

// ---- GIF ----
std::string LzwEncode(const std::vector<std::uint8_t>& pixels, int minCodeSize, bool startWithClear = true);

class GifWriter {
public:
    GifWriter(int width, int height, const std::vector<QRgb>& global, const char* signature = "GIF89a");
    void Loop(int count);
    void Control(int disposal, int delayHundredths, int transparentIndex);
    void Comment(const std::string& text);
    void Image(int left, int top, int width, int height, const std::vector<std::uint8_t>& pixels,
               const std::vector<QRgb>& local = {}, bool interlace = false, int minCodeSize = 0);
    void Raw(const std::string& bytes) { out_ += bytes; }
    std::string Finish();
    const std::string& Bytes() const { return out_; }

private:
    std::string out_;
    int globalBits_ = 0;
};
std::vector<QRgb> TestPalette(int entries);

// ---- JPEG ----
std::string EncodeJpeg(const QImage& image, int quality, bool progressive, bool grayscale);

// ---- EMF ----
// One record: its type, its length and the 32-bit words of its body.
std::string EmfRecord(std::uint32_t type, const std::vector<std::int32_t>& words);
// An enhanced metafile of width x height pixels at 96 ppi: the header, the records, the end.
std::string BuildEmf(int width, int height, const std::string& records);
// Many ellipses in turn red and blue, each 20 to 200 pixels, spread over a picture of that size.
std::string EllipsesEmf(int width, int height, int count);
// Ellipses each as large as the picture of width x height pixels, 24 bytes each.
std::string FullSizeEllipsesEmf(int width, int height, int count);
// A record stretching a black 1-bit bitmap of width x height pixels, stored bottom-up, into the
// destination of destWidth x destHeight at left, top.
std::string StretchDibitsEmfRecord(int left, int top, int destWidth, int destHeight, int width, int height);

// A picture with smooth and sharp parts for the lossy and the palette tests.
QImage TestPicture(int width, int height);

void WriteFile(const std::string& path, const std::string& bytes);
// Seeds for the fuzz targets: into tests/fuzz/seeds/<kind>/ when VELMORAN_WRITE_SEEDS is set,
// else into the build's artifacts.
void WriteSeed(const std::string& kind, const std::string& name, const std::string& bytes);

}  // namespace imagetest
