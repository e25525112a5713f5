// htmldump PAGE.html: parses an HTML page the way the viewer does and prints the document tree
// (blocks, text sections with break classes and font runs, tables) with the computed style of each
// block. Fonts are measured with the fixed-metric test font, so the output is the same everywhere.
#include "html/base/HtmlTokenizer.h"
#include "html/layout/DocumentDump.h"
#include "html/layout/HtmlParser.h"
#include "platform/CodePage.h"
#include "platform/Stream.h"
#include "platform/TestFont.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

using namespace velmoran;

namespace {

class DumpHost : public THtmlDocumentHost {
public:
    explicit DumpHost(std::string base) : base_(std::move(base)) {}
    std::string BasePath() const override { return base_; }

private:
    std::string base_;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: htmldump PAGE.html [--plain] [--no-styles]\n");
        return 2;
    }
    const std::string file = argv[1];
    bool plain = false;
    DumpOptions options;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--plain")
            plain = true;
        else if (a == "--no-styles")
            options.Styles = false;
    }
    try {
        const auto bytes = ReadFileBytes(file);
        const std::string text(bytes.begin(), bytes.end());
        TestFontEngine fonts;
        ScopedScreenFonts scoped(fonts);
        std::string base = file;
        const auto slash = base.find_last_of('/');
        base = slash == std::string::npos ? std::string() : base.substr(0, slash + 1);
        DumpHost host(base);
        TSectionList doc(&host);
        doc.Styles.BuildDefaultStyleSheet(DefaultSheetOptions{});
        if (plain) {
            ParsePlainText(text, doc);
        } else {
            if (IsFramesetDocument(text))
                std::cout << "(a frameset document)\n";
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
