#pragma once
// Test fixtures are written as UTF-8 literals; the code under test works on GBK bytes.

#include <string_view>

#include "primitives/text.h"

namespace qc::test {

// UTF-8 to GBK; aborts the test binary on a character GBK cannot hold (a fixture error).
Text Gbk(std::string_view utf8);
// GBK to UTF-8 for readable failure messages; invalid bytes become U+FFFD.
std::string Utf8(const Text& gbk);

}  // namespace qc::test
