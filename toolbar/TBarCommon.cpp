// The shared toolbar helpers; see TBarCommon.h.
#include "toolbar/TBarCommon.h"

#include "platform/CanvasText.h"
#include "platform/Sounds.h"
#include "platform/core/CodePage.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QString>
#include <QWidget>

namespace velmoran {

std::string StripAccelChars(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        else if (text[i] == '&')
            continue;
        result += text[i];
    }
    return result;
}

std::string EscapeAmpersands(std::string_view text)
{
    std::string result;
    for (char ch : text) {
        result += ch;
        if (ch == '&')
            result += '&';
    }
    return result;
}

std::string StripTrailingPunctuation(std::string_view text)
{
    if (text.ends_with("..."))
        text.remove_suffix(3);
    else if (text.ends_with(':'))
        text.remove_suffix(1);
    return std::string(text);
}

char32_t GetAccelChar(std::string_view text)
{
    char32_t accel = 0;
    const QString wide = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const std::u32string chars = wide.toStdU32String();
    for (std::size_t i = 0; i < chars.size(); ++i) {
        if (chars[i] != U'&')
            continue;
        ++i;
        if (i < chars.size() && chars[i] != U'&')
            accel = chars[i];
    }
    return accel;
}

char32_t CharLowerOf(char32_t ch)
{
    return QChar::toLower(ch);
}

int GetTextWidth(const Canvas& canvas, std::string_view text, bool stripAccels)
{
    const std::string shown = stripAccels ? StripAccelChars(text) : std::string(text);
    return canvas.TextExtent(Utf8ToWide(shown)).cx;
}

int DrawTextOf(Canvas& canvas, std::string_view text, TRect& rect, unsigned flags)
{
    return DrawText(canvas, Utf8ToWide(text), rect, flags);
}

LogicalFont RotatedFontOf(const LogicalFont& font)
{
    LogicalFont rotated = font;
    rotated.Escapement = 2700;
    return rotated;
}

namespace {

// Where the accelerator lies in the stripped text: the stripped text before it, and the
// accelerator character itself (empty when there is none).
std::pair<std::string, std::string> AccelSplit(std::string_view text)
{
    std::string before;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            before += text[i];
            continue;
        }
        ++i;
        if (i >= text.size())
            break;
        if (text[i] == '&') {
            before += '&';
            continue;
        }
        std::size_t length = 1;
        while (i + length < text.size() && (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
            ++length;
        return {before, std::string(text.substr(i, length))};
    }
    return {before, {}};
}

}  // namespace

void DrawRotatedText(Canvas& canvas, std::string_view text, const TRect& rect, unsigned format)
{
    const LogicalFont saved = canvas.Font();
    canvas.SetFont(RotatedFontOf(saved));
    const std::u16string shown = Utf8ToWide(StripAccelChars(text));
    const TextMetrics metrics = canvas.GetTextMetrics();
    const int x = rect.Left + (rect.Width() - metrics.Height) / 2;
    const int y = rect.Top + (rect.Height() - canvas.TextExtent(shown).cx) / 2;
    const unsigned align = canvas.SetTextAlign(TA_BOTTOM);
    canvas.TextOut(x, y, shown);
    canvas.SetTextAlign(align);
    if ((format & DT_HIDEPREFIX) == 0) {
        const auto [before, accel] = AccelSplit(text);
        if (!accel.empty()) {
            const int start = y + canvas.TextExtent(Utf8ToWide(before)).cx;
            const int end = start + canvas.TextExtent(Utf8ToWide(accel)).cx;
            const int lineX = x + metrics.Descent - 2;
            canvas.FillRect(TRect{lineX, start, lineX + 1, end}, canvas.GetTextColor());
        }
    }
    canvas.SetFont(saved);
}

void DrawGlyphRows(Canvas& canvas, std::initializer_list<std::uint8_t> rows, int width, int x, int y, ColorRef color)
{
    int row = 0;
    for (std::uint8_t bits : rows) {
        for (int column = 0; column < width && column < 8; ++column)
            if (bits & (0x80 >> column))
                canvas.FillRect(TRect{x + column, y + row, x + column + 1, y + row + 1}, color);
        ++row;
    }
}

bool NeedToPlaySound(std::string_view alias)
{
    // There is no per-event sound scheme here: the desktop's input-feedback switch decides for both.
    return Sounds().Wanted(alias);
}

void PlayMenuSound(std::string_view alias)
{
    Sounds().Play(alias);
}

void ProcessPaintMessages()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

void PrintWindowTo(QWidget& widget, QPainter& painter)
{
    widget.render(&painter);
}

}  // namespace velmoran
