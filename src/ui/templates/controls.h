// Shorthands the two window templates share: colours, the 宋体 font and the looks that
// repeat across controls. Only the template sources include this.
#pragma once

#include <algorithm>
#include <array>
#include <string_view>

#include "ui/window_template.h"

namespace autoshutdown::templates::look {

using ui::ControlKind;
using ui::ControlTemplate;
using ui::Rgb;

inline constexpr ui::Colour kBlack = Rgb(0, 0, 0);
inline constexpr ui::Colour kWhite = Rgb(255, 255, 255);
inline constexpr ui::Colour kRed = Rgb(255, 0, 0);
inline constexpr ui::Colour kBlue = Rgb(0, 0, 255);
inline constexpr ui::Colour kDarkGreen = Rgb(0, 128, 0);
inline constexpr ui::Colour kBrightGreen = Rgb(0, 255, 0);
inline constexpr ui::Colour kGrey = Rgb(128, 128, 128);
// The title labels' background: grey at both edges, white in the middle.
inline constexpr std::array<ui::Colour, 3> kTitleGradient{kGrey, kWhite, kGrey};
inline constexpr int kHorizontalGradient = 2;

constexpr ui::Font Song(int height, bool bold) { return {"宋体", height, bold}; }

// A push button: caption centred both ways, GUI font unless given.
constexpr ControlTemplate Button(const char* name, int parent, int left, int top, int width, int height,
                                 const char* caption, ui::Font font = {}) {
  return {.name = name, .kind = ControlKind::kButton, .parent = parent, .left = left, .top = top, .width = width,
          .height = height, .text = caption, .tab_stop = true, .font = font, .align = ui::HAlign::kCentre};
}

// A group box: frame with its title at the top left, red on black, GUI font.
constexpr ControlTemplate GroupBox(const char* name, int left, int top, int width, int height, const char* title,
                                   bool disabled = false) {
  return {.name = name, .kind = ControlKind::kGroupBox, .left = left, .top = top, .width = width, .height = height,
          .text = title, .disabled = disabled, .text_colour = kRed, .background = kBlack};
}

// A label on black in the given colour and font.
constexpr ControlTemplate Label(const char* name, int parent, int left, int top, int width, int height,
                                const char* caption, ui::Colour colour, ui::Font font = {},
                                ui::HAlign align = ui::HAlign::kLeft, bool disabled = false) {
  return {.name = name, .kind = ControlKind::kLabel, .parent = parent, .left = left, .top = top, .width = width,
          .height = height, .text = caption, .disabled = disabled, .text_colour = colour, .background = kBlack,
          .font = font, .align = align};
}

// Every control has a name and no two share one: the arrays are filled by enumerator.
template <std::size_t N>
constexpr bool AllNamedOnce(const std::array<ControlTemplate, N>& controls) {
  for (std::size_t i = 0; i < N; ++i) {
    if (controls[i].name == nullptr) return false;
    for (std::size_t j = 0; j < i; ++j) {
      if (std::string_view(controls[i].name) == controls[j].name) return false;
    }
  }
  return true;
}

}  // namespace autoshutdown::templates::look
