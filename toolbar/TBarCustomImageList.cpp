// The state image list; see TBarCustomImageList.h.
#include "toolbar/TBarCustomImageList.h"

namespace velmoran {

TBarCustomImageList::TBarCustomImageList(int width, int height, QObject* parent) : ImageList(width, height, parent)
{
}

TBarCustomImageList::~TBarCustomImageList()
{
    destroying_ = true;
    for (ImageList* list : {checked_.data(), disabled_.data(), hot_.data()})
        if (list)
            list->UnRegisterChanges(this);
}

void TBarCustomImageList::SetStateList(QPointer<ImageList>& field, ImageList* list)
{
    if (list == this)
        list = nullptr;
    if (field == list)
        return;
    ImageList* old = field;
    field = list;
    // One link serves all three lists: it goes when no field names the old list any more.
    if (old && old != checked_ && old != disabled_ && old != hot_)
        old->UnRegisterChanges(this);
    if (list)
        list->RegisterChanges(this, [this] {
            if (!destroying_)
                Changed();
        });
    Changed();
}

void TBarCustomImageList::SetSourceBitmap(const QImage& bitmap)
{
    source_ = bitmap;
    Refill();
}

void TBarCustomImageList::SetSourceMaskColor(ColorRef color)
{
    if (maskColor_ == color)
        return;
    maskColor_ = color;
    Refill();
}

void TBarCustomImageList::Refill()
{
    if (source_.isNull())
        return;
    Clear();
    AddMasked(source_, maskColor_);
}

void TBarCustomImageList::DrawState(Canvas& canvas, int x, int y, int index, bool enabled, bool selected,
                                    bool checked) const
{
    if (!enabled && disabled_)
        disabled_->Draw(canvas, x, y, index, true);
    else if (checked && checked_)
        checked_->Draw(canvas, x, y, index, true);
    else if (selected && hot_)
        hot_->Draw(canvas, x, y, index, true);
    else
        Draw(canvas, x, y, index, enabled);
}

}  // namespace velmoran
