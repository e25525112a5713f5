// Where a link clicked in a frame goes, as a decision without widgets: the link's URL, its target
// and what is known of the clicked frame come in; out comes "this frame", "that frame", "the
// nested frameset replaced by one frame", "a new top document", "the blank-window event" or
// nothing, with the link's file, query and destination.
#pragma once

#include <functional>
#include <string>

namespace velmoran {

// The parts of a link: the file, the query with its "?" and the destination with its "#".
struct TLinkParts {
    std::string File;
    std::string Query;
    std::string Dest;
};
TLinkParts SplitLink(const std::string& url);

// What target resolution knows of the clicked frame and of its document.
struct TTargetContext {
    bool FromFrame = false;     // the link was clicked in a frame's viewer
    bool ParentIsTop = true;    // that frame's frameset is the top one (or there is no frame)
    bool SingleViewer = false;  // the document shows one page only
    std::string TopFile;        // the file of the top document
    // Whether a frame of the document bears a NAME (in any case).
    std::function<bool(const std::string& name)> HasFrame;
    // Makes the link's file a full name; empty when names go on as written.
    std::function<std::string(const std::string& file)> ExpandFile;
};

struct TTargetDestination {
    enum Kind {
        Nothing,      // no target and no frame: nothing to show it in
        ThisFrame,    // the frame the link was clicked in
        NamedFrame,   // the frame the target names
        ParentSet,    // "_parent": the clicked frame's nested frameset, replaced by one frame
        TopDocument,  // "_top", or any other file while the document shows one page only
        BlankWindow,  // a name no frame bears: the application is asked for a window
    };
    Kind Where = Nothing;
    std::string File;   // full (or as written); empty: the destination's own file
    std::string Query;  // "?..." or empty
    std::string Dest;   // "#..." or empty
};

// The destination of a link with a target ("_self" and an empty target mean the clicked frame).
// A frame name goes before the reserved names "_top" and "_parent".
TTargetDestination ResolveTarget(const std::string& url, const std::string& target, const TTargetContext& context);

}  // namespace velmoran
