// SHA-256, for names that must not collide even when someone searches for two that do: the side
// names of saved files whose own names are too long to be kept whole. Written here because the
// layer links no library that has one.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace velmoran {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(std::string_view bytes);

}  // namespace velmoran
