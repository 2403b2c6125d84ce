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
    // Same-index aliasing (in place) is safe for every loop here: each frame
    // reads both inputs before writing either output, and a vector does the
    // same lane by lane. Hosts never pass partly overlapping buffers.
#pragma GCC ivdep
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
  // Runs of frames up to the nearer ring end; one comparison per run handles
  // the wrap, so the frame loop itself has no branch and vectorises.
  std::int32_t done = 0;
  while (done < frames) {
    const std::uint32_t run = channel::framesToRingEnd(
        receivePos, channel::framesToRingEnd(sendPos, static_cast<std::uint32_t>(frames - done)));
    float* sendFrame = sendRing + sendPos;
    const float* receiveFrame = receiveRing + receivePos;
    const float* a1 = in1 + done;
    const float* a2 = in2 + done;
    float* o1 = out1 + done;
    float* o2 = out2 + done;
#pragma GCC ivdep
    for (std::uint32_t i = 0; i < run; ++i) {
      const float a = a1[i];
      const float b = a2[i];
      sendFrame[2 * i] = send * a;
      sendFrame[2 * i + 1] = send * b;
      o1[i] = dry * a + receive * receiveFrame[2 * i];
      o2[i] = receive * receiveFrame[2 * i + 1] + dry * b;
    }
    sendPos = channel::stepPosition(sendPos, run);
    receivePos = channel::stepPosition(receivePos, run);
    done += static_cast<std::int32_t>(run);
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
