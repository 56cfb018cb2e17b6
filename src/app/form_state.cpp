#include "app/form_state.h"

#include <cstdlib>

#include "app/form_table.h"

namespace qc {
namespace {

std::unique_ptr<FormState> g_form;

PanelLook LookOf(std::string_view name) {
  const ControlSpec* control = FindControl(name);
  // The names are those of our own table; a miss is a programming error caught by every test.
  if (control == nullptr)
    std::abort();
  return PanelLookOf(*control);
}

}  // namespace

FormState::FormState()
    : mainPanel(LookOf("画板_主")),
      infoPanel(LookOf("画板_信息")),
      forecastPanel(LookOf("画板_未来")),
      followedPanel(LookOf("画板_关注")) {}

std::array<NamedPanel, 4> NamedPanels(FormState& form) {
  return {{{"画板_主", &form.mainPanel},
           {"画板_信息", &form.infoPanel},
           {"画板_未来", &form.forecastPanel},
           {"画板_关注", &form.followedPanel}}};
}

FormState& Form() {
  if (!g_form)
    CreateForm();
  return *g_form;
}
bool FormExists() {
  return g_form != nullptr;
}
void CreateForm() {
  g_form = std::make_unique<FormState>();
}
void DestroyForm() {
  g_form.reset();
}

}  // namespace qc
