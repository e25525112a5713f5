// TEnhCustomCombo and TEnhComboBox: a combo box drawn flat by our own code (frame, field, button
// face, hot edge and arrow), for the main window's module and template lists and the preview's
// zoom list. The button shows a raised or etched edge while the control is hot (mouse inside or
// focus here); a flat frame sinks when hot only with FocusBorder.
//
// Styles: csDropDown is editable, csDropDownList is not, csSimple is editable without button and
// popup (Up and Down step through the items; a control taller than one line shows the item list
// below its edit line). OnChange fires when the user types or picks an item, never when code sets
// the items, the index or the text. Disabled, the control takes its parent's colour.
#pragma once

#include "controls/ControlFont.h"
#include "platform/Events.h"

#include <QComboBox>
#include <QPointer>

#include <functional>
#include <string>
#include <vector>

class QListView;

namespace velmoran {

class Canvas;

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList };


class TEnhCustomCombo : public QComboBox {
public:
    explicit TEnhCustomCombo(QWidget* parent = nullptr);

    bool Flat() const { return flat_; }
    void SetFlat(bool on);
    bool Etched() const { return etched_; }
    void SetEtched(bool on);
    // 16 + 2 (a classic scroll bar's width and two) at first; only 14 to 32 are taken.
    int ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int width);
    bool FocusBorder() const { return focusBorder_; }
    void SetFocusBorder(bool on);
    bool AutoFocus() const { return autoFocus_; }
    void SetAutoFocus(bool on) { autoFocus_ = on; }
    // The drop-down list's least width (0: the control's).
    int DropWidth() const { return dropWidth_; }
    void SetDropWidth(int width);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);

    ColorRef Color() const { return color_; }
    void SetColor(ColorRef color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool on);
    // The colour the field shows: the parent's with ParentColor, else Color.
    ColorRef ShownColor() const;
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);

    std::vector<std::string> Items() const;
    void SetItems(const std::vector<std::string>& items);
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index) { setCurrentIndex(index); }
    std::string Text() const { return currentText().toStdString(); }
    void SetText(const std::string& text);

    bool Hot() const;
    bool DroppedDown() const { return dropped_; }
    // The item list of a tall simple combo (nullptr when none is shown).
    QListView* SimpleList() const;
    // The flat drawing: field, arrow, frame and button.
    void PaintFlat(Canvas& canvas);

    void showPopup() override;
    void hidePopup() override;

    TNotifyEvent OnChange;
    TNotifyEvent OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UserChanged();
    ColorRef ParentBackground() const;
    void UpdateColors();
    void PlaceChildren();
    int EditLineHeight() const;
    TRect ButtonArea() const;
    void PaintFrame(Canvas& canvas);
    void PaintButton(Canvas& canvas);

    bool flat_ = true;
    bool etched_ = false;
    int buttonWidth_ = 16 + 2;
    bool focusBorder_ = false;
    bool autoFocus_ = false;
    int dropWidth_ = 0;
    TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
    ColorRef color_;
    bool parentColor_ = false;
    ColorRef savedColor_ = 0;
    bool savedParentColor_ = false;
    TFont font_;
    bool mouseInside_ = false;
    bool dropped_ = false;
    QPointer<QListView> list_;
};

class TEnhComboBox : public TEnhCustomCombo {
public:
    using TEnhCustomCombo::TEnhCustomCombo;
};

}  // namespace velmoran
