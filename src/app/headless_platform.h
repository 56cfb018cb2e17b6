#pragma once
// For the tools that run the program's code without a display (the probe, the tests, the
// benchmarks, the fuzzers): Qt's offscreen platform, and a private runtime folder, which Qt
// asks for on every start and complains about when the environment names none. Call before
// the QApplication is made.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace qc {

inline void UseHeadlessPlatform() {
  if (std::getenv("XDG_RUNTIME_DIR") == nullptr) {
    const std::string runtime = "/tmp/qingchuang-runtime-" + std::to_string(getuid());
    mkdir(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

}  // namespace qc
