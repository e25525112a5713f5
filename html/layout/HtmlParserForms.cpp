// The HTML parser's form controls: INPUT, SELECT with its options and TEXTAREA with its raw
// content, each made into a control object of the form being built; see HtmlParser.h.
#include "html/layout/HtmlParserState.h"

#include "html/base/WideText.h"

#include <cctype>

namespace velmoran {

void THtmlParser::DoFormControl()
{
    const Symb tag = T.Sy;
    if (!Section)
        NewSection();
    const std::string name = TagName(tag);
    PushProperties(name);
    TFormControlObj* control = Section->AddFormControl(static_cast<std::uint8_t>(tag), T.Attributes, Top(), T.SIndex);
    if (tag == SelectSy)
        ReadOptions(*static_cast<TListBoxFormControlObj*>(control));
    else if (tag == TextAreaSy)
        ReadTextArea(*static_cast<TTextAreaFormControlObj*>(control));
    else
        Next();
    PopProperties(name);
}

void THtmlParser::ReadOptions(TListBoxFormControlObj& list)
{
    const SymbSet stop{PSy,    EofSy,    TableEndSy, TDSy,       TDEndSy,     TRSy,  TREndSy,   THSy,
                       THEndSy, CaptionSy, CaptionEndSy, InputSy, SelectEndSy, ColSy, ColGroupSy};
    bool open = false;
    bool hasValue = false;
    TOptionObj option;
    auto finish = [&] {
        if (!open)
            return;
        option.Text = WideTrim(option.Text);
        list.AddOption(std::move(option), hasValue);
        option = TOptionObj();
        open = false;
    };
    Next();
    while (!stop.Has(T.Sy)) {
        if (T.Sy == OptionSy) {
            finish();
            open = true;
            option.Selected = HasAttr(SelectedSy);
            option.Attributes = T.Attributes.CreateStringList();
            const TAttribute* value = T.Attributes.Find(ValueSy);
            hasValue = value != nullptr;
            option.Value = hasValue ? value->Name : std::string();
        } else if (T.Sy == OptionEndSy) {
            finish();
        } else if (T.Sy == TextSy && open) {
            option.Text += T.Token.S();
        }
        Next();
    }
    finish();
    list.StoreInitial();
    if (T.Sy == SelectEndSy)
        Next();
}

// The content up to "</textarea" (any case) as it stands: each line end ends a line, "&"
// references are decoded into the control's code page, a "<" that does not begin the end tag is
// text. The rest of the end tag is skipped.
void THtmlParser::ReadTextArea(TTextAreaFormControlObj& area)
{
    static const std::string kEnd = "/textarea";
    T.NoComments = true;
    std::string line;
    while (T.Ch != 0) {
        if (T.Ch == '<') {
            std::string probe = "<";
            T.GetCh();
            std::size_t k = 0;
            while (k < kEnd.size() && T.Ch != 0 && std::tolower(T.Ch) == kEnd[k]) {
                probe += static_cast<char>(T.Ch);
                T.GetCh();
                ++k;
            }
            if (k == kEnd.size()) {
                while (T.Ch != '>' && T.Ch != 0)
                    T.GetCh();
                break;
            }
            line += probe;
        } else if (T.Ch == 13) {
            area.AddLine(line);
            line.clear();
            T.GetCh();
        } else if (T.Ch == '&') {
            T.ReadReference(line, area.CodePage);
        } else {
            line += static_cast<char>(T.Ch);
            T.GetCh();
        }
    }
    area.AddLine(line);
    T.NoComments = false;
    area.StoreInitial();
    if (T.Ch == '>')
        T.GetCh();
    Next();
}

}  // namespace velmoran
