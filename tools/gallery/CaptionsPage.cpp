// The gallery page "captions": HTML labels with the input pages' frame descriptions and units
// (sub- and superscripts, line breaks), aligned paragraphs, a bulleted list, message lines with
// an anchor (one drawn as under the mouse, in the hover colours), and the design dialog's pair
// of radio buttons "Konzentrationen"/"Frachten" in the four looks: checked, unchecked, disabled
// and focused.
#include "GalleryPages.h"

#include "controls/HtmlLabel.h"
#include "controls/HtmlRadioButton.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPalette>

namespace velmoran::gallery {

namespace {

constexpr int kPageWidth = 780;
constexpr int kPageHeight = 560;

TFont BoldFont()
{
    TFont font;
    font.Bold = true;
    return font;
}

// A label sized to its caption downwards; returns the y below it.
int AddLabel(QWidget* page, int x, int y, int width, const std::string& text, const TFont& font = TFont())
{
    auto* label = new THtmlLabel(page);
    label->move(x, y);
    label->resize(width, 17);
    label->SetFont(font);
    label->SetAutoSizing(true);
    label->SetHTMLText(text);
    return y + label->height() + 2;
}

void AddPair(QWidget* page, int x, int y, TButtonType look, bool enabled, bool frachtenFocused,
             const QString& checkedName)
{
    auto* group = new QWidget(page);
    group->setGeometry(x, y, 250, 20);
    auto* konz = new THtmlRadioButton(group);
    auto* fracht = new THtmlRadioButton(group);
    konz->setGeometry(0, 0, 125, 20);
    fracht->setGeometry(125, 0, 125, 20);
    konz->SetCaption("Konzentrationen");
    fracht->SetCaption("Frachten");
    for (THtmlRadioButton* button : {konz, fracht}) {
        button->SetButtonType(look);
        button->setEnabled(enabled);
    }
    konz->SetChecked(true);
    if (!checkedName.isEmpty())
        konz->setObjectName(checkedName);
    if (frachtenFocused)
        fracht->setObjectName(QStringLiteral("focused"));
}

}  // namespace

std::unique_ptr<QWidget> MakeCaptionsPage()
{
    auto page = std::make_unique<QWidget>();
    page->setWindowTitle(QStringLiteral("Beschriftungen"));
    page->resize(kPageWidth, kPageHeight);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    page->setPalette(palette);
    page->setAutoFillBackground(true);
    QWidget* p = page.get();

    // The frame descriptions of the input pages, in the frames' bold font.
    int y = AddLabel(p, 10, 10, 250, "<U>Beschreibungen der Eingabewerte</U>", BoldFont());
    for (const char* text : {"Schlammtrockensubstanz TS<sub>BB</sub>",
                             "Ammonium-Ablaufkonzentration bei Spitzenlast S<sub>NH4,AN,Sp</sub>",
                             "Organ. Stickstoff im Ablauf<br>S<sub>org.N,AN</sub>",
                             "Nitrat-Ablaufkonzentration<br>S<sub>NO3,AN</sub> (Sollwert)",
                             "O<sub>2</sub> in interner Rückführung",
                             "Sauerstoffkonzentration<br>im belüfteten Volumen c<SUB>x</SUB>",
                             "Einblastiefe h<SUB>E</SUB>",
                             "Sauerstoffausnutzung in Reinwasser<br>bei mittlerer Belüfterbeaufschlagung"})
        y = AddLabel(p, 10, y + 4, 250, text, BoldFont());

    // Units, aligned paragraphs and a list.
    y = AddLabel(p, 280, 10, 230, "<U>Einheiten</U>", BoldFont());
    for (const char* text : {"Q<sub>D</sub> in m<sup>3</sup>/d", "TS<sub>BB</sub> in kg/m<sup>3</sup>",
                             "OC<sub>h</sub> in kg O<sub>2</sub>/h", "Q<sub>L,N</sub> in m<sup>3</sup>/h",
                             "S<sub>KS,AN</sub> in mmol/l"})
        y = AddLabel(p, 280, y + 2, 230, text);
    auto* paragraphs = new THtmlLabel(p);
    paragraphs->setGeometry(280, y + 8, 230, 17);
    paragraphs->SetBevelOuter(TBevelCut::bvLowered);
    paragraphs->SetColor(SystemColor(COLOR_WINDOW));
    paragraphs->SetAutoSizing(true);
    paragraphs->SetHTMLText("<P ALIGN=\"right\">Rechtsbündig:<BR>V<sub>BB</sub> = 4.520 m<sup>3</sup></P>"
                            "<P ALIGN=\"center\">Zentriert:<BR>t<sub>TS</sub> = 12,5 d</P>"
                            "<P ALIGN=\"left\">Und wieder links.");
    y = paragraphs->y() + paragraphs->height() + 8;
    AddLabel(p, 280, y, 230,
             "<B>Anlagenteile</B><BR><UL><LI>Belebungsbecken<LI>Nachklärbecken<UL><LI>Rücklaufschlamm</UL>"
             "<LI>Fällmittelstation</UL>");

    // Message lines: the anchor in the anchor colour, and one under the mouse in hover colours.
    y = AddLabel(p, 530, 10, 240, "<U>Meldungen</U>", BoldFont());
    auto* message = new THtmlLabel(p);
    message->setObjectName(QStringLiteral("message"));
    message->setGeometry(530, y + 2, 240, 17);
    message->SetAutoSizing(true);
    message->SetHTMLText("Die Belastung ist unvollständig. <A HREF=\"page2\">Zur Eingabe</A>");
    y = message->y() + message->height() + 4;
    auto* hover = new THtmlLabel(p);
    hover->setObjectName(QStringLiteral("hover"));
    hover->setGeometry(530, y, 240, 17);
    hover->SetAutoSizing(true);
    hover->SetHover(true);
    hover->SetHoverColor(0x00FFFF);
    hover->SetHoverFontColor(0x0000FF);
    hover->SetHTMLText("Weiter mit der <A HREF=\"page3\">Verfahrensspezifikation</A>");
    // As if the mouse stood on the anchor.
    QMouseEvent move(QEvent::MouseMove, QPointF(100, 6), hover->mapToGlobal(QPointF(100, 6)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(hover, &move);
    y = hover->y() + hover->height() + 4;
    AddLabel(p, 530, y, 240, "<SHAD>Schatten</SHAD>, <HI>hervorgehoben</HI>, <E>Fehlr</E>, <S>gestrichen</S>");

    // The input-mode pair in the four looks.
    y = 400;
    AddLabel(p, 10, y, 500, "<U>Eingabeart</U> (aktiv, <I>deaktiviert</I>)", BoldFont());
    struct Look {
        const char* Name;
        TButtonType Type;
    };
    const Look looks[] = {{"Klassisch", TButtonType::btClassic},
                          {"Quarnel", TButtonType::btQuarnel},
                          {"Flach", TButtonType::btFlat},
                          {"Tolvane", TButtonType::btTolvane}};
    y += 24;
    for (const Look& look : looks) {
        AddLabel(p, 10, y + 4, 80, look.Name);
        const bool classic = look.Type == TButtonType::btClassic;
        AddPair(p, 90, y, look.Type, true, look.Type == TButtonType::btQuarnel,
                classic ? QStringLiteral("classicChecked") : QString());
        AddPair(p, 370, y, look.Type, false, false, QString());
        y += 28;
    }
    return page;
}

}  // namespace velmoran::gallery
