// Printing without a second document: while a TPrintMode lives, the document itself is the print
// copy. It is flagged as one (no timer, no panels shown, no position or link lists rebuilt), takes
// the printer's settings (no selection, no link areas of the screen, scale factors 1.0, page state
// from the top), and may be laid out at the page width and painted page by page. A 1 MB result page
// holds some 34,000 table cells; a copy of them for the printer took as much memory again.
//
// The end of the mode gives every screen setting back; the layout, still the printer's, is the
// owner's to redo at the screen width before the document is painted or asked again.
#pragma once

#include "html/layout/SectionList.h"

#include <functional>
#include <string>

namespace velmoran {

class TPrintMode {
public:
    explicit TPrintMode(TSectionList& document);
    ~TPrintMode();
    TPrintMode(const TPrintMode&) = delete;
    TPrintMode& operator=(const TPrintMode&) = delete;

    TSectionList& Document() const { return *document_; }
    // The document went during the print (its viewer was destroyed): nothing is given back.
    void Forget() { document_ = nullptr; }
    // The document's own background, which the printed page gets only with backgrounds printed.
    TColor ScreenBackground() const { return screen_.Background; }

private:
    // What the screen had of everything the print changes.
    struct ScreenState {
        bool IsCopy;
        bool Printing;
        TColor Background;
        int YOff;
        int PageCutY;
        int SelB, SelE;
        float ScaleX, ScaleY;
        bool NoOutput;
        int PageNumber;
        std::function<void(int, const std::string&, const std::string&, const TRect&)> LinkAreaCallback;
    };
    TSectionList* document_;
    ScreenState screen_;
};

}  // namespace velmoran
