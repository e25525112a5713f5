// The print-progress window.
#include "html/viewer/PrnStatusForm.h"

#include "platform/Prompt.h"
#include "platform/StringTable.h"
#include "platform/core/ScopeExit.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmoran {

TPrnStatusForm::TPrnStatusForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromStdString(LoadStr(sPrnCaption)));
    setFixedSize(255, 123);
    auto* layout = new QVBoxLayout(this);
    statusLabel_ = new QLabel(QStringLiteral("Status"), this);
    statusLabel_->setAlignment(Qt::AlignCenter);
    QFont labelFont(QStringLiteral("Tahoma"));
    labelFont.setPointSize(8);
    statusLabel_->setFont(labelFont);
    cancelButton_ = new QPushButton(QString::fromStdString(LoadStr(sPrnCancel)), this);
    cancelButton_->setAutoDefault(false);
    connect(cancelButton_, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
    layout->addWidget(statusLabel_);
    layout->addWidget(cancelButton_, 0, Qt::AlignHCenter);
}

TPrnStatusForm::~TPrnStatusForm() = default;

void TPrnStatusForm::DoPrint(TPageViewer& viewer, int fromPage, int toPage, bool& abort)
{
    RunModal(viewer, [&viewer, fromPage, toPage] { viewer.PrintPages(fromPage, toPage); }, abort);
}

void TPrnStatusForm::DoPreview(TPageViewer& viewer, TMetaFilePrinter& recorder, bool& abort)
{
    RunModal(viewer, [&viewer, &recorder] { viewer.PreviewPages(recorder, false); }, abort);
}

void TPrnStatusForm::RunModal(TPageViewer& viewer, std::function<void()> work, bool& abort)
{
    viewer_ = &viewer;
    work_ = std::move(work);
    failure_ = nullptr;
    running_ = true;
    QMetaObject::invokeMethod(this, [this] { RunWork(); }, Qt::QueuedConnection);
    const int result = exec();
    work_ = nullptr;
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
    abort = result == mrCancel;
}

void TPrnStatusForm::RunWork()
{
    if (!viewer_) {
        // Gone before the run began: nothing was printed.
        running_ = false;
        done(mrCancel);
        return;
    }
    // The owner's own page handler (if any) still hears every page, after the window; it may
    // destroy the viewer, which then gets nothing back.
    TPageEvent previous = viewer_->OnPageEvent;
    ScopeExit restore([&] {
        if (viewer_)
            viewer_->OnPageEvent = previous;
    });
    viewer_->OnPageEvent = [this, previous](TPageViewer* sender, int page, bool& stop) {
        PageCallback(page, stop);
        // Called from a copy: destroying the viewer destroys this handler as well.
        if (const TPageEvent owner = previous)
            owner(sender, page, stop);
    };
    try {
        work_();
    } catch (...) {
        failure_ = std::current_exception();
    }
    running_ = false;
    done(canceled_ ? mrCancel : mrOk);
}

void TPrnStatusForm::PageCallback(int page, bool& stop)
{
    if (canceled_) {
        stop = true;
        return;
    }
    const std::string text = page == 0 ? LoadStr(sPrnFormatting) : LoadStr(sPrnPage) + " " + std::to_string(page);
    statusLabel_->setText(QString::fromStdString(text));
    statusLabel_->repaint();
}

void TPrnStatusForm::reject()
{
    if (running_)
        CancelButtonClick();
    else
        QDialog::reject();
}

void TPrnStatusForm::closeEvent(QCloseEvent* event)
{
    if (running_) {
        CancelButtonClick();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace velmoran
