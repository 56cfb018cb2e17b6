// gtest main for the suites that draw: a QApplication on Qt's offscreen platform, so fonts,
// images and widgets work without a display.
#include <QApplication>

#include <gtest/gtest.h>

#include "app/headless_platform.h"

int main(int argc, char** argv) {
  qc::UseHeadlessPlatform();
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
