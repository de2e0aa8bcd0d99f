#include "ui/window_layer.h"

#include <algorithm>
#include <cstdlib>

#include "ui/look.h"
#include "ui/spin.h"

namespace autoshutdown::ui {
namespace {

constexpr std::size_t kTrayTipBytes = 62;

bool IsCheckKind(ControlKind kind) { return kind == ControlKind::kCheckBox || kind == ControlKind::kRadioButton; }
bool HasNativeWindow(ControlKind kind) { return kind != ControlKind::kTimer && kind != ControlKind::kFileDialog; }

// A tip longer than the tray allows is cut after its 62nd byte; a GBK character that the
// cut would split is left out whole rather than shown as a broken byte.
Text CutTip(const Text& tip) {
  std::string_view bytes = tip;
  if (bytes.size() <= kTrayTipBytes) return tip;
  std::size_t end = 0;
  while (end < kTrayTipBytes) {
    const auto lead = static_cast<unsigned char>(bytes[end]);
    const std::size_t width = lead >= 0x81 && lead <= 0xFE ? 2 : 1;
    if (end + width > kTrayTipBytes) break;
    end += width;
  }
  return Text(bytes.substr(0, end));
}

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

WindowLayer::WindowLayer(Backend& backend) : backend_(backend) { backend_.AttachEvents(this); }

WindowLayer::~WindowLayer() {
  // The process is ending: native windows go without raising anything.
  session_ended_ = true;
  for (WindowInstance& window : windows_) {
    if (window.tray_icon) backend_.TrayDelete(window);
    backend_.DestroyNativeWindow(window);
  }
}

void WindowLayer::Bind(const WindowTemplate& window, Target target, int event, Handler handler) {
  handlers_[{&window, target.kind, target.index, event}] = std::move(handler);
}

std::optional<bool> WindowLayer::Raise(WindowInstance& window, Target target, int event, const EventArgs& args) {
  if (loading_ > 0 || session_ended_) return std::nullopt;
  const auto found = handlers_.find({window.tmpl, target.kind, target.index, event});
  if (found == handlers_.end()) return std::nullopt;
  return found->second(args);
}

WindowInstance* WindowLayer::Find(const WindowTemplate& window) {
  for (WindowInstance& instance : windows_) {
    if (instance.tmpl == &window) return &instance;
  }
  return nullptr;
}

WindowInstance* WindowLayer::BySerial(std::uint64_t serial) {
  for (WindowInstance& instance : windows_) {
    if (instance.serial == serial) return &instance;
  }
  return nullptr;
}

bool WindowLayer::Alive(std::uint64_t serial) const {
  return std::any_of(windows_.begin(), windows_.end(), [&](const WindowInstance& w) { return w.serial == serial; });
}

void WindowLayer::CallerBug(const char* what) { Fatal(Text(what)); }

void WindowLayer::Fatal(const Text& message) {
  backend_.ShowFatalError(message);
  std::exit(-1);
}

WindowInstance& WindowLayer::Loaded(const WindowTemplate& window) {
  WindowInstance* instance = Find(window);
  if (!instance) Fatal(JoinTexts({"窗口未载入：", window.name}));
  return *instance;
}

bool WindowLayer::OpenTemplateWindow(const WindowTemplate& window, const WindowTemplate* parent, bool) {
  WindowInstance* owner = nullptr;
  if (parent) {
    owner = Find(*parent);
    if (!owner || owner->being_destroyed) return false;
  }
  if (WindowInstance* live = Find(window); live && !live->being_destroyed) {
    if (!live->destroy_pending) {
      if (live->state == ShowState::kMinimised) {
        backend_.ShowWindow(*live, ShowCommand::kShowNormal);
      } else {
        backend_.ActivateWindow(*live);
      }
      return true;
    }
    Destroy(*live);
  }

  backend_.DispatchPending();

  ++loading_;
  WindowInstance& instance = windows_.emplace_back();
  instance.tmpl = &window;
  instance.serial = next_serial_++;
  instance.parent = owner;
  instance.controls = std::vector<ControlState>(window.controls.begin(), window.controls.end());
  instance.menu = std::vector<MenuItemState>(window.menu.begin(), window.menu.end());
  instance.stored_placement = static_cast<int>(window.placement);
  if (window.placement == Placement::kCentred) {
    const Size screen = backend_.ScreenSize();
    instance.left = (screen.width - window.width) / 2;
    instance.top = (screen.height - window.height) / 2;
  } else {
    instance.left = window.left;
    instance.top = window.top;
  }
  const bool created = backend_.CreateNativeWindow(instance);
  --loading_;
  if (!created) {
    windows_.pop_back();
    return false;
  }

  const std::uint64_t serial = instance.serial;
  Raise(instance, Target::Window(), event::kCreated);
  if (Alive(serial)) Raise(instance, Target::Window(), event::kPositionChanged);
  if (Alive(serial)) Raise(instance, Target::Window(), event::kSizeChanged);
  if (Alive(serial) && window.visible) {
    instance.visible = true;
    switch (window.placement) {
      case Placement::kMinimised: backend_.ShowWindow(instance, ShowCommand::kMinimise); break;
      case Placement::kMaximised: backend_.ShowWindow(instance, ShowCommand::kMaximise); break;
      default: backend_.ShowWindow(instance, ShowCommand::kShowNormal); break;
    }
  }
  return true;
}

void WindowLayer::DisposeWindow(const WindowTemplate& window) {
  WindowInstance& instance = Loaded(window);
  instance.destroy_pending = true;
  backend_.Post([this, serial = instance.serial] {
    WindowInstance* target = BySerial(serial);
    if (target && target->destroy_pending && !target->being_destroyed) Destroy(*target);
  });
}

void WindowLayer::Destroy(WindowInstance& window) {
  if (window.being_destroyed) return;
  window.being_destroyed = true;
  window.destroy_pending = false;
  const std::uint64_t serial = window.serial;

  std::vector<std::uint64_t> owned;
  for (const WindowInstance& other : windows_) {
    if (other.parent == &window) owned.push_back(other.serial);
  }
  for (std::uint64_t child : owned) {
    if (WindowInstance* instance = BySerial(child)) Destroy(*instance);
  }

  Raise(window, Target::Window(), event::kWillBeDestroyed);

  WindowInstance* dying = BySerial(serial);
  if (!dying) return;
  if (dying->tray_icon) {
    backend_.TrayDelete(*dying);
    dying->tray_icon.reset();
  }
  backend_.DestroyNativeWindow(*dying);
  windows_.remove_if([&](const WindowInstance& w) { return w.serial == serial; });
  if (loop_started_ && windows_.empty()) backend_.PostQuit(0);
}

void WindowLayer::UpdateTrayIcon(const WindowTemplate& window, std::span<const std::uint8_t> icon, const Text& tip) {
  WindowInstance& instance = Loaded(window);
  std::optional<IconImage> image;
  if (!icon.empty()) image = ParseIconFile(icon);
  const Text cut = image ? CutTip(tip) : Text();
  if (instance.tray_icon) {
    if (image) {
      backend_.TrayModify(instance, {*image, icon}, cut);
    } else {
      backend_.TrayDelete(instance);
    }
  } else if (image) {
    backend_.TrayAdd(instance, {*image, icon}, cut);
  }
  instance.tray_icon = std::move(image);
  instance.tray_tip = cut;
}

std::vector<PopupEntry> WindowLayer::BuildPopup(const WindowInstance& window, int item) const {
  std::vector<PopupEntry> entries;
  const auto& menu = window.menu;
  const int level = menu[static_cast<std::size_t>(item)].tmpl->level;
  for (std::size_t i = static_cast<std::size_t>(item) + 1; i < menu.size() && menu[i].tmpl->level > level; ++i) {
    const MenuItemState& child = menu[i];
    if (child.tmpl->level != level + 1 || !child.visible) continue;
    PopupEntry entry;
    entry.item = static_cast<int>(i);
    entry.title = child.title;
    entry.disabled = child.disabled;
    entry.checked = child.checked;
    const bool has_children = i + 1 < menu.size() && menu[i + 1].tmpl->level > child.tmpl->level;
    if (has_children) {
      entry.kind = PopupEntry::Kind::kSubmenu;
      entry.children = BuildPopup(window, static_cast<int>(i));
    } else if (child.title == Text("-")) {
      entry.kind = PopupEntry::Kind::kSeparator;
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

void WindowLayer::ShowPopupMenu(const WindowTemplate& window, int item) {
  WindowInstance& instance = Loaded(window);
  if (item < 0 || static_cast<std::size_t>(item) >= instance.menu.size()) CallerBug("菜单项不存在");
  const std::vector<PopupEntry> entries = BuildPopup(instance, item);
  if (entries.empty()) return;
  const Point cursor = backend_.CursorPosition();
  const std::uint64_t serial = instance.serial;
  const std::optional<int> chosen = backend_.TrackPopupMenu(instance, entries, {cursor.x + 3, cursor.y + 3});
  if (WindowInstance* still = BySerial(serial); chosen && still) {
    Raise(*still, Target::MenuItem(*chosen), event::kSelected);
  }
}

bool WindowLayer::ApplyControlSkin(int scheme) {
  const std::optional<Skin> skin = SkinForScheme(scheme);
  backend_.SetSkin(skin);
  return skin.has_value();
}

int WindowLayer::RunMessageLoop() {
  loop_started_ = true;
  if (windows_.empty()) return 0;
  return backend_.RunMessageLoop();
}

// --- properties

Value WindowLayer::GetProperty(const WindowTemplate& window, Target target, int id) {
  WindowInstance& instance = Loaded(window);
  switch (target.kind) {
    case Target::Kind::kWindow:
      switch (id) {
        case prop::IsVisible: return instance.visible ? 1 : 0;
        case prop::window::WindowPlacement:
          return instance.state == ShowState::kMinimised ? 2 : instance.state == ShowState::kMaximised ? 3 : 0;
        case prop::window::WindowIcon: return Bytes(window.icon.begin(), window.icon.end());
        default: break;
      }
      break;
    case Target::Kind::kControl:
      if (target.index < 0 || static_cast<std::size_t>(target.index) >= instance.controls.size()) break;
      return GetControlProperty(instance, target.index, id);
    case Target::Kind::kMenuItem: {
      if (target.index < 0 || static_cast<std::size_t>(target.index) >= instance.menu.size()) break;
      const MenuItemState& item = instance.menu[static_cast<std::size_t>(target.index)];
      switch (id) {
        case prop::menu::kTitle: return item.title;
        case prop::menu::kChecked: return item.checked ? 1 : 0;
        case prop::menu::kDisabled: return item.disabled ? 1 : 0;
        case prop::menu::IsVisible: return item.visible ? 1 : 0;
        default: break;
      }
      break;
    }
  }
  CallerBug("读取了不存在的属性");
}

Value WindowLayer::GetControlProperty(WindowInstance& window, int control, int id) {
  const ControlState& state = window.controls[static_cast<std::size_t>(control)];
  const ControlTemplate& t = *state.tmpl;
  switch (id) {
    case prop::kLeft: return t.left;
    case prop::kTop: return t.top;
    case prop::kWidth: return t.width;
    case prop::kHeight: return t.height;
    case prop::IsVisible: {
      if (!HasNativeWindow(t.kind)) return 0;
      // Visible now: the control, the group boxes it lies in and the window are all shown.
      bool shown = window.visible;
      for (int at = control; shown && at >= 0; at = window.controls[static_cast<std::size_t>(at)].tmpl->parent) {
        shown = window.controls[static_cast<std::size_t>(at)].visible;
      }
      return shown ? 1 : 0;
    }
    case prop::IsDisabled: return state.disabled ? 1 : 0;
    default: break;
  }
  switch (t.kind) {
    case ControlKind::kEditBox:
      if (id == prop::edit::Content) return state.text;
      break;
    case ControlKind::kButton:
      if (id == prop::button::Title) return state.text;
      break;
    case ControlKind::kLabel:
    case ControlKind::kTransparentLabel:
      if (id == prop::label::Title) return state.text;
      break;
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton:
      if (id == prop::check::IsChecked) return state.checked ? 1 : 0;
      break;
    case ControlKind::kTimer:
      if (id == prop::timer::TimerInterval) return state.timer_interval;
      break;
    case ControlKind::kFileDialog:
      if (id == prop::file_dialog::FileName) return state.file_name;
      break;
    default: break;
  }
  CallerBug("读取了不存在的属性");
}

Text WindowLayer::GetText(const WindowTemplate& window, Target target, int id) {
  Value value = GetProperty(window, target, id);
  if (Text* text = std::get_if<Text>(&value)) return std::move(*text);
  CallerBug("属性不是文本");
}

int WindowLayer::GetInt(const WindowTemplate& window, Target target, int id) {
  const Value value = GetProperty(window, target, id);
  if (const int* number = std::get_if<int>(&value)) return *number;
  CallerBug("属性不是整数");
}

void WindowLayer::SetProperty(const WindowTemplate& window, Target target, int id, Value value) {
  WindowInstance& instance = Loaded(window);
  const int* number = std::get_if<int>(&value);
  switch (target.kind) {
    case Target::Kind::kWindow:
      if (number && id == prop::IsVisible) {
        instance.visible = *number != 0;
        backend_.ShowWindow(instance, instance.visible ? ShowCommand::kShow : ShowCommand::kHide);
        return;
      }
      if (number && id == prop::window::WindowPlacement) return SetWindowPlacement(instance, *number);
      break;
    case Target::Kind::kControl:
      if (target.index < 0 || static_cast<std::size_t>(target.index) >= instance.controls.size()) break;
      return SetControlProperty(instance, target.index, id, value);
    case Target::Kind::kMenuItem: {
      if (!number || target.index < 0 || static_cast<std::size_t>(target.index) >= instance.menu.size()) break;
      MenuItemState& item = instance.menu[static_cast<std::size_t>(target.index)];
      // No menu bar is shown; popups are built from these flags when they open.
      switch (id) {
        case prop::menu::kChecked: item.checked = *number != 0; return;
        case prop::menu::kDisabled: item.disabled = *number != 0; return;
        case prop::menu::IsVisible: item.visible = *number != 0; return;
        default: break;
      }
      if (Text* text = std::get_if<Text>(&value); text && id == prop::menu::kTitle) {
        item.title = std::move(*text);
        return;
      }
      break;
    }
  }
  CallerBug("写入了不存在的属性");
}

void WindowLayer::SetWindowPlacement(WindowInstance& window, int value) {
  value = std::clamp(value, 0, 3);
  window.stored_placement = value;
  if (!window.visible) return;
  switch (value) {
    case 0: backend_.ShowWindow(window, ShowCommand::kShowNormal); break;
    case 1: {
      if (window.state != ShowState::kNormal) backend_.ShowWindow(window, ShowCommand::kShowNormal);
      const Size screen = backend_.ScreenSize();
      const int left = (screen.width - window.tmpl->width) / 2;
      const int top = (screen.height - window.tmpl->height) / 2;
      if (left != window.left || top != window.top) backend_.MoveWindow(window, left, top);
      break;
    }
    case 2: backend_.ShowWindow(window, ShowCommand::kMinimise); break;
    default: backend_.ShowWindow(window, ShowCommand::kMaximise); break;
  }
}

void WindowLayer::SetControlProperty(WindowInstance& window, int control, int id, Value& value) {
  ControlState& state = window.controls[static_cast<std::size_t>(control)];
  const ControlKind kind = state.tmpl->kind;
  const int* number = std::get_if<int>(&value);
  Text* text = std::get_if<Text>(&value);
  if (number && id == prop::IsVisible) {
    state.visible = *number != 0;
    return backend_.UpdateControl(window, control);
  }
  if (number && id == prop::IsDisabled) {
    state.disabled = *number != 0;
    return backend_.UpdateControl(window, control);
  }
  if (text && kind == ControlKind::kEditBox && id == prop::edit::Content) {
    state.text = std::move(*text);
    backend_.UpdateControl(window, control);
    Raise(window, Target::Control(control), event::kContentChanged);
    return;
  }
  const bool is_title = (kind == ControlKind::kButton && id == prop::button::Title) ||
                        ((kind == ControlKind::kLabel || kind == ControlKind::kTransparentLabel) &&
                         id == prop::label::Title);
  if (text && is_title) {
    state.text = std::move(*text);
    return backend_.UpdateControl(window, control);
  }
  if (number && IsCheckKind(kind) && id == prop::check::IsChecked) {
    state.checked = *number == 1;
    return backend_.UpdateControl(window, control);
  }
  if (number && kind == ControlKind::kTimer && id == prop::timer::TimerInterval) {
    const int interval = std::max(*number, 0);
    if (interval == state.timer_interval) return;
    if (state.timer_interval > 0) backend_.StopTimer(window, control);
    state.timer_interval = interval;
    if (interval > 0) backend_.StartTimer(window, control, interval);
    return;
  }
  if (text && kind == ControlKind::kFileDialog && id == prop::file_dialog::FileName) {
    state.file_name = std::move(*text);
    return;
  }
  CallerBug("写入了不存在的属性");
}

// --- what the backend reports

bool WindowLayer::AcceptsInput(const WindowInstance& window, int control) const {
  if (window.being_destroyed) return false;
  for (int at = control; at >= 0; at = window.controls[static_cast<std::size_t>(at)].tmpl->parent) {
    const ControlState& state = window.controls[static_cast<std::size_t>(at)];
    if (!state.visible || state.disabled) return false;
  }
  return true;
}

void WindowLayer::OnClicked(WindowInstance& window, int control) {
  if (!AcceptsInput(window, control)) return;
  ControlState& clicked = window.controls[static_cast<std::size_t>(control)];
  switch (clicked.tmpl->kind) {
    case ControlKind::kCheckBox:
      clicked.checked = !clicked.checked;
      backend_.UpdateControl(window, control);
      break;
    case ControlKind::kRadioButton:
      // One group: the radio buttons that share the clicked one's parent.
      for (std::size_t i = 0; i < window.controls.size(); ++i) {
        ControlState& other = window.controls[i];
        if (other.tmpl->kind != ControlKind::kRadioButton || other.tmpl->parent != clicked.tmpl->parent) continue;
        const bool checked = static_cast<int>(i) == control;
        if (other.checked == checked) continue;
        other.checked = checked;
        backend_.UpdateControl(window, static_cast<int>(i));
      }
      break;
    case ControlKind::kButton: break;
    default: return;
  }
  Raise(window, Target::Control(control), event::kClicked);
}

void WindowLayer::OnSpin(WindowInstance& window, int control, bool up) {
  ControlState& box = window.controls[static_cast<std::size_t>(control)];
  if (!box.tmpl->spin || !AcceptsInput(window, control)) return;
  const int next = SpinStep(LeadingInteger(box.text), up, box.tmpl->spin_min, box.tmpl->spin_max);
  const std::uint64_t serial = window.serial;
  Value content = NumberText(next);
  SetControlProperty(window, control, prop::edit::Content, content);
  if (Alive(serial)) backend_.FocusAndSelectAll(window, control);
}

void WindowLayer::OnTimerTick(WindowInstance& window, int control) {
  if (window.controls[static_cast<std::size_t>(control)].timer_interval > 0) {
    Raise(window, Target::Control(control), event::kTick);
  }
}

void WindowLayer::OnEscape(WindowInstance& window) {
  if (window.tmpl->esc_closes) OnCloseCommand(window);
}

void WindowLayer::OnCloseCommand(WindowInstance& window) {
  if (window.being_destroyed) return;
  const std::uint64_t serial = window.serial;
  if (Raise(window, Target::Window(), event::kCloseQuery) == false) return;
  if (WindowInstance* still = BySerial(serial)) Destroy(*still);
}

bool WindowLayer::OnSessionEnding() {
  std::vector<std::uint64_t> serials;
  for (const WindowInstance& window : windows_) serials.push_back(window.serial);
  for (std::uint64_t serial : serials) {
    WindowInstance* window = BySerial(serial);
    if (window && Raise(*window, Target::Window(), event::kCloseQuery) == false) return false;
  }
  return true;
}

void WindowLayer::OnSessionEnded() {
  session_ended_ = true;
  backend_.PostQuit(0);
}

BackendEvents::PressResult WindowLayer::OnMousePress(WindowInstance& window, int control, MouseButton button, int x,
                                                     int y, int key_state) {
  const bool background = control < 0;
  const ControlKind kind = background ? ControlKind::kLabel : window.controls[static_cast<std::size_t>(control)].tmpl->kind;
  const bool drags = background || kind == ControlKind::kLabel || kind == ControlKind::kGroupBox ||
                     kind == ControlKind::kPictureBox;
  if (button == MouseButton::kLeft && window.tmpl->drag_anywhere && drags) return {true, true};
  if (background) return {};
  const int code = button == MouseButton::kLeft ? event::kLeftPressed : event::kRightPressed;
  const std::optional<bool> result = Raise(window, Target::Control(control), code, {x, y, key_state});
  return {false, result == false};
}

void WindowLayer::OnHyperlinkHover(WindowInstance& window, int control, bool inside) {
  ControlState& link = window.controls[static_cast<std::size_t>(control)];
  if (link.link_hover == inside) return;
  link.link_hover = inside;
  backend_.UpdateControl(window, control);
}

void WindowLayer::OnHyperlinkPressed(WindowInstance& window, int control) {
  ControlState& link = window.controls[static_cast<std::size_t>(control)];
  // The address is padded with blanks for its look in the box; the shell wants it bare.
  link.link_visited = backend_.OpenAddress(Text(Trimmed(link.tmpl->address)));
  backend_.UpdateControl(window, control);
}

void WindowLayer::OnWindowGeometry(WindowInstance& window, int left, int top, ShowState state) {
  const bool moved = left != window.left || top != window.top;
  const bool state_changed = state != window.state;
  window.left = left;
  window.top = top;
  window.state = state;
  if (!moved && !state_changed) return;
  const std::uint64_t serial = window.serial;
  Raise(window, Target::Window(), event::kPositionChanged);
  if (WindowInstance* still = BySerial(serial); still && state_changed) {
    Raise(*still, Target::Window(), event::kSizeChanged);
  }
}

void WindowLayer::OnTrayNotification(WindowInstance& window, int tray_code) {
  if (tray_code >= tray::kLeftUp && tray_code <= tray::kRightUp) {
    Raise(window, Target::Window(), event::kTray, {tray_code});
  }
}

}  // namespace autoshutdown::ui
