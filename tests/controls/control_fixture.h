// A headless frame with a recording editor and listener, and a scripted
// pointer: each idle pass of a tracking loop moves to the next scripted step
// (pointer and buttons) and lets the frame redraw what is dirty, as the
// editor's idle would. When the script runs out, every button is up.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/aeff_gui_editor.h"
#include "tests/toolkit/scripted_input.h"
#include "toolkit/cdraw_context.h"
#include "toolkit/cframe.h"
#include "toolkit/controls/ccontrol.h"

namespace controls_test {

struct Step {
  toolkit::CPoint pointer;
  int buttons;
};

// One shared log, so tests can check the order of edits, reports and clicks.
struct EventLog {
  std::vector<std::string> lines;
  void add(std::string line) { lines.push_back(std::move(line)); }
};

class RecordingEditor : public AEffGUIEditor {
 public:
  RecordingEditor(EventLog& eventLog, toolkit_test::ScriptedInput& scripted)
      : AEffGUIEditor(nullptr), log(eventLog), input(scripted) {}
  void attach(toolkit::CFrame* f) { frame = f; }
  void beginEdit(int index) override { log.add("begin " + std::to_string(index)); }
  void endEdit(int index) override { log.add("end " + std::to_string(index)); }
  void doIdleWork() override {
    ++idlePasses;
    if (next < script.size()) {
      input.pointer = script[next].pointer;
      input.buttonState = script[next].buttons;
      ++next;
    } else {
      input.buttonState = 0;
    }
    input.now += 20;
    idle();  // the frame redraws dirty views
  }
  void setScript(std::vector<Step> steps) {
    script = std::move(steps);
    next = 0;
    if (!script.empty()) {
      input.pointer = script[0].pointer;
      input.buttonState = script[0].buttons;
      next = 1;
    }
  }
  int idlePasses = 0;

 private:
  EventLog& log;
  toolkit_test::ScriptedInput& input;
  std::vector<Step> script;
  std::size_t next = 0;
};

class RecordingListener : public toolkit::CControlListener {
 public:
  explicit RecordingListener(EventLog& eventLog) : log(eventLog) {}
  void valueChanged(toolkit::CDrawContext*, toolkit::CControl* control) override {
    reports.push_back(control->getValue());
    controls.push_back(control);
    log.add("changed " + std::to_string(control->getTag()));
  }
  int onModifierClick(toolkit::CDrawContext*, toolkit::CControl*, int buttons) override {
    modifierClicks.push_back(buttons);
    return modifierAnswer;
  }
  std::vector<float> reports;
  std::vector<toolkit::CControl*> controls;
  std::vector<int> modifierClicks;
  int modifierAnswer = 0;

 private:
  EventLog& log;
};

class ControlFixture : public ::testing::Test {
 protected:
  ControlFixture() : editor(log, input), listener(log) {
    frame = new toolkit::CFrame(toolkit::CRect(0, 0, 170, 150), nullptr, &editor);
    editor.attach(frame);
    context = frame->createDrawContext();
  }
  ~ControlFixture() override { closeFrame(); }
  // Tests whose fakes must outlive the controls close the frame first.
  void closeFrame() {
    if (context) context->release();
    context = nullptr;
    delete frame;
    frame = nullptr;
  }
  // Adds the control to the frame and draws everything once, so the control
  // starts clean and the frame's first paint is done.
  template <typename T>
  T* add(T* control) {
    frame->addView(control);  // the frame takes over the creator's reference
    frame->drawArea(context, toolkit::CRect(0, 0, 170, 150));
    return control;
  }
  std::vector<std::string> edits() const {
    std::vector<std::string> out;
    for (const auto& line : log.lines) {
      if (line.rfind("begin", 0) == 0 || line.rfind("end", 0) == 0) out.push_back(line);
    }
    return out;
  }

  toolkit_test::ScriptedInput input;
  EventLog log;
  RecordingEditor editor;
  RecordingListener listener;
  toolkit::CFrame* frame = nullptr;
  toolkit::CDrawContext* context = nullptr;
};

}  // namespace controls_test
