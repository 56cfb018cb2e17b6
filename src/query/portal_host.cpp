#include "query/portal_host.h"

namespace qc {
namespace {
Text& Host() {
  static Text host = QC_PORTAL_HOST;
  return host;
}
}  // namespace

const Text& PortalHost() {
  return Host();
}
void SetPortalHost(const Text& host) {
  Host() = host;
}

}  // namespace qc
