// TCustomComboEdit: the masked edit with a button at its right edge and an optional drop-down
// window (TPopupWindow) that shows under the edit and hands a value back when it closes; the
// base of the date field, whose calendar is the drop-down. The button (TEditButton, a speed
// button) sits on a small child widget at the right edge; the text margins keep typing off it.
//
// The drop-down is a frameless Qt popup parented to the edit. The edit keeps the focus while it
// shows: keys reaching the popup go to the edit, and the keys the edit hands on (the navigation
// keys) go straight to the popup's content. A press outside closes it without accepting; a press
// on the edit's button closes it accepting and is not replayed to the button.
#pragma once

#include "controls/ControlFont.h"
#include "controls/HtmlLabel.h"
#include "controls/SpeedButton.h"
#include "platform/MaskEdit.h"

#include <QBasicTimer>
#include <QKeyCombination>
#include <QPointer>
#include <QVariant>

#include <functional>

class QStyle;

namespace velmoran {

class TCustomComboEdit;

enum class TPopupAlign { epaRight, epaLeft };
enum class TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };

// Where the popup's top-left corner goes, in screen coordinates: under the edit (above it when
// it would pass the screen's bottom), its right edge on the edit's (epaRight) or its left edge
// on the edit's (epaLeft, unless it would pass the screen's right edge), kept within the screen
// horizontally. The screen is the available area of the screen that holds the edit.
TPoint PopupPosition(const TRect& edit, TSize popup, TPopupAlign align, const TRect& screen);

// The drop-down window. Subclasses hold the content and say what value it stands for.
class TPopupWindow : public QWidget {
public:
    explicit TPopupWindow(TCustomComboEdit* editor);
    ~TPopupWindow() override;

    virtual QVariant GetValue() const = 0;
    virtual void SetValue(const QVariant& value) = 0;
    // Tells the close-up handler (the edit) whether to take the value.
    virtual void CloseUp(bool accept);
    virtual std::string GetPopupText() const { return {}; }

    // Shown at the screen point without taking the focus from the edit; hidden again.
    void ShowAt(QPoint screenPoint);
    void HideWindow();
    // A key the edit hands on, delivered to the content (the first child widget, else the popup).
    void DeliverKey(QKeyEvent* event);

    std::function<void(TPopupWindow* popup, bool accept)> OnCloseUp;

protected:
    TCustomComboEdit* Editor() const { return editor_; }
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    QPointer<TCustomComboEdit> editor_;
    bool delivering_ = false;
    bool pressedInside_ = false;
    // The press went to a widget of the content, which left it to the popup: so does its release.
    bool pressedOnContent_ = false;
};

namespace comboedit {

// The combo edit's button: after the speed button's painting a separator at its left edge
// (unless down); a press while the popup shows closes it accepting, and the click that follows
// is swallowed.
class TEditButton : public TExSpeedButton {
public:
    TEditButton(QWidget* host, TCustomComboEdit* editor);
    // Drawn as the drop-down arrow button of a combo box (gkDropDown).
    bool DropDownLook = false;
    void Click() override;

protected:
    void PaintTo(Canvas& canvas) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TCustomComboEdit* editor_;
    bool noAction_ = false;
};

}  // namespace comboedit

class TCustomComboEdit : public TCustomMaskEdit {
public:
    explicit TCustomComboEdit(QWidget* parent = nullptr);
    ~TCustomComboEdit() override;

    // The edit's font ("MS Sans Serif", 8 points, as the dialogs set it).
    const TFont& Font() const { return font_; }
    // Also sets the minimum height and the caret width.
    void SetFont(const TFont& font);
    // No resize makes the edit lower than this: the smaller text height of the screen font and
    // its own, four border heights and one pixel.
    int MinimumHeight() const;
    // 2 pixels for a bold font, else 1.
    int CaretWidth() const { return font_.Bold ? 2 : 1; }
    // The text height of the minimum height's rule: the smaller of the screen font's and the
    // edit's own.
    int CaretHeight() const;
    // Where the caret stands (the edit draws its own, of the width and height above).
    QRect CaretRect() const;
    // Entering the edit by the keyboard selects the whole text (with DirectInput); on by default.
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool on) { autoSelect_ = on; }

    comboedit::TEditButton* Button() const { return button_; }
    QWidget* ButtonHost() const { return host_; }

    TNotifyEvent OnButtonClick;
    // The key that clicks the button; Alt+Down by default.
    QKeyCombination ClickKey = QKeyCombination(Qt::AltModifier, Qt::Key_Down);
    TPopupAlign PopupAlign = TPopupAlign::epaRight;

    // The edit's own read-only flag: no button, no click key, no paste or cut, no drop-down.
    virtual bool GetReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    // Off: the text cannot be typed, but the button and the drop-down still set it.
    bool DirectInput() const { return directInput_; }
    void SetDirectInput(bool direct);
    bool CanModify() const override { return !GetReadOnly(); }
    // Paste and cut as commands from outside the keyboard (menus, the program): carried out only
    // with DirectInput on and ReadOnly off. (The keys are refused by the read-only edit itself.)
    void Paste();
    void Cut();

    const std::string& ButtonHint() const { return button_->Hint(); }
    void SetButtonHint(const std::string& hint) { button_->SetHint(hint); }
    int ButtonWidth() const { return button_->width(); }
    // The host shows only for widths of 2 and more; later widths must be below the edit's.
    void SetButtonWidth(int width);
    const QImage& Glyph() const { return button_->Glyph(); }
    // Makes the glyph kind custom.
    void SetGlyph(const QImage& glyph);
    int NumGlyphs() const { return button_->NumGlyphs(); }
    void SetNumGlyphs(int count);
    TGlyphKind GlyphKind() const { return glyphKind_; }
    void SetGlyphKind(TGlyphKind kind);

    bool PopupVisible() const { return popupVisible_; }
    TPopupWindow* Popup() const { return popup_; }
    // The drop-down (the subclass owns it); it reports its close-up to this edit.
    void SetPopup(TPopupWindow* popup);

    // The button's click: OnButtonClick, then the drop-down opens or (when open) closes accepting.
    virtual void ButtonClick();
    virtual void PopupDropDown(bool disableEdit);
    // The popup's close-up handler.
    void PopupCloseUp(TPopupWindow* popup, bool accept);

protected:
    // The glyph of gkDefault and its image count; none here, the date field gives its calendar
    // picture.
    virtual QImage GetDefaultGlyph() { return {}; }
    void SetDefaultNumGlyphs(int count) { defaultNumGlyphs_ = count; }
    virtual void ShowPopup(QPoint screenPoint);
    virtual void HidePopup();
    virtual bool AcceptPopup(const QVariant& value);
    virtual void AcceptValue(const QVariant& value);
    virtual void SetPopupValue(const QVariant& value);
    virtual QVariant GetPopupValue() const;
    virtual void PopupChange() {}
    // After a close-up the popup no longer counts as open, so a change goes to the edit's own event.
    void RefreshPopupVisible();
    // Which keys the open popup's content gets instead of the edit: the navigation keys.
    virtual bool HandsKeyToPopup(const QKeyEvent& event) const;
    void Change() override;

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    friend class CaretStyle;
    void UpdateControls();
    void RecreateGlyph();
    // The caret blinks while the edit has the focus and can be typed into without a mask (a mask
    // shows its place as a selected character instead).
    bool CaretWanted() const;
    void RestartCaret();

    TFont font_;
    QStyle* caretStyle_ = nullptr;
    QWidget* host_ = nullptr;
    comboedit::TEditButton* button_ = nullptr;
    QPointer<TPopupWindow> popup_;
    bool readOnly_ = false;
    bool directInput_ = true;
    bool popupVisible_ = false;
    bool closingUp_ = false;
    TGlyphKind glyphKind_ = TGlyphKind::gkCustom;
    int defaultNumGlyphs_ = 1;
    bool autoSelect_ = true;
    bool paintingText_ = false;  // the line edit paints: it draws no caret of its own
    bool caretOn_ = false;
    QBasicTimer caretBlink_;
};

}  // namespace velmoran
