// Writing pictures as PNG: header from the picture, palette, transparent colour, filtered rows
// deflated into one IDAT chunk, and the kept ancillary chunks.
#include "html/base/image/PngDecode.h"

#include "platform/core/Stream.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace velmoran {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

void PutBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void PutBigEndian16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void WriteChunk(TStream& stream, const TChunk& chunk)
{
    std::vector<std::uint8_t> out;
    out.reserve(chunk.Data.size() + 12);
    PutBigEndian32(out, static_cast<std::uint32_t>(chunk.Data.size()));
    out.insert(out.end(), chunk.Name.begin(), chunk.Name.end());
    out.insert(out.end(), chunk.Data.begin(), chunk.Data.end());
    PutBigEndian32(out, PngCrc(chunk.Name.data(), chunk.Data.data(), chunk.Data.size()));
    stream.WriteBuffer(out.data(), static_cast<std::int64_t>(out.size()));
}

inline int PaethPredictor(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

void ApplyFilter(int filter, const std::uint8_t* row, const std::uint8_t* prior, std::uint8_t* out,
                 std::size_t length, std::size_t bpp)
{
    for (std::size_t i = 0; i < length; ++i) {
        const int a = i >= bpp ? row[i - bpp] : 0;
        const int b = prior[i];
        const int c = i >= bpp ? prior[i - bpp] : 0;
        int predicted = 0;
        switch (filter) {
        case 1: predicted = a; break;
        case 2: predicted = b; break;
        case 3: predicted = (a + b) >> 1; break;
        case 4: predicted = PaethPredictor(a, b, c); break;
        default: break;
        }
        out[i] = static_cast<std::uint8_t>(row[i] - predicted);
    }
}

// How well a filtered row will compress: the bytes that repeat each of the four bytes before them.
int RepeatScore(const std::uint8_t* row, std::size_t length)
{
    int score = 0;
    for (std::size_t i = 4; i < length; ++i)
        if (row[i] == row[i - 1] && row[i] == row[i - 2] && row[i] == row[i - 3] && row[i] == row[i - 4])
            ++score;
    return score;
}

// Deflates the filtered rows into one buffer.
class Deflater {
public:
    Deflater()
    {
        const int result = deflateInit(&stream_, Z_DEFAULT_COMPRESSION);
        if (result != Z_OK)
            throw EZCompressionError(zError(result));
    }
    ~Deflater() { deflateEnd(&stream_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    void Write(const std::uint8_t* data, std::size_t count) { Run(data, count, Z_NO_FLUSH); }
    std::vector<std::uint8_t> Finish()
    {
        Run(nullptr, 0, Z_FINISH);
        return std::move(out_);
    }

private:
    void Run(const std::uint8_t* data, std::size_t count, int flush)
    {
        stream_.next_in = const_cast<Bytef*>(data);
        stream_.avail_in = static_cast<uInt>(count);
        std::uint8_t buffer[65536];
        for (;;) {
            stream_.next_out = buffer;
            stream_.avail_out = sizeof buffer;
            const int result = deflate(&stream_, flush);
            if (result < 0 && result != Z_BUF_ERROR)
                throw EZCompressionError(stream_.msg != nullptr ? stream_.msg : zError(result));
            out_.insert(out_.end(), buffer, buffer + (sizeof buffer - stream_.avail_out));
            if (flush == Z_FINISH ? result == Z_STREAM_END : stream_.avail_in == 0 && stream_.avail_out != 0)
                break;
        }
    }

    z_stream stream_{};
    std::vector<std::uint8_t> out_;
};

}  // namespace

void TPNGImage::SaveToStream(TStream& stream)
{
    stream.WriteBuffer(kSignature, sizeof kSignature);
    if (chunks_.Count() == 0)
        chunks_ = TPNGImage().chunks_;

    // Pixel layout of what is written: palette pictures of 1 and 8 bits keep their indexes, pictures
    // with an alpha channel become 8-bit RGBA (not premultiplied), everything else 8-bit RGB.
    QImage picture = picture_;
    int depth = 8;
    int colorType = 2;
    if (picture.format() == QImage::Format_Mono || picture.format() == QImage::Format_MonoLSB) {
        picture = picture.convertToFormat(QImage::Format_Mono);
        depth = 1;
        colorType = 3;
    } else if (picture.format() == QImage::Format_Indexed8) {
        colorType = 3;
    } else if (picture.hasAlphaChannel()) {
        picture = picture.convertToFormat(QImage::Format_RGBA8888);
        colorType = 6;
    } else {
        picture = picture.convertToFormat(QImage::Format_RGB888);
    }
    const int width = picture.width();
    const int height = picture.height();

    std::uint32_t gamma = 0;
    if (const int i = chunks_.IndexOfName("gAMA"); i >= 0 && chunks_.Item(i).Data.size() == 4) {
        const auto* g = chunks_.Item(i).Data.data();
        gamma = (std::uint32_t(g[0]) << 24) | (std::uint32_t(g[1]) << 16) | (std::uint32_t(g[2]) << 8) | g[3];
    }
    std::array<std::uint8_t, 256> inverse{};
    {
        const auto table = PngGammaTable(gamma);
        for (int i = 0; i < 256; ++i)
            inverse[i] = static_cast<std::uint8_t>(i);
        if (gamma != 0)
            for (int i = 0; i < 256; ++i)
                inverse[table[i]] = static_cast<std::uint8_t>(i);
    }

    // The chunks that describe the pixels are made afresh; others are kept in their order.
    TChunkList kept;
    for (int i = 0; i < chunks_.Count(); ++i) {
        const TChunk& chunk = chunks_.Item(i);
        if (chunk.Name != "IHDR" && chunk.Name != "PLTE" && chunk.Name != "tRNS" && chunk.Name != "IDAT" &&
            chunk.Name != "IEND")
            kept.Add(chunk);
    }

    TChunk header{"IHDR", {}};
    PutBigEndian32(header.Data, static_cast<std::uint32_t>(width));
    PutBigEndian32(header.Data, static_cast<std::uint32_t>(height));
    header.Data.insert(header.Data.end(), {static_cast<std::uint8_t>(depth), static_cast<std::uint8_t>(colorType),
                                           0, 0, 0});
    kept.Insert(std::move(header), 0);
    int next = 1;
    const QList<QRgb> colors = picture.colorTable();
    if (colorType == 3) {
        TChunk plte{"PLTE", {}};
        const int entries = std::min<int>(static_cast<int>(colors.size()), 1 << depth);
        for (int i = 0; i < std::max(entries, 1); ++i) {
            const QRgb c = i < entries ? colors[i] : qRgb(0, 0, 0);
            plte.Data.insert(plte.Data.end(), {inverse[qRed(c)], inverse[qGreen(c)], inverse[qBlue(c)]});
        }
        kept.Insert(std::move(plte), next++);
    }
    if (writeTransparent_ && colorType != 6) {  // an alpha channel says it already
        // The PNG form of a transparent colour: three 16-bit samples for RGB, one alpha per
        // palette entry up to the transparent one for palette pictures.
        const QRgb key = *writeTransparent_;
        TChunk trns{"tRNS", {}};
        if (colorType == 2) {
            PutBigEndian16(trns.Data, static_cast<std::uint16_t>(qRed(key)));
            PutBigEndian16(trns.Data, static_cast<std::uint16_t>(qGreen(key)));
            PutBigEndian16(trns.Data, static_cast<std::uint16_t>(qBlue(key)));
        } else {
            for (int i = 0; i < std::min<int>(static_cast<int>(colors.size()), 1 << depth); ++i) {
                const bool match = (colors[i] & 0xFFFFFF) == (key & 0xFFFFFF);
                trns.Data.push_back(match ? 0 : 255);
                if (match)
                    break;
            }
        }
        if (!trns.Data.empty())
            kept.Insert(std::move(trns), next++);
    }

    // Rows, top down, each with the filter that leaves the most repeated bytes.
    const std::size_t bpp = colorType == 2 ? 3 : colorType == 6 ? 4 : 1;
    const std::size_t rowBytes = colorType == 3 ? (std::size_t(width) * depth + 7) / 8 : std::size_t(width) * bpp;
    std::vector<std::uint8_t> row(rowBytes), prior(rowBytes, 0), best(rowBytes + 1), trial(rowBytes);
    Deflater deflater;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* line = picture.constScanLine(y);
        if (colorType != 3)
            for (std::size_t i = 0; i < rowBytes; ++i)
                row[i] = bpp == 4 && i % 4 == 3 ? line[i] : inverse[line[i]];  // alpha has no gamma
        else
            std::memcpy(row.data(), line, rowBytes);
        int bestScore = -1;
        for (int filter = 0; filter <= 4; ++filter) {
            if (filter != 0 && !(Filters & (1 << filter)))
                continue;
            ApplyFilter(filter, row.data(), prior.data(), trial.data(), rowBytes, bpp);
            const int score = RepeatScore(trial.data(), rowBytes);
            if (score > bestScore) {
                bestScore = score;
                best[0] = static_cast<std::uint8_t>(filter);
                std::memcpy(best.data() + 1, trial.data(), rowBytes);
            }
        }
        deflater.Write(best.data(), rowBytes + 1);
        std::swap(row, prior);
    }
    int endIndex = kept.IndexOfName("IEND");
    if (endIndex < 0) {
        kept.Add({"IEND", {}});
        endIndex = kept.Count() - 1;
    }
    kept.Insert({"IDAT", deflater.Finish()}, endIndex);

    Interlaced = false;
    chunks_ = kept;
    for (int i = 0; i < chunks_.Count(); ++i) {
        const TChunk& chunk = chunks_.Item(i);
        // Chunks whose fourth letter is lower case are not written.
        if (chunk.Name[3] >= 'a' && chunk.Name[3] <= 'z')
            continue;
        WriteChunk(stream, chunk);
    }
}

}  // namespace velmoran
