// Remakes the editor's pictures: make_pictures <directory> writes
// background.bmp (101) and resync_button.bmp (102) there.
#include <cstdio>
#include <string>
#include <vector>

#include "resources/generator/bmp_writer.h"
#include "resources/generator/editor_pictures.h"

namespace {

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  if (bytes.empty()) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
    return 2;
  }
  const std::string directory = argv[1];
  using namespace pictures;
  const bool ok =
      writeFile(directory + "/background.bmp",
                encodeBmp32(kBackgroundWidth, kBackgroundHeight, paintBackground())) &&
      writeFile(directory + "/resync_button.bmp",
                encodeBmp4(kButtonWidth, kButtonHeight, paintButtonImages(), kStandardPalette));
  if (!ok) {
    std::fprintf(stderr, "could not write the pictures into %s\n", directory.c_str());
    return 1;
  }
  return 0;
}
