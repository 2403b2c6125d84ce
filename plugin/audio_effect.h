// The first base layer of the plug-in: the effect record, opcodes 0 to 24 and
// the basic host services. Subclasses keep these virtual operations in this
// order and append their own.
//
// Threads: the dispatcher runs on whatever thread the host uses;
// processReplacing runs on the audio thread. Host services are never called
// from processing.
#pragma once

#include <cstdint>

#include "plugin/vst2_abi.h"

class AEffEditor;

class AudioEffect {
 public:
  AudioEffect(vst::audioMasterCallback callback, std::int32_t programs, std::int32_t params);
  virtual ~AudioEffect();
  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  virtual std::intptr_t dispatcher(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                   float opt);
  virtual void open() {}
  virtual void close() {}
  virtual void mainsOff() {}
  virtual void mainsOn() {}
  virtual void setSampleRate(float rate) { sampleRate = rate; }
  virtual void setBlockSize(std::int32_t frames) { blockSize = frames; }
  virtual void processReplacing(float** inputs, float** outputs, std::int32_t frames) = 0;
  virtual void processDoubleReplacing(double**, double**, std::int32_t) {}

  virtual void setParameter(std::int32_t, float) {}
  virtual float getParameter(std::int32_t) { return 0.0f; }
  virtual void automateParameter(std::int32_t index, float value);
  virtual std::int32_t getProgram() { return curProgram; }
  virtual void setProgram(std::int32_t program) { curProgram = program; }
  virtual void setProgramName(char*) {}
  virtual void getProgramName(char* text) { writeEmpty(text); }
  virtual void getParamLabel(std::int32_t, char* text) { writeEmpty(text); }
  virtual void getParamDisplay(std::int32_t, char* text) { writeEmpty(text); }
  virtual void getParamName(std::int32_t, char* text) { writeEmpty(text); }
  virtual std::int32_t getChunk(void**, bool) { return 0; }
  virtual std::int32_t setChunk(void*, std::int32_t, bool) { return 0; }

  virtual void setUniqueId(std::int32_t id) { effectRecord.uniqueID = id; }
  virtual void setNumInputs(std::int32_t n) { effectRecord.numInputs = n; }
  virtual void setNumOutputs(std::int32_t n) { effectRecord.numOutputs = n; }
  virtual void setCanReplacing(bool on) { setFlag(vst::effFlagsCanReplacing, on); }
  virtual void setCanDoubleReplacing(bool on) { setFlag(vst::effFlagsCanDoubleReplacing, on); }
  virtual void setProgramsAreChunks(bool on) { setFlag(vst::effFlagsProgramChunks, on); }
  virtual void setInitialDelay(std::int32_t frames) { effectRecord.initialDelay = frames; }
  virtual AEffEditor* getEditor() { return editor; }
  virtual vst::AEffect* getEffectRecord() { return &effectRecord; }
  virtual float getSampleRate() { return sampleRate; }
  virtual std::int32_t getBlockSize() { return blockSize; }

  virtual std::int32_t masterVersion();
  virtual std::int32_t masterCurrentId();
  virtual void masterIdle();
  virtual bool isInputConnected(std::int32_t pin);
  virtual bool isOutputConnected(std::int32_t pin);

  virtual void process(float**, float**, std::int32_t) {}
  virtual float getVu() { return 0.0f; }
  virtual void setHasVu(bool on) { setFlag(vst::effFlagsHasVu, on); }
  virtual void setHasClip(bool on) { setFlag(vst::effFlagsHasClip, on); }
  virtual void setCanMono(bool on) { setFlag(vst::effFlagsCanMono, on); }
  virtual void setRealtimeQualities(std::int32_t q) { effectRecord.realQualities = q; }
  virtual void setOfflineQualities(std::int32_t q) { effectRecord.offQualities = q; }

  // Registers an editor: the dispatcher forwards editor requests from now on.
  void attachEditor(AEffEditor* newEditor);

 protected:
  // Calls the host with this instance's record; 0 without a host callback.
  std::intptr_t callHost(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                         void* ptr = nullptr, float opt = 0.0f);
  void setFlag(std::int32_t flag, bool on);
  static void writeEmpty(char* text) {
    if (text) text[0] = 0;
  }

  vst::audioMasterCallback hostCallback;
  AEffEditor* editor = nullptr;
  float sampleRate = 44100.0f;
  std::int32_t blockSize = 1024;
  std::int32_t numPrograms;
  std::int32_t numParams;
  std::int32_t curProgram = 0;
  vst::AEffect effectRecord;
};

// The instance behind a record handed to the host.
inline AudioEffect* effectOf(vst::AEffect* record) {
  return record ? static_cast<AudioEffect*>(record->object) : nullptr;
}
