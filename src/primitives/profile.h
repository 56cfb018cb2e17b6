#pragma once
// Single values of a profile (INI) file, with the semantics of the Windows profile functions
// that the recent list relies on: sections and keys matched without regard to ASCII case,
// values read back as written, a key replaced in place or appended to its section, a missing
// section or file created, every other line kept byte for byte. Values are read through a
// buffer of 10240 bytes, so at most 10239 bytes come back.

#include <optional>

#include "primitives/text.h"

namespace qc {

inline constexpr int kProfileBufferSize = 10240;

Text ReadProfileText(const Text& file, const Text& section, const Text& key,
                     std::optional<Text> fallback = std::nullopt);
// The file is rewritten beside itself and renamed into place, so a crash leaves the old or the
// new content, whole.
bool WriteProfileText(const Text& file, const Text& section, const Text& key, const Text& value);

}  // namespace qc
