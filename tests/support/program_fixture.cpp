#include "support/program_fixture.h"

#include <unistd.h>
#include <fstream>
#include <iterator>

#include "app/form_state.h"
#include "app/globals.h"
#include "primitives/files.h"
#include "primitives/native_path.h"
#include "support/gbk_literal.h"

namespace qc::test {

void ProgramTest::SetUp() {
  static int counter = 0;
  dir_ = std::filesystem::temp_directory_path() /
         ("qc-test-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
  CreateGlobals();
  CreateForm();
  RunDirectory = TextPath(dir_);
  StartGraphicsLayer(&GraphicsToken);
  for (const NamedPanel& named : NamedPanels(Form()))
    named.panel->SetRecording(Recording::On);
}

void ProgramTest::TearDown() {
  ReleaseGlobals();
  DestroyForm();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string ProgramTest::FileBytes(const std::string& relative) const {
  std::ifstream in(dir_ / relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void ProgramTest::WriteFile(const std::string& relative, const std::string& bytes) const {
  std::ofstream out(dir_ / relative, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::vector<std::string> WrittenTexts(const std::vector<PanelOp>& ops) {
  std::vector<std::string> texts;
  for (const PanelOp& op : ops) {
    if (const auto* write = std::get_if<WriteAtOp>(&op))
      texts.push_back(Utf8(write->text));
  }
  return texts;
}

}  // namespace qc::test
