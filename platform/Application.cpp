// Exception handling at the Qt boundary, and Qt's own texts in German.
#include "platform/Application.h"

#include "platform/CommandKeys.h"
#include "platform/core/ExceptionHandler.h"
#include "platform/core/Exceptions.h"
#include "platform/Prompt.h"
#include "platform/QtCanvas.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace velmoran {

namespace {

// Every text of the program is German, whatever the user's language: Qt's own texts too (file
// dialogs, standard buttons, the edits' context menu), and what Qt words by its default locale
// (sizes, file types, dates in the file dialog). The program formats its own numbers and dates
// itself (FormatSettings), so they stay as they are. Without the translations installed Qt's
// texts stay English.
void InstallQtGermanTexts(QApplication& application)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Velmoran"));
    setOrganizationName(QStringLiteral("Orvelan"));
    InstallQtScreenFonts();
    InstallQtGermanTexts(*this);
    SetApplicationExceptionHandler(ShowCurrentException);
    InstallCommandKeys(*this);
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

namespace {
ExceptionTextFunction& ExceptionText()
{
    static ExceptionTextFunction text;
    return text;
}
}  // namespace

void SetExceptionText(ExceptionTextFunction text)
{
    ExceptionText() = std::move(text);
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
        Prompts().ShowError(ExceptionText() ? ExceptionText()(e) : std::string(e.what()));
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
