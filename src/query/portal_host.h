#pragma once
// The weather portal's host (host or host:port). The build sets it (QC_PORTAL_HOST); the probe
// and the tests point the program at a simulator on a port of their own.

#include "primitives/text.h"

namespace qc {

const Text& PortalHost();
void SetPortalHost(const Text& host);

}  // namespace qc
