// JPEG decoding over libjpeg with its errors turned into exceptions.
#include "html/base/image/JpegDecode.h"

#include "platform/core/Stream.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

namespace velmoran {

namespace {

constexpr std::uint64_t kMaxPictureBytes = std::uint64_t(1) << 30;

// Everything libjpeg touches lives here, free of destructors, so that the jump back from an
// error skips no C++ object.
struct DecodeContext {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info)
{
    auto* context = reinterpret_cast<DecodeContext*>(info->client_data);
    (*info->err->format_message)(info, context->message);
    std::longjmp(context->jump, 1);
}

void OnMessage(j_common_ptr info, int level)
{
    // A picture whose data ends early is a failure, not a grey lower half.
    if (level < 0 && (info->err->msg_code == JWRN_JPEG_EOF || info->err->msg_code == JWRN_HIT_MARKER))
        OnError(info);
}

void Prepare(DecodeContext& context)
{
    context.info.err = jpeg_std_error(&context.errors);
    context.errors.error_exit = OnError;
    context.errors.emit_message = OnMessage;
    context.info.client_data = &context;
    context.message[0] = 0;
}

struct Request {
    const std::uint8_t* Data;
    std::size_t Size;
    int PixelBits;
    const TPalette* Palette;
    QImage* Result;
    bool HeaderOnly;
    int Width, Height;
    bool Grayscale, Progressive;
};

// Runs libjpeg; returns false with context.message set on failure.
bool Run(DecodeContext& context, Request& request)
{
    Prepare(context);
    if (setjmp(context.jump) != 0) {
        jpeg_destroy_decompress(&context.info);
        return false;
    }
    jpeg_create_decompress(&context.info);
    jpeg_mem_src(&context.info, request.Data, static_cast<unsigned long>(request.Size));
    jpeg_read_header(&context.info, TRUE);
    j_decompress_ptr info = &context.info;
    // Pictures beyond what the program can hold are refused before libjpeg sizes its buffers.
    info->mem->max_memory_to_use = 512L * 1024 * 1024;
    if (std::uint64_t(info->image_width) * info->image_height * 4 > kMaxPictureBytes) {
        std::snprintf(context.message, sizeof context.message, "picture too large");
        jpeg_destroy_decompress(info);
        return false;
    }
    request.Width = static_cast<int>(info->image_width);
    request.Height = static_cast<int>(info->image_height);
    request.Grayscale = info->jpeg_color_space == JCS_GRAYSCALE;
    request.Progressive = info->progressive_mode != 0;
    if (request.HeaderOnly) {
        jpeg_destroy_decompress(info);
        return true;
    }
    const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    bool paletteOut = false;
    if (request.PixelBits == 8 && request.Grayscale) {
        info->out_color_space = JCS_GRAYSCALE;
    } else if (request.PixelBits == 8 && !cmyk) {
        info->out_color_space = JCS_RGB;
        info->quantize_colors = TRUE;
        info->dither_mode = JDITHER_FS;
        paletteOut = true;
        if (request.Palette != nullptr && !request.Palette->empty()) {
            const int n = static_cast<int>(std::min<std::size_t>(request.Palette->size(), 256));
            info->colormap = (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                                        static_cast<JDIMENSION>(n), 3);
            for (int i = 0; i < n; ++i) {
                const QRgb c = (*request.Palette)[static_cast<std::size_t>(i)];
                info->colormap[0][i] = static_cast<JSAMPLE>(qRed(c));
                info->colormap[1][i] = static_cast<JSAMPLE>(qGreen(c));
                info->colormap[2][i] = static_cast<JSAMPLE>(qBlue(c));
            }
            info->actual_number_of_colors = n;
        } else {
            info->desired_number_of_colors = 256;
            info->two_pass_quantize = TRUE;
        }
    } else if (cmyk) {
        info->out_color_space = JCS_CMYK;
    } else {
        info->out_color_space = JCS_EXT_BGRX;
    }
    jpeg_start_decompress(info);
    const bool indexed = request.PixelBits == 8 && !cmyk;
    *request.Result = QImage(static_cast<int>(info->output_width), static_cast<int>(info->output_height),
                             indexed ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    if (request.Result->isNull()) {
        std::snprintf(context.message, sizeof context.message, "picture too large");
        jpeg_destroy_decompress(info);
        return false;
    }
    if (paletteOut) {
        QList<QRgb> table;
        for (int i = 0; i < info->actual_number_of_colors; ++i)
            table.push_back(qRgb(info->colormap[0][i], info->colormap[1][i], info->colormap[2][i]));
        request.Result->setColorTable(table);
    } else if (indexed) {
        QList<QRgb> table;
        for (int i = 0; i < 256; ++i)
            table.push_back(qRgb(i, i, i));
        request.Result->setColorTable(table);
    }
    while (info->output_scanline < info->output_height) {
        const int y = static_cast<int>(info->output_scanline);
        JSAMPROW row = request.Result->scanLine(y);
        jpeg_read_scanlines(info, &row, 1);
        if (cmyk) {
            // Four bytes a pixel, inverted as Adobe writes them, become BGRX in place.
            std::uint8_t* p = row;
            for (JDIMENSION x = 0; x < info->output_width; ++x, p += 4) {
                const int c = p[0], m = p[1], ye = p[2], k = p[3];
                p[0] = static_cast<std::uint8_t>(ye * k / 255);
                p[1] = static_cast<std::uint8_t>(m * k / 255);
                p[2] = static_cast<std::uint8_t>(c * k / 255);
                p[3] = 255;
            }
        }
    }
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    return true;
}

}  // namespace

void TJPEGImage::LoadFromStream(TStream& stream)
{
    const std::int64_t remaining = std::max<std::int64_t>(0, stream.Size() - stream.Position());
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(remaining));
    const std::int64_t got = remaining > 0 ? stream.Read(bytes.data(), remaining) : 0;
    bytes.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, got)));
    LoadFromBytes(bytes.data(), bytes.size());
}

void TJPEGImage::LoadFromBytes(const std::uint8_t* bytes, std::size_t count)
{
    data_.assign(bytes, bytes + count);
    Request request{data_.data(), data_.size(), pixelBits_, nullptr, nullptr, true, 0, 0, false, false};
    auto context = std::make_unique<DecodeContext>();
    if (data_.empty() || !Run(*context, request))
        throw EJpegError(data_.empty() ? std::string("empty JPEG") : std::string(context->message));
    width_ = request.Width;
    height_ = request.Height;
    grayscale_ = request.Grayscale;
    progressive_ = request.Progressive;
}

QImage TJPEGImage::Bitmap() const
{
    QImage result;
    Request request{data_.data(), data_.size(), pixelBits_, &palette_, &result, false, 0, 0, false, false};
    auto context = std::make_unique<DecodeContext>();
    if (data_.empty() || !Run(*context, request))
        throw EJpegError(data_.empty() ? std::string("empty JPEG") : std::string(context->message));
    return result;
}

}  // namespace velmoran
