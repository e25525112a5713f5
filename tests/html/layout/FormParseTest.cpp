// Forms parsed without a window: the control kinds the elements give, the submission lines, sizes
// from page numbers (clamped, however large or negative), reset and restore, code pages, radio
// groups (and Tab through them on a drawing surface), image inputs, and the tab-order numbering
// of the layout. Input fonts are 10 points, 13 pixels high in the test font: characters 6 pixels
// wide, "A" 13 pixels high.
#include "tests/html/layout/ParserTestSupport.h"
#include "tests/support/TestApp.h"

#include "html/layout/FormControls.h"
#include "html/layout/LinkFocus.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>

namespace velmoran {
namespace {

using testing::ParsedPage;

// A page parsed with a submission listener; Submitted holds the lines of the last submission.
class FormPage : public ParsedPage {
public:
    explicit FormPage(const std::string& html, THtmlDocumentHost* host = nullptr) : ParsedPage(host)
    {
        Doc.FormEvents.OnFormSubmit = [this](const std::string& action, const std::string&, const std::string&,
                                             const std::string& method, const std::vector<std::string>& lines) {
            Submitted = lines;
            Action = action;
            Method = method;
            ++Submissions;
        };
        Parse(html);
    }
    ThtmlForm& Form(int i = 0) { return *Doc.FormList[static_cast<std::size_t>(i)]; }
    template <class C>
    C& Control(int i)
    {
        auto* c = dynamic_cast<C*>(Doc.FormControlList[static_cast<std::size_t>(i)]);
        EXPECT_NE(c, nullptr) << "control " << i;
        return *c;
    }
    void Size()
    {
        MeasuringCanvas canvas(Fonts);
        for (const auto& form : Doc.FormList)
            form->SizeControls(canvas);
    }
    std::vector<std::string> Submitted;
    std::string Action, Method;
    int Submissions = 0;
};

TEST(FormParse, ElementsGiveTheirKinds)
{
    FormPage p("<form><input><input type=password><input type=file><input type=submit><input type=reset>"
               "<input type=button><input type=radio><input type=checkbox><input type=hidden>"
               "<input type=image src=x.gif><input type=unbekannt><select><option>a</select>"
               "<select size=1><option>a</select><select size=3><option>a</select><select multiple></select>"
               "<textarea></textarea></form>");
    const auto& list = p.Doc.FormControlList;
    ASSERT_EQ(list.size(), 17u);  // the file input brings its browse button
    EXPECT_FALSE(dynamic_cast<TEditFormControlObj*>(list[0])->Password);
    EXPECT_TRUE(dynamic_cast<TEditFormControlObj*>(list[1])->Password);
    EXPECT_NE(dynamic_cast<TEditFormControlObj*>(list[2]), nullptr);
    EXPECT_EQ(dynamic_cast<TButtonFormControlObj*>(list[3])->ButtonKind, TButtonFormControlObj::Browse);
    EXPECT_EQ(dynamic_cast<TButtonFormControlObj*>(list[3])->Caption, u"Browse...");
    EXPECT_EQ(dynamic_cast<TButtonFormControlObj*>(list[4])->Caption, u"Submit");
    EXPECT_EQ(dynamic_cast<TButtonFormControlObj*>(list[5])->Caption, u"Reset");
    EXPECT_EQ(dynamic_cast<TButtonFormControlObj*>(list[6])->Caption, u"Button");
    EXPECT_NE(dynamic_cast<TRadioButtonFormControlObj*>(list[7]), nullptr);
    EXPECT_NE(dynamic_cast<TCheckBoxFormControlObj*>(list[8]), nullptr);
    EXPECT_NE(dynamic_cast<THiddenFormControlObj*>(list[9]), nullptr);
    EXPECT_NE(dynamic_cast<TImageFormControlObj*>(list[10]), nullptr);
    EXPECT_NE(dynamic_cast<TEditFormControlObj*>(list[11]), nullptr);
    // A SELECT without MULTIPLE or a SIZE above 1 drops down; the others are lists.
    EXPECT_NE(dynamic_cast<TComboFormControlObj*>(list[12]), nullptr);
    EXPECT_NE(dynamic_cast<TComboFormControlObj*>(list[13]), nullptr);
    EXPECT_EQ(dynamic_cast<TComboFormControlObj*>(list[14]), nullptr);
    EXPECT_EQ(dynamic_cast<TListBoxFormControlObj*>(list[14])->Rows(), 3);
    EXPECT_EQ(dynamic_cast<TComboFormControlObj*>(list[15]), nullptr);
    EXPECT_NE(dynamic_cast<TTextAreaFormControlObj*>(list[16]), nullptr);
    // Hidden inputs and image inputs take no control placeholder; the image input is a picture.
    EXPECT_EQ(p.Form().NonHiddenCount, 16);
    const TSection* s = p.All<TSection>()[0];
    EXPECT_EQ(s->FormControls.Count(), 15);
    EXPECT_EQ(s->Images.Count(), 1);
}

TEST(FormParse, SubmissionLines)
{
    // Disabled controls are left out ("no" and "0" leave a control enabled), nameless and unchecked
    // controls give nothing, the submit button's pair comes last.
    FormPage p("<form action=\"/cgi/senden\" method=POST>"
               "<input name=a value=1><input name=b value=2 disabled><input name=c value=3 disabled=no>"
               "<input name=d value=4 disabled=\"0\"><input name=e value=5 disabled=ja><input value=ohne>"
               "<input type=checkbox name=f><input type=checkbox name=g value=x checked>"
               "<input type=hidden name=h value=verborgen><input type=submit name=los value=Senden>"
               "<input type=submit name=anders value=Nein></form>");
    auto& submit = p.Control<TButtonFormControlObj>(9);
    submit.Press();
    EXPECT_EQ(p.Submitted, (std::vector<std::string>{"a=1", "c=3", "d=4", "g=x", "h=verborgen", "los=Senden"}));
    EXPECT_EQ(p.Action, "/cgi/senden");
    EXPECT_EQ(p.Method, "POST");
    // Enter in an edit submits without a button's pair.
    EXPECT_TRUE(p.Control<TEditFormControlObj>(0).ControlKey(Qt::Key_Return));
    EXPECT_EQ(p.Submitted.back(), "h=verborgen");
    EXPECT_EQ(p.Submissions, 2);
    // The history keeps every pair, disabled controls' too.
    EXPECT_EQ(p.Form().GetFormSubmission().size(), 7u);
}

TEST(FormParse, NothingIsCollectedWithoutAListener)
{
    ParsedPage p;
    p.Parse("<form><input name=a value=1><input type=submit></form>");
    auto* submit = dynamic_cast<TButtonFormControlObj*>(p.Doc.FormControlList[1]);
    submit->Press();  // no listener: no call, nothing gathered
    SUCCEED();
}

TEST(FormParse, FormsAndTheirControls)
{
    // Controls outside FORM join an implicit form; a FORM inside a FORM starts the next one.
    FormPage p("<input name=draussen><form action=eins><input name=a><form action=zwei><input name=b>"
               "</form><input name=nach>");
    ASSERT_EQ(p.Doc.FormList.size(), 4u);
    EXPECT_EQ(p.Form(0).Controls[0]->Name, "draussen");
    EXPECT_EQ(p.Form(1).Action, "eins");
    EXPECT_EQ(p.Form(1).Controls.size(), 1u);
    EXPECT_EQ(p.Form(2).Action, "zwei");
    EXPECT_EQ(p.Form(2).Controls.size(), 1u);
    // After the end of the last form a control makes a form of its own.
    EXPECT_EQ(p.Doc.FormControlList.back()->Form, p.Doc.FormList[3].get());
}

TEST(FormParse, EditSizeTexts)
{
    struct Case {
        const char* size;
        int expected;
    };
    for (const Case& c : {Case{"abc", 15}, Case{"0", 15}, Case{"-3", 15}, Case{"7 x,y", 7}, Case{"a b,c", 20},
                          Case{"12", 12}, Case{"4,5 6", 4}}) {
        FormPage p(std::string("<input size=\"") + c.size + "\">");
        EXPECT_EQ(p.Control<TEditFormControlObj>(0).EditSize_, c.expected) << c.size;
    }
    FormPage none("<input>");
    EXPECT_EQ(none.Control<TEditFormControlObj>(0).EditSize_, 15);
}

TEST(FormParse, SizesFromTheFont)
{
    FormPage p("<input size=10><input type=submit value=Los><select size=3><option>abcdef<option>x</select>"
               "<select><option>abc</select><textarea rows=4 cols=40></textarea><input type=checkbox>"
               "<input type=radio><select multiple>" +
               std::string(20 * 11, ' ') + "</select>");
    p.Size();
    EXPECT_EQ(p.Control<TEditFormControlObj>(0).Width(), 10 * 6 + 23);
    EXPECT_EQ(p.Control<TEditFormControlObj>(0).Height(), 13 + 8);
    EXPECT_EQ(p.Control<TButtonFormControlObj>(1).Width(), 3 * 6 + 20);
    EXPECT_EQ(p.Control<TButtonFormControlObj>(1).Height(), 13 + 8);
    EXPECT_EQ(p.Control<TListBoxFormControlObj>(2).Height(), 3 * 13 + 4);
    EXPECT_EQ(p.Control<TListBoxFormControlObj>(2).Width(), 16 + 6 * 6 + 10);
    EXPECT_EQ(p.Control<TComboFormControlObj>(3).Width(), 16 + 3 * 6 + 10);
    EXPECT_EQ(p.Control<TTextAreaFormControlObj>(4).Height(), 4 * 13 + 5);
    EXPECT_EQ(p.Control<TTextAreaFormControlObj>(4).Width(), 40 * 6 + 5);
    EXPECT_EQ(p.Control<TCheckBoxFormControlObj>(5).Width(), 13);
    EXPECT_EQ(p.Control<TRadioButtonFormControlObj>(6).Height(), 14);  // a 96-ppi device
    // An empty multiple list shows one row; with 20 options it would show 8.
    EXPECT_EQ(p.Control<TListBoxFormControlObj>(7).Rows(), 1);
    std::string options;
    for (int i = 0; i < 20; ++i)
        options += "<option>o" + std::to_string(i);
    FormPage twenty("<select multiple>" + options + "</select>");
    EXPECT_EQ(twenty.Control<TListBoxFormControlObj>(0).Rows(), 8);
}

TEST(FormParse, PageNumbersGiveClampedSizes)
{
    // Products of page numbers are computed in 64 bits; every dimension stays in 0..32767.
    FormPage p("<input size=99999999><textarea rows=-5 cols=2147483647></textarea>"
               "<textarea rows=2147483647 cols=-2147483647></textarea><select size=99999999><option>a</select>"
               "<input style=\"width:99999999px;height:99999999px\">"
               "<input style=\"margin-left:2147483000px;border-left:2147483000px solid\">");
    p.Size();
    EXPECT_EQ(p.Control<TEditFormControlObj>(0).Width(), kMaxControlSize);
    EXPECT_EQ(p.Control<TTextAreaFormControlObj>(1).Height(), 0);
    EXPECT_EQ(p.Control<TTextAreaFormControlObj>(1).Width(), kMaxControlSize);
    EXPECT_EQ(p.Control<TTextAreaFormControlObj>(2).Height(), kMaxControlSize);
    EXPECT_EQ(p.Control<TTextAreaFormControlObj>(2).Width(), 0);
    EXPECT_EQ(p.Control<TListBoxFormControlObj>(3).Height(), kMaxControlSize);
    EXPECT_LE(p.Control<TEditFormControlObj>(4).Width(), kMaxControlSize);
    EXPECT_LE(p.Control<TEditFormControlObj>(4).Height(), kMaxControlSize);
    EXPECT_EQ(p.Control<TEditFormControlObj>(5).HSpaceL, kMaxControlSize);
    // The layout takes them as they are.
    MeasuringCanvas canvas(p.Fonts);
    int maxWidth = 0;
    EXPECT_GT(p.Doc.LayoutDocument(canvas, 600, maxWidth), kMaxControlSize);
}

TEST(FormParse, OptionsAndTextAreaContent)
{
    FormPage p("<select name=s><option value=\"w1\">  Eins  <option selected>Zwei</option><option></select>"
               "<textarea name=t>erste &amp; &lt;b&gt;\r\nzweite <i>roh</i></TEXTAREA>danach");
    auto& select = p.Control<TComboFormControlObj>(0);
    ASSERT_EQ(select.Options.Count(), 3);
    EXPECT_EQ(select.Options.Item(0).Text, u"Eins");
    EXPECT_EQ(select.Options.Value(0), "w1");
    EXPECT_EQ(select.Options.Value(1), "Zwei");  // without VALUE its text
    EXPECT_EQ(select.Options.Item(2).Text, u" ");
    EXPECT_EQ(select.Options.Value(7), "");
    EXPECT_FALSE(select.Options.Selected(-1));
    EXPECT_EQ(select.ItemIndex, 1);
    auto& area = p.Control<TTextAreaFormControlObj>(1);
    EXPECT_EQ(area.Text, u"erste & <b>\r\nzweite <i>roh</i>");
    EXPECT_EQ(p.Texts().back(), "\x02\x02" "danach ");
}

TEST(FormParse, ListSelectionsSubmitAndRestore)
{
    FormPage p("<form><select name=m multiple><option selected>a<option>b<option selected>c</select>"
               "<select name=e size=2><option>x<option>y</select><input type=submit></form>");
    auto& multi = p.Control<TListBoxFormControlObj>(0);
    auto& single = p.Control<TListBoxFormControlObj>(1);
    EXPECT_EQ(single.ItemIndex, 0);  // the current item is the first when none is selected
    p.Control<TButtonFormControlObj>(2).Press();
    EXPECT_EQ(p.Submitted, (std::vector<std::string>{"m=a", "m=c", "e=x"}));
    multi.SetSelected(0, false);
    multi.SetSelected(1, true);
    single.SetItemIndex(1);
    const auto saved = p.Form().GetFormSubmission();
    EXPECT_EQ(saved, (std::vector<std::string>{"m=b", "m=c", "e=y"}));
    p.Form().ResetControls();
    EXPECT_EQ(p.Form().GetFormSubmission(), (std::vector<std::string>{"m=a", "m=c", "e=x"}));
    p.Form().SetFormData(saved);
    EXPECT_EQ(p.Form().GetFormSubmission(), saved);
}

TEST(FormParse, ResetAndRestoreEveryKind)
{
    FormPage p("<form><input name=t value=anfang><input type=checkbox name=c value=ja>"
               "<input type=radio name=r value=eins checked><input type=radio name=R value=zwei>"
               "<input type=hidden name=h value=alt><select name=s><option>p<option>q</select>"
               "<textarea name=a>Text</textarea></form>");
    auto& form = p.Form();
    p.Control<TEditFormControlObj>(0).SetText(u"neu");
    p.Control<TCheckBoxFormControlObj>(1).SetChecked(true);
    p.Control<TRadioButtonFormControlObj>(3).Click();
    p.Control<TComboFormControlObj>(5).SetItemIndex(1);
    p.Control<TTextAreaFormControlObj>(6).SetText(u"Zeile 1\nZeile 2");
    const auto typed = form.GetFormSubmission();
    EXPECT_EQ(typed, (std::vector<std::string>{"t=neu", "c=ja", "R=zwei", "h=alt", "s=q", "a=Zeile 1\r\nZeile 2"}));
    form.ResetControls();
    EXPECT_EQ(form.GetFormSubmission(), (std::vector<std::string>{"t=anfang", "r=eins", "h=alt", "s=p", "a=Text"}));
    form.SetFormData(typed);
    EXPECT_EQ(form.GetFormSubmission(), typed);
    // The document's snapshot for the history goes form by form.
    const auto data = p.Doc.GetFormControlData();
    form.ResetControls();
    p.Doc.SetFormControlData(data);
    EXPECT_EQ(form.GetFormSubmission(), typed);
}

TEST(FormParse, RadioGroups)
{
    // Same form and same NAME without regard to case; of two checked buttons the later wins; only
    // the checked button (or the first of a group without one) is a tab stop.
    FormPage p("<form><input type=radio name=g value=1 checked><input type=radio name=G value=2 checked>"
               "<input type=radio name=g value=3><input type=radio name=andere value=a>"
               "<input type=radio name=andere value=b></form><form><input type=radio name=g value=4 checked></form>");
    auto& one = p.Control<TRadioButtonFormControlObj>(0);
    auto& two = p.Control<TRadioButtonFormControlObj>(1);
    auto& three = p.Control<TRadioButtonFormControlObj>(2);
    EXPECT_FALSE(one.Checked);
    EXPECT_TRUE(two.Checked);
    EXPECT_EQ(two.Group().size(), 3u);
    EXPECT_FALSE(one.TabStop);
    EXPECT_TRUE(two.TabStop);
    EXPECT_FALSE(three.TabStop);
    EXPECT_TRUE(p.Control<TRadioButtonFormControlObj>(3).TabStop);
    EXPECT_FALSE(p.Control<TRadioButtonFormControlObj>(4).TabStop);
    EXPECT_TRUE(p.Control<TRadioButtonFormControlObj>(5).Checked);  // another form's group
    // A click unchecks the others and fires their change check.
    std::vector<std::string> changes;
    p.Doc.FormEvents.OnObjectChange = [&](TFormControlObj* c, const std::string&) { changes.push_back(c->Value); };
    two.OnChangeText = "geaendert()";
    two.RememberValue();
    three.Click();
    EXPECT_TRUE(three.Checked);
    EXPECT_FALSE(two.Checked);
    QCoreApplication::processEvents();  // the change handler runs once the click is done
    EXPECT_EQ(changes, std::vector<std::string>{"2"});
    // Arrows move within the group and check the button they reach.
    EXPECT_TRUE(three.ControlKey(Qt::Key_Right));
    EXPECT_TRUE(one.Checked);
    EXPECT_TRUE(one.ControlKey(Qt::Key_Up));
    EXPECT_TRUE(three.Checked);
    EXPECT_FALSE(three.ControlKey(Qt::Key_A));
}

// A host whose drawing surface takes the window controls, shown as a window of its own.
class SurfaceHost : public TNullDocumentHost {
public:
    QWidget* DrawingSurface() override { return &Surface; }
    QWidget Surface;
};

// Tab never changes a choice: it passes each radio group once, at its checked button, or at its
// first enabled one while none is checked, also after a click, a reset and a restore moved the
// check.
TEST(FormParse, TabPassesEachRadioGroupOnceAndChangesNoChoice)
{
    testing::App();
    SurfaceHost host;
    FormPage p("<form><input name=vor><input type=radio name=g value=1><input type=radio name=g value=2>"
               "<input type=radio name=g value=3><input type=radio name=h value=x><input type=radio name=h value=y>"
               "<input type=radio name=k value=a disabled><input type=radio name=k value=b><input name=nach></form>",
               &host);
    RecordingCanvas canvas(p.Fonts);
    int maxWidth = 0;
    p.Doc.LayoutDocument(canvas, 600, maxWidth);
    p.Doc.PaintDocument(canvas, {0, 0, 600, 300});
    host.Surface.resize(600, 300);
    host.Surface.show();
    QApplication::setActiveWindow(&host.Surface);
    const auto control = [&](int i) { return p.Doc.FormControlList[static_cast<std::size_t>(i)]->GetWinControl(); };
    const auto checks = [&] {
        std::string marks;
        for (int i = 1; i <= 5; ++i)
            marks += p.Control<TRadioButtonFormControlObj>(i).Checked ? 'x' : '-';
        return marks;
    };
    // The controls Tab reaches from the first edit, by their place in the form.
    const auto tour = [&] {
        std::vector<int> reached;
        control(0)->setFocus(Qt::MouseFocusReason);
        for (int step = 0; step < 10; ++step) {
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent tab(type, Qt::Key_Tab, Qt::NoModifier);
                QApplication::sendEvent(QApplication::focusWidget(), &tab);
            }
            for (int i = 0; i < 9; ++i)
                if (control(i) == QApplication::focusWidget())
                    reached.push_back(i);
            if (reached.empty() || reached.back() == 8)
                break;
        }
        return reached;
    };
    using Stops = std::vector<int>;
    ASSERT_NE(control(8), nullptr);
    EXPECT_EQ(tour(), (Stops{1, 4, 7, 8}));
    EXPECT_EQ(checks(), "-----");

    p.Control<TRadioButtonFormControlObj>(3).Click();
    EXPECT_EQ(tour(), (Stops{3, 4, 7, 8}));
    EXPECT_EQ(checks(), "--x--");
    p.Form().ResetControls();
    EXPECT_EQ(tour(), (Stops{1, 4, 7, 8}));
    p.Form().SetFormData({"g=2", "h=y"});
    EXPECT_EQ(tour(), (Stops{2, 5, 7, 8}));
    EXPECT_EQ(checks(), "-x--x");
    p.Form().SetFormData({});
    EXPECT_EQ(tour(), (Stops{1, 4, 7, 8}));
    EXPECT_EQ(checks(), "-----");
    // A disabled button checked: the group is entered at its first enabled one.
    p.Form().SetFormData({"k=a"});
    EXPECT_TRUE(p.Control<TRadioButtonFormControlObj>(6).Checked);
    EXPECT_EQ(tour(), (Stops{1, 4, 7, 8}));
}

TEST(FormParse, ImageInputGivesThePointOncePerClick)
{
    FormPage p("<form><input name=t value=1><input type=image name=pos src=knopf.gif></form>"
               "<form><input type=image src=ohne.gif></form>");
    auto& image = p.Control<TImageFormControlObj>(1);
    ASSERT_NE(image.Image, nullptr);
    EXPECT_EQ(image.Image->FormControl, &image);
    image.ImageClick(12, 7);
    QCoreApplication::processEvents();  // the form submits once the click is done
    EXPECT_EQ(p.Submitted, (std::vector<std::string>{"t=1", "pos.x=12", "pos.y=7"}));
    p.Control<TEditFormControlObj>(0).ControlKey(Qt::Key_Enter);
    EXPECT_EQ(p.Submitted, std::vector<std::string>{"t=1"});
    p.Control<TImageFormControlObj>(2).ImageClick(3, 4);
    QCoreApplication::processEvents();
    EXPECT_EQ(p.Submitted, (std::vector<std::string>{"x=3", "y=4"}));
}

TEST(FormParse, ValuesKeepTheirCharactersInEveryCodePage)
{
    // "ü" and "€" reach the control as wide text and go back in the page's code page.
    const std::string utf8Page = "<meta http-equiv=content-type content=\"text/html; charset=utf-8\">"
                                 "<form><input name=n value=\"M\xC3\xBCller &euro;\"></form>";
    const std::string ansiPage = "<form><input name=n value=\"M\xFCller \x80\"></form>";
    for (const std::string& page : {utf8Page, ansiPage}) {
        FormPage p(page);
        auto& edit = p.Control<TEditFormControlObj>(0);
        EXPECT_EQ(edit.Text, u"Müller €");
        const auto saved = p.Form().GetFormSubmission();
        ASSERT_EQ(saved.size(), 1u);
        EXPECT_EQ(saved[0], page == utf8Page ? "n=M\xC3\xBCller \xE2\x82\xAC" : "n=M\xFCller \x80");
        edit.SetText(u"anders");
        p.Form().SetFormData(saved);
        EXPECT_EQ(edit.Text, u"Müller €");
    }
}

TEST(FormParse, ControlsFlowInTheLine)
{
    // A control stands in the text like a character of its width, with a space of 1 above and below.
    FormPage p("<p>ab<input size=2>cd");
    p.Size();
    MeasuringCanvas canvas(p.Fonts);
    int maxWidth = 0;
    p.Doc.LayoutDocument(canvas, 600, maxWidth);
    const TSection* s = p.All<TSection>()[0];
    auto& edit = p.Control<TEditFormControlObj>(0);
    EXPECT_EQ(edit.Pos, 2);
    EXPECT_EQ(edit.VSpaceT, 1);
    int min = 0, max = 0;
    const_cast<TSection*>(s)->GetMinMaxWidth(canvas, min, max);
    EXPECT_EQ(min, edit.Width());
    EXPECT_EQ(s->Lines[0].Height(), edit.Height() + 2 + 16 / 4);  // the control sits on the baseline
}

TEST(FormParse, BorderedControlsGetInlineBorders)
{
    // As images do: the CSS border widens the spaces and gets an inline border record; the control
    // itself then has no frame of its own.
    FormPage p("<p>a<input style=\"border: 3px solid red; margin-left: 4px\">b<input>");
    auto& bordered = p.Control<TEditFormControlObj>(0);
    EXPECT_TRUE(bordered.BorderByCss);
    EXPECT_EQ(bordered.HSpaceL, 4 + 3);
    EXPECT_EQ(bordered.VSpaceT, 1 + 3);
    EXPECT_EQ(bordered.BordB, 3);
    ASSERT_EQ(p.Doc.InlineList.size(), 1u);
    EXPECT_GE(p.Doc.InlineList[0].EndB, p.Doc.InlineList[0].StartB);
    EXPECT_FALSE(p.Control<TEditFormControlObj>(1).BorderByCss);
}

TEST(FormParse, LayoutNumbersTheTabOrder)
{
    // Controls and links with a TABINDEX take the first places in key order, the others follow as
    // the page has them; the keyed list is emptied by the layout, and the numbers of the next
    // document start at 0 again.
    FormPage p("<a href=x.htm tabindex=2>Link</a><input name=a tabindex=1><input name=b>"
               "<input name=c tabindex=2><a href=y.htm>ohne</a>");
    ASSERT_EQ(p.Doc.TabOrderList.size(), 3u);
    EXPECT_EQ(p.Doc.TabOrderList[0].first, "00002000");
    EXPECT_EQ(p.Doc.TabOrderList[2].first, "00002002");
    MeasuringCanvas canvas(p.Fonts);
    int maxWidth = 0;
    p.Doc.LayoutDocument(canvas, 600, maxWidth);
    EXPECT_TRUE(p.Doc.TabOrderList.empty());
    EXPECT_EQ(p.Control<TEditFormControlObj>(0).TabOrder, 0);
    EXPECT_EQ(p.Doc.LinkList[0]->TabControl()->TabOrder, 1);
    EXPECT_EQ(p.Control<TEditFormControlObj>(2).TabOrder, 2);
    EXPECT_EQ(p.Control<TEditFormControlObj>(1).TabOrder, 3);
    EXPECT_EQ(p.Doc.LinkList[1]->TabControl()->TabOrder, 4);
    p.Doc.Clear();
    p.Parse("<input tabindex=5>");
    p.Doc.LayoutDocument(canvas, 600, maxWidth);
    EXPECT_EQ(p.Control<TEditFormControlObj>(0).TabOrder, 0);
}

}  // namespace
}  // namespace velmoran
