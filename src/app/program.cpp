#include "app/program.h"

#include "logic/handlers.h"
#include "services/dialogs.h"
#include "ui/templates/main_window.h"

namespace autoshutdown::app {
namespace {
constexpr int kErrorStyle = 16;  // the system's error icon, OK
constexpr int kStartFailed = -1;
}  // namespace

Program::Program(ui::Backend& backend, PowerService& power, AudioService& audio)
    : backend_(backend), layer_(backend) {
  logic::BindHandlers(layer_, power, audio);
}

bool Program::Start() {
  backend_.PrepareThread();
  if (layer_.OpenTemplateWindow(templates::MainWindow())) return true;
  ShowMessage(layer_, "无法创建程序的主窗口，程序将退出。", kErrorStyle, Text("错误："));
  return false;
}

int Program::Run() { return layer_.RunMessageLoop(); }

int RunProgram(ui::Backend& backend, PowerService& power, AudioService& audio) {
  Program program(backend, power, audio);
  if (!program.Start()) return kStartFailed;
  return program.Run();
}

}  // namespace autoshutdown::app
