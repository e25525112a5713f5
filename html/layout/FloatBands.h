// Where the floating pictures of a text were placed by its layout, so that a paint queues only
// those that reach into its clip. Most texts hold no float and a few hold one or two; a text with
// no float keeps nothing but an empty pointer, and only a text of many floats (a paragraph of
// thousands of pictures printed page by page) keeps an index of their bands, which would cost
// every text of a page more than walking its few floats saves.
#pragma once

#include "html/layout/RangeIndex.h"
#include "html/layout/SectionBase.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace velmoran {

class TFloatBands {
public:
    // Texts with fewer floats than this walk them at each paint.
    static constexpr std::size_t kMinIndexed = 16;

    // Notes the floats of a text's images as its layout has just placed them.
    void Assign(const TImageObjList& images)
    {
        if (placed_ || !images.Empty())
            Place(images);
    }
    // The places in the list of the floats drawn in document Y top..bottom (both inside), in
    // list order; the list is the one last assigned.
    std::vector<int> Meeting(const TImageObjList& images, int top, int bottom) const;

private:
    void Place(const TImageObjList& images);

    struct Placed {
        std::vector<int> Places;  // the floats' places in the list
        TRangeIndex Bands;        // their bands, for many floats only
    };
    std::unique_ptr<Placed> placed_;  // none without floats
};

}  // namespace velmoran
