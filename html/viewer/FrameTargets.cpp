// Link parts and target resolution.
#include "html/viewer/FrameTargets.h"

#include "platform/core/Text.h"

namespace velmoran {
namespace {

using Kind = TTargetDestination::Kind;

Kind KindOfTarget(const std::string& target, const TTargetContext& context)
{
    if (target.empty() || SameText(target, "_self"))
        return context.FromFrame ? Kind::ThisFrame : Kind::Nothing;
    if (context.HasFrame && context.HasFrame(target))
        return Kind::NamedFrame;
    if (SameText(target, "_top"))
        return Kind::TopDocument;
    if (SameText(target, "_parent"))
        return context.ParentIsTop ? Kind::TopDocument : Kind::ParentSet;
    return Kind::BlankWindow;
}

}  // namespace

TLinkParts SplitLink(const std::string& url)
{
    TLinkParts parts;
    parts.File = url;
    if (const auto hash = parts.File.find('#'); hash != std::string::npos) {
        parts.Dest = parts.File.substr(hash);
        parts.File.erase(hash);
    }
    if (const auto question = parts.File.find('?'); question != std::string::npos) {
        parts.Query = parts.File.substr(question);
        parts.File.erase(question);
    }
    return parts;
}

TTargetDestination ResolveTarget(const std::string& url, const std::string& target, const TTargetContext& context)
{
    TTargetDestination destination;
    TLinkParts parts = SplitLink(url);
    if (!parts.File.empty() && context.ExpandFile)
        parts.File = context.ExpandFile(parts.File);
    destination.File = std::move(parts.File);
    destination.Query = std::move(parts.Query);
    destination.Dest = std::move(parts.Dest);
    destination.Where = KindOfTarget(target, context);
    // A frame of a document that shows one page only is the whole document: another file replaces it.
    const bool inFrame = destination.Where == Kind::ThisFrame || destination.Where == Kind::NamedFrame;
    if (inFrame && context.SingleViewer && !destination.File.empty() && !SameText(destination.File, context.TopFile))
        destination.Where = Kind::TopDocument;
    return destination;
}

}  // namespace velmoran
