// A metafile shown as a picture: played once into an image at the size it is shown at and played
// again only when that size changes, so that every later paint costs what a bitmap's costs. A
// canvas finer than the screen (a printer's) gets the records themselves.
#pragma once

#include "html/base/image/Metafile.h"

#include <QImage>

namespace velmoran {

class TMetafileImage {
public:
    // Pictures larger than this (4096 x 4096 pixels, 64 MB) are played onto the canvas each time.
    static constexpr long long kMaxImagePixels = 4096LL * 4096;

    explicit TMetafileImage(TMetafile metafile) : metafile_(std::move(metafile)) {}
    const TMetafile& Metafile() const { return metafile_; }

    // Draws the metafile fitted into the rectangle as PlayMetafile draws it: from the image
    // played for the rectangle's size (played now when there is none of that size), or, on a
    // finer canvas or at a size beyond kMaxImagePixels, by playing the records onto the canvas.
    void Draw(Canvas& canvas, const TRect& target);

private:
    void PlayImage(int width, int height);

    TMetafile metafile_;
    QImage image_;  // transparent where the records draw nothing
    int width_ = 0;  // the target's width and height the image was played for (negative: mirrored)
    int height_ = 0;
};

}  // namespace velmoran
