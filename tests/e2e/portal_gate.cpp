#include "e2e/portal_gate.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace qc::test {
namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// Copies what one side has to the other; false once either side is done.
bool Pass(int from, int to) {
  char buffer[65536];
  const ssize_t got = ::read(from, buffer, sizeof buffer);
  if (got <= 0)
    return false;
  for (ssize_t sent = 0; sent < got;) {
    const ssize_t n = ::send(to, buffer + sent, static_cast<size_t>(got - sent), MSG_NOSIGNAL);
    if (n <= 0)
      return false;
    sent += n;
  }
  return true;
}

}  // namespace

PortalGate::PortalGate(int portalPort) : portalPort_(portalPort) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listenFd_, 64) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("portal gate: cannot listen");
  }
  port_ = ntohs(address.sin_port);
  acceptThread_ = std::thread([this] { Accept(); });
}

PortalGate::~PortalGate() {
  stopping_ = true;
  Shut();
  acceptThread_.join();
  {
    std::lock_guard lock(mutex_);
    for (int fd : open_)
      ::shutdown(fd, SHUT_RDWR);
  }
  for (std::thread& relay : relays_)
    relay.join();
  ::close(listenFd_);
}

std::string PortalGate::Host() const {
  return "127.0.0.1:" + std::to_string(port_);
}

void PortalGate::Shut() {
  // shutdown, not close: it takes the port out of the listening state at once and wakes the
  // accept thread, where a close would wait for the thread's poll to let go of the socket.
  ::shutdown(listenFd_, SHUT_RDWR);
}

void PortalGate::Accept() {
  while (!stopping_) {
    const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) {
      if (errno == EINTR)
        continue;
      return;  // shut
    }
    std::lock_guard lock(mutex_);
    relays_.emplace_back([this, client] { Relay(client); });
  }
}

void PortalGate::Relay(int client) {
  const int portal = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in address = Loopback(portalPort_);
  {
    std::lock_guard lock(mutex_);
    open_.push_back(client);
    open_.push_back(portal);
  }
  if (portal >= 0 &&
      ::connect(portal, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    for (bool open = true; open;) {
      pollfd ends[2] = {{client, POLLIN, 0}, {portal, POLLIN, 0}};
      if (::poll(ends, 2, -1) < 0)
        break;
      if (ends[0].revents != 0)
        open = Pass(client, portal);
      if (open && ends[1].revents != 0)
        open = Pass(portal, client);
    }
  }
  std::lock_guard lock(mutex_);
  open_.remove(client);
  open_.remove(portal);
  ::close(client);
  if (portal >= 0)
    ::close(portal);
}

}  // namespace qc::test
