// processReplacing, connected and disconnected, against a reference kernel
// that moves the same bytes with plain copies.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "channel/channel_layout.h"
#include "plugin/kelbra.h"
#include "tests/plugin/test_support.h"

namespace {

struct Buffers {
  explicit Buffers(int n) : in1(n, 0.5f), in2(n, -0.5f), out1(n), out2(n) {}
  std::vector<float> in1, in2, out1, out2;
};

void run(benchmark::State& state, bool connected) {
  const int n = static_cast<int>(state.range(0));
  Kelbra plugin(nullptr);
  if (connected) plugin.setConnectionId(testing_support::uniqueId("bench").c_str());
  Buffers b(n);
  float* ins[2] = {b.in1.data(), b.in2.data()};
  float* outs[2] = {b.out1.data(), b.out2.data()};
  for (auto _ : state) {
    plugin.processReplacing(ins, outs, n);
    benchmark::DoNotOptimize(b.out1.data());
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_frame"] =
      benchmark::Counter(static_cast<double>(n) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ProcessConnected(benchmark::State& state) { run(state, true); }
void BM_ProcessDisconnected(benchmark::State& state) { run(state, false); }

// Reads the two inputs and the receive ring, writes the send ring and the two
// outputs: the bytes a connected call moves, without gains or interleaving.
void BM_ReferenceCopies(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  std::vector<float> ring(channel::kChannelBytes / sizeof(float), 0.25f);
  Buffers b(n);
  const std::size_t bytes = static_cast<std::size_t>(n) * sizeof(float);
  std::size_t pos = 0;
  for (auto _ : state) {
    float* send = ring.data() + pos;
    const float* receive = ring.data() + channel::kRingFloats + pos;
    std::memcpy(send, b.in1.data(), bytes);
    std::memcpy(send + n, b.in2.data(), bytes);
    std::memcpy(b.out1.data(), receive, bytes);
    std::memcpy(b.out2.data(), receive + n, bytes);
    pos = (pos + 2 * static_cast<std::size_t>(n)) % (channel::kRingFloats - 2 * 8192);
    benchmark::DoNotOptimize(b.out1.data());
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_frame"] =
      benchmark::Counter(static_cast<double>(n) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_ProcessConnected)->RangeMultiplier(2)->Range(32, 8192);
BENCHMARK(BM_ProcessDisconnected)->RangeMultiplier(2)->Range(32, 8192);
BENCHMARK(BM_ReferenceCopies)->RangeMultiplier(2)->Range(32, 8192);

}  // namespace

BENCHMARK_MAIN();
