#pragma once
// The artwork compiled into the program (assets/), looked up by file name.

#include <cstdint>
#include <span>
#include <string_view>

namespace qc {

// Empty for a name that is not embedded.
std::span<const std::uint8_t> EmbeddedAsset(std::string_view name);

}  // namespace qc
