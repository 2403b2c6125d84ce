// A pointer, button state and clock the test controls, installed as the
// toolkit's input source for the lifetime of the object.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/input_source.h"

namespace toolkit_test {

class ScriptedInput final : public toolkit::InputSource {
 public:
  ScriptedInput() { toolkit::setInputSource(this); }
  ~ScriptedInput() override { toolkit::setInputSource(nullptr); }
  ScriptedInput(const ScriptedInput&) = delete;
  ScriptedInput& operator=(const ScriptedInput&) = delete;

  bool pointerPosition(toolkit::CPoint& where) override {
    where = pointer;
    return true;
  }
  int buttons() override { return buttonState; }
  std::uint32_t ticks() override { return now; }
  void sleep(int milliseconds) override {
    sleeps.push_back(milliseconds);
    now += static_cast<std::uint32_t>(milliseconds);
  }

  toolkit::CPoint pointer;
  int buttonState = 0;
  std::uint32_t now = 1000;
  std::vector<int> sleeps;
};

}  // namespace toolkit_test
