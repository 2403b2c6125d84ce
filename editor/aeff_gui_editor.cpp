#include "editor/aeff_gui_editor.h"

#include "plugin/audio_effect_x.h"
#include "toolkit/cdraw_context.h"
#include "toolkit/cframe.h"
#include "toolkit/input_source.h"
#include "toolkit/knob_mode.h"

namespace {

// Tick comparison that survives the 32-bit wrap of the millisecond count.
bool earlier(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(a - b) < 0; }

}  // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* owner) : AEffEditor(owner) {
  nextIdleTicks = toolkit::inputSource().ticks();
  if (effect) effect->attachEditor(this);
}

AEffGUIEditor::~AEffGUIEditor() = default;

bool AEffGUIEditor::getRect(vst::ERect** out) {
  if (!out) return false;
  *out = &rect;
  return true;
}

void AEffGUIEditor::idle() {
  if (!inIdleWork && frame) frame->idle();
}

bool AEffGUIEditor::onKeyDown(vst::VstKeyCode& keyCode) { return frame && frame->onKeyDown(keyCode) == 1; }

bool AEffGUIEditor::onKeyUp(vst::VstKeyCode& keyCode) { return frame && frame->onKeyUp(keyCode) == 1; }

bool AEffGUIEditor::onWheel(float distance) {
  if (!frame) return false;
  toolkit::CDrawContext* context = frame->createDrawContext();
  if (!context) return false;
  toolkit::CPoint where;
  toolkit::inputSource().pointerPosition(where);
  where.offset(-context->windowOrigin.h, -context->windowOrigin.v);
  const bool result = frame->onWheel(context, where, distance);
  context->release();
  return result;
}

bool AEffGUIEditor::setKnobMode(int mode) {
  toolkit::setKnobMode(mode);
  return true;
}

void AEffGUIEditor::beginEdit(int index) {
  if (effect) static_cast<AudioEffectX*>(effect)->masterBeginEdit(index);
}

void AEffGUIEditor::endEdit(int index) {
  if (effect) static_cast<AudioEffectX*>(effect)->masterEndEdit(index);
}

void AEffGUIEditor::doIdleWork() {
  toolkit::InputSource& input = toolkit::inputSource();
  std::uint32_t now = input.ticks();
  if (earlier(now, nextIdleTicks)) {
    input.sleep(4);
    now += 4;
    if (earlier(now, nextIdleTicks - 50)) return;
  }
  idle();
  // Keep the window painted while a control holds the mouse.
  toolkit::CFrame::dispatchOnePendingPaint();
  nextIdleTicks = now + 100;
  inIdleWork = true;
  if (effect) effect->masterIdle();
  inIdleWork = false;
}
