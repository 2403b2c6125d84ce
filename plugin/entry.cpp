// The library's entry point: one call per plug-in instance.
#include <new>

#include "plugin/kelbra.h"
#include "plugin/vst2_abi.h"

namespace {
AudioEffect* createInstance(vst::audioMasterCallback callback) noexcept {
  try {
    return new Kelbra(callback);
  } catch (...) {
    return nullptr;
  }
}
}  // namespace

extern "C" __attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(vst::audioMasterCallback callback) {
  if (!callback) return nullptr;
  if (callback(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  AudioEffect* effect = createInstance(callback);
  return effect ? effect->getEffectRecord() : nullptr;
}

// Older hosts look for "main"; it is the same function under a second name.
extern "C" __attribute__((visibility("default"), alias("VSTPluginMain"))) vst::AEffect* kelbraMainEntry(
    vst::audioMasterCallback callback) __asm__("main");
