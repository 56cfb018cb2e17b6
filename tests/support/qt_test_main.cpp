// gtest main for the suites that draw: a QApplication on Qt's offscreen platform, so fonts,
// images and widgets work without a display.
#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // Qt wants a private runtime directory and complains on every start without one.
  if (getenv("XDG_RUNTIME_DIR") == nullptr) {
    const std::string runtime = "/tmp/qingchuang-runtime-" + std::to_string(getuid());
    mkdir(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
