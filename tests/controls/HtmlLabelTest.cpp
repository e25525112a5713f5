// The HTML label offscreen, measured with the test font (8 points: lines 11 high, characters 5
// wide): automatic sizing outside painting, vertical placement, bevels and border, hover with
// the hand cursor and the repaint when the mouse leaves, anchors to the shell and to
// OnAnchorClick, the label's own click, the anchor hint, the text list.
#include "ControlsTestSupport.h"

#include "controls/HtmlLabel.h"
#include "platform/Cursors.h"
#include "platform/HintPlacement.h"
#include "platform/RecordingCanvas.h"
#include "platform/Shell.h"
#include "tests/support/TempFolder.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QToolTip>

#include <memory>

using namespace velmoran;

namespace {

class HtmlLabel : public velmoran::testing::ControlsTest {
protected:
    HtmlLabel()
    {
        label_ = std::make_unique<THtmlLabel>();
        label_->resize(200, 50);
    }

    std::vector<std::string> TextOuts()
    {
        RecordingCanvas canvas(engine_);
        label_->PaintTo(canvas);
        std::vector<std::string> texts;
        for (const std::string& call : canvas.Calls())
            if (call.rfind("TextOut", 0) == 0)
                texts.push_back(call);
        return texts;
    }

    std::unique_ptr<THtmlLabel> label_;
};

using Texts = std::vector<std::string>;

}  // namespace

TEST_F(HtmlLabel, AutoSizingHappensOutsidePainting)
{
    label_->SetAutoSizing(true);
    label_->SetHTMLText("eins<BR>zwei<BR>drei");
    EXPECT_EQ(label_->height(), 3 * 11 + 6);
    label_->grab();
    label_->grab();
    EXPECT_EQ(label_->height(), 39);
    label_->SetHTMLText("eins");
    EXPECT_EQ(label_->height(), 17);
    // A narrower label wraps, and grows.
    label_->resize(30, 17);
    label_->SetHTMLText("eins zwei");
    EXPECT_EQ(label_->height(), 2 * 11 + 6);
    // Sideways: the width follows the caption.
    label_->SetAutoSizeType(TAutoSizeType::asHorizontal);
    label_->SetHTMLText("abcd");
    EXPECT_EQ(label_->width(), 4 * 5 + 6);
    EXPECT_EQ(label_->height(), 28);
    // Aligned to the top, the width is the parent's: only the height follows.
    label_->SetAutoSizeType(TAutoSizeType::asBoth);
    label_->SetAlign(TAlign::alTop);
    label_->SetHTMLText("abcdefgh");
    EXPECT_EQ(label_->width(), 26);
    EXPECT_EQ(label_->height(), 17);
    // A bigger font sizes anew.
    TFont font;
    font.Size = 16;
    label_->SetFont(font);
    EXPECT_EQ(label_->height(), 21 + 6);
}

TEST_F(HtmlLabel, VerticalPlacement)
{
    label_->SetHTMLText("x");
    EXPECT_EQ(TextOuts(), (Texts{"TextOut 1,0 'x'"}));
    label_->SetVAlignment(TVAlignment::tvaCenter);
    EXPECT_EQ(TextOuts(), (Texts{"TextOut 1,19 'x'"}));
    label_->SetVAlignment(TVAlignment::tvaBottom);
    EXPECT_EQ(TextOuts(), (Texts{"TextOut 1,39 'x'"}));
    // A caption taller than the label is drawn from the top.
    label_->SetHTMLText("1<BR>2<BR>3<BR>4<BR>5");
    EXPECT_EQ(TextOuts().front(), "TextOut 1,0 '1'");
}

TEST_F(HtmlLabel, BevelsAndBorderShrinkTheTextRectangle)
{
    label_->SetHTMLText("x");
    label_->SetBevelOuter(TBevelCut::bvLowered);
    label_->SetBevelWidth(2);
    label_->SetBorderWidth(3);
    label_->SetBorderStyle(TBorderStyle::bsSingle);
    EXPECT_EQ(label_->TextRect(), (TRect{10, 10, 190, 40}));
    EXPECT_EQ(TextOuts(), (Texts{"TextOut 11,10 'x'"}));
    label_->SetBorderStyle(TBorderStyle::bsNone);
    label_->SetBevelInner(TBevelCut::bvRaised);
    EXPECT_EQ(label_->TextRect(), (TRect{9, 9, 191, 41}));
    // The lowered outer bevel: shadow at the top left, highlight at the bottom right.
    const QImage image = label_->grab().toImage();
    EXPECT_EQ(image.pixel(0, 10), 0xFF808080u);
    EXPECT_EQ(image.pixel(199, 10), 0xFFFFFFFFu);
    // A single border is drawn black in its width; of width 0 it is not drawn.
    label_->SetBevelOuter(TBevelCut::bvNone);
    label_->SetBevelInner(TBevelCut::bvNone);
    label_->SetBorderStyle(TBorderStyle::bsSingle);
    label_->SetBorderWidth(1);
    EXPECT_EQ(label_->grab().toImage().pixel(0, 25), 0xFF000000u);
    label_->SetBorderWidth(0);
    const QImage borderless = label_->grab().toImage();
    EXPECT_EQ(borderless.pixel(0, 25), borderless.pixel(100, 25));
    EXPECT_EQ(borderless.pixel(199, 49), borderless.pixel(100, 25));
}

TEST_F(HtmlLabel, HoverShowsTheHandAndTellsEnterAndExit)
{
    label_->SetHTMLText("<A HREF=\"page1\">Link</A> und Text");
    label_->SetHover(true);
    std::vector<std::string> events;
    label_->OnAnchorEnter = [&](QWidget*, const std::string& a) { events.push_back("enter " + a); };
    label_->OnAnchorExit = [&](QWidget*, const std::string& a) { events.push_back("exit " + a); };
    Mouse(label_.get(), QEvent::MouseMove, 3, 5);
    EXPECT_EQ(label_->HoveredAnchor(), 1);
    EXPECT_EQ(label_->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(label_->cursor().hotSpot(), ViewerCursor(TViewerCursor::Hand).hotSpot());
    Mouse(label_.get(), QEvent::MouseMove, 8, 6);  // the same anchor: nothing new
    Mouse(label_.get(), QEvent::MouseMove, 150, 5);
    EXPECT_EQ(label_->HoveredAnchor(), -1);
    EXPECT_EQ(label_->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(events, (std::vector<std::string>{"enter page1", "exit "}));
    // The hovered anchor is drawn in the hover colours.
    label_->SetHoverFontColor(0x0000FF);
    Mouse(label_.get(), QEvent::MouseMove, 3, 5);
    RecordingCanvas canvas(engine_);
    label_->PaintTo(canvas);
    std::string color;
    for (const std::string& line : canvas.Lines()) {
        if (line.rfind("TextColor ", 0) == 0)
            color = line;
        if (line == "TextOut 1,0 'Link'")
            break;
    }
    EXPECT_EQ(color, "TextColor #FF0000") << canvas.Text();

    // Away from the mouse the link takes the URL colour, also a new one.
    Mouse(label_.get(), QEvent::MouseMove, 150, 5);
    label_->SetURLColor(0x008000);
    canvas.Clear();
    label_->PaintTo(canvas);
    color.clear();
    for (const std::string& line : canvas.Lines()) {
        if (line.rfind("TextColor ", 0) == 0)
            color = line;
        if (line == "TextOut 1,0 'Link'")
            break;
    }
    EXPECT_EQ(color, "TextColor #008000") << canvas.Text();

    // Straight from one link onto the next: the next is entered too.
    label_->SetHTMLText("<A HREF=\"eins\">Eins</A><A HREF=\"zwei\">Zwei</A>");
    events.clear();
    Mouse(label_.get(), QEvent::MouseMove, 3, 5);
    Mouse(label_.get(), QEvent::MouseMove, 30, 5);
    EXPECT_EQ(label_->HoveredAnchor(), 2);
    EXPECT_EQ(events, (std::vector<std::string>{"enter eins", "enter zwei"}));
}

namespace {

// Gathers the regions its widget is painted in.
class PaintedRegion : public QObject {
public:
    QRegion region;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            region += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

}  // namespace

// The mouse leaving the label over a hovered link repaints the link, which is no longer hovered.
TEST_F(HtmlLabel, LeavingTheLabelRepaintsTheHoveredLink)
{
    label_->SetHTMLText("<A HREF=\"page1\">Link</A> und Text");
    label_->SetHover(true);
    label_->show();
    QCoreApplication::processEvents();
    Mouse(label_.get(), QEvent::MouseMove, 3, 5);
    QCoreApplication::processEvents();
    PaintedRegion painted;
    label_->installEventFilter(&painted);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(label_.get(), &leave);
    QCoreApplication::processEvents();
    EXPECT_EQ(label_->HoveredAnchor(), -1);
    EXPECT_TRUE(painted.region.contains(QPoint(3, 5)));
}

TEST_F(HtmlLabel, AddressesGoToTheShellOtherAnchorsToOnAnchorClick)
{
    RecordingShell shell;
    ScopedShell scope(shell);
    std::vector<std::string> clicked;
    label_->OnAnchorClick = [&](QWidget*, const std::string& a) { clicked.push_back(a); };
    label_->SetHTMLText("<A HREF=\"mailto:x\">Post</A> <A HREF=\"page1\">Seite</A>");
    Mouse(label_.get(), QEvent::MouseButtonPress, 3, 5);
    Mouse(label_.get(), QEvent::MouseButtonRelease, 3, 5);
    EXPECT_EQ(shell.Opened(), (std::vector<std::string>{"mailto:x"}));
    EXPECT_TRUE(clicked.empty());
    Mouse(label_.get(), QEvent::MouseButtonPress, 30, 5);
    EXPECT_EQ(clicked, (std::vector<std::string>{"page1"}));
    Mouse(label_.get(), QEvent::MouseButtonPress, 150, 5);
    EXPECT_EQ(clicked.size(), 1u);
    EXPECT_EQ(shell.Opened().size(), 1u);
    // The result pages' rule: an address with "://" of any other scheme opens nothing and is no
    // anchor of the program's own either.
    for (const char* address : {"file:///etc/passwd", "smb://host/x?mailto:", "seite.htm?a=http://x"}) {
        label_->SetHTMLText(std::string("<A HREF=\"") + address + "\">Link</A>");
        Mouse(label_.get(), QEvent::MouseButtonPress, 3, 5);
        EXPECT_EQ(shell.Opened().size(), 1u) << address;
        EXPECT_EQ(clicked.size(), 1u) << address;
    }
    // An href with any other scheme is a link of the program's own, for OnAnchorClick.
    for (const char* own : {"EDIT:VarQD", "foo:bar"}) {
        label_->SetHTMLText(std::string("<A HREF=\"") + own + "\">Link</A>");
        Mouse(label_.get(), QEvent::MouseButtonPress, 3, 5);
        EXPECT_EQ(clicked.back(), own);
    }
    EXPECT_EQ(clicked.size(), 3u);
    EXPECT_EQ(shell.Opened().size(), 1u);
    // The label's own click: a release of the left button inside it, not of the right one, and
    // not outside it; the mouse-up handler hears each release.
    int clicks = 0;
    std::vector<std::string> ups;
    label_->OnClick = [&](QWidget*) { ++clicks; };
    label_->OnMouseUp = [&](QWidget*, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        ups.push_back((button == Qt::LeftButton ? "left " : "right ") + std::to_string(x) + "," + std::to_string(y));
    };
    const auto release = [&](Qt::MouseButton button, QPoint at) {
        QMouseEvent event(QEvent::MouseButtonRelease, QPointF(at), label_->mapToGlobal(QPointF(at)), button,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(label_.get(), &event);
    };
    release(Qt::LeftButton, {150, 40});
    EXPECT_EQ(clicks, 1);
    release(Qt::RightButton, {150, 40});
    release(Qt::LeftButton, {250, 40});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ups, (std::vector<std::string>{"left 150,40", "right 150,40", "left 250,40"}));
}

// The hit test looks where the caption is drawn: a centred caption's anchor answers in the
// middle of the label, not at its top.
TEST_F(HtmlLabel, CentredAnchorsAreHitWhereTheyAreDrawn)
{
    std::vector<std::string> clicked;
    label_->OnAnchorClick = [&](QWidget*, const std::string& a) { clicked.push_back(a); };
    label_->SetHTMLText("<A HREF=\"mitte\">Link</A>");
    label_->SetVAlignment(TVAlignment::tvaCenter);
    Mouse(label_.get(), QEvent::MouseButtonPress, 5, 5);
    EXPECT_TRUE(clicked.empty());
    Mouse(label_.get(), QEvent::MouseButtonPress, 5, 24);
    EXPECT_EQ(clicked, (std::vector<std::string>{"mitte"}));
}

TEST_F(HtmlLabel, AnchorHintAndTextLists)
{
    label_->SetHTMLText("<A HREF=\"page1\">Link</A>");
    label_->AnchorHint = true;
    label_->OnAnchorHint = [](QWidget*, std::string& a) { a = "Gehe zu " + a; };
    label_->move(100, 100);
    label_->show();
    QHelpEvent help(QEvent::ToolTip, QPoint(3, 5), label_->mapToGlobal(QPoint(3, 5)));
    QApplication::sendEvent(label_.get(), &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Gehe zu page1"));
    // Its corner 10 pixels right of the pointer and 10 above it, not a cursor's height lower.
    ASSERT_NE(ShownHintWindow(), nullptr);
    EXPECT_EQ(ShownHintWindow()->pos(), help.globalPos() + QPoint(10, -10));
    QToolTip::hideText();
    // Over an anchor its hint shows instead of the window's tooltip, which still shows beside it.
    QWidget window;
    window.setToolTip(QStringLiteral("Fensterhilfe"));
    label_->setParent(&window);
    window.show();
    QHelpEvent onAnchor(QEvent::ToolTip, QPoint(3, 5), label_->mapToGlobal(QPoint(3, 5)));
    QApplication::sendEvent(label_.get(), &onAnchor);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Gehe zu page1"));
    QToolTip::hideText();
    QHelpEvent beside(QEvent::ToolTip, QPoint(150, 40), label_->mapToGlobal(QPoint(150, 40)));
    QApplication::sendEvent(label_.get(), &beside);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Fensterhilfe"));
    QToolTip::hideText();
    label_->setParent(nullptr);

    label_->SetHTMLText(std::vector<std::string>{"a", "b"});
    EXPECT_EQ(label_->HTMLText(), "ab");
    EXPECT_EQ(label_->GetHTMLText(), "ab");
    label_->SetHTMLText("eins\r\nzwei");
    EXPECT_EQ(label_->HTMLText(), "einszwei");
}

TEST_F(HtmlLabel, ReferencesClearWhenTheirObjectsGo)
{
    auto images = std::make_unique<ImageList>(8, 8);
    auto container = std::make_unique<TPictureContainer>();
    label_->SetImages(images.get());
    label_->SetPictureContainer(container.get());
    images.reset();
    container.reset();
    EXPECT_EQ(label_->Images(), nullptr);
    EXPECT_EQ(label_->PictureContainer(), nullptr);
    label_->grab();
}

// A caption's "file://" picture is loaded into the label's cache; a new text empties the cache
// (the pictures are freed and the list with them), and the next paint loads the picture anew
// instead of reaching a freed one (under the address sanitizer).
TEST_F(HtmlLabel, NewTextEmptiesThePictureCache)
{
    velmoran::testing::TempFolder folder;
    QImage picture(6, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString(folder / "bild.bmp"), "BMP"));
    const std::string caption = "a<IMG SRC=\"file://" + (folder / "bild.bmp") + "\">b";
    label_->SetHTMLText(caption);
    label_->grab();
    ASSERT_EQ(label_->PictureCache().Count(), 1);
    EXPECT_EQ(label_->PictureCache().Items(0)->Width(), 6);
    label_->SetHTMLText(caption);
    EXPECT_EQ(label_->PictureCache().Count(), 0);
    label_->grab();
    ASSERT_EQ(label_->PictureCache().Count(), 1);
    EXPECT_EQ(label_->PictureCache().Items(0)->Width(), 6);
    // A file that is no picture shows nothing and raises nothing.
    velmoran::testing::TempFolder::Write(folder / "kaputt.gif", "GIF89a");
    label_->SetHTMLText("a<IMG SRC=\"file://" + (folder / "kaputt.gif") + "\">b");
    EXPECT_EQ(TextOuts(), (Texts{"TextOut 1,0 'a'", "TextOut 6,0 'b'"}));
}

// A caption picture takes its own size unless WIDTH and HEIGHT are both 1 or more: down to a
// single pixel it is stretched, and the text after it moves with its width.
TEST_F(HtmlLabel, PictureSizeFromItsAttributesDownToOnePixel)
{
    velmoran::testing::TempFolder folder;
    QImage picture(6, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(QString::fromStdString(folder / "bild.bmp"), "BMP"));
    const std::string source = "SRC=\"file://" + (folder / "bild.bmp") + "\">b";
    label_->SetHTMLText("a<IMG " + source);
    EXPECT_EQ(TextOuts(), (Texts{"TextOut 1,0 'a'", "TextOut 12,0 'b'"}));
    label_->SetHTMLText("a<IMG WIDTH=\"1\" HEIGHT=\"1\" " + source);
    EXPECT_EQ(TextOuts(), (Texts{"TextOut 1,0 'a'", "TextOut 7,0 'b'"}));
    label_->SetHTMLText("a<IMG WIDTH=\"20\" HEIGHT=\"0\" " + source);
    EXPECT_EQ(TextOuts(), (Texts{"TextOut 1,0 'a'", "TextOut 12,0 'b'"}));
    label_->SetHTMLText("a<IMG WIDTH=\"0\" HEIGHT=\"20\" " + source);
    EXPECT_EQ(TextOuts(), (Texts{"TextOut 1,0 'a'", "TextOut 12,0 'b'"}));
}
