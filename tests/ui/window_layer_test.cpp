// The control property model and the window layer, driven through the headless backend
// with a small window template of every kind.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "services/dialogs.h"
#include "tests/headless/headless_backend.h"
#include "ui/look.h"
#include "ui/templates/resources.h"
#include "ui/window_layer.h"

namespace autoshutdown::ui {
namespace {

using headless::HeadlessBackend;

enum Control : int { 按钮1, 编辑框1, 单选框1, 单选框2, 选择框1, 时钟1, 标签1, 分组框1, 单选框3, 图片框1, 超级链接框1, 通用对话框1, 透明标签1, 按钮2 };
enum Menu : int { 菜单a, 菜单隐藏, 菜单分隔, 菜单子, 菜单孙, 菜单退出 };

const ControlTemplate kControls[] = {
    {.name = "按钮1", .kind = ControlKind::kButton, .left = 10, .top = 10, .width = 40, .height = 20, .text = "启动"},
    {.name = "编辑框1", .kind = ControlKind::kEditBox, .left = 10, .top = 40, .width = 40, .height = 20, .text = "00",
     .read_only = true, .spin = true, .spin_min = 0, .spin_max = 23},
    {.name = "单选框1", .kind = ControlKind::kRadioButton, .text = "甲", .checked = true},
    {.name = "单选框2", .kind = ControlKind::kRadioButton, .text = "乙"},
    {.name = "选择框1", .kind = ControlKind::kCheckBox, .text = "丙"},
    {.name = "时钟1", .kind = ControlKind::kTimer},
    {.name = "标签1", .kind = ControlKind::kLabel, .text = "标签"},
    {.name = "分组框1", .kind = ControlKind::kGroupBox, .text = "组："},
    {.name = "单选框3", .kind = ControlKind::kRadioButton, .parent = 分组框1, .text = "丁", .checked = true},
    {.name = "图片框1", .kind = ControlKind::kPictureBox},
    {.name = "超级链接框1", .kind = ControlKind::kHyperlink, .text = "", .text_colour = Rgb(0, 0, 255),
     .link_visited = Rgb(128, 0, 0), .link_hover = Rgb(105, 177, 191), .address = "  https://shop.example/  "},
    {.name = "通用对话框1", .kind = ControlKind::kFileDialog},
    {.name = "透明标签1", .kind = ControlKind::kTransparentLabel, .text = "透明"},
    {.name = "按钮2", .kind = ControlKind::kButton, .parent = 分组框1, .text = "内"},
};

const MenuItemTemplate kMenu[] = {
    {.title = "a", .level = 0, .visible = false},
    {.title = "隐藏", .level = 1},
    {.title = "-", .level = 1},
    {.title = "子", .level = 1},
    {.title = "孙", .level = 2, .checked = true},
    {.title = "退出", .level = 1, .disabled = true},
};

WindowTemplate MakeMain() {
  return {.name = "主窗口", .title = "测试", .width = 400, .height = 254, .placement = Placement::kCentred,
          .icon = HeartIconFile(), .esc_closes = true, .drag_anywhere = true, .controls = kControls, .menu = kMenu};
}
const WindowTemplate kMain = MakeMain();
const ControlTemplate kChildControls[] = {{.name = "按钮1", .kind = ControlKind::kButton, .text = "X"}};
const WindowTemplate kChild = {.name = "子窗口", .title = "", .width = 100, .height = 50,
                               .placement = Placement::kCentred, .controls = kChildControls};

class WindowLayerTest : public ::testing::Test {
 protected:
  WindowLayerTest() { backend.Attach(layer); }

  // Records every event of every control and window of both templates as "window/target:event".
  void RecordEvents() {
    const auto bind = [&](const WindowTemplate& window, Target target, int event, std::string name) {
      layer.Bind(window, target, event, [this, name](const EventArgs& args) -> std::optional<bool> {
        log.push_back(name + (args.a || args.b ? "(" + std::to_string(args.a) + ")" : ""));
        return std::nullopt;
      });
    };
    for (const WindowTemplate* window : {&kMain, &kChild}) {
      const std::string prefix = window == &kMain ? "main/" : "child/";
      const char* names[] = {"created", "close query", "will be destroyed", "position", "size"};
      for (int event = 0; event <= event::kSizeChanged; ++event) bind(*window, Target::Window(), event, prefix + names[event]);
      bind(*window, Target::Window(), event::kTray, prefix + "tray");
    }
    for (int control : {按钮1, 单选框1, 单选框2, 选择框1, 单选框3}) {
      bind(kMain, Target::Control(control), event::kClicked, "clicked " + std::to_string(control));
    }
    bind(kMain, Target::Control(编辑框1), event::kContentChanged, "content changed");
    bind(kMain, Target::Control(时钟1), event::kTick, "tick");
    for (int control : {图片框1, 标签1, 按钮1, 透明标签1}) {
      bind(kMain, Target::Control(control), event::kLeftPressed, "left " + std::to_string(control));
      bind(kMain, Target::Control(control), event::kRightPressed, "right " + std::to_string(control));
    }
    bind(kMain, Target::MenuItem(菜单孙), event::kSelected, "selected 孙");
  }

  int Get(Target target, int id) { return layer.GetInt(kMain, target, id); }
  void Set(Target target, int id, Value value) { layer.SetProperty(kMain, target, id, value); }
  int Placement() { return Get(Target::Window(), prop::window::WindowPlacement); }
  void Open() { ASSERT_TRUE(layer.OpenTemplateWindow(kMain)); }

  HeadlessBackend backend;
  WindowLayer layer{backend};
  std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(WindowLayerTest, LoadRaisesCreatedPositionSizeThenShowsCentred) {
  bool visible_in_created = true;
  RecordEvents();
  layer.Bind(kMain, Target::Window(), event::kCreated, [&](const EventArgs&) -> std::optional<bool> {
    visible_in_created = backend.Mirror(kMain)->visible;
    log.push_back("main/created");
    return std::nullopt;
  });
  Open();
  EXPECT_EQ(log, (Log{"main/created", "main/position", "main/size"}));
  EXPECT_FALSE(visible_in_created);
  const headless::WindowMirror& mirror = *backend.Mirror(kMain);
  EXPECT_TRUE(mirror.visible);
  EXPECT_EQ(mirror.left, (1024 - 400) / 2);
  EXPECT_EQ(mirror.top, (768 - 254) / 2);
  EXPECT_EQ(Get(Target::Window(), prop::IsVisible), 1);
}

TEST_F(WindowLayerTest, OpeningALiveWindowAgainBringsItToTheFront) {
  Open();
  ASSERT_TRUE(layer.OpenTemplateWindow(kChild, &kMain));
  RecordEvents();
  backend.activations.clear();
  EXPECT_TRUE(layer.OpenTemplateWindow(kChild, &kMain));
  EXPECT_EQ(backend.activations, (std::vector<std::string>{"子窗口"}));
  EXPECT_TRUE(log.empty());
  // A minimised one is restored instead.
  backend.MinimiseByUser(kChild);
  log.clear();
  EXPECT_TRUE(layer.OpenTemplateWindow(kChild, &kMain));
  EXPECT_EQ(backend.Mirror(kChild)->state, ShowState::kNormal);
  EXPECT_EQ(log, (Log{"child/position", "child/size"}));
}

TEST_F(WindowLayerTest, ADestroyPendingInstanceIsDestroyedAtOnceAndLoadedAgain) {
  Open();
  ASSERT_TRUE(layer.OpenTemplateWindow(kChild, &kMain));
  RecordEvents();
  layer.DisposeWindow(kChild);
  EXPECT_TRUE(layer.OpenTemplateWindow(kChild, &kMain));
  EXPECT_EQ(log, (Log{"child/will be destroyed", "child/created", "child/position", "child/size"}));
  backend.Pump();  // the stale request finds a fresh instance that is not pending
  EXPECT_NE(layer.Find(kChild), nullptr);
}

TEST_F(WindowLayerTest, LoadFailsWithoutLiveParentOrWhenThePlatformRefuses) {
  EXPECT_FALSE(layer.OpenTemplateWindow(kChild, &kMain));
  backend.refuse_window_creation = true;
  EXPECT_FALSE(layer.OpenTemplateWindow(kMain));
  EXPECT_TRUE(layer.windows().empty());
}

TEST_F(WindowLayerTest, DisposeIsDeferredOwnedWindowsGoFirstAndTheLastPostsQuit) {
  Open();
  ASSERT_TRUE(layer.OpenTemplateWindow(kChild, &kMain));
  RecordEvents();
  backend.Script([&] {
    layer.DisposeWindow(kMain);
    layer.DisposeWindow(kMain);  // harmless
    EXPECT_EQ(layer.GetText(kMain, Target::Control(按钮1), prop::button::Title), Text("启动"));
    EXPECT_TRUE(log.empty());
  });
  EXPECT_EQ(layer.RunMessageLoop(), 0);
  EXPECT_EQ(log, (Log{"child/will be destroyed", "main/will be destroyed"}));
  EXPECT_TRUE(layer.windows().empty());
}

TEST_F(WindowLayerTest, NoQuitBeforeTheLoopHasStarted) {
  Open();
  layer.DisposeWindow(kMain);
  backend.Pump();
  EXPECT_TRUE(layer.windows().empty());
  EXPECT_FALSE(backend.quit_code());
}

TEST_F(WindowLayerTest, EscAndCloseCommandAskCloseQueryThenDestroy) {
  Open();
  RecordEvents();
  bool refuse = true;
  layer.Bind(kMain, Target::Window(), event::kCloseQuery, [&](const EventArgs&) -> std::optional<bool> {
    log.push_back("main/close query");
    return !refuse;
  });
  backend.PressEscape(kMain);
  EXPECT_NE(layer.Find(kMain), nullptr);
  refuse = false;
  backend.CloseCommand(kMain);
  EXPECT_EQ(log, (Log{"main/close query", "main/close query", "main/will be destroyed"}));
  EXPECT_EQ(layer.Find(kMain), nullptr);
}

TEST_F(WindowLayerTest, EndOfSessionAsksCloseQueryOnlyAndRaisesNothingAfter) {
  Open();
  RecordEvents();
  EXPECT_TRUE(backend.EndSession());
  EXPECT_EQ(log, (Log{"main/close query"}));
  EXPECT_EQ(backend.quit_code(), 0);
}

TEST_F(WindowLayerTest, TimerIntervalRules) {
  Open();
  RecordEvents();
  const Target timer = Target::Control(时钟1);
  Set(timer, prop::timer::TimerInterval, 10);
  backend.Advance(5);
  Set(timer, prop::timer::TimerInterval, 10);  // same value: not restarted
  backend.Advance(5);
  EXPECT_EQ(log, (Log{"tick"}));
  Set(timer, prop::timer::TimerInterval, 20);  // restarted, counted from now
  backend.Advance(19);
  EXPECT_EQ(log.size(), 1u);
  backend.Advance(1);
  EXPECT_EQ(log.size(), 2u);
  Set(timer, prop::timer::TimerInterval, -5);
  EXPECT_EQ(Get(timer, prop::timer::TimerInterval), 0);
  EXPECT_FALSE(backend.TimerRunning(kMain, 时钟1));
  backend.Advance(100);
  EXPECT_EQ(log.size(), 2u);
}

TEST_F(WindowLayerTest, LateTicksMergeIntoOne) {
  Open();
  RecordEvents();
  Set(Target::Control(时钟1), prop::timer::TimerInterval, 10);
  backend.Busy(55);
  backend.Advance(0);
  EXPECT_EQ(log, (Log{"tick"}));
  backend.Advance(10);
  EXPECT_EQ(log.size(), 2u);
}

TEST_F(WindowLayerTest, TicksRunNestedWhileAMessageBoxWaits) {
  Open();
  int ticks = 0;
  layer.Bind(kMain, Target::Control(时钟1), event::kTick, [&](const EventArgs&) -> std::optional<bool> {
    ++ticks;
    return std::nullopt;
  });
  Set(Target::Control(时钟1), prop::timer::TimerInterval, 10);
  backend.AnswerNextBox(1, 1000);
  EXPECT_EQ(ShowMessage(layer, "消息", message_style::kInformation), 0);
  EXPECT_EQ(ticks, 100);
}

TEST_F(WindowLayerTest, CheckedWritesRaiseNothingUserClicksKeepOneRadioPerGroup) {
  Open();
  RecordEvents();
  const Target one = Target::Control(单选框1), two = Target::Control(单选框2), other = Target::Control(单选框3);
  Set(two, prop::check::IsChecked, 1);
  EXPECT_EQ(Get(one, prop::check::IsChecked), 1);
  EXPECT_EQ(Get(two, prop::check::IsChecked), 1);
  Set(Target::Control(选择框1), prop::check::IsChecked, 7);  // only 1 checks
  EXPECT_EQ(Get(Target::Control(选择框1), prop::check::IsChecked), 0);
  EXPECT_TRUE(log.empty());

  backend.Click(kMain, 单选框1);
  EXPECT_EQ(Get(one, prop::check::IsChecked), 1);
  EXPECT_EQ(Get(two, prop::check::IsChecked), 0);
  EXPECT_EQ(Get(other, prop::check::IsChecked), 1);  // another group box is another group
  backend.Click(kMain, 单选框1);                      // clicked again although checked
  EXPECT_EQ(log, (Log{"clicked 2", "clicked 2"}));

  bool checked_in_handler = false;
  layer.Bind(kMain, Target::Control(选择框1), event::kClicked, [&](const EventArgs&) -> std::optional<bool> {
    checked_in_handler = Get(Target::Control(选择框1), prop::check::IsChecked) == 1;
    return std::nullopt;
  });
  backend.Click(kMain, 选择框1);
  EXPECT_TRUE(checked_in_handler);
  EXPECT_TRUE(backend.Mirror(kMain)->controls[选择框1].checked);
}

TEST_F(WindowLayerTest, DisabledOrHiddenControlsTakeNoInput) {
  Open();
  RecordEvents();
  Set(Target::Control(按钮1), prop::IsDisabled, 1);
  backend.Click(kMain, 按钮1);
  Set(Target::Control(分组框1), prop::IsVisible, 0);
  backend.Click(kMain, 单选框3);
  EXPECT_EQ(Get(Target::Control(单选框3), prop::IsVisible), 0);  // its group box is hidden
  EXPECT_TRUE(log.empty());
}

TEST_F(WindowLayerTest, ContentWritesRaiseContentChangedOnceEvenForTheSameText) {
  Open();
  RecordEvents();
  const Target box = Target::Control(编辑框1);
  Set(box, prop::edit::Content, Text("00"));
  Set(box, prop::edit::Content, Text("00"));
  EXPECT_EQ(log, (Log{"content changed", "content changed"}));
  Text got = layer.GetText(kMain, box, prop::edit::Content);
  got = JoinTexts({got, "x"});
  EXPECT_EQ(layer.GetText(kMain, box, prop::edit::Content), Text("00"));
}

TEST_F(WindowLayerTest, SpinArrowsWrapWritePlainDecimalAndSelectAll) {
  Open();
  RecordEvents();
  const Target box = Target::Control(编辑框1);
  backend.Spin(kMain, 编辑框1, false);
  EXPECT_EQ(layer.GetText(kMain, box, prop::edit::Content), Text("23"));
  backend.Spin(kMain, 编辑框1, true);
  EXPECT_EQ(layer.GetText(kMain, box, prop::edit::Content), Text("0"));
  Set(box, prop::edit::Content, Text("05"));
  backend.Spin(kMain, 编辑框1, true);
  EXPECT_EQ(layer.GetText(kMain, box, prop::edit::Content), Text("6"));
  EXPECT_EQ(backend.Mirror(kMain)->focus, 编辑框1);
  EXPECT_TRUE(backend.Mirror(kMain)->all_selected);
  EXPECT_EQ(log.size(), 4u);  // content changed by every write

  Set(box, prop::IsDisabled, 1);
  backend.Spin(kMain, 编辑框1, true);
  EXPECT_EQ(layer.GetText(kMain, box, prop::edit::Content), Text("6"));
}

TEST_F(WindowLayerTest, PlacementWrittenWhileHiddenChangesNothing) {
  Open();
  RecordEvents();
  Set(Target::Window(), prop::IsVisible, 0);
  Set(Target::Window(), prop::window::WindowPlacement, 2);
  EXPECT_EQ(Placement(), 0);
  Set(Target::Window(), prop::IsVisible, 1);
  EXPECT_EQ(backend.Mirror(kMain)->state, ShowState::kNormal);
  EXPECT_TRUE(backend.Mirror(kMain)->visible);
  EXPECT_TRUE(log.empty());
}

TEST_F(WindowLayerTest, PlacementWrittenWhileVisibleActsAndRaisesFromWithinTheWrite) {
  Open();
  int placement_seen = -1;
  layer.Bind(kMain, Target::Window(), event::kPositionChanged, [&](const EventArgs&) -> std::optional<bool> {
    placement_seen = Placement();
    return std::nullopt;
  });
  backend.MinimiseByUser(kMain);
  EXPECT_EQ(placement_seen, 2);
  Set(Target::Window(), prop::window::WindowPlacement, 0);
  EXPECT_EQ(placement_seen, 0);
  EXPECT_EQ(Placement(), 0);
  Set(Target::Window(), prop::window::WindowPlacement, 9);  // clamped to 3
  EXPECT_EQ(Placement(), 3);
  Set(Target::Window(), prop::window::WindowPlacement, -4);  // clamped to 0
  EXPECT_EQ(Placement(), 0);
  backend.DragTo(kMain, 5, 5);
  Set(Target::Window(), prop::window::WindowPlacement, 1);
  EXPECT_EQ(backend.Mirror(kMain)->left, 312);
  EXPECT_EQ(backend.Mirror(kMain)->top, 257);
}

TEST_F(WindowLayerTest, AWindowHiddenWhileMinimisedComesBackMinimised) {
  Open();
  backend.MinimiseByUser(kMain);
  Set(Target::Window(), prop::IsVisible, 0);
  EXPECT_EQ(Get(Target::Window(), prop::IsVisible), 0);
  Set(Target::Window(), prop::IsVisible, 1);
  EXPECT_EQ(backend.Mirror(kMain)->state, ShowState::kMinimised);
  EXPECT_EQ(Placement(), 2);
}

TEST_F(WindowLayerTest, DragAnywhereTakesPressesOnBackgroundLabelsGroupsAndPictures) {
  Open();
  RecordEvents();
  struct Case {
    int control;
    bool drags;
  };
  const Case cases[] = {{-1, true},         {标签1, true},  {分组框1, true},     {图片框1, true},
                        {按钮1, false},     {编辑框1, false}, {透明标签1, false}, {超级链接框1, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(backend.Press(kMain, c.control).start_drag, c.drags) << c.control;
  }
  EXPECT_EQ(log, (Log{"left 0(1)", "left 12(1)"}));  // only the presses that were no drag
  log.clear();
  backend.Press(kMain, 图片框1, false);
  EXPECT_EQ(log, (Log{"right 9(1)"}));
}

TEST_F(WindowLayerTest, AHandlerReturningFalseSwallowsThePress) {
  Open();
  layer.Bind(kMain, Target::Control(按钮1), event::kLeftPressed, [](const EventArgs&) { return std::optional<bool>(false); });
  EXPECT_TRUE(backend.Press(kMain, 按钮1).swallow);
  EXPECT_FALSE(backend.Press(kMain, 编辑框1).swallow);
}

TEST_F(WindowLayerTest, HyperlinkColoursFollowHoverAndTheLastPress) {
  Open();
  const auto colour = [&] { return HyperlinkColour(layer.Find(kMain)->controls[超级链接框1]); };
  EXPECT_EQ(HyperlinkText(layer.Find(kMain)->controls[超级链接框1]), "  https://shop.example/  ");
  EXPECT_EQ(colour(), Rgb(0, 0, 255));
  backend.HoverLink(kMain, 超级链接框1, true);
  EXPECT_EQ(colour(), Rgb(105, 177, 191));
  backend.PressLink(kMain, 超级链接框1);
  backend.HoverLink(kMain, 超级链接框1, false);
  EXPECT_EQ(colour(), Rgb(128, 0, 0));
  EXPECT_EQ(backend.opened_addresses, (std::vector<Text>{Text("https://shop.example/")}));
  backend.open_address_succeeds = false;
  backend.PressLink(kMain, 超级链接框1);
  EXPECT_EQ(colour(), Rgb(0, 0, 255));
}

TEST_F(WindowLayerTest, TrayIconIsAddedModifiedAndDeleted) {
  Open();
  RecordEvents();
  layer.UpdateTrayIcon(kMain);  // nothing to remove
  EXPECT_TRUE(backend.tray_log.empty());
  layer.UpdateTrayIcon(kMain, HeartIconFile(), "提示");
  layer.UpdateTrayIcon(kMain, HeartIconFile(), "另一个");
  EXPECT_EQ(backend.Mirror(kMain)->tray_icon_width, 32);
  EXPECT_EQ(backend.Mirror(kMain)->tray_tip, Text("另一个"));
  const std::uint8_t not_an_icon[] = {1, 2, 3, 4, 5, 6};
  layer.UpdateTrayIcon(kMain, not_an_icon, "x");
  layer.UpdateTrayIcon(kMain);
  using Op = headless::TrayRecord::Op;
  ASSERT_EQ(backend.tray_log.size(), 3u);
  EXPECT_EQ(backend.tray_log[0].op, Op::kAdd);
  EXPECT_EQ(backend.tray_log[1].op, Op::kModify);
  EXPECT_EQ(backend.tray_log[2].op, Op::kDelete);
  EXPECT_FALSE(backend.Mirror(kMain)->has_tray_icon);

  backend.Tray(kMain, 7);  // not a tray code: nothing
  backend.TrayDoubleClick(kMain);
  EXPECT_EQ(log, (Log{"main/tray(1)", "main/tray(2)", "main/tray(1)"}));
}

TEST_F(WindowLayerTest, TrayIconHandsTheBackendTheChosenImagesOwnBytes) {
  Open();
  // One PNG image (only its signature and IHDR: what the parser reads) behind a one-entry directory.
  const std::uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                              0, 0, 0, 16, 0, 0, 0, 16, 8, 6, 0, 0, 0, 0, 0, 0, 0};
  Bytes file = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, sizeof png, 0, 0, 0, 22, 0, 0, 0};
  file.insert(file.end(), std::begin(png), std::end(png));
  layer.UpdateTrayIcon(kMain, file, "png");
  EXPECT_EQ(backend.Mirror(kMain)->tray_icon_bytes, Bytes(std::begin(png), std::end(png)));
  EXPECT_EQ(backend.Mirror(kMain)->tray_icon_width, 16);
}

TEST_F(WindowLayerTest, TrayTipIsCutAfter62BytesWithoutSplittingACharacter) {
  Open();
  layer.UpdateTrayIcon(kMain, HeartIconFile(), Text(std::string(70, 'x')));
  EXPECT_EQ(ByteLength(backend.Mirror(kMain)->tray_tip), 62);
  layer.UpdateTrayIcon(kMain, HeartIconFile(), Text(JoinTexts({"x", std::string(40, 'y'), "时时时时时时时时时时时"})));
  EXPECT_EQ(ByteLength(backend.Mirror(kMain)->tray_tip), 61);
}

TEST_F(WindowLayerTest, DestroyedWindowLeavesNoTrayIcon) {
  Open();
  layer.UpdateTrayIcon(kMain, HeartIconFile(), "提示");
  backend.CloseCommand(kMain);
  ASSERT_EQ(backend.tray_log.size(), 2u);
  EXPECT_EQ(backend.tray_log[1].op, headless::TrayRecord::Op::kDelete);
}

TEST_F(WindowLayerTest, PopupMenuLeavesOutHiddenItemsAndRaisesSelectedAfterClosing) {
  Open();
  RecordEvents();
  layer.ShowPopupMenu(kMain, 菜单隐藏);  // no items under it: nothing shown
  EXPECT_TRUE(backend.popups.empty());

  backend.cursor = {100, 50};
  backend.AnswerNextMenu(Text("孙"));
  layer.ShowPopupMenu(kMain, 菜单a);
  ASSERT_EQ(backend.popups.size(), 1u);
  EXPECT_EQ(headless::Titles(backend.popups[0].entries), (std::vector<Text>{"隐藏", "-", "子[", "孙", "]", "退出"}));
  EXPECT_EQ(backend.popups[0].at.x, 103);
  EXPECT_EQ(backend.popups[0].at.y, 53);
  EXPECT_TRUE(backend.popups[0].entries[2].children[0].checked);
  EXPECT_TRUE(backend.popups[0].entries[3].disabled);
  EXPECT_EQ(log, (Log{}));  // the answer is not an item at top level

  Set(Target::MenuItem(菜单子), prop::menu::IsVisible, 0);
  Set(Target::MenuItem(菜单分隔), prop::menu::IsVisible, 0);
  layer.ShowPopupMenu(kMain, 菜单a);
  EXPECT_EQ(headless::Titles(backend.popups[1].entries), (std::vector<Text>{"隐藏", "退出"}));
  EXPECT_EQ(Get(Target::MenuItem(菜单子), prop::menu::IsVisible), 0);
}

TEST_F(WindowLayerTest, PopupMenuSurvivesLevelsThatJump) {
  // Levels that skip or come back out of order: the builder offers what is a direct child.
  static const MenuItemTemplate kOdd[] = {{.title = "a", .level = 0}, {.title = "深", .level = 3},
                                          {.title = "一", .level = 1}, {.title = "更深", .level = 5},
                                          {.title = "二", .level = 2}, {.title = "顶", .level = 0},
                                          {.title = "末", .level = 1}};
  static const WindowTemplate kOddWindow{.name = "怪", .title = "", .width = 10, .height = 10, .menu = kOdd};
  ASSERT_TRUE(layer.OpenTemplateWindow(kOddWindow));
  layer.ShowPopupMenu(kOddWindow, 0);
  layer.ShowPopupMenu(kOddWindow, 6);  // the last item: nothing under it
  layer.ShowPopupMenu(kOddWindow, 5);
  ASSERT_EQ(backend.popups.size(), 2u);
  EXPECT_EQ(headless::Titles(backend.popups[0].entries), (std::vector<Text>{"一[", "二", "]"}));
  EXPECT_EQ(headless::Titles(backend.popups[1].entries), (std::vector<Text>{"末"}));
  EXPECT_THROW(layer.ShowPopupMenu(kOddWindow, 7), headless::FatalError);
  EXPECT_THROW(layer.ShowPopupMenu(kOddWindow, -1), headless::FatalError);
}

TEST_F(WindowLayerTest, SkinSchemes) {
  EXPECT_TRUE(layer.ApplyControlSkin(3));
  EXPECT_EQ(backend.skin->frame, Rgb(198, 197, 215));
  EXPECT_FALSE(layer.ApplyControlSkin(0));
  EXPECT_FALSE(backend.skin);
}

TEST_F(WindowLayerTest, WindowIconReadsACopyOfTheIconFile) {
  Open();
  const Value icon = layer.GetProperty(kMain, Target::Window(), prop::window::WindowIcon);
  const auto& bytes = std::get<Bytes>(icon);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), HeartIconFile().begin(), HeartIconFile().end()));
  ASSERT_TRUE(layer.OpenTemplateWindow(kChild, &kMain));
  EXPECT_TRUE(std::get<Bytes>(layer.GetProperty(kChild, Target::Window(), prop::window::WindowIcon)).empty());
}

TEST_F(WindowLayerTest, FileDialogKeepsFileNameOnCancelAndPresetsIt) {
  Open();
  const Target dialog = Target::Control(通用对话框1);
  backend.AnswerNextFileDialog(std::nullopt);
  EXPECT_FALSE(OpenFileDialog(layer, kMain, 通用对话框1));
  EXPECT_EQ(layer.GetText(kMain, dialog, prop::file_dialog::FileName), Text(""));
  backend.AnswerNextFileDialog(Text("/tmp/铃声.mp3"));
  EXPECT_TRUE(OpenFileDialog(layer, kMain, 通用对话框1));
  backend.AnswerNextFileDialog(Text(std::string(260, 'a')));  // does not fit the buffer: a cancel
  EXPECT_FALSE(OpenFileDialog(layer, kMain, 通用对话框1));
  EXPECT_EQ(layer.GetText(kMain, dialog, prop::file_dialog::FileName), Text("/tmp/铃声.mp3"));
  ASSERT_EQ(backend.file_dialogs.size(), 3u);
  EXPECT_EQ(backend.file_dialogs[2].preset, Text("/tmp/铃声.mp3"));
  EXPECT_TRUE(backend.file_dialogs[2].had_owner);
}

TEST_F(WindowLayerTest, MessageBoxStylesTitlesAndAnswerCodes) {
  struct Case {
    int system_answer;
    int expected;
  };
  const Case cases[] = {{1, 0}, {2, 1}, {6, 5}, {7, 6}, {0, 0}, {11, 0}};
  for (const Case& c : cases) {
    backend.AnswerNextBox(c.system_answer);
    EXPECT_EQ(ShowMessage(layer, "问", message_style::kYesNo, Text("提示：")), c.expected);
  }
  backend.AnswerNextBox(1);
  ShowMessage(layer, "信", message_style::kInformation);
  backend.AnswerNextBox(1);
  ShowMessage(layer, "信", 64 | 4096);
  EXPECT_EQ(backend.boxes[0].style, 8196);
  EXPECT_EQ(backend.boxes[0].title, Text("提示："));
  EXPECT_EQ(backend.boxes[6].style, 8256);
  EXPECT_EQ(backend.boxes[6].title, Text("信息："));
  EXPECT_EQ(backend.boxes[7].style, 64 | 4096);
}

TEST_F(WindowLayerTest, TouchingAWindowThatIsNotLoadedIsFatal) {
  EXPECT_THROW(layer.GetText(kMain, Target::Control(按钮1), prop::button::Title), headless::FatalError);
  EXPECT_THROW(layer.DisposeWindow(kMain), headless::FatalError);
  Open();
  EXPECT_THROW(layer.GetText(kMain, Target::Control(按钮1), prop::edit::Content), headless::FatalError);
}

}  // namespace
}  // namespace autoshutdown::ui
