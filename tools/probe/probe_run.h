#pragma once
// One probe run: the program's real start-up against a given portal and run directory, a
// script of user actions, and the window's picture and JSON written to an output directory.

#include <string>
#include <vector>

namespace qc {

struct ProbeOptions {
  std::string portal;  // host[:port]
  std::string runDir;  // native path; becomes the program directory
  std::string outDir;  // native path; created when missing
  // Transfer time-out of every fetch, in seconds, and a connect time-out of at most 10; 0 keeps
  // the program's own limits. Lets a test of a stalling portal end in seconds.
  long httpTimeoutSeconds = 0;
  std::vector<std::string> actions;
};

// Parses the command line; false (with a message in error) for a usage error.
bool ParseProbeArguments(int argc, char** argv, ProbeOptions& options, std::string& error);
// Needs a QApplication. Returns 0; 2 when an action is malformed.
int RunProbe(const ProbeOptions& options);

}  // namespace qc
