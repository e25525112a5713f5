// GIF decoding: blocks, extensions, LZW with interlacing, and the composed strip of all frames.
#include "html/base/image/GifDecoder.h"

#include "html/base/image/ImageObject.h"
#include "platform/core/Stream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace velmoran {

namespace {

TGifError lastError;

[[noreturn]] void Fail(int code, const std::string& special = {})
{
    const std::string text = code == gif::SpecialMessage ? special : GifErrorMessage(code);
    lastError = {code, text};
    throw EInvalidGraphicOperation(code, "TGif: " + text);
}

// Reads the GIF bytes; fixed-size fields that run past the end are an unexpected end of file.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool AtEnd() const { return pos_ >= size_; }
    std::uint8_t Byte()
    {
        if (pos_ >= size_)
            Fail(gif::UnexpectedEnd);
        return data_[pos_++];
    }
    int Word()
    {
        const int low = Byte();
        return low | (Byte() << 8);
    }
    const std::uint8_t* Take(std::size_t count)
    {
        if (size_ - pos_ < count)
            Fail(gif::UnexpectedEnd);
        const std::uint8_t* p = data_ + pos_;
        pos_ += count;
        return p;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

void ReadColorTable(Reader& reader, int entries, TGifColorTable& table)
{
    const std::uint8_t* p = reader.Take(std::size_t(entries) * 3);
    table.Count = entries;
    for (int i = 0; i < entries; ++i)
        table.Colors[i] = qRgb(p[3 * i], p[3 * i + 1], p[3 * i + 2]);
}

// Data sub-blocks up to the zero terminator, each handed to sink.
template <typename Sink>
void ReadSubBlocks(Reader& reader, Sink&& sink)
{
    for (int count = reader.Byte(); count != 0; count = reader.Byte())
        sink(reader.Take(static_cast<std::size_t>(count)), count);
}

std::int64_t StripBytes(std::int64_t width, std::int64_t height, std::int64_t frames)
{
    const std::int64_t rowBytes = (width * 3 * frames + 3) / 4 * 4;
    return height * rowBytes + 54;
}

// The LZW decoder of one image; its whole state is set before the first code is read.
class LzwDecoder {
public:
    LzwDecoder(int minimumCodeSize, TGifImageDescriptor& image) : image_(image), minimum_(minimumCodeSize)
    {
        if (minimumCodeSize > 11)
            Fail(gif::InvalidLzwCodeSize);
        clearCode_ = 1 << minimumCodeSize;
        endCode_ = clearCode_ + 1;
        for (int c = 0; c < clearCode_; ++c) {
            suffix_[c] = static_cast<std::uint8_t>(c);
            first_[c] = static_cast<std::uint8_t>(c);
            length_[c] = 1;
            prefix_[c] = 0;
        }
        Reset();
        width_ = image.Width;
        height_ = image.Height;
        total_ = std::int64_t(width_) * height_;
        pixels_ = image.Pixels.data();
    }

    void Decode(const std::uint8_t* data, std::size_t size)
    {
        data_ = data;
        size_ = size;
        for (;;) {
            int code = ReadCode();
            if (code < 0 || code == endCode_)
                break;
            if (code == clearCode_) {
                Reset();
                do
                    code = ReadCode();
                while (code == clearCode_);
                if (code < 0)
                    break;
                if (code == endCode_)
                    Fail(gif::InvalidLzwData);
                if (code >= nextCode_)
                    code = 0;
                Output(code);
                oldCode_ = code;
                continue;
            }
            if (code < nextCode_) {
                Output(code);
                if (oldCode_ >= 0)
                    Add(oldCode_, first_[code]);
            } else if (code == nextCode_) {
                // The code being defined by this very step: the old string plus its first byte.
                if (oldCode_ < 0)
                    Fail(gif::InvalidLzwData);
                if (nextCode_ < 4096) {
                    Add(oldCode_, first_[oldCode_]);
                    Output(code);
                } else {
                    Output(oldCode_);
                    Emit(&first_[oldCode_], 1);
                }
            } else {
                Fail(gif::InvalidLzwData);
            }
            oldCode_ = code;
        }
        image_.PixelCount = written_;
    }

private:
    void Reset()
    {
        codeSize_ = minimum_ + 1;
        nextCode_ = endCode_ + 1;
        maxCode_ = 1 << codeSize_;
        oldCode_ = -1;
    }

    // The next code, least significant bit first; bytes past the end count as 0; -1 when no
    // bit is left.
    int ReadCode()
    {
        while (bitCount_ < codeSize_ && pos_ < size_) {
            bits_ |= std::uint32_t(data_[pos_++]) << bitCount_;
            bitCount_ += 8;
        }
        if (bitCount_ <= 0)
            return -1;
        const int code = static_cast<int>(bits_ & ((1u << codeSize_) - 1));
        bits_ >>= codeSize_;
        bitCount_ -= codeSize_;
        return code;
    }

    void Add(int prefix, std::uint8_t suffix)
    {
        if (nextCode_ >= 4096)
            return;
        prefix_[nextCode_] = static_cast<std::uint16_t>(prefix);
        suffix_[nextCode_] = suffix;
        first_[nextCode_] = first_[prefix];
        length_[nextCode_] = static_cast<std::uint16_t>(length_[prefix] + 1);
        ++nextCode_;
        if (nextCode_ >= maxCode_ && codeSize_ < 12) {
            maxCode_ <<= 1;
            ++codeSize_;
        }
    }

    void Output(int code)
    {
        const int length = length_[code];
        if (!image_.InterlaceFlag && position_ + length <= total_) {
            // The string goes straight into the pixels, written from its end.
            std::uint8_t* out = pixels_ + position_ + length - 1;
            int c = code;
            for (int i = 0; i < length - 1; ++i) {
                *out-- = suffix_[c];
                c = prefix_[c];
            }
            *out = suffix_[c];
            position_ += length;
            written_ += length;
            return;
        }
        std::uint8_t stack[4096];
        int top = 0;
        int c = code;
        for (int i = 0; i < length - 1 && top < 4095; ++i) {
            stack[top++] = suffix_[c];
            c = prefix_[c];
        }
        stack[top++] = suffix_[c];
        std::reverse(stack, stack + top);
        Emit(stack, top);
    }

    void Emit(const std::uint8_t* bytes, int count)
    {
        static constexpr int kStart[5] = {0, 0, 4, 2, 1};
        static constexpr int kStep[5] = {0, 8, 8, 4, 2};
        if (!image_.InterlaceFlag) {
            for (int i = 0; i < count; ++i, ++position_)
                if (position_ < total_)
                    pixels_[position_] = bytes[i];
            written_ += count;
            return;
        }
        for (int i = 0; i < count; ++i) {
            if (row_ < height_ && col_ < width_)
                pixels_[std::int64_t(row_) * width_ + col_] = bytes[i];
            ++written_;
            if (++col_ < width_)
                continue;
            col_ = 0;
            if (pass_ < 1 || pass_ > 4)
                Fail(gif::InvalidInterlacePass);
            row_ += kStep[pass_];
            // Passes whose first row lies below the image hold no rows and are skipped.
            for (int tries = 0; tries < 4 && row_ >= height_; ++tries) {
                pass_ = pass_ == 4 ? 1 : pass_ + 1;
                row_ = kStart[pass_];
            }
        }
    }

    TGifImageDescriptor& image_;
    int minimum_;
    int clearCode_ = 0, endCode_ = 0, codeSize_ = 0, nextCode_ = 0, maxCode_ = 0, oldCode_ = -1;
    std::uint16_t prefix_[4096] = {};
    std::uint8_t suffix_[4096] = {};
    std::uint8_t first_[4096] = {};
    std::uint16_t length_[4096] = {};
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0, pos_ = 0;
    std::uint32_t bits_ = 0;
    int bitCount_ = 0;
    int width_ = 0, height_ = 0;
    std::int64_t total_ = 0, position_ = 0, written_ = 0;
    int row_ = 0, col_ = 0, pass_ = 1;
    std::uint8_t* pixels_ = nullptr;
};

}  // namespace

std::string GifErrorMessage(int code)
{
    static const char* const messages[] = {"no error",
                                           "Invalid GIF Signature Code",
                                           "No Local or Global Color Table for Image",
                                           "Unknown Graphics Extension Type",
                                           "Unknown Graphics Operation Code",
                                           "Invalid Extension Block Size",
                                           "[special message]",
                                           "Invalid Extension Block Terminator",
                                           "Invalid Integer Size",
                                           "No GIF Terminator Found",
                                           "Extension Block Out-Of-Order With Image Data",
                                           "Invalid Image Descriptor Index",
                                           "Invalid LZW Code Size",
                                           "Invalid LZW Data Format",
                                           "LZW Code Overflow",
                                           "Value Out Of Range",
                                           "NIL Pointer assigned",
                                           "Invalid Color Table Size",
                                           "No Image Description",
                                           "Invalid Bitmap Image",
                                           "Invalid Color Table Index",
                                           "Invalid Interlace Pass",
                                           "Invalid Bitmap",
                                           "Too Many Colors In Bitmap",
                                           "Unexpected end of file",
                                           "Animated GIF too large",
                                           "Zero width or height",
                                           "next message"};
    return code >= 0 && code <= 27 ? messages[code] : std::string();
}

TGifError GifLastError() { return lastError; }

void TGif::LoadFromStream(TStream& stream)
{
    stream.SetPosition(0);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(std::max<std::int64_t>(0, stream.Size())));
    const std::int64_t got = data.empty() ? 0 : stream.Read(data.data(), static_cast<std::int64_t>(data.size()));
    data.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, got)));
    LoadFromBytes(data.data(), data.size());
}

void TGif::LoadFromBytes(const std::uint8_t* bytes, std::size_t count)
{
    header_.clear();
    screen_ = {};
    images_.clear();
    tables_.clear();
    loopCount_ = -1;
    lastError = {};

    Reader reader(bytes, count);
    if (count < 6)
        Fail(gif::InvalidSignature);
    header_.assign(reinterpret_cast<const char*>(reader.Take(6)), 6);
    std::string upper = header_;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper != "GIF87A" && upper != "GIF89A")
        Fail(gif::InvalidSignature);

    screen_.Width = reader.Word();
    screen_.Height = reader.Word();
    const int packed = reader.Byte();
    screen_.GlobalColorTableFlag = (packed & 0x80) != 0;
    screen_.ColorResolution = ((packed >> 4) & 7) + 1;
    screen_.SortFlag = (packed & 0x08) != 0;
    screen_.GlobalTableSize = 2 << (packed & 7);
    screen_.BackgroundIndex = reader.Byte();
    screen_.AspectRatio = reader.Byte();
    if (screen_.GlobalColorTableFlag) {
        tables_.emplace_back();
        ReadColorTable(reader, screen_.GlobalTableSize, tables_.back());
        screen_.GlobalTableIndex = 0;
    }

    std::vector<TGifExtension> pending;
    std::vector<std::uint8_t> imageData;
    std::int64_t totalPixels = 0;
    bool anyTransparent = false;
    while (!reader.AtEnd()) {
        const std::uint8_t op = reader.Byte();
        if (op == 0 || op == ';')
            break;
        if (op == '!') {
            TGifExtension ext;
            ext.Label = reader.Byte();
            switch (ext.Label) {
            case 0xF9: {
                ext.BlockSize = reader.Byte();
                if (ext.BlockSize != 4)
                    Fail(gif::InvalidExtensionBlockSize);
                const int flags = reader.Byte();
                ext.Disposal = (flags >> 2) & 7;
                ext.UserInput = (flags & 2) != 0;
                ext.TransparentFlag = (flags & 1) != 0;
                ext.Delay = reader.Word();
                ext.TransparentIndex = reader.Byte();
                if (reader.Byte() != 0)
                    Fail(gif::InvalidExtensionTerminator);
                anyTransparent = anyTransparent || ext.TransparentFlag;
                break;
            }
            case 0xFE:
                ReadSubBlocks(reader, [&](const std::uint8_t* p, int n) { ext.SubBlocks.emplace_back(p, p + n); });
                break;
            case 0x01: {
                ext.BlockSize = reader.Byte();
                if (ext.BlockSize != 12)
                    Fail(gif::InvalidExtensionBlockSize);
                ext.GridLeft = reader.Word();
                ext.GridTop = reader.Word();
                ext.GridWidth = reader.Word();
                ext.GridHeight = reader.Word();
                ext.CellWidth = reader.Byte();
                ext.CellHeight = reader.Byte();
                ext.ForegroundIndex = reader.Byte();
                ext.BackgroundIndex = reader.Byte();
                ReadSubBlocks(reader, [&](const std::uint8_t* p, int n) { ext.SubBlocks.emplace_back(p, p + n); });
                break;
            }
            case 0xFF: {
                ext.BlockSize = reader.Byte();
                if (ext.BlockSize == 11) {
                    ext.Identifier.assign(reinterpret_cast<const char*>(reader.Take(8)), 8);
                    ext.Authentication.assign(reinterpret_cast<const char*>(reader.Take(3)), 3);
                } else {
                    reader.Take(static_cast<std::size_t>(ext.BlockSize));
                }
                ReadSubBlocks(reader, [&](const std::uint8_t* p, int n) { ext.SubBlocks.emplace_back(p, p + n); });
                if (ext.Identifier == "NETSCAPE" && !ext.SubBlocks.empty() && ext.SubBlocks[0].size() == 3)
                    loopCount_ = ext.SubBlocks[0][1] | (ext.SubBlocks[0][2] << 8);
                break;
            }
            default: {
                char hex[8];
                std::snprintf(hex, sizeof hex, "%04X", ext.Label);
                Fail(gif::SpecialMessage, std::string("unknown extension: ") + hex);
            }
            }
            pending.push_back(std::move(ext));
            continue;
        }
        if (op != ',')
            Fail(gif::UnknownOperationCode);

        TGifImageDescriptor image;
        image.Index = static_cast<int>(images_.size());
        image.Extensions = std::move(pending);
        pending.clear();
        image.Left = reader.Word();
        image.Top = reader.Word();
        image.Width = reader.Word();
        image.Height = std::min(reader.Word(), screen_.Height);
        const int flags = reader.Byte();
        image.LocalColorTableFlag = (flags & 0x80) != 0;
        image.InterlaceFlag = (flags & 0x40) != 0;
        image.SortFlag = (flags & 0x20) != 0;
        image.LocalTableSize = 2 << (flags & 7);
        if (image.LocalColorTableFlag) {
            tables_.emplace_back();
            ReadColorTable(reader, image.LocalTableSize, tables_.back());
            image.TableIndex = static_cast<int>(tables_.size()) - 1;
        } else {
            image.TableIndex = screen_.GlobalTableIndex;
        }
        if (image.TableIndex < 0)
            Fail(gif::NoColorTable);
        image.CodeSize = reader.Byte();
        imageData.clear();
        ReadSubBlocks(reader, [&](const std::uint8_t* p, int n) { imageData.insert(imageData.end(), p, p + n); });

        const std::int64_t pixels = std::int64_t(image.Width) * image.Height;
        if (pixels == 0)
            Fail(gif::ZeroSize);
        if (image.CodeSize > 11)
            Fail(gif::InvalidLzwCodeSize);
        // The limits are checked before any frame memory is taken.
        totalPixels += pixels;
        const std::int64_t limit = anyTransparent ? kGifTransparentStripLimit : kGifStripLimit;
        if (totalPixels > kGifStripLimit ||
            StripBytes(screen_.Width, screen_.Height, std::int64_t(images_.size()) + 1) > limit)
            Fail(gif::TooLarge);
        image.Pixels.assign(static_cast<std::size_t>(pixels), 0);
        LzwDecoder decoder(image.CodeSize, image);
        decoder.Decode(imageData.data(), imageData.size());
        images_.push_back(std::move(image));
    }
    if (images_.empty())
        Fail(gif::NoImage);
}

const TGifImageDescriptor& TGif::Image(int index) const
{
    if (index < 0 || index >= ImageCount())
        Fail(gif::ValueOutOfRange);
    return images_[static_cast<std::size_t>(index)];
}

const TGifExtension* TGif::GraphicControl(int index) const
{
    const TGifImageDescriptor& image = Image(index);
    const TGifExtension* found = nullptr;
    for (const TGifExtension& ext : image.Extensions)
        if (ext.Label == 0xF9)
            found = &ext;
    return found;
}

int TGif::FrameDelay(int index) const
{
    const TGifExtension* control = GraphicControl(index);
    return control != nullptr ? std::max(1, control->Delay) : 1;
}

int TGif::FrameDisposal(int index) const
{
    const TGifExtension* control = GraphicControl(index);
    return control != nullptr ? control->Disposal & 3 : 0;
}

int TGif::TransparentIndex(int index) const
{
    const TGifExtension* control = GraphicControl(index);
    return control != nullptr && control->TransparentFlag ? control->TransparentIndex : -1;
}

bool TGif::AnyTransparent() const
{
    for (int i = 0; i < ImageCount(); ++i)
        if (TransparentIndex(i) >= 0)
            return true;
    return false;
}

QImage TGif::GetStripBitmap(QImage& mask) const
{
    mask = QImage();
    const int frames = ImageCount();
    const int width = screen_.Width;
    const int height = screen_.Height;
    const bool transparent = AnyTransparent();
    const std::int64_t bytes = StripBytes(width, height, frames);
    if (bytes > (transparent ? kGifTransparentStripLimit : kGifStripLimit))
        Fail(gif::TooLarge);
    if (width <= 0 || height <= 0 || frames <= 0)
        Fail(gif::ZeroSize);
    const int stripWidth = width * frames;
    QImage strip(stripWidth, height, QImage::Format_RGB32);
    if (strip.isNull())
        Fail(gif::TooLarge);
    strip.fill(qRgb(0, 0, 0));
    // The mask is built one byte a pixel (1 = transparent) and packed at the end.
    std::vector<std::uint8_t> alpha;
    if (transparent)
        alpha.assign(std::size_t(stripWidth) * height, 1);

    for (int i = 0; i < frames; ++i) {
        const int slot = i * width;
        if (i > 0) {
            for (int y = 0; y < height; ++y) {
                auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
                std::memcpy(line + slot, line + slot - width, std::size_t(width) * 4);
                if (transparent) {
                    std::uint8_t* m = alpha.data() + std::size_t(y) * stripWidth;
                    std::memcpy(m + slot, m + slot - width, std::size_t(width));
                }
            }
            const TGifImageDescriptor& before = images_[i - 1];
            const int disposal = FrameDisposal(i - 1);
            if (transparent && (disposal == 2 || disposal == 3)) {
                for (int y = before.Top; y < std::min(height, before.Top + before.Height); ++y) {
                    std::uint8_t* m = alpha.data() + std::size_t(y) * stripWidth + slot;
                    for (int x = before.Left; x < std::min(width, before.Left + before.Width); ++x)
                        m[x] = 1;
                }
            }
        }
        const TGifImageDescriptor& image = images_[i];
        const TGifColorTable& table = tables_[static_cast<std::size_t>(image.TableIndex)];
        const int key = TransparentIndex(i);
        const int right = std::min(width, image.Left + image.Width);
        for (int r = 0; r < image.Height; ++r) {
            const int y = image.Top + r;
            if (y >= height)
                break;
            const std::uint8_t* source = image.Pixels.data() + std::size_t(r) * image.Width;
            QRgb* line = reinterpret_cast<QRgb*>(strip.scanLine(y)) + slot;
            std::uint8_t* m = transparent ? alpha.data() + std::size_t(y) * stripWidth + slot : nullptr;
            for (int x = image.Left; x < right; ++x) {
                const std::uint8_t index = source[x - image.Left];
                if (index != key) {
                    line[x] = table.Colors[index];
                    if (m != nullptr)
                        m[x] = 0;
                } else if (i == 0) {
                    line[x] = qRgb(0, 0, 0);
                    m[x] = 1;
                }
            }
        }
    }
    if (transparent) {
        mask = NewMask(stripWidth, height, false);
        if (mask.isNull())
            Fail(gif::TooLarge);
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* m = alpha.data() + std::size_t(y) * stripWidth;
            std::uint8_t* out = mask.scanLine(y);
            for (int x = 0; x < stripWidth; ++x)
                if (m[x])
                    out[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
        }
    }
    return strip;
}

}  // namespace velmoran
