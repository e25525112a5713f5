// Reading PNG pictures: chunk list, validation, inflation, row filters, Adam7 interlacing and
// the mapping of every colour type and bit depth into a QImage.
#include "html/base/image/PngDecode.h"

#include "platform/core/Stream.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velmoran {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// Upper bound of the decoded picture (32 bits a pixel) that a PNG may ask for.
constexpr std::uint64_t kMaxPictureBytes = std::uint64_t(1) << 30;
// Deflate cannot expand data by more than about 1032:1; image data needing more than that
// from the compressed bytes given cannot be complete.
constexpr std::uint64_t kMaxInflateRatio = 1032;

std::uint32_t BigEndian32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

std::uint16_t BigEndian16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool ValidDepthForType(int colorType, int depth)
{
    switch (colorType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

int Channels(int colorType)
{
    switch (colorType) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
    }
}

// Adam7 pass geometry; pass 0 stands for a picture without interlacing.
struct Pass {
    int RowStart, ColStart, RowStep, ColStep;
};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4},
                            {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};

std::uint64_t PassCount(std::uint64_t size, int start, int step)
{
    return size > std::uint64_t(start) ? (size - start + step - 1) / step : 0;
}

inline int Paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

void Unfilter(int filter, std::uint8_t* row, const std::uint8_t* prior, std::size_t length, std::size_t bpp)
{
    switch (filter) {
    case 0:
        break;
    case 1:
        for (std::size_t i = bpp; i < length; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + row[i - bpp]);
        break;
    case 2:
        for (std::size_t i = 0; i < length; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + prior[i]);
        break;
    case 3:
        for (std::size_t i = 0; i < std::min(bpp, length); ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + (prior[i] >> 1));
        for (std::size_t i = bpp; i < length; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + ((row[i - bpp] + prior[i]) >> 1));
        break;
    case 4:
        for (std::size_t i = 0; i < std::min(bpp, length); ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + prior[i]);
        for (std::size_t i = bpp; i < length; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + Paeth(row[i - bpp], prior[i], prior[i - bpp]));
        break;
    default:
        throw EPNGImageException(png::UnknownFilter);
    }
}

// Owns a zlib inflater over the joined image data and hands out exactly sized pieces.
class Inflater {
public:
    Inflater(const std::uint8_t* data, std::size_t size)
    {
        stream_.next_in = const_cast<Bytef*>(data);
        stream_.avail_in = static_cast<uInt>(size);
        const int result = inflateInit(&stream_);
        if (result != Z_OK)
            throw EZDecompressionError(zError(result));
    }
    ~Inflater() { inflateEnd(&stream_); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Fills exactly count bytes; image data that ends first is a corrupted picture.
    void ReadExactly(std::uint8_t* buffer, std::size_t count)
    {
        stream_.next_out = buffer;
        stream_.avail_out = static_cast<uInt>(count);
        while (stream_.avail_out > 0) {
            const int result = inflate(&stream_, Z_NO_FLUSH);
            if (result == Z_OK || (result == Z_STREAM_END && stream_.avail_out == 0))
                continue;
            if (result == Z_STREAM_END || result == Z_BUF_ERROR)
                throw EPNGImageException(png::CorruptedData);
            throw EZDecompressionError(stream_.msg != nullptr ? stream_.msg : zError(result));
        }
    }

private:
    z_stream stream_{};
};

// Writes the samples of one unfiltered row into the picture at the given column positions.
class RowStore {
public:
    int ColorType = 0;
    int Depth = 0;
    const std::uint8_t* Gamma = nullptr;  // 256 entries
    bool Indexed = false;                 // the picture is Format_Indexed8
    bool HasGreyKey = false;
    std::uint16_t GreyKey = 0;
    bool HasRgbKey = false;
    std::array<std::uint16_t, 3> RgbKey{};

    void Store(const std::uint8_t* raw, std::uint8_t* line, int x0, int dx, std::size_t count) const
    {
        if (Indexed)
            StoreIndexed(raw, line + x0, dx, count);
        else
            StoreColor(raw, reinterpret_cast<QRgb*>(line) + x0, dx, count);
    }

private:
    void StoreIndexed(const std::uint8_t* raw, std::uint8_t* out, int dx, std::size_t count) const
    {
        if (Depth == 8) {
            if (dx == 1)
                std::memcpy(out, raw, count);
            else
                for (std::size_t i = 0; i < count; ++i)
                    out[i * dx] = raw[i];
        } else if (Depth == 16) {
            for (std::size_t i = 0; i < count; ++i)
                out[i * dx] = raw[2 * i];
        } else {
            const int mask = (1 << Depth) - 1;
            for (std::size_t i = 0; i < count; ++i) {
                const std::size_t bit = i * Depth;
                const int shift = 8 - Depth - static_cast<int>(bit & 7);
                out[i * dx] = static_cast<std::uint8_t>((raw[bit >> 3] >> shift) & mask);
            }
        }
    }

    void StoreColor(const std::uint8_t* raw, QRgb* out, int dx, std::size_t count) const
    {
        const std::uint8_t* g = Gamma;
        if (ColorType == 2 && Depth == 8) {
            for (std::size_t i = 0; i < count; ++i, raw += 3) {
                const bool key = HasRgbKey && raw[0] == RgbKey[0] && raw[1] == RgbKey[1] && raw[2] == RgbKey[2];
                out[i * dx] = qRgba(g[raw[0]], g[raw[1]], g[raw[2]], key ? 0 : 255);
            }
        } else if (ColorType == 2) {
            for (std::size_t i = 0; i < count; ++i, raw += 6) {
                const bool key = HasRgbKey && BigEndian16(raw) == RgbKey[0] && BigEndian16(raw + 2) == RgbKey[1] &&
                                 BigEndian16(raw + 4) == RgbKey[2];
                out[i * dx] = qRgba(g[raw[0]], g[raw[2]], g[raw[4]], key ? 0 : 255);
            }
        } else if (ColorType == 6 && Depth == 8) {
            // Types 6 and 4 keep their alpha: dropped, transparent parts would show the colour stored there.
            for (std::size_t i = 0; i < count; ++i, raw += 4)
                out[i * dx] = qRgba(g[raw[0]], g[raw[1]], g[raw[2]], raw[3]);
        } else if (ColorType == 6) {
            for (std::size_t i = 0; i < count; ++i, raw += 8)
                out[i * dx] = qRgba(g[raw[0]], g[raw[2]], g[raw[4]], raw[6]);
        } else if (ColorType == 4) {
            const int step = Depth / 4;  // bytes a pixel: 2 or 4
            for (std::size_t i = 0; i < count; ++i, raw += step) {
                const std::uint8_t v = g[raw[0]];
                out[i * dx] = qRgba(v, v, v, raw[step / 2]);
            }
        } else {  // 16-bit greyscale with a transparent grey
            for (std::size_t i = 0; i < count; ++i, raw += 2) {
                const std::uint8_t v = g[raw[0]];
                const bool key = HasGreyKey && BigEndian16(raw) == GreyKey;
                out[i * dx] = qRgba(v, v, v, key ? 0 : 255);
            }
        }
    }
};

}  // namespace

std::string PngMessage(int id)
{
    switch (id) {
    case png::CorruptedData: return "Can't read the PNG image, it has corrupted data. ";
    case png::NoIHDR: return "This PNG image is invalid, the IHDR chunk is either not present or it isn't the first chunk.";
    case png::NoImageData: return "The current image being loaded has no data and could not be loaded.";
    case png::InvalidPalette: return "The current image being loaded has an invalid palette!";
    case png::UnknownColorType: return "Could not read the image because it has an unknown color type.";
    case png::UnknownFilter: return "The image could not be loaded because it uses an unknown set of filter types.";
    case png::UnknownInterlace: return "The image has an unknown interlace method.";
    case png::UnknownCriticalChunk:
        return "The currently being loaded image contains critical(s) chunk(s) not reconized by the decoder.";
    case png::MissingPalette: return "The current image requeries a palette but it is not avaliable.";
    case png::NotRGB:
        return "Can not get transparency information because the current image color type is not RGB (value 3)";
    case png::ChunkNotInList:
        return "The especified chunk is not inside the chunk list containing the method being used. The funcion could "
               "not be completed.";
    case png::InvalidHeader: return "Invalid Portable Graphics Network image, it has an invalid file header.";
    case png::ChunkIndexOutOfRange: return "The chunk index especified is out of the range.";
    case png::ChunkClassIndexOutOfRange: return "The chunk class index especified is  out of range.";
    default: return {};
    }
}

EPNGImageException::EPNGImageException(int id)
    : Exception("Portable Network Graphics format handler error\r\n\r\n" + PngMessage(id)), id_(id)
{
}

std::uint32_t PngCrc(const char* name, const std::uint8_t* data, std::size_t length)
{
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(name), 4);
    if (length > 0)
        crc = crc32_z(crc, data, length);
    return static_cast<std::uint32_t>(crc);
}

TChunk& TChunkList::Item(int index)
{
    if (index < 0 || index >= Count())
        throw EPNGImageException(png::ChunkIndexOutOfRange);
    return chunks_[static_cast<std::size_t>(index)];
}

const TChunk& TChunkList::Item(int index) const
{
    return const_cast<TChunkList*>(this)->Item(index);
}

int TChunkList::IndexOfName(const std::string& name) const
{
    for (std::size_t i = 0; i < chunks_.size(); ++i)
        if (chunks_[i].Name == name)
            return static_cast<int>(i);
    return -1;
}

TChunk& TChunkList::Add(TChunk chunk)
{
    chunks_.push_back(std::move(chunk));
    return chunks_.back();
}

void TChunkList::Insert(TChunk chunk, int index)
{
    index = std::clamp(index, 0, Count());
    chunks_.insert(chunks_.begin() + index, std::move(chunk));
}

void TChunkList::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw EPNGImageException(png::ChunkNotInList);
    chunks_.erase(chunks_.begin() + index);
}

bool IsRegisteredChunk(const std::string& name)
{
    return name == "IEND" || name == "IHDR" || name == "gAMA" || name == "IDAT" || name == "PLTE" || name == "tEXt" ||
           name == "tRNS";
}

std::array<std::uint8_t, 256> PngGammaTable(std::uint32_t gamma)
{
    std::array<std::uint8_t, 256> table{};
    if (gamma == 0) {
        for (int i = 0; i < 256; ++i)
            table[i] = static_cast<std::uint8_t>(i);
        return table;
    }
    const double exponent = 1.0 / (gamma / 100000.0 * 2.2);
    for (int i = 0; i < 256; ++i) {
        const double v = std::round(255.0 * std::pow(i / 255.0, exponent));
        table[i] = static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
    }
    return table;
}

TPNGImage::TPNGImage()
{
    TChunk header{"IHDR", std::vector<std::uint8_t>(13, 0)};
    header.Data[8] = 2;  // bit depth
    header.Data[9] = 3;  // colour type
    chunks_.Add(std::move(header));
    chunks_.Add({"IDAT", {}});
    chunks_.Add({"IEND", {}});
}

void TPNGImage::LoadFromStream(TStream& stream)
{
    const std::int64_t remaining = std::max<std::int64_t>(0, stream.Size() - stream.Position());
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(remaining));
    const std::int64_t got = remaining > 0 ? stream.Read(bytes.data(), remaining) : 0;
    LoadFromBytes(bytes.data(), static_cast<std::size_t>(std::max<std::int64_t>(0, got)));
}

void TPNGImage::LoadFromBytes(const std::uint8_t* bytes, std::size_t count)
{
    chunks_.Clear();
    picture_ = QImage();
    bitDepth_ = colorType_ = interlace_ = 0;
    gamma_ = 0;
    rgbTransparent_.reset();

    if (count < 8 || std::memcmp(bytes, kSignature, 8) != 0)
        throw EPNGImageException(png::InvalidHeader);

    // Chunks: every length is checked against what the data holds before it is used.
    std::size_t pos = 8;
    int firstIdat = -1;
    while (pos < count) {
        if (count - pos < 8)
            throw EPNGImageException(png::CorruptedData);
        const std::uint32_t length = BigEndian32(bytes + pos);
        std::string name(reinterpret_cast<const char*>(bytes + pos + 4), 4);
        if (length > 0x7FFFFFFFu || !std::all_of(name.begin(), name.end(), IsLetter))
            throw EPNGImageException(png::CorruptedData);
        const bool registered = IsRegisteredChunk(name);
        if (!registered && name[0] >= 'A' && name[0] <= 'Z')
            throw EPNGImageException(png::UnknownCriticalChunk);
        if (std::uint64_t(count - pos - 8) < std::uint64_t(length) + 4)
            throw EPNGImageException(png::CorruptedData);
        const std::uint8_t* data = bytes + pos + 8;
        if (BigEndian32(data + length) != PngCrc(name.data(), data, length))
            throw EPNGImageException(png::CorruptedData);
        pos += std::size_t(length) + 12;
        if (name == "IDAT" && firstIdat >= 0) {
            auto& joined = chunks_.Item(firstIdat).Data;
            joined.insert(joined.end(), data, data + length);
        } else {
            if (name == "IDAT")
                firstIdat = chunks_.Count();
            chunks_.Add({name, std::vector<std::uint8_t>(data, data + length)});
        }
        if (name == "IEND")
            break;
    }

    if (chunks_.Count() == 0 || chunks_.Item(0).Name != "IHDR")
        throw EPNGImageException(png::NoIHDR);
    if (firstIdat < 0)
        throw EPNGImageException(png::NoImageData);

    // Header.
    const auto& header = chunks_.Item(0).Data;
    if (header.size() != 13)
        throw EPNGImageException(png::CorruptedData);
    const std::uint32_t width = BigEndian32(header.data());
    const std::uint32_t height = BigEndian32(header.data() + 4);
    const int depth = header[8];
    const int colorType = header[9];
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
        throw EPNGImageException(png::CorruptedData);
    if (!ValidDepthForType(colorType, depth))
        throw EPNGImageException(png::UnknownColorType);
    if (header[10] != 0 || header[11] != 0)
        throw EPNGImageException(png::CorruptedData);
    if (header[12] > 1)
        throw EPNGImageException(png::UnknownInterlace);
    const int interlace = header[12];
    if (std::uint64_t(width) * height * 4 > kMaxPictureBytes)
        throw EPNGImageException(png::CorruptedData);

    // Palette, gamma and transparency count only before the image data, as PNG orders them.
    const auto before = [&](const char* name) {
        const int i = chunks_.IndexOfName(name);
        return i >= 0 && i < firstIdat ? i : -1;
    };

    // Gamma: a gAMA of 0 would divide by zero and is ignored.
    std::uint32_t gamma = 0;
    if (const int i = before("gAMA"); i >= 0 && chunks_.Item(i).Data.size() == 4)
        gamma = BigEndian32(chunks_.Item(i).Data.data());
    const auto gammaTable = PngGammaTable(gamma);

    RowStore store;
    store.ColorType = colorType;
    store.Depth = depth;
    store.Gamma = gammaTable.data();

    // Palette and transparency.
    QList<QRgb> table;
    const int trnsIndex = before("tRNS");
    const std::vector<std::uint8_t>* trns = trnsIndex >= 0 ? &chunks_.Item(trnsIndex).Data : nullptr;
    if (colorType == 3) {
        const int plteIndex = before("PLTE");
        if (plteIndex < 0)
            throw EPNGImageException(png::MissingPalette);
        const auto& plte = chunks_.Item(plteIndex).Data;
        if (plte.size() % 3 != 0)
            throw EPNGImageException(png::InvalidPalette);
        // Entries the bit depth cannot index are never shown; those the palette lacks are black.
        const std::size_t entries = std::min(plte.size() / 3, std::size_t(1) << depth);
        table.resize(1 << depth, qRgb(0, 0, 0));
        for (std::size_t i = 0; i < entries; ++i) {
            // tRNS alpha is kept here and for grey keys too: else transparent parts show as coloured blocks.
            const int alpha = trns != nullptr && i < trns->size() ? (*trns)[i] : 255;
            table[static_cast<int>(i)] =
                qRgba(gammaTable[plte[3 * i]], gammaTable[plte[3 * i + 1]], gammaTable[plte[3 * i + 2]], alpha);
        }
        store.Indexed = true;
    } else if (colorType == 0) {
        if (trns != nullptr && trns->size() >= 2) {
            store.HasGreyKey = true;
            store.GreyKey = BigEndian16(trns->data());
        }
        if (depth <= 8 || !store.HasGreyKey) {
            const int entries = depth == 16 ? 256 : 1 << depth;
            for (int i = 0; i < entries; ++i) {
                const std::uint8_t v = gammaTable[i * 255 / (entries - 1)];
                const bool key = store.HasGreyKey && depth <= 8 && i == store.GreyKey;
                table.push_back(qRgba(v, v, v, key ? 0 : 255));
            }
            store.Indexed = true;
        }
    } else if (colorType == 2 && trns != nullptr && trns->size() >= 6) {
        store.HasRgbKey = true;
        store.RgbKey = {BigEndian16(trns->data()), BigEndian16(trns->data() + 2), BigEndian16(trns->data() + 4)};
    }

    const int channels = Channels(colorType);
    const std::uint64_t bitsPerPixel = std::uint64_t(depth) * channels;
    const std::size_t bpp = std::max<std::size_t>(1, bitsPerPixel / 8);

    // The inflated size the rows need; more than the compressed data can give means the data
    // ends early, which is told before any picture memory is taken.
    std::uint64_t needed = 0;
    for (int p = 0; p < (interlace ? 7 : 1); ++p) {
        const Pass pass = interlace ? kAdam7[p] : Pass{0, 0, 1, 1};
        const std::uint64_t cols = PassCount(width, pass.ColStart, pass.ColStep);
        const std::uint64_t rows = PassCount(height, pass.RowStart, pass.RowStep);
        if (cols > 0 && rows > 0)
            needed += rows * ((cols * bitsPerPixel + 7) / 8 + 1);
    }
    const auto& idat = chunks_.Item(firstIdat).Data;
    if (needed > std::uint64_t(idat.size()) * kMaxInflateRatio + 1024)
        throw EPNGImageException(png::CorruptedData);

    QImage::Format format = QImage::Format_RGB32;
    if (store.Indexed)
        format = QImage::Format_Indexed8;
    else if (colorType == 4 || colorType == 6 || store.HasRgbKey || store.HasGreyKey)
        format = QImage::Format_ARGB32;
    QImage picture(static_cast<int>(width), static_cast<int>(height), format);
    if (picture.isNull())
        throw EPNGImageException(png::CorruptedData);
    if (store.Indexed)
        picture.setColorTable(table);

    Inflater inflater(idat.data(), idat.size());
    const std::size_t fullRowBytes = static_cast<std::size_t>((std::uint64_t(width) * bitsPerPixel + 7) / 8);
    std::vector<std::uint8_t> current(fullRowBytes + 1), prior(fullRowBytes + 1);
    for (int p = 0; p < (interlace ? 7 : 1); ++p) {
        const Pass pass = interlace ? kAdam7[p] : Pass{0, 0, 1, 1};
        const std::uint64_t cols = PassCount(width, pass.ColStart, pass.ColStep);
        const std::uint64_t rows = PassCount(height, pass.RowStart, pass.RowStep);
        if (cols == 0 || rows == 0)
            continue;
        const std::size_t rowBytes = static_cast<std::size_t>((cols * bitsPerPixel + 7) / 8);
        std::fill(prior.begin(), prior.begin() + rowBytes + 1, 0);
        for (std::uint64_t r = 0; r < rows; ++r) {
            inflater.ReadExactly(current.data(), rowBytes + 1);
            Unfilter(current[0], current.data() + 1, prior.data() + 1, rowBytes, bpp);
            const int y = static_cast<int>(pass.RowStart + r * pass.RowStep);
            store.Store(current.data() + 1, picture.scanLine(y), pass.ColStart, pass.ColStep,
                        static_cast<std::size_t>(cols));
            std::swap(current, prior);
        }
    }

    picture_ = std::move(picture);
    bitDepth_ = depth;
    colorType_ = colorType;
    interlace_ = interlace;
    Interlaced = interlace == 1;
    gamma_ = gamma;
    if (store.HasRgbKey)
        rgbTransparent_ = store.RgbKey;
}

std::vector<std::pair<std::string, std::string>> TPNGImage::Texts() const
{
    std::vector<std::pair<std::string, std::string>> texts;
    for (int i = 0; i < chunks_.Count(); ++i) {
        const TChunk& chunk = chunks_.Item(i);
        if (chunk.Name != "tEXt")
            continue;
        const auto zero = std::find(chunk.Data.begin(), chunk.Data.end(), std::uint8_t(0));
        std::string keyword(chunk.Data.begin(), zero);
        std::string text = zero == chunk.Data.end() ? std::string() : std::string(zero + 1, chunk.Data.end());
        texts.emplace_back(std::move(keyword), std::move(text));
    }
    return texts;
}

std::optional<QRgb> TPNGImage::TransparentColor() const
{
    if (colorType_ != 2)
        throw EPNGImageException(png::NotRGB);
    if (!rgbTransparent_)
        return std::nullopt;
    const auto& key = *rgbTransparent_;
    if (bitDepth_ == 16)
        return qRgb(key[0] >> 8, key[1] >> 8, key[2] >> 8);
    return qRgb(key[0] & 0xFF, key[1] & 0xFF, key[2] & 0xFF);
}

}  // namespace velmoran
