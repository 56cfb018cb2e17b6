#pragma once
// The condition pictures of assets/conditions, compiled into the simulator at build time
// (cmake/EmbedFiles.cmake). The lookup is by file name, "duoyun.png" or "duoyun_1.png"; an
// unknown name gives an empty span.

#include <cstdint>
#include <span>
#include <string_view>

namespace qc::portal {

std::span<const std::uint8_t> ConditionIcon(std::string_view fileName);

}  // namespace qc::portal
