// Bitmaps embedded at build time (this suite's pictures 101 and 102), the
// offscreen context, and the BMP decoder.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/canvas.h"
#include "tests/toolkit/canvas_probe.h"
#include "toolkit/bmp_decoder.h"
#include "toolkit/cbitmap.h"
#include "toolkit/cdraw_context.h"
#include "toolkit/coffscreen_context.h"
#include "toolkit/resource_table.h"

using namespace toolkit;
using toolkit_test::allPixels;
using toolkit_test::countPixels;
using toolkit_test::rgb;

namespace {

constexpr int kBackground = 101;   // 170 x 150, pixel (x, y) = (x, y, (x + y) % 256)
constexpr int kTwoStates = 102;    // 30 x 32: red above, blue below, white and near-white dots
constexpr platform::Rgb kRed{200, 0, 0};
constexpr platform::Rgb kBlue{0, 0, 200};
constexpr platform::Rgb kWhite{255, 255, 255};
constexpr platform::Rgb kNearWhite{255, 255, 254};

class BitmapTest : public ::testing::Test {
 protected:
  std::unique_ptr<platform::Canvas> canvas = platform::Canvas::create(80, 60);
  CDrawContext* context = new CDrawContext(nullptr, canvas.get(), nullptr);
  void TearDown() override { context->release(); }
};

TEST_F(BitmapTest, LoadsEmbeddedPicturesByNumber) {
  CBitmap* background = new CBitmap(kBackground);
  CBitmap* button = new CBitmap(kTwoStates);
  EXPECT_EQ(background->getWidth(), 170);
  EXPECT_EQ(background->getHeight(), 150);
  EXPECT_EQ(button->getWidth(), 30);
  EXPECT_EQ(button->getHeight(), 32);
  // The number's high bits are not part of the resource number.
  CBitmap* wide = new CBitmap(0x10000 + kTwoStates);
  EXPECT_EQ(wide->getWidth(), 30);
  background->release();
  button->release();
  wide->release();
}

TEST_F(BitmapTest, DrawCopiesTheRegionAtTheOffset) {
  CBitmap* background = new CBitmap(kBackground);
  context->offset = CPoint(3, 4);
  background->draw(context, CRect(10, 10, 30, 25), CPoint(40, 50));
  background->release();
  // Destination (13, 14) shows source (40, 50).
  EXPECT_EQ(canvas->pixel(13, 14), (platform::Rgb{40, 50, 90}));
  EXPECT_EQ(canvas->pixel(32, 28), (platform::Rgb{59, 64, 123}));
  EXPECT_EQ(canvas->pixel(33, 28), rgb(kColorBlack));  // right edge excluded
  EXPECT_EQ(canvas->pixel(12, 14), rgb(kColorBlack));
}

TEST_F(BitmapTest, OffsetSixteenDrawsTheSecondStateOfATwoStateButton) {
  CBitmap* button = new CBitmap(kTwoStates);
  button->draw(context, CRect(0, 0, 30, 16), CPoint(0, 16));
  button->release();
  EXPECT_EQ(countPixels(*canvas, kBlue), 30 * 16 - 2);
  EXPECT_EQ(countPixels(*canvas, kRed), 0);
  EXPECT_EQ(canvas->pixel(2, 2), kWhite);
}

TEST_F(BitmapTest, DrawTransparentLeavesPureWhiteOutAndDrawsNearWhite) {
  context->setFillColor(CColor{0, 90, 0, 255});
  context->fillRect(CRect(-1, -1, 80, 60));
  CBitmap* button = new CBitmap(kTwoStates);
  button->drawTransparent(context, CRect(0, 0, 30, 32));
  EXPECT_EQ(canvas->pixel(2, 2), (platform::Rgb{0, 90, 0}));
  EXPECT_EQ(canvas->pixel(3, 2), kNearWhite);
  EXPECT_EQ(canvas->pixel(0, 0), kRed);
  // Another key: now red is left out and white is drawn.
  button->setTransparentColor(CColor{200, 0, 0, 255});
  button->drawTransparent(context, CRect(40, 0, 70, 32));
  button->release();
  EXPECT_EQ(canvas->pixel(40, 0), (platform::Rgb{0, 90, 0}));
  EXPECT_EQ(canvas->pixel(42, 2), kWhite);
  EXPECT_EQ(canvas->pixel(40, 20), kBlue);
}

TEST_F(BitmapTest, DrawBlendedMixesWithAConstantAlpha) {
  CBitmap* button = new CBitmap(kTwoStates);
  button->drawBlended(context, CRect(0, 0, 30, 16), CPoint(0, 0), 128);
  button->release();
  const platform::Rgb p = canvas->pixel(0, 0);
  EXPECT_NEAR(p.red, 100, 2);
  EXPECT_EQ(p.green, 0);
}

TEST_F(BitmapTest, MissingResourceLeavesAnEmptyBitmapThatDrawsNothing) {
  CBitmap* missing = new CBitmap(4242);
  EXPECT_FALSE(missing->isLoaded());
  EXPECT_EQ(missing->getWidth(), 0);
  EXPECT_EQ(missing->getHeight(), 0);
  missing->draw(context, CRect(0, 0, 80, 60));
  missing->drawTransparent(context, CRect(0, 0, 80, 60));
  missing->drawBlended(context, CRect(0, 0, 80, 60), CPoint(), 255);
  EXPECT_EQ(countPixels(*canvas, rgb(kColorBlack)), 80 * 60);
  EXPECT_TRUE(missing->load(kTwoStates));
  EXPECT_EQ(missing->getWidth(), 30);
  missing->release();
}

TEST_F(BitmapTest, UnloadAndLoadOtherEmptyTheBitmap) {
  CBitmap* button = new CBitmap(kTwoStates);
  button->unload();
  EXPECT_EQ(button->getWidth(), 0);
  EXPECT_EQ(button->getHeight(), 0);
  EXPECT_TRUE(button->load(kTwoStates));
  EXPECT_FALSE(button->loadOther(nullptr));
  EXPECT_EQ(button->getWidth(), 0);
  button->draw(context, CRect(0, 0, 30, 32));
  EXPECT_EQ(countPixels(*canvas, rgb(kColorBlack)), 80 * 60);
  button->release();
}

TEST(OffscreenContext, IsEntirelyTheBackgroundColourIncludingItsEdges) {
  COffscreenContext* offscreen = new COffscreenContext(nullptr, 170, 150, kColorBlack);
  ASSERT_NE(offscreen->getDevice(), nullptr);
  EXPECT_TRUE(allPixels(*offscreen->getDevice(), CRect(0, 0, 170, 150), rgb(kColorBlack)));
  offscreen->release();
  COffscreenContext* grey = new COffscreenContext(nullptr, 20, 10, kColorGrey);
  EXPECT_TRUE(allPixels(*grey->getDevice(), CRect(0, 0, 20, 10), rgb(kColorGrey)));
  CRect clip;
  grey->getClipRect(clip);
  EXPECT_EQ(clip, CRect(0, 0, 20, 10));
  grey->release();
}

TEST(OffscreenContext, CopyToPutsTheRegionAtTheDestinationWithinItsClip) {
  COffscreenContext* offscreen = new COffscreenContext(nullptr, 20, 20, kColorGrey);
  offscreen->setFillColor(kColorRed);
  offscreen->fillRect(CRect(4, 4, 10, 10));  // red at 5..9
  auto canvas = platform::Canvas::create(50, 50);
  CDrawContext* window = new CDrawContext(nullptr, canvas.get(), nullptr);
  window->offset = CPoint(10, 10);
  offscreen->copyTo(window, CRect(0, 0, 10, 10), CPoint(5, 5));
  EXPECT_TRUE(allPixels(*canvas, CRect(10, 10, 15, 15), rgb(kColorRed)));
  EXPECT_EQ(canvas->pixel(15, 15), rgb(kColorGrey));
  EXPECT_EQ(canvas->pixel(20, 20), rgb(kColorBlack));
  window->offset = CPoint(0, 0);
  window->setClipRect(CRect(30, 30, 32, 32));
  offscreen->copyTo(window, CRect(30, 30, 40, 40));
  EXPECT_EQ(countPixels(*canvas, rgb(kColorGrey)), 75 + 4);
  window->release();
  offscreen->release();
}

TEST(OffscreenContext, ANegativeSizeHasNoSurfaceAndIsSafe) {
  COffscreenContext* offscreen = new COffscreenContext(nullptr, -20, 10, kColorBlack);
  EXPECT_EQ(offscreen->getDevice(), nullptr);
  CRect clip;
  offscreen->getClipRect(clip);
  EXPECT_EQ(clip, CRect(-20, 0, 0, 10));
  offscreen->fillRect(CRect(0, 0, 5, 5));
  auto canvas = platform::Canvas::create(5, 5);
  CDrawContext* window = new CDrawContext(nullptr, canvas.get(), nullptr);
  offscreen->copyTo(window, CRect(0, 0, 5, 5));
  window->release();
  offscreen->release();
}

// A BMP file in memory: header, palette, rows padded to 4 bytes.
std::vector<unsigned char> makeBmp(int width, int height, int bits, const std::vector<unsigned char>& palette,
                                   const std::vector<unsigned char>& rows) {
  std::vector<unsigned char> out(54, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(v >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(10, static_cast<std::uint32_t>(54 + palette.size()));
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  out[26] = 1;
  out[28] = static_cast<unsigned char>(bits);
  put32(46, static_cast<std::uint32_t>(palette.size() / 4));
  out.insert(out.end(), palette.begin(), palette.end());
  out.insert(out.end(), rows.begin(), rows.end());
  put32(2, static_cast<std::uint32_t>(out.size()));
  return out;
}

struct BmpCase {
  const char* name;
  std::vector<unsigned char> file;
  bool ok;
  std::vector<std::uint32_t> pixels;  // top row first
};

class BmpDecode : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BmpDecode, DecodesWhatItCanAndRefusesTheRest) {
  DecodedImage image;
  EXPECT_EQ(decodeBmp(GetParam().file.data(), GetParam().file.size(), image), GetParam().ok);
  if (GetParam().ok) {
    EXPECT_EQ(image.pixels, GetParam().pixels);
  } else {
    EXPECT_EQ(image.width, 0);
  }
}

// 2 x 2, 24-bit, bottom-up: bottom row blue, green; top row red, white.
const std::vector<unsigned char> kRows24 = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
const std::vector<std::uint32_t> kPixels24 = {0xff0000, 0xffffff, 0x0000ff, 0x00ff00};

std::vector<unsigned char> topDown24() {
  auto file = makeBmp(2, -2, 24, {}, {0, 0, 255, 255, 255, 255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0});
  return file;
}

std::vector<unsigned char> truncated() {
  auto file = makeBmp(2, 2, 24, {}, kRows24);
  file.resize(file.size() - 3);
  return file;
}

std::vector<unsigned char> compressed() {
  auto file = makeBmp(2, 2, 24, {}, kRows24);
  file[30] = 1;  // run-length encoded
  return file;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BmpDecode,
    ::testing::Values(BmpCase{"bottomUp24", makeBmp(2, 2, 24, {}, kRows24), true, kPixels24},
                      BmpCase{"topDown24", topDown24(), true, kPixels24},
                      BmpCase{"palette8", makeBmp(3, 1, 8, {0, 0, 0, 0, 0, 0, 255, 0, 10, 20, 30, 0}, {2, 1, 0, 0}),
                              true, {0x1e140a, 0xff0000, 0x000000}},
                      BmpCase{"palette1", makeBmp(2, 1, 1, {0, 0, 0, 0, 255, 255, 255, 0}, {0x40, 0, 0, 0}), true,
                              {0x000000, 0xffffff}},
                      BmpCase{"truncated", truncated(), false, {}},
                      BmpCase{"compressed", compressed(), false, {}},
                      BmpCase{"notABmp", std::vector<unsigned char>(80, 'x'), false, {}},
                      BmpCase{"zeroWidth", makeBmp(0, 2, 24, {}, kRows24), false, {}}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST(ResourceTable, FindsRegisteredNumbersOnly) {
  EXPECT_NE(findResource(kBackground), nullptr);
  EXPECT_NE(findResource(kTwoStates), nullptr);
  EXPECT_EQ(findResource(103), nullptr);
  static const unsigned char bytes[] = {1, 2, 3};
  static const EmbeddedResource extra[] = {{777, bytes, sizeof(bytes)}};
  registerResourceTable(extra, 1);
  ASSERT_NE(findResource(777), nullptr);
  EXPECT_EQ(findResource(777)->size, 3u);
  CBitmap* broken = new CBitmap(777);  // not a picture: refused, left empty
  EXPECT_EQ(broken->getWidth(), 0);
  broken->release();
}

}  // namespace
