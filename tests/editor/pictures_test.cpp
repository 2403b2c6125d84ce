// The committed pictures: sizes and formats, the stated geometry and colours,
// and that the generator in the tree still makes exactly these files.
#include <gtest/gtest.h>

#include <cstdint>

#include "resources/generator/bmp_writer.h"
#include "resources/generator/editor_pictures.h"
#include "tests/editor/picture_files.h"

namespace editor_test {
namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xffffff;
constexpr std::uint32_t kMidGrey = 0x808080;
constexpr std::uint32_t kLightGrey = 0xc0c0c0;
constexpr std::uint32_t kCyan = 0x00ffff;
constexpr std::uint32_t kLogoBlue = 0x0038b4;

std::uint32_t grey(std::uint32_t level) { return level << 16 | level << 8 | level; }

int headerWord(const std::vector<unsigned char>& bytes, std::size_t at) { return bytes[at] | bytes[at + 1] << 8; }

// Dark, text-like pixels in a box (inclusive corners).
int inkIn(const Image& image, int left, int top, int right, int bottom) {
  int ink = 0;
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) ink += (image.at(x, y) & 0xff) < 100 ? 1 : 0;
  }
  return ink;
}

class BackgroundPicture : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(picture.width, 170) << "resources/background.bmp unreadable"; }
  // The outline of a box given by inclusive corners is `edge`, its inside `inside`.
  ::testing::AssertionResult box(int left, int top, int right, int bottom, std::uint32_t edge, std::uint32_t inside) {
    for (int y = top; y <= bottom; ++y) {
      for (int x = left; x <= right; ++x) {
        const bool onEdge = x == left || x == right || y == top || y == bottom;
        const std::uint32_t want = onEdge ? edge : inside;
        if (picture.at(x, y) != want)
          return ::testing::AssertionFailure() << "(" << x << ", " << y << ") is " << std::hex << picture.at(x, y);
      }
    }
    return ::testing::AssertionSuccess();
  }
  Image picture = sourcePicture("background.bmp");
};

TEST_F(BackgroundPicture, Is170By150At32BitsPerPixel) {
  const auto bytes = readFile(std::string(KELBRA_SOURCE_DIR) + "/resources/background.bmp");
  ASSERT_GT(bytes.size(), 54u);
  EXPECT_EQ(headerWord(bytes, 28), 32);
  EXPECT_EQ(picture.height, 150);
}

TEST_F(BackgroundPicture, HasFourRowStripesUnderATwoPixelBorder) {
  const std::uint32_t cycle[4] = {255, 239, 241, 254};
  for (int y = 0; y < 150; ++y) {
    for (int x = 0; x < 8; ++x) {
      const std::uint32_t want = (x < 2 || y < 2) ? kMidGrey : grey(cycle[(y - 2) % 4]);
      ASSERT_EQ(picture.at(x, y), want) << x << ", " << y;
    }
  }
  for (int x = 0; x < 170; ++x) {
    ASSERT_EQ(picture.at(x, 0), kMidGrey);
    ASSERT_EQ(picture.at(x, 1), kMidGrey);
  }
  EXPECT_EQ(picture.at(160, 2), grey(255));  // row 2 starts the cycle across the width
}

TEST_F(BackgroundPicture, StatusBarIsTheTopLeftCornerPixelForPixel) {
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 130; ++x) ASSERT_EQ(picture.at(20 + x, 127 + y), picture.at(x, y)) << x << ", " << y;
  }
}

TEST_F(BackgroundPicture, BoxesSitAtTheControlsPlaces) {
  EXPECT_TRUE(box(50, 24, 150, 45, kMidGrey, kBlack));  // identifier field
  EXPECT_TRUE(box(20, 65, 49, 80, kBlack, kWhite));     // send
  EXPECT_TRUE(box(70, 65, 99, 80, kBlack, kWhite));     // recieve
  EXPECT_TRUE(box(120, 65, 149, 80, kBlack, kWhite));   // dry
  EXPECT_TRUE(box(20, 101, 49, 116, kBlack, kWhite));   // buffer
  EXPECT_EQ(picture.at(120, 101), kBlack);
  EXPECT_EQ(picture.at(121, 102), kWhite);
  EXPECT_EQ(picture.at(122, 103), kBlack);
  EXPECT_EQ(picture.at(135, 109), kLightGrey);
}

TEST_F(BackgroundPicture, CaptionsStandAboveTheirBoxesAndTheLogoIsBlue) {
  EXPECT_GT(inkIn(picture, 8, 26, 48, 44), 40) << "ID :";
  EXPECT_GT(inkIn(picture, 20, 50, 49, 63), 20) << "send";
  EXPECT_GT(inkIn(picture, 65, 50, 104, 63), 20) << "recieve";
  EXPECT_GT(inkIn(picture, 120, 50, 149, 63), 10) << "dry";
  EXPECT_GT(inkIn(picture, 17, 86, 52, 99), 20) << "buffer";
  EXPECT_GT(inkIn(picture, 115, 86, 154, 99), 20) << "resync";
  int blue = 0;
  for (int y = 0; y < 150; ++y) {
    for (int x = 0; x < 170; ++x) {
      if (picture.at(x, y) != kLogoBlue) continue;
      ++blue;
      EXPECT_TRUE(x > 49 && x < 120 && y > 96 && y < 121) << "logo pixel outside its place: " << x << ", " << y;
    }
  }
  EXPECT_GT(blue, 60);
}

TEST(ButtonPicture, HoldsTheReleasedAndPressedImagesAt4BitsPerPixel) {
  const auto bytes = readFile(std::string(KELBRA_SOURCE_DIR) + "/resources/resync_button.bmp");
  ASSERT_GT(bytes.size(), 118u);
  EXPECT_EQ(headerWord(bytes, 28), 4);
  for (std::size_t i = 0; i < 16; ++i) {
    const std::size_t at = 54 + 4 * i;
    const std::uint32_t entry = bytes[at + 2] << 16 | bytes[at + 1] << 8 | bytes[at];
    EXPECT_EQ(entry, pictures::kStandardPalette[i]) << "palette entry " << i;
  }
  const Image image = sourcePicture("resync_button.bmp");
  ASSERT_EQ(image.width, 30);
  ASSERT_EQ(image.height, 32);
  for (int half = 0; half < 2; ++half) {
    const std::uint32_t face = half == 0 ? kLightGrey : kCyan;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 30; ++x) {
        const int edge = std::min(std::min(x, 29 - x), std::min(y, 15 - y));
        const std::uint32_t want = edge == 0 || edge == 2 ? kBlack : edge == 1 ? kWhite : face;
        ASSERT_EQ(image.at(x, 16 * half + y), want) << x << ", " << 16 * half + y;
      }
    }
  }
}

TEST(PictureGenerator, StillMakesTheCommittedFiles) {
  using namespace pictures;
  const auto background = encodeBmp32(kBackgroundWidth, kBackgroundHeight, paintBackground());
  const auto button = encodeBmp4(kButtonWidth, kButtonHeight, paintButtonImages(), kStandardPalette);
  EXPECT_EQ(background, readFile(std::string(KELBRA_SOURCE_DIR) + "/resources/background.bmp"))
      << "remake the pictures: cmake --build <dir> --target kelbra_pictures";
  EXPECT_EQ(button, readFile(std::string(KELBRA_SOURCE_DIR) + "/resources/resync_button.bmp"));
}

}  // namespace
}  // namespace editor_test
