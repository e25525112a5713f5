// The text side of the caption engine: entities, the preparation of a caption, tag attributes
// and numbers. Shared by the engine's passes and by the accelerator search.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmoran {

// Decodes "&amp;" (to "&&", which DrawText shows as one "&"), "&quot;", "&sect;", "&permil;",
// "&reg;", "&copy;", "&para;", "&trade;" and "&euro;", without regard to case. Every entity is
// decoded once, left to right: what decoding produced is never decoded again, and an "&&" stays
// an escaped "&" that starts no entity.
std::string DecodeCaptionEntities(std::string_view text);
// The same for the entities of a text piece, decoded after the tags are split off so that an
// encoded "<" never opens a tag: "&nbsp;" (a space), "&lt;" and "&gt;".
std::string DecodePieceEntities(std::string_view piece);

// The caption as the engine runs it: entities decoded, the first "<#" losing its "<" and the
// first ">" after it (only its "<" when there is none), every carriage return a "<BR>" and line
// feeds gone.
std::string PrepareCaption(std::string_view text);

// The number of the leading decimal digits (0 when none), saturating at kLargestCaptionNumber: a
// position, indent, size or angle past any window, whose sums with the others stay in range.
constexpr int kLargestCaptionNumber = 1'000'000;
int LeadingNumber(std::string_view text);
// Only digits, at least one.
bool CleanNumber(std::string_view text);

// The text between the first pair of double quotes after the attribute's name, which is looked
// for in the upper-cased tag; the value keeps the tag's own case. Nothing when the name is
// absent; empty when the value is not quoted.
std::optional<std::string_view> TagAttribute(std::string_view tag, std::string_view upperTag, std::string_view name);
// The first quoted text of the tag (the href of A).
std::string_view FirstQuoted(std::string_view tag);

}  // namespace velmoran
