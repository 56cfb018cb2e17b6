#pragma once
// A test case that runs the program's own code in a fresh run directory: the globals and the
// form state are created around each case, every panel records its operations, and the
// directory is removed afterwards. No window is made; the form state stands in for it.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "drawing/panel_ops.h"
#include "primitives/text.h"

namespace qc::test {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  const std::filesystem::path& Dir() const { return dir_; }
  // The bytes of a file in the run directory; empty when it is missing.
  std::string FileBytes(const std::string& relative) const;
  void WriteFile(const std::string& relative, const std::string& bytes) const;

 private:
  std::filesystem::path dir_;
};

// The WriteAt texts of a record, in order, as UTF-8.
std::vector<std::string> WrittenTexts(const std::vector<PanelOp>& ops);

}  // namespace qc::test
