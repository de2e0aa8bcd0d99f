#include "services/dialogs.h"

namespace autoshutdown {
namespace {
constexpr int kSystemModal = 4096;
constexpr int kTaskModal = 8192;
constexpr int kFileNameBuffer = 260;  // bytes, the terminating zero included
}  // namespace

int ShowMessage(ui::WindowLayer& layer, const Text& message, int style, std::optional<Text> title) {
  if ((style & kSystemModal) == 0) style |= kTaskModal;
  const int system_answer = layer.backend().ShowMessageBox({message, title.value_or(Text("信息：")), style});
  return system_answer >= 1 && system_answer <= 7 ? system_answer - 1 : 0;
}

bool OpenFileDialog(ui::WindowLayer& layer, const ui::WindowTemplate& window, int control) {
  const ui::Target target = ui::Target::Control(control);
  const Text file_name = layer.GetText(window, target, ui::prop::file_dialog::FileName);
  const Text preset(std::string_view(file_name).substr(0, kFileNameBuffer - 1));
  ui::WindowInstance* owner = layer.Find(window);
  const std::optional<Text> chosen = layer.backend().ShowOpenFileDialog(owner, preset);
  if (!chosen || chosen->empty() || ByteLength(*chosen) >= kFileNameBuffer) return false;
  // The window may have gone while the dialog was open.
  if (!layer.Find(window)) return false;
  layer.SetProperty(window, target, ui::prop::file_dialog::FileName, *chosen);
  return true;
}

}  // namespace autoshutdown
