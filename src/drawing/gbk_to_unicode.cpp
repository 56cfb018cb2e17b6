#include "drawing/gbk_to_unicode.h"

#include <iconv.h>

#include <bit>
#include <cerrno>

namespace qc {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// Opening a converter costs far more than a short conversion, and panels convert every text
// they write, so one descriptor is kept per thread for the life of the process.
iconv_t Converter() {
  static thread_local iconv_t cd =
      iconv_open(std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE", "GBK");
  return cd;
}

}  // namespace

std::u16string GbkToUtf16(const Text& gbk) {
  std::u16string out;
  if (gbk.empty())
    return out;
  iconv_t cd = Converter();
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // No GBK converter on this system: keep ASCII, mark the rest.
    for (unsigned char c : gbk)
      out.push_back(c < 0x80 ? char16_t(c) : kReplacement);
    return out;
  }
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  // GBK has no character outside the BMP, so no input byte yields more than one unit.
  out.resize(gbk.size());
  char* in = const_cast<char*>(gbk.data());
  size_t inLeft = gbk.size();
  char* outPtr = reinterpret_cast<char*>(out.data());
  size_t outLeft = out.size() * sizeof(char16_t);
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
      break;
    if (errno != EILSEQ && errno != EINVAL)
      break;  // E2BIG cannot happen with the size reserved above
    // An invalid or truncated character: replace its first byte and go on with the next, so
    // an ASCII byte after a stray lead byte still shows.
    *reinterpret_cast<char16_t*>(outPtr) = kReplacement;
    outPtr += sizeof(char16_t);
    outLeft -= sizeof(char16_t);
    ++in;
    --inLeft;
  }
  out.resize(out.size() - outLeft / sizeof(char16_t));
  return out;
}

}  // namespace qc
