// The program's image list: small pictures of one fixed size, added from a strip with a mask
// colour (which becomes transparent), drawn normal or in the disabled look. Controls refer to a
// list through a QPointer, which clears itself when the list goes, and register to hear of its
// changes so that they repaint.
#pragma once

#include "platform/Canvas.h"
#include "platform/ChangeLinks.h"

#include <QImage>
#include <QObject>

#include <functional>
#include <vector>

namespace velmoran {

class ImageList : public QObject {
public:
    ImageList(int width, int height, QObject* parent = nullptr);
    ~ImageList() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(images_.size()); }

    // Cuts the strip into images of the list's width (as many as fit side by side, the height
    // taken from the top); pixels of the mask colour become transparent. Returns the index of the
    // first image added, -1 when none fits.
    int AddMasked(const QImage& strip, ColorRef maskColor);
    // Adds one image as it is (its alpha kept), scaled to the list's size when it differs.
    int Add(const QImage& image);
    // Puts an image (its alpha kept, scaled to the list's size) in place of the one at index.
    void Replace(int index, const QImage& image);
    void Delete(int index);
    void Clear();
    // The image with its transparency as alpha; a null image for an index out of range.
    QImage Image(int index) const;

    // Draws an image with its top-left corner at (x, y). Disabled: the image's dark pixels as
    // an embossed shape, button highlight one pixel right and down under button shadow.
    void Draw(Canvas& canvas, int x, int y, int index, bool enabled = true) const;

    // Calls onChange after every change while link lives; a second registration of the same
    // link replaces the first.
    void RegisterChanges(QObject* link, std::function<void()> onChange) { links_.Register(link, std::move(onChange)); }
    void UnRegisterChanges(QObject* link) { links_.Unregister(link); }

protected:
    // Tells every registered link.
    void Changed();

private:
    QImage Fitted(const QImage& image) const;
    QImage DisabledShape(const QImage& image, ColorRef color) const;

    int width_;
    int height_;
    std::vector<QImage> images_;
    ChangeLinks links_;
};

// The opaque pixel value of a colour reference (a system colour looked up).
QRgb ColorToQRgb(ColorRef color);

// The picture as ARGB with alpha 0 wherever its colour is the mask colour (a system colour is
// looked up): how a mask colour becomes transparency everywhere in the program.
QImage MaskedByColor(const QImage& image, ColorRef maskColor);

}  // namespace velmoran
