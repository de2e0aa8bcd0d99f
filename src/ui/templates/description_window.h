// The description window's template: what the program can do, with a picture and the
// author's name. It is loaded with the main window as its owner.
#pragma once

#include "ui/window_template.h"

namespace autoshutdown::templates {

namespace description_window {

// Controls by template name, in template order (the earlier lies above where controls of
// one parent overlap; a group box comes before the controls it holds).
enum Control : int {
  按钮2,
  图片框1,
  标签9,
  分组框1,
  图片框2,
  透明标签1,
  透明标签2,
  透明标签3,
  透明标签4,
  透明标签5,
  按钮1,
  透明标签6,
  透明标签7,
  kControlCount
};

}  // namespace description_window

// Built on first use and kept for the life of the process.
const ui::WindowTemplate& DescriptionWindow();

}  // namespace autoshutdown::templates
