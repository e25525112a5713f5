// The desktop shell through QDesktopServices, and the switch to another shell service.
#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

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
        if (url.empty() || NamesProgram(url))
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
