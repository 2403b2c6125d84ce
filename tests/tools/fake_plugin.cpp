// Stand-in plug-ins for kelbra-host: a VST 2.4 effect without an editor that
// passes its input through; with FAKE_EDITOR the same effect with an editor
// that writes each editor request to the file named by KELBRA_FAKE_EDITOR_LOG;
// with FAKE_NULL_ENTRY an entry point that gives no effect.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "plugin/vst2_abi.h"

namespace {

#ifdef FAKE_EDITOR
vst::ERect gRect{0, 0, 150, 170};
int gIdles = 0;

void logLine(const char* format, unsigned long long value) {
  const char* path = std::getenv("KELBRA_FAKE_EDITOR_LOG");
  if (!path) return;
  if (std::FILE* f = std::fopen(path, "a")) {
    std::fprintf(f, format, value);
    std::fclose(f);
  }
}
#endif

std::intptr_t dispatcher(vst::AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr, float) {
#ifdef FAKE_EDITOR
  switch (opcode) {
    case vst::effEditGetRect:
      if (ptr) *static_cast<vst::ERect**>(ptr) = &gRect;
      return 1;
    case vst::effEditOpen:
      logLine("open %llu\n", reinterpret_cast<unsigned long long>(ptr));
      return 1;
    case vst::effEditIdle:
      ++gIdles;
      return 0;
    case vst::effEditClose:
      logLine("close after %llu idles\n", static_cast<unsigned long long>(gIdles));
      return 0;
    default:
      break;
  }
#endif
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
#ifdef FAKE_EDITOR
  e.flags |= vst::effFlagsHasEditor;
#endif
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
