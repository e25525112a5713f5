// The input frames; see VarFrame.h.
#include "framework/ui/VarFrame.h"

#include "platform/ImageList.h"
#include "platform/QtCanvas.h"
#include "platform/core/Text.h"

namespace velmoran {

std::string PlainFieldName(std::string_view html)
{
    std::string plain;
    for (std::size_t i = 0; i < html.size();) {
        if (html[i] != '<') {
            plain += html[i++];
            continue;
        }
        const std::size_t end = html.find('>', i);
        if (end == std::string_view::npos)
            break;
        const std::string tag = LowerCase(std::string(html.substr(i + 1, end - i - 1)));
        if (tag == "br")
            plain += ' ';
        else if (tag == "sub")
            plain += '_';
        i = end + 1;
    }
    std::string collapsed;
    for (const char c : Trim(plain))
        if (c != ' ' || collapsed.empty() || collapsed.back() != ' ')
            collapsed += c;
    return collapsed;
}

void TVarFrame::SetBezeichnung(const std::string& text)
{
    FBezeichnung->SetHTMLText(text);
    Edit->FieldName = PlainFieldName(text);
}

namespace {

constexpr ColorRef kNavy = RGBRef(0, 0, 128);
constexpr ColorRef kMaroon = RGBRef(128, 0, 0);
constexpr int kFrameWidth = 180;
constexpr int kLineHeight = 17;

TFont FrameFont(ColorRef color)
{
    TFont font;
    font.Bold = true;
    font.Color = color;
    return font;
}

// A caption or hint line across the frame, as the stored frame layouts set it.
THtmlLabel* MakeLine(QWidget* parent, const char* name, int top, ColorRef color)
{
    auto* label = new THtmlLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->SetFont(FrameFont(color));
    label->SetAlign(TAlign::alTop);
    label->SetAutoSizing(false);
    label->SetVAlignment(TVAlignment::tvaTop);
    label->SetShadowColor(clGray);
    label->SetShadowOffset(2);
    label->SetURLColor(clBlue);
    label->SetEllipsis(false);
    label->SetHover(false);
    label->SetTransparent(true);  // the page's colour shows through
    label->setGeometry(0, top, kFrameWidth, kLineHeight);
    return label;
}

}  // namespace

TVarFrame::TVarFrame(QWidget* parent, int height, int editTop, bool withHint) : QWidget(parent)
{
    resize(kFrameWidth, height);
    setFont(QtFontEngine::MakeQFont(FrameFont(SystemColor(COLOR_WINDOWTEXT)).Logical()));
    FBezeichnung = MakeLine(this, "FBezeichnung", 0, SystemColor(COLOR_WINDOWTEXT));
    if (withHint)
        FHinweis = MakeLine(this, "FHinweis", kLineHeight, kNavy);

    Edit = new TEditFloat(this);
    Edit->setObjectName(QStringLiteral("Edit"));
    Edit->setGeometry(62, editTop, 61, 17);

    FPrompt = new QLabel(this);
    FPrompt->setObjectName(QStringLiteral("FPrompt"));
    FPrompt->setGeometry(2, editTop, 58, 17);
    FPrompt->setTextFormat(Qt::PlainText);  // the prompt comes from the module description
    QPalette maroon = FPrompt->palette();
    maroon.setColor(QPalette::WindowText, QColor::fromRgb(ColorToQRgb(kMaroon)));
    FPrompt->setPalette(maroon);

    FEinheit = new THtmlLabel(this);
    FEinheit->setObjectName(QStringLiteral("FEinheit"));
    FEinheit->SetFont(FrameFont(SystemColor(COLOR_WINDOWTEXT)));
    FEinheit->SetTransparent(true);
    FEinheit->setGeometry(126, withHint ? editTop : editTop - 1, 50, 19);
    FEinheit->SetVAlignment(TVAlignment::tvaCenter);
    FEinheit->SetAutoSizeType(TAutoSizeType::asHorizontal);
    FEinheit->SetAutoSizing(true);
}

TVarFrame2::TVarFrame2(QWidget* parent) : TVarFrame(parent, 36, 18, false) {}

TVarFrame3::TVarFrame3(QWidget* parent) : TVarFrame(parent, 55, 35, true) {}

}  // namespace velmoran
