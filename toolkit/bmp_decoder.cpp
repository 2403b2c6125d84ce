#include "toolkit/bmp_decoder.h"

#include <limits>

namespace toolkit {
namespace {

std::uint32_t read16(const unsigned char* p) { return p[0] | (std::uint32_t{p[1]} << 8); }
std::uint32_t read32(const unsigned char* p) {
  return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

}  // namespace

bool decodeBmp(const unsigned char* data, std::size_t size, DecodedImage& image) {
  image = DecodedImage{};
  if (!data || size < 54 || data[0] != 'B' || data[1] != 'M') return false;
  const std::uint32_t pixelOffset = read32(data + 10);
  const std::uint32_t headerSize = read32(data + 14);
  if (headerSize < 40 || 14u + headerSize > size) return false;
  const auto width = static_cast<std::int32_t>(read32(data + 18));
  const auto rawHeight = static_cast<std::int32_t>(read32(data + 22));
  const std::uint32_t planes = read16(data + 26);
  const std::uint32_t bits = read16(data + 28);
  const std::uint32_t compression = read32(data + 30);
  std::uint32_t paletteCount = read32(data + 46);
  // 0 = BI_RGB; 3 = BI_BITFIELDS, accepted for 32-bit files with the usual masks.
  if (planes != 1 || (compression != 0 && !(compression == 3 && bits == 32))) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  if (width <= 0 || width > 16384 || rawHeight == 0 || rawHeight == std::numeric_limits<std::int32_t>::min()) {
    return false;
  }
  const bool topDown = rawHeight < 0;
  const std::int32_t height = topDown ? -rawHeight : rawHeight;
  if (height > 16384) return false;

  std::vector<std::uint32_t> palette;
  if (bits <= 8) {
    const std::uint32_t maxColors = 1u << bits;
    if (paletteCount == 0 || paletteCount > maxColors) paletteCount = maxColors;
    const std::size_t paletteStart = 14u + headerSize;
    if (paletteStart + std::size_t{paletteCount} * 4u > size) return false;
    palette.resize(maxColors, 0);
    for (std::uint32_t i = 0; i < paletteCount; ++i) {
      const unsigned char* entry = data + paletteStart + std::size_t{i} * 4u;
      palette[i] = (std::uint32_t{entry[2]} << 16) | (std::uint32_t{entry[1]} << 8) | entry[0];
    }
  }

  const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31u) / 32u) * 4u;
  if (pixelOffset > size || stride * static_cast<std::size_t>(height) > size - pixelOffset) return false;

  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::int32_t row = 0; row < height; ++row) {
    const std::int32_t fileRow = topDown ? row : height - 1 - row;
    const unsigned char* line = data + pixelOffset + stride * static_cast<std::size_t>(fileRow);
    std::uint32_t* out = image.pixels.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
    for (std::int32_t x = 0; x < width; ++x) {
      std::uint32_t value = 0;
      switch (bits) {
        case 32:
        case 24: {
          const unsigned char* p = line + static_cast<std::size_t>(x) * (bits / 8u);
          value = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
          break;
        }
        case 8:
          value = palette[line[x]];
          break;
        case 4:
          value = palette[(line[x / 2] >> ((x % 2) ? 0 : 4)) & 0x0f];
          break;
        default:
          value = palette[(line[x / 8] >> (7 - x % 8)) & 0x01];
          break;
      }
      out[x] = value;
    }
  }
  return true;
}

}  // namespace toolkit
