// The GUI editor base: registration, rectangle, keys, knob mode, edit
// gestures, the doIdleWork throttle on a scripted clock, and host resizing.
#include <gtest/gtest.h>

#include <memory>

#include "editor/aeff_gui_editor.h"
#include "tests/toolkit/scripted_input.h"
#include "tests/toolkit/test_effect.h"
#include "tests/toolkit/test_views.h"
#include "toolkit/cframe.h"
#include "toolkit/knob_mode.h"

using namespace toolkit;
using toolkit_test::HostLog;
using toolkit_test::PaintView;

namespace {

class TestEditor : public AEffGUIEditor {
 public:
  explicit TestEditor(AudioEffect* owner) : AEffGUIEditor(owner) {
    rect.bottom = 150;
    rect.right = 170;
  }
  // A frame without a host window: enough for everything but real X events.
  void openHeadless() {
    frame = new CFrame(CRect(0, 0, 170, 150), nullptr, this);
    view = new PaintView(CRect(10, 10, 40, 40), kColorRed);
    frame->addView(view);
    frame->drawArea(nullptr, CRect(0, 0, 170, 150));  // the first paint
  }
  void close() override {
    delete frame;
    frame = nullptr;
    AEffGUIEditor::close();
  }
  bool insideIdleWork() const { return inIdleWork; }
  PaintView* view = nullptr;
};

class GuiEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    toolkit_test::currentHost = &host;
    effect = std::make_unique<toolkit_test::TestEffect>();
    editor = new TestEditor(effect.get());  // the instance owns its editor
  }
  void TearDown() override {
    editor->close();
    effect.reset();
    toolkit_test::currentHost = nullptr;
  }
  toolkit_test::ScriptedInput input;  // installed before the editor reads the clock
  HostLog host;
  std::unique_ptr<toolkit_test::TestEffect> effect;
  TestEditor* editor = nullptr;
};

TEST_F(GuiEditorTest, RegistersWithItsInstanceAndReportsItsRectangle) {
  EXPECT_EQ(effect->getEditor(), editor);
  EXPECT_NE(effect->getEffectRecord()->flags & vst::effFlagsHasEditor, 0);
  vst::ERect* rect = nullptr;
  EXPECT_TRUE(editor->getRect(&rect));
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, 170);
  EXPECT_EQ(rect->bottom - rect->top, 150);
  EXPECT_FALSE(editor->getRect(nullptr));
}

TEST_F(GuiEditorTest, RequestsWithoutAFrameDoNothing) {
  vst::VstKeyCode key{0, vst::VKEY_TAB, 0};
  editor->idle();
  EXPECT_FALSE(editor->onKeyDown(key));
  EXPECT_FALSE(editor->onKeyUp(key));
  EXPECT_FALSE(editor->onWheel(1.0f));
}

TEST_F(GuiEditorTest, AKeyIsHandledOnlyWhenTheFrameAnswersExactlyOne) {
  editor->openHeadless();
  vst::VstKeyCode key{'a', 0, 0};
  EXPECT_FALSE(editor->onKeyDown(key));  // no focus view: nobody handles it
  vst::VstKeyCode tab{0, vst::VKEY_TAB, 0};
  editor->view->setAcceptsFocus(true);
  EXPECT_TRUE(editor->onKeyDown(tab));
  ASSERT_EQ(editor->getFrame()->getFocusView(), editor->view);
  editor->view->keyAnswer = 2;
  EXPECT_FALSE(editor->onKeyDown(key));
  EXPECT_FALSE(editor->onKeyUp(key));
  editor->view->keyAnswer = 1;
  EXPECT_TRUE(editor->onKeyDown(key));
  EXPECT_EQ(editor->view->keys.size(), 2u);
}

TEST_F(GuiEditorTest, TwoEditorsShareOneKnobMode) {
  auto* second = new TestEditor(effect.get());
  effect->attachEditor(editor);  // the instance keeps the first one
  EXPECT_TRUE(editor->setKnobMode(1));
  EXPECT_TRUE(second->setKnobMode(2));
  delete second;
  editor->openHeadless();
  EXPECT_EQ(editor->getFrame()->getKnobMode(), 2);
  EXPECT_EQ(knobMode(), 2);
  setKnobMode(0);
}

TEST_F(GuiEditorTest, EditGesturesReachTheHostThroughTheFrame) {
  editor->openHeadless();
  editor->getFrame()->beginEdit(3);
  editor->getFrame()->endEdit(3);
  ASSERT_EQ(host.count(vst::audioMasterBeginEdit), 1);
  ASSERT_EQ(host.count(vst::audioMasterEndEdit), 1);
  for (const auto& call : host.calls) {
    if (call.opcode == vst::audioMasterBeginEdit || call.opcode == vst::audioMasterEndEdit) {
      EXPECT_EQ(call.index, 3);
    }
  }
}

TEST_F(GuiEditorTest, TheFrameReadsTicksOnlyThroughAnEditor) {
  editor->openHeadless();
  input.now = 4242;
  EXPECT_EQ(editor->getFrame()->getTicks(), 4242u);
}

struct ThrottleCase {
  const char* name;
  std::uint32_t start;  // clock when the editor is made (and first runs)
  std::uint32_t later;  // time since that first run
  bool runs;
  bool sleeps;
};

class IdleThrottle : public ::testing::TestWithParam<ThrottleCase> {};

TEST_P(IdleThrottle, RunsAboutEvery50MsAndSleeps4MsOtherwise) {
  const ThrottleCase& c = GetParam();
  toolkit_test::ScriptedInput input;
  input.now = c.start;
  HostLog host;
  toolkit_test::currentHost = &host;
  auto effect = std::make_unique<toolkit_test::TestEffect>();
  auto& editor = *new TestEditor(effect.get());  // owned by the instance
  editor.openHeadless();
  editor.doIdleWork();  // runs at once: nothing was due yet
  ASSERT_EQ(host.count(vst::audioMasterIdle), 1);
  input.sleeps.clear();
  input.now = c.start + c.later;
  editor.view->setDirty(true);
  editor.doIdleWork();
  EXPECT_EQ(host.count(vst::audioMasterIdle), c.runs ? 2 : 1);
  EXPECT_EQ(editor.view->isDirty(), !c.runs);  // a run redraws the frame
  EXPECT_EQ(input.sleeps, c.sleeps ? std::vector<int>{4} : std::vector<int>{});
  editor.close();
  effect.reset();
  toolkit_test::currentHost = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Cases, IdleThrottle,
                         ::testing::Values(ThrottleCase{"after10ms", 1000, 10, false, true},
                                           ThrottleCase{"after45ms", 1000, 45, false, true},
                                           ThrottleCase{"after46ms", 1000, 46, true, true},
                                           ThrottleCase{"after60ms", 1000, 60, true, true},
                                           ThrottleCase{"after100ms", 1000, 100, true, false},
                                           ThrottleCase{"acrossTheWrap10ms", 0xfffffff0u, 10, false, true},
                                           ThrottleCase{"acrossTheWrap60ms", 0xfffffff0u, 60, true, true}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(GuiEditorTest, TheHostsIdleInsideIdleWorkDoesNotRedrawTheFrame) {
  editor->openHeadless();
  int nestedCalls = 0;
  bool stayedDirty = false;
  host.answer = [&](const HostLog::Call& call) -> std::intptr_t {
    if (call.opcode == vst::audioMasterIdle) {
      // What a host does that sends effEditIdle from its own idle processing.
      ++nestedCalls;
      EXPECT_TRUE(editor->insideIdleWork());
      editor->view->setDirty(true);
      editor->idle();
      stayedDirty = editor->view->isDirty();
    }
    return 0;
  };
  editor->doIdleWork();
  EXPECT_EQ(nestedCalls, 1);
  EXPECT_TRUE(stayedDirty);
  EXPECT_FALSE(editor->insideIdleWork());
  editor->idle();
  EXPECT_FALSE(editor->view->isDirty());
}

TEST_F(GuiEditorTest, SetSizeAsksTheHostFirst) {
  editor->openHeadless();
  CFrame* frame = editor->getFrame();
  frame->setDirty(false);
  host.answer = [](const HostLog::Call& call) -> std::intptr_t {
    if (call.opcode == vst::audioMasterCanDo) return call.text == "sizeWindow" ? 1 : 0;
    return call.opcode == vst::audioMasterSizeWindow ? 1 : 0;
  };
  EXPECT_TRUE(frame->setSize(200, 100));
  ASSERT_EQ(host.count(vst::audioMasterSizeWindow), 1);
  for (const auto& call : host.calls) {
    if (call.opcode == vst::audioMasterSizeWindow) {
      EXPECT_EQ(call.index, 200);
      EXPECT_EQ(call.value, 100);
    }
  }
  CRect bounds;
  frame->getBounds(bounds);
  EXPECT_EQ(bounds, CRect(0, 0, 200, 100));
  EXPECT_FALSE(frame->isDirty());  // the host resized: nothing else is touched

  host.answer = nullptr;  // a host that cannot: the frame resizes itself
  EXPECT_TRUE(frame->setSize(170, 150));
  EXPECT_EQ(host.count(vst::audioMasterSizeWindow), 1);
  frame->getBounds(bounds);
  EXPECT_EQ(bounds, CRect(0, 0, 170, 150));
  EXPECT_TRUE(frame->isDirty());
}

TEST_F(GuiEditorTest, WheelFromTheHostUsesThePointerPosition) {
  editor->openHeadless();
  input.pointer = CPoint(20, 25);  // a windowless frame's origin is (0, 0)
  EXPECT_TRUE(editor->onWheel(-1.0f));
  EXPECT_EQ(editor->view->wheels, (std::vector<float>{-1.0f}));
  input.pointer = CPoint(100, 100);
  EXPECT_FALSE(editor->onWheel(1.0f));
}

}  // namespace
