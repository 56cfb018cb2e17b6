#pragma once
// One accepted connection as the HTTP library sees it. Besides reading and writing the socket it
// keeps a copy of the bytes of each request head as they were received, so the simulator can log
// request lines byte for byte, and it lets a fault handler ask for the connection to be reset
// rather than closed. It does not parse HTTP.

#include <httplib.h>

#include <array>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace qc::portal {

class ConnectionStream final : public httplib::Stream {
 public:
  using HeadSink = std::function<void(std::string_view head)>;

  // Does not take ownership of the socket.
  ConnectionStream(int fd, HeadSink onHead);

  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char* ptr, size_t size) override;
  ssize_t write(const char* ptr, size_t size) override;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  int socket() const override { return fd_; }

  // Whether request bytes arrive (or the peer closes) within the time.
  bool WaitForData(std::chrono::milliseconds timeout) const;
  // Starts keeping the bytes of the next request head; the sink gets them once the blank line
  // after the headers has been read.
  void BeginRequest();
  // Hands a head the client never finished to the sink, so odd requests are logged too.
  void EndRequest();

  void RequestReset() { reset_ = true; }
  bool ResetRequested() const { return reset_; }

 private:
  void Keep(const char* data, std::size_t size);
  void Deliver();

  int fd_;
  HeadSink onHead_;
  std::array<char, 16384> buffer_{};
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::string head_;
  bool keeping_ = false;
  bool reset_ = false;
};

}  // namespace qc::portal
