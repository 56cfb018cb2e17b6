#pragma once
// The program's only network operation: a blocking HTTP/1.0 GET of a URL into bytes. It never
// reports an error: whatever arrived before a failure is the result, and nothing at all gives
// empty bytes. The status code is not examined.

#include "primitives/text.h"

namespace qc {

// Limits that keep a hostile or broken server from holding the program or its memory.
struct HttpLimits {
  long connectTimeoutSeconds = 10;
  long transferTimeoutSeconds = 60;
  long maxRedirects = 10;
  std::size_t maxBodyBytes = 16u * 1024u * 1024u;
};

Bytes HttpGet(const Text& url);

// Fuzzers and benchmarks answer requests without a network; nullptr restores the real client.
using HttpTransport = Bytes (*)(const Text& url);
void SetHttpTransport(HttpTransport transport);

// Tests shorten the time-outs; the program uses the defaults.
void SetHttpLimits(const HttpLimits& limits);
const HttpLimits& CurrentHttpLimits();

// The URL as it goes onto the request line: leading white space and any "#..." dropped, and the
// bytes a request line cannot carry (space, control bytes, DEL) percent-encoded. Every other
// byte, GBK included, stays as it is.
Text RequestUrl(const Text& url);

}  // namespace qc
