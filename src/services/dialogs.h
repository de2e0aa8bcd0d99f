// The message box and the open-file dialog as the program's handlers use them, over the
// backend's modal dialogs. Both run a modal loop: ticks and tray events go on meanwhile.
#pragma once

#include <optional>

#include "services/text/text.h"
#include "ui/window_layer.h"

namespace autoshutdown {

namespace message_style {
inline constexpr int kInformation = 64;  // information icon, OK
inline constexpr int kYesNo = 4;         // Yes and No, Yes the default
}  // namespace message_style

namespace answer {
inline constexpr int kYes = 5;
inline constexpr int kNo = 6;
}  // namespace answer

// Shows a task-modal message box without owner; the title defaults to "信息：". Returns the
// answer code: the system's answer less one (OK 0 ... Yes 5, No 6), 0 for anything else.
int ShowMessage(ui::WindowLayer& layer, const Text& message, int style, std::optional<Text> title = std::nullopt);

// Shows the open-file dialog of the file dialog component `control` of `window`, preset with
// its FileName. On a confirmed choice FileName becomes the chosen path and the result is true;
// on cancel, failure, or a path longer than the dialog's 260-byte buffer FileName stays.
bool OpenFileDialog(ui::WindowLayer& layer, const ui::WindowTemplate& window, int control);

}  // namespace autoshutdown
