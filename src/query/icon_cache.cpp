#include "query/icon_cache.h"

#include <algorithm>

#include "app/globals.h"
#include "primitives/files.h"
#include "query/http_get.h"
#include "query/portal_host.h"

namespace qc {
namespace {

// A path under the cache folder that can never name a file, for names we refuse.
constexpr char kNoIcon[] = "\\TP\\\x01refused";

bool HasPngSignature(const Bytes& body) {
  static constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  return body.size() >= sizeof kSignature &&
         std::equal(std::begin(kSignature), std::end(kSignature), body.begin());
}

}  // namespace

Text SubstituteIconName(const Text& name) {
  return name == "zhenxue" ? Text("xiaoxue") : name;
}

bool IsSafeIconName(const Text& name) {
  // Wildcards too: the existence test would take them as patterns and match other icons.
  if (name.find_first_of("/\\:*?") != Text::npos)
    return false;
  if (name.find("..") != Text::npos)
    return false;
  return std::none_of(name.begin(), name.end(),
                      [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

Text ResolveIcon(const Text& rawName, const Text& fileSuffix, const Text& downloadSuffix) {
  const Text name = SubstituteIconName(rawName);
  // The name comes from the page; one that could climb out of the cache folder is refused
  // before it reaches the file system or the network.
  if (!IsSafeIconName(name) || !IsSafeIconName(fileSuffix) || !IsSafeIconName(downloadSuffix)) {
    return ConcatText({RunDirectory, kNoIcon});
  }
  // The folder is created as TP; on a file system that tells the cases apart the icon paths
  // must use the same form.
  const Text path = ConcatText({RunDirectory, "\\TP\\", name, fileSuffix});
  if (FileExists(path))
    return path;

  const Bytes body = HttpGet(
      ConcatText({" ", "http://", PortalHost(), "/images/yb3/78_78/", name, downloadSuffix}));
  // Only a real picture is kept: an error page stored under the icon's name would be used for
  // ever, so anything else is dropped and fetched again at the next use.
  if (BytesLength(body) > kSmallestIcon && HasPngSignature(body))
    WriteFileBytes(path, body);
  return path;
}

}  // namespace qc
