#include "app/gbk_unicode.h"

#include <iconv.h>

#include <cerrno>

#include "drawing/gbk_to_unicode.h"

namespace qc {
namespace {

// UTF-8 to GBK with iconv; each character GBK cannot hold becomes "?", as the platform's ANSI
// conversion does.
std::string Utf8ToGbk(const std::string& input) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1))
    return std::string();
  std::string out;
  out.reserve(input.size());
  char buffer[1024];
  char* in = const_cast<char*>(input.data());
  std::size_t inLeft = input.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, outPtr);
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out += '?';
      // Skips the whole UTF-8 sequence of the character that did not convert.
      const auto lead = static_cast<unsigned char>(*in);
      std::size_t skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
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
  return Utf8ToGbk(text.toUtf8().toStdString());
}

}  // namespace qc
