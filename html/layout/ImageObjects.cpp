// Image objects: fetching pictures through the image cache, the host or a file; sizing by the
// WIDTH/HEIGHT given (pixels or percent) and the picture's aspect ratio; placeholders for pictures
// that failed or are still on their way; drawing with transparency, animation frames, borders
// and link focus.
#include "html/base/image/GifImage.h"
#include "html/base/image/ImageCache.h"
#include "html/base/image/ImageLoad.h"
#include "html/base/image/StockImages.h"
#include "html/layout/Borders.h"
#include "html/layout/SectionList.h"
#include "html/layout/TextSection.h"
#include "platform/Canvas.h"
#include "platform/ImageList.h"
#include "platform/core/Stream.h"
#include "platform/SystemColors.h"

#include <algorithm>

namespace velmoran {

namespace {

int MulDivInt(int a, int b, int c) { return c == 0 ? 0 : static_cast<int>(static_cast<long long>(a) * b / c); }

// Loads GIFs through the animated reader and everything else through the general loader.
std::unique_ptr<TImageObject> LoadPicture(TStream& stream, TTransparencyKind& transparent, QImage& mask)
{
    std::uint8_t head[5] = {};
    stream.SetPosition(0);
    const auto got = stream.Read(head, 5);
    stream.SetPosition(0);
    const TImageKind kind = ImageStreamKind(head, static_cast<std::size_t>(std::max<std::int64_t>(0, got)));
    if (kind == TImageKind::Gif87 || kind == TImageKind::Gif89) {
        try {
            bool still = false;
            auto gif = GifImageFromStream(stream, still);
            if (gif && gif->IsTransparent()) {
                transparent = TTransparencyKind::OwnMask;
            }
            return gif;
        } catch (const std::exception&) {
            return nullptr;
        }
    }
    return LoadImageFromStream(&stream, transparent, mask);
}

}  // namespace

TStringBitmapList& TSectionList::ImageCache()
{
    if (BitmapList)
        return *BitmapList;
    if (!ownCache_)
        ownCache_ = std::make_unique<TStringBitmapList>();
    return *ownCache_;
}

TImageObject* TSectionList::FetchImage(const std::string& name, TTransparencyKind& transparent, bool& fromCache,
                                       bool& delayed, QImage& mask)
{
    fromCache = false;
    delayed = false;
    mask = QImage();
    if (name.empty())
        return nullptr;
    TStringBitmapList& cache = ImageCache();
    auto fromEntry = [&](int i) {
        fromCache = true;
        TBitmapItem* item = cache.Objects(i);
        TImageObject* image = cache.GetImage(i);
        if (!item)
            return image;
        pictureHolds_.Note(cache, cache.Strings(i));
        transparent = static_cast<TTransparencyKind>(item->Transp);
        if (transparent == TTransparencyKind::LowerLeftColor && !item->Mask)
            if (auto* bmp = dynamic_cast<TBitmapImage*>(image))
                item->Mask = std::make_unique<QImage>(CreateMaskBitmap(bmp->Image(), false));
        if (item->Mask)
            mask = *item->Mask;
        CountPicture(image, item->Mask.get());
        return image;
    };
    if (const int i = cache.IndexOf(name); i >= 0)
        return fromEntry(i);
    if (refusedPictures_.contains(name))
        return nullptr;
    std::unique_ptr<TImageObject> image;
    std::string content;
    QImage bitmap;
    ColorRef color = kNoColor;
    // Pictures the host supplies are kept under their name, files under their canonical path.
    std::string key = name;
    // The host either hands a ready picture, or it supplies the picture (content), says it comes later (empty content), or
    // leaves it to the file (false).
    if (Host().RequestBitmap(name, bitmap, color) && !bitmap.isNull()) {
        if (color != kNoColor) {
            transparent = TTransparencyKind::OwnMask;
            mask = CreateMaskBitmap(bitmap, true, ColorToQRgb(color));
        }
        image = std::make_unique<TBitmapImage>(std::move(bitmap));
    } else if (Host().RequestImage(name, content)) {
        if (content.empty()) {
            delayed = true;
            return nullptr;
        }
        TMemoryStream stream;
        stream.WriteBuffer(content.data(), static_cast<std::int64_t>(content.size()));
        if (!DeclaredSizeFits(name, stream))
            return nullptr;
        image = LoadPicture(stream, transparent, mask);
    } else {
        const std::string file = CanonicalPath(Host().ExpandName(name));
        if (const int i = cache.IndexOf(file); i >= 0)
            return fromEntry(i);
        if (refusedPictures_.contains(file))
            return nullptr;
        key = file;
        TMemoryStream stream;
        try {
            stream.LoadFromFile(file);
        } catch (const std::exception&) {
            return nullptr;
        }
        if (!DeclaredSizeFits(file, stream))
            return nullptr;
        image = LoadPicture(stream, transparent, mask);
    }
    if (!image)
        return nullptr;
    if (auto* gif = dynamic_cast<TGIFImage*>(image.get())) {
        if (gif->IsTransparent()) {
            transparent = TTransparencyKind::OwnMask;
            mask = gif->GetStaticMask();
        }
    } else if (auto* bmp = dynamic_cast<TBitmapImage*>(image.get());
               bmp && transparent == TTransparencyKind::LowerLeftColor && mask.isNull()) {
        mask = CreateMaskBitmap(bmp->Image(), false);
    }
    if (pictureBytes_ + image->ByteCount() + mask.sizeInBytes() > PictureBudget) {
        mask = QImage();
        refusedPictures_.insert(key);
        return nullptr;
    }
    TImageObject* result = image.get();
    auto item = std::make_unique<TBitmapItem>(std::move(image), mask.isNull() ? nullptr : std::make_unique<QImage>(mask),
                                              static_cast<std::uint8_t>(transparent));
    CountPicture(result, item->Mask.get());
    cache.AddObject(key, std::move(item));
    pictureHolds_.Note(cache, key);
    return result;
}

void TSectionList::CountPicture(const TImageObject* image, const QImage* mask)
{
    if (image && countedPictures_.insert(image).second)
        pictureBytes_ += image->ByteCount() + (mask ? mask->sizeInBytes() : 0);
}

bool TSectionList::DeclaredSizeFits(const std::string& key, const TMemoryStream& stream)
{
    std::int64_t width = 0, height = 0;
    const std::string_view bytes = stream.View();
    if (!DeclaredImageSize(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), width, height) ||
        width <= 0)
        return true;
    const std::int64_t room = std::max<std::int64_t>(0, PictureBudget - pictureBytes_);
    if (height <= room / 4 / width)
        return true;
    refusedPictures_.insert(key);
    return false;
}

void TFloatingObj::DrawLogic(TSectionList* /*document*/, Canvas& /*canvas*/, const TFontObj* /*font*/,
                             int availWidth, int availHeight)
{
    if (SpecWidth >= 0)
        ObjWidth = PercentWidth ? std::max(0, MulDivInt(availWidth, SpecWidth, 100)) : SpecWidth;
    if (SpecHeight >= 0)
        ObjHeight = PercentHeight ? std::max(0, MulDivInt(availHeight, SpecHeight, 100)) : SpecHeight;
}

void TImageObj::DrawLogic(TSectionList* document, Canvas& canvas, const TFontObj* font, int availWidth,
                          int availHeight)
{
    if (document)
        Doc = document;
    if (Doc && Doc->ShowImages && !Fetched && !Source.empty()) {
        bool fromCache = false;
        Image = Doc->FetchImage(Source, Transp, fromCache, Delayed, Mask);
        Fetched = true;  // a delayed picture waits for the viewer to supply it
        if (auto* gif = dynamic_cast<TGIFImage*>(Image); gif && gif->NumFrames() > 1) {
            if (fromCache) {
                OwnImage = TGIFImage::CreateCopy(*gif);
                Image = OwnImage.get();
                gif = static_cast<TGIFImage*>(Image);
            }
            if (!ImageActive)
                Doc->AnimatedImages.push_back(gif);
        }
        Missing = Image == nullptr && !Delayed;
    }
    if (Source.empty())
        Missing = true;
    // A linked image without a border of its own gets one of at least a pixel.
    if (font && font->IsLink() && !NoBorder && !BorderByCss)
        BorderSize = std::max(1, BorderSize);
    const int border = BorderSize;
    int iw = 0, ih = 0;
    const bool haveImage = Image != nullptr;
    if (haveImage) {
        iw = ImageWidthOf(Image);
        ih = ImageHeightOf(Image);
    }
    int w = -1, h = -1;
    if (PercentWidth && SpecWidth >= 0) {
        // Percent sizes smaller than the borders clamp to 0.
        w = std::max(0, MulDivInt(availWidth - 2 * border, SpecWidth, 100));
        if (SpecHeight >= 0)
            h = PercentHeight ? std::max(0, MulDivInt(availHeight - 2 * border, SpecHeight, 100)) : SpecHeight;
        else
            h = iw > 0 ? MulDivInt(w, ih, iw) : w;
    } else if (PercentHeight && SpecHeight >= 0) {
        h = std::max(0, MulDivInt(availHeight - 2 * border, SpecHeight, 100));
        w = SpecWidth >= 0 ? SpecWidth : (ih > 0 ? MulDivInt(h, iw, ih) : h);
    } else if (SpecWidth >= 0 && SpecHeight >= 0) {
        w = SpecWidth;
        h = SpecHeight;
    } else if (SpecWidth >= 0) {
        w = SpecWidth;
        h = iw > 0 ? MulDivInt(w, ih, iw) : (haveImage ? 0 : 24);
    } else if (SpecHeight >= 0) {
        h = SpecHeight;
        w = ih > 0 ? MulDivInt(h, iw, ih) : (haveImage ? 0 : 24);
    }
    ImageKnown = haveImage || (SpecWidth >= 0 && SpecHeight >= 0);
    if (w < 0 || h < 0) {
        if (haveImage) {
            w = iw;
            h = ih;
        } else if (!Alt.empty() || !AltW.empty()) {
            // The placeholder box holds the alt text in 8-point Arial plus room for the symbol.
            LogicalFont f;
            f.Face = "Arial";
            f.Height = -(8 * canvas.PixelsPerInch() + 36) / 72;
            canvas.SetFont(f);
            const std::u16string alt = AltW.empty() ? std::u16string(Alt.begin(), Alt.end()) : AltW;
            const TextSize size = canvas.TextExtent(alt);
            w = size.cx + 26;
            h = std::max(24, size.cy);
        } else {
            w = std::max(w, 24);
            h = std::max(h, 24);
        }
    }
    ObjWidth = w + 2 * border;
    ObjHeight = h + 2 * border;
}

void TImageObj::Draw(Canvas& canvas, int x, int y, const TFontObj* font)
{
    const int b = BorderSize;
    const TRect box{x + b, y + b, x + ObjWidth - b, y + ObjHeight - b};
    const bool printing = Doc && Doc->Printing;
    if (Image && !Missing && !Delayed) {
        if (auto* gif = dynamic_cast<TGIFImage*>(Image)) {
            gif->Visible = true;
            gif->Draw(canvas, box.Left, box.Top, box.Width(), box.Height());
        } else if (auto* bmp = dynamic_cast<TBitmapImage*>(Image)) {
            if (printing) {
                if (!Mask.isNull())
                    PrintMaskedImage(canvas, box.Left, box.Top, box.Width(), box.Height(), bmp->Image(), Mask, 0,
                                     bmp->Image().height());
                else
                    PrintBitmap(canvas, box.Left, box.Top, box.Width(), box.Height(), bmp->Image());
            } else if (!Mask.isNull()) {
                canvas.MaskedStretchBlt(box, bmp->Image(), Mask);
            } else {
                canvas.StretchBlt(box, bmp->Image());
            }
        }
    } else if (Doc) {
        // Placeholder: a sunken frame around the box with the alt text beside the symbol of a
        // picture still to come or of one that failed, unscaled in the room left of the text.
        DrawDocumentBorder3D(canvas, box, false, *Doc, 1);
        const QImage& symbol = Delayed ? DelayedImageBitmap() : ErrorImageBitmap();
        const TRect place{box.Left + 4, box.Top + 4, box.Left + 4 + symbol.width(), box.Top + 4 + symbol.height()};
        canvas.SaveDC();
        canvas.IntersectClipRect(box);
        if (Delayed)
            canvas.StretchBlt(place, symbol);
        else
            canvas.MaskedStretchBlt(place, symbol, ErrorImageMask());
        canvas.RestoreDC();
        if (!Alt.empty() || !AltW.empty()) {
            LogicalFont f;
            f.Face = "Arial";
            f.Height = -(8 * canvas.PixelsPerInch() + 36) / 72;
            canvas.SetFont(f);
            canvas.SetBkMode(BkMode::Transparent);
            canvas.SetTextColor(font ? (font->TheFont.Color & 0xFFFFFF) : 0);
            const unsigned oldAlign = canvas.SetTextAlign(TA_LEFT | TA_TOP);
            const std::u16string alt = AltW.empty() ? std::u16string(Alt.begin(), Alt.end()) : AltW;
            canvas.TextOut(box.Left + 24, box.Top + 4, alt);
            canvas.SetTextAlign(oldAlign);
        }
    }
    if (b > 0) {
        const ColorRef color = font ? (font->TheFont.Color & 0xFFFFFF) : 0;
        const Pen old = canvas.SelectPen(Pen{PenStyle::InsideFrame, b, color});
        const Brush oldBrush = canvas.SelectBrush(Brush{BrushStyle::Null, 0});
        canvas.Rectangle(TRect{x, y, x + ObjWidth, y + ObjHeight});
        canvas.SelectBrush(oldBrush);
        canvas.SelectPen(old);
    }
}

}  // namespace velmoran
