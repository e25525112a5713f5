// What the document and its parser ask of the window that shows them: progress, include
// directives, META and LINK reports, scripts, sounds, style-sheet and image requests, body margins,
// timers, embedded panels and form events. The viewer implements it; TNullDocumentHost answers
// everything with nothing, so that documents can be parsed without any window.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace velmoran {

class TSectionList;

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
    // A requested file (a linked style sheet) supplied as a stream; false when the host supplies none
    // and the file is to be read from disk.
    virtual bool RequestStream(const std::string& /*url*/, std::string& /*content*/) { return false; }
    // An image source not in the image cache; false when the host supplies none.
    virtual bool RequestImage(const std::string& /*src*/, std::string& /*content*/) { return false; }
    // The animation timer of the document (started and stopped by the layout).
    virtual void SetTimer(bool /*enabled*/, int /*intervalMs*/) {}
    // Embedded panels of OBJECT elements.
    virtual void PanelCreate(const std::string& /*name*/, const std::string& /*type*/) {}
    virtual void PanelDestroy(const std::string& /*name*/) {}
    // Form events.
    virtual void FormSubmit(const std::string& /*action*/, const std::string& /*target*/,
                            const std::string& /*encType*/, const std::string& /*method*/,
                            const std::vector<std::string>& /*results*/)
    {
    }
    virtual void ObjectClick(const std::string& /*script*/) {}
    // Asks for a repaint of the drawing surface.
    virtual void Invalidate() {}
};

class TNullDocumentHost : public THtmlDocumentHost {};

}  // namespace velmoran
