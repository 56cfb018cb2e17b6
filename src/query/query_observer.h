#pragma once
// Lets the window show a busy pointer while a query runs, and the probe note where each query
// began. The program installs at most one observer; none is needed.

#include "primitives/text.h"

namespace qc {

class QueryObserver {
 public:
  virtual ~QueryObserver() = default;
  virtual void QueryStarted(const Text& city) = 0;
  virtual void QueryFinished() = 0;
};

// nullptr removes the observer. The caller keeps it alive while installed.
void SetQueryObserver(QueryObserver* observer);
QueryObserver* CurrentQueryObserver();

}  // namespace qc
