// HTML forms and their controls: ThtmlForm (one FORM) and the control objects of the nine kinds,
// derived from TFormControlObj. Each object keeps its value itself (what the page set, what the user
// typed), so that a document parsed without a window still submits, resets and restores; when the
// document is shown, the object also owns a window control on the viewer's drawing surface, made
// once the control is in view or Tab goes to it, that mirrors the value both ways. The text
// section places a control like a character of its size; on a printer the object draws its look
// itself. Creation and values are in FormControls.cpp and FormControlKinds.cpp, the window
// controls in FormWidgets.cpp, the printed look in FormPrint.cpp.
#pragma once

#include "html/base/Attributes.h"
#include "html/base/IDObjects.h"
#include "html/layout/DocumentHost.h"
#include "html/style/Colors.h"
#include "html/style/Fonts.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace velmoran {

class Canvas;
class ThtmlForm;
class TImageObj;
class TProperties;
class TSectionList;
class TEditFormControlObj;
class TRadioButtonFormControlObj;

// The largest window size X11 accepts: every control dimension is clamped to 0..this, whatever
// numbers a page writes.
constexpr int kMaxControlSize = 32767;
// A control dimension computed in 64 bits from page numbers, clamped to 0..kMaxControlSize.
int ClampedControlSize(long long pixels);

// Something Tab can reach: a form control or the focus control of a link. The document keeps its
// stops in tab order: those with a TABINDEX first, then the others as the page has them.
class TTabStop {
public:
    virtual ~TTabStop() = default;
    // The widget that takes the focus (none when the document is not shown, or none made yet).
    virtual QWidget* FocusWidget() const = 0;
    virtual TSectionList* StopDocument() const = 0;
    // Whether Tab stops here as things are now.
    virtual bool TabReaches() const { return true; }
    // The widget is made if need be (hidden, off-screen).
    virtual void MakeFocusWidget() {}
    // Tab is about to come here: the widget is made if need be, and shown off-screen when hidden.
    virtual void ShowForTab() {}
    // The place in the document's tab order (-1 until the document ordered its stops).
    int TabOrder = -1;
};

// Marks a widget as the focus widget of a stop; the stop of a widget or of the widget it is part
// of (nullptr for none).
void TagTabStop(QWidget* widget, TTabStop* stop);
TTabStop* TabStopOf(const QWidget* widget);
// Installs the watch on the Tab key that shows the stop Tab goes to before it moves the focus.
void WatchTabKey();

// The key of the document's tab-order list for a TABINDEX: "%.5d%.3d" of the index and the
// list's current count.
std::string TabOrderKey(int tabIndex, int count);

class TFormControlObj : public TIDObject, public TTabStop {
public:
    // Joins the form being built (a new one when there is none) and the document's control list;
    // reads the attributes every kind shares.
    TFormControlObj(TSectionList* document, const TAttributeList& attributes, TProperties& props, int sourcePos);
    ~TFormControlObj() override;
    TFormControlObj(const TFormControlObj&) = delete;
    TFormControlObj& operator=(const TFormControlObj&) = delete;

    int GetYPosition() override { return YValue; }
    // The window control, made when first needed (none when the document has no drawing surface).
    QWidget* GetWinControl();
    QWidget* FocusWidget() const override { return widget_; }
    TSectionList* StopDocument() const override { return Document; }
    bool TabReaches() const override { return TakesFocus() && !Disabled; }
    void MakeFocusWidget() override { EnsureWindowControl(); }
    void ShowForTab() override;

    // Fires OnObjectChange when the value differs from the remembered one.
    virtual void FireChangeIfModified();
    virtual void RememberValue() { remembered_ = ChangeValue(); }
    // CSS margins, borders, sizes, vertical alignment and background of the element.
    virtual void ApplyProperties(TProperties& props);
    // The control's look on a printer canvas with its box at (x, y).
    virtual void DrawForPrint(Canvas& /*canvas*/, int /*x*/, int /*y*/) {}
    virtual void ResetValue() {}
    // The index-th "name=value" text of the submission; false when there are no more.
    virtual bool GetSubmitPair(int /*index*/, std::string& /*text*/) { return false; }
    virtual void RestoreValue(int /*index*/, const std::string& /*value*/) {}
    virtual void ClearBeforeRestore() {}
    // The box size for the canvas's fonts.
    virtual void SizeControl(Canvas& /*canvas*/) {}
    // Hidden inputs take no place in the text.
    virtual bool Placed() const { return true; }
    // The initial state, taken when the parser has read the whole element (options, content).
    virtual void StoreInitial() {}

    // --- the box ---
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetWidth(int width);
    void SetHeight(int height);
    // A percentage width (PercentWidth) against the available width of a line.
    void SizePercent(int availWidth);

    // --- the window control (only while the document is shown) ---
    // A page may hold tens of thousands of controls: a window control is made only when a paint
    // places it, Tab or an arrow key goes to it, or it is asked for.
    // Moves the window control (made now if need be) to a place of the drawing surface and shows
    // it; a screen paint does this for every control it draws.
    void ShowAt(int x, int y);
    // Shown off-screen: where Tab is about to go, or the focused control out of view.
    void Park();
    // Out of view after a paint: hidden, or parked while it has the focus. Tab still reaches a
    // hidden control (it is parked as Tab goes to it).
    void LeaveView();
    // Gives the window control the focus, parking it first when it is hidden.
    void TakeFocus();
    bool ShownInPaint = false;

    // --- what the window control reports ---
    void ControlEntered();
    void ControlExited();
    void ControlClicked();
    void ControlMouseMove(int x, int y);
    // A key on the control; true when the control used it (the others go to the viewer).
    virtual bool ControlKey(int /*key*/) { return false; }

    // Text of the page (in the control's code page) to wide text and back.
    std::u16string ToWide(const std::string& text) const;
    std::string FromWide(const std::u16string& text) const;

    int YValue = 0;
    bool Focused = false;
    QImage PrintBitmap;                  // the cached picture of a button printed in colour
    std::vector<std::string> Attributes; // "NAME=value" lines of the element
    std::string Title;
    int CodePage = 1252;
    int SourcePos = 0;                   // the element's place in the source
    int Pos = -1;                        // its placeholder in the section's text
    TSectionList* Document;
    ThtmlForm* Form = nullptr;
    std::string Value, Name, ID;
    std::string OnClickText, OnFocusText, OnBlurText, OnChangeText;
    int HSpaceL = 0, HSpaceR = 0, VSpaceT = 0, VSpaceB = 0;
    int BordT = 0, BordB = 0;            // CSS border widths above and below
    int FHeight = 0, FWidth = 0;         // specified size in pixels, 0 when none
    bool PercentWidth = false;
    bool Disabled = false;
    bool ReadOnly = false;
    bool BorderByCss = false;
    TColor BkColor = NoColor;
    std::uint8_t VertAlign = 4;          // 1 top, 2 middle, 3 baseline, 4 bottom
    TMyFont Font;                        // the element's font

protected:
    // Whether the kind has a window control that takes the focus.
    virtual bool TakesFocus() const { return true; }
    // The window control, made now on the document's drawing surface (hidden, off-screen, in its
    // place of the tab order) when there is none yet.
    QWidget* EnsureWindowControl();
    // The value as the change check compares it.
    virtual std::string ChangeValue() const { return {}; }
    // The kind's window control (null for none), wired to this object.
    virtual QWidget* MakeWidget(QWidget* /*parent*/) { return nullptr; }
    // Shows the kept value in the window control.
    virtual void ShowValue() {}
    // Runs ShowValue when there is a window control, without its change reports.
    void SyncWidget();
    // The box size from the element's font: the height of "A" and the text extent of a text.
    int TextHeightA(Canvas& canvas) const;
    int TextWidth(Canvas& canvas, const std::u16string& text) const;
    // Name "=" value, or no pair without a NAME: the history would restore "=value" into every nameless control.
    std::string Pair(const std::string& value) const { return Name.empty() ? std::string() : Name + "=" + value; }
    // Runs `work` once the event being handled is done, not from inside Qt's focus change or
    // click, so that it may load another page, clear the viewer or free this control; not at all
    // when the control is gone by then. Works run in the order they were asked for.
    void AfterEvent(std::function<void()> work);
    // Calls one of the page's handlers (OnObjectClick, OnObjectFocus, ...) for this control after
    // the event.
    void FireHandler(TFormEvents::ObjectEvent TFormEvents::*handler, const std::string& script);

    QPointer<QWidget> widget_;
    std::string remembered_;
    int width_ = 0;
    int height_ = 0;
    bool syncing_ = false;  // the window control is being set from the object

private:
    // Gone with the object: a handler fired for it runs only while it lives.
    std::shared_ptr<const char> alive_ = std::make_shared<const char>();
};

// INPUT text, password (and any unknown TYPE), and the edit of a file input.
class TEditFormControlObj : public TFormControlObj {
public:
    TEditFormControlObj(TSectionList* document, const TAttributeList& attributes, TProperties& props,
                        int sourcePos, bool password);
    // SIZE: its number when 1 or more; else, with a blank and a comma in the text, the text before
    // the earlier of them read as a number (20 when it is none); else 15.
    static int EditSize(const TAttribute* size);

    void DrawForPrint(Canvas& canvas, int x, int y) override;
    void ResetValue() override;
    bool GetSubmitPair(int index, std::string& text) override;
    void RestoreValue(int index, const std::string& value) override;
    void SizeControl(Canvas& canvas) override;
    bool ControlKey(int key) override;
    void SetText(const std::u16string& text);

    std::u16string Text;
    int EditSize_ = 15;
    int MaxLength = 0;
    bool Password;

protected:
    std::string ChangeValue() const override { return FromWide(Text); }
    QWidget* MakeWidget(QWidget* parent) override;
    void ShowValue() override;
};

// INPUT submit, reset, button and the browse button of a file input.
class TButtonFormControlObj : public TFormControlObj {
public:
    enum Kind { Submit = 0, Reset = 1, Plain = 2, Browse = 3 };
    TButtonFormControlObj(TSectionList* document, const TAttributeList& attributes, TProperties& props,
                          int sourcePos, Kind kind, TEditFormControlObj* browseEdit = nullptr);
    void DrawForPrint(Canvas& canvas, int x, int y) override;
    void SizeControl(Canvas& canvas) override;
    // Submit, reset or browse, as the kind says.
    void Press();

    Kind ButtonKind;
    std::u16string Caption;
    TEditFormControlObj* BrowseEdit;  // the edit a browse button fills, not owned

protected:
    QWidget* MakeWidget(QWidget* parent) override;
};

// INPUT checkbox and radio share their value rules.
class TCheckFormControlObj : public TFormControlObj {
public:
    TCheckFormControlObj(TSectionList* document, const TAttributeList& attributes, TProperties& props,
                         int sourcePos);
    void ResetValue() override;
    bool GetSubmitPair(int index, std::string& text) override;
    void RestoreValue(int index, const std::string& value) override;
    void ClearBeforeRestore() override;
    virtual void SetChecked(bool checked);

    bool Checked = false;
    bool InitialChecked = false;

protected:
    std::string ChangeValue() const override { return Checked ? "1" : "0"; }
    void ShowValue() override;
};

class TCheckBoxFormControlObj : public TCheckFormControlObj {
public:
    using TCheckFormControlObj::TCheckFormControlObj;
    void DrawForPrint(Canvas& canvas, int x, int y) override;
    void SizeControl(Canvas& canvas) override;

protected:
    QWidget* MakeWidget(QWidget* parent) override;
};

// A radio button: its group (same form, same NAME without regard to case) is kept exclusive here,
// not by the window control.
class TRadioButtonFormControlObj : public TCheckFormControlObj {
public:
    TRadioButtonFormControlObj(TSectionList* document, const TAttributeList& attributes, TProperties& props,
                               int sourcePos);
    void DrawForPrint(Canvas& canvas, int x, int y) override;
    void SizeControl(Canvas& canvas) override;
    // Ignored while the Tab key is down (moving the focus must not check a button).
    void SetChecked(bool checked) override;
    void ResetValue() override;
    bool ControlKey(int key) override;
    // A click checks this button and unchecks the rest of its group.
    void Click();
    // The buttons of the group, this one included, in document order.
    std::vector<TRadioButtonFormControlObj*> Group() const;
    // Tab enters a group once and never changes its choice: its checked button is its one tab
    // stop; a group with none checked (or a disabled one checked) has its first enabled button.
    static void SettleTabStops(const std::vector<TRadioButtonFormControlObj*>& group);
    bool TabReaches() const override { return TabStop && TFormControlObj::TabReaches(); }
    bool TabStop = true;

protected:
    QWidget* MakeWidget(QWidget* parent) override;
    void ShowValue() override;

private:
    void UncheckOthers();
    void SetTabStop(bool on);
};

class THiddenFormControlObj : public TFormControlObj {
public:
    using TFormControlObj::TFormControlObj;
    bool Placed() const override { return false; }
    bool GetSubmitPair(int index, std::string& text) override;
    void RestoreValue(int index, const std::string& value) override;

protected:
    bool TakesFocus() const override { return false; }
};

// INPUT image: an inline image that submits the form with the point clicked.
class TImageFormControlObj : public TFormControlObj {
public:
    using TFormControlObj::TFormControlObj;
    bool Placed() const override { return false; }
    bool GetSubmitPair(int index, std::string& text) override;
    // A click at a point of the image: focus, the click event, then the form submits with it.
    void ImageClick(int x, int y);

    TImageObj* Image = nullptr;  // its picture in the section, not owned
    int XPos = -1, YPos = -1;    // the click, until its pairs were given

protected:
    QWidget* MakeWidget(QWidget* parent) override;
};

// One OPTION: its value (in the page's code page), its shown text and whether it is SELECTED.
struct TOptionObj {
    std::string Value;
    std::u16string Text;
    bool Selected = false;
    std::vector<std::string> Attributes;
};

// The options of a SELECT; out-of-range indexes give an empty value and false.
class ThtOptionStringList {
public:
    void Add(TOptionObj option) { items_.push_back(std::move(option)); }
    int Count() const { return static_cast<int>(items_.size()); }
    const TOptionObj& Item(int i) const { return items_[static_cast<std::size_t>(i)]; }
    std::string Value(int i) const;
    bool Selected(int i) const;

private:
    std::vector<TOptionObj> items_;
};

// SELECT with MULTIPLE or a SIZE above 1.
class TListBoxFormControlObj : public TFormControlObj {
public:
    TListBoxFormControlObj(TSectionList* document, const TAttributeList& attributes, TProperties& props,
                           int sourcePos);
    // An option read by the parser; without a VALUE attribute its value is its text.
    void AddOption(TOptionObj option, bool hasValue);
    void StoreInitial() override { ResetValue(); }
    void DrawForPrint(Canvas& canvas, int x, int y) override;
    void ResetValue() override;
    bool GetSubmitPair(int index, std::string& text) override;
    void RestoreValue(int index, const std::string& value) override;
    void ClearBeforeRestore() override { restoreCleared_ = false; }
    void SizeControl(Canvas& canvas) override;
    // The rows shown: SIZE, or the options (1 to 8) without one.
    int Rows() const;
    void SetSelected(int index, bool selected);
    void SetItemIndex(int index);

    ThtOptionStringList Options;
    bool Multiple = false;
    int LBSize = -1;
    std::vector<bool> Selection;
    int ItemIndex = -1;  // the current item
    int TopRow = 0;      // the first row in view

protected:
    std::string ChangeValue() const override;
    QWidget* MakeWidget(QWidget* parent) override;
    void ShowValue() override;
    // The widest option text in the element's font.
    int WidestOption(Canvas& canvas) const;
    bool restoreCleared_ = false;
};

// Any other SELECT: a drop-down list.
class TComboFormControlObj : public TListBoxFormControlObj {
public:
    using TListBoxFormControlObj::TListBoxFormControlObj;
    void DrawForPrint(Canvas& canvas, int x, int y) override;
    bool GetSubmitPair(int index, std::string& text) override;
    void RestoreValue(int index, const std::string& value) override;
    void SizeControl(Canvas& canvas) override;

protected:
    QWidget* MakeWidget(QWidget* parent) override;
    void ShowValue() override;
};

class TTextAreaFormControlObj : public TFormControlObj {
public:
    enum WrapKind { Soft, Off, Hard };
    TTextAreaFormControlObj(TSectionList* document, const TAttributeList& attributes, TProperties& props,
                            int sourcePos);
    // A line of the content read by the parser (in the page's code page).
    void AddLine(const std::string& line);
    void StoreInitial() override;
    void DrawForPrint(Canvas& canvas, int x, int y) override;
    void ResetValue() override;
    bool GetSubmitPair(int index, std::string& text) override;
    void RestoreValue(int index, const std::string& value) override;
    void SizeControl(Canvas& canvas) override;
    void SetText(const std::u16string& text);
    // The lines as shown: with hard wrapping, as the window control wraps them.
    std::vector<std::u16string> ShownLines();
    // The lines of the text, without wrapping.
    std::vector<std::u16string> Lines() const;
    // The rows of the window control as it lays the text out (each wrapped piece of a line a row)
    // and the index of the row at its top; false when there is no window control.
    bool MemoRows(std::vector<std::u16string>& rows, std::size_t& firstShown) const;

    std::u16string Text;  // lines separated by CR LF
    std::u16string InitialText;
    int Rows = 5, Cols = 30;
    WrapKind Wrap = Soft;

protected:
    std::string ChangeValue() const override { return FromWide(Text); }
    QWidget* MakeWidget(QWidget* parent) override;
    void ShowValue() override;

private:
    std::string content_;  // the lines read so far
    bool firstLine_ = true;
};

// One FORM: its submission settings and its controls (owned; the document's control list refers to
// the same objects).
class ThtmlForm {
public:
    ThtmlForm(TSectionList* document, const TAttributeList& attributes);
    ThtmlForm(const ThtmlForm&) = delete;
    ThtmlForm& operator=(const ThtmlForm&) = delete;

    TFormControlObj* AddControl(std::unique_ptr<TFormControlObj> control);
    // Only when the viewer listens for submissions: the pairs of every enabled control (empty ones
    // left out), then `extra`, handed to OnFormSubmit.
    void SubmitForm(const std::string& extra);
    void ResetControls();
    // The pairs of every control, disabled ones included, for the history.
    std::vector<std::string> GetFormSubmission();
    // Puts back what GetFormSubmission gave.
    void SetFormData(const std::vector<std::string>& lines);
    void SizeControls(Canvas& canvas);
    // The radio buttons of the group of a NAME (without regard to case) added so far, in document
    // order. While the page is read, the buttons before Settled have given up their check and
    // their tab stop to a later one already, so that a new checked button need not visit them.
    struct TRadioGroup {
        std::vector<TRadioButtonFormControlObj*> Buttons;
        std::size_t Settled = 0;
    };
    TRadioGroup& RadioGroup(const std::string& name);

    TSectionList* Document;
    std::string Method = "Get";
    std::string Action, Target, EncType;
    std::vector<std::unique_ptr<TFormControlObj>> Controls;
    int NonHiddenCount = 0;

    // Once the page is read and after a reset or a restore, for each group.
    void SettleRadioTabStops();

private:
    // Kept as the buttons are added, so that a button finds its group without a search of the form.
    std::unordered_map<std::string, TRadioGroup> radioGroups_;
};

// The controls placed in one text section, by their place in the text.
class TFormControlList {
public:
    // Controls are added at the end of the section's text: their positions ascend in list order,
    // and the look-ups below halve the list.
    void Add(TFormControlObj* control) { items_.push_back(control); }
    TFormControlObj* FindByPosition(int pos) const;
    // The controls at positions from..to-1, in order.
    std::span<TFormControlObj* const> Between(int from, int to) const;
    // The distance from a position to the next control's position (9999 when none).
    int NextControlDistance(int pos) const;
    // After a character was removed at a position, the controls after it move one back.
    void Decrement(int pos);
    bool Empty() const { return items_.empty(); }
    int Count() const { return static_cast<int>(items_.size()); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    void Clear() { items_.clear(); }

private:
    std::vector<TFormControlObj*> items_;  // not owned
};

// The control object for an element: INPUT by TYPE, SELECT, TEXTAREA. Null for none.
std::unique_ptr<TFormControlObj> CreateFormControl(TSectionList* document, std::uint8_t tagSymbol,
                                                   const TAttributeList& attributes, TProperties& props,
                                                   int sourcePos);

// True while the Tab key is held down (the window controls' key tracker watches the application).
bool TabKeyDown();

}  // namespace velmoran
