#include "primitives/native_path.h"

#include <iconv.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace qc {
namespace {

// Converts with iconv and keeps every byte the converter refuses as it stands. GB18030 decodes
// every GBK character, so on the way in only bytes that were never GBK (0x80, 0xFF, a lead
// byte without its trail byte) stay raw; Linux takes any byte but "/" and zero in a name. On
// the way back every Unicode character has a GB18030 form, so only those raw bytes fail to
// decode as UTF-8, and they come back unchanged. A refused byte is always followed by an ASCII
// byte, by 0xFF or by the end, never by a UTF-8 continuation byte, so a raw byte cannot join
// its neighbours into a character that would decode differently on the way back.
std::string Convert(const char* to, const char* from, std::string_view input) {
  std::string out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // Without the converter (a stripped glibc) the bytes are the best name there is.
    return std::string(input);
  }
  out.reserve(input.size() * 3 / 2);
  char buffer[1024];
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, outPtr);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      // EILSEQ or EINVAL (a sequence cut off by the end): keep the byte, go on after it.
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      out += *in;
      ++in;
      --inLeft;
    }
  }
  iconv_close(cd);
  return out;
}

void ReplaceAll(std::string& text, char from, char to) {
  for (char& c : text) {
    if (c == from)
      c = to;
  }
}

}  // namespace

std::filesystem::path NativePath(const Text& path) {
  // The separators are replaced after the conversion: in GBK the trail byte of a character
  // may be 0x5C ("乗" is 81 5C) and must not split the name, while in UTF-8 a "\" is always
  // the character itself.
  std::string native = Convert("UTF-8", "GB18030", path);
  ReplaceAll(native, '\\', '/');
  return std::filesystem::path(std::move(native));
}

Text TextPath(const std::filesystem::path& path) {
  Text text = Convert("GB18030", "UTF-8", path.native());
  ReplaceAll(text, '/', '\\');
  return text;
}

}  // namespace qc
