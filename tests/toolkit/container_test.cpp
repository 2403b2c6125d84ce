// Containers: drawing order and clipping, offscreen drawing, dirty handling,
// event routing, lookups, focus order and the references they hold.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "tests/toolkit/canvas_probe.h"
#include "tests/toolkit/test_views.h"
#include "toolkit/button_state.h"
#include "toolkit/cframe.h"

using namespace toolkit;
using toolkit_test::allPixels;
using toolkit_test::PaintView;
using toolkit_test::rgb;

namespace {

constexpr CColor kGreen{0, 200, 0, 255};
constexpr CColor kBlue{0, 0, 200, 255};
constexpr CColor kYellow{200, 200, 0, 255};

// A windowless frame (it draws into an image of its own) holding a container.
class ContainerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame = new CFrame(CRect(0, 0, 100, 80), nullptr, nullptr);
    container = new CViewContainer(CRect(10, 10, 60, 50));
    container->setBackgroundColor(kColorGrey);
    frame->addView(container);
    canvas = platform::Canvas::create(100, 80);
    context = new CDrawContext(frame, canvas.get(), nullptr);
  }
  void TearDown() override {
    context->release();
    delete frame;
  }
  PaintView* add(CViewContainer* to, const CRect& r, CColor c, const std::string& name) {
    auto* view = new PaintView(r, c, &log, name);
    to->addView(view);
    return view;
  }
  CFrame* frame = nullptr;
  CViewContainer* container = nullptr;
  std::unique_ptr<platform::Canvas> canvas;
  CDrawContext* context = nullptr;
  std::vector<std::string> log;
};

TEST_F(ContainerTest, DrawsChildrenInInsertionOrderEachClippedToItsBounds) {
  add(container, CRect(0, 0, 20, 20), kGreen, "a");
  add(container, CRect(10, 10, 30, 30), kBlue, "b");
  add(container, CRect(15, 0, 25, 12), kYellow, "c");
  container->draw(context);
  EXPECT_EQ(log, (std::vector<std::string>{"draw a", "draw b", "draw c"}));
  // Frame coordinates: container at (10, 10); "b" drew over "a", "c" over "b".
  EXPECT_EQ(canvas->pixel(10 + 5, 10 + 5), rgb(kGreen));
  EXPECT_EQ(canvas->pixel(10 + 12, 10 + 15), rgb(kBlue));
  EXPECT_EQ(canvas->pixel(10 + 16, 10 + 11), rgb(kYellow));
  // Background fill skips its own left column and top row.
  EXPECT_EQ(canvas->pixel(10 + 40, 10 + 35), rgb(kColorGrey));
  EXPECT_EQ(canvas->pixel(10 + 40, 10), rgb(kColorBlack));
  // Nothing outside the container.
  EXPECT_EQ(canvas->pixel(61, 20), rgb(kColorBlack));
  EXPECT_FALSE(container->isDirty());
}

TEST_F(ContainerTest, AChildCannotPaintOutsideItsBoundsOrTheContainer) {
  // Its bounds reach beyond the container's right edge at 50 local.
  add(container, CRect(40, 5, 70, 15), kGreen, "wide");
  container->draw(context);
  EXPECT_EQ(canvas->pixel(10 + 45, 10 + 10), rgb(kGreen));
  EXPECT_TRUE(allPixels(*canvas, CRect(60, 0, 100, 80), rgb(kColorBlack)));
}

TEST_F(ContainerTest, OffscreenAndInPlaceDrawingGiveTheSamePicture) {
  add(container, CRect(0, 0, 20, 20), kGreen, "a");
  add(container, CRect(10, 10, 30, 30), kBlue, "b");
  container->draw(context);
  auto inPlace = platform::Canvas::create(100, 80);
  CDrawContext* other = new CDrawContext(frame, inPlace.get(), nullptr);
  container->setDrawOffscreen(false);
  container->draw(other);
  EXPECT_EQ(other->offset, CPoint(0, 0));  // restored
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 100; ++x) ASSERT_EQ(canvas->pixel(x, y), inPlace->pixel(x, y)) << x << "," << y;
  }
  other->release();
}

TEST_F(ContainerTest, DrawAreaDrawsOnlyTheAreaAndKeepsPartlyDrawnDirtyChildrenDirty) {
  PaintView* partly = add(container, CRect(0, 0, 20, 20), kGreen, "partly");
  PaintView* whole = add(container, CRect(30, 0, 40, 10), kBlue, "whole");
  PaintView* outside = add(container, CRect(0, 30, 10, 40), kYellow, "outside");
  // Area in the frame's coordinates: local (10, 0) to (45, 15).
  container->drawArea(context, CRect(20, 10, 55, 25));
  EXPECT_TRUE(partly->isDirty());
  EXPECT_FALSE(whole->isDirty());
  EXPECT_TRUE(outside->isDirty());
  EXPECT_EQ(outside->draws, 0);
  EXPECT_EQ(canvas->pixel(10 + 15, 10 + 10), rgb(kGreen));
  EXPECT_EQ(canvas->pixel(10 + 5, 10 + 10), rgb(kColorBlack));  // outside the area
  EXPECT_EQ(canvas->pixel(10 + 35, 10 + 5), rgb(kBlue));
}

TEST_F(ContainerTest, IsDirtyIgnoresDirtyChildrenWhollyOutside) {
  container->draw(context);
  EXPECT_FALSE(container->isDirty());
  PaintView* away = add(container, CRect(200, 200, 220, 220), kGreen, "away");
  container->setDirty(false);
  EXPECT_TRUE(away->isDirty());
  EXPECT_FALSE(container->isDirty());
  PaintView* inside = add(container, CRect(5, 5, 10, 10), kGreen, "in");
  container->setDirty(false);
  EXPECT_TRUE(container->isDirty());
  inside->setDirty(false);
  EXPECT_FALSE(container->isDirty());
}

TEST_F(ContainerTest, RedrawDirtyOnlyRedrawsJustTheDirtyChildren) {
  PaintView* a = add(container, CRect(0, 0, 10, 10), kGreen, "a");
  PaintView* b = add(container, CRect(20, 0, 30, 10), kBlue, "b");
  container->draw(context);
  log.clear();
  b->setDirty(true);
  frame->drawArea(context, CRect(0, 0, 100, 80));  // first paint done
  log.clear();
  b->setDirty(true);
  container->redrawIfDirty(context);
  EXPECT_EQ(log, (std::vector<std::string>{"draw b"}));
  EXPECT_FALSE(a->isDirty());
  EXPECT_FALSE(container->isDirty());
}

TEST_F(ContainerTest, RedrawAllRedrawsEverythingWhenAnythingIsDirty) {
  add(container, CRect(0, 0, 10, 10), kGreen, "a");
  PaintView* b = add(container, CRect(20, 0, 30, 10), kBlue, "b");
  container->setRedrawMode(kRedrawAll);
  container->draw(context);
  log.clear();
  container->redrawIfDirty(context);
  EXPECT_TRUE(log.empty());
  b->setDirty(true);
  container->redrawIfDirty(context);
  EXPECT_EQ(log, (std::vector<std::string>{"draw a", "draw b"}));
  EXPECT_EQ(canvas->pixel(10 + 25, 10 + 5), rgb(kBlue));
  container->setRedrawMode(7);  // unknown modes do nothing
  b->setDirty(true);
  log.clear();
  container->redrawIfDirty(context);
  EXPECT_TRUE(log.empty());
}

TEST_F(ContainerTest, ClicksGoToTheTopmostMouseEnabledChildInLocalCoordinates) {
  PaintView* a = add(container, CRect(0, 0, 20, 20), kGreen, "a");
  PaintView* b = add(container, CRect(10, 10, 30, 30), kBlue, "b");
  PaintView* c = add(container, CRect(25, 25, 40, 40), kYellow, "c");
  c->setMouseEnabled(false);
  container->onMouseDown(context, CPoint(10 + 15, 10 + 15), kButtonLeft);
  ASSERT_EQ(b->clicks.size(), 1u);
  EXPECT_EQ(b->clicks[0], CPoint(15, 15));
  EXPECT_TRUE(a->clicks.empty());
  // On the right and bottom edge of "a" only.
  container->onMouseDown(context, CPoint(10 + 20, 10 + 5), kButtonLeft);
  EXPECT_EQ(a->clicks.size(), 1u);
  // Covered only by the disabled child: nobody.
  container->onMouseDown(context, CPoint(10 + 35, 10 + 35), kButtonLeft);
  EXPECT_TRUE(c->clicks.empty());
  EXPECT_EQ(b->clicks.size(), 1u);
}

TEST_F(ContainerTest, KeysGoTopmostFirstUntilOneAnswers) {
  vst::VstKeyCode key{'x', 0, 0};
  EXPECT_EQ(container->onKeyDown(key), -1);
  PaintView* a = add(container, CRect(), kGreen, "a");
  PaintView* b = add(container, CRect(), kBlue, "b");
  PaintView* c = add(container, CRect(), kYellow, "c");
  a->keyAnswer = 3;
  b->keyAnswer = 5;
  EXPECT_EQ(container->onKeyDown(key), 5);
  EXPECT_EQ(c->keys.size(), 1u);
  EXPECT_TRUE(a->keys.empty());
}

TEST_F(ContainerTest, ViewAtPointWithDeepLooksIntoNestedContainers) {
  CViewContainer* nested = new CViewContainer(CRect(20, 20, 40, 40));
  container->addView(nested);
  PaintView* inner = add(nested, CRect(0, 0, 5, 5), kGreen, "inner");
  PaintView* flat = add(container, CRect(0, 0, 10, 10), kBlue, "flat");
  const CPoint onInner(10 + 20 + 2, 10 + 20 + 2);
  EXPECT_EQ(container->viewAtPoint(onInner, true), inner);
  EXPECT_EQ(container->viewAtPoint(onInner, false), nested);
  // Inside the nested container but on none of its children.
  EXPECT_EQ(container->viewAtPoint(CPoint(10 + 35, 10 + 35), true), nullptr);
  EXPECT_EQ(container->viewAtPoint(CPoint(10 + 10, 10 + 10), false), flat);
}

TEST_F(ContainerTest, WheelReachesTheChildAtThePointInItsCoordinates) {
  PaintView* a = add(container, CRect(0, 0, 20, 20), kGreen, "a");
  EXPECT_TRUE(container->onWheel(context, CPoint(10 + 4, 10 + 6), -1.0f));
  ASSERT_EQ(a->wheels.size(), 1u);
  EXPECT_EQ(a->wheelPoints[0], CPoint(4, 6));
  EXPECT_EQ(a->wheelAxes[0], 1);
  EXPECT_EQ(context->offset, CPoint(0, 0));
  EXPECT_FALSE(container->onWheel(context, CPoint(10 + 45, 10 + 35), 1.0f));
}

TEST_F(ContainerTest, MoveFocusFollowsInsertionOrderAndRecursesIntoContainers) {
  PaintView* a = add(container, CRect(), kGreen, "a");
  PaintView* skip = add(container, CRect(), kBlue, "skip");
  CViewContainer* nested = new CViewContainer(CRect());
  container->addView(nested);
  PaintView* n = add(nested, CRect(), kYellow, "n");
  a->setAcceptsFocus(true);
  n->setAcceptsFocus(true);
  (void)skip;
  EXPECT_TRUE(container->moveFocus(nullptr, false));
  EXPECT_EQ(frame->getFocusView(), a);
  EXPECT_TRUE(container->moveFocus(a, false));
  EXPECT_EQ(frame->getFocusView(), n);
  EXPECT_FALSE(container->moveFocus(nested, false));
  EXPECT_TRUE(container->moveFocus(nullptr, true));
  EXPECT_EQ(frame->getFocusView(), n);
  EXPECT_FALSE(container->moveFocus(n, false));  // not a direct child
}

TEST_F(ContainerTest, RemovingTheFocusViewClearsTheFocusButRemoveAllDoesNot) {
  PaintView* a = add(container, CRect(), kGreen, "a");
  a->setAcceptsFocus(true);
  frame->setFocusView(a);
  container->removeView(a, false);
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(a->getNbReference(), 1);
  PaintView* b = add(container, CRect(), kBlue, "b");
  frame->setFocusView(b);
  container->removeAllViews(false);
  EXPECT_EQ(frame->getFocusView(), b);
  frame->setFocusView(nullptr);
  a->release();
  b->release();
}

TEST_F(ContainerTest, RemoveViewWithReleaseDestroysAViewNobodyElseHolds) {
  bool destroyed = false;
  PaintView* a = add(container, CRect(), kGreen, "a");
  a->destroyed = &destroyed;
  EXPECT_EQ(a->getNbReference(), 2);
  container->removeView(a, true);
  EXPECT_TRUE(destroyed);
  PaintView* b = add(container, CRect(), kBlue, "b");
  container->removeView(b, false);
  EXPECT_EQ(b->getNbReference(), 1);
  EXPECT_FALSE(container->containsView(b));
  container->removeView(b, true);  // not a child: left alone
  EXPECT_EQ(b->getNbReference(), 1);
  b->release();
}

TEST_F(ContainerTest, ViewAtCountsAndContainsFollowTheList) {
  PaintView* a = add(container, CRect(), kGreen, "a");
  PaintView* b = add(container, CRect(), kBlue, "b");
  EXPECT_EQ(container->viewCount(), 2);
  EXPECT_EQ(container->viewAt(0), a);
  EXPECT_EQ(container->viewAt(1), b);
  EXPECT_EQ(container->viewAt(2), nullptr);
  EXPECT_EQ(container->viewAt(-1), nullptr);
  EXPECT_TRUE(container->containsView(b));
  EXPECT_EQ(a->getFrame(), frame);
  EXPECT_EQ(a->getParentView(), container);
}

TEST_F(ContainerTest, MapsPointsBetweenFrameAndLocalCoordinates) {
  CViewContainer* nested = new CViewContainer(CRect(5, 7, 30, 30));
  container->addView(nested);
  CPoint p(100, 100);
  nested->mapFromFrame(p);
  EXPECT_EQ(p, CPoint(100 - 10 - 5, 100 - 10 - 7));
  nested->mapToFrame(p);
  EXPECT_EQ(p, CPoint(100, 100));
}

}  // namespace
