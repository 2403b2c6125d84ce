#include "resources/generator/bmp_writer.h"

#include <cstddef>

namespace pictures {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;

void put16(std::vector<unsigned char>& out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<unsigned char>(value & 0xff);
  out[at + 1] = static_cast<unsigned char>((value >> 8) & 0xff);
}

void put32(std::vector<unsigned char>& out, std::size_t at, std::uint32_t value) {
  put16(out, at, value & 0xffff);
  put16(out, at + 2, value >> 16);
}

// File and info headers for a bottom-up, uncompressed picture.
std::vector<unsigned char> headers(int width, int height, int bitsPerPixel, std::size_t paletteBytes,
                                   std::size_t pixelBytes) {
  const std::size_t offset = kFileHeaderBytes + kInfoHeaderBytes + paletteBytes;
  std::vector<unsigned char> out(offset + pixelBytes, 0);
  out[0] = 'B';
  out[1] = 'M';
  put32(out, 2, static_cast<std::uint32_t>(out.size()));
  put32(out, 10, static_cast<std::uint32_t>(offset));
  put32(out, 14, kInfoHeaderBytes);
  put32(out, 18, static_cast<std::uint32_t>(width));
  put32(out, 22, static_cast<std::uint32_t>(height));
  put16(out, 26, 1);  // planes
  put16(out, 28, static_cast<std::uint32_t>(bitsPerPixel));
  put32(out, 30, 0);  // BI_RGB
  put32(out, 34, static_cast<std::uint32_t>(pixelBytes));
  put32(out, 38, 2835);  // 72 dpi
  put32(out, 42, 2835);
  put32(out, 46, bitsPerPixel <= 8 ? (1u << bitsPerPixel) : 0u);
  return out;
}

std::size_t rowBytes(int width, int bitsPerPixel) {
  const std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel);
  return (bits + 31) / 32 * 4;  // rows are padded to whole 32-bit words
}

}  // namespace

std::vector<unsigned char> encodeBmp32(int width, int height, const std::vector<std::uint32_t>& pixels) {
  if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    return {};
  const std::size_t stride = rowBytes(width, 32);
  std::vector<unsigned char> out = headers(width, height, 32, 0, stride * static_cast<std::size_t>(height));
  const std::size_t start = kFileHeaderBytes + kInfoHeaderBytes;
  for (int y = 0; y < height; ++y) {
    // Bottom-up: the picture's last row is stored first.
    std::size_t at = start + stride * static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t rgb = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                       static_cast<std::size_t>(x)];
      out[at++] = static_cast<unsigned char>(rgb & 0xff);
      out[at++] = static_cast<unsigned char>((rgb >> 8) & 0xff);
      out[at++] = static_cast<unsigned char>((rgb >> 16) & 0xff);
      out[at++] = 0;
    }
  }
  return out;
}

std::vector<unsigned char> encodeBmp4(int width, int height, const std::vector<std::uint8_t>& indices,
                                      const std::array<std::uint32_t, 16>& palette) {
  if (width <= 0 || height <= 0 || indices.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    return {};
  const std::size_t stride = rowBytes(width, 4);
  std::vector<unsigned char> out = headers(width, height, 4, 16 * 4, stride * static_cast<std::size_t>(height));
  std::size_t at = kFileHeaderBytes + kInfoHeaderBytes;
  for (const std::uint32_t rgb : palette) {
    out[at++] = static_cast<unsigned char>(rgb & 0xff);
    out[at++] = static_cast<unsigned char>((rgb >> 8) & 0xff);
    out[at++] = static_cast<unsigned char>((rgb >> 16) & 0xff);
    out[at++] = 0;
  }
  const std::size_t start = at;
  for (int y = 0; y < height; ++y) {
    const std::size_t row = start + stride * static_cast<std::size_t>(height - 1 - y);
    for (int x = 0; x < width; ++x) {
      const std::uint8_t index = indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                         static_cast<std::size_t>(x)] & 0x0f;
      // The left pixel of each pair sits in the high nibble.
      out[row + static_cast<std::size_t>(x) / 2] |= static_cast<unsigned char>(x % 2 == 0 ? index << 4 : index);
    }
  }
  return out;
}

}  // namespace pictures
