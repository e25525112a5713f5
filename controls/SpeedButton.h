// TExSpeedButton: the flat navigation and tool button of the dialogs and of the combo edit. It
// takes no focus; it shows a glyph strip (TExButtonGlyph) and a caption in one of five drawing
// states, drawn with our own frames into an off-screen picture; it can be flat (a frame only
// under the mouse, a grey glyph away from it), transparent, grouped with the parent's other
// speed buttons as radio buttons, repeat its click while held, and drop down a menu.
#pragma once

#include "controls/ButtonGlyph.h"
#include "controls/ControlFont.h"
#include "controls/HtmlLabel.h"
#include "platform/Action.h"

#include <QImage>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QTimer;

namespace velmoran {

enum class TExDropDownMenuPos { dmpBottom, dmpRight };
// How the drop-down menu stands at its point: its left edge, its right edge or its middle there.
enum class TPopupAlignment { paLeft, paRight, paCenter };
enum class TButtonStyle { bsAutoDetect, bsWin31, bsNew };

// Shows a drop-down menu at a screen point and returns when it has closed. The program's runs
// the menu's own loop; tests put one in that records the call.
using TDropDownPopup = std::function<void(QMenu& menu, const QPoint& screenPoint)>;
// Installs the popup function for every speed button; returns the previous one. An empty
// function restores the program's.
TDropDownPopup SetDropDownPopup(TDropDownPopup popup);

// The point of the drop-down menu in button coordinates.
TPoint DropDownMenuPoint(TExDropDownMenuPos position, TPopupAlignment alignment, int width, int height);

class TExSpeedButton : public QWidget {
public:
    explicit TExSpeedButton(QWidget* parent = nullptr);
    ~TExSpeedButton() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    // "short|long": the short part is the tool tip.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    // The parent's font until one is set (ParentFont).
    TFont Font() const;
    void SetFont(const TFont& font);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool on);

    TAlignment Alignment() const { return glyph_.Alignment; }
    void SetAlignment(TAlignment alignment);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool allow);
    bool AllowTimer() const { return allowTimer_; }
    void SetAllowTimer(bool allow);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    bool Down() const { return down_; }
    // A button without group is never down; a down button without AllowAllUp stays down.
    void SetDown(bool down);
    QMenu* DropDownMenu() const { return menu_; }
    void SetDropDownMenu(QMenu* menu);
    TExDropDownMenuPos MenuPosition = TExDropDownMenuPos::dmpBottom;
    TPopupAlignment MenuAlignment = TPopupAlignment::paLeft;
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    const QImage& Glyph() const { return glyph_.Glyph(); }
    void SetGlyph(const QImage& glyph);
    bool GrayedInactive() const { return grayedInactive_; }
    void SetGrayedInactive(bool grayed);
    int InitPause = 500;       // ms before the first repeat
    int RepeatInterval = 100;  // ms between repeats
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return margin_; }
    // Values below -1 are refused.
    void SetMargin(int margin);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    bool MarkDropDown() const { return markDropDown_; }
    void SetMarkDropDown(bool mark);
    // Ends the dialog the button is on with this result when clicked (0: nothing).
    int ModalResult = 0;
    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    // Values above 5 become 5.
    void SetNumGlyphs(int count);
    TButtonStyle Style() const { return style_; }
    void SetStyle(TButtonStyle style);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    bool WordWrap() const { return glyph_.WordWrap; }
    void SetWordWrap(bool wrap);

    // The linked action: the button follows its caption, hint, enabled, visible and (when
    // grouped) checked state, takes its picture when it has no glyph, and runs it when clicked.
    Action* LinkedAction() const { return action_; }
    void SetAction(Action* action);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    // The click: the dialog's result when ModalResult is set, then OnClick (or the action).
    virtual void Click();

    // The drawing state, and whether the mouse is over the button.
    TButtonState State() const { return state_; }
    bool MouseInControl() const { return mouseInControl_; }
    // The whole button as painted (what the paint event copies to the screen).
    QImage Picture();
    // Re-evaluates the mouse-over flag: set when enabled, the cursor is over the button and the
    // program is the foreground task.
    void UpdateTracking();
    // The repeat timer while it exists (tests read its interval).
    const QTimer* RepeatTimer() const { return repeatTimer_.get(); }

protected:
    // Paints the button (frame, face, glyph, caption and arrow) onto the canvas.
    virtual void PaintTo(Canvas& canvas);
    // Glyph, caption and arrow in the content rectangle.
    virtual void PaintGlyph(Canvas& canvas, const TRect& rect, TButtonState state, bool drawMark);
    // The button's press handling, which the edit button runs after its own.
    void PressButton(QMouseEvent* event);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void SetState(TButtonState state);
    void MouseEnter();
    void MouseLeave();
    bool InsideForDragging(QPoint p) const;
    void ShowDropDown();
    void RepeatTick();
    // Tells the parent's other speed buttons of the same group that this one went down.
    void UpdateExclusive();
    void ButtonPressed(const TExSpeedButton& sender);
    void ActionChanged();
    void UpdateAccelerator();

    std::string caption_;
    std::string hint_;
    TFont font_;
    bool parentFont_ = true;
    TExButtonGlyph glyph_;
    TButtonState state_ = TButtonState::bsUp;
    bool allowAllUp_ = false;
    bool allowTimer_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    QPointer<QMenu> menu_;
    bool flat_ = false;
    bool grayedInactive_ = true;
    TButtonLayout layout_ = TButtonLayout::blGlyphTop;
    int margin_ = -1;
    int spacing_ = 1;
    bool markDropDown_ = true;
    TButtonStyle style_ = TButtonStyle::bsAutoDetect;
    bool transparent_ = false;
    QPointer<Action> action_;
    bool glyphFromAction_ = false;

    bool dragging_ = false;
    bool mouseInControl_ = false;
    bool menuTracking_ = false;
    std::unique_ptr<QTimer> repeatTimer_;
    QKeySequence accelerator_;
    int shortcut_ = 0;
};

}  // namespace velmoran
