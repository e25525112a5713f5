// htmldump PAGE.html: parses an HTML page the way the viewer does and prints the document tree
// (blocks, text sections with break classes and font runs, tables) with the computed style of each
// block. With --layout WIDTH it prints instead the layout record the golden layouts keep: where
// everything was placed at that width and the calls of painting it (--no-paint leaves them out),
// and with --pages HEIGHT also the print pages. Fonts are measured with the fixed-metric test
// font, so the output is the same everywhere.
#include "html/base/HtmlTokenizer.h"
#include "html/layout/DocumentDump.h"
#include "html/layout/HtmlParser.h"
#include "platform/core/CodePage.h"
#include "platform/core/Stream.h"
#include "platform/TestFont.h"
#include "tools/htmldump/LayoutRecord.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <vector>
#include <string>

using namespace velmoran;

namespace {

// Prints the frame sets and frames of a frameset document as the frame viewer receives them.
class PrintingFrameViewer : public TFrameViewerBase {
public:
    struct Set : TFrameSetBase {
        explicit Set(int depth) : Depth(depth) {}
        int Depth;
    };
    void AddFrame(TFrameSetBase* fs, const TAttributeList& attributes, const std::string& base) override
    {
        std::cout << Indent(fs) << "  frame" << Attributes(attributes) << (base.empty() ? "" : " base=" + base) << "\n";
    }
    TFrameSetBase* CreateSubFrameSet(TFrameSetBase* parent) override
    {
        sets_.push_back(std::make_unique<Set>(static_cast<Set*>(parent)->Depth + 1));
        return sets_.back().get();
    }
    void DoAttributes(TFrameSetBase* fs, const TAttributeList& attributes) override
    {
        std::cout << Indent(fs) << "frameset" << Attributes(attributes) << "\n";
    }
    void EndFrameSet(TFrameSetBase* fs) override { std::cout << Indent(fs) << "end frameset\n"; }
    TFrameSetBase* TopFrameSet() override { return &top_; }

private:
    static std::string Indent(TFrameSetBase* fs) { return std::string(static_cast<std::size_t>(static_cast<Set*>(fs)->Depth) * 2, ' '); }
    static std::string Attributes(const TAttributeList& attributes)
    {
        std::string out;
        for (const auto& a : attributes)
            out += " " + a->WhichName + "=\"" + a->Name + "\"";
        return out;
    }
    Set top_{0};
    std::vector<std::unique_ptr<Set>> sets_;
};

class DumpHost : public THtmlDocumentHost {
public:
    explicit DumpHost(std::string base) : base_(std::move(base)) {}
    std::string BasePath() const override { return base_; }

private:
    std::string base_;
};

std::string BaseFolder(const std::string& file)
{
    const auto slash = file.find_last_of('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: htmldump PAGE.html [--plain] [--no-styles]\n"
                             "       htmldump PAGE.html --layout WIDTH [--pages HEIGHT] [--no-paint]\n");
        return 2;
    }
    const std::string file = argv[1];
    bool plain = false;
    DumpOptions options;
    LayoutRecordOptions layout;
    layout.Width = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        const bool valueFollows = i + 1 < argc;
        if (a == "--plain")
            plain = true;
        else if (a == "--no-styles")
            options.Styles = false;
        else if (a == "--layout" && valueFollows)
            layout.Width = std::atoi(argv[++i]);
        else if (a == "--pages" && valueFollows)
            layout.PageHeight = std::atoi(argv[++i]);
        else if (a == "--no-paint")
            layout.Paint = false;
    }
    try {
        const auto bytes = ReadFileBytes(file);
        const std::string text(bytes.begin(), bytes.end());
        if (layout.Width > 0) {
            std::cout << LayoutRecord(text, layout, BaseFolder(file));
            return 0;
        }
        TestFontEngine fonts;
        ScopedScreenFonts scoped(fonts);
        DumpHost host(BaseFolder(file));
        TSectionList doc(&host);
        doc.Styles.BuildDefaultStyleSheet(DefaultSheetOptions{});
        if (plain) {
            ParsePlainText(text, doc);
        } else {
            if (IsFramesetDocument(text)) {
                PrintingFrameViewer viewer;
                const TParseResult r = ParseFramesetDocument(viewer, {}, text);
                if (!r.Title.empty())
                    std::cout << "title \"" << WideToUtf8(r.Title) << "\"\n";
                std::cout << "(its NOFRAMES content as a page:)\n";
            }
            const TParseResult r = ParseHtmlDocument(
                text, doc, {}, {},
                [](const std::string& httpEq, const std::string& name, const std::string& content) {
                    std::cout << "meta http-equiv=\"" << httpEq << "\" name=\"" << name << "\" content=\"" << content
                              << "\"\n";
                },
                [](const std::string& rel, const std::string& rev, const std::string& href) {
                    std::cout << "link rel=\"" << rel << "\" rev=\"" << rev << "\" href=\"" << href << "\"\n";
                });
            if (!r.Title.empty())
                std::cout << "title \"" << WideToUtf8(r.Title) << "\"\n";
            if (!r.Base.empty())
                std::cout << "base " << r.Base << "\n";
        }
        std::cout << DumpDocument(doc, options);
        return 0;
    } catch (const EParseError& e) {
        std::cerr << "parse error: " << e.Message() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << "\n";
        return 1;
    }
}
