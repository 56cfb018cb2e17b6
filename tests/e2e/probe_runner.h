#pragma once
// Runs qingchuang-probe as a child process against an in-process portal simulator and reads
// back what it saw.

#include <QImage>
#include <QJsonObject>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "portal/portal_server.h"

namespace qc::test {

struct ProbeResult {
  int exitCode = -1;
  QJsonObject final;  // final.json
  QJsonObject exit;   // exit.json
  QImage picture;     // final.png
};

// Variables added to (or replacing those of) the probe's environment.
using Environment = std::vector<std::pair<std::string, std::string>>;

class ProbeRunner {
 public:
  ProbeRunner();
  ~ProbeRunner();

  portal::PortalServer& Portal() { return portal_; }
  const std::filesystem::path& RunDir() const { return runDir_; }
  const std::filesystem::path& OutDir() const { return outDir_; }

  // Starts the program in RunDir() with the actions; portal overrides the simulator's host.
  // Arguments starting with "--" among the actions are probe options.
  ProbeResult Run(const std::vector<std::string>& actions, const std::string& portal = "",
                  const Environment& environment = {});
  std::string FileBytes(const std::string& relative) const;

 private:
  portal::PortalServer portal_;
  std::filesystem::path root_;
  std::filesystem::path runDir_;
  std::filesystem::path outDir_;
};

// Convenience readers of the probe's JSON.
std::vector<std::string> Strings(const QJsonObject& json, const char* key);
std::vector<std::string> QueryCities(const QJsonObject& json);
QJsonArray PanelOps(const QJsonObject& json, const char* panel);
// The WriteAt texts of a panel from the op index on.
std::vector<std::string> PanelTexts(const QJsonObject& json, const char* panel, int from = 0);

}  // namespace qc::test
