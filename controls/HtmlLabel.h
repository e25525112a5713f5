// THtmlLabel: a label whose caption is mini-HTML (formula symbols and units of the input pages,
// the message page, the info box). It paints an optional bevel and border, places the caption
// vertically, sizes itself to the caption, underlines anchors and opens them (web and mail
// addresses through the shell, other addresses nowhere, everything else to OnAnchorClick), and can
// show an anchor as its hint.
//
// A QWidget rather than a QLabel: our engine draws everything. Automatic sizing is worked out
// whenever the text, the font, the width, Align or the sizing settings change, never while
// painting.
#pragma once

#include "controls/ControlFont.h"
#include "controls/MiniHtml.h"
#include "controls/PictureContainer.h"
#include "platform/AlignLayout.h"
#include "platform/Events.h"
#include "platform/ImageList.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace velmoran {

enum class TAutoSizeType { asVertical, asHorizontal, asBoth };
enum class TVAlignment { tvaTop, tvaCenter, tvaBottom };
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum class TBorderStyle { bsNone, bsSingle };

class THtmlLabel;
using TAnchorClick = std::function<void(QWidget* sender, const std::string& anchor)>;
using TAnchorHintEvent = std::function<void(QWidget* sender, std::string& anchor)>;

class THtmlLabel : public QWidget {
public:
    explicit THtmlLabel(QWidget* parent = nullptr);
    ~THtmlLabel() override;

    // The caption: one line; setting it drops carriage returns and line feeds, and a list's
    // lines are joined without separators.
    const std::string& HTMLText() const { return htmlText_; }
    void SetHTMLText(std::string_view text);
    void SetHTMLText(const std::vector<std::string>& lines);
    // The caption the engine draws (the lines joined without separators).
    virtual std::string GetHTMLText() const { return htmlText_; }

    bool AutoSizing() const { return autoSizing_; }
    void SetAutoSizing(bool on);
    TAutoSizeType AutoSizeType() const { return autoSizeType_; }
    void SetAutoSizeType(TAutoSizeType type);
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    TVAlignment VAlignment() const { return vAlignment_; }
    void SetVAlignment(TVAlignment alignment);
    bool Ellipsis() const { return ellipsis_; }
    void SetEllipsis(bool on);
    ColorRef URLColor() const { return urlColor_; }
    void SetURLColor(ColorRef color);
    ColorRef ShadowColor() const { return shadowColor_; }
    void SetShadowColor(ColorRef color);
    int ShadowOffset() const { return shadowOffset_; }
    void SetShadowOffset(int offset);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut cut);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut cut);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    bool Hover() const { return hover_; }
    void SetHover(bool on);
    ColorRef HoverColor() const { return hoverColor_; }
    void SetHoverColor(ColorRef color);
    ColorRef HoverFontColor() const { return hoverFontColor_; }
    void SetHoverFontColor(ColorRef color);
    bool AnchorHint = false;
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    ColorRef Color() const { return color_; }
    void SetColor(ColorRef color);
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);

    ImageList* Images() const { return images_; }
    void SetImages(ImageList* images);
    TPictureContainer* PictureContainer() const { return pictureContainer_; }
    void SetPictureContainer(TPictureContainer* container);
    THtmlPictureCache& PictureCache() { return pictureCache_; }

    // The anchor under the mouse (-1 none), as the hover painting uses it.
    int HoveredAnchor() const { return hoverAnchor_; }
    // The rectangle the caption is drawn in: the client area inside bevels and border.
    TRect TextRect() const;
    // Paints the label onto any canvas (the paint event uses a QtCanvas over its painter).
    void PaintTo(Canvas& canvas);

    TAnchorClick OnAnchorClick;
    TAnchorClick OnAnchorEnter;
    TAnchorClick OnAnchorExit;
    TAnchorHintEvent OnAnchorHint;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

protected:
    virtual void UpdateDisplay() { update(); }
    // Runs the engine with the label's pictures, images and settings.
    virtual bool DrawHTML(Canvas& canvas, TMiniHtmlInputs& inputs, TMiniHtmlOutputs& outputs);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct AnchorHit {
        bool Found = false;
        std::string Href;
        TRect Rect{-1, -1, -1, -1};
        int Number = -1;
    };
    AnchorHit HitTest(int x, int y);
    // The rectangle the caption runs in: inside the frames, open downwards or to the right for
    // AutoSizing, moved down for VAlignment. Painting and the hit test share it.
    TRect CaptionRect(Canvas& canvas);
    // Width and height that AutoSizing gives the label (caption size + 6).
    void ApplyAutoSize();
    void Invalidate(const TRect& rect);
    void Changed();

    std::string htmlText_;
    bool autoSizing_ = false;
    TAutoSizeType autoSizeType_ = TAutoSizeType::asVertical;
    TAlign align_ = TAlign::alNone;
    TVAlignment vAlignment_ = TVAlignment::tvaTop;
    bool ellipsis_ = false;
    ColorRef urlColor_ = clBlue;
    ColorRef shadowColor_ = clGray;
    int shadowOffset_ = 2;
    TBevelCut bevelInner_ = TBevelCut::bvNone;
    TBevelCut bevelOuter_ = TBevelCut::bvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = TBorderStyle::bsNone;
    bool hover_ = false;
    ColorRef hoverColor_ = clNone;
    ColorRef hoverFontColor_ = clNone;
    bool transparent_ = false;
    ColorRef color_ = SystemColor(COLOR_BTNFACE);
    TFont font_;
    QPointer<ImageList> images_;
    QPointer<TPictureContainer> pictureContainer_;
    THtmlPictureCache pictureCache_;
    bool handCursor_ = false;
    int hoverAnchor_ = -1;
    int previousAnchor_ = -1;
    std::string previousHref_;
    TRect hoverRect_{-1, -1, -1, -1};
    bool sizing_ = false;
};

}  // namespace velmoran
