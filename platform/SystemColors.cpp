// The classic system colour table; see SystemColors.h.
#include "platform/SystemColors.h"

namespace velmoran {

namespace {

constexpr ColorRef kClassic[kSystemColorCount] = {
    RGBRef(0xC0, 0xC0, 0xC0),  // scroll bar
    RGBRef(0x00, 0x80, 0x80),  // desktop
    RGBRef(0x00, 0x00, 0x80),  // active caption
    RGBRef(0x80, 0x80, 0x80),  // inactive caption
    RGBRef(0xC0, 0xC0, 0xC0),  // menu
    RGBRef(0xFF, 0xFF, 0xFF),  // window
    RGBRef(0x00, 0x00, 0x00),  // window frame
    RGBRef(0x00, 0x00, 0x00),  // menu text
    RGBRef(0x00, 0x00, 0x00),  // window text
    RGBRef(0xFF, 0xFF, 0xFF),  // caption text
    RGBRef(0xC0, 0xC0, 0xC0),  // active border
    RGBRef(0xC0, 0xC0, 0xC0),  // inactive border
    RGBRef(0x80, 0x80, 0x80),  // application workspace
    RGBRef(0x00, 0x00, 0x80),  // highlight
    RGBRef(0xFF, 0xFF, 0xFF),  // highlight text
    RGBRef(0xC0, 0xC0, 0xC0),  // button face
    RGBRef(0x80, 0x80, 0x80),  // button shadow
    RGBRef(0x80, 0x80, 0x80),  // grey text
    RGBRef(0x00, 0x00, 0x00),  // button text
    RGBRef(0xC0, 0xC0, 0xC0),  // inactive caption text
    RGBRef(0xFF, 0xFF, 0xFF),  // button highlight
    RGBRef(0x00, 0x00, 0x00),  // 3-D dark shadow
    RGBRef(0xC0, 0xC0, 0xC0),  // 3-D light
    RGBRef(0x00, 0x00, 0x00),  // tool-tip text
    RGBRef(0xFF, 0xFF, 0xE1),  // tool-tip background
    RGBRef(0x00, 0x00, 0x00),  // (unused)
    RGBRef(0x00, 0x00, 0x80),  // hot-tracked item
    RGBRef(0x10, 0x84, 0xD0),  // active caption gradient
    RGBRef(0xB5, 0xB5, 0xB5),  // inactive caption gradient
    RGBRef(0x00, 0x00, 0x80),  // menu highlight
    RGBRef(0xC0, 0xC0, 0xC0),  // menu bar
};

}  // namespace

ColorRef GetSysColor(int index)
{
    return index >= 0 && index < kSystemColorCount ? kClassic[index] : 0;
}

ColorRef ColorToRGB(ColorRef color)
{
    if (color & kSystemColorFlag)
        return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0x00FFFFFF;
}

}  // namespace velmoran
