#include "portal/portal_server.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <thread>

#include "portal/city_page.h"
#include "portal/condition_icons.h"
#include "portal/connection_stream.h"
#include "portal/fault_bodies.h"

namespace qc::portal {
namespace {

constexpr std::string_view kCityPath = "/search.php";
constexpr std::string_view kIconPrefix = "/images/yb3/78_78/";
constexpr std::string_view kHtml = "text/html; charset=gb2312";
constexpr int kMaxConnections = 128;
constexpr int kMaxRequestsPerConnection = 100;
constexpr std::chrono::seconds kKeepAlive{5};
// Time the reset fault leaves the client to read the partial body before the RST arrives.
constexpr std::chrono::milliseconds kResetGrace{100};

// The connection whose request the current thread is answering; fault handlers use it.
thread_local ConnectionStream* tConnection = nullptr;

// Gives the simulator the library's request parsing, routing and response writing while it keeps
// the sockets itself: that is what lets it see raw request bytes and reset a connection.
class HttpEngine : public httplib::Server {
 public:
  using httplib::Server::process_request;
  // The library stops streaming a body once this no longer names a socket.
  void SetListening(int fd) { svr_sock_ = fd; }
};

int HexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

// %XX becomes its byte; every other byte, "+" and raw GBK included, stays as it is.
std::string PercentDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string_view PathOf(std::string_view target) {
  return target.substr(0, target.find('?'));
}

// The decoded value of the first `city` key of a target's query, if there is one.
std::optional<std::string> CityValue(std::string_view target) {
  std::size_t question = target.find('?');
  if (question == std::string_view::npos)
    return std::nullopt;
  std::string_view query = target.substr(question + 1);
  while (!query.empty()) {
    std::size_t amp = query.find('&');
    std::string_view pair = query.substr(0, amp);
    if (pair.starts_with("city="))
      return PercentDecode(pair.substr(5));
    if (amp == std::string_view::npos)
      break;
    query.remove_prefix(amp + 1);
  }
  return std::nullopt;
}

// The icon name of an icon request: the file name, decoded, without ".png".
std::optional<std::string> IconName(std::string_view target) {
  std::string path = PercentDecode(PathOf(target));
  if (!std::string_view(path).starts_with(kIconPrefix))
    return std::nullopt;
  std::string name = path.substr(kIconPrefix.size());
  if (std::string_view(name).ends_with(".png"))
    name.resize(name.size() - 4);
  return name;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

LoggedRequest ParseHead(std::string_view head) {
  LoggedRequest request;
  std::size_t lineEnd = head.find('\n');
  std::string_view line = head.substr(0, lineEnd);
  if (line.ends_with('\r'))
    line.remove_suffix(1);
  request.line = std::string(line);
  std::size_t first = line.find(' ');
  std::size_t last = line.rfind(' ');
  request.method = std::string(line.substr(0, first));
  if (first != std::string_view::npos) {
    if (last > first) {
      request.target = std::string(line.substr(first + 1, last - first - 1));
      request.version = std::string(line.substr(last + 1));
    } else {
      request.target = std::string(line.substr(first + 1));
    }
  }
  std::string_view rest = lineEnd == std::string_view::npos ? "" : head.substr(lineEnd + 1);
  while (!rest.empty()) {
    std::size_t end = rest.find('\n');
    std::string_view header = rest.substr(0, end);
    rest = end == std::string_view::npos ? "" : rest.substr(end + 1);
    if (Trim(header).empty())
      break;
    std::size_t colon = header.find(':');
    if (colon == std::string_view::npos)
      request.headers.emplace_back(std::string(Trim(header)), "");
    else
      request.headers.emplace_back(std::string(Trim(header.substr(0, colon))),
                                   std::string(Trim(header.substr(colon + 1))));
  }
  return request;
}

void NotFound(httplib::Response& res) {
  res.status = 404;
  res.set_content(NotFoundBody(), std::string(kHtml));
}

}  // namespace

class PortalServer::Impl {
 public:
  Impl(int port, RequestObserver observer);
  ~Impl();

  int port_ = 0;
  RequestObserver observer_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;  // delayed answers wait on it, and stop waiting at shutdown
  bool stopping_ = false;
  std::vector<LoggedRequest> log_;
  std::map<std::string, std::string> cityPages_;
  std::map<std::string, std::string> icons_;
  std::chrono::milliseconds slowDelay_{3000};
  std::chrono::milliseconds stallDelay_{120000};

 private:
  struct Connection {
    int fd = -1;
    std::thread thread;
    bool done = false;
  };

  void Accept();
  void Serve(Connection& connection);
  void ReapFinished();
  void OnHead(std::string_view head);
  void Handle(const httplib::Request& req, httplib::Response& res);
  void ServeCity(const std::string& city, httplib::Response& res);
  void ServeCityFault(CityFault fault, httplib::Response& res);
  void ServeIcon(const std::string& name, httplib::Response& res);
  // Waits up to `delay`; false when the server began to stop meanwhile.
  bool Pause(std::chrono::milliseconds delay);

  HttpEngine engine_;
  int listenFd_ = -1;
  int wakeFd_ = -1;
  std::thread acceptThread_;
  std::list<Connection> connections_;
};

PortalServer::Impl::Impl(int port, RequestObserver observer) : observer_(std::move(observer)) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0)
    throw std::runtime_error("portal: cannot create a socket");
  int on = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, 64) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    std::string reason = std::strerror(errno);
    ::close(listenFd_);
    throw std::runtime_error("portal: cannot listen on 127.0.0.1:" + std::to_string(port) + ": " +
                             reason);
  }
  port_ = ntohs(address.sin_port);
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC);
  if (wakeFd_ < 0) {
    ::close(listenFd_);
    throw std::runtime_error("portal: cannot create the stop event");
  }

  engine_.SetListening(listenFd_);
  engine_.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
    if (req.method != "GET" && req.method != "HEAD")
      return httplib::Server::HandlerResponse::Unhandled;
    Handle(req, res);
    return httplib::Server::HandlerResponse::Handled;
  });
  try {
    acceptThread_ = std::thread([this] { Accept(); });
  } catch (const std::system_error&) {
    ::close(listenFd_);
    ::close(wakeFd_);
    throw;
  }
}

PortalServer::Impl::~Impl() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  // An eventfd write fails only when its counter would overflow, which one write cannot do.
  const std::uint64_t one = 1;
  [[maybe_unused]] ssize_t written = ::write(wakeFd_, &one, sizeof one);
  acceptThread_.join();
  engine_.SetListening(-1);
  {
    std::lock_guard lock(mutex_);
    for (Connection& connection : connections_) {
      if (connection.fd >= 0)
        ::shutdown(connection.fd, SHUT_RDWR);
    }
  }
  // Only the accept thread adds or removes entries, and it has ended.
  for (Connection& connection : connections_)
    connection.thread.join();
  ::close(listenFd_);
  ::close(wakeFd_);
}

void PortalServer::Impl::Accept() {
  for (;;) {
    pollfd entries[2] = {{listenFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (::poll(entries, 2, -1) < 0) {
      if (errno == EINTR)
        continue;
      return;
    }
    if (entries[1].revents != 0)
      return;
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      // Out of descriptors: give the connections a moment to end instead of spinning.
      if (errno == EMFILE || errno == ENFILE)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      continue;
    }
    std::lock_guard lock(mutex_);
    ReapFinished();
    if (stopping_ || connections_.size() >= static_cast<std::size_t>(kMaxConnections)) {
      ::close(fd);
      continue;
    }
    Connection& connection = connections_.emplace_back();
    connection.fd = fd;
    try {
      connection.thread = std::thread([this, &connection] { Serve(connection); });
    } catch (const std::system_error&) {
      // No thread to be had: refuse this client rather than stop serving the others.
      ::close(fd);
      connections_.pop_back();
    }
  }
}

void PortalServer::Impl::ReapFinished() {
  for (auto it = connections_.begin(); it != connections_.end();) {
    if (it->done) {
      it->thread.join();
      it = connections_.erase(it);
    } else {
      ++it;
    }
  }
}

void PortalServer::Impl::Serve(Connection& connection) {
  const int fd = connection.fd;
  bool reset = false;
  {
    ConnectionStream stream(fd, [this](std::string_view head) { OnHead(head); });
    tConnection = &stream;
    // Answers are never compressed or cut into ranges: clients compare bodies byte for byte.
    const auto plain = [](httplib::Request& req) {
      req.headers.erase("Accept-Encoding");
      req.ranges.clear();
    };
    try {
      for (int served = 0; served < kMaxRequestsPerConnection; ++served) {
        if (served > 0 && !stream.WaitForData(kKeepAlive))
          break;
        {
          std::lock_guard lock(mutex_);
          if (stopping_)
            break;
        }
        stream.BeginRequest();
        bool closed = false;
        bool ok =
            engine_.process_request(stream, served + 1 == kMaxRequestsPerConnection, closed, plain);
        stream.EndRequest();
        if (!ok || closed || stream.ResetRequested())
          break;
      }
    } catch (...) {
      // A request that breaks the library (out of memory on a huge head, say) ends only its own
      // connection; the server goes on, and the request is already in the log.
    }
    reset = stream.ResetRequested();
    tConnection = nullptr;
  }
  std::lock_guard lock(mutex_);
  if (reset) {
    // A zero linger makes close() send RST instead of FIN.
    linger abort{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
  } else {
    ::shutdown(fd, SHUT_WR);
  }
  ::close(fd);
  connection.fd = -1;
  connection.done = true;
}

void PortalServer::Impl::OnHead(std::string_view head) {
  LoggedRequest request = ParseHead(head);
  {
    std::lock_guard lock(mutex_);
    log_.push_back(request);
  }
  if (observer_)
    observer_(request);
}

bool PortalServer::Impl::Pause(std::chrono::milliseconds delay) {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, delay, [this] { return stopping_; });
}

void PortalServer::Impl::Handle(const httplib::Request& req, httplib::Response& res) {
  std::string_view target = req.target;
  std::string path = PercentDecode(PathOf(target));
  if (path == kCityPath) {
    ServeCity(CityValue(target).value_or(""), res);
    return;
  }
  if (std::optional<std::string> name = IconName(target)) {
    ServeIcon(*name, res);
    return;
  }
  NotFound(res);
}

void PortalServer::Impl::ServeCity(const std::string& city, httplib::Response& res) {
  {
    std::lock_guard lock(mutex_);
    auto found = cityPages_.find(city);
    if (found != cityPages_.end()) {
      res.status = 200;
      res.set_content(found->second, std::string(kHtml));
      return;
    }
  }
  if (std::optional<CityFault> fault = CityFaultNamed(city)) {
    ServeCityFault(*fault, res);
    return;
  }
  if (const std::string* page = TableCityPage(city)) {
    res.status = 200;
    res.set_content(*page, std::string(kHtml));
    return;
  }
  NotFound(res);
}

void PortalServer::Impl::ServeCityFault(CityFault fault, httplib::Response& res) {
  const std::string& body = CityFaultBody(fault);
  res.status = 200;
  switch (fault) {
    case CityFault::Redirect:
      res.set_redirect(RedirectLocation(), 302);
      return;
    case CityFault::Slow: {
      std::chrono::milliseconds delay;
      {
        std::lock_guard lock(mutex_);
        delay = slowDelay_;
      }
      if (!Pause(delay)) {
        res.status = 503;
        return;
      }
      res.set_content(body, std::string(kHtml));
      return;
    }
    case CityFault::Stall:
    case CityFault::Reset: {
      std::chrono::milliseconds delay = kResetGrace;
      if (fault == CityFault::Stall) {
        std::lock_guard lock(mutex_);
        delay = stallDelay_;
      }
      // The Content-Length promises the whole page; only its start is ever sent.
      res.set_content_provider(
          body.size(), std::string(kHtml),
          [this, &body, fault, delay](size_t offset, size_t, httplib::DataSink& sink) {
            if (offset == 0 && !sink.write(body.data(), kPartialBodyBytes))
              return false;
            Pause(delay);
            if (fault == CityFault::Reset && tConnection != nullptr)
              tConnection->RequestReset();
            return false;
          });
      return;
    }
    case CityFault::Huge:
      res.set_content_provider(
          kHugeBodyBytes, std::string(kHtml),
          [](size_t offset, size_t length, httplib::DataSink& sink) {
            std::string chunk;
            try {
              HugeBodyChunk(offset, std::min<size_t>(length, 64 * 1024), chunk);
            } catch (const std::exception&) {
              return false;  // a provider must not throw: the library would not catch it
            }
            return sink.write(chunk.data(), chunk.size());
          });
      return;
    default:
      res.set_content(body, std::string(kHtml));
      return;
  }
}

void PortalServer::Impl::ServeIcon(const std::string& name, httplib::Response& res) {
  {
    std::lock_guard lock(mutex_);
    auto found = icons_.find(name);
    if (found != icons_.end()) {
      res.status = 200;
      res.set_content(found->second, "image/png");
      return;
    }
  }
  if (std::optional<IconFault> fault = IconFaultNamed(name)) {
    res.status = 200;
    res.set_content(IconFaultBody(*fault),
                    *fault == IconFault::ErrorPage ? std::string(kHtml) : "image/png");
    return;
  }
  // The portal has no zhenxue picture, whatever the artwork folder holds.
  if (name == "zhenxue" || name == "zhenxue_1") {
    NotFound(res);
    return;
  }
  std::span<const std::uint8_t> icon = ConditionIcon(name + ".png");
  if (icon.empty()) {
    NotFound(res);
    return;
  }
  res.status = 200;
  res.set_content(reinterpret_cast<const char*>(icon.data()), icon.size(), "image/png");
}

PortalServer::PortalServer(int port, RequestObserver observer)
    : impl_(std::make_unique<Impl>(port, std::move(observer))) {}

PortalServer::~PortalServer() = default;

int PortalServer::Port() const {
  return impl_->port_;
}

std::string PortalServer::Host() const {
  return "127.0.0.1:" + std::to_string(impl_->port_);
}

std::vector<LoggedRequest> PortalServer::Requests() const {
  std::lock_guard lock(impl_->mutex_);
  return impl_->log_;
}

void PortalServer::ClearRequests() {
  std::lock_guard lock(impl_->mutex_);
  impl_->log_.clear();
}

std::vector<std::string> PortalServer::CityRequests() const {
  std::vector<std::string> cities;
  for (const LoggedRequest& request : Requests()) {
    if (PercentDecode(PathOf(request.target)) == kCityPath)
      cities.push_back(CityValue(request.target).value_or(""));
  }
  return cities;
}

std::vector<std::string> PortalServer::IconRequests() const {
  std::vector<std::string> names;
  for (const LoggedRequest& request : Requests()) {
    if (std::optional<std::string> name = IconName(request.target))
      names.push_back(std::move(*name));
  }
  return names;
}

void PortalServer::SetCityPage(std::string gbkCity, std::string body) {
  std::lock_guard lock(impl_->mutex_);
  impl_->cityPages_[std::move(gbkCity)] = std::move(body);
}

void PortalServer::SetIcon(std::string name, std::string body) {
  std::lock_guard lock(impl_->mutex_);
  impl_->icons_[std::move(name)] = std::move(body);
}

void PortalServer::SetSlowDelay(std::chrono::milliseconds delay) {
  std::lock_guard lock(impl_->mutex_);
  impl_->slowDelay_ = delay;
}

void PortalServer::SetStallDelay(std::chrono::milliseconds delay) {
  std::lock_guard lock(impl_->mutex_);
  impl_->stallDelay_ = delay;
}

}  // namespace qc::portal
