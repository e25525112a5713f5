// Fuzz target: the HTML tokenizer and parser over arbitrary bytes, as an HTML document (with an
// include handler), as plain text and as a frameset document; the built tree is walked once.
#include "html/base/HtmlTokenizer.h"
#include "html/layout/DocumentDump.h"
#include "html/layout/HtmlParser.h"
#include "platform/TestFont.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace velmoran;

namespace {

class CountingViewer : public TFrameViewerBase {
public:
    void AddFrame(TFrameSetBase*, const TAttributeList&, const std::string&) override { ++Calls; }
    TFrameSetBase* CreateSubFrameSet(TFrameSetBase*) override { return &Set; }
    void DoAttributes(TFrameSetBase*, const TAttributeList&) override { ++Calls; }
    void EndFrameSet(TFrameSetBase*) override { ++Calls; }
    TFrameSetBase* TopFrameSet() override { return &Set; }
    TFrameSetBase Set;
    int Calls = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TestFontEngine fonts;
    static ScopedScreenFonts scoped(fonts);
    const std::string text(reinterpret_cast<const char*>(data), size);
    const TIncludeType include = [](const std::string& cmd, const std::vector<std::string>&, std::string& out) {
        if (cmd == "inc")
            out = "<b>included<!--#inc--></b>";
    };
    try {
        TSectionList doc;
        doc.Styles.BuildDefaultStyleSheet({});
        ParseHtmlDocument(text, doc, include, {}, {}, {});
        DumpDocument(doc);
    } catch (const EParseError&) {
    }
    {
        TSectionList doc;
        doc.Styles.BuildDefaultStyleSheet({});
        ParsePlainText(text, doc);
    }
    try {
        if (IsFramesetDocument(text)) {
            CountingViewer viewer;
            ParseFramesetDocument(viewer, {}, text);
        }
    } catch (const EParseError&) {
    }
    return 0;
}
