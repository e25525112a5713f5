// The device arithmetic of a print run.
#include "html/viewer/PrintGeometry.h"

#include "html/base/WideText.h"

#include <algorithm>
#include <cmath>

namespace velmoran {

PrintGeometry ComputePrintGeometry(const PrintDeviceInput& in)
{
    PrintGeometry g;
    // Round half to even, as the screen resolution times the scale is rounded.
    g.WDpi = static_cast<int>(std::nearbyint(in.ScreenDpi * in.Scale));
    const int offX = in.OffsetX;
    const int offY = in.OffsetY;
    const int rightOff = std::max(0, in.PhysicalWidth - in.PageWidth - offX);
    const int bottomOff = std::max(0, in.PhysicalHeight - in.PageHeight - offY);

    g.LeftDev = static_cast<int>(in.MarginLeft / 2.54 * in.DpiX) - offX;
    g.LeftLog = MulDiv(g.LeftDev, g.WDpi, in.DpiX);
    g.RightDev = static_cast<int>(in.MarginRight / 2.54 * in.DpiX) - rightOff;
    g.WidthDev = in.PageWidth - (g.LeftDev + g.RightDev);
    g.WidthLog = MulDiv(g.WidthDev, g.WDpi, in.DpiX);
    g.TopDev = static_cast<int>(in.MarginTop / 2.54 * in.DpiY) - offY;
    g.TopLog = MulDiv(g.TopDev, g.WDpi, in.DpiY);
    g.BottomDev = static_cast<int>(in.MarginBottom / 2.54 * in.DpiY) - bottomOff;
    g.HeightDev = in.PageHeight - (g.TopDev + g.BottomDev);
    g.HeightLog = MulDiv(g.HeightDev, g.WDpi, in.DpiY);
    g.PageHeightLog = MulDiv(in.PageHeight, g.WDpi, in.DpiY);
    g.PageWidthLog = MulDiv(in.PageWidth, g.WDpi, in.DpiX);
    return g;
}

PrintGeometry ShiftTopMargin(const PrintGeometry& start, double delta, int dpiY)
{
    PrintGeometry g = start;
    const int devD = static_cast<int>(delta / 2.54 * dpiY);
    const int logD = static_cast<int>(delta / 2.54 * start.WDpi);
    g.TopLog = start.TopLog + logD;
    g.TopDev = start.TopDev + devD;
    g.HeightDev = start.HeightDev - devD;
    g.HeightLog = start.HeightLog - logD;
    return g;
}

}  // namespace velmoran
