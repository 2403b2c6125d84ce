// Construction, identity, parameters, program and state chunk of the plug-in.
#include "plugin/kelbra.h"

#include <cstdio>
#include <cstring>

#include "editor/aeff_editor.h"
#include "plugin/editor_factory.h"
#include "plugin/float_conversion.h"
#include "plugin/host_text.h"
#include "plugin/identifier_registry.h"
#include "plugin/parameters.h"

namespace {
constexpr const char* kParamNames[kNumParams] = {"send", "recieve", "dry", "latency"};
}

Kelbra::Kelbra(vst::audioMasterCallback callback)
    : AudioEffectX(callback, 1, kNumParams), programs(new ProgramRecord[1]) {
  programs[0] = makeDefaultProgram();
  setProgram(0);
  setCanReplacing(true);
  setProgramsAreChunks(true);
  setNumInputs(2);
  setNumOutputs(2);
  setUniqueId(vst::fourCharCode('k', 'e', 'l', 'b'));
  IdentifierRegistry::instance().instanceCreated();
  // Last, so the editor finds a finished instance; without one the host
  // offers no editor window.
  attachEditor(createEditor(this));
}

Kelbra::~Kelbra() {
  IdentifierRegistry::instance().instanceDestroyed();
  std::lock_guard conn(connectionMutex);
  IdentifierRegistry::instance().access().erase(connectionId_);
  releaseChannel(/*resetCounters=*/true);
}

void Kelbra::setParameter(std::int32_t index, float value) {
  ProgramRecord& record = currentProgram();
  switch (index) {
    case kParamSend:
      record.send = value;
      sendGain.store(value, std::memory_order_relaxed);
      break;
    case kParamReceive:
      record.receive = value;
      receiveGain.store(value, std::memory_order_relaxed);
      break;
    case kParamDry:
      record.dry = value;
      dryGain.store(value, std::memory_order_relaxed);
      break;
    case kParamLatency:
      record.latency = value;
      latencyChoice.store(value, std::memory_order_relaxed);
      if (const auto frames = latencyChoiceToFrames(value)) latencyFrames.store(*frames, std::memory_order_relaxed);
      resyncChannel();
      break;
    case kParamResync:
      if (value != 0.0f) resyncChannel();
      break;
    default:
      break;
  }
  if (editor) editor->setParameter(index, value);
}

float Kelbra::getParameter(std::int32_t index) {
  switch (index) {
    case kParamSend: return sendGain.load(std::memory_order_relaxed);
    case kParamReceive: return receiveGain.load(std::memory_order_relaxed);
    case kParamDry: return dryGain.load(std::memory_order_relaxed);
    case kParamLatency: return latencyChoice.load(std::memory_order_relaxed);
    default: return 0.0f;
  }
}

void Kelbra::getParamName(std::int32_t index, char* text) {
  if (index >= 0 && index < kNumParams) copyPadded(text, kParamNames[index], vst::kVstMaxParamStrLen);
}

void Kelbra::getParamDisplay(std::int32_t index, char* text) {
  if (!text) return;
  if (index < kParamSend || index > kParamDry) {
    text[0] = 0;
    return;
  }
  // value x 100, truncated toward zero. Hosts size this buffer for eight
  // characters: a value whose text does not fit, or that has no integer at
  // all, shows a short word instead of overrunning it.
  const float value = getParameter(index);
  const auto percent = truncateToInt32(value * 100.0f);
  char buffer[16];
  if (value != value) {
    std::snprintf(buffer, sizeof buffer, "NaN");
  } else if (!percent || std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(*percent)) >
                             vst::kVstMaxParamStrLen) {
    std::snprintf(buffer, sizeof buffer, "Huge!");
  }
  std::memcpy(text, buffer, std::strlen(buffer) + 1);
}

void Kelbra::setProgram(std::int32_t program) {
  curProgram = program;
  const ProgramRecord& record = currentProgram();
  setParameter(kParamSend, record.send);
  setParameter(kParamReceive, record.receive);
  setParameter(kParamDry, record.dry);
  setParameter(kParamLatency, record.latency);
  const std::string id(boundedText(record.identifier, kIdentifierChars));
  if (!id.empty()) setConnectionId(id.c_str());
}

void Kelbra::setProgramName(char* text) {
  if (!text) return;
  copyPadded(currentProgram().name, boundedText(text, kProgramNameChars), kProgramNameChars);
}

void Kelbra::getProgramName(char* text) {
  copyPadded(text, boundedText(currentProgram().name, kProgramNameChars), vst::kVstMaxProgNameLen);
}

bool Kelbra::getEffectName(char* text) {
  copyPadded(text, "kelbra", vst::kVstMaxEffectNameLen);
  return true;
}

bool Kelbra::getVendorString(char* text) {
  copyPadded(text, "tessel-works", vst::kVstMaxVendorStrLen);
  return true;
}

bool Kelbra::getProductString(char* text) {
  copyPadded(text, "kelbra", vst::kVstMaxProductStrLen);
  return true;
}

std::int32_t Kelbra::getChunk(void** data, bool) {
  if (!data) return 0;
  *data = &currentProgram();
  return static_cast<std::int32_t>(sizeof(ProgramRecord));
}

std::int32_t Kelbra::setChunk(void* data, std::int32_t size, bool) {
  if (!data || size != static_cast<std::int32_t>(sizeof(ProgramRecord))) return 0;
  std::int32_t magic;
  std::memcpy(&magic, data, sizeof magic);
  if (magic != kProgramMagic) return 0;
  std::memcpy(&currentProgram(), data, sizeof(ProgramRecord));
  return 1;
}
