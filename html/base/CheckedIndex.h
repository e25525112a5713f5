// Element access by the int positions the HTML library counts in (rows, columns, characters,
// runs), so that the algorithms over them read without a cast at every subscript. The index is
// checked in debug builds, where the tests run.
#pragma once

#include <cassert>
#include <cstddef>

namespace velmoran {

template <class Container>
constexpr decltype(auto) At(Container& items, int index)
{
    assert(index >= 0 && static_cast<std::size_t>(index) < items.size());
    return items[static_cast<std::size_t>(index)];
}

}  // namespace velmoran
