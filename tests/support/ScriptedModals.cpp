// Running modal windows from scripts in tests; see ScriptedModals.h.
#include "tests/support/ScriptedModals.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace velmoran {

namespace {

// What a failure message calls the window: its title, else its object name, else its class.
std::string Caption(const QWidget& window)
{
    if (!window.windowTitle().isEmpty())
        return window.windowTitle().toStdString();
    if (!window.objectName().isEmpty())
        return window.objectName().toStdString();
    return window.metaObject()->className();
}

}  // namespace

ScriptedModalRunner::ScriptedModalRunner() : previous_(SetModalRunner(this)) {}

ScriptedModalRunner::~ScriptedModalRunner()
{
    SetModalRunner(previous_);
    if (!scripts_.empty())
        ADD_FAILURE() << scripts_.size() << " Skript(e) ohne Fenster; gezeigt wurden " << shown_.size();
}

void ScriptedModalRunner::Expect(Script script, int leftOpen)
{
    scripts_.push_back({std::move(script), leftOpen});
}

bool ScriptedModalRunner::Next(QWidget& window, Entry& entry)
{
    const std::string caption = Caption(window);
    if (scripts_.empty()) {
        ADD_FAILURE() << "Fenster ohne Skript: \"" << caption << "\"";
        return false;
    }
    shown_.push_back(caption);
    entry = std::move(scripts_.front());
    scripts_.pop_front();
    return true;
}

int ScriptedModalRunner::Run(QDialog& dialog)
{
    Entry entry;
    if (!Next(dialog, entry))
        return QDialog::Rejected;
    QPointer<QDialog> guard(&dialog);
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    QApplication::processEvents();
    if (guard && entry.Body)
        entry.Body(*guard);
    if (!guard)
        return QDialog::Rejected;
    if (guard->isVisible())
        guard->done(entry.LeftOpen);
    return guard->result();
}

void ScriptedModalRunner::Run(QWidget& window)
{
    Entry entry;
    if (!Next(window, entry))
        return;
    QPointer<QWidget> guard(&window);
    window.show();
    QApplication::processEvents();
    if (guard && entry.Body)
        entry.Body(*guard);
    if (guard && guard->isVisible())
        guard->close();
}

}  // namespace velmoran
