// The externals' per-block work against a plain copy of the same bytes, in
// nanoseconds per frame. Figures only: nothing fails on timing.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "channel/channel_layout.h"
#include "externals/common/ring_blocks.h"

namespace {

struct Bench {
  explicit Bench(int frames) : left(frames, 0.25f), right(frames, -0.25f), stereo(2 * frames) {
    layout = std::make_unique<channel::ChannelLayout>();
    std::memset(layout.get(), 0, sizeof(channel::ChannelLayout));
    channel::storeLatency(layout->receiveHeader.latency, 2048);
  }
  std::unique_ptr<channel::ChannelLayout> layout;
  std::vector<float> left, right, stereo;
};

void perFrame(benchmark::State& state, int frames) {
  // Printed as seconds per frame with an SI prefix ("800p" is 0.8 ns).
  state.counters["per_frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * frames,
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * frames * 2 * sizeof(float));
}

void BM_KelfeedPerform(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Bench b(n);
  for (auto _ : state) {
    externals::feedBlock(b.layout->receiveRing, b.layout->receiveHeader, b.left.data(), b.right.data(), n);
    benchmark::ClobberMemory();
  }
  perFrame(state, n);
}

void BM_KeltapPerform(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Bench b(n);
  for (auto _ : state) {
    externals::tapBlock(b.layout->sendRing, b.layout->sendHeader, b.left.data(), b.right.data(), n);
    benchmark::DoNotOptimize(b.left.data());
    benchmark::ClobberMemory();
  }
  perFrame(state, n);
}

// The floor: the same number of bytes copied by memcpy between two buffers.
void BM_PlainCopy(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  Bench b(n);
  for (auto _ : state) {
    std::memcpy(b.stereo.data(), b.layout->sendRing, 2 * sizeof(float) * static_cast<std::size_t>(n));
    benchmark::DoNotOptimize(b.stereo.data());
    benchmark::ClobberMemory();
  }
  perFrame(state, n);
}

BENCHMARK(BM_KelfeedPerform)->Arg(64)->Arg(1024);
BENCHMARK(BM_KeltapPerform)->Arg(64)->Arg(1024);
BENCHMARK(BM_PlainCopy)->Arg(64)->Arg(1024);

}  // namespace

BENCHMARK_MAIN();
