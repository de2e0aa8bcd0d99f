// The main window's template: the start-up window with every control, the hidden menu
// that serves as the popup menu, and the heart icon.
#pragma once

#include "ui/window_template.h"

namespace autoshutdown::templates {

namespace main_window {

// Controls by template name, in template order. Among controls of one parent the earlier
// lies above where they overlap; a group box comes before the controls it holds.
enum Control : int {
  图片框1,
  超级链接框1,
  标签11,
  按钮6,
  按钮4,
  按钮5,
  标签9,
  分组框1,
  编辑框4,
  标签1,
  编辑框5,
  标签2,
  编辑框6,
  标签3,
  按钮1,
  按钮7,
  分组框2,
  标签5,
  编辑框7,
  标签6,
  编辑框3,
  分组框3,
  单选框3,
  单选框2,
  单选框1,
  单选框6,
  单选框5,
  单选框4,
  选择框2,
  选择框1,
  分组框4,
  编辑框1,
  标签10,
  按钮2,
  按钮3,
  分组框7,
  按钮8,
  按钮9,
  按钮10,
  按钮11,
  分组框5,
  标签7,
  分组框6,
  标签8,
  标签4,
  时钟1,
  时钟2,
  时钟3,
  通用对话框1,
  kControlCount
};

// Menu items by title, in template order: "a" (top level, hidden) and the six under it.
enum MenuItem : int {
  菜单a,
  菜单隐藏,
  菜单显示,
  菜单分隔1,
  菜单退出,
  菜单分隔2,
  菜单关闭闹钟,
  kMenuItemCount
};

}  // namespace main_window

// Built on first use and kept for the life of the process.
const ui::WindowTemplate& MainWindow();

}  // namespace autoshutdown::templates
