#include "query/http_get.h"

#include <curl/curl.h>

#include <cstdio>
#include <mutex>

namespace qc {
namespace {

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

HttpLimits& Limits() {
  static HttpLimits limits;
  return limits;
}

// One client context for the whole process, opened on the first call and kept until exit.
void OpenClientContext() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Sink {
  Bytes* body;
  std::size_t cap;
};

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const std::size_t n = size * count;
  const std::size_t room = sink->cap - sink->body->size();
  const std::size_t take = n < room ? n : room;
  sink->body->insert(sink->body->end(), data, data + take);
  // Returning less than offered stops the transfer; the bytes so far are the result.
  return take;
}

HttpTransport g_transport = nullptr;

bool IsWhiteSpace(unsigned char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

void SetHttpTransport(HttpTransport transport) {
  g_transport = transport;
}
void SetHttpLimits(const HttpLimits& limits) {
  Limits() = limits;
}
const HttpLimits& CurrentHttpLimits() {
  return Limits();
}

Text RequestUrl(const Text& url) {
  std::size_t begin = 0;
  while (begin < url.size() && IsWhiteSpace(static_cast<unsigned char>(url[begin])))
    ++begin;
  std::size_t end = url.find('#', begin);
  if (end == Text::npos)
    end = url.size();
  Text out;
  out.reserve(end - begin);
  for (std::size_t i = begin; i < end; ++i) {
    const auto c = static_cast<unsigned char>(url[i]);
    if (c <= 0x20 || c == 0x7F) {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

Bytes HttpGet(const Text& url) {
  if (g_transport != nullptr)
    return g_transport(url);
  OpenClientContext();
  const Text target = RequestUrl(url);
  Bytes body;
  if (target.empty())
    return body;

  CURL* curl = curl_easy_init();
  if (curl == nullptr)
    return body;
  const HttpLimits& limits = Limits();
  Sink sink{&body, limits.maxBodyBytes};

  curl_slist* headers = curl_slist_append(nullptr, "Accept: */*");
  curl_easy_setopt(curl, CURLOPT_URL, target.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, limits.maxRedirects);
  // Each call has a connection of its own, closed before it returns.
  curl_easy_setopt(curl, CURLOPT_FRESH_CONNECT, 1L);
  curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, limits.connectTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, limits.transferTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  // The proxy comes from the environment, as the system configures it; no credentials of ours.
  curl_easy_setopt(curl, CURLOPT_PROXYUSERNAME, "");
  curl_easy_setopt(curl, CURLOPT_PROXYPASSWORD, "");

  // The result code is deliberately unused: a failed or cut transfer keeps what arrived.
  (void)curl_easy_perform(curl);

  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  return body;
}

}  // namespace qc
