// The page stack of the module dialogs: pages without visible tabs, reached only through the
// dialog's navigation. Each page carries its own enabled flag, which says whether the
// navigation visits it; it does not depend on whether the dialog or the page control is enabled.
#pragma once

#include <QStackedWidget>

#include <string>

namespace velmoran {

class TPageControl;

class TTabSheet : public QWidget {
public:
    explicit TTabSheet(TPageControl& owner);
    bool PageEnabled() const { return enabled_; }
    // Also enables or disables the page's controls.
    void SetPageEnabled(bool enabled);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption) { caption_ = caption; }
    TPageControl& PageControl() const { return owner_; }
    int PageIndex() const;

private:
    TPageControl& owner_;
    bool enabled_ = true;
    std::string caption_;
};

class TPageControl : public QStackedWidget {
public:
    explicit TPageControl(QWidget* parent = nullptr);
    // Appends a page and returns it.
    TTabSheet* AddPage(const std::string& caption = {});
    int PageCount() const { return count(); }
    TTabSheet* Pages(int index) const;
    int ActivePageIndex() const { return currentIndex(); }
    void SetActivePageIndex(int index) { setCurrentIndex(index); }
};

}  // namespace velmoran
