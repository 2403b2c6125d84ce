// Dragging the level display: 200 pixels for the range, 300 with shift, no
// jump when shift changes mid-drag, clamping, the control-click reset, and
// what reaches the listener and the host.
#include <gtest/gtest.h>

#include "editor/cvalue_text.h"
#include "tests/controls/control_fixture.h"
#include "toolkit/button_state.h"

using namespace toolkit;
using controls_test::ControlFixture;
using controls_test::Step;

namespace {

constexpr int L = kButtonLeft;
constexpr int S = kModShift;
const CPoint kStart(30, 70);

CPoint at(int dx, int dy) { return CPoint(kStart.h + dx, kStart.v + dy); }

struct DragCase {
  const char* name;
  float startValue;
  int pressButtons;
  std::vector<Step> steps;
  float expected;
};

class ValueTextDrag : public ControlFixture, public ::testing::WithParamInterface<DragCase> {};

TEST_P(ValueTextDrag, EndsAtTheExpectedValue) {
  const DragCase& c = GetParam();
  auto* text = add(new CValueText(CRect(20, 65, 50, 81), &listener, 2));
  text->setValue(c.startValue);
  text->draw(context);
  editor.setScript(c.steps);
  text->onMouseDown(context, kStart, c.pressButtons);
  EXPECT_NEAR(text->getValue(), c.expected, 1e-5f);
  EXPECT_EQ(edits(), (std::vector<std::string>{"begin 2", "end 2"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValueTextDrag,
    ::testing::Values(
        DragCase{"Right100", 0.2f, L, {{at(0, 0), L}, {at(100, 0), L}, {at(100, 0), 0}}, 0.7f},
        DragCase{"Up100", 0.2f, L, {{at(0, 0), L}, {at(0, -100), L}, {at(0, -100), 0}}, 0.7f},
        DragCase{"ShiftRight100", 0.2f, L | S, {{at(0, 0), L | S}, {at(100, 0), L | S}, {at(100, 0), 0}},
                 0.2f + 100.0f / 300.0f},
        DragCase{"RightAndDownCancel", 0.4f, L, {{at(50, 50), L}, {at(50, 50), 0}}, 0.4f},
        DragCase{"LeftClampsAtMinimum", 0.3f, L, {{at(-150, 0), L}, {at(-150, 0), 0}}, 0.0f},
        // Past the top and back: the value moves again only once the pointer
        // is back below the point where the clamp began.
        DragCase{"ClampThenBack", 0.2f, L,
                 {{at(300, 0), L}, {at(200, 0), L}, {at(100, 0), L}, {at(100, 0), 0}}, 0.7f},
        // Shift pressed after 50 pixels, then 30 more at the fine step.
        DragCase{"ShiftMidDrag", 0.2f, L,
                 {{at(50, 0), L}, {at(50, 0), L | S}, {at(80, 0), L | S}, {at(80, 0), L | S}, {at(80, 0), 0}},
                 0.2f + 50.0f / 200.0f + 30.0f / 300.0f},
        // Shift released after 60 fine pixels, then 40 more at the coarse step.
        DragCase{"ShiftReleasedMidDrag", 0.1f, L | S,
                 {{at(60, 0), L | S}, {at(60, 0), L}, {at(100, 0), L}, {at(100, 0), L}, {at(100, 0), 0}},
                 0.1f + 60.0f / 300.0f + 40.0f / 200.0f}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

class ValueText : public ControlFixture {
 protected:
  CValueText* make() {
    auto* text = add(new CValueText(CRect(20, 65, 50, 81), &listener, 1));
    text->setValue(0.2f);
    text->draw(context);
    return text;
  }
};

TEST_F(ValueText, ShiftChangeDoesNotMakeTheValueJump) {
  CValueText* text = make();
  // Shift goes down after 50 pixels; the pointer then moves one pixel more.
  editor.setScript({{at(50, 0), L}, {at(51, 0), L | S}, {at(51, 0), L | S}, {at(51, 0), 0}});
  text->onMouseDown(context, kStart, L);
  ASSERT_EQ(listener.reports.size(), 2u);
  EXPECT_NEAR(listener.reports[0], 0.2f + 50.0f / 200.0f, 1e-5f);
  // One more pixel, now at the fine step: no jump at the switch.
  EXPECT_NEAR(listener.reports[1], 0.2f + 50.0f / 200.0f + 1.0f / 300.0f, 1e-5f);
}

TEST_F(ValueText, ClickWithoutMovingReportsNothing) {
  CValueText* text = make();
  editor.setScript({{kStart, L}, {kStart, 0}});
  text->onMouseDown(context, kStart, L);
  EXPECT_TRUE(listener.reports.empty());
  EXPECT_EQ(text->getValue(), 0.2f);
  EXPECT_EQ(edits(), (std::vector<std::string>{"begin 1", "end 1"}));
}

TEST_F(ValueText, ClickReportsWhenTheControlWasAlreadyDirty) {
  CValueText* text = make();
  text->setDirty(true);
  editor.setScript({{kStart, L}, {kStart, 0}});
  text->onMouseDown(context, kStart, L);
  EXPECT_EQ(listener.reports, std::vector<float>{0.2f});
}

TEST_F(ValueText, EveryChangeIsReportedOnceBetweenRedraws) {
  CValueText* text = make();
  editor.setScript({{at(10, 0), L}, {at(20, 0), L}, {at(20, 0), L}, {at(20, 0), 0}});
  text->onMouseDown(context, kStart, L);
  ASSERT_EQ(listener.reports.size(), 2u);
  EXPECT_NEAR(listener.reports[0], 0.25f, 1e-5f);
  EXPECT_NEAR(listener.reports[1], 0.3f, 1e-5f);
  EXPECT_EQ(editor.idlePasses, 4);
  // Reports fall between the begin and the end of the edit.
  EXPECT_EQ(log.lines.front(), "begin 1");
  EXPECT_EQ(log.lines.back(), "end 1");
}

TEST_F(ValueText, ControlClickSetsTheDefaultAndStartsNoDrag) {
  CValueText* text = make();
  text->onMouseDown(context, kStart, L | kModControl);
  EXPECT_EQ(text->getValue(), 0.5f);
  EXPECT_EQ(listener.reports, std::vector<float>{0.5f});
  EXPECT_EQ(editor.idlePasses, 0);
  EXPECT_EQ(edits(), (std::vector<std::string>{"begin 1", "end 1"}));
}

TEST_F(ValueText, ModifierClickTakenByTheListenerEndsTheHandling) {
  CValueText* text = make();
  listener.modifierAnswer = 1;
  text->onMouseDown(context, kStart, L | kModControl);
  EXPECT_EQ(listener.modifierClicks, std::vector<int>{L | kModControl});
  EXPECT_EQ(text->getValue(), 0.2f);
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(ValueText, RightButtonAndDisabledMouseDoNothing) {
  CValueText* text = make();
  text->onMouseDown(context, kStart, kButtonRight);
  text->setMouseEnabled(false);
  text->onMouseDown(context, kStart, L);
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(editor.idlePasses, 0);
}

TEST_F(ValueText, ButtonsArgumentMinusOneReadsTheCurrentState) {
  CValueText* text = make();
  editor.setScript({{kStart, L}, {at(40, 0), L}, {at(40, 0), 0}});
  text->onMouseDown(context, kStart, kButtonsQuery);
  EXPECT_NEAR(text->getValue(), 0.4f, 1e-5f);
}

TEST_F(ValueText, EqualBoundsNeverChangeTheValue) {
  CValueText* text = make();
  text->setMin(0.2f);
  text->setMax(0.2f);
  editor.setScript({{at(80, 0), L}, {at(80, 0), 0}});
  text->onMouseDown(context, kStart, L);
  EXPECT_EQ(text->getValue(), 0.2f);
}

}  // namespace
