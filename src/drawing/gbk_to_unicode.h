#pragma once
// GBK texts as the drawing layer shows them: UTF-16 for the text output and font face names.
// The only place in drawing/ that knows a code page. It does not convert the other way.

#include <string>

#include "primitives/text.h"

namespace qc {

// Every byte sequence converts: a byte that starts no valid GBK character becomes U+FFFD.
std::u16string GbkToUtf16(const Text& gbk);

}  // namespace qc
