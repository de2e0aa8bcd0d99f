#include "ui/look.h"

#include <algorithm>

namespace autoshutdown::ui {

std::span<const Colour> LabelGradient(const ControlTemplate& label) {
  if (label.gradient_mode == 0) return {};
  const auto& colours = label.gradient;
  const auto set = std::count_if(colours.begin(), colours.end(), [](Colour c) { return c != kDefaultColour; });
  if (set < 2) return {};
  // The colours that are set, in their order; the templates set them from the front.
  return std::span<const Colour>(colours.data(), static_cast<std::size_t>(set));
}

Colour GradientColourAt(std::span<const Colour> colours, int x, int width) {
  const int n = static_cast<int>(colours.size());
  if (n == 0) return kDefaultColour;
  if (n == 1) return colours[0];
  const int segment = width / (n - 1);
  // A label narrower than its colour count has no segment to blend across.
  if (segment <= 0 || x < 0) return colours[static_cast<std::size_t>(x < 0 ? 0 : n - 1)];
  const int k = x / segment;
  if (k > n - 2) return colours[static_cast<std::size_t>(n - 1)];
  const Colour from = colours[static_cast<std::size_t>(k)];
  const Colour to = colours[static_cast<std::size_t>(k + 1)];
  const int offset = x % segment;
  const auto blend = [&](int a, int b) { return a + offset * (b - a) / segment; };
  return Rgb(blend(RedOf(from), RedOf(to)), blend(GreenOf(from), GreenOf(to)), blend(BlueOf(from), BlueOf(to)));
}

Colour HyperlinkColour(const ControlState& link) {
  if (link.link_hover) return link.tmpl->link_hover;
  if (link.link_visited) return link.tmpl->link_visited;
  return link.tmpl->text_colour;
}

std::string_view HyperlinkText(const ControlState& link) {
  return link.text.empty() ? std::string_view(link.tmpl->address) : std::string_view(link.text);
}

std::optional<Skin> SkinForScheme(int scheme) {
  switch (scheme) {
    case 1: return Skin{1, Rgb(123, 158, 189)};
    case 2: return Skin{2, Rgb(164, 185, 127)};
    case 3: return Skin{3, Rgb(198, 197, 215)};
    default: return std::nullopt;
  }
}

EditFrame SkinnedEditFrame(const Skin& skin, bool disabled, bool read_only, Colour button_face,
                           Colour window_colour) {
  if (disabled) {
    const auto darker = [](int channel) { return std::max(channel - 32, 0); };
    return {Rgb(darker(RedOf(button_face)), darker(GreenOf(button_face)), darker(BlueOf(button_face))), button_face};
  }
  return {skin.frame, read_only ? button_face : window_colour};
}

}  // namespace autoshutdown::ui
