#pragma once
// The names that make the simulator misbehave on purpose, and the bodies it sends for them. Fault
// names are plain ASCII `city` values (or icon names), so a test or a person at the search box
// can ask for them. This file only makes bytes; the server decides how to send them.
//
// City faults, for GET /search.php?f=1&c=1&city=NAME&dpc=1:
//   fault-short      a complete HTML page of 2048 bytes (too short to be used)
//   fault-30000      a valid page padded to exactly 30000 bytes, title still in its window
//   fault-30001      the same with exactly 30001 bytes
//   fault-empty      status 200 and an empty body
//   fault-slow       a valid page, answered after PortalServer::SetSlowDelay (3 s by default)
//   fault-stall      headers with the full Content-Length, the first kPartialBodyBytes of the
//                    page, then nothing until PortalServer::SetStallDelay (120 s by default)
//                    has passed; then the connection is closed
//   fault-reset      the same partial body, then the connection is reset (RST)
//   fault-huge       a body of kHugeBodyBytes: a valid page followed by filler, streamed
//   fault-zero       a valid page longer than 30000 bytes with a zero byte at kZeroBytePosition
//   fault-redirect   302 to the page of 北京 (Location percent-encodes the GBK name)
//   fault-notitle    a valid page whose title tag has no title attribute
//   fault-noparen    a valid page whose title has no "(": title="fault-noparen"
//   fault-garbage    40000 deterministic random bytes, none of them zero
//   fault-backtrack  a valid head and title, then about 4 MiB of "city=", "<span ", "180_180/",
//                    "<td>" and "<h4>" fragments that never close, between all the content
//                    markers, so that every lazy pattern runs to the end of its text
// The valid pages are built from the template with 长沙's weather; their title is
// "NAME(测试)", so the name a client records is the fault name itself.
//
// Icon faults, for GET /images/yb3/78_78/NAME.png (also NAME_1.png):
//   fault-1000       1000 bytes starting with the PNG signature
//   fault-1001       1001 bytes starting with the PNG signature
//   fault-errorpage  a 2000-byte HTML error page with status 200

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qc::portal {

enum class CityFault {
  Short,
  Exactly30000,
  Exactly30001,
  Empty,
  Slow,
  Stall,
  Reset,
  Huge,
  ZeroByte,
  Redirect,
  NoTitle,
  NoParen,
  Garbage,
  Backtrack,
};

enum class IconFault {
  Exactly1000,
  Exactly1001,
  ErrorPage,
};

inline constexpr std::size_t kPartialBodyBytes = 20000;
inline constexpr std::size_t kHugeBodyBytes = 20u * 1024u * 1024u;
inline constexpr std::size_t kZeroBytePosition = 29001;  // 1-based
inline constexpr std::size_t kShortPageBytes = 2048;
inline constexpr std::size_t kGarbageBytes = 40000;

std::optional<CityFault> CityFaultNamed(std::string_view name);
std::string_view CityFaultName(CityFault fault);
// Accepts NAME and NAME_1, as clients ask for day and night pictures.
std::optional<IconFault> IconFaultNamed(std::string_view name);

// The body the server sends for a city fault. Slow, Stall and Reset give the whole page; the
// server decides how much of it goes out. Huge gives only the page at its start: see
// HugeBodyChunk. Redirect and Empty give an empty body.
const std::string& CityFaultBody(CityFault fault);
// Bytes [offset, offset + length) of the huge body, appended to `out`.
void HugeBodyChunk(std::size_t offset, std::size_t length, std::string& out);
// The Location of fault-redirect: the city page of 北京, its name percent-encoded.
std::string RedirectLocation();

const std::string& IconFaultBody(IconFault fault);
// The short HTML page (status 404) for unknown paths, cities and icons.
const std::string& NotFoundBody();

}  // namespace qc::portal
