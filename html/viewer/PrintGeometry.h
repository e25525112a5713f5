// The device arithmetic of a print run: margins in centimetres, the printer's unprintable edges and
// resolution and the print scale give the body of a page in device units and in logical units
// (one logical unit is 1/wDpi inch, so at scale 1.0 a unit is one screen pixel).
#pragma once

namespace velmoran {

struct PrintDeviceInput {
    int DpiX = 600;
    int DpiY = 600;
    int ScreenDpi = 96;
    int PhysicalWidth = 0;
    int PhysicalHeight = 0;
    int OffsetX = 0;
    int OffsetY = 0;
    int PageWidth = 0;   // printable width (HORZRES)
    int PageHeight = 0;  // printable height (VERTRES)
    double Scale = 1.0;
    double MarginLeft = 2.0, MarginRight = 2.0, MarginTop = 2.0, MarginBottom = 2.0;
};

struct PrintGeometry {
    int WDpi = 96;
    int LeftDev = 0, LeftLog = 0;
    int RightDev = 0;
    int WidthDev = 0, WidthLog = 0;
    int TopDev = 0, TopLog = 0;
    int BottomDev = 0;
    int HeightDev = 0, HeightLog = 0;
    int PageWidthLog = 0, PageHeightLog = 0;
};

PrintGeometry ComputePrintGeometry(const PrintDeviceInput& in);

// The geometry after the top margin moved by delta centimetres from the one `start` was computed
// with: the body's top moves down and its height shrinks by as much.
PrintGeometry ShiftTopMargin(const PrintGeometry& start, double delta, int dpiY);

}  // namespace velmoran
