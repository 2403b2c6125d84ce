// Writes Windows BMP files in the two forms the plug-in's pictures use:
// 32 bits per pixel, and 4 bits per pixel with a 16-colour palette.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace pictures {

// pixels: width * height values 0xRRGGBB, top row first.
std::vector<unsigned char> encodeBmp32(int width, int height, const std::vector<std::uint32_t>& pixels);

// indices: width * height palette indices 0 to 15, top row first.
std::vector<unsigned char> encodeBmp4(int width, int height, const std::vector<std::uint8_t>& indices,
                                      const std::array<std::uint32_t, 16>& palette);

}  // namespace pictures
