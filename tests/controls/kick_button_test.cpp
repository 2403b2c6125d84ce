// The kick button: press and release, dragging out, edge pixels, presses
// that are not plain left presses, and the two images.
#include <gtest/gtest.h>

#include "tests/controls/control_fixture.h"
#include "tests/toolkit/canvas_probe.h"
#include "platform/canvas.h"
#include "toolkit/button_state.h"
#include "toolkit/cbitmap.h"
#include "toolkit/controls/ckick_button.h"

using namespace toolkit;
using controls_test::ControlFixture;
using controls_test::Step;

namespace {

constexpr int L = kButtonLeft;
const CRect kBounds(120, 101, 150, 117);

class KickButton : public ControlFixture {
 protected:
  CKickButton* make(CBitmap* picture = nullptr) {
    return add(new CKickButton(kBounds, &listener, 6, picture, 16, CPoint(0, 0)));
  }
};

TEST_F(KickButton, PressAndReleaseReportOneThenZero) {
  CKickButton* kick = make();
  editor.setScript({{CPoint(130, 110), L}, {CPoint(130, 110), 0}});
  kick->onMouseDown(context, CPoint(130, 110), L);
  EXPECT_EQ(listener.reports, (std::vector<float>{1.0f, 0.0f}));
  EXPECT_EQ(kick->getValue(), 0.0f);
  EXPECT_EQ(edits(), (std::vector<std::string>{"begin 6", "end 6"}));
}

TEST_F(KickButton, DraggingOutFallsBackAndTheReleaseReportsZero) {
  CKickButton* kick = make();
  editor.setScript({{CPoint(130, 110), L}, {CPoint(160, 110), L}, {CPoint(160, 110), L}, {CPoint(160, 110), 0}});
  kick->onMouseDown(context, CPoint(130, 110), L);
  EXPECT_EQ(listener.reports, (std::vector<float>{1.0f, 0.0f, 0.0f}));
}

TEST_F(KickButton, DraggingBackInPressesAgain) {
  CKickButton* kick = make();
  editor.setScript({{CPoint(130, 110), L}, {CPoint(160, 110), L}, {CPoint(140, 105), L}, {CPoint(140, 105), L},
                    {CPoint(140, 105), 0}});
  kick->onMouseDown(context, CPoint(130, 110), L);
  EXPECT_EQ(listener.reports, (std::vector<float>{1.0f, 0.0f, 1.0f, 0.0f}));
}

struct EdgeCase {
  CPoint where;
  bool inside;
};

class KickButtonEdges : public KickButton, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(KickButtonEdges, EdgesCountAsInside) {
  CKickButton* kick = make();
  const CPoint where = GetParam().where;
  editor.setScript({{where, L}, {where, 0}});
  kick->onMouseDown(context, where, L);
  const std::vector<float> pressed{1.0f, 0.0f};
  const std::vector<float> missed{0.0f};
  EXPECT_EQ(listener.reports, GetParam().inside ? pressed : missed);
}

INSTANTIATE_TEST_SUITE_P(Points, KickButtonEdges,
                         ::testing::Values(EdgeCase{CPoint(120, 101), true}, EdgeCase{CPoint(150, 117), true},
                                           EdgeCase{CPoint(150, 101), true}, EdgeCase{CPoint(120, 117), true},
                                           EdgeCase{CPoint(119, 110), false}, EdgeCase{CPoint(151, 110), false},
                                           EdgeCase{CPoint(130, 100), false}, EdgeCase{CPoint(130, 118), false}));

TEST_F(KickButton, ShiftPressReportsOneAndZeroAtOnce) {
  CKickButton* kick = make();
  editor.setScript({{CPoint(130, 110), L | kModShift}, {CPoint(130, 110), 0}});
  kick->onMouseDown(context, CPoint(130, 110), L | kModShift);
  EXPECT_EQ(listener.reports, (std::vector<float>{1.0f, 0.0f}));
  EXPECT_EQ(listener.modifierClicks.size(), 1u);
  EXPECT_EQ(editor.idlePasses, 0);
}

TEST_F(KickButton, ReleasedBeforeTrackingReportsOneAndZero) {
  CKickButton* kick = make();
  editor.setScript({{CPoint(130, 110), 0}});
  kick->onMouseDown(context, CPoint(130, 110), L);
  EXPECT_EQ(listener.reports, (std::vector<float>{1.0f, 0.0f}));
}

TEST_F(KickButton, OtherButtonsAndTakenModifierClicksDoNothing) {
  CKickButton* kick = make();
  kick->onMouseDown(context, CPoint(130, 110), kButtonRight);
  kick->onMouseDown(context, CPoint(130, 110), kButtonMiddle);
  listener.modifierAnswer = 1;
  kick->onMouseDown(context, CPoint(130, 110), L | kModAlt);
  EXPECT_TRUE(listener.reports.empty());
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(KickButton, DrawShowsThePressedImageForAnyValueButZero) {
  // Picture 102 of the test pictures: the released image on top, the
  // pressed one 16 pixels below.
  auto* picture = new CBitmap(102);
  ASSERT_TRUE(picture->isLoaded());
  CKickButton* kick = make(picture);
  picture->release();
  platform::Canvas& canvas = *context->getDevice();
  kick->setValue(0.0f);
  kick->draw(context);
  const platform::Rgb released = canvas.pixel(kBounds.left + 5, kBounds.top + 5);
  kick->setValue(1.0f);
  kick->draw(context);
  const platform::Rgb pressed = canvas.pixel(kBounds.left + 5, kBounds.top + 5);
  EXPECT_FALSE(released == pressed);
  kick->setValue(7.0f);  // clamped to 1 when drawn
  kick->draw(context);
  EXPECT_EQ(kick->getValue(), 1.0f);
  EXPECT_TRUE(canvas.pixel(kBounds.left + 5, kBounds.top + 5) == pressed);
  EXPECT_FALSE(kick->isDirty());
}

}  // namespace
