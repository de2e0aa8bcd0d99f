// The binary files built into the program: the heart icon and the description window's picture.
#pragma once

#include <cstdint>
#include <span>

namespace autoshutdown {

// The windows' heart icon: a Windows icon file (.ico), one 32 x 32 image of
// 256 colours with a transparency mask.
std::span<const std::uint8_t> HeartIconFile();

// The description window's picture: a 670 x 502 JPEG.
std::span<const std::uint8_t> DescriptionPicture();

}  // namespace autoshutdown
