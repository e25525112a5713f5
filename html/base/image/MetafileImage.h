// A metafile shown as a picture: played once into an image for each size it is shown at, so that
// every later paint costs what a bitmap's costs. The images are kept within one budget for all
// pictures (KeptImages.h). A size larger than an image may be is played into an image of fewer
// pixels, stretched when drawn; a picture not seen at all is not played. A canvas finer than the
// screen (a printer's) gets the records themselves.
#pragma once

#include "html/base/image/Metafile.h"

#include <QImage>

namespace velmoran {

class TKeptImages;

class TMetafileImage {
public:
    // Images have at most this many pixels (4096 x 4096, 64 MB).
    static constexpr long long kMaxImagePixels = 4096LL * 4096;
    struct Limits {
        long long ImagePixels = kMaxImagePixels;
        double DrawBudget = kMetafileDrawBudget;
    };

    explicit TMetafileImage(TMetafile metafile);
    TMetafileImage(TMetafile metafile, TKeptImages& kept, Limits limits);
    ~TMetafileImage();
    TMetafileImage(const TMetafileImage&) = delete;
    TMetafileImage& operator=(const TMetafileImage&) = delete;
    const TMetafile& Metafile() const { return metafile_; }

    // Draws the metafile fitted into the rectangle as PlayMetafile draws it: from the image kept
    // for the rectangle's size (played now when there is none), or, on a finer canvas, by playing
    // the records onto the canvas.
    void Draw(Canvas& canvas, const TRect& target);
    // How often the metafile was played into an image.
    int Plays() const { return plays_; }

private:
    QImage Play(int width, int height);

    TMetafile metafile_;
    TKeptImages& kept_;
    Limits limits_;
    int plays_ = 0;
};

// The size of the image a target of that size is played into: the target's own, or, beyond the
// pixels allowed, the largest of its proportions within them (at least a pixel each way).
TSize MetafileImageSize(int width, int height, long long maxPixels);

}  // namespace velmoran
