// Fuzz target: an HTML page parsed, laid out 800 pixels wide, painted whole into the recording
// canvas and then printed page by page from its print copy, as the viewer does. Pictures come from
// the host (one small PNG for every name), so that no name of the page reaches the disk.
#include "html/layout/HtmlParser.h"
#include "html/layout/PrintMode.h"
#include "html/layout/SectionList.h"
#include "html/layout/Tables.h"
#include "platform/RecordingCanvas.h"
#include "platform/TestFont.h"

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

using namespace velmoran;

namespace {

constexpr int kWidth = 800;        // the printed page
constexpr int kScreenWidth = 937;  // the window, laid out again after each print
constexpr int kPageHeight = 600;
constexpr int kMaxPages = 64;  // enough to reach repeated table parts; a long page costs no more

std::string SmallPng()
{
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(0x80FF0000u);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

class PictureHost : public THtmlDocumentHost {
public:
    bool RequestImage(const std::string&, std::string& content) override
    {
        static const std::string png = SmallPng();
        content = png;
        return true;
    }
    bool RequestStream(const std::string&, std::string& content) override
    {
        content = "p { margin: 3px }";
        return true;
    }
};

void PaintPages(TSectionList& printed, RecordingCanvas& canvas)
{
    printed.PrintTableBackground = true;
    int width = 0;
    const int height = printed.LayoutDocument(canvas, kWidth, width);
    int top = 0;
    for (int page = 0; page < kMaxPages && top < height; ++page) {
        printed.SetYOffset(top);
        printed.PaintDocument(canvas, {0, 0, kWidth, kPageHeight});
        canvas.Clear();
        const int cut = std::min(printed.PageCutY, top + kPageHeight);
        if (cut <= top)
            break;
        top = cut;
    }
}

// The pages as the viewer prints them (the document itself in print mode, laid out for the screen
// again afterwards), and from a print copy as the header and footer bands are printed.
void PrintPages(TSectionList& document, RecordingCanvas& canvas, int screenWidth)
{
    {
        TPrintMode printing(document);
        PaintPages(document, canvas);
    }
    int width = 0;
    document.LayoutDocument(canvas, screenWidth, width);
    std::unique_ptr<TSectionList> copy = document.CreateCopy();
    copy->Printing = true;
    PaintPages(*copy, canvas);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TestFontEngine fonts;
    static ScopedScreenFonts scoped(fonts);
    const std::string text(reinterpret_cast<const char*>(data), size);
    PictureHost host;
    try {
        TSectionList document(&host);
        document.Styles.BuildDefaultStyleSheet({});
        ParseHtmlDocument(text, document);
        RecordingCanvas canvas(fonts, kWidth, kPageHeight);
        int maxWidth = 0;
        const int height = document.LayoutDocument(canvas, kScreenWidth, maxWidth);
        document.SetYOffset(0);
        document.PaintDocument(canvas, {0, 0, std::max(kScreenWidth, maxWidth), std::max(1, height)});
        canvas.Clear();
        PrintPages(document, canvas, kScreenWidth);
    } catch (const EParseError&) {
    }
    return 0;
}
