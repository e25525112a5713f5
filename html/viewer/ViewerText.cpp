// Link names, META refresh, the image page and the "HTML Format" clipboard data.
#include "html/viewer/ViewerText.h"

#include "html/base/WideText.h"
#include "platform/core/Text.h"
#include "platform/core/CodePage.h"
#include "platform/core/Stream.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>

namespace velmoran {
std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NormalPath(const std::string& path)
{
    return std::filesystem::path(path).lexically_normal().string();
}

std::string ServerRootOf(const std::string& value)
{
    std::string root = Trim(value);
    if (!root.empty() && (root.back() == '/' || root.back() == '\\'))
        root.pop_back();
    return root;
}

bool IsPictureExtension(std::string_view extension)
{
    for (const std::string_view picture : {".gif", ".jpg", ".jpeg", ".bmp", ".png"})
        if (SameText(extension, picture))
            return true;
    return false;
}

bool IsWordChar(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c >= 192;
}

std::string EscapeHtml(std::string_view text, std::string_view special)
{
    std::string out;
    for (const char c : text) {
        const char* entity = nullptr;
        switch (c) {
        case '&': entity = "&amp;"; break;
        case '<': entity = "&lt;"; break;
        case '>': entity = "&gt;"; break;
        case '"': entity = "&quot;"; break;
        default: break;
        }
        if (entity && special.find(c) != std::string_view::npos)
            out += entity;
        else
            out += c;
    }
    return out;
}

std::string ExpandFileName(const std::string& name, const TExpandContext& context)
{
    const auto scheme = name.find("://");
    if (scheme != std::string::npos && scheme >= 1 && FindText(name, "file://") == std::string::npos)
        return name;
    return ExpandLocalPath(UrlToDosPathWithRoot(Trim(name), context.ServerRoot), context);
}

std::string ExpandLocalPath(const std::string& local, const TExpandContext& context)
{
    if (!local.empty() && local.front() == '/')
        return NormalPath(local);
    if (local.size() >= 2 && local[1] == ':')
        return local;
    std::string folder;
    if (!SameText(context.Base, "DosPath")) {
        if (!context.Base.empty())
            folder = FolderOf(UrlToDosPath(context.Base));
        else if (!context.CurrentFile.empty())
            folder = FolderOf(context.CurrentFile);
        // A document without a file: below the server root, not the program's start folder.
        else if (!context.ServerRoot.empty())
            folder = ServerRootOf(context.ServerRoot) + "/";
    }
    if (folder.empty() || folder.front() != '/') {
        std::string cwd = context.WorkingDir;
        if (cwd.empty()) {
            std::error_code error;
            cwd = std::filesystem::current_path(error).string();
        }
        if (!cwd.empty() && cwd.back() != '/')
            cwd += '/';
        folder = cwd + folder;
    }
    return NormalPath(folder + local);
}

void SplitAnchor(const std::string& name, std::string& file, std::string& anchor)
{
    const auto hash = name.find('#');
    if (hash == std::string::npos) {
        file = name;
        anchor.clear();
    } else {
        file = name.substr(0, hash);
        anchor = name.substr(hash + 1);
    }
}

void SplitFileAnchor(const std::string& name, std::string& file, std::string& anchor)
{
    if (name.find('#') != std::string::npos && FileExists(name)) {
        file = name;
        anchor.clear();
        return;
    }
    SplitAnchor(name, file, anchor);
}

bool ParseMetaRefresh(const std::string& content, int& delay, std::string& url)
{
    const auto semicolon = content.find(';');
    const std::string number = Trim(content.substr(0, semicolon));
    int value = -1;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size() || value < 0)
        return false;
    delay = std::max(value, 1);
    const auto at = FindText(content, "url=");
    url = at == std::string::npos ? std::string() : Trim(content.substr(at + 4));
    return true;
}

std::string ImagePageSource(const std::string& fileName)
{
    // A file URL: a plain path starting with "/" would be put below the server root; the escapes
    // keep "%", blanks and the bytes of umlauts as they are on disk.
    return "<img src=\"file://" + EncodePercentEscapes(NormalPath(std::filesystem::absolute(fileName).string())) + "\">";
}

namespace {

const std::string kStartMark = "<!--StartFragment-->";
const std::string kEndMark = "<!--EndFragment-->";

std::string EightDigits(const char* key, long value)
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%s%.8ld", key, value);
    return buffer;
}

// The source up to the end of the selection with the start mark at its begin; the fragment ends on
// its last visible character (trailing blanks and tags go).
std::string CutAtSelection(const THtmlCopyInput& input)
{
    std::string text = input.Source;
    // 1-based place of the first selected character and the place after the last one.
    long start = static_cast<long>(input.StartSource) + 1;
    long end;
    if (input.EndSource < 0) {
        end = static_cast<long>(text.size());
        if (!text.empty() && text.back() == '>') {
            text += ' ';
            ++end;
        }
    } else {
        end = static_cast<long>(input.EndSource) + 1;
    }
    // A begin without a source position, or an end before the begin, would cut the text wrongly.
    start = std::clamp(start, 1L, static_cast<long>(text.size()) + 1);
    end = std::clamp(end, start, static_cast<long>(text.size()) + 1);
    text.resize(static_cast<std::size_t>(end - 1));

    long last = static_cast<long>(text.size());  // 1-based place of the last character kept
    while (last >= start) {
        const unsigned char c = static_cast<unsigned char>(text[static_cast<std::size_t>(last - 1)]);
        if (c < 33) {
            --last;
        } else if (c == '>') {
            const auto open = text.rfind('<', static_cast<std::size_t>(last - 1));
            if (open == std::string::npos || static_cast<long>(open) + 1 < start)
                break;
            last = static_cast<long>(open);
        } else {
            break;
        }
    }
    text.resize(static_cast<std::size_t>(std::max(last, start - 1)));
    text.insert(static_cast<std::size_t>(start - 1), kStartMark);
    return text;
}

// META and DOCTYPE elements go, each to its ">" (or to the end when it has none); the start mark
// survives a removal that would take it.
void RemoveMetaAndDoctype(std::string& text)
{
    for (const std::string tag : {"<meta", "<!doctype"}) {
        std::size_t from = 0;
        for (;;) {
            const auto at = FindText(text, tag, from);
            if (at == std::string::npos)
                break;
            const auto close = text.find('>', at);
            const std::size_t stop = close == std::string::npos ? text.size() : close + 1;
            const auto mark = text.find(kStartMark, at);
            const bool takesMark = mark != std::string::npos && mark < stop;
            text.erase(at, stop - at);
            if (takesMark)
                text.insert(at, kStartMark);
            from = takesMark ? at + kStartMark.size() : at;
        }
    }
}

// Page-break style properties are disabled by breaking their names.
void DisablePageBreaks(std::string& text)
{
    for (std::size_t from = 0;;) {
        const auto at = FindText(text, "page-break-", from);
        if (at == std::string::npos)
            break;
        text.erase(at, 1);
        from = at + 1;
    }
}

// The viewer's default font as a style of the body, in the HEAD (made when there is none).
void InsertFontStyle(std::string& text, const THtmlCopyInput& input)
{
    const std::string style = "<style> body {font-size: " + std::to_string(input.FontSize) + "pt; font-family: \"" +
                              input.FontName + "\"; }</style>";
    if (const auto head = FindText(text, "<head>"); head != std::string::npos) {
        text.insert(head, style);
    } else {
        const auto html = FindText(text, "<html>");
        text.insert(html == std::string::npos ? 0 : html, "<head>" + style + "</head>");
    }
}

std::string SourceUrl(const std::string& currentFile)
{
    if (currentFile.empty())
        return "SourceURL:unsaved:///TPageViewer.htm";
    if (currentFile.find("://") != std::string::npos)
        return "SourceURL:" + currentFile;
    return "SourceURL:file://" + currentFile;
}

// The header with the byte offsets of the HTML and of the fragment in the data that follows it.
std::string HtmlFormatHeader(const std::string& html, const std::string& url)
{
    const long headerLength = 99 + static_cast<long>(url.size());
    const long fragmentStart = static_cast<long>(html.find(kStartMark)) + static_cast<long>(kStartMark.size());
    const long fragmentEnd = static_cast<long>(html.rfind(kEndMark));
    std::string header = "Version:1.0\r\n";
    header += EightDigits("StartHTML:", headerLength) + "\r\n";
    header += EightDigits("EndHTML:", headerLength + static_cast<long>(html.size())) + "\r\n";
    header += EightDigits("StartFragment:", headerLength + fragmentStart) + "\r\n";
    header += EightDigits("EndFragment:", headerLength + fragmentEnd) + "\r\n";
    header += url + "\r\n";
    return header;
}

}  // namespace

std::string BuildHtmlFormat(const THtmlCopyInput& input)
{
    std::string text = CutAtSelection(input);
    RemoveMetaAndDoctype(text);
    DisablePageBreaks(text);
    InsertFontStyle(text, input);
    text = MultibyteToUtf8(input.CodePage, text);
    text = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n" + text + kEndMark;
    std::string result = HtmlFormatHeader(text, SourceUrl(input.CurrentFile)) + text;
    result.push_back('\0');
    return result;
}

}  // namespace velmoran
