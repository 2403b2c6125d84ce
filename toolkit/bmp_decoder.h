// Decodes Windows BMP files (the format the editor's pictures are kept in):
// uncompressed 24- and 32-bit, and 1/4/8-bit with a palette, bottom-up or
// top-down. Anything else, or a damaged file, is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace toolkit {

struct DecodedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0xRRGGBB, top row first
};

bool decodeBmp(const unsigned char* data, std::size_t size, DecodedImage& image);

}  // namespace toolkit
