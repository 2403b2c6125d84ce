// The real plug-in class with its real editor on a frame without a window:
// a recording host, a scripted pointer for the controls' tracking loops, and
// scripted native widgets for the identifier field and the buffer popup.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "plugin/kelbra.h"
#include "tests/editor/x11_session.h"
#include "toolkit/controls/native_widgets.h"
#include "toolkit/input_source.h"

namespace editor_test {

struct HostCall {
  std::int32_t opcode;
  std::int32_t index;
  float opt;
};

// The host of the in-process instances: answers the version and records
// every other request. UI thread only.
std::vector<HostCall>& hostCalls();
std::intptr_t recordingHost(vst::AEffect* effect, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                            void* ptr, float opt);
std::vector<HostCall> callsOf(std::int32_t opcode);

// A plug-in that also logs what its editor sets through setParameter.
class LoggingKelbra : public Kelbra {
 public:
  LoggingKelbra() : Kelbra(recordingHost) {}
  void setParameter(std::int32_t index, float value) override {
    set.push_back({index, value});
    Kelbra::setParameter(index, value);
  }
  struct Set {
    std::int32_t index;
    float value;
  };
  std::vector<Set> set;
};

// Each pointer read moves on to the next step of the script (a tracking loop
// reads the pointer once per pass) and 30 ms pass; the buttons are those of
// the current step, and none once the script has run out.
class ScriptedPointer final : public toolkit::InputSource {
 public:
  struct Step {
    toolkit::CPoint where;
    int buttons;
  };
  ScriptedPointer() { toolkit::setInputSource(this); }
  ~ScriptedPointer() override { toolkit::setInputSource(nullptr); }
  void play(std::vector<Step> script) {
    steps = std::move(script);
    current = 0;
  }
  bool pointerPosition(toolkit::CPoint& where) override;
  int buttons() override { return current < steps.size() ? steps[current].buttons : 0; }
  std::uint32_t ticks() override { return now; }
  void sleep(int milliseconds) override { now += static_cast<std::uint32_t>(milliseconds); }

  std::vector<Step> steps;
  std::size_t current = 0;
  std::uint32_t now = 1000;
};

class ScriptedField final : public platform::TextField {
 public:
  std::string text() const override { return typed; }
  std::string typed;
};

class ScriptedWidgets final : public toolkit::NativeWidgets {
 public:
  ScriptedWidgets() { toolkit::setNativeWidgets(this); }
  ~ScriptedWidgets() override { toolkit::setNativeWidgets(nullptr); }
  std::unique_ptr<platform::TextField> openTextField(std::uintptr_t, const platform::TextFieldLook& look,
                                                     platform::TextFieldEvents* events) override;
  int runPopupMenu(const platform::PopupMenu& menu, const platform::PopupRequest&) override;

  // The open field (null when closed) and whom to tell it ended.
  ScriptedField* field = nullptr;
  platform::TextFieldEvents* fieldEvents = nullptr;
  platform::TextFieldLook fieldLook;
  // The text of the popup entry to choose; empty chooses nothing.
  std::string choose;
  std::vector<std::string> offered;
};

// The frame's pixels as the window would show them.
Image frameImage(Editor& editor);
// The same after a full redraw, as an expose of the whole window asks.
Image paintAll(Editor& editor);
// What a display shows: its formatted value.
std::string displayText(const toolkit::CControl* display);
// A name no other test run uses at the same time.
std::string uniqueIdentifier(const std::string& stem);

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Opens without a host window and paints once, as the first expose would.
  void openEditor();
  // A press of the left button at `where`, then the script.
  void press(toolkit::CPoint where, std::vector<ScriptedPointer::Step> script);
  // Clicks the identifier field, types and ends the field as Enter would.
  void typeIdentifier(const std::string& text);

  ScriptedPointer pointer;
  ScriptedWidgets widgets;
  std::unique_ptr<LoggingKelbra> plugin;
  Editor* editor = nullptr;
};

}  // namespace editor_test
