// Developer tool: decodes a GIF, PNG, JPEG or BMP picture with the library's own decoders and
// writes it as PNG with the library's writer, as the program composes it for drawing: transparent
// where its alpha channel, its transparent colour or its mask say so (an RGBA PNG then); an
// animated GIF becomes the strip of all its frames. A picture with a mask also gets OUT.mask.png
// (white where it is transparent).
#include "html/base/image/GifDecoder.h"
#include "html/base/image/GifImage.h"
#include "html/base/image/ImageLoad.h"
#include "html/base/image/PngDecode.h"
#include "platform/core/Stream.h"


#include <cstdio>
#include <exception>
#include <string>

using namespace velmoran;

namespace {

void WritePng(const QImage& picture, const std::string& fileName)
{
    TPNGImage png;
    png.SetPicture(picture);
    TFileStream file(fileName, FileMode::Create);
    png.SaveToStream(file);
}

std::string MaskName(const std::string& out)
{
    const auto dot = out.rfind('.');
    return (dot == std::string::npos ? out : out.substr(0, dot)) + ".mask.png";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "Aufruf: imgdecode EINGABE AUSGABE.png\n");
        return 2;
    }
    const std::string in = argv[1], out = argv[2];
    try {
        QImage picture, mask;
        const TImageKind kind = ImageFileKind(in);
        // The GIF decoder also takes a signature in lower case, which the kind test does not know.
        const bool lowerCaseGif = FileExists(in) && ReadFileBytes(in).rfind("gif8", 0) == 0;
        if (kind == TImageKind::Gif87 || kind == TImageKind::Gif89 || lowerCaseGif) {
            bool nonAnimated = false;
            auto gif = GifImageFromFile(in, nonAnimated);
            picture = gif->Strip().Image();
            mask = gif->Strip().Mask();
            std::printf("GIF %dx%d, %d Bild(er), %d Durchl%sufe\n", gif->Width(), gif->Height(), gif->NumFrames(),
                        gif->NumIterations(), "\xc3\xa4");
        } else {
            TTransparencyKind transparent = TTransparencyKind::NoTransparency;
            auto image = LoadImageFromFile(in, transparent, mask);
            auto* bitmap = dynamic_cast<TBitmapImage*>(image.get());
            if (bitmap == nullptr) {
                std::fprintf(stderr, "%s: kein lesbares Bild\n", in.c_str());
                return 1;
            }
            picture = bitmap->Image();
            if (mask.isNull() && transparent == TTransparencyKind::LowerLeftColor)
                mask = CreateMaskBitmap(picture, false);
            std::printf("%dx%d\n", picture.width(), picture.height());
        }
        WritePng(ApplyMask(picture, mask), out);
        if (!mask.isNull())
            WritePng(mask, MaskName(out));
    } catch (const EInvalidGraphicOperation& e) {
        std::fprintf(stderr, "%s: %s\n", in.c_str(), e.Message().c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", in.c_str(), e.what());
        return 1;
    }
    return 0;
}
