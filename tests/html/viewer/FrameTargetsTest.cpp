// Tests of target resolution without widgets: where a link clicked in a frame goes for each
// target, the base of a document that shows one page only, and the parts of the link.
#include "html/viewer/FrameTargets.h"
#include "platform/core/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmoran {
namespace {

using Kind = TTargetDestination::Kind;

// A frameset document with the frames "menu" and "Main", the link clicked in a frame of the top set.
TTargetContext Frameset()
{
    TTargetContext context;
    context.FromFrame = true;
    context.TopFile = "/d/set.htm";
    context.HasFrame = [](const std::string& name) { return SameText(name, "menu") || SameText(name, "Main"); };
    return context;
}

Kind Where(const std::string& url, const std::string& target, const TTargetContext& context)
{
    return ResolveTarget(url, target, context).Where;
}

TEST(FrameTargets, LinksAreSplitIntoFileQueryAndDestination)
{
    const TLinkParts all = SplitLink("a.htm?x=1#oben");
    EXPECT_EQ(all.File, "a.htm");
    EXPECT_EQ(all.Query, "?x=1");
    EXPECT_EQ(all.Dest, "#oben");
    // A "?" after the "#" belongs to the destination.
    const TLinkParts late = SplitLink("b.htm#x?y");
    EXPECT_EQ(late.File, "b.htm");
    EXPECT_EQ(late.Query, "");
    EXPECT_EQ(late.Dest, "#x?y");
    EXPECT_EQ(SplitLink("#nur").File, "");
}

TEST(FrameTargets, EachTargetChoosesItsDestination)
{
    const TTargetContext context = Frameset();
    EXPECT_EQ(Where("a.htm", "", context), Kind::ThisFrame);
    EXPECT_EQ(Where("a.htm", "_SELF", context), Kind::ThisFrame);
    EXPECT_EQ(Where("a.htm", "MAIN", context), Kind::NamedFrame);
    EXPECT_EQ(Where("a.htm", "_top", context), Kind::TopDocument);
    EXPECT_EQ(Where("a.htm", "_parent", context), Kind::TopDocument);  // the frame's set is the top one
    EXPECT_EQ(Where("a.htm", "neu", context), Kind::BlankWindow);
    EXPECT_EQ(Where("a.htm", "_blank", context), Kind::BlankWindow);

    TTargetContext nested = context;
    nested.ParentIsTop = false;
    EXPECT_EQ(Where("a.htm", "_Parent", nested), Kind::ParentSet);

    // A frame that bears a reserved name is found by it first.
    TTargetContext odd = context;
    odd.HasFrame = [](const std::string& name) { return name == "_top"; };
    EXPECT_EQ(Where("a.htm", "_top", odd), Kind::NamedFrame);

    // Without a frame, a link without a target has nowhere to go; named targets still do.
    TTargetContext outside = context;
    outside.FromFrame = false;
    EXPECT_EQ(Where("a.htm", "", outside), Kind::Nothing);
    EXPECT_EQ(Where("a.htm", "main", outside), Kind::NamedFrame);
}

TEST(FrameTargets, AnotherFileReplacesADocumentOfOnePage)
{
    TTargetContext single = Frameset();
    single.SingleViewer = true;
    single.TopFile = "/d/seite.htm";
    EXPECT_EQ(Where("/d/anders.htm", "", single), Kind::TopDocument);
    EXPECT_EQ(Where("/d/anders.htm", "main", single), Kind::TopDocument);
    // The same file (in any case) or only an anchor stays in the frame.
    EXPECT_EQ(Where("/D/Seite.htm#unten", "", single), Kind::ThisFrame);
    EXPECT_EQ(Where("#unten", "", single), Kind::ThisFrame);
    // The blank-window event is not turned into a load.
    EXPECT_EQ(Where("/d/anders.htm", "neu", single), Kind::BlankWindow);
}

TEST(FrameTargets, OnlyFileNamesAreExpanded)
{
    TTargetContext context = Frameset();
    std::vector<std::string> expanded;
    context.ExpandFile = [&](const std::string& file) {
        expanded.push_back(file);
        return "/d/" + file;
    };
    const TTargetDestination page = ResolveTarget("a.htm?q#x", "main", context);
    EXPECT_EQ(page.File, "/d/a.htm");
    EXPECT_EQ(page.Query, "?q");
    EXPECT_EQ(page.Dest, "#x");
    const TTargetDestination anchor = ResolveTarget("#x", "", context);
    EXPECT_EQ(anchor.File, "");
    EXPECT_EQ(expanded, std::vector<std::string>{"a.htm"});
    // Without an expander (the application supplies the sources) names stay as written.
    EXPECT_EQ(ResolveTarget("ergebnis", "Main", Frameset()).File, "ergebnis");
}

}  // namespace
}  // namespace velmoran
