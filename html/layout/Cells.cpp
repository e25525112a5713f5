// Cells and the document root; see Cells.h and SectionList.h.
#include "html/layout/Cells.h"

#include "html/layout/Blocks.h"
#include "html/layout/SectionList.h"
#include "html/layout/TextSection.h"

#include <iterator>

namespace velmoran {

TSectionBase* TCellBasic::AddSection(std::unique_ptr<TSectionBase> section, int sourceIndex)
{
    if (!section)
        return nullptr;
    if (auto* text = dynamic_cast<TSection*>(section.get())) {
        if (!text->Finished())
            text->FinishText(sourceIndex);
        if (text->IsEmptyText() && !text->KeepWhenEmpty())
            return nullptr;
    }
    section->OwnerCell = this;
    return Add(std::move(section));
}

bool TCellBasic::CheckLastBottomMargin()
{
    for (int i = Count() - 1; i >= 0; --i) {
        auto* block = dynamic_cast<TBlock*>(Items(i));
        if (!block)
            continue;
        if (block->Positioning == 1)
            continue;
        if (auto* li = dynamic_cast<TBlockLI*>(block))
            return li->MyCell->CheckLastBottomMargin();
        if (block->HasDefaultBottomMargin()) {
            block->SetBottomMargin(PropValue(0));
            return true;
        }
        return false;
    }
    return false;
}

TNullDocumentHost TSectionList::nullHost_;

TSectionList::TSectionList(THtmlDocumentHost* owner) : TCell(this), IDNameList(this), owner_(owner)
{
    OwnerTag = "default";
}

TSectionList::~TSectionList()
{
    // Sections refer to the lists below; free them first (the link and tab stop lists need no
    // upkeep then), then the forms, whose controls leave the ID list.
    LinkList.clear();
    ForgetAllTabStops();
    TCell::Clear();
    ClearFormAndPanelLists();
}

void TSectionList::Clear()
{
    if (!IsCopy)
        Host().FreeTimer();  // the next document's first frame waits its full first interval again
    AnimatedImages.clear();
    DrawList.clear();
    BackgroundBitmap = nullptr;
    BackgroundMask = QImage();
    BackgroundFetched = false;
    FirstLineBaseline = nullptr;
    // The runs and pictures the hit tests remembered go with the sections: the next mouse move
    // must not recolour a run of the page before.
    HoverRun = nullptr;
    HitRun = nullptr;
    HitImageInput = nullptr;
    HitPicture = nullptr;
    LinkList.clear();
    ForgetAllTabStops();
    TCell::Clear();
    ClearFormAndPanelLists();
    IDNameList.Clear();
    MapList.Clear();
    PositionList.clear();
    InlineList.clear();
    openInlines_.clear();
    InlineBoxes.Reset();
    Background = NoColor;
    BackgroundImageName.clear();
    MoreThan400Links = false;
    SelB = SelE = 0;
    SectionCount = 0;
    pictureBytes_ = 0;
    countedPictures_.clear();
    refusedPictures_.clear();
    pictureHolds_.ReleaseAll();  // the pictures age from the next load on unless it shows them
}

void TSectionList::ProcessInlines(int sourcePos, const TProperties& props, bool start)
{
    if (start) {
        InlineRec r;
        r.PropID = props.ID;
        r.StartB = sourcePos;
        r.MargArrayO = props.Props;
        r.EmSize = props.EmSize;
        r.ExSize = props.ExSize;
        InlineList.push_back(std::move(r));
        openInlines_.push_back(InlineList.size() - 1);
        return;
    }
    for (auto it = openInlines_.rbegin(); it != openInlines_.rend(); ++it) {
        InlineRec& r = InlineList[*it];
        if (r.PropID == props.ID) {
            r.EndB = sourcePos;
            if (r.EndB >= 0)
                openInlines_.erase(std::next(it).base());
            return;
        }
    }
}

}  // namespace velmoran
