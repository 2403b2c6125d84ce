// What the displays draw, pixel by pixel on an image surface: fill and
// outline, 3D edges, no-draw, transparency, shadow, the default text, the
// clip to bounds, pictures; and which setters ask for a redraw.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/canvas.h"
#include "tests/controls/control_fixture.h"
#include "tests/toolkit/canvas_probe.h"
#include "toolkit/cbitmap.h"
#include "toolkit/controls/cparam_display.h"
#include "toolkit/controls/ctext_label.h"

using namespace toolkit;
using controls_test::ControlFixture;
using toolkit_test::rgb;

namespace {

const CRect kBox(20, 20, 60, 40);
constexpr CColor kGround{50, 50, 50, 255};
constexpr CColor kBack{0, 0, 200, 255};
constexpr CColor kFrame{0, 200, 0, 255};

class DisplayDraw : public ControlFixture {
 protected:
  DisplayDraw() {
    context->setFillColor(kGround);
    context->fillRect(CRect(-1, -1, 171, 151));
  }
  template <typename T>
  T* styled(T* display) {
    display->setBackColor(kBack);
    display->setFrameColor(kFrame);
    display->setFontColor(kColorWhite);
    return display;
  }
  platform::Canvas& canvas() { return *context->getDevice(); }
  platform::Rgb at(int x, int y) { return canvas().pixel(x, y); }
};

TEST_F(DisplayDraw, FilledBoxWithOutline) {
  auto* display = styled(new CParamDisplay(kBox, nullptr, kNoText));
  display->draw(context);
  EXPECT_TRUE(toolkit_test::allPixels(canvas(), CRect(21, 21, 59, 39), rgb(kBack)));
  for (const CPoint p : {CPoint(20, 20), CPoint(59, 20), CPoint(59, 39), CPoint(20, 39), CPoint(40, 20), CPoint(20, 30)}) {
    EXPECT_EQ(at(p.h, p.v), rgb(kFrame)) << p.h << "," << p.v;
  }
  EXPECT_EQ(at(60, 30), rgb(kGround));
  EXPECT_EQ(at(40, 40), rgb(kGround));
  EXPECT_FALSE(display->isDirty());
  display->release();
}

TEST_F(DisplayDraw, NoFrameLeavesTheOutlineOut) {
  auto* display = styled(new CParamDisplay(kBox, nullptr, kNoText | kNoFrame));
  display->draw(context);
  EXPECT_EQ(at(59, 39), rgb(kBack));
  EXPECT_EQ(at(40, 20), rgb(kGround));  // the fill leaves the top row to the outline
  display->release();
}

struct EdgeCase {
  int style;
  CColor topLeft;
  CColor bottomRight;
};

class DisplayEdges : public DisplayDraw, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(DisplayEdges, ThreeDEdgesUseBackAndFrameColours) {
  auto* display = styled(new CParamDisplay(kBox, nullptr, kNoText | GetParam().style));
  display->draw(context);
  EXPECT_EQ(at(20, 30), rgb(GetParam().topLeft));      // left edge
  EXPECT_EQ(at(40, 21), rgb(GetParam().topLeft));      // top edge, one row down
  EXPECT_EQ(at(20, 39), rgb(GetParam().topLeft));      // where the left edge starts
  EXPECT_EQ(at(59, 30), rgb(GetParam().bottomRight));  // right edge
  EXPECT_EQ(at(40, 39), rgb(GetParam().bottomRight));  // bottom edge
  EXPECT_EQ(at(40, 20), rgb(kGround));                 // the top row stays as it was
  display->release();
}

INSTANTIATE_TEST_SUITE_P(Styles, DisplayEdges,
                         ::testing::Values(EdgeCase{kInsetFrame, kBack, kFrame}, EdgeCase{kOutsetFrame, kFrame, kBack}));

TEST_F(DisplayDraw, NoDrawDrawsNothingAndStartsClean) {
  auto* display = new CParamDisplay(kBox, nullptr, kNoDraw);
  EXPECT_FALSE(display->isDirty());
  styled(display);
  display->draw(context);
  EXPECT_EQ(toolkit_test::countPixels(canvas(), rgb(kGround)), 170 * 150);
  display->release();
}

TEST_F(DisplayDraw, TransparentDisplayDrawsOnlyItsText) {
  auto* display = styled(new CParamDisplay(kBox));
  display->setTransparent(true);
  display->setValue(0.5f);
  display->draw(context);
  const CRect ink = toolkit_test::inkBox(canvas(), rgb(kGround));
  EXPECT_GT(ink.width(), 0);
  EXPECT_GE(ink.left, kBox.left + 1);
  EXPECT_LE(ink.right, kBox.right - 1);
  EXPECT_EQ(toolkit_test::countPixels(canvas(), rgb(kBack)), 0);
  EXPECT_EQ(toolkit_test::countPixels(canvas(), rgb(kFrame)), 0);
  display->release();
}

TEST_F(DisplayDraw, ShadowTextAddsTheShadowColour) {
  auto* display = styled(new CParamDisplay(kBox));
  display->setValue(0.5f);
  display->draw(context);
  EXPECT_EQ(toolkit_test::countPixels(canvas(), rgb(kColorRed)), 0);
  display->setStyle(kShadowText);
  display->draw(context);
  EXPECT_GT(toolkit_test::countPixels(canvas(), rgb(kColorRed)), 0);
  display->release();
}

struct DefaultTextCase {
  float value;
  const char* text;
};

class DisplayDefaultText : public DisplayDraw, public ::testing::WithParamInterface<DefaultTextCase> {};

// Without a formatter the value reads as "%2.2f": the display draws exactly
// what a label with that text draws.
TEST_P(DisplayDefaultText, ValueIsShownWithTwoDecimals) {
  auto* display = styled(new CParamDisplay(kBox));
  display->setValue(GetParam().value);
  display->draw(context);
  std::vector<platform::Rgb> shown;
  for (int y = kBox.top; y < kBox.bottom; ++y) {
    for (int x = kBox.left; x < kBox.right; ++x) shown.push_back(at(x, y));
  }
  auto* label = styled(new CTextLabel(kBox));
  label->setText(GetParam().text);
  label->draw(context);
  std::size_t k = 0;
  int differing = 0;
  for (int y = kBox.top; y < kBox.bottom; ++y) {
    for (int x = kBox.left; x < kBox.right; ++x) differing += at(x, y) == shown[k++] ? 0 : 1;
  }
  EXPECT_EQ(differing, 0);
  label->setText("9.99");
  label->draw(context);
  k = 0;
  differing = 0;
  for (int y = kBox.top; y < kBox.bottom; ++y) {
    for (int x = kBox.left; x < kBox.right; ++x) differing += at(x, y) == shown[k++] ? 0 : 1;
  }
  EXPECT_GT(differing, 0);  // the comparison can tell texts apart
  display->release();
  label->release();
}

INSTANTIATE_TEST_SUITE_P(Values, DisplayDefaultText,
                         ::testing::Values(DefaultTextCase{0.5f, "0.50"}, DefaultTextCase{1.0f, "1.00"},
                                           DefaultTextCase{-0.25f, "-0.25"}));

TEST_F(DisplayDraw, LongTextIsClippedToTheBoxAndTheClipIsRestored) {
  auto* label = styled(new CTextLabel(CRect(30, 30, 50, 45)));
  label->setTransparent(true);
  label->setText("WWWWWWWWWWWWWWWWWWWWWWWW");
  CRect before;
  context->getClipRect(before);
  label->draw(context);
  CRect after;
  context->getClipRect(after);
  EXPECT_EQ(before, after);
  const CRect ink = toolkit_test::inkBox(canvas(), rgb(kGround));
  EXPECT_GE(ink.left, 30);
  EXPECT_LE(ink.right, 50);
  EXPECT_GT(ink.width(), 15);
  label->release();
}

TEST_F(DisplayDraw, LabelWithoutTextDrawsOnlyItsBox) {
  auto* label = styled(new CTextLabel(kBox));
  label->draw(context);
  EXPECT_TRUE(toolkit_test::allPixels(canvas(), CRect(21, 21, 59, 39), rgb(kBack)));
  label->release();
}

TEST_F(DisplayDraw, PictureReplacesFillAndOutlineButNotTheEdges) {
  auto* picture = new CBitmap(101);
  ASSERT_TRUE(picture->isLoaded());
  auto* display = styled(new CParamDisplay(kBox, picture, kNoText));
  display->setPictureOffset(CPoint(5, 3));
  display->draw(context);
  std::vector<platform::Rgb> drawn;
  for (int y = kBox.top; y < kBox.bottom; ++y) {
    for (int x = kBox.left; x < kBox.right; ++x) drawn.push_back(at(x, y));
  }
  picture->draw(context, kBox, CPoint(5, 3));
  std::size_t k = 0;
  for (int y = kBox.top; y < kBox.bottom; ++y) {
    for (int x = kBox.left; x < kBox.right; ++x) ASSERT_EQ(at(x, y), drawn[k++]) << x << "," << y;
  }
  display->setStyle(kNoText | kInsetFrame);
  display->draw(context);
  EXPECT_EQ(at(20, 30), rgb(kBack));
  EXPECT_EQ(at(59, 30), rgb(kFrame));
  display->release();
  picture->release();
}

TEST(DisplaySetters, OnlyChangesAskForARedraw) {
  auto* display = new CParamDisplay(kBox);
  display->draw(nullptr);
  display->setFontColor(kColorWhite);
  display->setBackColor(kColorBlack);
  display->setFont(kFontNormal);
  display->setTextAlign(kAlignCenter);
  display->setStyle(0);
  display->setTextStyle(0);
  EXPECT_FALSE(display->isDirty());
  display->setFontColor(CColor{255, 255, 255, 254});  // alpha alone differs
  EXPECT_TRUE(display->isDirty());
  display->draw(nullptr);
  display->setTextTransparency(false);
  display->setValueFormatter(nullptr);
  EXPECT_FALSE(display->isDirty());
  display->setTextAlign(kAlignRight);
  EXPECT_TRUE(display->isDirty());
  display->release();
}

TEST(LabelText, SetTextKeepsACopyAndAsksForNoRedraw) {
  auto* label = new CTextLabel(kBox);
  label->draw(nullptr);
  char source[] = "All succeeded";
  label->setText(source);
  source[0] = 'X';
  EXPECT_STREQ(label->getText(), "All succeeded");
  EXPECT_FALSE(label->isDirty());
  label->setText(label->getText());  // its own text
  EXPECT_STREQ(label->getText(), "All succeeded");
  label->setText(nullptr);
  EXPECT_EQ(label->getText(), nullptr);
  label->release();
}

}  // namespace
