// The audio path and the ring restarts around it.
#include <cstring>

#include "channel/channel_layout.h"
#include "plugin/kelbra.h"

void Kelbra::processReplacing(float** inputs, float** outputs, std::int32_t frames) {
  if (frames <= 0 || !inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1]) return;
  const float send = sendGain.load(std::memory_order_relaxed);
  const float receive = receiveGain.load(std::memory_order_relaxed);
  const float dry = dryGain.load(std::memory_order_relaxed);
  const float* in1 = inputs[0];
  const float* in2 = inputs[1];
  float* out1 = outputs[0];
  float* out2 = outputs[1];

  void* base = channelBase.enter();
  if (!base) {
    for (std::int32_t i = 0; i < frames; ++i) {
      const float a = in1[i];
      const float b = in2[i];
      out1[i] = dry * a;
      out2[i] = dry * b;
    }
    return;
  }

  channel::ChannelLayout* layout = channel::layoutAt(base);
  float* sendRing = layout->sendRing;
  const float* receiveRing = layout->receiveRing;
  std::uint32_t sendPos = channel::writerPosition(channel::loadWord(layout->sendHeader.writeCount),
                                                  latencyFrames.load(std::memory_order_relaxed));
  std::uint32_t receivePos = channel::ringPosition(channel::loadWord(layout->receiveHeader.readCount));
  for (std::int32_t i = 0; i < frames; ++i) {
    // Both inputs are read before either output is written: hosts may
    // process in place.
    const float a = in1[i];
    const float b = in2[i];
    sendRing[sendPos] = send * a;
    sendRing[sendPos + 1] = send * b;
    sendPos += 2;
    if (sendPos == channel::kRingFloats) sendPos = 0;
    out1[i] = dry * a + receive * receiveRing[receivePos];
    out2[i] = receive * receiveRing[receivePos + 1] + dry * b;
    receivePos += 2;
    if (receivePos == channel::kRingFloats) receivePos = 0;
  }
  const auto n = static_cast<std::uint32_t>(frames);
  channel::advanceWord(layout->sendHeader.writeCount, n);
  channel::advanceWord(layout->receiveHeader.readCount, n);
  channelBase.leave();
}

void Kelbra::resyncChannel() noexcept {
  void* base = channelBase.enter();
  if (!base) return;
  channel::ChannelLayout* layout = channel::layoutAt(base);
  channel::resetCounters(layout->sendHeader);
  channel::resetCounters(layout->receiveHeader);
  const std::int32_t latency = latencyFrames.load(std::memory_order_relaxed);
  channel::storeLatency(layout->sendHeader.latency, latency);
  channel::storeLatency(layout->receiveHeader.latency, latency);
  channelBase.leave();
}

void Kelbra::mainsOn() { resyncChannel(); }

void Kelbra::mainsOff() {
  void* base = channelBase.enter();
  if (!base) return;
  std::memset(base, 0, channel::kSampleAreaBytes);
  channelBase.leave();
}
