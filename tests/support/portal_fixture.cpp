#include "support/portal_fixture.h"

#include "query/http_get.h"
#include "query/portal_host.h"

namespace qc::test {

void PortalTest::SetUp() {
  ProgramTest::SetUp();
  portal_ = std::make_unique<portal::PortalServer>(0);
  SetPortalHost(portal_->Host());
}

void PortalTest::TearDown() {
  portal_.reset();
  SetHttpLimits(HttpLimits{});
  ProgramTest::TearDown();
}

}  // namespace qc::test
