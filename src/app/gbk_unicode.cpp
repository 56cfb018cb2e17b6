#include "app/gbk_unicode.h"

#include <iconv.h>

#include "drawing/gbk_to_unicode.h"

#include <cerrno>

namespace qc {
namespace {

// Converts with iconv, replacing each unconvertible input unit (one byte of GBK, one UTF-8
// sequence) by the given replacement.
std::string Convert(const char* to, const char* from, const std::string& input,
                    const std::string& replacement, bool utf8Input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1))
    return std::string();
  std::string out;
  out.reserve(input.size() * 2);
  char buffer[1024];
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, outPtr);
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += replacement;
      std::size_t skip = 1;
      if (utf8Input) {
        const auto lead = static_cast<unsigned char>(*in);
        skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      }
      if (skip > inLeft)
        skip = inLeft;
      in += skip;
      inLeft -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

QString FromGbk(const Text& text) {
  // The drawing layer's conversion, so a label shows a text exactly as a panel writes it.
  return QString::fromStdU16String(GbkToUtf16(text));
}

Text ToGbk(const QString& text) {
  return Convert("GBK", "UTF-8", text.toUtf8().toStdString(), "?", true);
}

}  // namespace qc
