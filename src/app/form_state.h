#pragma once
// What the window's controls hold, as the query and the followed-cities code see it: the four
// drawing panels and the texts of the search box, the two labels and the tooltip. The Qt
// window views this state and feeds typed text back into it; nothing here knows about widgets,
// so the domain code and its tests run without a window.

#include <array>
#include <functional>
#include <memory>
#include <string_view>

#include "drawing/draw_panel.h"
#include "primitives/text.h"

namespace qc {

// One text property of a control. The view registers to be told of every change.
class TextValue {
 public:
  const Text& Get() const { return text_; }
  void Set(Text text) {
    text_ = std::move(text);
    if (onChanged_)
      onChanged_(text_);
  }
  // For the view: a change typed by the user, which must not echo back to it.
  void SetFromView(Text text) { text_ = std::move(text); }
  void SetChangedCallback(std::function<void(const Text&)> callback) {
    onChanged_ = std::move(callback);
  }

 private:
  Text text_;
  std::function<void(const Text&)> onChanged_;
};

struct FormState {
  FormState();
  DrawPanel mainPanel;      // 画板_主, the today panel
  DrawPanel infoPanel;      // 画板_信息, sunrise cells and living-index rows
  DrawPanel forecastPanel;  // 画板_未来, one column per coming day
  DrawPanel followedPanel;  // 画板_关注, recent and nearby cities
  TextValue caption;        // 窗口
  TextValue searchBox;      // 编辑框_搜索
  TextValue titleLabel;     // 透明标签1, the city title
  TextValue regionLabel;    // 透明标签2, the region line
  TextValue tooltip;        // the one tool of the tooltip on 画板_关注
};

// The four drawing panels by their form names, in the order the form lists them.
struct NamedPanel {
  std::string_view name;  // UTF-8, e.g. "画板_主"
  DrawPanel* panel;
};
std::array<NamedPanel, 4> NamedPanels(FormState& form);

// The live form, created when the main window is loaded and destroyed with it.
FormState& Form();
bool FormExists();
void CreateForm();
void DestroyForm();

}  // namespace qc
