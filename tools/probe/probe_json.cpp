#include "probe/probe_json.h"

#include <QJsonArray>
#include <cstdio>

#include "app/form_state.h"
#include "app/form_table.h"
#include "app/gbk_unicode.h"
#include "app/globals.h"
#include "app/main_window.h"

namespace qc {
namespace {

QString Hex(Colour c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%02X%02X%02X", RedOf(c), GreenOf(c), BlueOf(c));
  return QString::fromLatin1(buffer);
}

QString Utf(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), utf8.size());
}

QJsonArray Ints(std::initializer_list<int> values) {
  QJsonArray array;
  for (int v : values)
    array.append(v);
  return array;
}

QJsonArray Texts(const TextArray& texts) {
  QJsonArray array;
  for (int i = 1; i <= texts.Size(); ++i)
    array.append(FromGbk(texts.Get(i)));
  return array;
}

// Paths are reported relative to the run directory, in the "TP/name" form.
QString RelativePath(const Text& path) {
  Text relative = path;
  if (!RunDirectory.empty() && relative.compare(0, RunDirectory.size(), RunDirectory) == 0) {
    relative.erase(0, RunDirectory.size());
    while (!relative.empty() && relative.front() == '\\')
      relative.erase(0, 1);
  }
  for (char& c : relative) {
    if (c == '\\')
      c = '/';
  }
  QString text = FromGbk(relative);
  if (text.startsWith(QStringLiteral("tp/"), Qt::CaseInsensitive))
    text.replace(0, 2, "TP");
  return text;
}

struct OpVisitor {
  QJsonObject operator()(const ClearRectOp& op) const {
    return {{"op", "ClearRect"}, {"rect", Ints({op.left, op.top, op.right, op.bottom})}};
  }
  QJsonObject operator()(const DrawLineOp& op) const {
    return {{"op", "DrawLine"},
            {"from", Ints({op.x1, op.y1})},
            {"to", Ints({op.x2, op.y2})},
            {"colour", Hex(op.colour)}};
  }
  QJsonObject operator()(const WriteAtOp& op) const {
    QJsonValue font = QJsonValue::Null;
    if (op.font) {
      font = QJsonObject{
          {"face", FromGbk(op.font->face)}, {"size", op.font->size}, {"bold", op.font->bold}};
    }
    return {{"op", "WriteAt"},
            {"at", Ints({op.x, op.y})},
            {"text", FromGbk(op.text)},
            {"font", font},
            {"colour", Hex(op.colour)}};
  }
  QJsonObject operator()(const DrawPictureOp& op) const {
    return {{"op", "DrawPicture"},
            {"rect", Ints({op.left, op.top, op.width, op.height})},
            {"format", op.format ? QJsonValue(QString::fromStdString(*op.format)) : QJsonValue()},
            {"sha1", QString::fromStdString(op.sha1)}};
  }
  QJsonObject operator()(const DrawImageOp& op) const {
    return {{"op", "DrawImage"},
            {"rect", QJsonArray{op.x, op.y, op.width, op.height}},
            {"path", RelativePath(op.path)},
            {"loaded", op.loaded}};
  }
};

}  // namespace

QJsonObject OpToJson(const PanelOp& op) {
  return std::visit(OpVisitor{}, op);
}

QJsonObject WindowToJson(const MainWindow& window, const std::vector<QueryRecord>& queries) {
  FormState& form = Form();
  QJsonObject root;
  root["caption"] = window.windowTitle();
  root["client_size"] = Ints({window.width(), window.height()});

  QJsonArray controls;
  for (const ControlSpec& spec : FormControlsTable()) {
    const char* kinds[] = {"DrawPanel", "PicBox", "SuperBtn", "EditBox", "TransLabel"};
    controls.append(QJsonObject{{"name", Utf(spec.name)},
                                {"kind", kinds[static_cast<int>(spec.kind)]},
                                {"parent", Utf(spec.parent)},
                                {"rect", Ints({spec.left, spec.top, spec.width, spec.height})}});
  }
  root["controls"] = controls;
  root["search_text"] = FromGbk(form.searchBox.Get());
  root["title_label"] = FromGbk(form.titleLabel.Get());
  root["region_label"] = FromGbk(form.regionLabel.Get());
  root["tooltip"] = FromGbk(form.tooltip.Get());
  root["city_slots"] = Texts(CitySlots);
  root["nearby_conditions"] = Texts(NearbyConditions);

  QJsonArray queryArray;
  for (const QueryRecord& query : queries) {
    QJsonObject start;
    for (const auto& [panel, index] : query.start)
      start[Utf(panel)] = index;
    queryArray.append(QJsonObject{{"city", FromGbk(query.city)}, {"start", start}});
  }
  root["queries"] = queryArray;

  QJsonObject panels;
  for (const NamedPanel& named : NamedPanels(form)) {
    QJsonArray ops;
    for (const PanelOp& op : named.panel->Ops())
      ops.append(OpToJson(op));
    panels[Utf(named.name)] = ops;
  }
  root["panels"] = panels;
  return root;
}

}  // namespace qc
