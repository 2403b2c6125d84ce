// The drawing context's pixel rules, on an image surface.
#include <gtest/gtest.h>

#include <memory>

#include "platform/canvas.h"
#include "tests/toolkit/canvas_probe.h"
#include "tests/toolkit/scripted_input.h"
#include "toolkit/button_state.h"
#include "toolkit/cdraw_context.h"

using namespace toolkit;
using toolkit_test::allPixels;
using toolkit_test::countPixels;
using toolkit_test::inkBox;
using toolkit_test::rgb;

namespace {

constexpr CColor kGreen{0, 200, 0, 255};

class DrawContextTest : public ::testing::Test {
 protected:
  std::unique_ptr<platform::Canvas> canvas = platform::Canvas::create(60, 40);
  CDrawContext* context = new CDrawContext(nullptr, canvas.get(), nullptr);
  void TearDown() override { context->release(); }
};

TEST_F(DrawContextTest, FillRectLeavesTheLeftColumnAndTopRowUnfilled) {
  context->setFillColor(kGreen);
  context->fillRect(CRect(0, 0, 10, 10));
  EXPECT_EQ(countPixels(*canvas, rgb(kGreen)), 81);
  EXPECT_TRUE(allPixels(*canvas, CRect(1, 1, 10, 10), rgb(kGreen)));
}

TEST_F(DrawContextTest, FrameRectColoursExactlyTheBorderPixels) {
  context->setLineColor(kGreen);
  context->frameRect(CRect(0, 0, 10, 10));
  EXPECT_EQ(countPixels(*canvas, rgb(kGreen)), 36);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(canvas->pixel(i, 0), rgb(kGreen));
    EXPECT_EQ(canvas->pixel(i, 9), rgb(kGreen));
    EXPECT_EQ(canvas->pixel(0, i), rgb(kGreen));
    EXPECT_EQ(canvas->pixel(9, i), rgb(kGreen));
  }
}

TEST_F(DrawContextTest, FillAndFrameTogetherCoverTheWholeRectangle) {
  context->setFillColor(kGreen);
  context->setLineColor(kGreen);
  context->offset = CPoint(5, 7);
  context->fillRect(CRect(0, 0, 10, 10));
  context->frameRect(CRect(0, 0, 10, 10));
  EXPECT_EQ(countPixels(*canvas, rgb(kGreen)), 100);
  EXPECT_TRUE(allPixels(*canvas, CRect(5, 7, 15, 17), rgb(kGreen)));
}

struct LineCase {
  const char* name;
  CPoint from;
  CPoint to;
  int pixels;
};

class LineRule : public DrawContextTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineRule, CoversTheStartAndNotTheEnd) {
  const LineCase& c = GetParam();
  context->setLineColor(kGreen);
  context->moveTo(c.from);
  context->lineTo(c.to);
  EXPECT_EQ(canvas->pixel(c.from.h, c.from.v), rgb(kGreen));
  EXPECT_EQ(canvas->pixel(c.to.h, c.to.v), rgb(kColorBlack));
  EXPECT_EQ(countPixels(*canvas, rgb(kGreen)), c.pixels);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineRule,
                         ::testing::Values(LineCase{"right", {2, 5}, {12, 5}, 10}, LineCase{"left", {12, 5}, {2, 5}, 10},
                                           LineCase{"down", {4, 1}, {4, 11}, 10}, LineCase{"up", {4, 11}, {4, 1}, 10},
                                           LineCase{"diagonal", {1, 1}, {11, 8}, 10},
                                           LineCase{"steep", {20, 2}, {23, 30}, 28}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(DrawContextTest, AZeroLengthLineDrawsNothingAndFramesFollowThePenPosition) {
  context->setLineColor(kGreen);
  context->moveTo(CPoint(3, 3));
  context->lineTo(CPoint(3, 3));
  EXPECT_EQ(countPixels(*canvas, rgb(kGreen)), 0);
  context->offset = CPoint(10, 10);
  context->moveTo(CPoint(0, 0));
  context->lineTo(CPoint(5, 0));
  context->lineTo(CPoint(5, 5));  // continues from the previous end
  EXPECT_EQ(countPixels(*canvas, rgb(kGreen)), 10);
  EXPECT_EQ(canvas->pixel(15, 10), rgb(kGreen));
}

TEST_F(DrawContextTest, LinesAreOnePixelWideAndSolid) {
  context->setLineColor(kGreen);
  context->moveTo(CPoint(0, 20));
  context->lineTo(CPoint(40, 20));
  EXPECT_TRUE(allPixels(*canvas, CRect(0, 20, 40, 21), rgb(kGreen)));
  EXPECT_TRUE(allPixels(*canvas, CRect(0, 19, 40, 20), rgb(kColorBlack)));
  EXPECT_TRUE(allPixels(*canvas, CRect(0, 21, 40, 22), rgb(kColorBlack)));
}

TEST_F(DrawContextTest, ClipRectIsKeptInDeviceCoordinates) {
  context->offset = CPoint(10, 10);
  context->setClipRect(CRect(0, 0, 5, 5));
  CRect clip;
  context->getClipRect(clip);
  EXPECT_EQ(clip, CRect(0, 0, 5, 5));
  context->offset = CPoint(0, 0);
  context->getClipRect(clip);
  EXPECT_EQ(clip, CRect(10, 10, 15, 15));

  context->setFillColor(kGreen);
  context->fillRect(CRect(0, 0, 60, 40));
  EXPECT_EQ(countPixels(*canvas, rgb(kGreen)), 25);
  EXPECT_TRUE(allPixels(*canvas, CRect(10, 10, 15, 15), rgb(kGreen)));
}

TEST_F(DrawContextTest, ClipAlsoHoldsForLines) {
  context->setClipRect(CRect(5, 0, 10, 40));
  context->setLineColor(kGreen);
  context->moveTo(CPoint(0, 3));
  context->lineTo(CPoint(30, 3));
  context->moveTo(CPoint(0, 0));
  context->lineTo(CPoint(30, 30));
  EXPECT_EQ(inkBox(*canvas, rgb(kColorBlack)), CRect(5, 3, 10, 10));
}

TEST_F(DrawContextTest, SettersDoNoDeviceWorkWhenTheValueIsUnchanged) {
  const auto before = canvas->deviceChanges();
  context->setLineColor(kColorWhite);
  context->setFillColor(kColorBlack);
  context->setLineWidth(1);
  context->selectFont(kFontSystem, 0, 0);
  context->selectFont(99, 12, 0);  // an unknown id is the system font
  CRect clip;
  context->getClipRect(clip);
  context->setClipRect(clip);
  EXPECT_EQ(canvas->deviceChanges(), before);

  context->setClipRect(CRect(1, 1, 5, 5));
  context->setClipRect(CRect(1, 1, 5, 5));
  EXPECT_EQ(canvas->deviceChanges(), before + 1);
  context->offset = CPoint(2, 2);  // same rectangle, different device rectangle
  context->setClipRect(CRect(1, 1, 5, 5));
  EXPECT_EQ(canvas->deviceChanges(), before + 2);
}

TEST_F(DrawContextTest, ColoursCompareWithAlphaAndTextColourAlwaysApplies) {
  const auto before = canvas->deviceChanges();
  context->setLineColor(CColor{255, 255, 255, 0});  // alpha differs from kColorWhite
  EXPECT_EQ(canvas->deviceChanges(), before + 1);
  context->setTextColor(kColorWhite);
  context->setTextColor(kColorWhite);
  EXPECT_EQ(canvas->deviceChanges(), before + 3);
}

struct FontCase {
  int id;
  int size;
  int style;
  int expectId;
  int expectSize;
  bool changes;
};

class SelectFont : public DrawContextTest, public ::testing::WithParamInterface<FontCase> {};

TEST_P(SelectFont, NormalisesAndSkipsUnchangedFonts) {
  const FontCase& c = GetParam();
  const auto before = canvas->deviceChanges();
  context->selectFont(c.id, c.size, c.style);
  EXPECT_EQ(context->getFont(), c.expectId);
  EXPECT_EQ(context->getFontSize(), c.expectSize);
  EXPECT_EQ(canvas->deviceChanges() != before, c.changes);
}

INSTANTIATE_TEST_SUITE_P(Cases, SelectFont,
                         ::testing::Values(FontCase{kFontSystem, 0, 0, kFontSystem, 12, false},
                                           FontCase{9, 0, 0, kFontSystem, 12, false},
                                           FontCase{-1, 0, 0, kFontSystem, 12, false},
                                           // the style differs though the system font is bold anyway
                                           FontCase{kFontSystem, 12, kStyleBold, kFontSystem, 12, true},
                                           FontCase{kFontHuge, 0, 0, kFontHuge, 18, true},
                                           FontCase{kFontTiny, 0, 0, kFontTiny, 9, true},
                                           FontCase{kFontSymbol, 0, 0, kFontSymbol, 13, true},
                                           FontCase{kFontNormal, 20, kStyleItalic, kFontNormal, 20, true}));

TEST(FontLookup, ArialResolvesToItsMetricCompatibleFace) {
  EXPECT_EQ(platform::resolvedFontFamily("Arial"), "Liberation Sans");
}

class TextTest : public DrawContextTest {
 protected:
  CRect drawAndMeasure(int alignment, bool opaque = false) {
    context->selectFont(kFontNormal, 12, 0);
    context->setTextColor(kColorWhite);
    context->setFillColor(kGreen);
    context->drawText("Hi", CRect(10, 10, 50, 30), opaque, alignment);
    return inkBox(*canvas, rgb(kColorBlack));
  }
};

TEST_F(TextTest, LeftAlignmentIndentsByOnePixel) {
  const CRect ink = drawAndMeasure(kAlignLeft);
  // "H" has no left bearing beyond a pixel at 12 px: its stem starts at 11 or 12.
  EXPECT_GE(ink.left, 11);
  EXPECT_LE(ink.left, 12);
}

TEST_F(TextTest, RightAndCentreUseTheRectangleUnchanged) {
  const CRect right = drawAndMeasure(kAlignRight);
  EXPECT_LE(right.right, 50);
  EXPECT_GE(right.right, 47);
  auto fresh = platform::Canvas::create(60, 40);
  CDrawContext* other = new CDrawContext(nullptr, fresh.get(), nullptr);
  other->selectFont(kFontNormal, 12, 0);
  other->drawText("Hi", CRect(10, 10, 50, 30), false, kAlignCenter);
  const CRect centre = inkBox(*fresh, rgb(kColorBlack));
  other->release();
  EXPECT_LE(std::abs((centre.left - 10) - (50 - centre.right)), 2);
}

TEST_F(TextTest, TextIsCentredVerticallyAndClippedByTheClipRect) {
  const CRect ink = drawAndMeasure(kAlignCenter);
  // Cell of ascent 11 + descent 3 in a 20-pixel box: baseline at 10 + 3 + 11.
  EXPECT_EQ(ink.bottom, 24);
  EXPECT_GE(ink.top, 14);
  auto fresh = platform::Canvas::create(60, 40);
  CDrawContext* other = new CDrawContext(nullptr, fresh.get(), nullptr);
  other->setClipRect(CRect(0, 0, 60, 18));
  other->selectFont(kFontNormal, 12, 0);
  other->drawText("Hi", CRect(10, 10, 50, 30), false, kAlignCenter);
  EXPECT_EQ(inkBox(*fresh, rgb(kColorBlack)).bottom, 18);
  other->release();
}

TEST_F(TextTest, OpaqueTextFillsItsCellWithTheFillColour) {
  drawAndMeasure(kAlignLeft, true);
  EXPECT_GT(countPixels(*canvas, rgb(kGreen)), 50);
  auto fresh = platform::Canvas::create(60, 40);
  CDrawContext* other = new CDrawContext(nullptr, fresh.get(), nullptr);
  other->setFillColor(kGreen);
  other->drawText("Hi", CRect(10, 10, 50, 30), false, kAlignLeft);
  EXPECT_EQ(countPixels(*fresh, rgb(kGreen)), 0);
  other->release();
}

TEST_F(TextTest, UnderlineAddsALineBelowTheBaseline) {
  context->selectFont(kFontNormal, 12, kStyleUnderline);
  context->drawText("Hi", CRect(10, 10, 50, 30), false, kAlignLeft);
  // Baseline 24: the underline is the row below it.
  int lit = 0;
  for (int x = 0; x < 60; ++x) lit += canvas->pixel(x, 25) == rgb(kColorWhite) ? 1 : 0;
  EXPECT_GE(lit, 10);
}

TEST_F(TextTest, NoTextAndBadBytesAreSafe) {
  context->drawText(nullptr, CRect(0, 0, 60, 40));
  EXPECT_EQ(countPixels(*canvas, rgb(kColorBlack)), 60 * 40);
  const char latin1[] = {'A', static_cast<char>(0xe9), static_cast<char>(0xff), 0};
  context->drawText(latin1, CRect(0, 0, 60, 40));
  context->drawText("after", CRect(0, 0, 60, 20));  // the context still draws
  EXPECT_LT(countPixels(*canvas, rgb(kColorBlack)), 60 * 40);
}

// Ink of one text drawn white on black with a font.
int inkOf(int fontId, int style, const char* text = "Kelbra") {
  auto canvas = platform::Canvas::create(120, 40);
  CDrawContext* context = new CDrawContext(nullptr, canvas.get(), nullptr);
  context->selectFont(fontId, 0, style);
  context->drawText(text, CRect(0, 0, 120, 40), false, kAlignLeft);
  context->release();
  int ink = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 120; ++x) ink += canvas->pixel(x, y).red;
  }
  return ink;
}

TEST(FontStyles, BoldItalicAndSizesChangeWhatIsDrawn) {
  const int normal = inkOf(kFontNormal, 0);
  EXPECT_GT(inkOf(kFontNormal, kStyleBold), normal * 11 / 10);
  // The system font is bold whatever the style bits say.
  EXPECT_EQ(inkOf(kFontSystem, 0), inkOf(kFontNormal, kStyleBold));
  EXPECT_NE(inkOf(kFontNormal, kStyleItalic), normal);
  EXPECT_GT(inkOf(kFontHuge, 0), inkOf(kFontTiny, 0) * 2);
  EXPECT_GT(inkOf(kFontNormal, kStyleUnderline), normal);
}

TEST(QueryButtons, ReportsTheInputSourceStateAndAPendingPressOnce) {
  toolkit_test::ScriptedInput input;
  input.buttonState = kButtonRight | kModShift;
  EXPECT_EQ(CDrawContext::queryButtons(), kButtonRight | kModShift);
  setPendingPress(kButtonLeft);
  EXPECT_EQ(CDrawContext::queryButtons(), kButtonLeft);
  EXPECT_EQ(CDrawContext::queryButtons(), kButtonRight | kModShift);
}

TEST(DrawContextWithoutDevice, KeepsSettingsAndDrawsNothing) {
  CDrawContext* context = new CDrawContext(nullptr, nullptr, nullptr);
  context->setFillColor(kGreen);
  context->fillRect(CRect(0, 0, 10, 10));
  context->drawText("x", CRect(0, 0, 10, 10));
  EXPECT_EQ(context->getFillColor(), kGreen);
  CRect clip;
  context->getClipRect(clip);
  EXPECT_EQ(clip, CRect(0, 0, 1000, 1000));
  context->release();
}

}  // namespace
