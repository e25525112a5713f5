// The keyboard's way to links: the first run of every link owns a focusable 1 x 1 window control
// off-screen on the viewer's drawing surface. Tab reaches it like a form control; while it has the
// focus the link's runs show a focus rectangle, and Enter follows the link as a click would.
#pragma once

#include "html/layout/FormControls.h"

#include <QPointer>

class QWidget;

namespace velmoran {

class TFontObj;
class TSectionList;

class TLinkFocusControl : public TTabStop {
public:
    // Makes the window control when the document has a drawing surface.
    TLinkFocusControl(TSectionList* document, TFontObj* run);
    ~TLinkFocusControl() override;
    TLinkFocusControl(const TLinkFocusControl&) = delete;
    TLinkFocusControl& operator=(const TLinkFocusControl&) = delete;

    QWidget* FocusWidget() const override { return widget_; }
    TSectionList* StopDocument() const override { return Document; }
    // The focus came or went: the run and the following runs of the same link show it.
    void SetActive(bool active);
    // Enter: the viewer follows the link.
    void Follow();

    TSectionList* Document;
    TFontObj* Run;  // the run that owns it (changes when a run replaces its predecessor)

private:
    QPointer<QWidget> widget_;
};

}  // namespace velmoran
