// The view base class: hits, bounds, class names, messages, references.
#include <gtest/gtest.h>

#include <string>

#include "tests/toolkit/scripted_input.h"
#include "tests/toolkit/test_views.h"
#include "toolkit/cbitmap.h"
#include "toolkit/cview_container.h"
#include "toolkit/view_messages.h"

using namespace toolkit;
using toolkit_test::PaintView;

namespace {

class PlainView : public CView {
 public:
  using CView::CView;
};

TEST(View, HitTestIncludesTheRightAndBottomEdges) {
  PlainView* view = new PlainView(CRect(10, 10, 20, 20));
  EXPECT_TRUE(view->hitTest(CPoint(20, 20), 0));
  EXPECT_TRUE(view->hitTest(CPoint(10, 10), 0));
  EXPECT_FALSE(view->hitTest(CPoint(21, 20), 0));
  EXPECT_TRUE(view->overlaps(CRect(20, 20, 30, 30)));
  EXPECT_FALSE(view->overlaps(CRect(21, 0, 30, 30)));
  view->release();
}

TEST(View, SetBoundsMovesTheViewButNotItsMouseArea) {
  PlainView* view = new PlainView(CRect(0, 0, 10, 10));
  view->setBounds(CRect(50, 50, 60, 60));
  EXPECT_TRUE(view->isDirty());
  EXPECT_TRUE(view->hitTest(CPoint(5, 5), 0));
  EXPECT_FALSE(view->hitTest(CPoint(55, 55), 0));
  view->setMouseArea(CRect(50, 50, 60, 60));
  EXPECT_TRUE(view->hitTest(CPoint(55, 55), 0));
  view->release();
}

TEST(View, ClassNamesAreExactAndCaseSensitive) {
  PlainView* view = new PlainView(CRect());
  CViewContainer* container = new CViewContainer(CRect());
  EXPECT_TRUE(view->isOfClass("CView"));
  EXPECT_FALSE(view->isOfClass("cview"));
  EXPECT_FALSE(view->isOfClass("CViewContainer"));
  EXPECT_FALSE(view->isOfClass(nullptr));
  EXPECT_TRUE(container->isOfClass("CView"));
  EXPECT_TRUE(container->isOfClass("CViewContainer"));
  EXPECT_FALSE(container->isOfClass("CFrame"));
  view->release();
  container->release();
}

TEST(View, MessagesAreRecognisedByIdentityNotByCharacters) {
  CViewContainer* container = new CViewContainer(CRect());
  PlainView* view = new PlainView(CRect());
  const std::string copy = kMsgCheckIfViewContainer;
  EXPECT_EQ(container->notify(nullptr, kMsgCheckIfViewContainer), 1);
  EXPECT_EQ(container->notify(nullptr, copy.c_str()), 0);
  EXPECT_EQ(view->notify(nullptr, kMsgCheckIfViewContainer), 0);
  container->release();
  view->release();
}

TEST(View, WheelAxisIsIgnoredByAPlainView) {
  PaintView* view = new PaintView(CRect(0, 0, 10, 10), kColorRed);
  EXPECT_TRUE(view->onWheelAxis(nullptr, CPoint(1, 1), 0, 1.0f));
  EXPECT_TRUE(view->onWheelAxis(nullptr, CPoint(1, 1), 1, -1.0f));
  EXPECT_EQ(view->wheels, (std::vector<float>{1.0f, -1.0f}));
  PlainView* plain = new PlainView(CRect());
  EXPECT_EQ(plain->onWheelAxis(nullptr, CPoint(), 0, 1.0f), plain->onWheelAxis(nullptr, CPoint(), 1, 1.0f));
  plain->release();
  view->release();
}

TEST(View, SettingTheSameBackgroundBitmapKeepsItAlive) {
  PlainView* view = new PlainView(CRect(0, 0, 10, 10));
  CBitmap* bitmap = new CBitmap(102);
  view->setBackgroundBitmap(bitmap);
  bitmap->release();  // only the view holds it now
  EXPECT_EQ(bitmap->getNbReference(), 1);
  view->setBackgroundBitmap(bitmap);
  ASSERT_EQ(view->getBackgroundBitmap(), bitmap);
  EXPECT_EQ(bitmap->getNbReference(), 1);
  EXPECT_EQ(bitmap->getWidth(), 30);
  view->setBackgroundBitmap(nullptr);
  EXPECT_EQ(view->getBackgroundBitmap(), nullptr);
  view->release();
}

TEST(View, ReleaseDestroysOnTheLastReferenceOnly) {
  bool destroyed = false;
  PaintView* view = new PaintView(CRect(), kColorRed);
  view->destroyed = &destroyed;
  view->retain();
  view->release();
  EXPECT_FALSE(destroyed);
  view->release();
  EXPECT_TRUE(destroyed);
}

TEST(View, MousePositionIsInTheParentsCoordinates) {
  toolkit_test::ScriptedInput input;
  input.pointer = CPoint(130, 240);
  CViewContainer* outer = new CViewContainer(CRect(0, 0, 200, 200));
  CViewContainer* inner = new CViewContainer(CRect(20, 30, 120, 130));
  PlainView* view = new PlainView(CRect(5, 5, 10, 10));
  outer->addView(inner);
  inner->addView(view);
  CDrawContext* context = new CDrawContext(nullptr, nullptr, nullptr);
  context->windowOrigin = CPoint(100, 200);
  CPoint where(-1, -1);
  view->getMousePosition(context, where);
  // Screen (130, 240) - window (100, 200) - inner's origin (20, 30).
  EXPECT_EQ(where, CPoint(10, 10));
  EXPECT_EQ(context->windowOrigin, CPoint(100, 200));
  EXPECT_EQ(context->offset, CPoint(0, 0));
  CPoint untouched(7, 7);
  view->getMousePosition(nullptr, untouched);
  EXPECT_EQ(untouched, CPoint(7, 7));
  context->release();
  outer->release();  // removes both references of its children
}

}  // namespace
