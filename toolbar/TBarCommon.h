// The helpers the item tree, the views, the popups and the toolbars share: captions and their
// accelerators, text drawing (also turned for vertical toolbars), the small glyphs drawn from
// rows of bits, message pumping, window printing and the little list routines.
#pragma once

#include "platform/Canvas.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QWidget;
class QPainter;

namespace velmoran {

// DrawRotatedText: the accelerator is not underlined.
constexpr unsigned DT_HIDEPREFIX = 0x100000;

// S without its "&"s; "&&" keeps one "&".
std::string StripAccelChars(std::string_view text);
// Every "&" doubled, for file names and hints shown as captions.
std::string EscapeAmpersands(std::string_view text);
// Without one trailing ":" or "...": a menu caption turned into a hint.
std::string StripTrailingPunctuation(std::string_view text);
// The character after the last single "&", 0 when there is none.
char32_t GetAccelChar(std::string_view text);
char32_t CharLowerOf(char32_t ch);

// Width of the text in the canvas's font, without the "&"s when asked.
int GetTextWidth(const Canvas& canvas, std::string_view text, bool stripAccels);
// DrawText for UTF-8 text.
int DrawTextOf(Canvas& canvas, std::string_view text, TRect& rect, unsigned flags);
// The canvas's font turned to run downwards; the face stays.
LogicalFont RotatedFontOf(const LogicalFont& font);
// The text running downwards, centred in the rectangle, its accelerator underlined along the
// turned baseline unless DT_HIDEPREFIX is given.
void DrawRotatedText(Canvas& canvas, std::string_view text, const TRect& rect, unsigned format);

// A glyph of bit rows (most significant bit leftmost, `width` bits used) in one colour, its top
// left corner at (x, y): the close button's cross, the chevron's arrows.
void DrawGlyphRows(Canvas& canvas, std::initializer_list<std::uint8_t> rows, int width, int x, int y, ColorRef color);

// Whether the desktop wants the sound of the alias ("MenuPopup", "MenuCommand") played.
bool NeedToPlaySound(std::string_view alias);
// Starts the sound of the alias and returns at once.
void PlayMenuSound(std::string_view alias);
// Sends the pending update requests, so that a window is painted before a long step.
void ProcessPaintMessages();
// Paints the widget and its children into the painter at its origin.
void PrintWindowTo(QWidget& widget, QPainter& painter);

// The list helpers: AddToList appends (AddToListFront inserts at the front) when absent and
// answers whether it did; RemoveFromList frees the list when it becomes empty.
template <typename T>
bool AddToList(std::unique_ptr<std::vector<T*>>& list, T* item, bool front = false)
{
    if (!list)
        list = std::make_unique<std::vector<T*>>();
    if (std::find(list->begin(), list->end(), item) != list->end())
        return false;
    list->insert(front ? list->begin() : list->end(), item);
    return true;
}

template <typename T>
void RemoveFromList(std::unique_ptr<std::vector<T*>>& list, T* item)
{
    if (!list)
        return;
    std::erase(*list, item);
    if (list->empty())
        list.reset();
}

}  // namespace velmoran
