#include "ui/templates/main_window.h"

#include "ui/templates/controls.h"
#include "ui/templates/resources.h"

namespace autoshutdown::templates {
namespace {

using namespace main_window;
using namespace look;
using ui::Border;
using ui::HAlign;
using ui::VAlign;

// 49 blanks, the shop page, 25 blanks: the box shows the address in its middle.
constexpr const char* kShopAddress =
    "                                                 "
    "https://shop.tesvaro.example/goods/timer.html"
    "                         ";

// The hour, minute and second boxes: read-only, typed into only by their spin buttons.
constexpr ControlTemplate TimeEntry(const char* name, int left, int spin_max) {
  return {.name = name, .kind = ControlKind::kEditBox, .parent = 分组框1, .left = left, .top = 16, .width = 48,
          .height = 32, .text = "00", .tab_stop = true, .text_colour = kBlack, .background = kWhite,
          .font = Song(24, true), .align = HAlign::kCentre, .border = Border::kSunken, .read_only = true,
          .spin = true, .spin_min = 0, .spin_max = spin_max};
}

// The target and clock text boxes: shown, never focused.
constexpr ControlTemplate TimeDisplay(const char* name, int top) {
  return {.name = name, .kind = ControlKind::kEditBox, .parent = 分组框2, .left = 65, .top = top, .width = 163,
          .height = 24, .disabled = true, .text_colour = kBlack, .background = kWhite, .font = Song(19, true),
          .align = HAlign::kCentre, .border = Border::kSunken, .read_only = true};
}

// Radio buttons and check boxes of "选项：": white on black, box left of the text.
constexpr ControlTemplate Option(const char* name, ControlKind kind, int left, int top, int width,
                                 const char* caption, bool checked = false) {
  return {.name = name, .kind = kind, .parent = 分组框3, .left = left, .top = top, .width = width, .height = 16,
          .text = caption, .tab_stop = true, .text_colour = kWhite, .background = kBlack, .checked = checked};
}

constexpr ControlTemplate Timer(const char* name) { return {.name = name, .kind = ControlKind::kTimer}; }

constexpr std::array<ControlTemplate, kControlCount> MakeControls() {
  std::array<ControlTemplate, kControlCount> c{};
  // The top row stands in for a title bar.
  c[图片框1] = {.name = "图片框1", .kind = ControlKind::kPictureBox, .width = 20, .height = 20, .background = kBlack,
                .picture = ui::PictureSource::kWindowIcon};
  c[超级链接框1] = {.name = "超级链接框1", .kind = ControlKind::kHyperlink, .left = 192, .width = 144, .height = 16,
                    .text = "", .text_colour = kBlue, .align = HAlign::kCentre, .border = Border::kRaisedFrame,
                    .link_visited = Rgb(128, 0, 0), .link_hover = Rgb(105, 177, 191), .address = kShopAddress};
  c[标签11] = {.name = "标签11", .kind = ControlKind::kLabel, .left = 144, .width = 48, .height = 16,
               .text = "赞助软件", .text_colour = kDarkGreen};
  c[按钮6] = Button("按钮6", -1, 341, 0, 20, 20, "_");
  c[按钮4] = Button("按钮4", -1, 361, 0, 20, 20, "口");
  c[按钮4].disabled = true;
  c[按钮4].tab_stop = false;
  c[按钮5] = Button("按钮5", -1, 381, 0, 20, 20, "X");
  c[标签9] = {.name = "标签9", .kind = ControlKind::kLabel, .left = 24, .width = 320, .height = 20, .text = "Quenory",
              .text_colour = kDarkGreen, .font = Song(16, true), .gradient_mode = kHorizontalGradient,
              .gradient = kTitleGradient};

  c[分组框1] = GroupBox("分组框1", 4, 21, 392, 56, "设定：");
  c[编辑框4] = TimeEntry("编辑框4", 8, 23);
  c[标签1] = Label("标签1", 分组框1, 78, 16, 16, 32, "时", kRed, Song(19, true), HAlign::kCentre, true);
  c[编辑框5] = TimeEntry("编辑框5", 96, 59);
  c[标签2] = Label("标签2", 分组框1, 165, 16, 16, 32, "分", kRed, Song(19, true), HAlign::kCentre);
  c[编辑框6] = TimeEntry("编辑框6", 184, 59);
  c[标签3] = Label("标签3", 分组框1, 253, 16, 16, 32, "秒", kRed, Song(19, true), HAlign::kCentre);
  c[按钮1] = Button("按钮1", 分组框1, 275, 16, 52, 32, "启动");
  c[按钮7] = Button("按钮7", 分组框1, 333, 16, 52, 32, "说明");

  c[分组框2] = GroupBox("分组框2", 4, 77, 236, 72, "时间：", true);
  c[标签5] = Label("标签5", 分组框2, 5, 15, 56, 24, "设定时间：", kRed);
  c[编辑框7] = TimeDisplay("编辑框7", 12);
  c[标签6] = Label("标签6", 分组框2, 5, 44, 56, 24, "现在时间：", kRed);
  c[编辑框3] = TimeDisplay("编辑框3", 41);

  // Its right 16 pixels lie beyond the window's edge.
  c[分组框3] = GroupBox("分组框3", 244, 77, 172, 72, "选项：");
  c[单选框3] = Option("单选框3", ControlKind::kRadioButton, 100, 13, 48, "注销");
  c[单选框2] = Option("单选框2", ControlKind::kRadioButton, 51, 13, 56, "重启");
  c[单选框1] = Option("单选框1", ControlKind::kRadioButton, 4, 13, 48, "关机", true);
  c[单选框6] = Option("单选框6", ControlKind::kRadioButton, 100, 31, 48, "闹钟");
  c[单选框5] = Option("单选框5", ControlKind::kRadioButton, 52, 32, 64, "冬眠");
  c[单选框4] = Option("单选框4", ControlKind::kRadioButton, 4, 32, 48, "休眠");
  c[选择框2] = Option("选择框2", ControlKind::kCheckBox, 79, 50, 72, "半点报时");
  c[选择框1] = Option("选择框1", ControlKind::kCheckBox, 6, 51, 80, "整点报时");

  c[分组框4] = GroupBox("分组框4", 4, 152, 236, 55, "铃声：");
  c[编辑框1] = {.name = "编辑框1", .kind = ControlKind::kEditBox, .parent = 分组框4, .left = 8, .top = 12,
                .width = 220, .height = 16, .disabled = true, .text_colour = kBlack, .background = kWhite,
                .border = Border::kSunken, .read_only = true};
  c[标签10] = Label("标签10", 分组框4, 12, 32, 104, 16, "MP3格式音频文件", kRed, Song(12, true));
  c[按钮2] = Button("按钮2", 分组框4, 124, 32, 44, 25, "载入");
  c[按钮3] = Button("按钮3", 分组框4, 184, 32, 44, 25, "关闭");

  c[分组框7] = GroupBox("分组框7", 244, 152, 152, 55, "操作：");
  c[按钮8] = Button("按钮8", 分组框7, 44, 8, 36, 24, "关机");
  c[按钮9] = Button("按钮9", 分组框7, 100, 8, 42, 24, "重启");
  c[按钮10] = Button("按钮10", 分组框7, 44, 32, 36, 24, "注销");
  c[按钮11] = Button("按钮11", 分组框7, 100, 32, 42, 24, "休眠");

  c[分组框5] = GroupBox("分组框5", 4, 209, 236, 40, "系统：", true);
  c[标签7] = Label("标签7", 分组框5, 10, 16, 212, 16, "标签", kBrightGreen, {}, HAlign::kCentre, true);
  c[分组框6] = GroupBox("分组框6", 248, 209, 148, 40, "作者：", true);
  c[标签8] = Label("标签8", 分组框6, 56, 12, 104, 24, "作者：Tesvaro", kBrightGreen, {}, HAlign::kLeft, true);
  c[标签8].valign = VAlign::kTop;
  c[标签8].word_wrap = true;

  // Never seen: the action name's store lies below the window's bottom edge.
  c[标签4] = {.name = "标签4", .kind = ControlKind::kLabel, .left = 368, .top = 304, .width = 24, .height = 16,
              .text = "关机"};
  c[时钟1] = Timer("时钟1");
  c[时钟2] = Timer("时钟2");
  c[时钟3] = Timer("时钟3");
  c[通用对话框1] = {.name = "通用对话框1", .kind = ControlKind::kFileDialog};
  return c;
}

constexpr std::array<ControlTemplate, kControlCount> kControls = MakeControls();
static_assert(AllNamedOnce(kControls));

constexpr std::array<ui::MenuItemTemplate, kMenuItemCount> MakeMenu() {
  std::array<ui::MenuItemTemplate, kMenuItemCount> m{};
  // "a" is never shown: the items under it serve only as the popup menu.
  m[菜单a] = {.title = "a", .level = 0, .visible = false};
  m[菜单隐藏] = {.title = "隐藏", .level = 1};
  m[菜单显示] = {.title = "显示", .level = 1};
  m[菜单分隔1] = {.title = "-", .level = 1};
  m[菜单退出] = {.title = "退出", .level = 1};
  m[菜单分隔2] = {.title = "-", .level = 1};
  m[菜单关闭闹钟] = {.title = "关闭闹钟", .level = 1};
  return m;
}

constexpr std::array<ui::MenuItemTemplate, kMenuItemCount> kMenu = MakeMenu();

}  // namespace

const ui::WindowTemplate& MainWindow() {
  static const ui::WindowTemplate window{
      .name = "主窗口",
      .title = "自动关机",
      .left = 50,
      .top = 50,
      .width = 400,
      .height = 254,
      .placement = ui::Placement::kCentred,
      .background = kBlack,
      .icon = HeartIconFile(),
      .taskbar_button = true,
      .can_minimise = true,
      .can_maximise = false,
      .esc_closes = true,
      .drag_anywhere = true,
      .visible = true,
      .controls = kControls,
      .menu = kMenu,
  };
  return window;
}

}  // namespace autoshutdown::templates
