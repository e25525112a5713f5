// Forms in the page viewer: window controls on the drawing surface placed by painting, values
// typed into them submitted through the viewer's queue, radio buttons kept exclusive by the
// document, image inputs clicked with the mouse, form data kept by the history, the file-browse
// button, the control events, and the frame viewer handing its handlers to every frame.
// The tab order of controls and links is tested here too.
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"

#include "html/layout/FormControls.h"
#include "html/layout/LinkFocus.h"
#include "html/layout/TextSection.h"
#include "html/viewer/FrameViewer.h"
#include "html/viewer/PageViewer.h"
#include "html/viewer/SectionListDocument.h"
#include "platform/core/Stream.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace velmoran {
namespace {

using testing::App;
using testing::TempFolder;

class FormViewer {
public:
    FormViewer()
    {
        App();
        viewer.SetBorderStyle(THTMLBorderStyle::htNone);
        viewer.resize(600, 300);
        viewer.SetOnFormSubmit([this](TPageViewer*, const std::string& action, const std::string&,
                                      const std::string&, const std::string&, const std::vector<std::string>& lines) {
            Submissions.push_back(lines);
            Action = action;
        });
    }
    void Load(const std::string& html)
    {
        viewer.LoadDocumentString(html);
        Paint();
    }
    void Paint()
    {
        viewer.show();
        QApplication::processEvents();
        viewer.PaintPanel()->repaint();
    }
    TSectionList& Doc() { return static_cast<TSectionListDocument&>(viewer.Document()).Sections(); }
    template <class C>
    C& Control(int i)
    {
        return *dynamic_cast<C*>(Doc().FormControlList[static_cast<std::size_t>(i)]);
    }
    template <class W>
    W* Widget(int i)
    {
        return qobject_cast<W*>(Doc().FormControlList[static_cast<std::size_t>(i)]->GetWinControl());
    }
    // A button acts once its click is done, and its submission reaches the owner from the
    // viewer's queue after that.
    static void Deliver()
    {
        QApplication::processEvents();
        QApplication::processEvents();
    }
    static void Key(QWidget* w, int key, QEvent::Type type = QEvent::KeyPress)
    {
        QKeyEvent event(type, key, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }
    static void Focus(QWidget* w, bool in)
    {
        QFocusEvent event(in ? QEvent::FocusIn : QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(w, &event);
    }

    TPageViewer viewer;
    std::vector<std::vector<std::string>> Submissions;
    std::string Action;
};

TEST(FormControls, WindowControlsArePlacedByPainting)
{
    FormViewer f;
    std::string page = "<p><input name=oben value=eins>";
    for (int i = 0; i < 40; ++i)
        page += "<br>Zeile " + std::to_string(i);
    page += "<br><input name=unten></p>";
    f.viewer.LoadDocumentString(page);
    QLineEdit* top = f.Widget<QLineEdit>(0);
    QLineEdit* bottom = f.Widget<QLineEdit>(1);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->parentWidget(), f.viewer.PaintPanel());
    EXPECT_EQ(top->text(), "eins");
    EXPECT_EQ(top->x(), -4000);  // off-screen until a paint places it
    f.Paint();
    EXPECT_GE(top->x(), 0);
    EXPECT_TRUE(top->isVisible());
    EXPECT_EQ(top->size(), QSize(f.Control<TEditFormControlObj>(0).Width(), f.Control<TEditFormControlObj>(0).Height()));
    // Out of view the control is hidden (Tab still reaches it); scrolling brings it in and takes
    // the top one out.
    EXPECT_TRUE(bottom->isHidden());
    f.viewer.SetVScrollBarPosition(f.viewer.DocumentHeight());
    f.Paint();
    EXPECT_GE(bottom->x(), 0);
    EXPECT_TRUE(bottom->isVisible());
    EXPECT_TRUE(top->isHidden());
}

TEST(FormControls, TypedValuesAreSubmitted)
{
    FormViewer f;
    f.Load("<form action=senden.cgi><input name=name value=alt><input type=password name=pw>"
           "<input type=checkbox name=c value=ja><select name=s><option>a<option>b</select>"
           "<textarea name=t wrap=hard>x</textarea><input type=submit name=los value=OK></form>");
    f.Widget<QLineEdit>(0)->setText(QStringLiteral("Müller"));
    EXPECT_EQ(f.Widget<QLineEdit>(1)->echoMode(), QLineEdit::Password);
    f.Widget<QLineEdit>(1)->setText(QStringLiteral("geheim"));
    f.Widget<QCheckBox>(2)->click();
    qobject_cast<QComboBox*>(f.Control<TComboFormControlObj>(3).GetWinControl())->setCurrentIndex(1);
    f.Widget<QPlainTextEdit>(4)->setPlainText(QStringLiteral("eins\nzwei"));
    f.Widget<QPushButton>(5)->click();
    EXPECT_TRUE(f.Submissions.empty());  // not from inside the click
    f.Deliver();
    ASSERT_EQ(f.Submissions.size(), 1u);
    EXPECT_EQ(f.Action, "senden.cgi");
    EXPECT_EQ(f.Submissions[0], (std::vector<std::string>{"name=M\xFCller", "pw=geheim", "c=ja", "s=b",
                                                           "t=eins\r\nzwei", "los=OK"}));
    // Enter in an edit submits, without the button's pair.
    FormViewer::Key(f.Widget<QLineEdit>(0), Qt::Key_Return);
    f.Deliver();
    ASSERT_EQ(f.Submissions.size(), 2u);
    EXPECT_EQ(f.Submissions[1].back(), "t=eins\r\nzwei");
    // Reset takes the page's values again, in the window controls too.
    f.Doc().FormList[0]->ResetControls();
    EXPECT_EQ(f.Widget<QLineEdit>(0)->text(), "alt");
    EXPECT_FALSE(f.Widget<QCheckBox>(2)->isChecked());
}

TEST(FormControls, HardWrappedTextSubmitsItsShownLines)
{
    FormViewer f;
    f.Load("<form><textarea name=t cols=12 wrap=hard>ein ziemlich langer Satz ohne Zeilenende</textarea>"
           "<textarea name=w cols=12>ein ziemlich langer Satz ohne Zeilenende</textarea></form>");
    std::string hard, soft;
    f.Control<TTextAreaFormControlObj>(0).GetSubmitPair(0, hard);
    f.Control<TTextAreaFormControlObj>(1).GetSubmitPair(0, soft);
    EXPECT_NE(hard.find("\r\n"), std::string::npos) << hard;
    EXPECT_EQ(soft, "w=ein ziemlich langer Satz ohne Zeilenende");

    // Out of view, its window control never shown, a text area submits the lines it shows later:
    // a hidden control takes its size only when shown, and until then wrapped nothing.
    std::string gap;
    for (int i = 0; i < 60; ++i)
        gap += "<br>Zeile";
    f.Load("<form>" + gap + "<br><textarea name=t cols=12 wrap=hard>ein ziemlich langer Satz ohne Zeilenende"
           "</textarea></form>");
    std::string unseen, seen;
    f.Control<TTextAreaFormControlObj>(0).GetSubmitPair(0, unseen);
    f.viewer.SetVScrollBarPosition(f.viewer.DocumentHeight());
    f.Paint();
    ASSERT_TRUE(f.Widget<QPlainTextEdit>(0)->isVisible());
    f.Control<TTextAreaFormControlObj>(0).GetSubmitPair(0, seen);
    EXPECT_EQ(unseen, hard);
    EXPECT_EQ(seen, hard);
}

TEST(FormControls, RadioGroupIsKeptByTheDocument)
{
    FormViewer f;
    f.Load("<form><input type=radio name=r value=1 checked><input type=radio name=r value=2>"
           "<input type=radio name=r value=3 onchange=x()></form>");
    QRadioButton* one = f.Widget<QRadioButton>(0);
    QRadioButton* two = f.Widget<QRadioButton>(1);
    QRadioButton* three = f.Widget<QRadioButton>(2);
    EXPECT_FALSE(one->autoExclusive());
    EXPECT_EQ(two->focusPolicy(), Qt::ClickFocus);  // only the checked button is a tab stop
    std::vector<std::string> clicks;
    f.viewer.SetOnObjectClick([&](TPageViewer*, TFormControlObj* c, const std::string&) { clicks.push_back(c->Value); });
    three->click();
    EXPECT_TRUE(three->isChecked());
    EXPECT_FALSE(one->isChecked());
    EXPECT_EQ(three->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(one->focusPolicy(), Qt::ClickFocus);
    three->click();  // a click never unchecks a radio button
    EXPECT_TRUE(three->isChecked());
    QApplication::processEvents();  // the click handler runs once the click is done
    EXPECT_EQ(clicks, (std::vector<std::string>{"3", "3"}));
    // Arrows move within the group; other keys go on.
    FormViewer::Key(three, Qt::Key_Down);
    EXPECT_TRUE(one->isChecked());
    FormViewer::Key(one, Qt::Key_Left);
    EXPECT_TRUE(three->isChecked());
    // While Tab is down a state change is ignored.
    FormViewer::Key(two, Qt::Key_Tab);
    f.Control<TRadioButtonFormControlObj>(1).SetChecked(true);
    EXPECT_FALSE(two->isChecked());
    FormViewer::Key(two, Qt::Key_Tab, QEvent::KeyRelease);
    f.Control<TRadioButtonFormControlObj>(1).SetChecked(true);
    EXPECT_TRUE(two->isChecked());
}

TEST(FormControls, MultipleListShowsItsSelectedRunsAndSubmitsWhatTheUserLeaves)
{
    // The selection reaches the list in runs of rows at once; the user's changes come back.
    FormViewer f;
    f.Load("<form><select name=s multiple size=6><option selected>a<option selected>b<option>c"
           "<option selected>d<option>e<option selected>f</select></form>");
    auto* list = f.Widget<QListWidget>(0);
    ASSERT_NE(list, nullptr);
    std::vector<std::string> shown;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected())
            shown.push_back(list->item(i)->text().toStdString());
    EXPECT_EQ(shown, (std::vector<std::string>{"a", "b", "d", "f"}));
    list->item(1)->setSelected(false);
    list->item(4)->setSelected(true);
    EXPECT_EQ(f.Doc().FormList[0]->GetFormSubmission(), (std::vector<std::string>{"s=a", "s=d", "s=e", "s=f"}));
    f.Doc().FormList[0]->ResetControls();
    EXPECT_TRUE(list->item(1)->isSelected());
    EXPECT_FALSE(list->item(4)->isSelected());
}

TEST(FormControls, ControlsOfManyFormsLeaveWithTheirPage)
{
    // Thousands of forms whose window controls were made and dropped before the event loop ran:
    // every window control goes.
    FormViewer f;
    f.Load("<p>leer");
    QWidget* surface = f.Doc().Host().DrawingSurface();
    ASSERT_NE(surface, nullptr);
    const auto before = surface->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size();
    std::string html;
    for (int i = 0; i < 3000; ++i)
        html += "<form><input type=checkbox name=c" + std::to_string(i) + " checked></form>";
    f.viewer.LoadDocumentString(html);
    EXPECT_EQ(f.Doc().FormList.size(), 3000u);
    for (TFormControlObj* control : f.Doc().FormControlList)
        control->GetWinControl();
    EXPECT_GE(surface->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), before + 3000);
    f.viewer.LoadDocumentString("<p>wieder leer");
    EXPECT_EQ(surface->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), before);
    EXPECT_TRUE(f.Doc().FormControlList.empty());
}

TEST(FormControls, ImageInputGivesThePointOncePerClick)
{
    TempFolder folder;
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(QString::fromStdString(folder.Folder() + "knopf.png")));
    FormViewer f;
    f.viewer.LoadDocumentString("<form><input name=a value=1><input type=image name=pos src=knopf.png></form>",
                                folder.Folder() + "seite.htm");
    f.Paint();
    const TImageObj* image = f.Control<TImageFormControlObj>(1).Image;
    ASSERT_NE(image, nullptr);
    const int x = image->DrawX + 5, y = image->DrawYY + 3;
    f.viewer.PanelMouseDown(Qt::LeftButton, Qt::NoModifier, x, y);
    f.viewer.PanelMouseUp(Qt::LeftButton, Qt::NoModifier, x, y);
    f.Deliver();
    ASSERT_EQ(f.Submissions.size(), 1u);
    EXPECT_EQ(f.Submissions[0], (std::vector<std::string>{"a=1", "pos.x=5", "pos.y=3"}));
    FormViewer::Key(f.Widget<QLineEdit>(0), Qt::Key_Enter);
    f.Deliver();
    EXPECT_EQ(f.Submissions.back(), std::vector<std::string>{"a=1"});
}

// A submit button without VALUE shows the caption "Submit" but sends its name with an empty value,
// as it has no value of its own (browsers do the same).
TEST(FormControls, SubmitButtonWithoutValueSendsAnEmptyValue)
{
    FormViewer f;
    f.Load("<form action=senden.cgi><input name=n value=x><input type=submit name=los></form>");
    EXPECT_EQ(f.Widget<QPushButton>(1)->text(), "Submit");
    f.Widget<QPushButton>(1)->click();
    f.Deliver();
    ASSERT_EQ(f.Submissions.size(), 1u);
    EXPECT_EQ(f.Submissions[0], (std::vector<std::string>{"n=x", "los="}));
}

TEST(FormControls, HistoryBackRestoresTypedValues)
{
    TempFolder folder;
    const std::string a = folder.Folder() + "a.htm", b = folder.Folder() + "b.htm";
    std::ofstream(a) << "<form><input name=n value=leer><input type=checkbox name=c><select name=s>"
                        "<option>x<option>y</select></form>";
    std::ofstream(b) << "<p>andere Seite";
    FormViewer f;
    f.viewer.SetHistoryMaxCount(5);
    f.viewer.LoadDocumentFile(a);
    f.Widget<QLineEdit>(0)->setText(QStringLiteral("getippt"));
    f.Widget<QCheckBox>(1)->click();
    f.Control<TComboFormControlObj>(2).SetItemIndex(1);
    f.viewer.LoadDocumentFile(b);
    EXPECT_TRUE(f.Doc().FormControlList.empty());
    f.viewer.SetHistoryIndex(1);
    ASSERT_EQ(f.Doc().FormControlList.size(), 3u);
    EXPECT_EQ(f.Widget<QLineEdit>(0)->text(), "getippt");
    EXPECT_TRUE(f.Widget<QCheckBox>(1)->isChecked());
    EXPECT_EQ(f.Control<TComboFormControlObj>(2).ItemIndex, 1);
}

TEST(FormControls, FocusBlurAndChangeEvents)
{
    FormViewer f;
    f.Load("<input name=e value=a onfocus=\"an()\" onblur=\"ab()\" onchange=\"neu()\"><input name=still>");
    std::vector<std::string> events;
    auto record = [&](const char* kind) {
        return [&events, kind](TPageViewer*, TFormControlObj* c, const std::string& script) {
            events.push_back(std::string(kind) + " " + c->Name + " " + script);
        };
    };
    f.viewer.SetOnObjectFocus(record("focus"));
    f.viewer.SetOnObjectBlur(record("blur"));
    f.viewer.SetOnObjectChange(record("change"));
    QLineEdit* edit = f.Widget<QLineEdit>(0);
    FormViewer::Focus(edit, true);
    FormViewer::Focus(edit, false);  // nothing changed: no change event
    FormViewer::Focus(edit, true);
    edit->setText(QStringLiteral("b"));
    FormViewer::Focus(edit, false);
    FormViewer::Focus(f.Widget<QLineEdit>(1), true);  // no scripts: no events
    QApplication::processEvents();                      // the handlers run once the events are done
    EXPECT_EQ(events, (std::vector<std::string>{"focus e an()", "blur e ab()", "focus e an()", "change e neu()",
                                                "blur e ab()"}));
}

// A control's focus, blur, change or click handler may load another page, which frees the control
// and the one the focus goes to. Called from inside Qt's focus change or click, Qt went on with
// the freed widgets (Tab after a blur that loaded a page crashed): the handlers run once the event
// that caused them is done, and a handler fired for a control of a page gone by then does not run.
TEST(FormControls, AHandlerMayLoadAnotherPage)
{
    FormViewer f;
    bool inEvent = false;  // while Qt delivers the Tab or the click
    std::vector<std::string> ran;
    auto loadPage = [&](const char* kind) {
        return [&, kind](TPageViewer* viewer, TFormControlObj* control, const std::string&) {
            EXPECT_FALSE(inEvent) << kind;
            ran.push_back(kind + (" " + control->Name));
            viewer->LoadDocumentString("<p>neu</p>");
        };
    };
    f.viewer.SetOnObjectFocus(loadPage("focus"));
    f.viewer.SetOnObjectBlur(loadPage("blur"));
    f.viewer.SetOnObjectChange(loadPage("change"));
    f.viewer.SetOnObjectClick(loadPage("click"));
    // Tab from the first edit to the second; true when the page was replaced.
    auto tabAway = [&](const std::string& page, const QString& typed) {
        f.Load(page);
        f.viewer.activateWindow();
        QApplication::processEvents();
        QLineEdit* first = f.Widget<QLineEdit>(0);
        first->setFocus();
        QApplication::processEvents();
        if (!typed.isEmpty())
            first->setText(typed);
        inEvent = true;
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QApplication::sendEvent(first, &tab);
        inEvent = false;
        QApplication::processEvents();
        return f.Doc().FormControlList.empty();
    };

    EXPECT_TRUE(tabAway("<input name=a onblur=weg()><input name=b onfocus=an()>", {}));
    EXPECT_EQ(ran, std::vector<std::string>{"blur a"});  // b went with the page before its turn
    ran.clear();
    EXPECT_TRUE(tabAway("<input name=a><input name=b onfocus=an()>", {}));
    EXPECT_EQ(ran, std::vector<std::string>{"focus b"});
    ran.clear();
    EXPECT_TRUE(tabAway("<input name=a onchange=neu()><input name=b>", QStringLiteral("anders")));
    EXPECT_EQ(ran, std::vector<std::string>{"change a"});
    ran.clear();

    f.Load("<input type=button name=los value=Los onclick=los()>");
    inEvent = true;
    f.Widget<QPushButton>(0)->click();
    inEvent = false;
    QApplication::processEvents();
    EXPECT_EQ(ran, std::vector<std::string>{"click los"});
    EXPECT_TRUE(f.Doc().FormControlList.empty());
}

TEST(FormControls, FileBrowsePutsTheChosenFileIntoTheEdit)
{
    FormViewer f;
    f.Load("<form><input type=file name=datei value=alt.txt></form>");
    std::string asked;
    f.viewer.SetOnFileBrowse([&](TPageViewer*, TFormControlObj*, std::string& file) {
        asked = file;
        file = "/daten/neu.csv";
    });
    QPushButton* browse = f.Widget<QPushButton>(1);
    ASSERT_NE(browse, nullptr);
    EXPECT_EQ(browse->text(), "Browse...");
    browse->click();
    f.Deliver();
    EXPECT_EQ(asked, "alt.txt");
    EXPECT_EQ(f.Widget<QLineEdit>(0)->text(), "/daten/neu.csv");
    // Edit and button stay on one line.
    EXPECT_EQ(f.Control<TFormControlObj>(0).YValue, f.Control<TFormControlObj>(1).YValue);
}

TEST(FormControls, FrameViewerHandsItsHandlersToEveryFrame)
{
    TempFolder folder;
    const std::string top = folder.Folder() + "rahmen.htm";
    std::ofstream(top) << "<frameset cols=\"50%,50%\"><frame name=links src=l.htm><frame name=rechts src=r.htm></frameset>";
    std::ofstream(folder.Folder() + "l.htm") << "<p>links";
    std::ofstream(folder.Folder() + "r.htm") << "<form action=r.cgi><input type=file name=f>"
                                                "<input type=submit name=s value=Los></form>";
    App();
    TFrameViewer frames;
    frames.resize(600, 300);
    TPageViewer* browsedIn = nullptr;
    frames.SetOnFileBrowse([&](TPageViewer* sender, TFormControlObj*, std::string& file) {
        browsedIn = sender;
        file = "gewaehlt.txt";
    });
    frames.LoadFromFile(top);
    std::vector<std::string> submitted;
    frames.SetOnFormSubmit([&](TPageViewer*, const std::string&, const std::string&, const std::string&,
                               const std::string&, const std::vector<std::string>& lines) { submitted = lines; });
    TPageViewer* right = frames.GetViewerFromName("rechts");
    ASSERT_NE(right, nullptr);
    auto& doc = static_cast<TSectionListDocument&>(right->Document()).Sections();
    qobject_cast<QPushButton*>(doc.FormControlList[1]->GetWinControl())->click();
    FormViewer::Deliver();
    EXPECT_EQ(browsedIn, right);
    qobject_cast<QPushButton*>(doc.FormControlList[2]->GetWinControl())->click();
    FormViewer::Deliver();
    EXPECT_EQ(submitted, (std::vector<std::string>{"f=gewaehlt.txt", "s=Los"}));
}

// ---------------------------------------------------------------------------------------------
// Tab order

// The widgets that take the focus by Tab after `from`, in the order Tab reaches them, among `ours`.
std::vector<QWidget*> TabChain(QWidget* from, const std::set<QWidget*>& ours)
{
    std::vector<QWidget*> chain{from};
    for (QWidget* w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain())
        if (ours.count(w) && (w->focusPolicy() & Qt::TabFocus))
            chain.push_back(w);
    return chain;
}

TEST(TabOrder, TabIndexComesFirstInSortedOrder)
{
    FormViewer f;
    f.Load("<input name=ohne><a href=\"#z\" tabindex=2>Link</a> <input name=eins tabindex=1>"
           "<input name=zwei tabindex=2><a href=\"#z\">auch ohne</a>");
    QWidget* none = f.Control<TFormControlObj>(0).GetWinControl();
    QWidget* one = f.Control<TFormControlObj>(1).GetWinControl();
    QWidget* two = f.Control<TFormControlObj>(2).GetWinControl();
    ASSERT_EQ(f.Doc().LinkList.size(), 2u);
    QWidget* link = f.Doc().LinkList[0]->TabControl()->FocusWidget();
    QWidget* plainLink = f.Doc().LinkList[1]->TabControl()->FocusWidget();
    ASSERT_TRUE(none && one && two && link && plainLink);
    EXPECT_EQ(link->size(), QSize(1, 1));
    EXPECT_EQ(link->x(), -4000);
    EXPECT_EQ(TabChain(one, {none, one, two, link, plainLink}), (std::vector<QWidget*>{one, link, two, none, plainLink}));
    EXPECT_EQ(f.Control<TFormControlObj>(1).TabOrder, 0);
    EXPECT_EQ(f.Doc().LinkList[0]->TabControl()->TabOrder, 1);
    EXPECT_EQ(f.Control<TFormControlObj>(2).TabOrder, 2);
    // A new document numbers from 0 again.
    f.Load("<input tabindex=7><input tabindex=3>");
    EXPECT_EQ(f.Control<TFormControlObj>(1).TabOrder, 0);
    EXPECT_EQ(f.Control<TFormControlObj>(0).TabOrder, 1);
}

TEST(TabOrder, FocusedLinkShowsItAndEnterFollowsIt)
{
    FormViewer f;
    std::string page = "<p><a href=\"ziel.htm\">Weiter</a>";
    for (int i = 0; i < 60; ++i)
        page += "<br>Zeile";
    page += "<br><a href=\"unten.htm\">Unten</a>";
    f.Load(page);
    std::vector<std::string> followed;
    f.viewer.OnHotSpotClick = [&](TPageViewer*, const std::string& url, bool& handled) {
        followed.push_back(url);
        handled = true;
    };
    TLinkFocusControl* lower = f.Doc().LinkList[1]->TabControl();
    FormViewer::Focus(lower->FocusWidget(), true);
    EXPECT_TRUE(f.Doc().LinkList[1]->Active);
    EXPECT_GT(f.viewer.VScrollBarPosition(), 0);  // the link came into view
    FormViewer::Key(lower->FocusWidget(), Qt::Key_Return);
    EXPECT_TRUE(followed.empty());  // followed from the viewer's queue
    QApplication::processEvents();
    EXPECT_EQ(followed, std::vector<std::string>{"unten.htm"});
    FormViewer::Focus(lower->FocusWidget(), false);
    EXPECT_FALSE(f.Doc().LinkList[1]->Active);
}

// Controls far out of view are hidden, and Qt's Tab passes hidden widgets by: Tab and Shift+Tab
// still go to them, an arrow key still moves to a radio button of the group far below, and the
// control reached comes into view. The focused control scrolled out of view keeps the focus.
TEST(TabOrder, TabAndArrowsReachControlsOutOfView)
{
    FormViewer f;
    std::string gap;
    for (int i = 0; i < 60; ++i)
        gap += "<br>Zeile";
    f.Load("<form><input name=oben>" + gap + "<br><input name=unten>" + gap +
           "<br><input type=radio name=r value=1 checked>" + gap + "<br><input type=radio name=r value=2></form>");
    f.viewer.activateWindow();
    QApplication::processEvents();
    QWidget* top = f.Widget<QLineEdit>(0);
    QWidget* bottom = f.Widget<QLineEdit>(1);
    top->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), top);
    ASSERT_TRUE(bottom->isHidden());

    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(top, &tab);
    FormViewer::Key(bottom, Qt::Key_Tab, QEvent::KeyRelease);
    EXPECT_EQ(QApplication::focusWidget(), bottom);
    f.Paint();
    EXPECT_GE(bottom->x(), 0);
    EXPECT_TRUE(top->isHidden());
    QKeyEvent backTab(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
    QApplication::sendEvent(bottom, &backTab);
    FormViewer::Key(top, Qt::Key_Backtab, QEvent::KeyRelease);
    EXPECT_EQ(QApplication::focusWidget(), top);
    f.Paint();
    EXPECT_GE(top->x(), 0);

    QWidget* first = f.Widget<QRadioButton>(2);
    QWidget* second = f.Widget<QRadioButton>(3);
    f.Control<TFormControlObj>(2).TakeFocus();
    f.Paint();
    ASSERT_EQ(QApplication::focusWidget(), first);
    EXPECT_GE(first->x(), 0);
    ASSERT_TRUE(second->isHidden());
    FormViewer::Key(first, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), second);
    EXPECT_TRUE(f.Control<TRadioButtonFormControlObj>(3).Checked);
    f.Paint();
    EXPECT_GE(second->x(), 0);

    // Scrolled away from the focused control: it stays shown, off-screen, with the focus.
    f.viewer.SetVScrollBarPosition(0);
    f.Paint();
    EXPECT_EQ(QApplication::focusWidget(), second);
    EXPECT_FALSE(second->isHidden());
    EXPECT_EQ(second->x(), -4000);
}

// Of a long page only the controls a paint placed have window controls (and the first and last
// stop, where Tab enters from elsewhere). Tab makes the control it goes to, showing the value its
// object kept, and passes a disabled control and a radio button that is not its group's stop;
// Shift+Tab from outside the page enters at its last stop.
TEST(TabOrder, TabMakesTheControlItGoesTo)
{
    FormViewer f;
    std::string gap;
    for (int i = 0; i < 60; ++i)
        gap += "<br>Zeile";
    f.Load("<form><input name=oben>" + gap + "<br><input name=mitte>" + gap + "<br><input name=aus disabled>" + gap +
           "<br><input type=radio name=r value=1><input type=radio name=r value=2 checked>" + gap +
           "<br><input name=unten></form>");
    f.viewer.activateWindow();
    QApplication::processEvents();
    const auto made = [&] {
        std::vector<int> out;
        for (std::size_t i = 0; i < f.Doc().FormControlList.size(); ++i)
            if (f.Doc().FormControlList[i]->FocusWidget())
                out.push_back(static_cast<int>(i));
        return out;
    };
    // The control (by its place in the form) the focus is on after a Tab or Shift+Tab; -1 for none.
    const auto tab = [&](bool forward) {
        const auto key = forward ? Qt::Key_Tab : Qt::Key_Backtab;
        const auto modifiers = forward ? Qt::NoModifier : Qt::ShiftModifier;
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers);
        QApplication::sendEvent(QApplication::focusWidget(), &release);
        f.Paint();
        for (std::size_t i = 0; i < f.Doc().FormControlList.size(); ++i)
            if (QWidget* w = f.Doc().FormControlList[i]->FocusWidget(); w && w == QApplication::focusWidget())
                return static_cast<int>(i);
        return -1;
    };
    EXPECT_EQ(made(), (std::vector<int>{0, 5}));
    f.Control<TEditFormControlObj>(1).SetText(u"gemerkt");

    f.viewer.setFocus();
    ASSERT_EQ(QApplication::focusWidget(), &f.viewer);
    EXPECT_EQ(tab(true), 0);
    EXPECT_EQ(tab(true), 1);
    EXPECT_EQ(f.Widget<QLineEdit>(1)->text(), "gemerkt");
    EXPECT_EQ(tab(true), 4);
    EXPECT_EQ(tab(true), 5);
    EXPECT_EQ(made(), (std::vector<int>{0, 1, 3, 4, 5}));  // the first button stands beside the second
    EXPECT_EQ(tab(false), 4);
    EXPECT_EQ(tab(false), 1);

    f.viewer.setFocus();
    EXPECT_EQ(tab(false), 5);
}

}  // namespace
}  // namespace velmoran
