#include "support/gbk_literal.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace qc::test {
namespace {

std::string Convert(const char* to, const char* from, std::string_view input, bool lenient) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1))
    std::abort();
  std::string out;
  char buffer[4096];
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, outPtr);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      if (!lenient) {
        std::fprintf(stderr, "fixture text cannot be converted to %s\n", to);
        std::abort();
      }
      out += "\xEF\xBF\xBD";
      ++in;
      --inLeft;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

Text Gbk(std::string_view utf8) {
  return Convert("GBK", "UTF-8", utf8, false);
}
std::string Utf8(const Text& gbk) {
  return Convert("UTF-8", "GBK", gbk, true);
}

}  // namespace qc::test
