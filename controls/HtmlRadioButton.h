// THtmlRadioButton: a focusable radio button whose caption is mini-HTML, with four looks of its
// own drawing (classic and flat frame controls, the "Quarnel" diamond drawn by hand, the
// "Tolvane" bitmaps), grouping by GroupIndex among the parent's buttons, keyboard handling and
// anchors in the caption (active while the button has the focus). Not a QRadioButton: grouping
// and look differ.
#pragma once

#include "controls/ControlFont.h"
#include "controls/HtmlLabel.h"
#include "controls/MiniHtml.h"
#include "controls/PictureContainer.h"
#include "platform/ImageList.h"

#include <QKeySequence>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

namespace velmoran {

enum class TButtonType { btClassic, btQuarnel, btFlat, btTolvane };
enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TLeftRight { taLeftJustify, taRightJustify };

class THtmlRadioButton : public QWidget {
public:
    explicit THtmlRadioButton(QWidget* parent = nullptr);
    ~THtmlRadioButton() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Checked() const { return checked_; }
    // Checking unchecks the parent's other buttons of the same GroupIndex and then clicks this one
    // (OnClick). The group's tab stop follows: see SettleTabStops.
    void SetChecked(bool checked);
    bool Down() const { return down_; }
    void SetDown(bool down) { down_ = down; }
    TButtonType ButtonType() const { return buttonType_; }
    void SetButtonType(TButtonType type);
    TTextLayout ButtonVertAlign() const { return buttonVertAlign_; }
    void SetButtonVertAlign(TTextLayout layout);
    TLeftRight Alignment() const { return alignment_; }
    void SetAlignment(TLeftRight alignment);
    ColorRef CheckColor() const { return checkColor_; }
    void SetCheckColor(ColorRef color);
    std::uint8_t GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(std::uint8_t index);
    bool ReturnIsTab = false;
    bool Ellipsis() const { return ellipsis_; }
    void SetEllipsis(bool on);
    ColorRef URLColor() const { return urlColor_; }
    void SetURLColor(ColorRef color);
    ColorRef ShadowColor() const { return shadowColor_; }
    void SetShadowColor(ColorRef color);
    int ShadowOffset() const { return shadowOffset_; }
    void SetShadowOffset(int offset);
    ColorRef Color() const { return color_; }
    void SetColor(ColorRef color);
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);
    // The focus policy: Qt::StrongFocus as a tab stop, Qt::ClickFocus otherwise.
    bool TabStop() const { return focusPolicy() == Qt::StrongFocus; }
    void SetTabStop(bool on) { setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus); }

    ImageList* Images() const { return images_; }
    void SetImages(ImageList* images);
    TPictureContainer* PictureContainer() const { return pictureContainer_; }
    void SetPictureContainer(TPictureContainer* container);

    // Runs the click: OnClick.
    virtual void Click();
    // Where the button look is drawn in the client area.
    TRect ButtonRect() const;
    // Paints the button onto any canvas (the paint event uses a QtCanvas over its painter).
    void PaintTo(Canvas& canvas);

    TAnchorClick OnAnchorClick;
    TAnchorClick OnAnchorEnter;
    TAnchorClick OnAnchorExit;
    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    // After the anchor under the mouse was looked at.
    TControlMouseMoveEvent OnMouseMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void DrawButton(Canvas& canvas);
    void DrawQuarnel(Canvas& canvas, const TRect& box);
    void DrawTolvane(Canvas& canvas, const TRect& box);
    int ButtonWidth() const;
    TMiniHtmlInputs CaptionInputs() const;
    // The href of the caption's anchor under the point while focused, empty otherwise.
    std::string AnchorAt(int x, int y);
    void UpdateAccelerator();
    // The parent's buttons of this one's group (this one included), in the parent's order.
    std::vector<THtmlRadioButton*> Group() const;
    // Tab enters a group once and never changes its choice: its checked button is its only tab
    // stop; a group with none checked keeps one, its first button.
    void SettleTabStops() const;
    // Arrow keys move the focus to the previous or next button of the group, which checks it.
    bool MoveInGroup(int step);

    std::string caption_ = "THtmlRadioButton";
    bool checked_ = false;
    bool down_ = false;
    bool focused_ = false;
    TButtonType buttonType_ = TButtonType::btClassic;
    TTextLayout buttonVertAlign_ = TTextLayout::tlTop;
    TLeftRight alignment_ = TLeftRight::taLeftJustify;
    ColorRef checkColor_ = clBlack;
    bool ellipsis_ = false;
    std::uint8_t groupIndex_ = 0;
    ColorRef urlColor_ = clBlue;
    ColorRef shadowColor_ = clGray;
    int shadowOffset_ = 1;
    ColorRef color_ = SystemColor(COLOR_BTNFACE);
    TFont font_;
    QPointer<ImageList> images_;
    QPointer<TPictureContainer> pictureContainer_;
    THtmlPictureCache pictureCache_;
    std::string hoverHref_;
    bool handCursor_ = false;
    int shortcut_ = 0;
    QKeySequence accelerator_;
};

}  // namespace velmoran
