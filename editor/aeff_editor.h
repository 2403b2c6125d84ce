// The plain editor interface a plug-in instance holds. The host reaches it
// only through the dispatcher; everything runs on the host's UI thread except
// setParameter, which follows the thread of the parameter change.
#pragma once

#include "plugin/vst2_abi.h"

class AudioEffect;

class AEffEditor {
 public:
  explicit AEffEditor(AudioEffect* owner) : effect(owner) {}
  virtual ~AEffEditor() = default;
  AEffEditor(const AEffEditor&) = delete;
  AEffEditor& operator=(const AEffEditor&) = delete;

  virtual AudioEffect* getEffect() { return effect; }
  virtual bool getRect(vst::ERect** rect) {
    if (rect) *rect = nullptr;
    return false;
  }
  virtual bool open(void* parent) {
    parentWindow = parent;
    return false;
  }
  virtual void close() { parentWindow = nullptr; }
  virtual bool isOpen() { return parentWindow != nullptr; }
  virtual void idle() {}
  virtual bool onKeyDown(vst::VstKeyCode&) { return false; }
  virtual bool onKeyUp(vst::VstKeyCode&) { return false; }
  virtual bool onWheel(float) { return false; }
  virtual bool setKnobMode(int) { return false; }

  // Tells the editor of a parameter change so it can show the value. May be
  // called from any thread the host sets parameters on (the audio thread
  // included): implementations only store and mark dirty.
  virtual void setParameter(int, float) {}
  // Puts a connection result on the status line while the window is open.
  virtual void showStatus(const char*) {}

 protected:
  AudioEffect* effect;
  void* parentWindow = nullptr;  // the host's X11 Window id, as a pointer-sized value
};
