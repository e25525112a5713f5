// Qt fonts and canvas; see QtCanvas.h.
#include "platform/QtCanvas.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <unordered_map>

namespace velmoran {

namespace {

struct Substitute {
    const char* Windows;
    const char* Liberation;
};
constexpr Substitute kSubstitutes[] = {
    {"arial", "Liberation Sans"},
    {"times new roman", "Liberation Serif"},
    {"courier new", "Liberation Mono"},
};

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return s;
}

}  // namespace

struct QtFontEngine::Cached {
    QFont Font;
    TextMetrics Metrics;
    std::unordered_map<char32_t, int> Advances;
};

QtFontEngine::QtFontEngine() = default;
QtFontEngine::~QtFontEngine() = default;

bool QtFontEngine::FontLess::operator()(const LogicalFont& a, const LogicalFont& b) const
{
    return std::tie(a.Face, a.Height, a.Weight, a.Italic, a.Underline, a.StrikeOut, a.Charset) <
           std::tie(b.Face, b.Height, b.Weight, b.Italic, b.Underline, b.StrikeOut, b.Charset);
}

std::string QtFontEngine::ResolveFace(const std::string& face)
{
    const std::string lower = Lower(face);
    for (const auto& s : kSubstitutes)
        if (lower == s.Windows)
            return s.Liberation;
    return face;
}

QFont QtFontEngine::MakeQFont(const LogicalFont& lf)
{
    QFont font(QString::fromStdString(ResolveFace(lf.Face.empty() ? "Arial" : lf.Face)));
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::NoSubpixelAntialias));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(lf.Weight, 1, 1000)));
    font.setItalic(lf.Italic);
    font.setUnderline(lf.Underline);
    font.setStrikeOut(lf.StrikeOut);
    int pixels = lf.Height < 0 ? -lf.Height : lf.Height;
    if (pixels == 0)
        pixels = 16;
    font.setPixelSize(pixels);
    if (lf.Height > 0) {
        // A cell height: scale so that ascent plus descent come to the height asked for.
        const QFontMetrics fm(font);
        const int cell = fm.ascent() + fm.descent();
        if (cell > 0)
            font.setPixelSize(std::max(1, static_cast<int>(std::lround(static_cast<double>(pixels) * pixels / cell))));
    }
    return font;
}

QtFontEngine::Cached& QtFontEngine::Lookup(const LogicalFont& lf)
{
    auto it = cache_.find(lf);
    if (it != cache_.end())
        return *it->second;
    auto c = std::make_unique<Cached>();
    c->Font = MakeQFont(lf);
    const QFontMetrics fm(c->Font);
    TextMetrics& m = c->Metrics;
    m.Ascent = fm.ascent();
    m.Descent = fm.descent();
    m.Height = m.Ascent + m.Descent;
    m.InternalLeading = std::max(0, m.Height - c->Font.pixelSize());
    m.ExternalLeading = std::max(0, fm.leading());
    m.AveCharWidth = fm.averageCharWidth();
    m.MaxCharWidth = fm.maxWidth();
    m.Charset = lf.Charset == kSymbolCharset ? kSymbolCharset : (lf.Charset == kDefaultCharset ? kAnsiCharset : lf.Charset);
    return *cache_.emplace(lf, std::move(c)).first->second;
}

TextMetrics QtFontEngine::Metrics(const LogicalFont& font)
{
    return Lookup(font).Metrics;
}

int QtFontEngine::CharAdvance(const LogicalFont& font, char32_t ch)
{
    Cached& c = Lookup(font);
    const auto it = c.Advances.find(ch);
    if (it != c.Advances.end())
        return it->second;
    const QFontMetrics fm(c.Font);
    const char32_t one[1] = {ch};
    const int advance = fm.horizontalAdvance(QString::fromUcs4(one, 1));
    c.Advances.emplace(ch, advance);
    return advance;
}

std::vector<std::string> QtFontEngine::Families()
{
    std::vector<std::string> families;
    bool liberation[3] = {false, false, false};
    for (const QString& f : QFontDatabase::families()) {
        families.push_back(f.toStdString());
        for (int i = 0; i < 3; ++i)
            if (f.compare(QString::fromLatin1(kSubstitutes[i].Liberation), Qt::CaseInsensitive) == 0)
                liberation[i] = true;
    }
    const char* windowsNames[3] = {"Arial", "Times New Roman", "Courier New"};
    for (int i = 0; i < 3; ++i) {
        const bool present = std::any_of(families.begin(), families.end(),
                                         [&](const std::string& f) { return Lower(f) == kSubstitutes[i].Windows; });
        if (liberation[i] && !present)
            families.push_back(windowsNames[i]);
    }
    return families;
}

QtCanvas::QtCanvas(QPainter* painter) : Canvas(ScreenFonts()), painter_(painter)
{
}

void QtCanvas::SetFont(const LogicalFont& font)
{
    Canvas::SetFont(font);
    if (painter_)
        painter_->setFont(QtFontEngine::MakeQFont(font));
}

}  // namespace velmoran
