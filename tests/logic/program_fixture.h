// The whole program on the headless backend, with recording services, and what the tests
// read and do through it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "app/program.h"
#include "services/text/codec.h"
#include "tests/headless/headless_backend.h"
#include "tests/logic/recording_services.h"
#include "ui/templates/description_window.h"
#include "ui/templates/main_window.h"

namespace autoshutdown {
// Failures show the program's GBK texts readably.
inline void PrintTo(const Text& text, std::ostream* out) { *out << '"' << codec::GbkToUtf8(text) << '"'; }
}  // namespace autoshutdown

namespace autoshutdown::testing_support {

using namespace templates::main_window;
using templates::DescriptionWindow;
using templates::MainWindow;

// The system's answers to a message box, and the styles as the system gets them.
inline constexpr int IDOK = 1, IDYES = 6, IDNO = 7;
inline constexpr int kInformationBox = 64 | 8192;
inline constexpr int kYesNoBox = 4 | 8192;

inline constexpr LocalTime kHalfMinuteToTarget{2011, 4, 4, 7, 29, 50, 0};

class ProgramTest : public ::testing::Test {
 protected:
  explicit ProgramTest(LocalTime start = kHalfMinuteToTarget) : backend(start) {
    backend.Attach(program.layer());
  }
  void SetUp() override { ASSERT_TRUE(program.Start()); }

  headless::HeadlessBackend backend;
  RecordingPower power;
  RecordingAudio audio;
  app::Program program{backend, power, audio};
  const ui::WindowTemplate& main = MainWindow();

  ui::WindowLayer& layer() { return program.layer(); }
  Text Content(Control box) { return layer().GetText(main, ui::Target::Control(box), ui::prop::edit::Content); }
  Text ButtonTitle(Control button) {
    return layer().GetText(main, ui::Target::Control(button), ui::prop::button::Title);
  }
  Text LabelTitle(Control label) { return layer().GetText(main, ui::Target::Control(label), ui::prop::label::Title); }
  bool Checked(Control box) { return layer().GetInt(main, ui::Target::Control(box), ui::prop::check::IsChecked); }
  bool Disabled(Control control) { return layer().GetInt(main, ui::Target::Control(control), ui::prop::IsDisabled); }
  int Interval(Control timer) {
    return layer().GetInt(main, ui::Target::Control(timer), ui::prop::timer::TimerInterval);
  }
  bool Shown() { return backend.Mirror(main)->visible; }
  bool Running() { return layer().Find(main) != nullptr; }

  // The user sets an entry box with its up arrow, from its initial "00".
  void SpinUp(Control box, int presses) {
    for (int i = 0; i < presses; ++i) backend.Spin(main, box, true);
  }
  // Sets the entries by spin buttons and presses "启动", confirming the message.
  void Arm(int hour, int minute, int second) {
    SpinUp(编辑框4, hour);
    SpinUp(编辑框5, minute);
    SpinUp(编辑框6, second);
    backend.AnswerNextBox(IDOK);
    backend.Click(main, 按钮1);
  }
  void LoadRingtone(const char* path) {
    backend.AnswerNextFileDialog(Text(path));
    backend.Click(main, 按钮2);
  }
  // The entries of the popup menu that a right click on the tray icon shows now.
  std::vector<Text> PopupNow() {
    backend.AnswerNextMenu(std::nullopt);
    backend.Tray(main, ui::tray::kRightUp);
    return headless::Titles(backend.popups.back().entries);
  }
  void ChooseFromTrayMenu(const char* title) {
    backend.AnswerNextMenu(Text(title));
    backend.Tray(main, ui::tray::kRightUp);
  }
  int Count(const std::vector<int>& requests, int code) {
    return static_cast<int>(std::count(requests.begin(), requests.end(), code));
  }
};

// One box as the system showed it.
inline void ExpectBox(const ui::MessageBoxRequest& box, const char* text, const char* title, int style) {
  EXPECT_EQ(box.text, Text(text));
  EXPECT_EQ(box.title, Text(title));
  EXPECT_EQ(box.style, style);
}

}  // namespace autoshutdown::testing_support
