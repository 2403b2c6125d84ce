// The editor base that owns a toolkit frame while the window is open: it
// forwards keys and idle time to the frame, reports edit gestures to the host
// and paces the controls' mouse-tracking loops (doIdleWork). UI thread only.
#pragma once

#include <cstdint>

#include "editor/aeff_editor.h"

namespace toolkit {
class CFrame;
}

class AEffGUIEditor : public AEffEditor {
 public:
  // Registers itself as the instance's editor.
  explicit AEffGUIEditor(AudioEffect* owner);
  ~AEffGUIEditor() override;

  bool getRect(vst::ERect** out) override;
  void idle() override;
  bool onKeyDown(vst::VstKeyCode& keyCode) override;
  bool onKeyUp(vst::VstKeyCode& keyCode) override;
  bool onWheel(float distance) override;
  bool setKnobMode(int mode) override;

  virtual void beginEdit(int index);
  virtual void endEdit(int index);
  // Called on every pass of a tracking loop: redraws at most about every 50 ms
  // and sleeps 4 ms otherwise, so the loop neither spins nor floods the host.
  virtual void doIdleWork();

  toolkit::CFrame* getFrame() const { return frame; }

 protected:
  vst::ERect rect{};
  std::uint32_t nextIdleTicks = 0;
  bool inIdleWork = false;  // true while the host runs its idle for us
  toolkit::CFrame* frame = nullptr;
};
