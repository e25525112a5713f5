// The scripted modal runner of the widget tests: every modal window the code under test runs
// through Modals() is shown offscreen (its show handling runs), handed to the next script
// (which finds controls by name, types and clicks with QTest, reads texts, grabs pictures) and
// then ended, so that no test blocks in a window's own loop.
#pragma once

#include "platform/ModalRunner.h"

#include <QDialog>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace velmoran {

class ScriptedModalRunner : public ModalRunner {
public:
    using Script = std::function<void(QWidget& window)>;

    // Installs itself in place of the runner in use.
    ScriptedModalRunner();
    // Puts the previous runner back; a script no window used fails the test.
    ~ScriptedModalRunner() override;

    // The script of the next window. A dialog the script leaves open is ended with leftOpen
    // (Cancel unless told otherwise); any other window left open is closed.
    void Expect(Script script, int leftOpen = QDialog::Rejected);

    // A window with no script left fails the test with its caption and returns Cancel at once.
    int Run(QDialog& dialog) override;
    void Run(QWidget& window) override;

    // The captions of the windows run so far, in order.
    const std::vector<std::string>& Shown() const { return shown_; }

private:
    struct Entry {
        Script Body;
        int LeftOpen;
    };
    // The next script for the window, or false (the test has failed) when there is none.
    bool Next(QWidget& window, Entry& entry);

    std::deque<Entry> scripts_;
    std::vector<std::string> shown_;
    ModalRunner* previous_;
};

}  // namespace velmoran
