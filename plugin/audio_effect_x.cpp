// Opcodes 25 to 79 and the extended host services.
#include "plugin/audio_effect_x.h"

#include "editor/aeff_editor.h"
#include "plugin/float_conversion.h"

namespace {

// A key request's record: character = index, virt = low byte of value,
// modifier = low byte of opt truncated toward zero (0 when opt has no integer).
vst::VstKeyCode keyCodeOf(std::int32_t index, std::intptr_t value, float opt) {
  vst::VstKeyCode key{};
  key.character = index;
  key.virt = static_cast<unsigned char>(value & 0xff);
  key.modifier = static_cast<unsigned char>(truncateToInt32(opt).value_or(0) & 0xff);
  return key;
}

}  // namespace

std::intptr_t AudioEffectX::dispatcher(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                       float opt) {
  switch (opcode) {
    case vst::effProcessEvents: return processEvents(static_cast<vst::VstEvents*>(ptr));
    case vst::effCanBeAutomated: return canBeAutomated(index) ? 1 : 0;
    case vst::effString2Parameter: return string2Parameter(index, static_cast<char*>(ptr)) ? 1 : 0;
    case vst::effGetProgramNameIndexed:
      return getProgramNameIndexed(static_cast<std::int32_t>(value), index, static_cast<char*>(ptr)) ? 1 : 0;
    case vst::effGetInputProperties:
      return getInputProperties(index, static_cast<vst::VstPinProperties*>(ptr)) ? 1 : 0;
    case vst::effGetOutputProperties:
      return getOutputProperties(index, static_cast<vst::VstPinProperties*>(ptr)) ? 1 : 0;
    case vst::effGetPlugCategory: return getPlugCategory();
    case vst::effOfflineNotify:
      return offlineNotify(static_cast<vst::VstAudioFile*>(ptr), static_cast<std::int32_t>(value), index != 0) ? 1
                                                                                                               : 0;
    case vst::effOfflinePrepare:
      return offlinePrepare(static_cast<vst::VstOfflineTask*>(ptr), static_cast<std::int32_t>(value)) ? 1 : 0;
    case vst::effOfflineRun:
      return offlineRun(static_cast<vst::VstOfflineTask*>(ptr), static_cast<std::int32_t>(value)) ? 1 : 0;
    case vst::effProcessVarIo: return processVarIo(static_cast<vst::VstVariableIo*>(ptr)) ? 1 : 0;
    case vst::effSetSpeakerArrangement:
      return setSpeakerArrangement(reinterpret_cast<vst::VstSpeakerArrangement*>(value),
                                   static_cast<vst::VstSpeakerArrangement*>(ptr))
                 ? 1
                 : 0;
    case vst::effSetBypass: return setBypass(value != 0) ? 1 : 0;
    case vst::effGetEffectName: return getEffectName(static_cast<char*>(ptr)) ? 1 : 0;
    case vst::effGetVendorString: return getVendorString(static_cast<char*>(ptr)) ? 1 : 0;
    case vst::effGetProductString: return getProductString(static_cast<char*>(ptr)) ? 1 : 0;
    case vst::effGetVendorVersion: return getVendorVersion();
    case vst::effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
    case vst::effCanDo: return canDo(static_cast<char*>(ptr));
    case vst::effGetTailSize: return getTailSize();
    case vst::effGetParameterProperties:
      return getParameterProperties(index, static_cast<vst::VstParameterProperties*>(ptr)) ? 1 : 0;
    case vst::effGetVstVersion: return getVstVersion();
    case vst::effEditKeyDown:
    case vst::effEditKeyUp: {
      if (!editor) return 0;
      vst::VstKeyCode key = keyCodeOf(index, value, opt);
      const bool handled = opcode == vst::effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
      return handled ? 1 : 0;
    }
    case vst::effSetEditKnobMode:
      return editor && editor->setKnobMode(static_cast<int>(value)) ? 1 : 0;
    case vst::effGetMidiProgramName: return getMidiProgramName(index, static_cast<vst::MidiProgramName*>(ptr));
    case vst::effGetCurrentMidiProgram:
      return getCurrentMidiProgram(index, static_cast<vst::MidiProgramName*>(ptr));
    case vst::effGetMidiProgramCategory:
      return getMidiProgramCategory(index, static_cast<vst::MidiProgramCategory*>(ptr));
    case vst::effHasMidiProgramsChanged: return hasMidiProgramsChanged(index) ? 1 : 0;
    case vst::effGetMidiKeyName: return getMidiKeyName(index, static_cast<vst::MidiKeyName*>(ptr)) ? 1 : 0;
    case vst::effBeginSetProgram: return beginSetProgram() ? 1 : 0;
    case vst::effEndSetProgram: return endSetProgram() ? 1 : 0;
    case vst::effGetSpeakerArrangement:
      return getSpeakerArrangement(reinterpret_cast<vst::VstSpeakerArrangement**>(value),
                                   static_cast<vst::VstSpeakerArrangement**>(ptr))
                 ? 1
                 : 0;
    case vst::effShellGetNextPlugin: return shellGetNextPlugin(static_cast<char*>(ptr));
    case vst::effStartProcess: return startProcess();
    case vst::effStopProcess: return stopProcess();
    case vst::effSetTotalSampleToProcess:
      setTotalSampleToProcess(static_cast<std::int32_t>(value));
      return value;
    case vst::effSetPanLaw: return setPanLaw(static_cast<std::int32_t>(value), opt) ? 1 : 0;
    case vst::effBeginLoadBank: return beginLoadBank(static_cast<vst::VstPatchChunkInfo*>(ptr));
    case vst::effBeginLoadProgram: return beginLoadProgram(static_cast<vst::VstPatchChunkInfo*>(ptr));
    case vst::effSetProcessPrecision: return setProcessPrecision(static_cast<std::int32_t>(value));
    case vst::effGetNumMidiInputChannels: return getNumMidiInputChannels();
    case vst::effGetNumMidiOutputChannels: return getNumMidiOutputChannels();
    default: return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
  }
}

bool AudioEffectX::getSpeakerArrangement(vst::VstSpeakerArrangement** input, vst::VstSpeakerArrangement** output) {
  if (input) *input = nullptr;
  if (output) *output = nullptr;
  return false;
}

bool AudioEffectX::masterBeginEdit(std::int32_t index) { return callHost(vst::audioMasterBeginEdit, index) != 0; }
bool AudioEffectX::masterEndEdit(std::int32_t index) { return callHost(vst::audioMasterEndEdit, index) != 0; }
bool AudioEffectX::masterIoChanged() { return callHost(vst::audioMasterIOChanged) != 0; }

float AudioEffectX::masterSampleRate() {
  const std::intptr_t answer = callHost(vst::audioMasterGetSampleRate);
  if (answer > 0) sampleRate = static_cast<float>(answer);
  return sampleRate;
}

std::int32_t AudioEffectX::masterBlockSize() {
  const std::intptr_t answer = callHost(vst::audioMasterGetBlockSize);
  if (answer > 0 && answer <= INT32_MAX) blockSize = static_cast<std::int32_t>(answer);
  return blockSize;
}

bool AudioEffectX::masterCanDo(char* text) { return callHost(vst::audioMasterCanDo, 0, 0, text) != 0; }
bool AudioEffectX::masterUpdateDisplay() { return callHost(vst::audioMasterUpdateDisplay) != 0; }

bool AudioEffectX::masterSizeWindow(std::int32_t width, std::int32_t height) {
  return callHost(vst::audioMasterSizeWindow, width, height) != 0;
}
