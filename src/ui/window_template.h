// Window templates: everything a window and its controls start from, as plain data.
// A window is loaded from its template; loading it again starts from the template again.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace autoshutdown::ui {

// 0x00BBGGRR. kDefaultColour stands for the platform's button-face colour.
using Colour = std::uint32_t;
inline constexpr Colour kDefaultColour = 0xFF000000u;
constexpr Colour Rgb(int r, int g, int b) {
  return static_cast<Colour>(r) | static_cast<Colour>(g) << 8 | static_cast<Colour>(b) << 16;
}
constexpr int RedOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Colour c) { return static_cast<int>(c >> 8 & 0xFF); }
constexpr int BlueOf(Colour c) { return static_cast<int>(c >> 16 & 0xFF); }

enum class ControlKind : std::uint8_t {
  kButton,
  kEditBox,
  kLabel,
  kTransparentLabel,
  kGroupBox,
  kCheckBox,
  kRadioButton,
  kPictureBox,
  kHyperlink,
  kTimer,
  kFileDialog,
};

enum class HAlign : std::uint8_t { kLeft, kCentre, kRight };
enum class VAlign : std::uint8_t { kTop, kCentre, kBottom };

// Border styles of edit boxes, picture boxes, labels and hyperlink boxes.
enum class Border : std::uint8_t {
  kNone = 0,
  kSunken = 1,       // sunken 3-D edge
  kRaisedFrame = 2,  // raised dialog frame
  kThin = 3,         // thin static edge
  kSunkenInRaised = 4,
  kLine = 5,
};

// A font by face name (GBK), character height in pixels and weight; a null face is the
// platform's default GUI font.
struct Font {
  const char* face = nullptr;
  int height = 0;
  bool bold = false;
};

// kOwnerIcon: the icon of the window that owns this one (a window without an icon of its own
// showing its owner's).
enum class PictureSource : std::uint8_t { kNone, kWindowIcon, kOwnerIcon, kDescriptionPicture };

struct ControlTemplate {
  const char* name;  // GBK, e.g. "编辑框7"
  ControlKind kind;
  int parent = -1;  // index of the group box it lies in; -1: the window's client area
  int left = 0, top = 0, width = 0, height = 0;
  const char* text = "";  // caption, content, or a hyperlink box's caption
  bool visible = true;
  bool disabled = false;
  bool tab_stop = false;
  Colour text_colour = kDefaultColour;
  Colour background = kDefaultColour;
  Font font{};
  HAlign align = HAlign::kLeft;
  VAlign valign = VAlign::kCentre;
  bool word_wrap = false;
  Border border = Border::kNone;
  bool read_only = false;  // edit box
  bool checked = false;    // check box, radio button
  bool spin = false;       // edit box with a spin button just right of it
  int spin_min = 0, spin_max = 0;
  int gradient_mode = 0;  // label: 0 none, 2 horizontal
  std::array<Colour, 3> gradient{kDefaultColour, kDefaultColour, kDefaultColour};
  Colour link_visited = kDefaultColour;  // hyperlink box; text_colour is its normal colour
  Colour link_hover = kDefaultColour;
  const char* address = "";  // hyperlink box
  PictureSource picture = PictureSource::kNone;
};

struct MenuItemTemplate {
  const char* title;  // "-" is a separator
  int level = 0;      // 0 top level, 1 under the item before it of level 0, ...
  bool visible = true;
  bool disabled = false;
  bool checked = false;
};

enum class Placement : std::uint8_t { kNormal = 0, kCentred = 1, kMinimised = 2, kMaximised = 3 };

struct WindowTemplate {
  const char* name;   // for messages about the template
  const char* title;  // task-bar text
  int left = 0, top = 0, width = 0, height = 0;
  Placement placement = Placement::kNormal;
  Colour background = kDefaultColour;
  std::span<const std::uint8_t> icon{};  // an icon file, or empty
  bool taskbar_button = true;
  bool can_minimise = true;
  bool can_maximise = false;
  bool esc_closes = false;
  bool drag_anywhere = false;
  bool visible = true;
  std::span<const ControlTemplate> controls{};
  std::span<const MenuItemTemplate> menu{};
};

}  // namespace autoshutdown::ui
