// The second base layer: opcodes 25 to 79 and the extended host services.
// Operations the system never reaches are left out; every opcode the host can
// send has its operation here with the base answer.
#pragma once

#include "plugin/audio_effect.h"

class AudioEffectX : public AudioEffect {
 public:
  using AudioEffect::AudioEffect;

  std::intptr_t dispatcher(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                           float opt) override;

  virtual bool canBeAutomated(std::int32_t) { return true; }
  virtual bool string2Parameter(std::int32_t, char*) { return false; }
  virtual bool getParameterProperties(std::int32_t, vst::VstParameterProperties*) { return false; }
  virtual bool masterBeginEdit(std::int32_t index);
  virtual bool masterEndEdit(std::int32_t index);
  virtual bool getProgramNameIndexed(std::int32_t, std::int32_t, char*) { return false; }
  virtual bool beginSetProgram() { return false; }
  virtual bool endSetProgram() { return false; }
  virtual std::int32_t beginLoadBank(vst::VstPatchChunkInfo*) { return 0; }
  virtual std::int32_t beginLoadProgram(vst::VstPatchChunkInfo*) { return 0; }

  virtual bool masterIoChanged();
  virtual float masterSampleRate();
  virtual std::int32_t masterBlockSize();
  virtual bool getInputProperties(std::int32_t, vst::VstPinProperties*) { return false; }
  virtual bool getOutputProperties(std::int32_t, vst::VstPinProperties*) { return false; }
  virtual bool setSpeakerArrangement(vst::VstSpeakerArrangement*, vst::VstSpeakerArrangement*) {
    return false;
  }
  virtual bool getSpeakerArrangement(vst::VstSpeakerArrangement** input, vst::VstSpeakerArrangement** output);
  virtual bool setBypass(bool) { return false; }
  virtual bool setPanLaw(std::int32_t, float) { return false; }
  virtual std::int32_t setProcessPrecision(std::int32_t) { return 0; }
  virtual std::int32_t getNumMidiInputChannels() { return 0; }
  virtual std::int32_t getNumMidiOutputChannels() { return 0; }

  virtual std::int32_t processEvents(vst::VstEvents*) { return 0; }
  virtual std::int32_t startProcess() { return 0; }
  virtual std::int32_t stopProcess() { return 0; }
  virtual bool processVarIo(vst::VstVariableIo*) { return false; }
  virtual bool setTotalSampleToProcess(std::int32_t) { return false; }

  virtual bool masterCanDo(char* text);
  virtual std::int32_t getTailSize() { return 0; }

  virtual bool getEffectName(char*) { return false; }
  virtual bool getVendorString(char*) { return false; }
  virtual bool getProductString(char*) { return false; }
  virtual std::int32_t getVendorVersion() { return 0; }
  virtual std::intptr_t vendorSpecific(std::int32_t, std::intptr_t, void*, float) { return 0; }
  virtual std::int32_t canDo(char*) { return 0; }
  virtual std::int32_t getVstVersion() { return vst::kVstVersion; }
  virtual std::int32_t getPlugCategory() { return vst::kPlugCategUnknown; }
  virtual std::int32_t getMidiProgramName(std::int32_t, vst::MidiProgramName*) { return 0; }
  virtual std::int32_t getCurrentMidiProgram(std::int32_t, vst::MidiProgramName*) { return -1; }
  virtual std::int32_t getMidiProgramCategory(std::int32_t, vst::MidiProgramCategory*) { return 0; }
  virtual bool hasMidiProgramsChanged(std::int32_t) { return false; }
  virtual bool getMidiKeyName(std::int32_t, vst::MidiKeyName*) { return false; }

  virtual bool masterUpdateDisplay();
  virtual bool masterSizeWindow(std::int32_t width, std::int32_t height);
  virtual std::int32_t shellGetNextPlugin(char*) { return 0; }

  virtual bool offlineNotify(vst::VstAudioFile*, std::int32_t, bool) { return false; }
  virtual bool offlinePrepare(vst::VstOfflineTask*, std::int32_t) { return false; }
  virtual bool offlineRun(vst::VstOfflineTask*, std::int32_t) { return false; }

  virtual void setBlockSizeAndSampleRate(std::int32_t frames, float rate) {
    blockSize = frames;
    sampleRate = rate;
  }
};
