#include "ui/templates/description_window.h"

#include "ui/templates/controls.h"

namespace autoshutdown::templates {
namespace {

using namespace description_window;
using namespace look;

// The white lines of text on the group box's black, and the author line.
constexpr ControlTemplate Line(const char* name, int left, int top, int width, int height, const char* caption,
                               ui::Colour colour = kWhite) {
  return {.name = name, .kind = ControlKind::kTransparentLabel, .parent = 分组框1, .left = left, .top = top,
          .width = width, .height = height, .text = caption, .text_colour = colour};
}

constexpr std::array<ControlTemplate, kControlCount> MakeControls() {
  std::array<ControlTemplate, kControlCount> c{};
  c[按钮2] = Button("按钮2", -1, 354, 0, 20, 20, "X");
  c[图片框1] = {.name = "图片框1", .kind = ControlKind::kPictureBox, .width = 20, .height = 20, .background = kBlack,
                .picture = ui::PictureSource::kOwnerIcon};
  // Reaches beyond the right edge, like the group box below it.
  c[标签9] = {.name = "标签9", .kind = ControlKind::kLabel, .left = 16, .width = 392, .height = 16, .text = " 说明：",
              .text_colour = kBlue, .font = Song(16, true), .gradient_mode = kHorizontalGradient,
              .gradient = kTitleGradient};
  // Only its title and its top and left frame lines lie inside the window.
  c[分组框1] = GroupBox("分组框1", 3, 20, 421, 268, "说明：");
  c[图片框2] = {.name = "图片框2", .kind = ControlKind::kPictureBox, .parent = 分组框1, .left = 13, .top = 18,
                .width = 104, .height = 104, .border = ui::Border::kSunkenInRaised,
                .picture = ui::PictureSource::kDescriptionPicture};
  c[透明标签1] = Line("透明标签1", 133, 12, 224, 24, "一) 本程序功能介绍：");
  c[透明标签2] = Line("透明标签2", 149, 36, 208, 24, "1) 定时(关机、重启、注销）等功能");
  c[透明标签3] = Line("透明标签3", 149, 60, 200, 24, "2) 整点报时、半点报时、定时闹钟");
  c[透明标签4] = Line("透明标签4", 149, 84, 208, 24, "3) 闹钟铃声可以随便换，为MP3格式");
  c[透明标签5] = Line("透明标签5", 149, 116, 216, 16, "4) 可立即执行关机、重启、注销等功能");
  c[按钮1] = Button("按钮1", 分组框1, 181, 148, 96, 24, "确  定", Song(16, true));
  c[透明标签6] = Line("透明标签6", 21, 140, 328, 24, "");
  c[透明标签7] = Line("透明标签7", 13, 172, 184, 24, "by：Tesvaro", kRed);
  return c;
}

constexpr std::array<ControlTemplate, kControlCount> kControls = MakeControls();
static_assert(AllNamedOnce(kControls));

}  // namespace

const ui::WindowTemplate& DescriptionWindow() {
  static const ui::WindowTemplate window{
      .name = "说明窗口",
      .title = "",
      .left = 50,
      .top = 50,
      .width = 376,
      .height = 221,
      .placement = ui::Placement::kCentred,
      .background = kBlack,
      .taskbar_button = false,
      .can_minimise = false,
      .can_maximise = false,
      .esc_closes = true,
      .drag_anywhere = true,
      .visible = true,
      .controls = kControls,
  };
  return window;
}

}  // namespace autoshutdown::templates
