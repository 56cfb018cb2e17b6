#pragma once
// GBK paths with "\" separators, as the program builds them, to native paths and back. The
// conversion goes through GB18030, which maps every byte sequence of a GBK path to Unicode and
// back, so no byte of a name is lost. A byte that is no GBK at all (0x80, 0xFF, a lead byte
// without its trail byte) travels as the raw byte, which Linux takes in a name and which comes
// back unchanged. A "/" in a text is a separator too, as on Windows; a "\" inside a native
// name cannot be told from a separator on the way back.

#include <filesystem>

#include "primitives/text.h"

namespace qc {

std::filesystem::path NativePath(const Text& path);
Text TextPath(const std::filesystem::path& path);

}  // namespace qc
