// An image list for toolbar buttons that can show other pictures when a button is checked,
// disabled or hot, and that fills itself from one source strip with a mask colour.
#pragma once

#include "platform/ImageList.h"

#include <QImage>
#include <QPointer>

namespace velmoran {

class TBarCustomImageList : public ImageList {
public:
    TBarCustomImageList(int width, int height, QObject* parent = nullptr);
    ~TBarCustomImageList() override;

    // The lists used in place of this one; a list cannot stand for itself (that stores none), and
    // a list that goes leaves no reference behind.
    ImageList* CheckedImages() const { return checked_; }
    void SetCheckedImages(ImageList* list) { SetStateList(checked_, list); }
    ImageList* DisabledImages() const { return disabled_; }
    void SetDisabledImages(ImageList* list) { SetStateList(disabled_, list); }
    ImageList* HotImages() const { return hot_; }
    void SetHotImages(ImageList* list) { SetStateList(hot_, list); }

    // Setting a strip that is not empty refills the list from it, the mask colour transparent.
    const QImage& SourceBitmap() const { return source_; }
    void SetSourceBitmap(const QImage& bitmap);
    ColorRef SourceMaskColor() const { return maskColor_; }
    void SetSourceMaskColor(ColorRef color);

    // Disabled with a disabled list draws from it as enabled; else checked with a checked list,
    // else selected with a hot list draws from that; else this list draws with the enabled flag.
    void DrawState(Canvas& canvas, int x, int y, int index, bool enabled, bool selected, bool checked) const;

private:
    void SetStateList(QPointer<ImageList>& field, ImageList* list);
    void Refill();

    QPointer<ImageList> checked_;
    QPointer<ImageList> disabled_;
    QPointer<ImageList> hot_;
    QImage source_;
    ColorRef maskColor_ = 0xFF00FF;
    bool destroying_ = false;
};

}  // namespace velmoran
