// The text edit with a scripted field: opening over the control, committing
// on Enter and on loss of focus, reporting only a change, the double-click
// style, the field's font size, and closing the editor while editing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/controls/control_fixture.h"
#include "tests/controls/fake_widgets.h"
#include "toolkit/button_state.h"
#include "toolkit/controls/ctext_edit.h"
#include "toolkit/cview_container.h"

using namespace toolkit;
using controls_test::ControlFixture;
using controls_test::FakeWidgets;

namespace {

const CRect kBox(50, 25, 150, 45);

std::string textOf(const CTextEdit* edit) {
  char buffer[kTextBufferSize] = {};
  edit->getText(buffer);
  return buffer;
}

// A control that logs the clicks it receives, to see what comes first.
class ClickLogger : public CControl {
 public:
  ClickLogger(controls_test::EventLog& eventLog) : CControl(CRect(10, 100, 40, 120)), log(eventLog) {}
  void draw(CDrawContext*) override { setDirty(false); }
  void onMouseDown(CDrawContext*, CPoint, int) override { log.add("click"); }
  controls_test::EventLog& log;
};

class TextEdit : public ControlFixture {
 protected:
  ~TextEdit() override { closeFrame(); }
  CTextEdit* make(const char* text = "pd-link") {
    auto* edit = add(new CTextEdit(kBox, &listener, 5, text));
    edit->setFont(kFontLarge);
    edit->setTextAlign(kAlignLeft);
    edit->setFontColor(CColor{10, 20, 30, 255});
    edit->setBackColor(CColor{200, 210, 220, 255});
    return edit;
  }
  FakeWidgets widgets;
};

TEST_F(TextEdit, ClickOpensTheFieldOverTheControlWithItsText) {
  CTextEdit* edit = make();
  edit->onMouseDown(context, CPoint(60, 30), kButtonLeft);
  ASSERT_EQ(widgets.fieldsOpened, 1);
  EXPECT_TRUE(edit->isEditing());
  EXPECT_EQ(widgets.lastLook.area, (platform::PixelRect{50, 25, 150, 45}));
  EXPECT_EQ(widgets.lastLook.text, "pd-link");
  EXPECT_EQ(widgets.lastLook.pixelSize, 14);
  EXPECT_EQ(widgets.lastLook.align, platform::TextAlign::left);
  EXPECT_EQ(widgets.lastLook.textColor, (platform::Rgb{10, 20, 30}));
  EXPECT_EQ(widgets.lastLook.backColor, (platform::Rgb{200, 210, 220}));
  EXPECT_EQ(widgets.lastLook.maxBytes, 255);
  EXPECT_EQ(frame->getFocusView(), edit);
  EXPECT_EQ(edits(), std::vector<std::string>{"begin 5"});
}

TEST_F(TextEdit, FieldInsideANestedContainerOpensInFrameCoordinates) {
  auto* box = new CViewContainer(CRect(5, 7, 165, 140), frame);
  frame->addView(box);
  auto* edit = new CTextEdit(CRect(10, 10, 60, 30), &listener, 5, "x");
  box->addView(edit);
  edit->onMouseDown(context, CPoint(20, 20), kButtonLeft);
  EXPECT_EQ(widgets.lastLook.area, (platform::PixelRect{15, 17, 65, 37}));
}

TEST_F(TextEdit, EnterCommitsAChangedTextOnce) {
  CTextEdit* edit = make();
  edit->onMouseDown(context, CPoint(60, 30), kButtonLeft);
  widgets.openField->typed = "studio-a";
  widgets.fieldEvents->textFieldEnded();
  EXPECT_EQ(textOf(edit), "studio-a");
  EXPECT_FALSE(edit->isEditing());
  EXPECT_EQ(widgets.fieldsClosed, 1);
  EXPECT_EQ(listener.controls, std::vector<CControl*>{edit});
  EXPECT_EQ(edits(), (std::vector<std::string>{"begin 5", "end 5"}));
  EXPECT_EQ(frame->getFocusView(), nullptr);
  // The change ran the idle work, which redrew the control with its text.
  EXPECT_EQ(editor.idlePasses, 1);
  EXPECT_FALSE(edit->isDirty());
}

TEST_F(TextEdit, CommittingTheSameTextReportsNothing) {
  CTextEdit* edit = make();
  edit->onMouseDown(context, CPoint(60, 30), kButtonLeft);
  widgets.fieldEvents->textFieldEnded();
  EXPECT_TRUE(listener.controls.empty());
  EXPECT_EQ(edits(), (std::vector<std::string>{"begin 5", "end 5"}));
  EXPECT_EQ(textOf(edit), "pd-link");
}

TEST_F(TextEdit, AClickElsewhereCommitsBeforeThatClickActs) {
  CTextEdit* edit = make();
  add(new ClickLogger(log));
  edit->onMouseDown(context, CPoint(60, 30), kButtonLeft);
  widgets.openField->typed = "other";
  frame->onMouseDown(context, CPoint(20, 110), kButtonLeft);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"begin 5", "end 5", "changed 5", "click"}));
  EXPECT_EQ(textOf(edit), "other");
}

TEST_F(TextEdit, ASecondClickWhileOpenIsIgnored) {
  CTextEdit* edit = make();
  edit->onMouseDown(context, CPoint(60, 30), kButtonLeft);
  edit->onMouseDown(context, CPoint(60, 30), kButtonLeft);
  EXPECT_EQ(widgets.fieldsOpened, 1);
  EXPECT_EQ(edits(), std::vector<std::string>{"begin 5"});
}

TEST_F(TextEdit, OnlyTheLeftButtonOpens) {
  CTextEdit* edit = make();
  edit->onMouseDown(context, CPoint(60, 30), kButtonRight);
  edit->setMouseEnabled(false);
  edit->onMouseDown(context, CPoint(60, 30), kButtonLeft);
  EXPECT_EQ(widgets.fieldsOpened, 0);
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(TextEdit, DoubleClickStyleOpensOnTheSecondClickOnly) {
  CTextEdit* edit = make();
  edit->setStyle(kDoubleClickToEdit);
  edit->setDoubleClickTime(400);
  input.now = 5000;
  edit->onMouseDown(context, CPoint(60, 30), kButtonLeft);
  EXPECT_EQ(widgets.fieldsOpened, 0);
  input.now += 150;
  edit->onMouseDown(context, CPoint(60, 30), kButtonLeft);
  EXPECT_EQ(widgets.fieldsOpened, 1);
}

TEST_F(TextEdit, FieldThatCannotOpenEndsTheEditAtOnce) {
  CTextEdit* edit = make();
  widgets.refuseField = true;
  edit->onMouseDown(context, CPoint(60, 30), kButtonLeft);
  EXPECT_FALSE(edit->isEditing());
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(edits(), (std::vector<std::string>{"begin 5", "end 5"}));
}

TEST_F(TextEdit, ClosingTheEditorWhileEditingDropsTheFieldSafely) {
  CTextEdit* edit = make();
  edit->onMouseDown(context, CPoint(60, 30), kButtonLeft);
  widgets.openField->typed = "never committed";
  context->release();
  delete frame;  // what the editor's close does
  frame = new CFrame(CRect(0, 0, 170, 150), nullptr, &editor);
  editor.attach(frame);
  context = frame->createDrawContext();
  EXPECT_EQ(widgets.fieldsClosed, 1);
  EXPECT_TRUE(listener.controls.empty());
}

TEST(TextEditFont, FieldFontIsAtMostTheBoxHeightLessTwo) {
  EXPECT_EQ(CTextEdit::fieldFontSize(14, 20), 14);
  EXPECT_EQ(CTextEdit::fieldFontSize(14, 12), 10);
  EXPECT_EQ(CTextEdit::fieldFontSize(14, 16), 14);
  EXPECT_EQ(CTextEdit::fieldFontSize(14, 2), 1);
}

TEST(TextEditText, SetTextCutsAndMarksDirtyOnlyOnChange) {
  auto* edit = new CTextEdit(kBox, nullptr, 5, nullptr);
  char buffer[kTextBufferSize];
  edit->getText(buffer);
  EXPECT_STREQ(buffer, "");
  edit->draw(nullptr);
  edit->setText(nullptr);
  EXPECT_FALSE(edit->isDirty());
  edit->setText("abc");
  EXPECT_TRUE(edit->isDirty());
  edit->draw(nullptr);
  edit->setText("abc");
  EXPECT_FALSE(edit->isDirty());
  edit->setText(nullptr);
  EXPECT_TRUE(edit->isDirty());
  const std::string longText(400, 'k');
  edit->setText(longText.c_str());
  edit->getText(buffer);
  EXPECT_EQ(std::strlen(buffer), 255u);
  edit->getText(nullptr);  // no buffer: nothing happens
  // A cut never leaves half a character: 127 two-byte characters and one
  // more that would straddle the limit.
  std::string wide;
  for (int i = 0; i < 128; ++i) wide += "\xC3\xA9";
  edit->setText(wide.c_str());
  edit->getText(buffer);
  EXPECT_EQ(std::strlen(buffer), 254u);
  edit->release();
}

void percent(float value, char* text) { std::snprintf(text, 256, "%d", static_cast<int>(value * 100.0f + 0.5f)); }

TEST(TextEditText, ValueFormatterReplacesTheStoredTextWhenDrawn) {
  auto* edit = new CTextEdit(kBox, nullptr, 5, "old");
  edit->setValueFormatter(percent);
  edit->setValue(0.42f);
  edit->draw(nullptr);
  char buffer[kTextBufferSize];
  edit->getText(buffer);
  EXPECT_STREQ(buffer, "42");
  edit->release();
}

}  // namespace
