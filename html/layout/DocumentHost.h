// What the document and its parser ask of the window that shows them: progress, include
// directives, META and LINK reports, scripts, sounds, style-sheet and image requests, body margins,
// timers, embedded panels, the drawing surface of form controls, and the keyboard focus of controls
// and links. The viewer implements it; TNullDocumentHost answers everything with nothing, so that
// documents can be parsed without any window. The form events the viewer's owner listens to reach
// the document through TFormEvents.
#pragma once

#include "platform/GdiTypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QImage;
class QWidget;

namespace velmoran {

class Canvas;
class TPanelObj;
class TSectionList;
class TFormControlObj;

// Event hooks handed to the parser's entry points (the sender is always the calling host).
using TIncludeType =
    std::function<void(const std::string& command, const std::vector<std::string>& params, std::string& text)>;
using TSoundType = std::function<void(const std::string& src, int loop, bool terminate)>;
using TMetaType = std::function<void(const std::string& httpEq, const std::string& name, const std::string& content)>;
using TLinkType = std::function<void(const std::string& rel, const std::string& rev, const std::string& href)>;
using TScriptEvent =
    std::function<void(const std::string& name, const std::string& language, const std::string& script)>;

class THtmlDocumentHost {
public:
    virtual ~THtmlDocumentHost() = default;

    // Percentage of the work done (stage "running").
    virtual void DoProgress(int /*percent*/) {}
    // The content of a SCRIPT element; false when the host takes no scripts.
    virtual bool HasScriptHandler() const { return false; }
    virtual void Script(const std::string& /*name*/, const std::string& /*language*/, const std::string& /*text*/) {}
    // A page viewer (rather than a frame viewer): META charsets apply only then.
    virtual bool IsPageViewer() const { return true; }
    // Default BODY margins in pixels.
    virtual int MarginWidth() const { return 10; }
    virtual int MarginHeight() const { return 10; }
    // The folder against which relative names of the document are resolved.
    virtual std::string BasePath() const { return {}; }
    // The file a name of the document stands for (a picture, a linked style sheet): by default a
    // relative name below BasePath(), any other as written. The viewer puts its server root before
    // a name that starts with one "/".
    virtual std::string ExpandName(const std::string& name) const;
    // A requested file (a linked style sheet) supplied as a stream; false when the host supplies none
    // and the file is to be read from disk.
    virtual bool RequestStream(const std::string& /*url*/, std::string& /*content*/) { return false; }
    // An image source not in the image cache; false when the host supplies none.
    virtual bool RequestImage(const std::string& /*src*/, std::string& /*content*/) { return false; }
    // An image source supplied as a ready picture, asked before RequestImage; color is its
    // transparent colour (kNoColor for none). False when the host supplies none.
    virtual bool RequestBitmap(const std::string& /*src*/, QImage& /*bitmap*/, ColorRef& /*color*/) { return false; }
    // The animation timer of the document (started and stopped by the layout).
    virtual void SetTimer(bool /*enabled*/, int /*intervalMs*/) {}
    // The document was emptied: its animation timer goes, and the next layout makes a new one.
    virtual void FreeTimer() {}
    // The clock animations step against, in milliseconds (a steady clock; tests give their own).
    virtual std::uint32_t AnimationClock() const;
    // Embedded panels of OBJECT elements: the control of a new panel object (parented to the
    // drawing surface; none when there is no surface), its end (before the object frees it), and
    // its print (false when the host leaves the printed stand-in to the document).
    virtual QWidget* PanelCreate(const TPanelObj& /*panel*/) { return nullptr; }
    virtual void PanelDestroy(QWidget* /*panel*/) {}
    virtual bool PanelPrint(QWidget* /*panel*/, Canvas& /*canvas*/, const TRect& /*rect*/) { return false; }
    // A form's submission, handed on from the viewer's own queue.
    virtual void FormSubmit(const std::string& /*action*/, const std::string& /*target*/,
                            const std::string& /*encType*/, const std::string& /*method*/,
                            const std::vector<std::string>& /*results*/)
    {
    }
    // The widget that parents the window controls of forms and the focus controls of links; none
    // when the document is not shown (then no window controls are made).
    virtual QWidget* DrawingSurface() { return nullptr; }
    // The keyboard focus moved to a form control or a link at a document Y: keep it in view.
    virtual void KeepInView(int /*y*/, bool /*link*/) {}
    // The mouse moved over a form control (surface coordinates); its TITLE, empty when none.
    virtual void ControlMouseMove(const std::string& /*title*/, int /*x*/, int /*y*/) {}
    // Enter on a link's focus control: follow the link as a click would.
    virtual void FollowLinkFromKeyboard(const std::string& /*url*/, const std::string& /*target*/) {}
    // Asks for a repaint of the drawing surface.
    virtual void Invalidate() {}
};

// The form events of a document, each fired only when set (the viewer's setters set them).
struct TFormEvents {
    // A control's script text from ONCLICK, ONFOCUS, ONBLUR or ONCHANGE.
    using ObjectEvent = std::function<void(TFormControlObj* control, const std::string& script)>;
    ObjectEvent OnObjectClick;
    ObjectEvent OnObjectFocus;
    ObjectEvent OnObjectBlur;
    ObjectEvent OnObjectChange;
    // A file input's browse button: the edit's text in, the chosen file out (UTF-8).
    std::function<void(TFormControlObj* control, std::string& fileName)> OnFileBrowse;
    // A form's submission: action, target, encoding type, method and the "name=value" lines.
    std::function<void(const std::string& action, const std::string& target, const std::string& encType,
                       const std::string& method, const std::vector<std::string>& results)>
        OnFormSubmit;
};

class TNullDocumentHost : public THtmlDocumentHost {};

}  // namespace velmoran
