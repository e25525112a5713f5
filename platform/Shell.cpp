// The desktop shell through QDesktopServices, what it may be handed, and the switch to another
// shell service.
#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include <cctype>

namespace velmoran {
namespace {

QUrl ToUrl(const std::string& url)
{
    const QString text = QString::fromStdString(url);
    const QUrl parsed(text);
    // A bare path has no scheme (or a one-letter one that is no scheme at all).
    if (parsed.scheme().size() > 1)
        return parsed;
    return QUrl::fromLocalFile(text);
}

class DesktopShell : public ShellService {
public:
    bool Open(const std::string& url) override
    {
        if (url.empty() || !DesktopMayOpen(url))
            return false;
        return QDesktopServices::openUrl(ToUrl(url));
    }
};

ShellService*& Current()
{
    static DesktopShell desktop;
    static ShellService* current = &desktop;
    return current;
}

}  // namespace

bool NamesProgram(const std::string& url)
{
    const QUrl target = ToUrl(url);
    if (!target.isLocalFile())
        return false;
    const QFileInfo file(target.toLocalFile());
    return file.isFile() && file.isExecutable();
}

std::string UrlScheme(std::string_view url)
{
    const std::size_t colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(url[0])))
        return {};
    std::string scheme;
    for (const char c : url.substr(0, colon)) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return {};
        scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return scheme;
}

bool IsWebOrMailAddress(std::string_view url)
{
    const std::string scheme = UrlScheme(url);
    return scheme == "http" || scheme == "https" || scheme == "mailto";
}

bool OpenWebOrMailAddress(const std::string& url)
{
    return IsWebOrMailAddress(url) && Shell().Open(url);
}

bool DesktopMayOpen(const std::string& url)
{
    if (IsWebOrMailAddress(url))
        return true;
    const std::string scheme = UrlScheme(url);
    // A one-letter "scheme" is a drive letter: the address is a path.
    if (scheme.size() > 1 && scheme != "file")
        return false;
    const QUrl target = ToUrl(url);
    return !NamesProgram(url) && !target.toLocalFile().endsWith(QStringLiteral(".desktop"), Qt::CaseInsensitive);
}

ShellService& Shell()
{
    return *Current();
}

ScopedShell::ScopedShell(ShellService& service) : previous_(Current())
{
    Current() = &service;
}

ScopedShell::~ScopedShell()
{
    Current() = previous_;
}

}  // namespace velmoran
