#include "logic/context.h"

#include <utility>

#include "services/dialogs.h"

namespace autoshutdown::logic {
namespace {
const ui::WindowTemplate& Main() { return templates::MainWindow(); }
ui::Target At(Control control) { return ui::Target::Control(control); }
}  // namespace

Text Context::Content(Control box) const { return layer.GetText(Main(), At(box), ui::prop::edit::Content); }

void Context::SetContent(Control box, Text text) const {
  layer.SetProperty(Main(), At(box), ui::prop::edit::Content, std::move(text));
}

Text Context::ButtonTitle(Control button) const { return layer.GetText(Main(), At(button), ui::prop::button::Title); }

void Context::SetButtonTitle(Control button, Text title) const {
  layer.SetProperty(Main(), At(button), ui::prop::button::Title, std::move(title));
}

Text Context::LabelTitle(Control label) const { return layer.GetText(Main(), At(label), ui::prop::label::Title); }

void Context::SetLabelTitle(Control label, Text title) const {
  layer.SetProperty(Main(), At(label), ui::prop::label::Title, std::move(title));
}

bool Context::IsChecked(Control box) const { return layer.GetInt(Main(), At(box), ui::prop::check::IsChecked) != 0; }

void Context::SetChecked(Control box, bool checked) const {
  layer.SetProperty(Main(), At(box), ui::prop::check::IsChecked, checked ? 1 : 0);
}

void Context::SetDisabled(Control control, bool disabled) const {
  layer.SetProperty(Main(), At(control), ui::prop::IsDisabled, disabled ? 1 : 0);
}

void Context::SetTimerInterval(Control timer, int interval_ms) const {
  layer.SetProperty(Main(), At(timer), ui::prop::timer::TimerInterval, interval_ms);
}

void Context::SetMenuItemVisible(templates::main_window::MenuItem item, bool visible) const {
  layer.SetProperty(Main(), ui::Target::MenuItem(item), ui::prop::menu::IsVisible, visible ? 1 : 0);
}

void Context::SetWindowVisible(bool visible) const {
  layer.SetProperty(Main(), ui::Target::Window(), ui::prop::IsVisible, visible ? 1 : 0);
}

int Context::WindowPlacement() const {
  return layer.GetInt(Main(), ui::Target::Window(), ui::prop::window::WindowPlacement);
}

void Context::SetWindowPlacement(int placement) const {
  layer.SetProperty(Main(), ui::Target::Window(), ui::prop::window::WindowPlacement, placement);
}

void Context::ShowInformation(const Text& message, const Text& title) const {
  ShowMessage(layer, message, message_style::kInformation, title);
}

int Context::Ask(const Text& question, const Text& title) const {
  return ShowMessage(layer, question, message_style::kYesNo, title);
}

bool Context::MainWindowGone() const { return layer.Find(Main()) == nullptr; }

}  // namespace autoshutdown::logic
