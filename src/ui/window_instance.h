// The live state of a loaded window: the layer holds every property here; a backend mirrors
// what is visible and reports what the user and the system do.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "services/text/text.h"
#include "ui/icon_file.h"
#include "ui/window_template.h"

namespace autoshutdown::ui {

// A backend's own data for one window (its native window and controls).
class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
};

enum class ShowState : std::uint8_t { kNormal, kMinimised, kMaximised };

// Loading a window starts every control and menu item from its template.
struct ControlState {
  explicit ControlState(const ControlTemplate& from)
      : tmpl(&from), text(from.text), visible(from.visible), disabled(from.disabled), checked(from.checked) {}

  const ControlTemplate* tmpl = nullptr;
  Text text;  // caption or content
  bool visible = true;
  bool disabled = false;
  bool checked = false;
  int timer_interval = 0;
  Text file_name;           // file dialog component
  bool link_hover = false;  // hyperlink box
  bool link_visited = false;
};

struct MenuItemState {
  explicit MenuItemState(const MenuItemTemplate& from)
      : tmpl(&from), title(from.title), visible(from.visible), disabled(from.disabled), checked(from.checked) {}

  const MenuItemTemplate* tmpl = nullptr;
  Text title;
  bool visible = true;
  bool disabled = false;
  bool checked = false;
};

struct WindowInstance {
  const WindowTemplate* tmpl = nullptr;
  std::uint64_t serial = 0;            // tells a deferred destroy which instance it was meant for
  WindowInstance* parent = nullptr; // owner of a pop-up window
  std::vector<ControlState> controls;
  std::vector<MenuItemState> menu;
  bool visible = false;
  ShowState state = ShowState::kNormal;
  int left = 0, top = 0;
  int stored_placement = 0;
  bool destroy_pending = false;
  bool being_destroyed = false;
  std::optional<IconImage> tray_icon;
  Text tray_tip;
  std::unique_ptr<NativeWindow> native;
};

}  // namespace autoshutdown::ui
