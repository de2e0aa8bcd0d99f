// The contract's desktop on the headless backend: the scripted user and the mirror.
#include "app/program.h"
#include "tests/contract/desktop.h"
#include "tests/headless/headless_backend.h"

namespace autoshutdown::contract {
namespace {

using templates::MainWindow;

class HeadlessDesktop final : public Desktop {
 public:
  HeadlessDesktop() {
    backend_.Attach(program_.layer());
    started_ = program_.Start();
  }
  bool started() const { return started_; }

  void Click(const ui::WindowTemplate& window, int control) override { backend_.Click(window, control); }
  void Spin(Control box, bool up) override { backend_.Spin(MainWindow(), box, up); }
  void PressEscape(const ui::WindowTemplate& window) override { backend_.PressEscape(window); }
  void RightClick(Control control) override { backend_.Press(MainWindow(), control, false); }
  void MinimiseByUser() override { backend_.MinimiseByUser(MainWindow()); }
  void TrayRightClick() override { backend_.Tray(MainWindow(), ui::tray::kRightUp); }
  void TrayDoubleClick() override { backend_.TrayDoubleClick(MainWindow()); }

  void AnswerNextBox(int system_answer) override { backend_.AnswerNextBox(system_answer); }
  void ChooseNextMenu(std::optional<Text> title) override { backend_.AnswerNextMenu(std::move(title)); }

  void Settle() override { backend_.Pump(); }
  int RunLoop(std::function<void()> inside) override {
    backend_.Script(std::move(inside));
    const int code = program_.Run();
    return code == headless::HeadlessBackend::kLoopStalled ? kLoopStalled : code;
  }

  bool WindowOpen(const ui::WindowTemplate& window) override { return backend_.Mirror(window) != nullptr; }
  int OpenWindows() override { return static_cast<int>(program_.layer().windows().size()); }
  bool WindowShown(const ui::WindowTemplate& window) override {
    const headless::WindowMirror* mirror = backend_.Mirror(window);
    return mirror && mirror->visible && mirror->state != ui::ShowState::kMinimised;
  }
  bool TrayIconShown() override {
    const headless::WindowMirror* mirror = backend_.Mirror(MainWindow());
    return mirror && mirror->has_tray_icon;
  }
  Text ControlText(Control control) override { return Shown(control).text; }
  bool ControlEnabled(Control control) override { return !Shown(control).disabled; }
  bool ControlChecked(Control control) override { return Shown(control).checked; }

  std::vector<BoxSeen> Boxes() override {
    std::vector<BoxSeen> seen;
    for (const ui::MessageBoxRequest& box : backend_.boxes) seen.push_back({box.text, box.title, box.style});
    return seen;
  }
  std::vector<std::vector<Text>> Popups() override {
    std::vector<std::vector<Text>> seen;
    for (const headless::PopupRecord& popup : backend_.popups) seen.push_back(headless::Titles(popup.entries));
    return seen;
  }
  int UnansweredDialogs() override { return backend_.unanswered_dialogs; }

 private:
  const headless::ControlMirror& Shown(Control control) {
    return backend_.Mirror(MainWindow())->controls.at(static_cast<std::size_t>(control));
  }
  headless::HeadlessBackend backend_{{2011, 4, 4, 7, 29, 50, 0}};
  app::Program program_{backend_, power, audio};
  bool started_ = false;
};

}  // namespace

std::unique_ptr<Desktop> MakeDesktop() {
  auto desktop = std::make_unique<HeadlessDesktop>();
  return desktop->started() ? std::move(desktop) : nullptr;
}

}  // namespace autoshutdown::contract
