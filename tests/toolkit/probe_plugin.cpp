// A small VST 2.4 plug-in whose editor shows one probe view on a grey frame,
// for driving the toolkit through the effect record in a real X server.
#include "tests/toolkit/probe_plugin.h"

#include "editor/aeff_gui_editor.h"
#include "platform/native_window.h"
#include "plugin/audio_effect_x.h"
#include "toolkit/cdraw_context.h"
#include "toolkit/cframe.h"

namespace {

ToolkitProbe probe{};
toolkit::CFrame* openFrame = nullptr;

constexpr toolkit::CColor kProbeColor{200, 30, 40, 255};
constexpr toolkit::CColor kFrameColor{90, 100, 110, 255};

// Filled with one colour, edges included; records clicks and wheel turns.
class ProbeView : public toolkit::CView {
 public:
  using CView::CView;
  void draw(toolkit::CDrawContext* context) override {
    ++probe.paints;
    context->setFillColor(kProbeColor);
    context->setLineColor(kProbeColor);
    context->fillRect(bounds);
    context->frameRect(bounds);
    setDirty(false);
  }
  void onMouseDown(toolkit::CDrawContext*, toolkit::CPoint where, int buttons) override {
    ++probe.clicks;
    probe.clickX = where.h;
    probe.clickY = where.v;
    probe.clickButtons = buttons;
  }
  bool onWheel(toolkit::CDrawContext*, toolkit::CPoint, float distance) override {
    ++probe.wheels;
    probe.lastWheel = distance;
    return true;
  }
};

class ProbeEditor : public AEffGUIEditor {
 public:
  explicit ProbeEditor(AudioEffect* owner) : AEffGUIEditor(owner) {
    rect.bottom = 150;
    rect.right = 170;
  }
  bool open(void* parent) override {
    AEffGUIEditor::open(parent);
    frame = new toolkit::CFrame(toolkit::CRect(0, 0, 170, 150), parent, this);
    frame->setBackgroundColor(kFrameColor);
    frame->addView(new ProbeView(toolkit::CRect(20, 30, 80, 70)));
    openFrame = frame;
    return true;
  }
  void close() override {
    if (openFrame == frame) openFrame = nullptr;
    delete frame;
    frame = nullptr;
    AEffGUIEditor::close();
  }
};

class ProbeEffect : public AudioEffectX {
 public:
  explicit ProbeEffect(vst::audioMasterCallback host) : AudioEffectX(host, 1, 1) {
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueId(vst::fourCharCode('k', 't', 'T', 'p'));
    new ProbeEditor(this);  // registers itself; the instance deletes it
  }
  void processReplacing(float**, float**, std::int32_t) override {}
};

}  // namespace

extern "C" __attribute__((visibility("default"))) ToolkitProbe* toolkitTestProbe() {
  probe.connectionUsers = platform::displayConnectionUsers();
  return &probe;
}

extern "C" __attribute__((visibility("default"))) int toolkitTestQueryButtons() {
  return toolkit::CDrawContext::queryButtons();
}

extern "C" __attribute__((visibility("default"))) int toolkitTestPointer(int* x, int* y) {
  if (!openFrame || !x || !y) return 0;
  toolkit::CPoint where;
  openFrame->getPointerPosition(where);
  *x = where.h;
  *y = where.v;
  return 1;
}

extern "C" __attribute__((visibility("default"))) int toolkitTestGetSize(int* rect) {
  toolkit::CRect size;
  if (!openFrame || !rect || !openFrame->getSize(size)) return 0;
  rect[0] = size.left;
  rect[1] = size.top;
  rect[2] = size.right;
  rect[3] = size.bottom;
  return 1;
}

extern "C" __attribute__((visibility("default"))) int toolkitTestGetPosition(int* x, int* y) {
  return openFrame && x && y && openFrame->getPosition(*x, *y) ? 1 : 0;
}

extern "C" __attribute__((visibility("default"))) int toolkitTestSetSize(int width, int height) {
  return openFrame && openFrame->setSize(width, height) ? 1 : 0;
}

extern "C" __attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(vst::audioMasterCallback host) {
  if (!host) return nullptr;
  auto* effect = new ProbeEffect(host);
  return effect->getEffectRecord();
}
