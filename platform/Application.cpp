// Exception handling at the Qt boundary.
#include "platform/Application.h"

#include "platform/core/ExceptionHandler.h"
#include "platform/core/Exceptions.h"
#include "platform/Prompt.h"
#include "platform/QtCanvas.h"

namespace velmoran {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Velmoran"));
    setOrganizationName(QStringLiteral("Orvelan"));
    InstallQtScreenFonts();
    SetApplicationExceptionHandler(ShowCurrentException);
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentException();
        return false;
    }
}

void ShowCurrentException()
{
    try {
        throw;
    } catch (const EAbort&) {
        // silent by design
    } catch (const std::bad_alloc&) {
        Prompts().ShowError("Zu wenig Arbeitsspeicher");
    } catch (const std::exception& e) {
        Prompts().ShowError(e.what());
    } catch (...) {
        Prompts().ShowError("Unbekannter Fehler");
    }
}

bool RunGuarded(const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (...) {
        ShowCurrentException();
        return false;
    }
}

namespace {
std::string& HelpFileName()
{
    static std::string name;
    return name;
}
}  // namespace

const std::string& ApplicationHelpFile() { return HelpFileName(); }

void SetApplicationHelpFile(const std::string& fileName) { HelpFileName() = fileName; }

}  // namespace velmoran
