// The effect record, opcodes 0 to 24 and the basic host services.
#include "plugin/audio_effect.h"

#include <cstring>

#include "editor/aeff_editor.h"

namespace {

std::intptr_t dispatchEntry(vst::AEffect* record, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                            void* ptr, float opt) noexcept {
  AudioEffect* effect = effectOf(record);
  if (!effect) return 0;
  try {
    if (opcode == vst::effClose) {
      effect->dispatcher(opcode, index, value, ptr, opt);
      delete effect;
      return 1;
    }
    return effect->dispatcher(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;  // nothing may unwind into the host
  }
}

void processEntry(vst::AEffect* record, float** inputs, float** outputs, std::int32_t frames) noexcept {
  if (AudioEffect* effect = effectOf(record)) effect->process(inputs, outputs, frames);
}

void processReplacingEntry(vst::AEffect* record, float** inputs, float** outputs, std::int32_t frames) noexcept {
  if (AudioEffect* effect = effectOf(record)) effect->processReplacing(inputs, outputs, frames);
}

void processDoubleReplacingEntry(vst::AEffect* record, double** inputs, double** outputs,
                                 std::int32_t frames) noexcept {
  if (AudioEffect* effect = effectOf(record)) effect->processDoubleReplacing(inputs, outputs, frames);
}

void setParameterEntry(vst::AEffect* record, std::int32_t index, float value) noexcept {
  if (AudioEffect* effect = effectOf(record)) effect->setParameter(index, value);
}

float getParameterEntry(vst::AEffect* record, std::int32_t index) noexcept {
  AudioEffect* effect = effectOf(record);
  return effect ? effect->getParameter(index) : 0.0f;
}

}  // namespace

AudioEffect::AudioEffect(vst::audioMasterCallback callback, std::int32_t programs, std::int32_t params)
    : hostCallback(callback), numPrograms(programs), numParams(params) {
  std::memset(&effectRecord, 0, sizeof effectRecord);
  effectRecord.flags = vst::effFlagsCanReplacing;
  effectRecord.ioRatio = 1.0f;
  effectRecord.magic = vst::kEffectMagic;
  effectRecord.numPrograms = programs;
  effectRecord.numInputs = 1;
  effectRecord.version = 1;
  effectRecord.dispatcher = dispatchEntry;
  effectRecord.process = processEntry;
  effectRecord.setParameter = setParameterEntry;
  effectRecord.getParameter = getParameterEntry;
  effectRecord.processReplacing = processReplacingEntry;
  effectRecord.processDoubleReplacing = processDoubleReplacingEntry;
  effectRecord.numParams = params;
  effectRecord.numOutputs = 2;
  effectRecord.object = this;
  effectRecord.uniqueID = vst::fourCharCode('N', 'o', 'E', 'f');
}

AudioEffect::~AudioEffect() { delete editor; }

void AudioEffect::attachEditor(AEffEditor* newEditor) {
  editor = newEditor;
  setFlag(vst::effFlagsHasEditor, newEditor != nullptr);
}

void AudioEffect::setFlag(std::int32_t flag, bool on) {
  if (on) {
    effectRecord.flags |= flag;
  } else {
    effectRecord.flags &= ~flag;
  }
}

std::intptr_t AudioEffect::callHost(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                    float opt) {
  return hostCallback ? hostCallback(&effectRecord, opcode, index, value, ptr, opt) : 0;
}

std::intptr_t AudioEffect::dispatcher(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                      float opt) {
  switch (opcode) {
    case vst::effOpen: open(); return 0;
    case vst::effClose: close(); return 0;
    case vst::effSetProgram:
      if (value >= 0 && value < numPrograms) setProgram(static_cast<std::int32_t>(value));
      return 0;
    case vst::effGetProgram: return getProgram();
    case vst::effSetProgramName: setProgramName(static_cast<char*>(ptr)); return 0;
    case vst::effGetProgramName: getProgramName(static_cast<char*>(ptr)); return 0;
    case vst::effGetParamLabel: getParamLabel(index, static_cast<char*>(ptr)); return 0;
    case vst::effGetParamDisplay: getParamDisplay(index, static_cast<char*>(ptr)); return 0;
    case vst::effGetParamName: getParamName(index, static_cast<char*>(ptr)); return 0;
    case vst::effSetSampleRate: setSampleRate(opt); return 0;
    case vst::effSetBlockSize: setBlockSize(static_cast<std::int32_t>(value)); return 0;
    case vst::effMainsChanged:
      if (value == 0) {
        mainsOff();
      } else {
        mainsOn();
      }
      return 0;
    case vst::effEditGetRect: return editor && editor->getRect(static_cast<vst::ERect**>(ptr)) ? 1 : 0;
    case vst::effEditOpen: return editor && editor->open(ptr) ? 1 : 0;
    case vst::effEditClose:
      if (editor) editor->close();
      return 0;
    case vst::effEditIdle:
      if (editor) editor->idle();
      return 0;
    case vst::effIdentify: return vst::fourCharCode('N', 'v', 'E', 'f');
    case vst::effGetChunk: return getChunk(static_cast<void**>(ptr), index != 0);
    case vst::effSetChunk: {
      // A size beyond int32 must not wrap into a plausible one.
      const bool fits = value >= INT32_MIN && value <= INT32_MAX;
      return setChunk(ptr, fits ? static_cast<std::int32_t>(value) : -1, index != 0);
    }
    default: return 0;
  }
}

void AudioEffect::automateParameter(std::int32_t index, float value) {
  setParameter(index, value);
  callHost(vst::audioMasterAutomate, index, 0, nullptr, value);
}

std::int32_t AudioEffect::masterVersion() {
  const auto answer = static_cast<std::int32_t>(callHost(vst::audioMasterVersion));
  return answer == 0 ? 1 : answer;
}

std::int32_t AudioEffect::masterCurrentId() {
  return static_cast<std::int32_t>(callHost(vst::audioMasterCurrentId));
}

void AudioEffect::masterIdle() { callHost(vst::audioMasterIdle); }

bool AudioEffect::isInputConnected(std::int32_t pin) {
  return callHost(vst::audioMasterPinConnected, pin, 0) == 0;
}

bool AudioEffect::isOutputConnected(std::int32_t pin) {
  return callHost(vst::audioMasterPinConnected, pin, 1) == 0;
}
