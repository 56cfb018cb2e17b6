#pragma once
// The portal simulator: a real HTTP/1.x server on 127.0.0.1 that serves the city pages of
// city_page.h, the condition icons, and the faults of fault_bodies.h. It runs in a background
// thread from construction to destruction and logs every request head exactly as it arrived, raw
// GBK bytes included. It knows nothing about the program that queries it.
//
//   GET /search.php?...city=NAME...   NAME is the GBK city name, sent raw or percent-encoded
//                                     (both are accepted); the page of that city of the table, a
//                                     fault, a page set with SetCityPage, or the 404 page
//   GET /images/yb3/78_78/NAME.png    the picture NAME.png from assets/conditions (NAME is e.g.
//                                     duoyun or duoyun_1), an icon fault, one set with SetIcon,
//                                     or the 404 page; zhenxue is never served
//   anything else                     the 404 page

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qc::portal {

struct LoggedRequest {
  std::string line;     // the request line as received, without its line break
  std::string method;   // the request line split at its spaces
  std::string target;   // raw, not percent-decoded
  std::string version;  // "HTTP/1.0"
  std::vector<std::pair<std::string, std::string>> headers;  // in order, values trimmed
};

using RequestObserver = std::function<void(const LoggedRequest&)>;

class PortalServer {
 public:
  // Port 0 picks a free port. Throws std::runtime_error when the port cannot be bound. The
  // observer, if any, sees each request head as soon as it has arrived, before the answer, on the
  // connection's thread.
  explicit PortalServer(int port = 0, RequestObserver observer = {});
  // Stops listening, cuts open connections and wakes delayed answers; returns within a fraction
  // of a second even while a fault handler is stalling.
  ~PortalServer();
  PortalServer(const PortalServer&) = delete;
  PortalServer& operator=(const PortalServer&) = delete;

  int Port() const;
  std::string Host() const;  // "127.0.0.1:PORT"

  std::vector<LoggedRequest> Requests() const;
  void ClearRequests();
  // Percent-decoded `city` values of the city-page requests, in order.
  std::vector<std::string> CityRequests() const;
  // Names of the icon requests (the file name without ".png", percent-decoded), in order.
  std::vector<std::string> IconRequests() const;

  // Serve exactly these bytes, with status 200, for this GBK city name or icon name (without
  // ".png"). They take precedence over the table, the icons and the faults.
  void SetCityPage(std::string gbkCity, std::string body);
  void SetIcon(std::string name, std::string body);

  void SetSlowDelay(std::chrono::milliseconds delay);   // fault-slow, 3 s by default
  void SetStallDelay(std::chrono::milliseconds delay);  // fault-stall, 120 s by default

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qc::portal
