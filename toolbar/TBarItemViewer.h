// The face of one item in one view: how big the item is there, how it paints in every state
// (toolbar button or menu line, hot, pushed, checked, disabled, split, with a drop-down arrow),
// its hint and its accessibility role. The same item looks like a button in a toolbar and like a
// line in a popup menu. Separators bring their own viewer.
#pragma once

#include "platform/Canvas.h"
#include "toolbar/TBarItem.h"

#include <functional>
#include <memory>
#include <string>

namespace velmoran {

class ImageList;
class TBarView;

// Accessibility roles.
constexpr int ROLE_SYSTEM_CLIENT = 10;
constexpr int ROLE_SYSTEM_MENUITEM = 12;
constexpr int ROLE_SYSTEM_SEPARATOR = 21;
constexpr int ROLE_SYSTEM_PUSHBUTTON = 43;
constexpr int ROLE_SYSTEM_BUTTONMENU = 57;

// The dither of checked buttons: rows 0x55 and 0xAA.
constexpr std::uint64_t kDitherPattern = 0x55AA55AA55AA55AAull;
// Fills the rectangle with the dither of button face and button highlight from the canvas's
// brush origin.
void FillDither(Canvas& canvas, const TRect& rect);

class TBarItemViewer {
public:
    TBarItemViewer(TBarView& view, TBarCustomItem& item, int groupLevel);
    virtual ~TBarItemViewer();
    TBarItemViewer(const TBarItemViewer&) = delete;
    TBarItemViewer& operator=(const TBarItemViewer&) = delete;

    // Written by the view's layout.
    TRect BoundsRect;
    bool Clipped = false;
    bool OffEdge = false;
    bool Show = false;
    // The separator stands at a row break.
    bool LineSeparator = false;
    // The next paint goes through an off-screen bitmap.
    bool PaintOffscreen = false;

    TBarCustomItem& Item() const { return *item_; }
    TBarView& View() const { return *view_; }
    int GroupLevel() const { return groupLevel_; }

    // --- the predicates of layout and paint ---
    bool IsToolbarStyle() const;
    bool IsToolbarSize() const;
    bool IsRotated() const;
    bool IsAccessible() const { return Show || OffEdge || Clipped; }
    // The item's images, else the submenu images of the view's root and parent items up the chain.
    ImageList* GetImageList() const;
    // The item asks for its image here (drawn only when a list was found as well).
    bool IsImageShown() const;
    // The caption up to its first tab.
    std::string CaptionText() const;
    virtual bool IsCaptionShown() const;
    std::string GetHintText() const;
    int Index() const;

    // --- the operations views and the menu loop call ---
    virtual void CalcSize(Canvas& canvas, int& width, int& height);
    virtual bool Execute();
    virtual void DrawItemCaption(Canvas& canvas, const TRect& rect, const std::string& text, unsigned format,
                                 bool disabledShadow);
    virtual void Entering();
    virtual int GetAccRole() const;
    virtual bool GetAccValue(std::string& /*value*/) const { return false; }
    virtual std::string GetCaptionText() const { return CaptionText(); }
    virtual bool IsPtInButtonPart(int x, int y) const;
    virtual void Leaving();
    virtual void LosingCapture();
    virtual void Paint(Canvas& canvas, const TRect& clientAreaRect, bool isSelected, bool isPushed,
                       bool useDisabledShadow);
    virtual bool UsesSameWidth() const;

    // --- the menu mode's input, in coordinates relative to the viewer's rectangle ---
    virtual void MouseDown(Qt::KeyboardModifiers shift, bool doubleClick, int x, int y, bool& mouseDownOnMenu);
    virtual void MouseUp(int x, int y, bool mouseWasDownOnMenu);
    virtual void MouseMove(int /*x*/, int /*y*/) {}
    virtual void MouseWheel(int /*delta*/) {}
    // A key for the selected viewer before its view; answers whether it was used.
    virtual bool KeyDown(int /*key*/, Qt::KeyboardModifiers /*shift*/) { return false; }
    // The cursor over the viewer.
    virtual Qt::CursorShape GetCursor(int /*x*/, int /*y*/) const { return Qt::ArrowCursor; }

    // Queues an action (0..127) to run from the event loop; the accessibility layer sets the
    // handler that runs it. A viewer freed before delivery runs nothing.
    void PostDeferredAction(int code);
    static std::function<void(TBarItemViewer& viewer, int code)>& DeferredActionHandler();

private:
    struct PaintState;
    void PaintToolbarFrame(Canvas& canvas, PaintState& state);
    void PaintMenuSubmenuPart(Canvas& canvas, const PaintState& state);
    void PaintImageColumn(Canvas& canvas, const PaintState& state);
    void PaintCheckGlyph(Canvas& canvas, const TRect& column);
    void DrawArrow(Canvas& canvas, const std::vector<TPoint>& points, ColorRef color);
    int MenuImageColumn(const ImageList* list, int height) const;

    TBarView* view_;
    TBarCustomItem* item_;
    int groupLevel_;
    std::shared_ptr<TBarItemViewer*> alive_;
};

class TBarSeparatorItemViewer : public TBarItemViewer {
public:
    using TBarItemViewer::TBarItemViewer;
    void CalcSize(Canvas& canvas, int& width, int& height) override;
    void Paint(Canvas& canvas, const TRect& clientAreaRect, bool isSelected, bool isPushed,
               bool useDisabledShadow) override;
    bool UsesSameWidth() const override { return false; }
};

}  // namespace velmoran
