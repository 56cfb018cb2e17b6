#pragma once
// A condition text written in pinyin, as the portal names its night-time icons: each GB2312
// character by its first reading, bytes below 0x80 as they are, characters without a reading
// as their own two bytes.

#include "primitives/text.h"

namespace qc {

Text PinyinName(const Text& text);

}  // namespace qc
