// The GIF decoder: signature, logical screen, colour tables, extensions (graphic control, comment,
// plain text, application with the loop count), LZW image data with interlacing, and the strip
// of all frames composed side by side with one mask.
#pragma once

#include "platform/core/Exceptions.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace velmoran {

class TStream;

// The invalid-graphic-operation error of the picture decoders; GIF errors carry their code and
// the text "TGif: <message>".
class EInvalidGraphicOperation : public Exception {
public:
    EInvalidGraphicOperation(int code, std::string message) : Exception(std::move(message)), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

namespace gif {
inline constexpr int InvalidSignature = 1;
inline constexpr int NoColorTable = 2;
inline constexpr int UnknownOperationCode = 4;
inline constexpr int InvalidExtensionBlockSize = 5;
inline constexpr int SpecialMessage = 6;
inline constexpr int InvalidExtensionTerminator = 7;
inline constexpr int InvalidLzwCodeSize = 12;
inline constexpr int InvalidLzwData = 13;
inline constexpr int ValueOutOfRange = 15;
inline constexpr int NoImage = 18;
inline constexpr int InvalidInterlacePass = 21;
inline constexpr int UnexpectedEnd = 24;
inline constexpr int TooLarge = 25;
inline constexpr int ZeroSize = 26;
}  // namespace gif

std::string GifErrorMessage(int code);
// The code and text of the last GIF error (code 0, "no error" after a clean decode).
struct TGifError {
    int Code = 0;
    std::string Text = "no error";
};
TGifError GifLastError();

struct TGifScreen {
    int Width = 0;
    int Height = 0;
    bool GlobalColorTableFlag = false;
    int ColorResolution = 0;
    bool SortFlag = false;
    int GlobalTableSize = 0;
    int BackgroundIndex = 0;
    int AspectRatio = 0;
    int GlobalTableIndex = -1;
};

struct TGifColorTable {
    int Count = 0;
    std::array<QRgb, 256> Colors{};  // unused entries are black
};

struct TGifExtension {
    std::uint8_t Label = 0;
    int BlockSize = 0;
    // graphic control (0xF9)
    int Disposal = 0;
    bool UserInput = false;
    bool TransparentFlag = false;
    int Delay = 0;  // hundredths of a second
    int TransparentIndex = 0;
    // plain text (0x01)
    int GridLeft = 0, GridTop = 0, GridWidth = 0, GridHeight = 0;
    int CellWidth = 0, CellHeight = 0, ForegroundIndex = 0, BackgroundIndex = 0;
    // application (0xFF)
    std::string Identifier;
    std::string Authentication;
    // data sub-blocks (comment, plain text, application)
    std::vector<std::vector<std::uint8_t>> SubBlocks;
};

struct TGifImageDescriptor {
    int Index = 0;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool LocalColorTableFlag = false;
    bool InterlaceFlag = false;
    bool SortFlag = false;
    int LocalTableSize = 0;
    int TableIndex = -1;
    int CodeSize = 0;
    std::vector<TGifExtension> Extensions;
    std::vector<std::uint8_t> Pixels;  // Width × Height colour indexes
    std::int64_t PixelCount = 0;
};

// Size limits of the composed strip: 200,000,000 bytes, 100,000,000 when it needs a mask.
inline constexpr std::int64_t kGifStripLimit = 200'000'000;
inline constexpr std::int64_t kGifTransparentStripLimit = 100'000'000;

class TGif {
public:
    // Decodes the whole GIF from the stream's start; raises EInvalidGraphicOperation.
    void LoadFromStream(TStream& stream);
    void LoadFromBytes(const std::uint8_t* bytes, std::size_t count);

    const std::string& Header() const { return header_; }
    const TGifScreen& Screen() const { return screen_; }
    int ScreenWidth() const { return screen_.Width; }
    int ScreenHeight() const { return screen_.Height; }
    int ImageCount() const { return static_cast<int>(images_.size()); }
    const TGifImageDescriptor& Image(int index) const;
    const TGifColorTable& ColorTable(int index) const { return tables_.at(static_cast<std::size_t>(index)); }
    int ImageLeft(int index) const { return Image(index).Left; }
    int ImageTop(int index) const { return Image(index).Top; }
    int ImageWidth(int index) const { return Image(index).Width; }
    int ImageHeight(int index) const { return Image(index).Height; }
    // Graphic-control delay in hundredths, at least 1.
    int FrameDelay(int index) const;
    // Disposal method & 3, 0 without graphic control.
    int FrameDisposal(int index) const;
    // -1 without graphic control or with its transparent flag off.
    int TransparentIndex(int index) const;
    bool AnyTransparent() const;
    // -1 without a loop extension.
    int LoopCount() const { return loopCount_; }

    // All frames side by side, composed; mask is set (white = transparent) when any frame is
    // transparent, else left null.
    QImage GetStripBitmap(QImage& mask) const;

private:
    const TGifExtension* GraphicControl(int index) const;

    std::string header_;
    TGifScreen screen_;
    std::vector<TGifImageDescriptor> images_;
    std::vector<TGifColorTable> tables_;
    int loopCount_ = -1;
};

}  // namespace velmoran
