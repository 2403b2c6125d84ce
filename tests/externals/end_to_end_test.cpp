// kelbra.so in a test host, processing in real time, with a real pd running
// keltap~ -> gain 0.5 -> kelfeed~ on the same identifier: the processed input
// must come back about two latencies later; killing pd must leave the plug-in
// running dry, and a restarted pd must reconnect.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <thread>
#include <vector>

#include "plugin/vst2_abi.h"
#include "tests/externals/pd_fixture.h"
#include "tests/externals/round_trip.h"
#include "tests/harness/host_harness.h"

namespace pdtest {
namespace {

constexpr double kSampleRate = 44100;
constexpr std::int32_t kHostBlock = 256;
constexpr std::size_t kLatency = 1024;  // buffer choice 2
constexpr float kSend = 0.8f, kReceive = 0.5f, kDry = 0.25f, kPdGain = 0.5f;
constexpr std::size_t kWindow = 4096;

// A plug-in instance fed with noise in real-time blocks on its own thread,
// keeping everything it put out.
class RealTimeHost {
 public:
  RealTimeHost(harness::Instance& fx, double seconds)
      : fx_(fx), in1_(frames(seconds)), in2_(in1_.size()), out1_(in1_.size()), out2_(in1_.size()) {
    std::uint32_t seed = 12345;
    auto noise = [&seed] {
      seed = seed * 1664525u + 1013904223u;
      return static_cast<float>(seed >> 8) / static_cast<float>(1u << 24) - 0.5f;
    };
    for (std::size_t i = 0; i < in1_.size(); ++i) {
      in1_[i] = noise();
      in2_[i] = noise();
    }
  }
  ~RealTimeHost() { stop(); }

  void start() {
    thread_ = std::thread([this] {
      const auto period = std::chrono::duration<double>(kHostBlock / kSampleRate);
      const auto begin = std::chrono::steady_clock::now();
      for (std::size_t block = 0; !stop_ && (block + 1) * kHostBlock <= in1_.size(); ++block) {
        std::this_thread::sleep_until(begin + std::chrono::duration_cast<std::chrono::nanoseconds>(period * block));
        const std::size_t at = block * kHostBlock;
        fx_.process(&in1_[at], &in2_[at], &out1_[at], &out2_[at], kHostBlock);
        done_.store(at + kHostBlock);
      }
    });
  }
  void stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::size_t framesDone() const { return done_.load(); }

  // The output of channel 1 or 2 less its dry part.
  std::vector<float> wet(int ch) const {
    const auto& in = ch == 1 ? in1_ : in2_;
    const auto& out = ch == 1 ? out1_ : out2_;
    std::vector<float> w(out.size());
    for (std::size_t i = 0; i < out.size(); ++i) w[i] = out[i] - kDry * in[i];
    return w;
  }
  const std::vector<float>& input(int ch) const { return ch == 1 ? in1_ : in2_; }
  const std::vector<float>& output(int ch) const { return ch == 1 ? out1_ : out2_; }

 private:
  static std::size_t frames(double seconds) { return static_cast<std::size_t>(seconds * kSampleRate); }
  harness::Instance& fx_;
  std::vector<float> in1_, in2_, out1_, out2_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<std::size_t> done_{0};
};

struct SegmentFit {
  std::vector<EchoFit> windows;
  EchoFit median() const {
    std::vector<EchoFit> sorted = windows;
    std::sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return a.lag < b.lag; });
    return sorted.empty() ? EchoFit{} : sorted[sorted.size() / 2];
  }
  double worstCorrelation() const {
    double worst = 1;
    for (auto& w : windows) worst = std::min(worst, w.correlation);
    return windows.empty() ? 0 : worst;
  }
};

SegmentFit fitSegment(const std::vector<float>& input, const std::vector<float>& signal, std::size_t from,
                      std::size_t to, std::size_t minLag, std::size_t maxLag) {
  SegmentFit fit;
  for (std::size_t at = from; at + kWindow <= to; at += kWindow)
    fit.windows.push_back(fitEcho(input, signal, at, kWindow, minLag, maxLag));
  return fit;
}

class EndToEnd : public PdTest {};

TEST_F(EndToEnd, RoundTripThroughPdAndBack) {
  harness::Library library(harness::pluginPath());
  ASSERT_TRUE(library.loaded()) << library.error();
  harness::Host host;
  harness::Instance fx(library, host);
  ASSERT_TRUE(fx.ok());
  const std::string id = newId("e2e");
  fx.dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kSampleRate));
  fx.dispatch(vst::effSetBlockSize, 0, kHostBlock);
  fx.setParameter(0, kSend);
  fx.setParameter(1, kReceive);
  fx.setParameter(2, kDry);
  fx.setParameter(3, 2.0f);  // 1024 frames
  fx.restoreIdentifier(id);
  fx.dispatch(vst::effMainsChanged, 0, 1);
  ASSERT_TRUE(channelObjectExists(id)) << "the plug-in did not take the identifier";

  const std::string patch = folder_.write(
      "e2e.pd", {"#X obj 10 10 keltap~ " + id + ";", "#X obj 10 40 *~ 0.5;", "#X obj 100 40 *~ 0.5;",
                 "#X obj 10 70 kelfeed~ " + id + ";", "#X obj 200 10 loadbang;", "#X msg 200 40 \\; pd dsp 1;",
                 "#X obj 300 40 print dsp-on;", "#X connect 0 0 1 0;", "#X connect 0 1 2 0;", "#X connect 1 0 3 0;",
                 "#X connect 2 0 3 1;", "#X connect 4 0 5 0;", "#X connect 4 0 6 0;"});
  const std::vector<std::string> realTime = {"-r", "44100"};

  RealTimeHost run(fx, 12.0);
  run.start();
  std::this_thread::sleep_for(300ms);

  auto pd = std::make_unique<PdProcess>(patch, realTime);
  ASSERT_TRUE(pd->waitFor("dsp-on", 20s)) << pd->console();
  EXPECT_EQ(countLines(pd->console(), "keltap " + id + ": SUCCESS CONNECT VST"), 1) << pd->console();
  EXPECT_EQ(countLines(pd->console(), "kelfeed : CONNECTED -> VST[" + id + "]"), 1) << pd->console();
  const std::size_t connected = run.framesDone();
  std::this_thread::sleep_for(2500ms);
  const std::size_t killed = run.framesDone();
  pd->kill();
  pd.reset();
  std::this_thread::sleep_for(1500ms);
  const std::size_t restarting = run.framesDone();
  ASSERT_GT(restarting, killed + kSampleRate) << "the plug-in stopped processing when pd died";

  pd = std::make_unique<PdProcess>(patch, realTime);
  ASSERT_TRUE(pd->waitFor("dsp-on", 20s)) << pd->console();
  EXPECT_EQ(countLines(pd->console(), "keltap " + id + ": SUCCESS CONNECT VST"), 1) << pd->console();
  const std::size_t reconnected = run.framesDone();
  std::this_thread::sleep_for(2500ms);
  const std::size_t end = run.framesDone();
  run.stop();
  pd->kill();

  // The echo is searched from half to four latencies; the expected round trip
  // is two latencies: both sides count their own frames from the same reset,
  // give or take a host block that lands between pd's two ring resets.
  const std::size_t minLag = kLatency / 2, maxLag = 4 * kLatency;
  const std::size_t settle = maxLag + 2 * kWindow;
  const double echoGain = kSend * kPdGain * kReceive;
  for (int ch : {1, 2}) {
    SCOPED_TRACE("channel " + std::to_string(ch));
    const auto& x = run.input(ch);
    const auto wet = run.wet(ch);
    const SegmentFit before = fitSegment(x, wet, connected + settle, killed, minLag, maxLag);
    const SegmentFit after = fitSegment(x, wet, reconnected + settle, end, minLag, maxLag);
    for (const auto* seg : {&before, &after}) {
      ASSERT_GE(seg->windows.size(), 10u);
      const EchoFit m = seg->median();
      std::printf("channel %d %s pd restart: round trip %zu frames (%.2f ms), gain %.4f, worst correlation %.4f\n",
                  ch, seg == &before ? "before" : "after", m.lag, 1000.0 * m.lag / kSampleRate, m.gain,
                  seg->worstCorrelation());
      EXPECT_NEAR(static_cast<double>(m.lag), 2.0 * kLatency, kHostBlock);
      EXPECT_NEAR(m.gain, echoGain, 0.1 * echoGain);
      EXPECT_GT(m.correlation, 0.95);
    }

    // With pd gone the input comes out at the dry level only: nothing of it
    // returns at any round-trip lag (the ring's stale contents are older).
    const SegmentFit dead = fitSegment(x, wet, killed + settle, restarting, minLag, maxLag);
    ASSERT_GE(dead.windows.size(), 3u);
    for (const auto& w : dead.windows) EXPECT_LT(w.correlation, 0.2) << "lag " << w.lag;
    const SegmentFit dry = fitSegment(x, run.output(ch), killed + settle, restarting, 0, 0);
    for (const auto& w : dry.windows) EXPECT_NEAR(w.gain, kDry, 0.02);
  }
  fx.close();
}

}  // namespace
}  // namespace pdtest
