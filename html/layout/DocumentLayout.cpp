// The document's layout and paint entry points: the animation timer, the position list, the
// background of the document, the floating images drawn after everything else, and the window
// controls of forms sized before a layout and placed by a paint.
#include "html/layout/SectionList.h"

#include "html/base/image/GifImage.h"
#include "html/layout/Blocks.h"
#include "html/layout/PanelObjects.h"
#include "html/layout/Tables.h"
#include "html/layout/TextSection.h"
#include "platform/Canvas.h"

#include <QWidget>

#include <algorithm>
#include <chrono>

namespace velmoran {

namespace {

// The number of document positions of a cell, from the text held in its sections.
int TextLength(const TCellBasic& cell)
{
    int n = 0;
    for (const auto& s : cell) {
        if (const auto* t = dynamic_cast<const TSection*>(s.get()))
            n += static_cast<int>(t->Text.size());
        else if (const auto* b = dynamic_cast<const TBlock*>(s.get()))
            n += TextLength(*b->MyCell);
        else if (const auto* table = dynamic_cast<const ThtmlTable*>(s.get()))
            for (const auto& row : table->Rows)
                for (const auto& c : *row)
                    if (c && c->Cell)
                        n += TextLength(*c->Cell);
    }
    return n;
}

}  // namespace

std::string THtmlDocumentHost::ExpandName(const std::string& name) const
{
    const std::string base = BasePath();
    if (name.empty() || base.empty() || name[0] == '/' || name.find(':') != std::string::npos)
        return name;
    return base.back() == '/' || base.back() == '\\' ? base + name : base + "/" + name;
}

std::uint32_t THtmlDocumentHost::AnimationClock() const
{
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

void TSectionList::LayoutProgress(int pos)
{
    if (ProgressTotal <= 0 || pos / 50 == ProgressLast / 50)
        return;
    ProgressLast = pos;
    Host().DoProgress(ProgressScale + (100 - ProgressScale) * std::min(pos, ProgressTotal) / ProgressTotal);
}

int TSectionList::LayoutDocument(Canvas& canvas, int width, int& maxWidth)
{
    ++LayoutCount;
    ProgressTotal = TextLength(*this);
    ProgressLast = 0;
    if (!IsCopy)
        Host().SetTimer(false, 50);  // a print copy has no timer of its own
    // A print keeps the controls at the size the screen gave them.
    if (!IsCopy)
        for (const auto& form : FormList)
            form->SizeControls(canvas);
    canvas.SetTextJustification(0, 0);
    ApplyTabOrder();
    int curs = 0;
    maxWidth = 0;
    const int height = TCell::LayoutCell(canvas, 0, 0, curs, maxWidth, 0, 0, width, 0, 0);
    const std::uint32_t now = Host().AnimationClock();
    for (TGIFImage* gif : AnimatedImages) {
        gif->SetAnimate(false, now);
        if (!IsCopy)
            gif->SetAnimate(true, now);
    }
    if (!IsCopy) {
        Host().SetTimer(!AnimatedImages.empty(), 50);
        if (PositionList.empty())
            TCellBasic::AddToPositionList();
        // The window controls stay hidden until a paint places them or Tab goes to them.
        ControlsNeedRepositioning = true;
    }
    ShowPanels();
    DocumentHeight = height;
    return height;
}

int TSectionList::PaintDocument(Canvas& canvas, const TRect& clip, int x)
{
    PageCutY = YOff + clip.Bottom;
    TableMoved = false;
    NothingDrawn = true;
    TableNestLevel = 0;
    if (!IsCopy)
        Host().SetTimer(false, 40);
    for (TGIFImage* gif : AnimatedImages)
        gif->Visible = false;  // set again by the images this paint draws
    if (auto* background = dynamic_cast<TGIFImage*>(BackgroundBitmap); background && !IsCopy)
        background->Visible = true;  // the background is always in view
    DrawList.clear();
    const bool placing = !IsCopy && !Printing && ControlsNeedRepositioning;
    if (placing) {
        for (TFormControlObj* control : FormControlList)
            control->ShownInPaint = false;
        for (TPanelObj* panel : PanelList)
            panel->Shown = false;
    }
    const int y = TCell::PaintCell(canvas, clip, x, 0, x, 0);
    for (const TDrawItem& item : DrawList)
        item.Obj->Draw(canvas, item.X, item.Y, item.Font);
    DrawList.clear();
    // Controls out of view leave it.
    if (placing) {
        for (TFormControlObj* control : FormControlList)
            if (!control->ShownInPaint)
                control->LeaveView();
        for (TPanelObj* panel : PanelList)
            if (!panel->Shown)
                panel->Hide();
        ControlsNeedRepositioning = false;
    }
    if (!IsCopy && !AnimatedImages.empty())
        Host().SetTimer(true, 40);
    return y;
}

void TSectionList::ShowPanels()
{
    if (IsCopy || PanelList.empty())
        return;
    QWidget* surface = Host().DrawingSurface();
    if (!surface || !surface->isVisible())
        return;
    for (TPanelObj* panel : PanelList)
        if (panel->Panel && panel->Panel->isHidden())
            panel->Park();
}

bool TSectionList::AnimationTick(std::uint32_t nowMs)
{
    if (IsCopy)
        return false;
    bool changed = false;
    for (TGIFImage* gif : AnimatedImages)
        if (gif->Visible && gif->CheckTime(nowMs))
            changed = true;
    if (changed)
        Host().Invalidate();
    Host().SetTimer(!AnimatedImages.empty(), 40);
    return changed;
}

TImageObject* TSectionList::GetBackgroundBitmap()
{
    if (!ShowImages || BackgroundImageName.empty() || BackgroundFetched)
        return BackgroundBitmap;
    BackgroundFetched = true;  // whatever the outcome
    TTransparencyKind transparent = TTransparencyKind::NoTransparency;
    bool fromCache = false, delayed = false;
    BackgroundBitmap = FetchImage(BackgroundImageName, transparent, fromCache, delayed, BackgroundMask);
    if (auto* gif = dynamic_cast<TGIFImage*>(BackgroundBitmap)) {
        BackgroundMask = gif->GetStaticMask();
        if (gif->NumFrames() > 1 && !IsCopy &&
            std::find(AnimatedImages.begin(), AnimatedImages.end(), gif) == AnimatedImages.end()) {
            AnimatedImages.push_back(gif);
            gif->SetAnimate(true, 0);
        }
    }
    return BackgroundBitmap;
}

}  // namespace velmoran
