// The audio path: dry pass-through, ring writing and reading, counters and
// the restarts around processing.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <numeric>
#include <vector>

#include "plugin/kelbra.h"
#include "plugin/parameters.h"
#include "tests/plugin/test_support.h"

namespace {

using testing_support::ChannelProbe;
using testing_support::uniqueId;

struct Block {
  explicit Block(int frames) : in1(frames), in2(frames), out1(frames, -9.0f), out2(frames, -9.0f) {
    for (int i = 0; i < frames; ++i) {
      in1[i] = 0.001f * static_cast<float>(i + 1);
      in2[i] = -0.002f * static_cast<float>(i + 1);
    }
  }
  void run(Kelbra& plugin, int frames) {
    float* ins[2] = {in1.data(), in2.data()};
    float* outs[2] = {out1.data(), out2.data()};
    plugin.processReplacing(ins, outs, frames);
  }
  std::vector<float> in1, in2, out1, out2;
};

class Connected : public ::testing::Test {
 protected:
  void SetUp() override {
    id = uniqueId(::testing::UnitTest::GetInstance()->current_test_info()->name()).substr(0, 32);
    plugin = std::make_unique<Kelbra>(nullptr);
    plugin->setConnectionId(id.c_str());
    ASSERT_TRUE(plugin->isConnected());
    probe = std::make_unique<ChannelProbe>(id);
    ASSERT_TRUE(probe->ok());
  }
  channel::ChannelLayout& ch() { return **probe; }
  std::string id;
  std::unique_ptr<Kelbra> plugin;
  std::unique_ptr<ChannelProbe> probe;
};

TEST(Disconnected, OutputsAreTheInputsAtTheDryLevel) {
  Kelbra plugin(nullptr);
  Block block(64);
  plugin.setParameter(kParamDry, 0.5f);
  block.run(plugin, 64);
  for (int i = 0; i < 64; ++i) {
    EXPECT_FLOAT_EQ(block.out1[i], 0.5f * block.in1[i]);
    EXPECT_FLOAT_EQ(block.out2[i], 0.5f * block.in2[i]);
  }
  plugin.setParameter(kParamDry, 0.0f);
  block.run(plugin, 64);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(block.out1[i], 0.0f);
}

TEST(Disconnected, NullBuffersAndNonPositiveCountsWriteNothing) {
  Kelbra plugin(nullptr);
  Block block(8);
  float* ins[2] = {block.in1.data(), nullptr};
  float* outs[2] = {block.out1.data(), block.out2.data()};
  plugin.processReplacing(ins, outs, 8);
  plugin.processReplacing(nullptr, outs, 8);
  plugin.processReplacing(ins, nullptr, 8);
  ins[1] = block.in2.data();
  plugin.processReplacing(ins, outs, 0);
  plugin.processReplacing(ins, outs, -5);
  for (float v : block.out1) EXPECT_EQ(v, -9.0f);
}

TEST_F(Connected, FirstFrameLandsLatencyFramesAheadAndCountersAdvance) {
  plugin->setParameter(kParamSend, 2.0f);
  Block block(512);
  block.run(*plugin, 512);
  EXPECT_FLOAT_EQ(ch().sendRing[4096], 2.0f * block.in1[0]);
  EXPECT_FLOAT_EQ(ch().sendRing[4097], 2.0f * block.in2[0]);
  EXPECT_FLOAT_EQ(ch().sendRing[4096 + 2 * 511], 2.0f * block.in1[511]);
  EXPECT_EQ(ch().sendRing[4096 + 2 * 512], 0.0f);
  EXPECT_EQ(ch().sendHeader.writeCount, 512u);
  EXPECT_EQ(ch().receiveHeader.readCount, 512u);
  EXPECT_EQ(ch().sendHeader.readCount, 0u) << "keltap~'s counter is not ours";
  EXPECT_EQ(ch().receiveHeader.writeCount, 0u);
  block.run(*plugin, 100);
  EXPECT_EQ(ch().sendHeader.writeCount, 612u);
  EXPECT_EQ(ch().receiveHeader.readCount, 612u);
  EXPECT_FLOAT_EQ(ch().sendRing[2 * (2048 + 512)], 2.0f * block.in1[0]);
}

TEST_F(Connected, OutputMixesDryInputWithTheReceiveRing) {
  plugin->setParameter(kParamReceive, 0.5f);
  plugin->setParameter(kParamDry, 0.25f);
  for (int i = 0; i < 64; ++i) {
    ch().receiveRing[2 * i] = static_cast<float>(i);
    ch().receiveRing[2 * i + 1] = static_cast<float>(-i);
  }
  Block block(64);
  block.run(*plugin, 64);
  for (int i = 0; i < 64; ++i) {
    EXPECT_FLOAT_EQ(block.out1[i], 0.25f * block.in1[i] + 0.5f * static_cast<float>(i));
    EXPECT_FLOAT_EQ(block.out2[i], 0.5f * static_cast<float>(-i) + 0.25f * block.in2[i]);
  }
}

TEST_F(Connected, ZeroSendGainStillWritesZeroFramesAndAdvances) {
  plugin->setParameter(kParamSend, 0.0f);
  ch().sendRing[4096] = 3.0f;
  Block block(32);
  block.run(*plugin, 32);
  EXPECT_EQ(ch().sendRing[4096], 0.0f);
  EXPECT_EQ(ch().sendHeader.writeCount, 32u);
}

TEST_F(Connected, ZeroFramesChangeNothing) {
  Block block(16);
  block.run(*plugin, 0);
  EXPECT_EQ(ch().sendHeader.writeCount, 0u);
  EXPECT_EQ(ch().receiveHeader.readCount, 0u);
  EXPECT_EQ(block.out1[0], -9.0f);
}

TEST_F(Connected, BlocksCrossTheEndOfEachRingIntoItsOwnStart) {
  // Writer starts at frame 16382: writeCount + 2048 = 16382.
  channel::storeWord(ch().sendHeader.writeCount, 16382 - 2048);
  channel::storeWord(ch().receiveHeader.readCount, 16383);
  ch().receiveRing[32766] = 1.0f;
  ch().receiveRing[0] = 2.0f;
  ch().receiveRing[2] = 3.0f;
  plugin->setParameter(kParamDry, 0.0f);
  Block block(4);
  block.run(*plugin, 4);
  EXPECT_FLOAT_EQ(ch().sendRing[32764], block.in1[0]);
  EXPECT_FLOAT_EQ(ch().sendRing[32766], block.in1[1]);
  EXPECT_FLOAT_EQ(ch().sendRing[0], block.in1[2]);
  EXPECT_FLOAT_EQ(ch().sendRing[2], block.in1[3]);
  EXPECT_EQ(ch().receiveRing[4], 0.0f) << "the send ring never spills into the receive ring";
  EXPECT_EQ(block.out1[0], 1.0f);
  EXPECT_EQ(block.out1[1], 2.0f);
  EXPECT_EQ(block.out1[2], 3.0f);
}

TEST_F(Connected, InPlaceProcessingMatchesSeparateBuffers) {
  plugin->setParameter(kParamReceive, 0.5f);
  for (int i = 0; i < 128; ++i) ch().receiveRing[i] = 0.01f * static_cast<float>(i);
  Block separate(64);
  separate.run(*plugin, 64);
  const std::vector<float> sendCopy(ch().sendRing + 4096, ch().sendRing + 4096 + 128);
  plugin->resyncChannel();
  Block inPlace(64);
  float* buffers[2] = {inPlace.in1.data(), inPlace.in2.data()};
  plugin->processReplacing(buffers, buffers, 64);
  EXPECT_EQ(inPlace.in1, separate.out1);
  EXPECT_EQ(inPlace.in2, separate.out2);
  EXPECT_EQ(std::vector<float>(ch().sendRing + 4096, ch().sendRing + 4096 + 128), sendCopy);
}

TEST_F(Connected, MainsOffClearsSamplesAndKeepsTheHeaders) {
  Block block(100);
  block.run(*plugin, 100);
  ch().receiveRing[5] = 1.0f;
  const channel::RingHeader send = ch().sendHeader;
  const channel::RingHeader receive = ch().receiveHeader;
  plugin->mainsOff();
  for (std::uint32_t i = 0; i < channel::kRingFloats; ++i) {
    ASSERT_EQ(ch().sendRing[i], 0.0f);
    ASSERT_EQ(ch().receiveRing[i], 0.0f);
  }
  EXPECT_EQ(std::memcmp(&send, &ch().sendHeader, sizeof send), 0);
  EXPECT_EQ(std::memcmp(&receive, &ch().receiveHeader, sizeof receive), 0);
}

TEST_F(Connected, MainsOnAndResyncRestartBothRingsWithTheCurrentLatency) {
  for (float request : {-1.0f, 0.0f}) {  // mainsOn, then a latency change
    Block block(100);
    block.run(*plugin, 100);
    channel::storeWord(ch().sendHeader.readCount, 5);
    channel::storeWord(ch().receiveHeader.writeCount, 6);
    ch().sendRing[4096] = 0.5f;
    if (request < 0) {
      plugin->mainsOn();
    } else {
      plugin->setParameter(kParamLatency, 2.0f);
    }
    EXPECT_EQ(ch().sendHeader.writeCount, 0u);
    EXPECT_EQ(ch().sendHeader.readCount, 0u);
    EXPECT_EQ(ch().receiveHeader.writeCount, 0u);
    EXPECT_EQ(ch().receiveHeader.readCount, 0u);
    EXPECT_EQ(ch().sendHeader.latency, plugin->latencyInFrames());
    EXPECT_EQ(ch().receiveHeader.latency, plugin->latencyInFrames());
    EXPECT_EQ(ch().sendRing[4096], 0.5f) << "a restart leaves the samples";
  }
  EXPECT_EQ(plugin->latencyInFrames(), 1024);
}

TEST_F(Connected, EveryLatencySettingResyncsEvenWithoutAChange) {
  Block block(10);
  block.run(*plugin, 10);
  plugin->setParameter(kParamLatency, 3.0f);
  EXPECT_EQ(ch().sendHeader.writeCount, 0u);
  block.run(*plugin, 10);
  plugin->setParameter(kParamLatency, 9.0f);  // out of range: frames stay
  EXPECT_EQ(ch().sendHeader.writeCount, 0u);
  EXPECT_EQ(ch().sendHeader.latency, 2048);
}

TEST_F(Connected, ResyncRequestRestartsOnlyForNonZeroValues) {
  Block block(10);
  block.run(*plugin, 10);
  plugin->setParameter(kParamResync, 0.0f);
  EXPECT_EQ(ch().sendHeader.writeCount, 10u);
  plugin->setParameter(kParamResync, 1.0f);
  EXPECT_EQ(ch().sendHeader.writeCount, 0u);
}

TEST(Disconnected, RestartsAndClearsDoNothing) {
  Kelbra plugin(nullptr);
  plugin.mainsOn();
  plugin.mainsOff();
  plugin.resyncChannel();
  EXPECT_FALSE(plugin.isConnected());
}

}  // namespace
