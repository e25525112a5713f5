// The tests' own picture writers.
#include "tests/html/base/image/ImageTestSupport.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>

#include <jpeglib.h>

namespace imagetest {

QImage QtRead(const std::string& bytes)
{
    QImage image;
    image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()), "PNG");
    return image;
}


std::string Be32(std::uint32_t v)
{
    std::string s(4, '\0');
    s[0] = static_cast<char>(v >> 24);
    s[1] = static_cast<char>(v >> 16);
    s[2] = static_cast<char>(v >> 8);
    s[3] = static_cast<char>(v);
    return s;
}

std::string PngChunk(const std::string& name, const std::string& data)
{
    const std::string body = name + data;
    const uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
    return Be32(static_cast<std::uint32_t>(data.size())) + body + Be32(static_cast<std::uint32_t>(crc));
}

int PngChannels(int colorType)
{
    switch (colorType) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
    }
}

namespace {

struct PassGeometry {
    int RowStart, ColStart, RowStep, ColStep;
};
constexpr PassGeometry kPasses[7] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                                     {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};

int Predict(int filter, int a, int b, int c)
{
    switch (filter) {
    case 1: return a;
    case 2: return b;
    case 3: return (a + b) / 2;
    case 4: {
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    }
    default: return 0;
    }
}

}  // namespace

std::string PngRawRows(const PngSpec& spec, const std::vector<std::uint16_t>& samples)
{
    const int channels = PngChannels(spec.ColorType);
    const int bitsPerPixel = channels * spec.Depth;
    const int bpp = std::max(1, bitsPerPixel / 8);
    std::string raw;
    int rowCounter = 0;
    for (int p = 0; p < (spec.Interlace ? 7 : 1); ++p) {
        const PassGeometry g = spec.Interlace ? kPasses[p] : PassGeometry{0, 0, 1, 1};
        std::vector<int> xs, ys;
        for (int x = g.ColStart; x < spec.Width; x += g.ColStep)
            xs.push_back(x);
        for (int y = g.RowStart; y < spec.Height; y += g.RowStep)
            ys.push_back(y);
        if (xs.empty() || ys.empty())
            continue;
        const std::size_t rowBytes = (xs.size() * bitsPerPixel + 7) / 8;
        std::vector<std::uint8_t> prior(rowBytes, 0);
        for (int y : ys) {
            std::vector<std::uint8_t> row(rowBytes, 0);
            std::size_t bit = 0;
            for (int x : xs) {
                for (int c = 0; c < channels; ++c) {
                    const std::uint16_t v = samples[(std::size_t(y) * spec.Width + x) * channels + c];
                    if (spec.Depth == 16) {
                        row[bit / 8] = static_cast<std::uint8_t>(v >> 8);
                        row[bit / 8 + 1] = static_cast<std::uint8_t>(v);
                    } else if (spec.Depth == 8) {
                        row[bit / 8] = static_cast<std::uint8_t>(v);
                    } else {
                        row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - spec.Depth - bit % 8));
                    }
                    bit += spec.Depth;
                }
            }
            const int filter = spec.ForcedFilter >= 0 ? spec.ForcedFilter : rowCounter++ % 5;
            raw.push_back(static_cast<char>(filter));
            for (std::size_t i = 0; i < rowBytes; ++i) {
                const int a = i >= std::size_t(bpp) ? row[i - bpp] : 0;
                const int c = i >= std::size_t(bpp) ? prior[i - bpp] : 0;
                raw.push_back(static_cast<char>(row[i] - Predict(filter, a, prior[i], c)));
            }
            prior = row;
        }
    }
    return raw;
}

std::string BuildPngFromRaw(const PngSpec& spec, const std::string& zlibData)
{
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header = Be32(spec.Width) + Be32(spec.Height);
    header += static_cast<char>(spec.Depth);
    header += static_cast<char>(spec.ColorType);
    header += std::string(2, '\0');
    header += static_cast<char>(spec.Interlace ? 1 : 0);
    png += PngChunk("IHDR", header);
    if (spec.Gamma)
        png += PngChunk("gAMA", Be32(*spec.Gamma));
    if (!spec.Plte.empty())
        png += PngChunk("PLTE", spec.Plte);
    if (!spec.Trns.empty())
        png += PngChunk("tRNS", spec.Trns);
    for (const auto& [name, data] : spec.ChunksBeforeData)
        png += PngChunk(name, data);
    if (spec.SplitData && zlibData.size() > 2) {
        const std::size_t half = zlibData.size() / 2;
        png += PngChunk("IDAT", zlibData.substr(0, half));
        png += PngChunk("tEXt", std::string("Comment\0between", 15));
        png += PngChunk("IDAT", zlibData.substr(half));
    } else {
        png += PngChunk("IDAT", zlibData);
    }
    for (const auto& [name, data] : spec.ChunksAfterData)
        png += PngChunk(name, data);
    png += PngChunk("IEND", "");
    return png;
}

std::string BuildPng(const PngSpec& spec, const std::vector<std::uint16_t>& samples)
{
    const std::string raw = PngRawRows(spec, samples);
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), 6) != Z_OK)
        throw std::runtime_error("compress2");
    packed.resize(size);
    return BuildPngFromRaw(spec, packed);
}

std::vector<std::uint16_t> PngSamples(const PngSpec& spec, unsigned seed)
{
    const int channels = PngChannels(spec.ColorType);
    const std::uint32_t range = spec.ColorType == 3 ? static_cast<std::uint32_t>(spec.Plte.size() / 3)
                                                    : (1u << spec.Depth);
    std::vector<std::uint16_t> samples(std::size_t(spec.Width) * spec.Height * channels);
    std::uint32_t state = seed * 2654435761u + 12345;
    for (auto& s : samples) {
        state = state * 1664525u + 1013904223u;
        s = static_cast<std::uint16_t>((state >> 8) % range);
    }
    return samples;
}

// ---- GIF ----

namespace {

class BitWriter {
public:
    void Put(int code, int size)
    {
        bits_ |= std::uint32_t(code) << count_;
        count_ += size;
        while (count_ >= 8) {
            out.push_back(static_cast<char>(bits_ & 0xFF));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    void Flush()
    {
        if (count_ > 0)
            out.push_back(static_cast<char>(bits_ & 0xFF));
        bits_ = 0;
        count_ = 0;
    }
    std::string out;

private:
    std::uint32_t bits_ = 0;
    int count_ = 0;
};

std::string SubBlocks(const std::string& data)
{
    std::string out;
    for (std::size_t i = 0; i < data.size(); i += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - i);
        out.push_back(static_cast<char>(n));
        out += data.substr(i, n);
    }
    out.push_back('\0');
    return out;
}

std::string Le16(int v)
{
    std::string s(2, '\0');
    s[0] = static_cast<char>(v & 0xFF);
    s[1] = static_cast<char>((v >> 8) & 0xFF);
    return s;
}

int TableBits(std::size_t entries)
{
    int bits = 1;
    while ((std::size_t(1) << bits) < entries)
        ++bits;
    return bits;
}

std::string TableBytes(const std::vector<QRgb>& table, int bits)
{
    std::string out;
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = i < static_cast<int>(table.size()) ? table[i] : 0;
        out.push_back(static_cast<char>(qRed(c)));
        out.push_back(static_cast<char>(qGreen(c)));
        out.push_back(static_cast<char>(qBlue(c)));
    }
    return out;
}

}  // namespace

std::string LzwEncode(const std::vector<std::uint8_t>& pixels, int minCodeSize, bool startWithClear)
{
    // The encoder tracks the decoder's table, which gains its entries one code later than the
    // encoder's, to know when the code width grows.
    const int clear = 1 << minCodeSize, end = clear + 1;
    BitWriter writer;
    std::map<std::uint32_t, int> table;
    int next = end + 1, size = minCodeSize + 1, decoderNext = end + 1, sinceClear = 0;
    auto putCode = [&](int code) {
        writer.Put(code, size);
        if (sinceClear++ > 0 && decoderNext < 4096) {
            ++decoderNext;
            if (decoderNext >= (1 << size) && size < 12)
                ++size;
        }
    };
    auto reset = [&] {
        table.clear();
        next = end + 1;
        size = minCodeSize + 1;
        decoderNext = end + 1;
        sinceClear = 0;
    };
    if (startWithClear)
        writer.Put(clear, size);
    if (pixels.empty()) {
        writer.Put(end, size);
        writer.Flush();
        return writer.out;
    }
    int prefix = pixels[0];
    for (std::size_t i = 1; i < pixels.size(); ++i) {
        const std::uint32_t key = (std::uint32_t(prefix) << 8) | pixels[i];
        const auto found = table.find(key);
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        putCode(prefix);
        table[key] = next++;
        prefix = pixels[i];
        if (next == 4096) {
            writer.Put(clear, size);
            reset();
        }
    }
    putCode(prefix);
    writer.Put(end, size);
    writer.Flush();
    return writer.out;
}

GifWriter::GifWriter(int width, int height, const std::vector<QRgb>& global, const char* signature)
{
    out_ = signature;
    out_ += Le16(width) + Le16(height);
    if (!global.empty()) {
        globalBits_ = TableBits(global.size());
        out_.push_back(static_cast<char>(0x80 | 0x70 | (globalBits_ - 1)));
    } else {
        out_.push_back(0);
    }
    out_.push_back(0);
    out_.push_back(0);
    if (!global.empty())
        out_ += TableBytes(global, globalBits_);
}

void GifWriter::Loop(int count)
{
    out_ += "\x21\xFF\x0BNETSCAPE2.0";
    out_ += std::string("\x03\x01", 2) + Le16(count) + std::string(1, '\0');
}

void GifWriter::Control(int disposal, int delayHundredths, int transparentIndex)
{
    out_ += "\x21\xF9\x04";
    out_.push_back(static_cast<char>((disposal << 2) | (transparentIndex >= 0 ? 1 : 0)));
    out_ += Le16(delayHundredths);
    out_.push_back(static_cast<char>(transparentIndex >= 0 ? transparentIndex : 0));
    out_.push_back(0);
}

void GifWriter::Comment(const std::string& text)
{
    out_ += "\x21\xFE";
    out_ += SubBlocks(text);
}

void GifWriter::Image(int left, int top, int width, int height, const std::vector<std::uint8_t>& pixels,
                      const std::vector<QRgb>& local, bool interlace, int minCodeSize)
{
    out_.push_back(',');
    out_ += Le16(left) + Le16(top) + Le16(width) + Le16(height);
    const int localBits = local.empty() ? 0 : TableBits(local.size());
    out_.push_back(static_cast<char>((local.empty() ? 0 : 0x80 | (localBits - 1)) | (interlace ? 0x40 : 0)));
    if (!local.empty())
        out_ += TableBytes(local, localBits);
    std::vector<std::uint8_t> ordered;
    if (interlace) {
        static constexpr int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
        for (int p = 0; p < 4; ++p)
            for (int y = kStart[p]; y < height; y += kStep[p])
                ordered.insert(ordered.end(), pixels.begin() + std::size_t(y) * width,
                               pixels.begin() + std::size_t(y + 1) * width);
    } else {
        ordered = pixels;
    }
    const int bits = minCodeSize > 0 ? minCodeSize : std::max(2, local.empty() ? globalBits_ : localBits);
    out_.push_back(static_cast<char>(bits));
    out_ += SubBlocks(LzwEncode(ordered, bits));
}

std::string GifWriter::Finish()
{
    out_.push_back(';');
    return out_;
}

std::vector<QRgb> TestPalette(int entries)
{
    std::vector<QRgb> palette;
    for (int i = 0; i < entries; ++i)
        palette.push_back(qRgb((i * 53) & 0xFF, (i * 101 + 7) & 0xFF, (255 - i * 29) & 0xFF));
    return palette;
}

// ---- JPEG ----

std::string EncodeJpeg(const QImage& image, int quality, bool progressive, bool grayscale)
{
    const QImage source = image.convertToFormat(grayscale ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(source.width());
    info.image_height = static_cast<JDIMENSION>(source.height());
    info.input_components = grayscale ? 1 : 3;
    info.in_color_space = grayscale ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(source.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

QImage TestPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int r = x * 255 / std::max(1, width - 1);
            const int g = y * 255 / std::max(1, height - 1);
            const int b = ((x / 8 + y / 8) % 2) ? 200 : 40;
            image.setPixel(x, y, qRgb(r, g, b));
        }
    return image;
}

std::string EmfRecord(std::uint32_t type, const std::vector<std::int32_t>& words)
{
    std::string record;
    const auto put = [&record](std::uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8)
            record += static_cast<char>((v >> shift) & 0xFF);
    };
    put(type);
    put(static_cast<std::uint32_t>(8 + 4 * words.size()));
    for (std::int32_t w : words)
        put(static_cast<std::uint32_t>(w));
    return record;
}

std::string BuildEmf(int width, int height, const std::string& records)
{
    const std::string end = EmfRecord(14, {0, 16, 20});
    const int size = static_cast<int>(88 + records.size() + end.size());
    // Bounds, the frame in hundredths of a millimetre, " EMF", version, size, record and handle
    // counts, a reference device of 960 x 960 pixels on 254 x 254 mm (96 ppi).
    const std::string header = EmfRecord(1, {0, 0, width - 1, height - 1, 0, 0, width * 2540 / 96, height * 2540 / 96,
                                             0x464D4520, 0x10000, size, 0, 8, 0, 0, 0, 960, 960, 254, 254});
    return header + records + end;
}

std::string EllipsesEmf(int width, int height, int count)
{
    std::string records = EmfRecord(39, {1, 0, 0x0000FF, 0}) + EmfRecord(39, {2, 0, 0xFF0000, 0});
    unsigned seed = 56;
    const auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<unsigned>(range));
    };
    for (int i = 0; i < count; ++i) {
        if (i % 100 == 0)
            records += EmfRecord(37, {1 + (i / 100) % 2});
        const int size = 20 + next(181);
        const int x = next(std::max(1, width - size));
        const int y = next(std::max(1, height - size));
        records += EmfRecord(42, {x, y, x + size, y + size});
    }
    return BuildEmf(width, height, records);
}

std::string FullSizeEllipsesEmf(int width, int height, int count)
{
    std::string records;
    for (int i = 0; i < count; ++i)
        records += EmfRecord(42, {0, 0, width, height});
    return BuildEmf(width, height, records);
}

std::string StretchDibitsEmfRecord(int left, int top, int destWidth, int destHeight, int width, int height)
{
    const int stride = (width + 31) / 32 * 4;
    const int bitsSize = stride * height;
    // The record's own fields (80 bytes with type and length), then the bitmap's header and its
    // two colours (48 bytes), then the rows.
    const int infoAt = 80, infoSize = 48;
    const std::vector<std::int32_t> words = {
        left, top, left + destWidth - 1, top + destHeight - 1,  // bounds
        left, top, 0, 0, width, height,                         // destination, source
        infoAt, infoSize, infoAt + infoSize, bitsSize, 0, 0x00CC0020, destWidth, destHeight,
        40, width, height, 1 | (1 << 16), 0, bitsSize, 0, 0, 2, 0,  // the bitmap's header
        0x000000, 0xFFFFFF};
    std::string record = EmfRecord(81, words) + std::string(static_cast<std::size_t>(bitsSize), '\0');
    const std::uint32_t size = static_cast<std::uint32_t>(record.size());
    for (int i = 0; i < 4; ++i)
        record[4 + static_cast<std::size_t>(i)] = static_cast<char>((size >> (8 * i)) & 0xFF);
    return record;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteSeed(const std::string& kind, const std::string& name, const std::string& bytes)
{
    const char* intoSource = std::getenv("VELMORAN_WRITE_SEEDS");
    const std::string folder = intoSource != nullptr && *intoSource != 0
                                   ? std::string(VELMORAN_TEST_DATA) + "/../fuzz/seeds/" + kind
                                   : std::string(VELMORAN_ARTIFACTS) + "/seeds/" + kind;
    WriteFile(folder + "/" + name, bytes);
}

}  // namespace imagetest
