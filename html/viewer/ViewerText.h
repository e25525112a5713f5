// The text work of the viewers that needs no window: file names of links made full, folders and
// server roots, the refresh of a META element, the HTML text of an image shown alone, and the
// "HTML Format" clipboard data of a selection.
#pragma once

#include <string>
#include <string_view>

namespace velmoran {

// The folder of a path with its trailing "/" (empty when the path holds no "/").
std::string FolderOf(const std::string& path);
// A path with its "." and ".." steps resolved as text, without asking the file system.
std::string NormalPath(const std::string& path);
// A server root as the viewers keep it: trimmed, without one trailing "/" or "\".
std::string ServerRootOf(const std::string& value);
// Whether an extension (with its dot, in any case) names a picture the viewers show by itself:
// GIF, JPEG, BMP or PNG.
bool IsPictureExtension(std::string_view extension);
// A character of a word that a double click or a right click picks: digits, A to Z, a to z and
// every character from U+00C0 on.
bool IsWordChar(char16_t c);
// A text with the characters of `special` that HTML gives a meaning ('&', '<', '>', '"') written
// as entities.
std::string EscapeHtml(std::string_view text, std::string_view special = "&<>\"");

// What a link or file name is resolved against.
struct TExpandContext {
    std::string ServerRoot;   // put in front of a path that begins with one "/"
    std::string Base;         // the document's base, or "DosPath" for none
    std::string CurrentFile;  // the file the viewer shows
    std::string WorkingDir;   // the process's folder (empty: asked of the system)
};

// A link or file name as a full POSIX path. A name with "://" after its first character that is
// not a file URL comes back unchanged. Otherwise escapes are decoded, "file:" prefixes dropped and
// "\" read as "/"; an absolute path is normalised, a path with a drive letter stays, and any other
// is taken relative to the folder of the base (unless the base is "DosPath"), else to the folder
// of the current file, else to the server root, else to the working folder.
std::string ExpandFileName(const std::string& name, const TExpandContext& context);
// A path of this machine made full as ExpandFileName makes a link's path once it is one: its "%"
// and "\" are part of its name, and it is never put below the server root.
std::string ExpandLocalPath(const std::string& local, const TExpandContext& context);

// The file part and the anchor of a name (the anchor without its "#", empty when there is none).
void SplitAnchor(const std::string& name, std::string& file, std::string& anchor);
// The same for the name of a file to load: a file whose own name holds a "#" ("Lastfall#2.vst")
// is that file whole, with no anchor.
void SplitFileAnchor(const std::string& name, std::string& file, std::string& anchor);

// A refresh META content ("5; URL=next.htm"): false when the delay is no integer or negative;
// a delay of 0 is taken as 1; the URL is the text after the first "url=" (any case), or empty.
bool ParseMetaRefresh(const std::string& content, int& delay, std::string& url);

// The HTML page that shows one image file (a path, relative to the working folder or full), named
// by its full path: the page finds it whatever the server root and the base are.
std::string ImagePageSource(const std::string& fileName);

// What the HTML clipboard copy needs of the viewer and its document.
struct THtmlCopyInput {
    std::string Source;        // the whole text last loaded, in the document's code page
    int StartSource = -1;      // source position of the selection begin (-1 none)
    int EndSource = -1;        // source position of the selection end (-1 none)
    std::string FontName;      // DefFontName
    int FontSize = 12;         // DefFontSize
    int CodePage = 1252;
    std::string CurrentFile;   // empty for a document without a file
};

// The "HTML Format" data of a selection: a header with the byte offsets of the HTML and of the
// fragment, then the UTF-8 HTML with "<!--StartFragment-->" and "<!--EndFragment-->" around the
// selected part, and a terminating zero byte.
std::string BuildHtmlFormat(const THtmlCopyInput& input);

}  // namespace velmoran
