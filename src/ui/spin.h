// Spin-button arithmetic of edit boxes.
#pragma once

#include <string_view>

namespace autoshutdown::ui {

// The integer a text begins with: leading blanks skipped, an optional sign, then decimal
// digits up to the first other character; 0 without digits. Saturates at the int range.
int LeadingInteger(std::string_view text);

// One arrow press: the next number up or down, wrapping to the other bound when it would
// leave [minimum, maximum].
int SpinStep(int value, bool up, int minimum, int maximum);

}  // namespace autoshutdown::ui
