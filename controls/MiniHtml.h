// The caption engine of the HTML label and the HTML radio button: captions in a small tag
// language (bold, italic, underline, strike-out, sub- and superscript, fonts, anchors, line
// breaks, paragraphs with alignment, indent and background, bullet lists, images, highlight,
// shadow, rotated text) measured, painted and hit-tested on any canvas inside a rectangle.
//
// DrawMiniHtml prepares the text, runs it line by line (a measuring pass, then a painting pass
// over the line's source in the aligned line box), stacks the lines and answers the hit test;
// RenderMiniHtml is the pass over one line. Malformed captions never raise: unknown tags are
// consumed, a tag without ">" ends the caption, a picture that cannot be had draws nothing.
#pragma once

#include "platform/Canvas.h"
#include "platform/SystemColors.h"

#include <optional>
#include <string>
#include <string_view>

namespace velmoran {

class ImageList;
class THtmlPictureCache;
class TPictureContainer;

constexpr ColorRef clNone = kNoColor;
constexpr ColorRef clBlack = 0x000000;
constexpr ColorRef clBlue = 0xFF0000;
constexpr ColorRef clGray = 0x808080;
constexpr ColorRef clRed = 0x0000FF;
constexpr ColorRef clWhite = 0xFFFFFF;

// Paragraph alignment codes of the engine.
enum class TMiniHtmlAlign { Left = 0, Right = 1, Centre = 2 };

struct TMiniHtmlInputs {
    std::string Text;  // the caption, UTF-8
    TRect Rect;        // the drawing rectangle
    ImageList* Images = nullptr;                  // for "IDX:n" images
    TPictureContainer* PictureContainer = nullptr;  // named pictures
    THtmlPictureCache* PictureCache = nullptr;    // pictures loaded by address
    int X = -1;  // the hit-test point, canvas coordinates
    int Y = -1;
    int FocusedAnchor = -1;  // anchors are numbered from 1 in the caption's order; -1 none
    int HoveredAnchor = -1;
    bool MeasureOnly = false;     // one measuring pass, nothing drawn, no hit test
    bool AnchorTestOnly = false;  // both passes, the second measuring the aligned lines for the hit
    bool Printing = false;        // images go through bitmaps stretched by Scale
    bool Selected = false;        // the caption's colours are not changed by tags
    bool BlinkPhase = false;      // off: BL text takes the background colour
    bool HoverStyling = false;    // only the hovered anchor is underlined and coloured
    bool WordWrap = true;         // off: a line too wide ends in "..." and the caption with it
    double Scale = 1.0;           // printing: image scale
    ColorRef AnchorColor = clBlue;
    ColorRef HoverBackground = clNone;
    ColorRef HoverFontColor = clNone;
    ColorRef ShadowColor = clGray;
    int ShadowOffset = 1;
};

struct TMiniHtmlOutputs {
    bool Hit = false;              // the point lies on an anchor
    std::string HrefUnderPoint;    // that anchor's href
    std::string PlainText;         // the text pieces without tags, "\r" for each <BR>
    std::string FocusedHref;       // the href of the focused anchor (painting)
    int Width = 0;                 // the largest line width
    int Height = 0;                // the sum of the line heights
    int AnchorCount = 0;
    int AnchorUnderPoint = -1;
    TRect AnchorRect{-1, -1, -1, -1};
};

// Measures and draws a caption (in the canvas's font and text colour, which are put back).
// Returns outputs.Hit.
bool DrawMiniHtml(Canvas& canvas, const TMiniHtmlInputs& inputs, TMiniHtmlOutputs& outputs);

// What one pass (measuring or painting) carries from line to line.
struct TMiniHtmlPass {
    // What the caption started with: closing tags go back to the base font and colour, BL text
    // takes the background (the brush colour the canvas came with).
    LogicalFont BaseFont;
    ColorRef BaseColor = clBlack;
    ColorRef Background = clNone;
    LogicalFont Font;
    ColorRef FontColor = clBlack;
    ColorRef Brush = clNone;  // text background; clNone draws transparently
    bool Sub = false, Sup = false, Shadow = false, Hidden = false, ErrorUnderline = false;
    bool InAnchor = false;
    int ListLevel = 0;
    TMiniHtmlAlign Align = TMiniHtmlAlign::Left;
    int Indent = 0;
    int AnchorCounter = 0;
    std::string Href;            // of the open anchor
    int AnchorLeft = 0;          // where the open anchor starts on the current line
    int AnchorTop = 0;
    bool AnchorHit = false;      // the point was found inside the open anchor
    std::optional<TRect> Focus;  // the focused anchor's rectangle while it is open
    // Values tags saved to put back at their closing tag.
    ColorRef FontBrushSaved = clNone;
    ColorRef HoverBrushSaved = clNone;
    ColorRef HoverColorSaved = clBlack;
    ColorRef HighlightColorSaved = clBlack;
    ColorRef HighlightBrushSaved = clNone;
    ColorRef ParagraphBrushSaved = clNone;
    std::optional<int> EscapementSaved;  // of the font before R
};

// What one line carries between its two passes.
struct TMiniHtmlLine {
    int Height = 0;     // starts as the height of "gh"
    int GhHeight = 0;
    int Width = 0;      // running width
    int SubOffset = 0;
    int SupOffset = 0;
    int Lift = 0;       // text raised by an image aligned TOP or MIDDLE
    bool Ended = false;
    bool Overflowed = false;
    bool BulletDrawn = false;
    bool TextAnchorHit = false;
    bool ImageAnchorHit = false;
};

// Measure lays a line out from the line rectangle's left (and collects the plain text); HitTest
// measures the aligned line again for the hit test; Paint draws it.
enum class TMiniHtmlMode { Measure, HitTest, Paint };

// The pass over one line: consumes the line's text pieces and tags from the front of text and
// returns them as the line's source; draws them in the line box in painting mode. Available is
// the width lines are fitted into.
std::string_view RenderMiniHtml(Canvas& canvas, const TMiniHtmlInputs& inputs, TMiniHtmlOutputs& outputs,
                                TMiniHtmlPass& pass, TMiniHtmlLine& line, TMiniHtmlMode mode, const TRect& lineBox,
                                int available, std::string_view& text);

// Colour names as captions write them, lower case: 16 named colours ("clred" 0x0000FF, red in
// the low byte) and 24 system colours ("clbtnface" the system colour 15); any other name black.
ColorRef ParseHtmlColor(std::string_view name);

// Whether a caption's anchor is an address for the shell ("://" or "mailto:" in it) rather than a
// link of the program's own for the control's OnAnchorClick ("page1", "EDIT:VarQD", "foo:bar").
// An address is followed by OpenWebOrMailAddress (platform/Shell.h), the rule of the result
// pages: only web and mail addresses open, any other is refused.
bool IsCaptionAddress(std::string_view href);

// The accelerator character of a caption's "&" prefix (0 when none), upper-cased.
char32_t CaptionAccelerator(std::string_view caption);

}  // namespace velmoran
