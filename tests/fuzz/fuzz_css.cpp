// Fuzz target: the style-sheet parser over arbitrary bytes, as a linked sheet and as a STYLE
// attribute, followed by one cascade over the rules read.
#include "html/style/StyleList.h"
#include "html/style/StyleSheetParser.h"
#include "platform/TestFont.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace velmoran;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TestFontEngine fonts;
    static ScopedScreenFonts scoped(fonts);
    const std::string text(reinterpret_cast<const char*>(data), size);
    TStyleList list;
    list.BuildDefaultStyleSheet({});
    ParseLinkedStyleSheet(list, text, "http://host/dir/");
    TPropStack stack;
    stack.Push()->Copy(*list.DefaultProp());
    TProperties* parent = stack.Last();
    TProperties* p = stack.Push();
    p->Inherit("p", parent);
    TProperties attr;
    ParseStyleAttribute(text, attr);
    p->ApplyStyles(list, "p", "a", "b", "", "", &attr);
    p->GetFont();
    int autos = 0;
    p->GetVMarginArray(600, 400, p->EmSize, p->ExSize, autos);
    return 0;
}
