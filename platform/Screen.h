// The screen's pixels per inch as one value the forms scale by (the start dialog's size, for
// one): the primary screen's logical dpi, or the value a test put in its place. The canvas keeps
// its fixed 96 for fonts whatever this says.
#pragma once

namespace velmoran {

// 96 when there is no screen (no application object yet).
int ScreenPixelsPerInch();

// Puts another value in place of the screen's for its lifetime (tests).
class ScopedScreenPixelsPerInch {
public:
    explicit ScopedScreenPixelsPerInch(int pixelsPerInch);
    ~ScopedScreenPixelsPerInch();
    ScopedScreenPixelsPerInch(const ScopedScreenPixelsPerInch&) = delete;
    ScopedScreenPixelsPerInch& operator=(const ScopedScreenPixelsPerInch&) = delete;

private:
    int previous_;
};

}  // namespace velmoran
