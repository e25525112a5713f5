// The HTML parser's head elements and raw content: META (with the document's character set),
// LINK with a linked style sheet, BGSOUND, STYLE, SCRIPT, and the objects and image maps it reads
// over or collects; see HtmlParser.h.
#include "html/layout/HtmlParserState.h"
#include "html/layout/PanelObjects.h"

#include "html/base/Urls.h"
#include "html/base/WideText.h"
#include "html/style/StyleSheetParser.h"
#include "platform/core/CodePage.h"
#include "platform/core/DocumentFile.h"
#include "platform/core/Stream.h"

#include <cctype>
#include <filesystem>

namespace velmoran {

namespace {

// The charset a META tag names for its page, as a content type ("text/html; charset=utf-8") or in
// its own CHARSET attribute (<meta charset=utf-8>); empty when it names none.
std::string MetaCharset(const TAttributeList& attributes)
{
    const TAttribute* charset = attributes.Find(CharSetSy);
    if (charset && !Trim(charset->Name).empty())
        return charset->Name;
    const TAttribute* httpEq = attributes.Find(HttpEqSy);
    const TAttribute* content = attributes.Find(ContentSy);
    return httpEq && content && SameText(httpEq->Name, "content-type") ? content->Name : std::string();
}

// Gives the properties the code page of a META's charset; false when the name is none known.
bool AssignMetaCharset(THtmlTokenizer& tokenizer, const std::string& charset, TProperties& properties)
{
    int cs = 0;
    if (tokenizer.LookupDocumentCharset(charset, cs))
        properties.AssignCharSet(static_cast<std::uint8_t>(cs));
    else if (Contains(LowerCase(charset), "utf-8"))
        properties.AssignUTF8();
    else
        return false;
    return true;
}

}  // namespace

void THtmlParser::DoMeta()
{
    const std::string httpEq = AttrText(HttpEqSy);
    const std::string name = AttrText(NameSy);
    const std::string content = AttrText(ContentSy);
    const std::string charset = MetaCharset(T.Attributes);
    if (!Utf8Document && SL->Host().IsPageViewer() && !charset.empty()) {
        AssignMetaCharset(T, charset, Top());
        T.CodePage = T.PropCodePage = Top().CodePage;
    }
    if (OnMeta)
        OnMeta(httpEq, name, content);
    Next();
}

int DeclaredCodePage(const std::string& text)
{
    THtmlTokenizer tokenizer;
    const THtmlTokenizer::SourceInfo info = tokenizer.SetSource(text);
    if (info.Utf8Signature)
        return kUtf8CodePage;
    TProperties page;
    page.AssignCharSet(info.Iso2022Jp ? 128 : 0);
    tokenizer.PreScan = true;
    try {
        tokenizer.GetCh();
        for (tokenizer.NextToken(); tokenizer.Sy != EofSy; tokenizer.NextToken())
            if (tokenizer.Sy == MetaSy)
                AssignMetaCharset(tokenizer, MetaCharset(tokenizer.Attributes), page);
    } catch (const EParseError&) {
        // A comment left open: the page fails to show anyway; what was declared before it stands.
    }
    return page.CodePage;
}

namespace {

// A linked style sheet is read as a picture is, wherever it lies (beside the page, in a folder
// beside the page's, at the root): only a name that leads to a regular file, opened so that it
// starts nothing and blocks on nothing, and only up to the limit of pages; a device, a pipe or a
// folder gives no rules.
std::string LinkedSheetText(const std::string& file)
{
    try {
        return ReadDocumentFile(file, kPageLimit);
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

void THtmlParser::DoLink()
{
    const std::string href = AttrAddress(HrefSy);
    const std::string rel = AttrText(RelSy);
    const std::string rev = AttrText(RevSy);
    // A sheet named by several LINKs is read once: its rules are in the list after the first.
    if (SameText(rel, "stylesheet") && !href.empty() && LinkedSheets.insert("stream:" + href).second) {
        std::string text;
        std::string url = href;
        if (!SL->Host().RequestStream(href, text)) {
            const std::string file = SL->Host().ExpandName(href);
            if (LinkedSheets.insert("file:" + CanonicalPath(file)).second)
                text = LinkedSheetText(file);
            // The sheet's own relative names lie beside it, given as a file URL so that no root
            // comes before them.
            std::error_code error;
            url = "file://" + std::filesystem::absolute(file, error).parent_path().string() + "/";
        }
        if (!text.empty())
            ParseLinkedStyleSheet(SL->Styles, text, GetBase(url), T.CodePage);
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
    const CharSource peek = [this] { return static_cast<char>(T.Peek()); };
    ParseStyleSheet(SL->Styles, ch, source, "", false, peek, T.PropCodePage);
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
    const bool isObject = T.Sy == ObjectSy;
    if (!Section)
        NewSection();
    const std::string tag = isObject ? "object" : "panel";
    PushProperties(tag);
    const int sourceIndex = T.SIndex;
    const bool bordered = Top().HasBorderStyle();
    if (bordered)
        SL->ProcessInlines(sourceIndex, Top(), true);
    TPanelObj* panel = Section->AddPanel(T.Attributes, sourceIndex);
    panel->ApplyProperties(Top());
    PopProperties(tag);
    Next();
    if (isObject) {
        // The PARAMs directly after the start tag, then everything up to the end of the object.
        while (T.Sy == ParamSy || (T.Sy == TextSy && T.Token.S().find_first_not_of(u" \t\r\n") == std::u16string::npos)) {
            if (T.Sy == ParamSy && HasAttr(NameSy))
                panel->Params.push_back(AttrText(NameSy) + "=" + AttrText(ValueSy));
            Next();
        }
        while (T.Sy != ObjectEndSy && T.Sy != EofSy)
            Next();
        if (T.Sy == ObjectEndSy)
            Next();
    }
    panel->CreatePanel();
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
