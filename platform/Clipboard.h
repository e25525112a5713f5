// The clipboard as the viewer and the edit controls use it: plain Unicode text, and text together
// with the "HTML Format" fragment (a header with UTF-8 byte offsets followed by the HTML). The
// process-wide service puts both on the system clipboard through QClipboard (text/plain,
// text/html and the raw "HTML Format" bytes); tests put a MemoryClipboard in its place.
#pragma once

#include <string>

namespace velmoran {

class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    // Replaces the clipboard's content by a text.
    virtual void SetText(const std::u16string& text) = 0;
    // Replaces the content by a text and its "HTML Format" data (header and UTF-8 HTML).
    virtual void SetTextAndHtml(const std::u16string& text, const std::string& htmlFormat) = 0;
    virtual std::u16string Text() const = 0;
    // The "HTML Format" data last put there (empty when none).
    virtual std::string HtmlFormat() const = 0;
};

// The service in use: the system clipboard unless a ScopedClipboard put another in.
ClipboardService& Clipboard();

// Keeps the content in memory (tests, and systems without a clipboard).
class MemoryClipboard : public ClipboardService {
public:
    void SetText(const std::u16string& text) override
    {
        text_ = text;
        html_.clear();
    }
    void SetTextAndHtml(const std::u16string& text, const std::string& htmlFormat) override
    {
        text_ = text;
        html_ = htmlFormat;
    }
    std::u16string Text() const override { return text_; }
    std::string HtmlFormat() const override { return html_; }

private:
    std::u16string text_;
    std::string html_;
};

// Puts another clipboard in place of the system's for its lifetime.
class ScopedClipboard {
public:
    explicit ScopedClipboard(ClipboardService& service);
    ~ScopedClipboard();
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;

private:
    ClipboardService* previous_;
};

// The HTML part of "HTML Format" data: the bytes from the StartHTML offset of its header to the
// EndHTML offset; empty when the header is malformed.
std::string HtmlOfHtmlFormat(const std::string& htmlFormat);

}  // namespace velmoran
