// The plug-in: two inputs, two outputs, one program, four parameters, and a
// connection to the shared audio channel named by its identifier.
//
// Threads:
//  - processReplacing: the host's audio thread. Real-time safe: no allocation,
//    lock or system call; reaches the channel only through the ChannelGate.
//  - setParameter / getParameter: any thread (the audio thread included);
//    members are atomics, the latency and resync paths are real-time safe.
//  - setConnectionId, setProgram, destruction: a non-audio thread. They may
//    wait for one processing call to leave the channel before unmapping it.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "plugin/audio_effect_x.h"
#include "plugin/channel_gate.h"
#include "plugin/program_record.h"
#include "platform/shared_memory.h"

class Kelbra : public AudioEffectX {
 public:
  explicit Kelbra(vst::audioMasterCallback callback);
  ~Kelbra() override;

  void mainsOff() override;
  void mainsOn() override;
  void processReplacing(float** inputs, float** outputs, std::int32_t frames) override;

  void setParameter(std::int32_t index, float value) override;
  float getParameter(std::int32_t index) override;
  void setProgram(std::int32_t program) override;
  void setProgramName(char* text) override;
  void getProgramName(char* text) override;
  void getParamDisplay(std::int32_t index, char* text) override;
  void getParamName(std::int32_t index, char* text) override;
  std::int32_t getChunk(void** data, bool isPreset) override;
  std::int32_t setChunk(void* data, std::int32_t size, bool isPreset) override;

  std::int32_t processEvents(vst::VstEvents*) override { return 1; }
  bool getEffectName(char* text) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  std::int32_t getVendorVersion() override { return 1000; }
  std::int32_t canDo(char*) override { return -1; }

  // Connects to the channel named by `text` (its first 32 characters),
  // releasing the current one first. Reports the outcome on the status line.
  void setConnectionId(const char* text);
  std::string connectionId();
  void resyncChannel() noexcept;
  bool isConnected() const noexcept { return channelBase.isPublished(); }
  std::int32_t latencyInFrames() const noexcept { return latencyFrames.load(std::memory_order_relaxed); }

 private:
  void storeConnectionId(std::string_view text);
  bool openChannel();
  bool mapChannel();
  void showStatus(const char* text);
  // Waits out processing, optionally resets the counters, zeroes the samples,
  // unmaps and closes.
  void releaseChannel(bool resetCounters);
  ProgramRecord& currentProgram() { return programs[static_cast<std::size_t>(curProgram)]; }

  std::atomic<float> sendGain{0.0f};
  std::atomic<float> receiveGain{0.0f};
  std::atomic<float> dryGain{0.0f};
  std::atomic<float> latencyChoice{0.0f};
  std::atomic<std::int32_t> latencyFrames{0};
  platform::SharedMemory mapping;
  ChannelGate channelBase;
  std::string connectionId_;
  std::unique_ptr<ProgramRecord[]> programs;
  // Serialises connecting and disconnecting; processing never takes it.
  std::mutex connectionMutex;
};
