#pragma once
// The simulator keeps its texts in UTF-8 source and serves GBK, as the portal it stands for does.
// This is its one conversion; it knows nothing about pages.

#include <string>
#include <string_view>

namespace qc::portal {

// UTF-8 to GBK with glibc iconv. Throws std::invalid_argument on a character GBK cannot hold,
// so a page text that would come out mangled is caught where it is built.
std::string ToGbk(std::string_view utf8);

}  // namespace qc::portal
