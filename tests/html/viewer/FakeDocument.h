// A small document for the viewer tests, built from a tiny HTML subset so that source positions,
// anchors and links are known exactly: text characters become document positions (10 pixels wide,
// lines 20 pixels high, one line per <br>), <a name=x> marks an anchor at its line, <a href=u>...</a>
// a link, <title> a title, <meta http-equiv=... content=...> a META report.
#pragma once

#include "platform/core/Text.h"
#include "html/viewer/ViewerDocument.h"
#include "platform/core/CodePage.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

namespace velmoran::test {

class FakeDocument : public TViewerDocument {
public:
    struct Link {
        std::string Url, Target;
        int Begin = 0, End = 0;  // document positions
        int SourceStart = 0, SourceLast = 0;
        bool Visited = false;
    };

    // What tests read back.
    std::string LastParsed;
    int ClearCount = 0;
    int DrawCount = 0;
    int LayoutCount = 0;
    std::vector<int> LayoutWidths;
    int FixedHeight = -1;      // when >= 0, the height every layout gives
    int FixedNeededWidth = -1; // when >= 0, the needed width every layout gives
    std::vector<QRect> Images; // image rectangles (document coordinates)
    TBackgroundImage Bg;

    // --- the model ---
    std::u16string Text;
    std::vector<int> SourceOf;  // source position of each document position
    std::vector<int> LineStarts{0};
    std::map<std::string, int> Anchors;  // upper-case name -> line
    std::vector<Link> Links;
    ColorRef BackgroundColor = kNoColor;
    int YOff = 0;
    int SelBegin = -1, SelEnd = -1;
    int Caret = 0;
    bool Images_ = true;
    TStringBitmapList* Cache = nullptr;
    int Height = 0;

    void Clear() override
    {
        ++ClearCount;
        Text.clear();
        SourceOf.clear();
        LineStarts = {0};
        Anchors.clear();
        Links.clear();
        SelBegin = SelEnd = -1;
        Height = 0;
    }
    void SetDefaults(const TDocumentDefaults& d) override { BackgroundColor = d.Background; Pre = d.PreFontName; }
    void SetOptions(const TDocumentOptions&) override {}
    std::string PreFontName() const override { return Pre; }
    void SetPreFontName(const std::string& name) override { Pre = name.substr(0, 32); }
    void SetLinkColors(ColorRef, ColorRef, ColorRef) override {}
    void SetImageCache(TStringBitmapList* cache) override { Cache = cache; }
    TStringBitmapList* ImageCache() const override { return Cache; }
    void SetProgressStart(int) override {}

    TParseResult ParseHtml(const std::string& source, const TParseHooks& hooks) override
    {
        LastParsed = source;
        TParseResult result;
        std::size_t i = 0;
        Link* open = nullptr;
        int linkIndex = -1;
        while (i < source.size()) {
            if (source[i] == '<') {
                const auto close = source.find('>', i);
                if (close == std::string::npos)
                    break;
                const std::string tag = source.substr(i + 1, close - i - 1);
                std::string name = LowerCase(tag.substr(0, tag.find(' ')));
                if (name == "br") {
                    LineStarts.push_back(static_cast<int>(Text.size()));
                } else if (name == "a") {
                    if (auto n = Attr(tag, "name"); !n.empty())
                        Anchors[UpperCase(n)] = static_cast<int>(LineStarts.size()) - 1;
                    if (auto h = Attr(tag, "href"); !h.empty()) {
                        Links.push_back(Link{h, Attr(tag, "target"), static_cast<int>(Text.size()), 0,
                                             static_cast<int>(close + 1), 0, false});
                        linkIndex = static_cast<int>(Links.size()) - 1;
                    }
                } else if (name == "/a" && linkIndex >= 0) {
                    open = &Links[static_cast<std::size_t>(linkIndex)];
                    open->End = static_cast<int>(Text.size());
                    open->SourceLast = static_cast<int>(i);
                    linkIndex = -1;
                } else if (name == "title") {
                    const auto end = source.find("</title>", close);
                    result.Title = Utf8ToWide(source.substr(close + 1, end - close - 1));
                    i = end + 8;
                    continue;
                } else if (name == "meta" && hooks.OnMeta) {
                    hooks.OnMeta(Attr(tag, "http-equiv"), Attr(tag, "name"), Attr(tag, "content"));
                } else if (name == "base") {
                    result.Base = Attr(tag, "href");
                }
                i = close + 1;
                continue;
            }
            if (source[i] != '\n' && source[i] != '\r') {
                Text.push_back(static_cast<unsigned char>(source[i]));
                SourceOf.push_back(static_cast<int>(i));
            }
            ++i;
        }
        return result;
    }
    void ParsePlainText(const std::string& source) override
    {
        LastParsed = source;
        for (std::size_t i = 0; i < source.size(); ++i) {
            if (source[i] == '\n') {
                LineStarts.push_back(static_cast<int>(Text.size()));
                continue;
            }
            Text.push_back(static_cast<unsigned char>(source[i]));
            SourceOf.push_back(static_cast<int>(i));
        }
    }
    int CodePage() const override { return 1252; }

    int SectionCount() const override { return Text.empty() ? 0 : LineCount(); }
    bool ShowImages() const override { return Images_; }
    void SetShowImages(bool show) override { Images_ = show; }
    int DoLogic(Canvas&, int, int width, int, int& neededWidth) override
    {
        ++LayoutCount;
        LayoutWidths.push_back(width);
        int widest = 0;
        for (int l = 0; l < LineCount(); ++l)
            widest = std::max(widest, LineLength(l) * 10);
        neededWidth = FixedNeededWidth >= 0 ? FixedNeededWidth : widest;
        Height = FixedHeight >= 0 ? FixedHeight : (Text.empty() ? 0 : LineCount() * 20);
        return Height;
    }
    void SetYOffset(int y) override { YOff = y; }
    int YOffset() const override { return YOff; }
    void Draw(Canvas& canvas, const TRect&, int, int x, int) override
    {
        ++DrawCount;
        canvas.SetTextColor(0);
        canvas.SetBkMode(BkMode::Transparent);
        for (int l = 0; l < LineCount(); ++l)
            canvas.TextOut(x, l * 20 - YOff, Text.substr(static_cast<std::size_t>(LineStarts[static_cast<std::size_t>(l)]),
                                                         static_cast<std::size_t>(LineLength(l))));
    }
    ColorRef Background() const override { return BackgroundColor; }
    void SetBackground(ColorRef color) override { BackgroundColor = color; }
    void GetBackgroundBitmap() override {}
    const TBackgroundImage& BackgroundImage() const override { return Bg; }
    bool Printing() const override { return false; }

    bool FindAnchor(const std::string& name, int& y) override
    {
        const auto found = Anchors.find(UpperCase(name));
        if (found == Anchors.end())
            return false;
        y = found->second * 20;
        return true;
    }
    bool FindSectionAtPosition(int y, int& sectionY, int& index) override
    {
        if (Text.empty() || y < 0)
            return false;
        index = std::min(y / 20, LineCount() - 1);
        sectionY = index * 20;
        return true;
    }
    bool PositionedSectionY(int index, int& y) override
    {
        if (index < 0 || index >= LineCount())
            return false;
        y = index * 20;
        return true;
    }

    int GetURL(Canvas& canvas, int x, int y, TLinkHit& link) override
    {
        bool inText = false;
        const int pos = FindCursor(canvas, x, y, inText);
        if (!inText)
            return 0;
        for (const auto& l : Links) {
            if (pos >= l.Begin && pos < l.End) {
                link.Url = l.Url;
                link.Target = l.Target;
                link.SourceStart = l.SourceStart;
                link.SourceLast = l.SourceLast;
                return kOverLink;
            }
        }
        return 0;
    }
    int FindCursor(Canvas&, int x, int y, bool& inText) override
    {
        inText = false;
        if (y < 0 || Text.empty())
            return -1;
        const int line = y / 20;
        if (line >= LineCount())
            return -1;
        const int col = std::max(0, x / 10);
        inText = col < LineLength(line);
        return LineStarts[static_cast<std::size_t>(line)] + std::min(col, LineLength(line));
    }
    bool FindImageAt(int x, int y, TImageHit& hit) override
    {
        for (const auto& r : Images) {
            if (r.contains(x, y)) {
                hit.Image = &r;
                hit.X = x - r.x();
                hit.Y = y - r.y();
                return true;
            }
        }
        return false;
    }
    char16_t CharAt(int pos) override
    {
        return pos >= 0 && pos < static_cast<int>(Text.size()) ? Text[static_cast<std::size_t>(pos)] : 0;
    }
    std::u16string WordAt(Canvas&, int, int) override { return {}; }
    bool CursorToXY(Canvas&, int, int& x, int& y) override
    {
        x = y = 0;
        return true;
    }
    int FindSourcePos(int docPos) override
    {
        return docPos >= 0 && docPos < static_cast<int>(SourceOf.size()) ? SourceOf[static_cast<std::size_t>(docPos)]
                                                                         : -1;
    }
    int FindDocPos(int sourcePos, bool) override
    {
        for (std::size_t i = 0; i < SourceOf.size(); ++i)
            if (SourceOf[i] >= sourcePos)
                return static_cast<int>(i);
        return static_cast<int>(SourceOf.size());
    }
    void ClearHover() override { ++ClearHoverCount; }
    bool HasHover() const override { return false; }

    int SelB() const override { return SelBegin; }
    int SelE() const override { return SelEnd; }
    void SetSelection(int begin, int end) override
    {
        SelBegin = begin;
        SelEnd = end;
    }
    void SetCaret(int pos) override { Caret = pos; }
    int GetSelLength() override { return SelBegin >= 0 && SelEnd > SelBegin ? SelEnd - SelBegin : 0; }
    std::u16string GetSelText() override
    {
        if (GetSelLength() <= 0)
            return {};
        return Text.substr(static_cast<std::size_t>(SelBegin), static_cast<std::size_t>(SelEnd - SelBegin));
    }

    int LinkCount() const override { return static_cast<int>(Links.size()); }
    std::string LinkUrl(int i) const override { return Links[static_cast<std::size_t>(i)].Url; }
    void SetLinkVisited(int i, bool visited) override { Links[static_cast<std::size_t>(i)].Visited = visited; }
    std::unique_ptr<TFormSnapshot> GetFormData() override { return nullptr; }
    void SetFormData(const TFormSnapshot&) override {}

    int ClearHoverCount = 0;
    std::string Pre = "Courier New";

    int LineCount() const { return static_cast<int>(LineStarts.size()); }
    int LineLength(int l) const
    {
        const int start = LineStarts[static_cast<std::size_t>(l)];
        const int end = l + 1 < LineCount() ? LineStarts[static_cast<std::size_t>(l + 1)] : static_cast<int>(Text.size());
        return end - start;
    }

private:
    // The value of an attribute (quoted with " or bare), empty when absent.
    static std::string Attr(const std::string& tag, const std::string& name)
    {
        const std::string lowered = LowerCase(tag);
        const auto at = lowered.find(" " + name + "=");
        if (at == std::string::npos)
            return {};
        std::size_t v = at + name.size() + 2;
        if (v < tag.size() && tag[v] == '"') {
            const auto end = tag.find('"', v + 1);
            return tag.substr(v + 1, end - v - 1);
        }
        const auto end = tag.find(' ', v);
        return tag.substr(v, end == std::string::npos ? std::string::npos : end - v);
    }
};

}  // namespace velmoran::test
