// Stand-in plug-ins for kelbra-host's refusal paths: a VST 2.4 effect without
// an editor that passes its input through, and an entry point that gives no
// effect. FAKE_NULL_ENTRY selects the second.
#include <cstring>

#include "plugin/vst2_abi.h"

namespace {

std::intptr_t dispatcher(vst::AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr, float) {
  if (opcode == vst::effGetEffectName && ptr) {
    std::strcpy(static_cast<char*>(ptr), "fake");
    return 1;
  }
  return 0;
}
void setParameter(vst::AEffect*, std::int32_t, float) {}
float getParameter(vst::AEffect*, std::int32_t) { return 0.0f; }
void processReplacing(vst::AEffect*, float** in, float** out, std::int32_t frames) {
  for (std::int32_t i = 0; i < frames; ++i) {
    out[0][i] = in[0][i];
    out[1][i] = in[1][i];
  }
}

vst::AEffect makeEffect() {
  vst::AEffect e{};
  e.magic = vst::kEffectMagic;
  e.dispatcher = dispatcher;
  e.setParameter = setParameter;
  e.getParameter = getParameter;
  e.numPrograms = 1;
  e.numParams = 0;
  e.numInputs = 2;
  e.numOutputs = 2;
  e.flags = vst::effFlagsCanReplacing;
  e.uniqueID = vst::fourCharCode('f', 'a', 'k', 'e');
  e.processReplacing = processReplacing;
  return e;
}

vst::AEffect gEffect = makeEffect();

}  // namespace

extern "C" __attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(vst::audioMasterCallback) {
#ifdef FAKE_NULL_ENTRY
  return nullptr;
#else
  return &gEffect;
#endif
}
