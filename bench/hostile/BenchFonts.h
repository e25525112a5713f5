// The fixed-metric test font the hostile benchmarks lay their pages out with, installed as the
// screen fonts once for the whole run.
#pragma once

#include "platform/TestFont.h"

namespace velmoran::bench {

inline TestFontEngine& Fonts()
{
    static TestFontEngine fonts;
    static ScopedScreenFonts scoped(fonts);
    return fonts;
}

}  // namespace velmoran::bench
