#include "tests/headless/headless_backend.h"

#include <cmath>

namespace autoshutdown::headless {

namespace {
constexpr std::int64_t kMsPerDay = 86'400'000;

std::int64_t StartMs(const LocalTime& start) {
  return std::llround(ToDateTime(start) * 86400.0) * 1000 + start.millisecond;
}
}  // namespace

HeadlessBackend::HeadlessBackend(LocalTime start) : start_(start), start_value_(ToDateTime(start)) {
  SetTimeSource(this);
}

HeadlessBackend::~HeadlessBackend() { SetTimeSource(nullptr); }

LocalTime HeadlessBackend::Now() {
  const std::int64_t total = StartMs(start_) + now_ms_;
  LocalTime now = FieldsOf(static_cast<double>(total / 1000) / 86400.0);
  now.millisecond = static_cast<int>(total % 1000);
  return now;
}

void HeadlessBackend::Advance(std::int64_t ms) {
  const std::int64_t target = now_ms_ + ms;
  for (;;) {
    DispatchPending();
    // The earliest due timer; ties go in the order the timers were started.
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (next == timers_.end() || it->second.due < next->second.due) next = it;
    }
    if (next == timers_.end() || next->second.due > target) break;
    if (next->second.due > now_ms_) now_ms_ = next->second.due;
    // Ticks that fell due while the thread was busy are merged into this one.
    next->second.due = now_ms_ + next->second.period;
    auto [window, control] = next->first;
    events().OnTimerTick(*window, control);
  }
  if (now_ms_ < target) now_ms_ = target;
  DispatchPending();
}

void HeadlessBackend::AdvanceTo(int hour, int minute, int second, int millisecond) {
  const LocalTime now = Now();
  const std::int64_t current = ((now.hour * 60 + now.minute) * 60 + now.second) * 1000LL + now.millisecond;
  const std::int64_t wanted = ((hour * 60 + minute) * 60 + second) * 1000LL + millisecond;
  std::int64_t delta = wanted - current;
  if (delta < 0) delta += kMsPerDay;
  Advance(delta);
}

void HeadlessBackend::Wait(std::int64_t ms) {
  if (ms > 0) Advance(ms);
}

void HeadlessBackend::DispatchPending() {
  while (!posted_.empty()) {
    auto task = std::move(posted_.front());
    posted_.pop_front();
    task();
  }
}

int HeadlessBackend::RunMessageLoop() {
  for (;;) {
    DispatchPending();
    if (quit_code_) return *quit_code_;
    if (script_.empty()) return kLoopStalled;
    auto step = std::move(script_.front());
    script_.pop_front();
    step();
  }
}

ui::WindowInstance* HeadlessBackend::Live(const ui::WindowTemplate& window) {
  ui::WindowInstance* instance = layer_ ? layer_->Find(window) : nullptr;
  if (!instance) throw std::logic_error(std::string("window not loaded: ") + window.name);
  return instance;
}

WindowMirror* HeadlessBackend::Mirror(const ui::WindowTemplate& window) {
  ui::WindowInstance* instance = layer_ ? layer_->Find(window) : nullptr;
  return instance ? static_cast<WindowMirror*>(instance->native.get()) : nullptr;
}

bool HeadlessBackend::TimerRunning(const ui::WindowTemplate& window, int control) const {
  for (const auto& [key, timer] : timers_) {
    if (key.first->tmpl == &window && key.second == control) return true;
  }
  return false;
}

bool HeadlessBackend::InputBlocked() {
  if (modal_depth == 0) return false;
  ++blocked_inputs;
  return true;
}

// --- the scripted user

void HeadlessBackend::Click(const ui::WindowTemplate& window, int control) {
  if (!InputBlocked()) events().OnClicked(*Live(window), control);
}

void HeadlessBackend::Spin(const ui::WindowTemplate& window, int control, bool up) {
  if (!InputBlocked()) events().OnSpin(*Live(window), control, up);
}

void HeadlessBackend::PressEscape(const ui::WindowTemplate& window) {
  if (!InputBlocked()) events().OnEscape(*Live(window));
}

void HeadlessBackend::CloseCommand(const ui::WindowTemplate& window) { events().OnCloseCommand(*Live(window)); }

ui::BackendEvents::PressResult HeadlessBackend::Press(const ui::WindowTemplate& window, int control, bool left) {
  if (InputBlocked()) return {};
  return events().OnMousePress(*Live(window), control,
                               left ? ui::BackendEvents::MouseButton::kLeft : ui::BackendEvents::MouseButton::kRight,
                               1, 1, 0);
}

void HeadlessBackend::Tray(const ui::WindowTemplate& window, int code) {
  events().OnTrayNotification(*Live(window), code);
}

void HeadlessBackend::TrayDoubleClick(const ui::WindowTemplate& window) {
  for (int code : {ui::tray::kLeftUp, ui::tray::kLeftDoubleClick, ui::tray::kLeftUp}) {
    if (layer_->Find(window)) Tray(window, code);
  }
}

void HeadlessBackend::MinimiseByUser(const ui::WindowTemplate& window) {
  ui::WindowInstance* instance = Live(window);
  static_cast<WindowMirror*>(instance->native.get())->state = ui::ShowState::kMinimised;
  ReportGeometry(*instance);
}

void HeadlessBackend::RestoreByUser(const ui::WindowTemplate& window) {
  ui::WindowInstance* instance = Live(window);
  static_cast<WindowMirror*>(instance->native.get())->state = ui::ShowState::kNormal;
  ReportGeometry(*instance);
}

void HeadlessBackend::DragTo(const ui::WindowTemplate& window, int left, int top) {
  ui::WindowInstance* instance = Live(window);
  auto* mirror = static_cast<WindowMirror*>(instance->native.get());
  mirror->left = left;
  mirror->top = top;
  ReportGeometry(*instance);
}

void HeadlessBackend::HoverLink(const ui::WindowTemplate& window, int control, bool inside) {
  events().OnHyperlinkHover(*Live(window), control, inside);
}

void HeadlessBackend::PressLink(const ui::WindowTemplate& window, int control) {
  if (!InputBlocked()) events().OnHyperlinkPressed(*Live(window), control);
}

bool HeadlessBackend::EndSession() {
  if (!events().OnSessionEnding()) return false;
  events().OnSessionEnded();
  return true;
}

void HeadlessBackend::AnswerNextBox(int system_answer, std::int64_t wait_ms, std::function<void()> meanwhile) {
  box_answers_.push_back({system_answer, wait_ms, std::move(meanwhile)});
}

void HeadlessBackend::AnswerNextFileDialog(std::optional<Text> path, std::int64_t wait_ms) {
  file_answers_.push_back({std::move(path), wait_ms});
}

void HeadlessBackend::AnswerNextMenu(std::optional<Text> title) { menu_answers_.push_back(std::move(title)); }

// --- ui::Backend

bool HeadlessBackend::CreateNativeWindow(ui::WindowInstance& window) {
  if (refuse_window_creation) return false;
  auto mirror = std::make_unique<WindowMirror>();
  mirror->left = window.left;
  mirror->top = window.top;
  mirror->controls.resize(window.controls.size());
  window.native = std::move(mirror);
  for (std::size_t i = 0; i < window.controls.size(); ++i) UpdateControl(window, static_cast<int>(i));
  return true;
}

void HeadlessBackend::DestroyNativeWindow(ui::WindowInstance& window) {
  std::erase_if(timers_, [&](const auto& entry) { return entry.first.first == &window; });
  window.native.reset();
}

void HeadlessBackend::ReportGeometry(ui::WindowInstance& window) {
  const auto* mirror = static_cast<WindowMirror*>(window.native.get());
  events().OnWindowGeometry(window, mirror->left, mirror->top, mirror->state);
}

void HeadlessBackend::ShowWindow(ui::WindowInstance& window, ui::ShowCommand command) {
  auto* mirror = static_cast<WindowMirror*>(window.native.get());
  switch (command) {
    case ui::ShowCommand::kHide: mirror->visible = false; break;
    case ui::ShowCommand::kShow: mirror->visible = true; break;
    case ui::ShowCommand::kShowNormal:
      mirror->visible = true;
      mirror->state = ui::ShowState::kNormal;
      break;
    case ui::ShowCommand::kMinimise:
      mirror->visible = true;
      mirror->state = ui::ShowState::kMinimised;
      break;
    case ui::ShowCommand::kMaximise:
      mirror->visible = true;
      mirror->state = ui::ShowState::kMaximised;
      break;
  }
  if (mirror->visible) activations.push_back(window.tmpl->name);
  ReportGeometry(window);
}

void HeadlessBackend::MoveWindow(ui::WindowInstance& window, int left, int top) {
  auto* mirror = static_cast<WindowMirror*>(window.native.get());
  mirror->left = left;
  mirror->top = top;
  ReportGeometry(window);
}

void HeadlessBackend::ActivateWindow(ui::WindowInstance& window) { activations.push_back(window.tmpl->name); }

void HeadlessBackend::UpdateControl(ui::WindowInstance& window, int control) {
  const ui::ControlState& state = window.controls[static_cast<std::size_t>(control)];
  ControlMirror& mirror = static_cast<WindowMirror*>(window.native.get())->controls[static_cast<std::size_t>(control)];
  mirror.text = state.text;  // copy-assigned: reuses the mirror's buffer on every tick
  mirror.visible = state.visible;
  mirror.disabled = state.disabled;
  mirror.checked = state.checked;
  mirror.link_hover = state.link_hover;
  mirror.link_visited = state.link_visited;
}

void HeadlessBackend::FocusAndSelectAll(ui::WindowInstance& window, int control) {
  auto* mirror = static_cast<WindowMirror*>(window.native.get());
  mirror->focus = control;
  mirror->all_selected = true;
}

void HeadlessBackend::StartTimer(ui::WindowInstance& window, int control, int period_ms) {
  timers_[{&window, control}] = {period_ms, now_ms_ + period_ms};
}

void HeadlessBackend::StopTimer(ui::WindowInstance& window, int control) { timers_.erase({&window, control}); }

int HeadlessBackend::ShowMessageBox(const ui::MessageBoxRequest& request) {
  boxes.push_back(request);
  if (box_answers_.empty()) {
    ++unanswered_dialogs;
    return 0;
  }
  BoxAnswer answer = std::move(box_answers_.front());
  box_answers_.pop_front();
  ++modal_depth;
  Wait(answer.wait_ms);
  if (answer.meanwhile) answer.meanwhile();
  --modal_depth;
  return answer.answer;
}

std::optional<Text> HeadlessBackend::ShowOpenFileDialog(ui::WindowInstance* owner, const Text& preset) {
  file_dialogs.push_back({owner != nullptr, preset});
  if (file_answers_.empty()) {
    ++unanswered_dialogs;
    return std::nullopt;
  }
  FileAnswer answer = std::move(file_answers_.front());
  file_answers_.pop_front();
  ++modal_depth;
  Wait(answer.wait_ms);
  --modal_depth;
  return answer.path;
}

std::optional<int> HeadlessBackend::TrackPopupMenu(ui::WindowInstance&, const std::vector<ui::PopupEntry>& entries,
                                                   ui::Point at) {
  popups.push_back({entries, at});
  if (menu_answers_.empty()) return std::nullopt;
  const std::optional<Text> title = std::move(menu_answers_.front());
  menu_answers_.pop_front();
  if (!title) return std::nullopt;
  for (const ui::PopupEntry& entry : entries) {
    if (entry.kind == ui::PopupEntry::Kind::kItem && entry.title == *title && !entry.disabled) return entry.item;
  }
  return std::nullopt;
}

void HeadlessBackend::TrayAdd(ui::WindowInstance& window, const ui::TrayIconSource& icon, const Text& tip) {
  auto* mirror = static_cast<WindowMirror*>(window.native.get());
  mirror->has_tray_icon = true;
  mirror->tray_tip = tip;
  mirror->tray_icon_width = icon.image.image.width;
  mirror->tray_icon_bytes.assign(icon.ImageBytes().begin(), icon.ImageBytes().end());
  tray_log.push_back({TrayRecord::Op::kAdd, window.tmpl->name, tip});
}

void HeadlessBackend::TrayModify(ui::WindowInstance& window, const ui::TrayIconSource& icon, const Text& tip) {
  auto* mirror = static_cast<WindowMirror*>(window.native.get());
  mirror->tray_tip = tip;
  mirror->tray_icon_width = icon.image.image.width;
  mirror->tray_icon_bytes.assign(icon.ImageBytes().begin(), icon.ImageBytes().end());
  tray_log.push_back({TrayRecord::Op::kModify, window.tmpl->name, tip});
}

void HeadlessBackend::TrayDelete(ui::WindowInstance& window) {
  auto* mirror = static_cast<WindowMirror*>(window.native.get());
  if (mirror) mirror->has_tray_icon = false;
  tray_log.push_back({TrayRecord::Op::kDelete, window.tmpl->name, Text()});
}

bool HeadlessBackend::OpenAddress(const Text& address) {
  opened_addresses.push_back(address);
  return open_address_succeeds;
}

// --- lookups

int ControlIndex(const ui::WindowTemplate& window, std::string_view name) {
  for (std::size_t i = 0; i < window.controls.size(); ++i) {
    if (name == window.controls[i].name) return static_cast<int>(i);
  }
  throw std::logic_error("no such control");
}

int MenuIndex(const ui::WindowTemplate& window, std::string_view title) {
  for (std::size_t i = 0; i < window.menu.size(); ++i) {
    if (title == window.menu[i].title) return static_cast<int>(i);
  }
  throw std::logic_error("no such menu item");
}

std::vector<Text> Titles(const std::vector<ui::PopupEntry>& entries) {
  std::vector<Text> titles;
  for (const ui::PopupEntry& entry : entries) {
    switch (entry.kind) {
      case ui::PopupEntry::Kind::kSeparator: titles.emplace_back("-"); break;
      case ui::PopupEntry::Kind::kItem: titles.push_back(entry.title); break;
      case ui::PopupEntry::Kind::kSubmenu: {
        titles.push_back(JoinTexts({entry.title, "["}));
        for (const Text& title : Titles(entry.children)) titles.push_back(title);
        titles.emplace_back("]");
        break;
      }
    }
  }
  return titles;
}

}  // namespace autoshutdown::headless
