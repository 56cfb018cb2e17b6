#include "e2e/probe_runner.h"

#include <sys/wait.h>
#include <unistd.h>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <fstream>
#include <iterator>

namespace qc::test {
namespace {

QJsonObject ReadJson(const std::filesystem::path& path) {
  QFile file(QString::fromStdString(path.string()));
  if (!file.open(QIODevice::ReadOnly))
    return {};
  return QJsonDocument::fromJson(file.readAll()).object();
}

}  // namespace

ProbeRunner::ProbeRunner() : portal_(0) {
  static int counter = 0;
  root_ = std::filesystem::temp_directory_path() /
          ("qc-e2e-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
  std::filesystem::remove_all(root_);
  runDir_ = root_ / "run";
  outDir_ = root_ / "out";
  std::filesystem::create_directories(runDir_);
}

ProbeRunner::~ProbeRunner() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

ProbeResult ProbeRunner::Run(const std::vector<std::string>& actions, const std::string& portal,
                             const Environment& environment) {
  std::filesystem::remove_all(outDir_);
  std::vector<std::string> args = {
      QC_PROBE_PATH,   "--portal",       portal.empty() ? portal_.Host() : portal,
      "--run-dir",     runDir_.string(), "--out",
      outDir_.string()};
  args.insert(args.end(), actions.begin(), actions.end());
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  // Built before the fork: the child of a process with threads may only exec.
  std::vector<std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string variable = *entry;
    const std::string name = variable.substr(0, variable.find('='));
    const bool replaced = std::any_of(environment.begin(), environment.end(),
                                      [&](const auto& pair) { return pair.first == name; });
    if (!replaced)
      variables.push_back(variable);
  }
  for (const auto& [name, value] : environment)
    variables.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& variable : variables)
    envp.push_back(variable.data());
  envp.push_back(nullptr);

  ProbeResult result;
  const pid_t child = fork();
  if (child == 0) {
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.final = ReadJson(outDir_ / "final.json");
  result.exit = ReadJson(outDir_ / "exit.json");
  result.picture = QImage(QString::fromStdString((outDir_ / "final.png").string()));
  return result;
}

std::string ProbeRunner::FileBytes(const std::string& relative) const {
  std::ifstream in(runDir_ / relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Strings(const QJsonObject& json, const char* key) {
  std::vector<std::string> out;
  for (const QJsonValue& v : json[key].toArray())
    out.push_back(v.toString().toStdString());
  return out;
}

std::vector<std::string> QueryCities(const QJsonObject& json) {
  std::vector<std::string> out;
  for (const QJsonValue& v : json["queries"].toArray()) {
    out.push_back(v.toObject()["city"].toString().toStdString());
  }
  return out;
}

QJsonArray PanelOps(const QJsonObject& json, const char* panel) {
  return json["panels"].toObject()[QString::fromUtf8(panel)].toArray();
}

std::vector<std::string> PanelTexts(const QJsonObject& json, const char* panel, int from) {
  std::vector<std::string> out;
  const QJsonArray ops = PanelOps(json, panel);
  for (int i = from; i < ops.size(); ++i) {
    const QJsonObject op = ops[i].toObject();
    if (op["op"].toString() == "WriteAt" && !op["text"].toString().isEmpty()) {
      out.push_back(op["text"].toString().toStdString());
    }
  }
  return out;
}

}  // namespace qc::test
