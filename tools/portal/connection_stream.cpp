#include "portal/connection_stream.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace qc::portal {
namespace {

// A client that sends nothing, or reads nothing, for this long is given up.
constexpr int kIoTimeoutMs = 5000;
// A head longer than this is logged as far as it goes; the HTTP library rejects it anyway.
constexpr std::size_t kMaxKeptHead = 64 * 1024;

bool PollFor(int fd, short events, int timeoutMs) {
  pollfd entry{fd, events, 0};
  for (;;) {
    int n = ::poll(&entry, 1, timeoutMs);
    if (n < 0 && errno == EINTR)
      continue;
    return n > 0;
  }
}

void Address(const sockaddr_storage& address, std::string& ip, int& port) {
  if (address.ss_family != AF_INET)
    return;
  const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
  ip = text;
  port = ntohs(v4.sin_port);
}

}  // namespace

ConnectionStream::ConnectionStream(int fd, HeadSink onHead) : fd_(fd), onHead_(std::move(onHead)) {}

bool ConnectionStream::is_readable() const {
  return begin_ < end_ || PollFor(fd_, POLLIN, kIoTimeoutMs);
}

bool ConnectionStream::is_writable() const {
  return PollFor(fd_, POLLOUT, kIoTimeoutMs);
}

bool ConnectionStream::WaitForData(std::chrono::milliseconds timeout) const {
  return begin_ < end_ || PollFor(fd_, POLLIN, static_cast<int>(timeout.count()));
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
  if (begin_ == end_) {
    if (!PollFor(fd_, POLLIN, kIoTimeoutMs))
      return -1;
    ssize_t n;
    do {
      n = ::recv(fd_, buffer_.data(), buffer_.size(), 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0)
      return n;
    begin_ = 0;
    end_ = static_cast<std::size_t>(n);
  }
  std::size_t count = std::min(size, end_ - begin_);
  std::memcpy(ptr, buffer_.data() + begin_, count);
  begin_ += count;
  Keep(ptr, count);
  return static_cast<ssize_t>(count);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
  if (!PollFor(fd_, POLLOUT, kIoTimeoutMs))
    return -1;
  ssize_t n;
  do {
    n = ::send(fd_, ptr, size, MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  return n;
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (::getpeername(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    Address(address, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    Address(address, ip, port);
}

void ConnectionStream::BeginRequest() {
  head_.clear();
  keeping_ = true;
}

void ConnectionStream::EndRequest() {
  if (keeping_ && !head_.empty())
    Deliver();
  keeping_ = false;
}

void ConnectionStream::Keep(const char* data, std::size_t size) {
  if (!keeping_)
    return;
  for (std::size_t i = 0; i < size; ++i) {
    head_ += data[i];
    const std::string_view kept(head_);
    // The library reads a head byte by byte, so the head ends exactly at its blank line; a bare
    // LF line end is kept as it came, since odd clients are logged, not judged.
    if (kept.ends_with("\r\n\r\n") || kept.ends_with("\n\n") || head_.size() >= kMaxKeptHead) {
      Deliver();
      return;
    }
  }
}

void ConnectionStream::Deliver() {
  keeping_ = false;
  if (onHead_)
    onHead_(head_);
}

}  // namespace qc::portal
