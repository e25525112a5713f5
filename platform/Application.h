// The application object: a QApplication that catches every exception at the event-loop
// boundary and shows its message in a German message box, so that the program goes on, and that
// speaks Qt's own texts (standard buttons, file dialogs) in German.
#pragma once

#include <QApplication>

#include <exception>
#include <functional>
#include <string>

namespace velmoran {

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The application's current help file: the shell sets it when a module is selected; dialogs take
// it over as their own when they are shown.
const std::string& ApplicationHelpFile();
void SetApplicationHelpFile(const std::string& fileName);

// Shows the message of the exception being handled (call inside a catch block).
void ShowCurrentException();
// The text shown for an exception: its own message unless a window set another wording (the
// main window words the errors of the layers below it in German); an empty function resets it.
using ExceptionTextFunction = std::function<std::string(const std::exception&)>;
void SetExceptionText(ExceptionTextFunction text);
// Runs `work`, showing any exception it raises; returns false when one was raised.
bool RunGuarded(const std::function<void()>& work);

}  // namespace velmoran
