// TEnhEdit: a one-line edit that restricts and normalises what is typed by its edit type (text,
// integer, float, money, hex, range list, upper, lower or mixed case, password), shows a fixed
// prefix and suffix around the value, has a label of its own, changes colours on focus, error and
// modification, can be drawn flat (underline or soft border), opens addresses on click, keeps
// its text in an INI file or the program's settings, and takes part in text drag and drop.
//
// The rules live in EnhEditText.h and EnhEditKeys.h as functions over the edit's state; the
// edit hands them every typed character and key and applies what they return. Clipboard
// commands (keys and the edit's own context menu) go through the rules over Clipboard(); Qt's
// own paste, drag and drop and middle-button paste are closed. Esc and Enter are handled and then
// left to the surrounding dialog, so its cancel and default buttons react.
#pragma once

#include "controls/ControlFont.h"
#include "controls/EditDrop.h"
#include "controls/EnhEditKeys.h"
#include "platform/Events.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>

class QMenu;

namespace velmoran {

class Canvas;
class TEditDropTarget;

enum class TEditAlign { eaLeft, eaRight, eaDefault, eaCenter };
enum class TLabelPosition {
    lpLeftTop,
    lpLeftCenter,
    lpLeftBottom,
    lpTopLeft,
    lpBottomLeft,
    lpLeftTopLeft,
    lpLeftCenterLeft,
    lpLeftBottomLeft,
    lpTopCenter,
    lpBottomCenter
};
enum class TPersistenceLocation { plInifile, plRegistry };

// Where the edit keeps its text between runs: an INI file (Key: the file) or the program's
// settings (Key: the key path), in the group Section, under the edit's object name.
struct TPersistence {
    bool Enable = false;
    std::string Key;
    std::string Section;
    TPersistenceLocation Location = TPersistenceLocation::plInifile;
};

using TValueValidateEvent = std::function<void(QWidget* sender, const std::string& value, bool& isValid)>;
using TClipboardEvent = std::function<void(QWidget* sender, const std::string& value, bool& allow)>;
// A typed character; set to 0 it is dropped.
using TKeyPressEvent = std::function<void(QWidget* sender, char16_t& key)>;
// A key (Qt key code); set to 0 it goes no further.
using TKeyEvent = std::function<void(QWidget* sender, int& key, Qt::KeyboardModifiers shift)>;

// Where a label of the given size goes beside an edit.
TPoint LabelPlace(TLabelPosition position, const TRect& edit, TSize label, int margin);

class TEnhEdit : public QLineEdit {
public:
    explicit TEnhEdit(QWidget* parent = nullptr);
    ~TEnhEdit() override;

    // The value: the text without prefix and suffix. Writing checks it against the type (a wrong
    // one becomes "0"), formats float and money with their precision and clears the modified state.
    std::string Text() const;
    void SetText(const std::string& value);
    double FloatValue() const;
    void SetFloatValue(double value);
    void SetIntValue(long long value);

    TEnhEditType EditType() const { return rules_.EditType; }
    void SetEditType(TEnhEditType type);
    int Precision() const { return rules_.Precision; }
    // Taken only by float and money.
    void SetPrecision(int precision);
    int LengthLimit() const { return rules_.LengthLimit; }
    void SetLengthLimit(int limit) { rules_.LengthLimit = limit; }
    std::string Prefix() const;
    void SetPrefix(const std::string& prefix);
    std::string Suffix() const;
    void SetSuffix(const std::string& suffix);
    bool Signed() const { return rules_.Signed; }
    void SetSigned(bool on) { rules_.Signed = on; }
    bool AutoThousandSeparator() const { return rules_.AutoThousandSeparator; }
    void SetAutoThousandSeparator(bool on);
    bool ExcelStyleDecimalSeparator() const { return rules_.ExcelStyleDecimalSeparator; }
    void SetExcelStyleDecimalSeparator(bool on) { rules_.ExcelStyleDecimalSeparator = on; }
    bool ReturnIsTab() const { return rules_.ReturnIsTab; }
    void SetReturnIsTab(bool on) { rules_.ReturnIsTab = on; }
    bool TabOnFullLength() const { return rules_.TabOnFullLength; }
    void SetTabOnFullLength(bool on) { rules_.TabOnFullLength = on; }
    bool CanUndo() const { return rules_.CanUndo; }
    void SetCanUndo(bool on);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool on) { autoSelect_ = on; }
    bool AutoFocus() const { return autoFocus_; }
    void SetAutoFocus(bool on) { autoFocus_ = on; }
    TEditAlign EditAlign() const { return editAlign_; }
    void SetEditAlign(TEditAlign align);
    TEditAlign FocusAlign() const { return focusAlign_; }
    void SetFocusAlign(TEditAlign align) { focusAlign_ = align; }
    const std::string& EmptyText() const { return emptyText_; }
    void SetEmptyText(const std::string& text);

    // Colours (colour references; system colours allowed).
    ColorRef Color() const { return normalColor_; }
    void SetColor(ColorRef color);
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);
    ColorRef FocusColor() const { return focusColor_; }
    void SetFocusColor(ColorRef color);
    ColorRef FocusFontColor() const { return focusFontColor_; }
    void SetFocusFontColor(ColorRef color);
    ColorRef ErrorColor() const { return errorColor_; }
    void SetErrorColor(ColorRef color);
    ColorRef ErrorFontColor() const { return errorFontColor_; }
    void SetErrorFontColor(ColorRef color);
    bool ShowError() const { return showError_; }
    void SetShowError(bool on);
    ColorRef ModifiedColor() const { return modifiedColor_; }
    void SetModifiedColor(ColorRef color);
    bool ShowModified() const { return showModified_; }
    void SetShowModified(bool on);
    ColorRef DisabledColor() const { return disabledColor_; }
    void SetDisabledColor(ColorRef color);
    ColorRef URLColor() const { return urlColor_; }
    void SetURLColor(ColorRef color);
    bool ShowURL() const { return showURL_; }
    void SetShowURL(bool on);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    // The colours shown now.
    ColorRef ShownColor() const;
    ColorRef ShownFontColor() const;

    // Focus looks.
    bool FocusLabel() const { return focusLabel_; }
    void SetFocusLabel(bool on) { focusLabel_ = on; }
    int FocusWidthInc() const { return focusWidthInc_; }
    void SetFocusWidthInc(int pixels) { focusWidthInc_ = pixels; }
    bool FocusBorder() const { return focusBorder_; }
    void SetFocusBorder(bool on);

    // Flat look: no frame, an underline or a soft border in FlatLineColor, the parent's colour.
    bool Flat() const { return flat_; }
    virtual void SetFlat(bool on);
    ColorRef FlatLineColor() const { return flatLineColor_; }
    void SetFlatLineColor(ColorRef color);
    bool FlatParentColor() const { return flatParentColor_; }
    void SetFlatParentColor(bool on);
    bool SoftBorder() const { return softBorder_; }
    void SetSoftBorder(bool on);
    bool HintShowLargeText() const { return hintShowLargeText_; }
    void SetHintShowLargeText(bool on) { hintShowLargeText_ = on; }

    // The label, made on first use; the edit is its buddy.
    std::string LabelCaption() const;
    void SetLabelCaption(const std::string& caption);
    TLabelPosition LabelPosition() const { return labelPosition_; }
    void SetLabelPosition(TLabelPosition position);
    int LabelMargin() const { return labelMargin_; }
    void SetLabelMargin(int margin);
    bool LabelTransparent() const { return labelTransparent_; }
    void SetLabelTransparent(bool on);
    const TFont& LabelFont() const { return labelFont_; }
    void SetLabelFont(const TFont& font);
    QLabel* Label() const { return label_; }

    TPersistence& Persistence() { return persistence_; }
    const TPersistence& Persistence() const { return persistence_; }

    bool OleDropTarget() const { return dropTarget_ != nullptr; }
    void SetOleDropTarget(bool on);
    bool OleDropSource() const { return oleDropSource_; }
    void SetOleDropSource(bool on) { oleDropSource_ = on; }

    // After the properties are set (the framework's "loaded"): places the label and reads the
    // persisted text.
    virtual void Loaded();

    // The clipboard commands by the type's rules.
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    // The edit's context menu (undo, cut, copy, paste, delete, select all).
    std::unique_ptr<QMenu> CreateContextMenu();

    bool Modified() const { return modifiedState_; }
    void SetModifiedState(bool modified);
    bool ErrorShown() const { return errorState_; }
    // The text is an address and ShowURL is on.
    bool UrlShown() const { return showURL_ && urlState_; }

    // The state the rules work on, and its application to the edit.
    TEditState EditState() const;
    void ApplyState(const TEditState& state);
    const TEnhEditRules& Rules() const { return rules_; }

    // The character position under a client point, and the point at the foot of a position.
    int CharIndexAt(QPoint point) const;
    QPoint CharPoint(int index) const;
    // The drop caret's character position (-1 none).
    int DropCaret() const { return dropCaret_; }
    void SetDropCaret(int index);

    // What the edit draws over the line edit's own painting: the flat line or soft border, the
    // focus frame, the drop caret and EmptyText.
    void PaintOverlay(Canvas& canvas);

    TNotifyEvent OnChange;
    TValueValidateEvent OnValueValidate;
    TClipboardEvent OnClipboardCopy;
    TClipboardEvent OnClipboardCut;
    TClipboardEvent OnClipboardPaste;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyDown;

protected:
    // Cut and paste are open (the edit with button closes them while its editor is disabled).
    virtual bool ClipboardEditAllowed() const { return !isReadOnly(); }
    // The formatting rectangle's insets from the client area; the edit's text keeps inside.
    struct Insets {
        int Left = 0, Top = 0, Right = 0, Bottom = 0;
    };
    void SetFormatInsets(const Insets& insets);
    const Insets& FormatInsets() const { return insets_; }
    // The colour of the parent's background.
    ColorRef ParentColor() const;
    bool MouseInside() const { return mouseInside_; }
    // Hot: the mouse inside or the focus here, and enabled.
    bool Hot() const;

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

public:
    void setVisible(bool visible) override;

private:
    friend class TEditDropTarget;

    void TypeCharacter(QKeyEvent* event, char16_t ch);
    bool ClipboardKey(QKeyEvent* event);
    void TextChanged();
    void UpdateColors();
    void UpdateFont();
    void UpdateAlignment();
    void PlaceLabel();
    void EnterFocus();
    void LeaveFocus();
    void ReadPersistence();
    void WritePersistence() noexcept;
    void StartDrag();
    std::u16string SelectedValue() const;
    void DeleteSelectedValue();
    void SetControlText(const std::u16string& value);
    void SetValueText(const std::u16string& value, bool modified);
    int CharX(int index) const;

    TEnhEditRules rules_;
    bool autoSelect_ = true;
    bool autoFocus_ = false;
    TEditAlign editAlign_ = TEditAlign::eaLeft;
    TEditAlign focusAlign_ = TEditAlign::eaDefault;
    std::string emptyText_;
    TFont font_;
    ColorRef normalColor_;
    ColorRef normalFontColor_;
    ColorRef focusColor_;
    ColorRef focusFontColor_;
    ColorRef errorColor_;
    ColorRef errorFontColor_;
    ColorRef modifiedColor_;
    ColorRef disabledColor_;
    ColorRef urlColor_;
    ColorRef flatLineColor_;
    bool showError_ = false;
    bool showModified_ = false;
    bool showURL_ = false;
    bool transparent_ = false;
    bool focusLabel_ = false;
    int focusWidthInc_ = 0;
    bool focusBorder_ = false;
    bool flat_ = false;
    bool flatParentColor_ = true;
    bool softBorder_ = false;
    bool hintShowLargeText_ = false;
    ColorRef savedColor_ = 0;
    ColorRef savedFocusColor_ = 0;
    Insets insets_;

    QPointer<QLabel> label_;
    TLabelPosition labelPosition_ = TLabelPosition::lpLeftTop;
    int labelMargin_ = 4;
    bool labelTransparent_ = false;
    TFont labelFont_;

    TPersistence persistence_;

    std::u16string focusText_;
    bool errorState_ = false;
    bool modifiedState_ = false;
    bool urlState_ = false;
    bool mouseInside_ = false;
    bool focusAligned_ = false;
    bool focused_ = false;
    bool focusByMouse_ = false;  // the focus came with the mouse press being handled

    TEditDropTarget* dropTarget_ = nullptr;
    bool oleDropSource_ = false;
    bool dragArmed_ = false;
    bool dragRunning_ = false;
    bool selfDropDone_ = false;
    int dropCaret_ = -1;
};

// The edit's drop target: the drop caret follows the mouse, a dropped text's first line goes in
// at the character under the mouse. A text dragged within the edit without Ctrl moves: the
// source selection goes here, and the drag's source leaves it alone afterwards.
class TEditDropTarget : public TAEDropTarget {
public:
    explicit TEditDropTarget(TEnhEdit* edit);
    void DropText(TPoint point, const std::string& text) override;
    void DragMouseMove(TPoint point, bool& allow) override;
    void DragLeave() override;

private:
    TEnhEdit* edit_;
};

}  // namespace velmoran
