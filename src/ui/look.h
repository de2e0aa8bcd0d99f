// How controls look, where the rule is the layer's and not the platform's: label gradients,
// hyperlink colours and the flat skin's frame colours. Backends paint with these.
#pragma once

#include <optional>
#include <span>

#include "ui/backend.h"
#include "ui/window_instance.h"
#include "ui/window_template.h"

namespace autoshutdown::ui {

// The gradient colours of a label that paints a gradient (mode not 0 and at least two
// colours that are not the default), in their order; empty otherwise.
std::span<const Colour> LabelGradient(const ControlTemplate& label);

// Horizontal gradient (mode 2): the colour at x of a label `width` pixels wide.
Colour GradientColourAt(std::span<const Colour> colours, int x, int width);

// Hover colour while the mouse is over the box, else visited after a successful press,
// else the normal colour.
Colour HyperlinkColour(const ControlState& link);
// The text a hyperlink box shows: its caption, or its address when the caption is empty.
std::string_view HyperlinkText(const ControlState& link);

// The flat skin of scheme 1, 2 or 3; nullopt for any other number.
std::optional<Skin> SkinForScheme(int scheme);

struct EditFrame {
  Colour outer;
  Colour inner;
};
// The two 1-pixel frame lines of a skinned edit box.
EditFrame SkinnedEditFrame(const Skin& skin, bool disabled, bool read_only, Colour button_face,
                           Colour window_colour);

}  // namespace autoshutdown::ui
