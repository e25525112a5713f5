// How a text or a value is aligned in the space that shows it: one type for the fields of the
// value tables and for the edits and buttons that show texts, so that code using both sees one.
#pragma once

#include <cstdint>

namespace velmoran {

enum class TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };

}  // namespace velmoran
