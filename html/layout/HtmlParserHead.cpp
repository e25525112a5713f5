// The HTML parser's head elements and raw content: META (with the document's character set),
// LINK with a linked style sheet, BGSOUND, STYLE, SCRIPT, and the objects and image maps it reads
// over or collects; see HtmlParser.h.
#include "html/layout/HtmlParserState.h"

#include "html/base/Urls.h"
#include "html/base/WideText.h"
#include "html/style/StyleSheetParser.h"
#include "platform/core/Stream.h"

#include <cctype>

namespace velmoran {

void THtmlParser::DoMeta()
{
    const std::string httpEq = AttrText(HttpEqSy);
    const std::string name = AttrText(NameSy);
    const std::string content = AttrText(ContentSy);
    if (!Utf8Document && SL->Host().IsPageViewer() && SameText(httpEq, "content-type")) {
        int cs = 0;
        if (T.LookupDocumentCharset(content, cs))
            Top().AssignCharSet(static_cast<std::uint8_t>(cs));
        else if (Contains(LowerCase(content), "utf-8"))
            Top().AssignUTF8();
        T.CodePage = T.PropCodePage = Top().CodePage;
    }
    if (OnMeta)
        OnMeta(httpEq, name, content);
    Next();
}

void THtmlParser::DoLink()
{
    const std::string href = AttrText(HrefSy);
    const std::string rel = AttrText(RelSy);
    const std::string rev = AttrText(RevSy);
    if (SameText(rel, "stylesheet") && !href.empty()) {
        std::string text;
        std::string url = href;
        if (!SL->Host().RequestStream(href, text)) {
            url = IsFullUrl(href) ? href : CombineUrl(SL->Host().BasePath(), href);
            const std::string file = UrlToDosPath(url);
            try {
                if (FileExists(file)) {
                    const auto bytes = ReadFileBytes(file);
                    text.assign(bytes.begin(), bytes.end());
                }
            } catch (const std::exception&) {
                text.clear();
            }
        }
        if (!text.empty()) {
            std::string normal;
            normal.reserve(text.size());
            for (std::size_t i = 0; i < text.size(); ++i) {
                if (text[i] == '\r') {
                    normal += '\n';
                    if (i + 1 < text.size() && text[i + 1] == '\n')
                        ++i;
                } else {
                    normal += text[i];
                }
            }
            ParseLinkedStyleSheet(SL->Styles, normal, GetBase(url));
        }
    }
    if (OnLink)
        OnLink(rel, rev, href);
    Next();
}

void THtmlParser::DoBgSound()
{
    if (OnSoundRequest)
        if (const TAttribute* src = T.Attributes.Find(SrcSy)) {
            const TAttribute* loop = T.Attributes.Find(LoopSy);
            OnSoundRequest(src->Name, loop ? loop->Value : 1, false);
        }
    Next();
}

void THtmlParser::DoStyle()
{
    char ch = static_cast<char>(T.Ch);
    T.NoComments = true;
    const CharSource source = [this]() -> char {
        T.GetCh();
        return static_cast<char>(T.Ch);
    };
    ParseStyleSheet(SL->Styles, ch, source, "", false);
    T.NoComments = false;
    Next();
}

namespace {
// Reads raw content up to "</name" (any case); the rest of the end tag is skipped to ">".
std::string ReadRawContent(THtmlTokenizer& t, const char* endName)
{
    std::string content;
    const std::string want = std::string("/") + endName;
    while (t.Ch != 0) {
        if (t.Ch == '<') {
            std::string probe = "<";
            t.GetCh();
            std::size_t k = 0;
            while (k < want.size() && t.Ch != 0 && std::tolower(t.Ch) == want[k]) {
                probe += static_cast<char>(t.Ch);
                t.GetCh();
                ++k;
            }
            if (k == want.size()) {
                while (t.Ch != '>' && t.Ch != 0)
                    t.GetCh();
                return content;
            }
            content += probe;
            continue;
        }
        if (t.Ch == 13)
            content += "\r\n";
        else
            content += static_cast<char>(t.Ch);
        t.GetCh();
    }
    return content;
}
}  // namespace

void THtmlParser::DoScript()
{
    const std::string name = AttrText(NameSy);
    const std::string language = AttrText(LanguageSy);
    T.NoComments = true;
    if (T.Ch == '>')
        T.GetCh();
    const std::string script = ReadRawContent(T, "script");
    T.NoComments = false;
    if (T.Ch == '>')
        T.GetCh();
    if (OnScript)
        OnScript(name, language, script);
    else if (SL->Host().HasScriptHandler())
        SL->Host().Script(name, language, script);
    Next();
}

void THtmlParser::DoObject()
{
    // Embedded objects are read over without creating anything.
    Next();
    while (T.Sy != ObjectEndSy && T.Sy != EofSy)
        Next();
    if (T.Sy == ObjectEndSy)
        Next();
}

void THtmlParser::DoMap()
{
    auto map = std::make_unique<TMapItem>();
    map->MapName = UpperCase(AttrText(NameSy));
    Next();
    int others = 0;
    while (T.Sy != MapEndSy && T.Sy != EofSy) {
        if (T.Sy == AreaSy)
            map->AddArea(T.Attributes);
        else if (T.Sy != TextSy && ++others >= 3)
            break;
        Next();
    }
    if (T.Sy == MapEndSy) {
        SL->MapList.Add(std::move(map));
        Next();
    }
}

void THtmlParser::SkipTo(Symb endSym)
{
    while (T.Sy != endSym && T.Sy != EofSy)
        Next();
}

}  // namespace velmoran
