// A canvas for tests that writes every drawing call as a readable line, so that paint tests
// compare exact call lists. Before a call, the state it depends on is written as a line of its
// own whenever it differs from what was last written (at the start: from the defaults), e.g.
//   Font Arial -16 700 underline
//   TextColor #000000
//   TextAlign left baseline updatecp
//   TextOut 10,25 'Hello'
//   Brush solid #C0C0C0
//   Brush pattern 55AA55AA55AA55AA #C0C0C0 #FFFFFF origin 1,0
//   FillRect 0,0,100,20 #C0C0C0
// Coordinates are logical; clip rectangles are device units. Text is measured by the canvas's
// font engine (the test font in tests), as layout measures it.
#pragma once

#include "platform/Canvas.h"

#include <map>
#include <string>
#include <vector>

namespace velmoran {

class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(FontEngine& fonts, int width = 800, int height = 600);

    // Every line written, state lines included.
    const std::vector<std::string>& Lines() const { return lines_; }
    // Only the drawing calls.
    std::vector<std::string> Calls() const;
    // Forgets the lines and the measuring counts; the state written so far counts as known.
    void Clear()
    {
        lines_.clear();
        isCall_.clear();
        measureCalls_ = 0;
        measuredUnits_ = 0;
    }
    // How many texts were handed over to be measured or drawn since the last Clear, and their
    // length in UTF-16 units: what layout and painting cost in measuring, whatever the font engine.
    std::size_t MeasureCalls() const { return measureCalls_; }
    std::size_t MeasuredUnits() const { return measuredUnits_; }
    // All lines joined with "\n" (for failure messages).
    std::string Text() const;

    int GetDeviceCaps(int index) const override;
    void SetDeviceCaps(int index, int value) { caps_[index] = value; }

    static std::string Hex(ColorRef color);  // "#RRGGBB" of the resolved colour

protected:
    TRect DeviceBounds() const override { return {0, 0, width_, height_}; }
    void DoLine(TPoint from, TPoint to) override;
    void DoPolyline(const std::vector<TPoint>& points) override;
    void DoPolygon(const std::vector<TPoint>& points) override;
    void DoRectangle(const TRect& rect) override;
    void DoFillRect(const TRect& rect, ColorRef rgb) override;
    void DoPatternFill(const TRect& rect) override;
    void DoEllipse(const TRect& rect) override;
    void DoArc(const TRect& rect, TPoint start, TPoint end) override;
    void DoFocusRect(const TRect& rect) override;
    void DoText(const TextOutput& text) override;
    void DoStretchBlt(const TRect& destination, const QImage& image, const QImage* mask, const TRect& source) override;
    void TextMeasured(std::size_t units) const override
    {
        ++measureCalls_;
        measuredUnits_ += units;
    }

private:
    enum Needs : unsigned { kText = 1, kPen = 2, kBrush = 4, kFill = 8, kStretch = 16 };
    void Call(unsigned needs, std::string line);
    void Note(const std::string& key, const std::string& value);

    int width_;
    int height_;
    std::map<int, int> caps_;
    std::map<std::string, std::string> written_;
    std::vector<std::string> lines_;
    std::vector<bool> isCall_;
    mutable std::size_t measureCalls_ = 0;
    mutable std::size_t measuredUnits_ = 0;
};

}  // namespace velmoran
