#include "portal/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace qc::portal {

std::string ToGbk(std::string_view utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw std::runtime_error("iconv cannot convert UTF-8 to GBK");
  std::string out;
  char buffer[4096];
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, outPtr);
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      iconv_close(cd);
      throw std::invalid_argument("text has a character that GBK cannot hold: " +
                                  std::string(utf8.substr(0, 60)));
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace qc::portal
