// A plain widget that hosts a view for the view, viewer and popup tests: the fixed-metric test
// font (characters 5 pixels wide, lines 10 high, no leadings) stands for the screen's fonts, and
// the view records how often it was sized.
#pragma once

#include "platform/RecordingCanvas.h"
#include "platform/SystemColors.h"
#include "platform/TestFont.h"
#include "toolbar/TBarView.h"

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

namespace velmoran::testing {

// The test font's measures for the font every view here uses.
constexpr int kTextHeight = 10;
constexpr int kCharWidth = 5;

class TestView : public TBarView {
public:
    TestView(TBarViewHost& host, TBarCustomItem& root, bool isToolbar, TBarView* parent = nullptr)
        : TBarView(&host, parent, &root, isToolbar, false, false)
    {
    }
    void AutoSize(int width, int height) override
    {
        ++AutoSizes;
        Size = {width, height};
    }
    TBarCustomItem* GetChevronItem() override { return Chevron; }
    int AutoSizes = 0;
    TSize Size;
    TBarCustomItem* Chevron = nullptr;
};

class ViewHost : public QWidget, public TBarViewHost {
public:
    explicit ViewHost(ColorRef color = SystemColor(COLOR_BTNFACE)) : fonts_(fonts()), color_(color) {}
    QWidget& HostWidget() override { return *this; }
    ColorRef HostColor() const override { return color_; }
    LogicalFont HostFont() const override { return LogicalFont{"Velmoran Test", -kTextHeight}; }

    TestView& MakeView(TBarCustomItem& root, bool isToolbar)
    {
        view_ = std::make_unique<TestView>(*this, root, isToolbar);
        return *view_;
    }
    TestView& View() { return *view_; }

private:
    static TestFontEngine& fonts()
    {
        static TestFontEngine engine;
        return engine;
    }
    ScopedScreenFonts fonts_;
    ColorRef color_;
    std::unique_ptr<TestView> view_;
};

template <typename T>
T* AddItem(TBarCustomItem& parent, const std::string& caption = {}, int image = -1)
{
    auto* item = new T(&parent);
    item->SetCaption(caption);
    item->SetImageIndex(image);
    parent.Add(item);
    return item;
}

inline TBarSeparatorItem* AddSeparator(TBarCustomItem& parent)
{
    auto* separator = new TBarSeparatorItem(&parent);
    parent.Add(separator);
    return separator;
}

// The drawing calls of one viewer painted by its view on a fresh recording canvas.
inline std::vector<std::string> PaintCalls(TBarView& view, TBarItemViewer& viewer, std::string* text = nullptr)
{
    static TestFontEngine fonts;
    RecordingCanvas canvas(fonts);
    view.DrawItem(canvas, viewer);
    if (text)
        *text = canvas.Text();
    return canvas.Calls();
}

// True when every line of part appears in whole, in order and without gaps, within lines.
inline bool ContainsRun(const std::vector<std::string>& lines, const std::vector<std::string>& part)
{
    if (part.empty())
        return true;
    for (std::size_t i = 0; i + part.size() <= lines.size(); ++i)
        if (std::equal(part.begin(), part.end(), lines.begin() + static_cast<std::ptrdiff_t>(i)))
            return true;
    return false;
}

}  // namespace velmoran::testing
