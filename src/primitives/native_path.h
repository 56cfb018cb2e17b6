#pragma once
// GBK paths with "\" separators, as the program builds them, to native paths and back. The
// conversion goes through GB18030, which maps every byte sequence of a GBK path to Unicode and
// back, so no byte of a name is lost.

#include <filesystem>

#include "primitives/text.h"

namespace qc {

std::filesystem::path NativePath(const Text& path);
Text TextPath(const std::filesystem::path& path);

}  // namespace qc
