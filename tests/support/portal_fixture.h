#pragma once
// A program test with the portal simulator running in-process on a free port, and the program
// pointed at it.

#include <memory>

#include "portal/portal_server.h"
#include "support/program_fixture.h"

namespace qc::test {

class PortalTest : public ProgramTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  portal::PortalServer& Portal() { return *portal_; }

 private:
  std::unique_ptr<portal::PortalServer> portal_;
};

}  // namespace qc::test
