// The print-progress window: runs the print of one viewer, or the recording of its preview pages,
// inside its own modal loop, shows the page being produced and lets the user cancel between pages.
#pragma once

#include "html/viewer/PageViewer.h"

#include <QDialog>
#include <QPointer>

#include <exception>
#include <functional>

class QLabel;
class QPushButton;

namespace velmoran {

class TMetaFilePrinter;

class TPrnStatusForm : public QDialog {
public:
    explicit TPrnStatusForm(QWidget* parent = nullptr);
    ~TPrnStatusForm() override;

    // Prints pages fromPage..toPage of the viewer while the window is shown; abort is true when
    // the user cancelled. An error of the run closes the window and is raised again afterwards.
    void DoPrint(TPageViewer& viewer, int fromPage, int toPage, bool& abort);
    // Records the viewer's pages into the recorder the same way; a cancelled recording keeps the
    // pages recorded so far. A viewer destroyed during the run (a page handler closing its window)
    // ends it, and is left alone afterwards.
    void DoPreview(TPageViewer& viewer, TMetaFilePrinter& recorder, bool& abort);

    bool Canceled() const { return canceled_; }
    QLabel* StatusLabel() const { return statusLabel_; }
    QPushButton* CancelButton() const { return cancelButton_; }
    void CancelButtonClick() { canceled_ = true; }

protected:
    // Esc and the close button only ask the run to stop; the window closes when the run returns.
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Runs the work inside the window's modal loop; abort is true when the user cancelled.
    void RunModal(TPageViewer& viewer, std::function<void()> work, bool& abort);
    void RunWork();
    void PageCallback(int page, bool& stop);

    QLabel* statusLabel_;
    QPushButton* cancelButton_;
    QPointer<TPageViewer> viewer_;  // null once the viewer is destroyed (a page handler may close its window)
    std::function<void()> work_;
    bool canceled_ = false;
    bool running_ = false;
    std::exception_ptr failure_;
};

}  // namespace velmoran
