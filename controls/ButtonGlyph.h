// The pictures of the speed buttons: TExButtonGlyph cuts a glyph strip of one to five images
// (up, disabled, down, exclusive, inactive) into state images and keeps them in image lists that
// all glyphs of one image size share (TGlyphList, handed out by the one TGlyphCache). It also
// lays out glyph, caption and drop-down arrow in a button and draws them.
#pragma once

#include "platform/Canvas.h"
#include "platform/core/Alignment.h"
#include "platform/ImageList.h"

#include <QImage>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

// The drawing states, in the order of the images in a glyph strip.
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive, bsInactive };
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

constexpr int kMaxGlyphs = 5;

// An image list of one image size whose slots are handed out and given back: a new image takes
// the lowest free slot, the list grows by one only when every slot is used.
class TGlyphList : public ImageList {
public:
    TGlyphList(int width, int height);
    // The picture with the mask colour transparent in the lowest free slot; its index.
    int AddGlyph(const QImage& picture, ColorRef maskColor);
    void DeleteGlyph(int index);
    int UsedCount() const { return usedCount_; }

private:
    std::vector<bool> used_;
    int usedCount_ = 0;
};

// The glyph lists by image size.
class TGlyphCache {
public:
    TGlyphCache();
    ~TGlyphCache();
    // The list of that size (the most recent first when there are several), made when there is none.
    TGlyphList* GetList(int width, int height);
    // A list with no used slot left is removed and destroyed.
    void ReturnList(TGlyphList* list);
    int Count() const { return static_cast<int>(lists_.size()); }
    bool Empty() const { return lists_.empty(); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};

// The cache every glyph shares: made with the first glyph, destroyed with the last once it is
// empty; nullptr while there is no glyph.
TGlyphCache* SharedGlyphCache();

// Where a button's glyph and caption stand.
struct TButtonLayoutResult {
    TPoint GlyphPos;
    TRect TextBounds;
    std::u16string Caption;  // as drawn: each line shortened with "..." unless wrapping
};

class TExButtonGlyph {
public:
    TExButtonGlyph();
    ~TExButtonGlyph();
    TExButtonGlyph(const TExButtonGlyph&) = delete;
    TExButtonGlyph& operator=(const TExButtonGlyph&) = delete;

    const QImage& Glyph() const { return glyph_; }
    // Drops the state images, takes the transparent colour from the bottom-left pixel and, when
    // the width is a whole multiple of the height, the image count from the proportions (1 when
    // more than five). An empty picture gives one image and keeps the transparent colour.
    void SetGlyph(const QImage& glyph);
    int NumGlyphs() const { return numGlyphs_; }
    // 0 is ignored, more than five become five; a change drops the state images.
    void SetNumGlyphs(int count);
    ColorRef TransparentColor() const { return transparentColor_; }
    // A picture made by the program itself says which colour it left transparent.
    void SetTransparentColor(ColorRef color);

    TAlignment Alignment = TAlignment::taCenter;
    bool WordWrap = false;
    // Told when the picture or the image count changed.
    std::function<void()> OnChange;

    // Drops the state images (a new picture, or new system colours).
    void Invalidate();
    // The state's image in List(), built on first use; -1 without a picture.
    int CreateButtonGlyph(TButtonState state);
    TGlyphList* List() const { return list_; }
    // One image's size; (0, 0) without a picture.
    TSize GlyphSize() const;

    TButtonLayoutResult CalcButtonLayout(Canvas& canvas, const TRect& client, TPoint offset, std::u16string_view caption,
                                         TButtonLayout layout, int margin, int spacing, bool drawArrow) const;
    // Draws glyph, caption (in the canvas's font and text colour; engraved when disabled) and the
    // drop-down arrow; returns the caption's rectangle.
    TRect DrawButton(Canvas& canvas, const TRect& client, TPoint offset, std::u16string_view caption,
                     TButtonLayout layout, int margin, int spacing, TButtonState state, bool drawArrow);

private:
    QImage StateImage(TButtonState state, ColorRef& maskColor) const;
    void DrawArrow(Canvas& canvas, const TButtonLayoutResult& place, const TRect& client, TPoint offset,
                   TButtonLayout layout, bool disabled) const;
    unsigned TextFlags() const;

    QImage glyph_;
    TGlyphList* list_ = nullptr;
    std::array<int, kMaxGlyphs> indexes_;
    ColorRef transparentColor_;
    int numGlyphs_ = 1;
};

// The grey of the inactive look: the transparent and the button face colour stay, any other
// pixel becomes (77 R + 150 G + 29 B) >> 8 in all three channels.
QImage GrayedGlyph(const QImage& picture, ColorRef transparentColor);

}  // namespace velmoran
