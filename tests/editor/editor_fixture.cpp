#include "tests/editor/editor_fixture.h"

#include <unistd.h>

#include <cstdio>

#include "editor/cvalue_text.h"
#include "platform/canvas.h"
#include "toolkit/button_state.h"
#include "toolkit/cdraw_context.h"
#include "toolkit/cframe.h"
#include "toolkit/controls/ctext_edit.h"

namespace editor_test {

std::vector<HostCall>& hostCalls() {
  static std::vector<HostCall> calls;
  return calls;
}

std::intptr_t recordingHost(vst::AEffect*, std::int32_t opcode, std::int32_t index, std::intptr_t, void*,
                            float opt) {
  if (opcode == vst::audioMasterVersion) return vst::kVstVersion;
  hostCalls().push_back(HostCall{opcode, index, opt});
  return opcode == vst::audioMasterAutomate || opcode == vst::audioMasterBeginEdit ||
                 opcode == vst::audioMasterEndEdit
             ? 1
             : 0;
}

std::vector<HostCall> callsOf(std::int32_t opcode) {
  std::vector<HostCall> result;
  for (const HostCall& call : hostCalls()) {
    if (call.opcode == opcode) result.push_back(call);
  }
  return result;
}

bool ScriptedPointer::pointerPosition(toolkit::CPoint& where) {
  if (current < steps.size()) ++current;
  now += 30;
  if (!steps.empty()) where = steps[current < steps.size() ? current : steps.size() - 1].where;
  return true;
}

std::unique_ptr<platform::TextField> ScriptedWidgets::openTextField(std::uintptr_t,
                                                                    const platform::TextFieldLook& look,
                                                                    platform::TextFieldEvents* events) {
  auto opened = std::make_unique<ScriptedField>();
  opened->typed = look.text;
  field = opened.get();
  fieldEvents = events;
  fieldLook = look;
  return opened;
}

int ScriptedWidgets::runPopupMenu(const platform::PopupMenu& menu, const platform::PopupRequest&) {
  offered.clear();
  int answer = -1;
  for (const platform::PopupItem& item : menu.items) {
    offered.push_back(item.text);
    if (item.text == choose) answer = item.id;
  }
  return answer;
}

Image frameImage(Editor& editor) {
  Image image;
  toolkit::CFrame* frame = editor.getFrame();
  if (!frame) return image;
  toolkit::CDrawContext* context = frame->createDrawContext();
  if (const platform::Canvas* canvas = context ? context->getDevice() : nullptr) {
    image.width = canvas->width();
    image.height = canvas->height();
    for (int y = 0; y < image.height; ++y) {
      for (int x = 0; x < image.width; ++x) {
        const platform::Rgb p = canvas->pixel(x, y);
        image.pixels.push_back(static_cast<std::uint32_t>(p.red) << 16 | static_cast<std::uint32_t>(p.green) << 8 |
                               p.blue);
      }
    }
  }
  if (context) context->release();
  return image;
}

Image paintAll(Editor& editor) {
  if (toolkit::CFrame* frame = editor.getFrame()) frame->drawArea(nullptr, toolkit::CRect(0, 0, 170, 150));
  return frameImage(editor);
}

std::string displayText(const toolkit::CControl* display) {
  char text[toolkit::kTextBufferSize] = {};
  if (display) formatPercent(display->getValue(), text);
  return text;
}

std::string uniqueIdentifier(const std::string& stem) {
  return stem + "-" + std::to_string(static_cast<long>(getpid()));
}

void EditorTest::SetUp() {
  hostCalls().clear();
  plugin = std::make_unique<LoggingKelbra>();
  editor = dynamic_cast<Editor*>(plugin->getEditor());
  ASSERT_NE(editor, nullptr);
}

void EditorTest::TearDown() {
  if (editor) editor->close();
  plugin.reset();
}

void EditorTest::openEditor() {
  ASSERT_TRUE(editor->open(nullptr));
  paintAll(*editor);
}

void EditorTest::press(toolkit::CPoint where, std::vector<ScriptedPointer::Step> script) {
  script.insert(script.begin(), ScriptedPointer::Step{where, toolkit::kButtonLeft});
  pointer.play(std::move(script));
  toolkit::CFrame* frame = editor->getFrame();
  toolkit::CDrawContext* context = frame->createDrawContext();
  frame->onMouseDown(context, where, toolkit::kButtonLeft);
  context->release();
}

void EditorTest::typeIdentifier(const std::string& text) {
  toolkit::CRect box;
  editor->getIdEdit()->getBounds(box);
  press(toolkit::CPoint(box.left + 10, box.top + 5), {});
  ASSERT_NE(widgets.field, nullptr) << "the field did not open";
  widgets.field->typed = text;
  widgets.field = nullptr;
  widgets.fieldEvents->textFieldEnded();  // Enter
}

}  // namespace editor_test
