// The frame without a window: idle redraws, modal and focus rules, keys,
// clicks, wheel, size and the settings it keeps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/canvas.h"
#include "tests/toolkit/scripted_input.h"
#include "tests/toolkit/test_views.h"
#include "toolkit/button_state.h"
#include "toolkit/cframe.h"
#include "toolkit/knob_mode.h"

using namespace toolkit;
using toolkit_test::PaintView;

namespace {

constexpr CColor kGreen{0, 200, 0, 255};

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override { frame = new CFrame(CRect(0, 0, 170, 150), nullptr, nullptr); }
  void TearDown() override { delete frame; }
  PaintView* add(const CRect& r, const std::string& name) {
    auto* view = new PaintView(r, kGreen, &log, name);
    frame->addView(view);
    return view;
  }
  // What the window's first expose does.
  void firstPaint() { frame->drawArea(nullptr, CRect(0, 0, 170, 150)); }
  // Drawing operations on the frame's own image so far.
  std::uint64_t drawn() {
    CDrawContext* context = frame->createDrawContext();
    const auto n = context->getDevice()->drawOperations();
    context->release();
    return n;
  }
  CFrame* frame = nullptr;
  std::vector<std::string> log;
};

TEST_F(FrameTest, IsAContainerAndItsOwnFrame) {
  EXPECT_TRUE(frame->isOfClass("CFrame"));
  EXPECT_TRUE(frame->isOfClass("CViewContainer"));
  EXPECT_TRUE(frame->isOfClass("CView"));
  EXPECT_EQ(frame->getFrame(), frame);
  EXPECT_TRUE(frame->isOpen());
  EXPECT_FALSE(frame->openOwnWindow(CPoint()));
  EXPECT_FALSE(frame->closeOwnWindow());
  EXPECT_FALSE(frame->setPosition(1, 2));
  EXPECT_FALSE(frame->enableDrop(true));  // no window to register
}

TEST_F(FrameTest, IdleDrawsNothingBeforeTheFirstPaint) {
  add(CRect(10, 10, 20, 20), "a");
  EXPECT_TRUE(frame->isFirstPaintPending());
  const auto before = drawn();
  frame->idle();
  EXPECT_EQ(drawn(), before);
  EXPECT_TRUE(log.empty());
  firstPaint();
  EXPECT_FALSE(frame->isFirstPaintPending());
  EXPECT_EQ(log, (std::vector<std::string>{"draw a"}));
}

TEST_F(FrameTest, IdleWithNothingDirtyDrawsNothingAtAll) {
  add(CRect(10, 10, 20, 20), "a");
  firstPaint();
  frame->idle();  // the frame itself was dirty from construction
  const auto before = drawn();
  log.clear();
  frame->idle();
  frame->idle();
  EXPECT_EQ(drawn(), before);
  EXPECT_TRUE(log.empty());
}

TEST_F(FrameTest, IdleRedrawsOnlyTheDirtyView) {
  PaintView* a = add(CRect(10, 10, 20, 20), "a");
  add(CRect(30, 10, 40, 20), "b");
  firstPaint();
  frame->idle();
  log.clear();
  a->setDirty(true);
  frame->idle();
  EXPECT_EQ(log, (std::vector<std::string>{"draw a"}));
  CDrawContext* context = frame->createDrawContext();
  EXPECT_EQ(context->getDevice()->pixel(15, 15), (platform::Rgb{0, 200, 0}));
  context->release();
}

TEST_F(FrameTest, SuspendedUpdatesAndAClosedWindowStopRedraws) {
  PaintView* a = add(CRect(10, 10, 20, 20), "a");
  firstPaint();
  frame->idle();
  log.clear();
  EXPECT_FALSE(frame->suspendUpdates(true));
  a->setDirty(true);
  frame->idle();
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(frame->suspendUpdates(false));
  frame->setWindowOpen(false);
  frame->idle();
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(frame->setSize(200, 200));
  frame->setWindowOpen(true);
  frame->idle();
  EXPECT_EQ(log, (std::vector<std::string>{"draw a"}));
}

TEST_F(FrameTest, AClickFirstTakesTheFocusAwayThenArrives) {
  PaintView* field = add(CRect(0, 0, 50, 20), "field");
  PaintView* button = add(CRect(0, 50, 50, 70), "button");
  field->setAcceptsFocus(true);
  frame->setFocusView(field);
  toolkit_test::ScriptedInput input;
  input.buttonState = kButtonLeft | kModControl;
  CDrawContext* context = frame->createDrawContext();
  frame->onMouseDown(context, CPoint(10, 60), kButtonsQuery);
  context->release();
  EXPECT_EQ(log, (std::vector<std::string>{"focusLost field", "click button"}));
  EXPECT_EQ(field->focusLostContexts, (std::vector<CDrawContext*>{nullptr}));
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(button->clickButtons, (std::vector<int>{kButtonLeft | kModControl}));
  EXPECT_EQ(button->clicks[0], CPoint(10, 60));  // the frame's coordinates: its parent's
}

TEST_F(FrameTest, AModalViewTakesAllClicksAndOnlyOneCanBeModal) {
  PaintView* under = add(CRect(0, 0, 170, 150), "under");
  PaintView* modal = new PaintView(CRect(50, 50, 80, 80), kGreen, &log, "modal");
  PaintView* other = new PaintView(CRect(0, 0, 10, 10), kGreen, &log, "other");
  EXPECT_TRUE(frame->setModalView(modal));
  EXPECT_TRUE(frame->containsView(modal));
  EXPECT_FALSE(frame->setModalView(other));
  frame->onMouseDown(nullptr, CPoint(5, 5), kButtonLeft);  // outside the modal view
  EXPECT_TRUE(under->clicks.empty());
  EXPECT_TRUE(modal->clicks.empty());
  frame->onMouseDown(nullptr, CPoint(60, 60), kButtonLeft);
  EXPECT_EQ(modal->clicks.size(), 1u);
  EXPECT_EQ(frame->viewUnderPointer(), modal);
  EXPECT_FALSE(frame->moveFocus(nullptr, false));
  EXPECT_TRUE(frame->setModalView(nullptr));
  EXPECT_FALSE(frame->containsView(modal));
  EXPECT_EQ(modal->getNbReference(), 1);  // the creator's reference is left
  EXPECT_TRUE(frame->setModalView(other));
  EXPECT_TRUE(frame->setModalView(nullptr));
  modal->release();
  other->release();
}

TEST_F(FrameTest, KeysGoToFocusThenModalThenTabMovesTheFocus) {
  PaintView* a = add(CRect(), "a");
  PaintView* b = add(CRect(), "b");
  PaintView* c = add(CRect(), "c");
  a->setAcceptsFocus(true);
  c->setAcceptsFocus(true);
  vst::VstKeyCode tab{0, vst::VKEY_TAB, 0};
  vst::VstKeyCode shiftTab{0, vst::VKEY_TAB, vst::MODIFIER_SHIFT};
  EXPECT_EQ(frame->onKeyDown(tab), 1);
  EXPECT_EQ(frame->getFocusView(), a);
  EXPECT_EQ(frame->onKeyDown(tab), 1);
  EXPECT_EQ(frame->getFocusView(), c);
  EXPECT_EQ(frame->onKeyDown(tab), -1);  // past the last: no focus
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(frame->onKeyDown(shiftTab), 1);
  EXPECT_EQ(frame->getFocusView(), c);
  EXPECT_EQ(frame->onKeyDown(shiftTab), 1);
  EXPECT_EQ(frame->getFocusView(), a);
  // The focus view answers first; a handled key never moves the focus.
  a->keyAnswer = 1;
  const auto keysBefore = a->keys.size();
  EXPECT_EQ(frame->onKeyDown(tab), 1);
  EXPECT_EQ(frame->getFocusView(), a);
  EXPECT_EQ(a->keys.size(), keysBefore + 1);
  EXPECT_TRUE(b->keys.empty());
  vst::VstKeyCode other{'q', 0, 0};
  a->keyAnswer = -1;
  EXPECT_EQ(frame->onKeyDown(other), -1);
}

TEST_F(FrameTest, SettingTheFocusMarksOldAndNewFocusableViewsDirty) {
  PaintView* a = add(CRect(), "a");
  PaintView* b = add(CRect(), "b");
  a->setAcceptsFocus(true);
  b->setAcceptsFocus(true);
  frame->setFocusView(a);
  a->setDirty(false);
  frame->setFocusView(b);
  EXPECT_TRUE(a->isDirty());
  EXPECT_TRUE(b->isDirty());
  EXPECT_EQ(log, (std::vector<std::string>{"focusLost a"}));
}

TEST_F(FrameTest, WheelGoesToTheViewAtThePointWithThePointUnchanged) {
  PaintView* a = add(CRect(10, 10, 50, 50), "a");
  EXPECT_TRUE(frame->onWheel(nullptr, CPoint(20, 30), 1.0f));
  EXPECT_EQ(a->wheels, (std::vector<float>{1.0f}));
  EXPECT_EQ(a->wheelPoints[0], CPoint(20, 30));
  EXPECT_FALSE(frame->onWheel(nullptr, CPoint(100, 100), 1.0f));
}

TEST_F(FrameTest, InvalidateMarksOverlappingChildrenDirtyWithoutDrawing) {
  PaintView* a = add(CRect(0, 0, 10, 10), "a");
  PaintView* b = add(CRect(50, 50, 60, 60), "b");
  firstPaint();
  frame->invalidate(CRect(10, 10, 20, 20));  // touches a's corner only
  EXPECT_TRUE(a->isDirty());
  EXPECT_FALSE(b->isDirty());
  EXPECT_EQ(a->draws, 1);
}

TEST_F(FrameTest, SetSizeRefusesTheCurrentSizeAndResizesWithoutAHost) {
  EXPECT_FALSE(frame->setSize(170, 150));
  EXPECT_TRUE(frame->setSize(200, 120));
  CRect bounds;
  frame->getBounds(bounds);
  EXPECT_EQ(bounds, CRect(0, 0, 200, 120));
  EXPECT_TRUE(frame->isDirty());
  frame->setBounds(CRect(0, 0, 170, 150));
  frame->getBounds(bounds);
  EXPECT_EQ(bounds, CRect(0, 0, 170, 150));
  CRect size;
  EXPECT_FALSE(frame->getSize(size));  // no host window to measure
}

TEST_F(FrameTest, TicksNeedAnEditorAndTheKnobModeIsProcessWide) {
  toolkit_test::ScriptedInput input;
  input.now = 12345;
  EXPECT_EQ(frame->getTicks(), 0u);
  setKnobMode(2);
  EXPECT_EQ(frame->getKnobMode(), 2);
  setKnobMode(0);
}

TEST_F(FrameTest, PointerPositionWithoutAWindowIsTheScreenPosition) {
  toolkit_test::ScriptedInput input;
  input.pointer = CPoint(321, 123);
  CPoint where;
  EXPECT_TRUE(frame->getPointerPosition(where));
  EXPECT_EQ(where, CPoint(321, 123));
  PaintView* a = add(CRect(300, 100, 330, 130), "a");
  EXPECT_EQ(frame->viewUnderPointer(), a);
}

TEST_F(FrameTest, DrawViewDrawsADirectChildOrElseTheWholeFrame) {
  PaintView* a = add(CRect(0, 0, 10, 10), "a");
  add(CRect(20, 0, 30, 10), "b");
  frame->drawView(a);
  EXPECT_EQ(log, (std::vector<std::string>{"draw a"}));
  log.clear();
  PaintView stranger(CRect(), kGreen);
  frame->drawView(&stranger);
  EXPECT_EQ(log, (std::vector<std::string>{"draw a", "draw b"}));
}

TEST(FrameLifetime, DestroyingTheFrameReleasesEveryChildOnce) {
  bool aGone = false;
  bool modalGone = false;
  CFrame* frame = new CFrame(CRect(0, 0, 100, 100), nullptr, nullptr);
  auto* a = new PaintView(CRect(), kGreen);
  a->destroyed = &aGone;
  frame->addView(a);
  auto* modal = new PaintView(CRect(), kGreen);
  modal->destroyed = &modalGone;
  frame->setModalView(modal);
  delete frame;
  EXPECT_TRUE(aGone);
  EXPECT_FALSE(modalGone);  // its creator's reference is still held
  modal->release();
  EXPECT_TRUE(modalGone);
}

}  // namespace
