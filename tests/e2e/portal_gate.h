#pragma once
// A TCP relay on 127.0.0.1 in front of the portal simulator that can be shut midway through a
// run: from then on the port it listens on refuses connections, as a portal that has gone away
// does. It relays bytes only; it knows nothing of HTTP.

#include <atomic>
#include <list>
#include <mutex>
#include <string>
#include <thread>

namespace qc::test {

class PortalGate {
 public:
  explicit PortalGate(int portalPort);
  ~PortalGate();
  PortalGate(const PortalGate&) = delete;
  PortalGate& operator=(const PortalGate&) = delete;

  std::string Host() const;  // "127.0.0.1:PORT"
  // Stops listening. Safe from any thread, the simulator's request observer included; once it
  // returns, a new connection is refused. Relayed connections go on.
  void Shut();

 private:
  void Accept();
  void Relay(int client);

  int portalPort_;
  int port_ = 0;
  int listenFd_ = -1;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::list<int> open_;  // both ends of every relayed connection
  std::list<std::thread> relays_;
  std::thread acceptThread_;
};

}  // namespace qc::test
