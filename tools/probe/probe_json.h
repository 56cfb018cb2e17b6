#pragma once
// The probe's view of the window as JSON: caption, controls, texts, globals and every panel's
// operations since start-up. GBK texts are converted to UTF-8, invalid bytes to U+FFFD.

#include <QJsonObject>
#include <vector>

#include "drawing/panel_ops.h"
#include "primitives/text.h"

namespace qc {

class MainWindow;

struct QueryRecord {
  Text city;
  // Index into each panel's operations where the query began, by panel name.
  std::vector<std::pair<std::string, int>> start;
};

QJsonObject OpToJson(const PanelOp& op);
QJsonObject WindowToJson(const MainWindow& window, const std::vector<QueryRecord>& queries);

}  // namespace qc
