// The control base: the dirty rule, clamping, the double-click window, the
// control-click reset and class names of every control.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "editor/cvalue_text.h"
#include "tests/controls/control_fixture.h"
#include "toolkit/button_state.h"
#include "toolkit/controls/ckick_button.h"
#include "toolkit/controls/coption_menu.h"
#include "toolkit/controls/cparam_display.h"
#include "toolkit/controls/ctext_edit.h"
#include "toolkit/controls/ctext_label.h"

using namespace toolkit;
using controls_test::ControlFixture;

namespace {

// The smallest concrete control: draws nothing but records the drawn value.
class PlainControl : public CControl {
 public:
  explicit PlainControl(CControlListener* l = nullptr, int t = 7) : CControl(CRect(10, 10, 40, 30), l, t) {}
  void draw(CDrawContext*) override { setDirty(false); }
};

TEST(ControlDirtyRule, NewControlIsDirtyAndDrawingCleansIt) {
  PlainControl& control = *new PlainControl();
  EXPECT_TRUE(control.isDirty());
  control.draw(nullptr);
  EXPECT_FALSE(control.isDirty());
  EXPECT_EQ(control.getDrawnValue(), control.getValue());
  control.release();
}

TEST(ControlDirtyRule, SetValueDirtiesOnlyWhenTheValueDiffers) {
  PlainControl& control = *new PlainControl();
  control.setValue(0.25f);
  control.draw(nullptr);
  control.setValue(0.25f);
  EXPECT_FALSE(control.isDirty());
  control.setValue(0.3f);
  EXPECT_TRUE(control.isDirty());
  control.release();
}

TEST(ControlDirtyRule, SetDirtyPicksADrawnValueThatDiffers) {
  PlainControl& control = *new PlainControl();
  control.setValue(-1.0f);
  control.draw(nullptr);
  control.setDirty(true);
  EXPECT_EQ(control.getDrawnValue(), 0.0f);
  EXPECT_TRUE(control.isDirty());
  control.setValue(0.0f);
  control.draw(nullptr);
  control.setDirty(true);
  EXPECT_EQ(control.getDrawnValue(), -1.0f);
  control.release();
}

TEST(ControlDirtyRule, NaNValueCountsAsChanged) {
  PlainControl& control = *new PlainControl();
  control.setValue(std::numeric_limits<float>::quiet_NaN());
  control.draw(nullptr);
  EXPECT_TRUE(control.isDirty());  // NaN never equals the drawn NaN
  control.release();
}

struct ClampCase {
  float value;
  float expected;
};

class ControlClamp : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ControlClamp, KeepsTheValueWithinTheBounds) {
  PlainControl& control = *new PlainControl();
  control.setValue(GetParam().value);
  control.clampValue();
  if (std::isnan(GetParam().expected)) {
    EXPECT_TRUE(std::isnan(control.getValue()));
  } else {
    EXPECT_EQ(control.getValue(), GetParam().expected);
  }
  control.release();
}

INSTANTIATE_TEST_SUITE_P(Values, ControlClamp,
                         ::testing::Values(ClampCase{1.5f, 1.0f}, ClampCase{-0.2f, 0.0f}, ClampCase{0.4f, 0.4f},
                                           ClampCase{1.0f, 1.0f}, ClampCase{0.0f, 0.0f},
                                           ClampCase{std::numeric_limits<float>::infinity(), 1.0f},
                                           ClampCase{-std::numeric_limits<float>::infinity(), 0.0f},
                                           ClampCase{std::numeric_limits<float>::quiet_NaN(),
                                                     std::numeric_limits<float>::quiet_NaN()}));

TEST(ControlDoubleClick, WindowIsNeverBelow250Milliseconds) {
  EXPECT_EQ(doubleClickWindow(100), 250);
  EXPECT_EQ(doubleClickWindow(250), 250);
  EXPECT_EQ(doubleClickWindow(500), 500);
  PlainControl& control = *new PlainControl();
  EXPECT_GE(control.getDoubleClickTime(), 250);
  control.release();
}

class ControlInFrame : public ControlFixture {};

TEST_F(ControlInFrame, SecondClickWithinTheWindowIsADoubleClickAndTheThirdIsNot) {
  auto* control = add(new PlainControl(&listener));
  control->setDoubleClickTime(500);
  input.now = 10000;
  EXPECT_FALSE(control->isDoubleClick());  // the first click after construction
  input.now += 200;
  EXPECT_TRUE(control->isDoubleClick());
  input.now += 200;
  EXPECT_FALSE(control->isDoubleClick());
  input.now += 600;
  EXPECT_FALSE(control->isDoubleClick());  // too late for the previous one
  input.now += 499;
  EXPECT_TRUE(control->isDoubleClick());
}

TEST_F(ControlInFrame, DoubleClickSurvivesTheTickWrap) {
  auto* control = add(new PlainControl(&listener));
  control->setDoubleClickTime(500);
  input.now = 0x7FFFFF00u;
  EXPECT_FALSE(control->isDoubleClick());
  input.now += 0x180;  // crosses 2^31
  EXPECT_TRUE(control->isDoubleClick());
}

TEST_F(ControlInFrame, ControlClickResetsToTheDefaultAndReportsOnce) {
  auto* control = add(new PlainControl(&listener, 4));
  control->setValue(0.9f);
  control->draw(context);
  EXPECT_TRUE(control->resetOnControlClick(context, kButtonLeft | kModControl));
  EXPECT_EQ(control->getValue(), 0.5f);
  EXPECT_EQ(listener.reports, std::vector<float>{0.5f});
  EXPECT_EQ(edits(), (std::vector<std::string>{"begin 4", "end 4"}));
  EXPECT_EQ(frame->getFocusView(), control);  // endEdit leaves the focus view
}

TEST_F(ControlInFrame, ControlClickOnTheDefaultReportsNothing) {
  auto* control = add(new PlainControl(&listener, 4));
  control->setValue(0.5f);
  control->draw(context);
  EXPECT_TRUE(control->resetOnControlClick(context, kButtonLeft | kModControl));
  EXPECT_TRUE(listener.reports.empty());
  EXPECT_EQ(edits().size(), 2u);
}

TEST_F(ControlInFrame, OtherButtonsDoNotReset) {
  auto* control = add(new PlainControl(&listener, 4));
  control->setValue(0.9f);
  for (const int buttons : std::initializer_list<int>{kButtonLeft, kModControl, kButtonRight | kModControl, kButtonLeft | kModControl | kModShift,
                      kButtonLeft | kModControl | kModAlt}) {
    EXPECT_FALSE(control->resetOnControlClick(context, buttons)) << buttons;
  }
  EXPECT_EQ(control->getValue(), 0.9f);
  EXPECT_TRUE(log.lines.empty());
}

TEST(ControlClassNames, EveryControlAnswersForItsAncestorsOnly) {
  CParamDisplay* display = new CParamDisplay(CRect(0, 0, 10, 10));
  CTextLabel* label = new CTextLabel(CRect(0, 0, 10, 10));
  CTextEdit* edit = new CTextEdit(CRect(0, 0, 10, 10), nullptr, 0, "x");
  COptionMenu* menu = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 0);
  CKickButton* kick = new CKickButton(CRect(0, 0, 10, 10), nullptr, 0, nullptr, 16);
  CValueText* valueText = new CValueText(CRect(0, 0, 10, 10), nullptr, 0);
  struct Case {
    CView* view;
    const char* name;
    bool expected;
  };
  const Case cases[] = {
      {display, "CView", true},         {display, "CControl", true},      {display, "CParamDisplay", true},
      {display, "CTextLabel", false},   {display, "CControlX", false},    {display, "CContro", false},
      {label, "CTextLabel", true},      {label, "CParamDisplay", true},   {label, "CTextEdit", false},
      {edit, "CTextEdit", true},        {edit, "CParamDisplay", true},    {edit, "CTextLabel", false},
      {menu, "COptionMenu", true},      {menu, "CControl", true},         {menu, "CTextEdit", false},
      {kick, "CKickButton", true},      {kick, "CControl", true},         {kick, "CParamDisplay", false},
      {valueText, "CValueText", true},  {valueText, "CParamDisplay", true}, {valueText, "CControl", true},
      {valueText, "CView", true},       {valueText, "CTextLabel", false}, {valueText, nullptr, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.view->isOfClass(c.name), c.expected) << (c.name ? c.name : "(null)");
  }
  for (CView* view : {static_cast<CView*>(display), static_cast<CView*>(label), static_cast<CView*>(edit),
                      static_cast<CView*>(menu), static_cast<CView*>(kick), static_cast<CView*>(valueText)}) {
    view->release();
  }
}

}  // namespace
