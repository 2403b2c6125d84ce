#include "tests/editor/picture_files.h"

#include <fstream>
#include <iterator>

#include "toolkit/bmp_decoder.h"

namespace editor_test {

std::vector<unsigned char> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Image sourcePicture(const std::string& name) {
  const std::vector<unsigned char> bytes = readFile(std::string(KELBRA_SOURCE_DIR) + "/resources/" + name);
  toolkit::DecodedImage decoded;
  Image image;
  if (!toolkit::decodeBmp(bytes.data(), bytes.size(), decoded)) return image;
  image.width = decoded.width;
  image.height = decoded.height;
  image.pixels = decoded.pixels;
  return image;
}

}  // namespace editor_test
