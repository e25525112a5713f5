// Opening a document or address with the program the desktop associates with it (the shell's
// "open" verb). The process-wide service hands addresses to QDesktopServices; tests put a
// RecordingShell in its place. Only web and mail addresses and local documents are handed on; a
// local file that is itself a program is never started: a page or a caption must not run programs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmoran {

class ShellService {
public:
    virtual ~ShellService() = default;
    // Opens an address ("https://...", "mailto:...", "file://...") or a file path; false when
    // nothing was opened.
    virtual bool Open(const std::string& url) = 0;
};

// The service in use: the desktop's unless a ScopedShell put another in.
ShellService& Shell();

// Keeps every address it is asked to open and opens nothing.
class RecordingShell : public ShellService {
public:
    bool Open(const std::string& url) override
    {
        opened_.push_back(url);
        return true;
    }
    const std::vector<std::string>& Opened() const { return opened_; }

private:
    std::vector<std::string> opened_;
};

// Puts another shell in place of the desktop's for its lifetime.
class ScopedShell {
public:
    explicit ScopedShell(ShellService& service);
    ~ScopedShell();
    ScopedShell(const ScopedShell&) = delete;
    ScopedShell& operator=(const ScopedShell&) = delete;

private:
    ShellService* previous_;
};

// Whether the desktop service would refuse the address because it names a program.
bool NamesProgram(const std::string& url);

// The scheme an address starts with, in lower case ("https" of "HTTPS://x"); empty when it has
// none (a path, an anchor, a page): a scheme is a letter, then letters, digits, "+", "-" or ".",
// up to the first ":".
std::string UrlScheme(std::string_view url);

// The one rule for every link the program shows (result pages, captions, address edits): an
// address goes to the desktop only when it is a web or mail address, its scheme exactly "http",
// "https" or "mailto".
bool IsWebOrMailAddress(std::string_view url);

// Follows a link's address by that rule: a web or mail address goes to the shell service, any
// other address (a local file, "file:", "smb:", ...) opens nothing. False when nothing opened.
bool OpenWebOrMailAddress(const std::string& url);

// Whether the desktop service hands the address on: a web or mail address (scheme exactly "http",
// "https" or "mailto"), or a local document, as a path or "file:" address, that is neither a
// program nor a desktop entry. Every other scheme ("smb:", "javascript:", ...) is refused.
bool DesktopMayOpen(const std::string& url);

}  // namespace velmoran
