// Modal windows behind one replaceable service: every dialog and every other window the program
// shows modally is run through Modals(), so that tests put a scripted runner in its place and
// no test ever blocks in a window's own loop.
#pragma once

class QDialog;
class QWidget;

namespace velmoran {

class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    // Shows the dialog modally and returns its result: QDialog::Accepted (the same value as
    // mrOk), QDialog::Rejected, or the modal result a button ended it with.
    virtual int Run(QDialog& dialog) = 0;
    // Shows a top-level window that is not a dialog application-modal and returns once it is
    // closed or destroyed; the caller reads what the window set.
    virtual void Run(QWidget& window) = 0;
};

// The runner in use; by default the program's, which runs the windows' own loops on screen.
ModalRunner& Modals();
// Installs a runner (not owned) and returns the previous one; nullptr restores the default.
ModalRunner* SetModalRunner(ModalRunner* runner);

}  // namespace velmoran
