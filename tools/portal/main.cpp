// qingchuang-portal: the portal simulator as a program, for the demo and for trying the client
// by hand. Prints "listening on 127.0.0.1:PORT", then every request line as it arrived (raw GBK
// bytes), until SIGINT or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <mutex>
#include <optional>
#include <string>

#include "portal/portal_server.h"

namespace {

void Usage(const char* program) {
  std::fprintf(stderr,
               "usage: %s [--port N] [--quiet]\n  --port N  listen on 127.0.0.1:N (default 8765; 0 "
               "picks a free port)\n  --quiet   do not print request lines\n",
               program);
}

std::optional<int> ParsePort(const char* text) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 0 || value > 65535)
    return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

int main(int argc, char** argv) {
  int port = 8765;
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
      std::optional<int> parsed = ParsePort(argv[++i]);
      if (!parsed) {
        Usage(argv[0]);
        return 2;
      }
      port = *parsed;
    } else if (std::strcmp(argv[i], "--quiet") == 0) {
      quiet = true;
    } else {
      Usage(argv[0]);
      return std::strcmp(argv[i], "--help") == 0 ? 0 : 2;
    }
  }

  // Block the stop signals before any thread starts, so they all inherit the mask and only
  // sigwait below receives them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  // Held until the "listening" line is out, so that no request line can come before it.
  std::mutex output;
  std::unique_lock startup(output);
  auto print = [&output, quiet](const qc::portal::LoggedRequest& request) {
    if (quiet)
      return;
    std::lock_guard lock(output);
    std::fwrite(request.line.data(), 1, request.line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  };
  try {
    qc::portal::PortalServer server(port, print);
    std::printf("listening on %s\n", server.Host().c_str());
    std::fflush(stdout);
    startup.unlock();
    int received = 0;
    sigwait(&stopSignals, &received);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "qingchuang-portal: %s\n", error.what());
    return 1;
  }
  return 0;
}
