// kelbra-host: a small command-line VST 2.4 host for kelbra. It plays a sound
// file or a test signal through the plug-in at real-time pace (so a live Pd
// patch on the other end of the channel keeps up), writes the result, and can
// measure the round trip through Pd or show the plug-in's editor.
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tools/host_options.h"
#include "tools/level_meter.h"
#include "tools/plugin_session.h"
#include "tools/progress_bar.h"
#include "tools/realtime_pacer.h"
#include "tools/round_trip.h"
#include "tools/signal_source.h"
#include "tools/sound_file.h"
#ifdef KELBRA_HOST_EDITOR
#include "platform/host_window.h"
#endif

namespace kelbrahost {
namespace {

enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2, kNoEcho = 3 };

std::atomic<bool> gInterrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void onInterrupt(int) { gInterrupted.store(true); }

int fail(const std::string& message, int code = kFailed) {
  std::fprintf(stderr, "kelbra-host: %s\n", message.c_str());
  return code;
}

// Everything one audio run needs; the loop may run on a thread of its own
// while the main thread serves the editor.
struct AudioRun {
  PluginSession* session = nullptr;
  SignalSource* source = nullptr;
  SoundFileWriter* output = nullptr;
  SoundFileWriter* savedInput = nullptr;
  LevelMeter* levels = nullptr;
  RoundTripMeter* roundTrip = nullptr;
  double sampleRate = 44100.0;
  int blockSize = 256;
  bool realtime = true;
  bool progress = true;
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{false};
  std::int64_t frames = 0;
  std::string error;
};

void runAudio(AudioRun& run) {
  const auto n = static_cast<std::size_t>(run.blockSize);
  std::vector<float> inL(n), inR(n), outL(n), outR(n);
  RealtimePacer pacer(run.sampleRate, run.realtime);
  const std::int64_t total = run.source->totalFrames();
  ProgressBar bar(total > 0 ? static_cast<double>(total) / run.sampleRate : 0.0, run.progress);
  harness::Instance& instance = run.session->instance();
  while (!run.stop.load() && !gInterrupted.load()) {
    const int got = run.source->read(inL.data(), inR.data(), run.blockSize);
    if (got <= 0) break;
    pacer.waitUntilDue(run.frames);
    instance.process(inL.data(), inR.data(), outL.data(), outR.data(), got);
    run.frames += got;
    if (run.output && !run.output->write(outL.data(), outR.data(), got)) {
      run.error = run.output->error();
      break;
    }
    if (run.savedInput && !run.savedInput->write(inL.data(), inR.data(), got)) {
      run.error = run.savedInput->error();
      break;
    }
    run.levels->record(inL.data(), inR.data(), outL.data(), outR.data(), got);
    if (run.roundTrip) run.roundTrip->record(outL.data(), got);
    bar.update(static_cast<double>(run.frames) / run.sampleRate);
  }
  bar.finish();
  run.finished.store(true);
}

#ifdef KELBRA_HOST_EDITOR
// Opens the editor in its own window and serves it until the audio ends or
// the window is closed.
int runWithEditor(AudioRun& run, PluginSession& session) {
  harness::Instance& instance = session.instance();
  vst::ERect* rect = nullptr;
  instance.dispatch(vst::effEditGetRect, 0, 0, &rect);
  if (!rect) return fail("the plug-in's editor gave no size");
  const int width = rect->right - rect->left;
  const int height = rect->bottom - rect->top;
  platform::HostWindow window;
  if (!window.open(width, height, "kelbra - " + instance.text(vst::effGetEffectName))) return fail(window.error());
  session.host().answer = [&window](const harness::HostCall& call, void*) -> std::intptr_t {
    switch (call.opcode) {
      case vst::audioMasterSizeWindow:
        window.resize(call.index, static_cast<int>(call.value));
        return 1;
      case vst::audioMasterAutomate:
      case vst::audioMasterBeginEdit:
      case vst::audioMasterEndEdit:
        return 1;
      default:
        return 0;
    }
  };
  instance.dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(window.nativeHandle()));
  std::thread audio(runAudio, std::ref(run));
  while (!run.finished.load() && !gInterrupted.load()) {
    if (!window.pump()) break;
    instance.dispatch(vst::effEditIdle);
    session.host().clearCalls();  // a long session would otherwise keep every call
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  run.stop.store(true);
  audio.join();
  instance.dispatch(vst::effEditClose);
  session.host().answer = nullptr;
  window.close();
  return kOk;
}
#endif

// The windowed line describes what a patch does to a steady signal; for a
// click train it would only show the clicks.
std::string describeLevels(const LevelSummary& s, bool windows) {
  char line[512];
  std::snprintf(line, sizeof line,
                "levels: input rms %.1f dBFS, peak %.1f dBFS; output rms %.1f dBFS, peak %.1f dBFS; "
                "output/input %+.1f dB\n",
                decibels(s.inputRms), decibels(s.inputPeak), decibels(s.outputRms), decibels(s.outputPeak),
                decibels(s.outputRms) - decibels(s.inputRms));
  std::string text = line;
  if (windows && s.windowMax > 0.0) {
    std::snprintf(line, sizeof line, "output level in 10 ms windows: from %.1f dB to %+.1f dB of the input's rms",
                  decibels(s.windowMin), decibels(s.windowMax));
    text += line;
    if (s.swingsPerSecond) {
      std::snprintf(line, sizeof line, ", swinging %.1f times a second", *s.swingsPerSecond);
      text += line;
    }
    text += "\n";
  }
  return text;
}

int run(const HostOptions& o) {
  const std::string pluginPath = o.plugin.empty() ? findDefaultPlugin() : o.plugin;
  if (pluginPath.empty()) {
    return fail("no kelbra.so found beside kelbra-host, in ../lib/vst or ~/.vst; give --plugin PATH");
  }
  PluginSession session;
  if (!session.load(pluginPath)) return fail(session.error());
  if (o.info) {
    std::printf("plug-in:  %s\n%s", pluginPath.c_str(), session.describe().c_str());
    return kOk;
  }
#ifndef KELBRA_HOST_EDITOR
  if (o.editor) return fail("this kelbra-host was built without editor support");
#endif
  if (o.editor && !session.hasEditor()) return fail("the plug-in has no editor");

  // The input.
  double sampleRate = o.sampleRate;
  std::unique_ptr<SignalSource> source;
  std::optional<ClickTrain> train;
  std::string what;
  const int latencyFrames = o.latencyFrames.value_or(2048);
  if (!o.input.empty()) {
    auto file = std::make_unique<FileSignal>();
    if (!file->open(o.input)) return fail(file->error());
    sampleRate = file->sampleRate();
    what = o.input;
    source = std::move(file);
  } else {
    GeneratorSettings g;
    g.sampleRate = sampleRate;
    g.frequency = o.frequency;
    g.amplitude = std::pow(10.0, o.levelDb / 20.0);
    if (o.roundTrip) {
      train = clickTrainFor(latencyFrames, o.blockSize, sampleRate);
      train->amplitude = static_cast<float>(g.amplitude);
      g.waveform = Waveform::clicks;
      g.clickPeriod = train->period;
      g.clickOffset = train->offset;
      const double least = static_cast<double>(train->offset + 8 * train->period) / sampleRate;
      g.frames = static_cast<std::int64_t>(std::ceil(o.seconds.value_or(least) * sampleRate));
      what = "clicks every " + std::to_string(train->period) + " frames";
    } else {
      static const char* const kNames[] = {"sine", "noise", "clicks", "silence"};
      for (int i = 0; i < 4; ++i) {
        if (o.signal == kNames[i]) g.waveform = static_cast<Waveform>(i);
      }
      g.clickPeriod = static_cast<std::int64_t>(sampleRate / 2);
      const bool endless = o.editor && !o.seconds;
      g.frames = endless ? -1 : static_cast<std::int64_t>(std::ceil(o.seconds.value_or(3.0) * sampleRate));
      char text[96];
      std::snprintf(text, sizeof text, "%s%s at %.1f dBFS", o.signal.c_str(),
                    g.waveform == Waveform::sine ? (" " + std::to_string(static_cast<int>(o.frequency)) + " Hz").c_str()
                                                 : "",
                    o.levelDb);
      what = text;
    }
    source = std::make_unique<GeneratedSignal>(g);
  }
  // A file shorter than --seconds simply ends; a longer one is cut.
  std::unique_ptr<CutSignal> limited;
  SignalSource* feed = source.get();
  if (!o.input.empty() && o.seconds) {
    limited = std::make_unique<CutSignal>(*source, static_cast<std::int64_t>(std::ceil(*o.seconds * sampleRate)));
    feed = limited.get();
  }

  // The files, opened before anything runs so that a bad path costs nothing.
  SoundFileWriter output, savedInput;
  if (!o.output.empty() && !output.open(o.output, static_cast<int>(sampleRate))) return fail(output.error());
  if (!o.saveInput.empty() && !savedInput.open(o.saveInput, static_cast<int>(sampleRate)))
    return fail(savedInput.error());

  // The host's side of a session: rate and block size, then the settings as a
  // project restores them (the chunk carrying the identifier, then program
  // selection), then the values given here.
  session.prepare(sampleRate, o.blockSize);
  harness::Instance& instance = session.instance();
  if (!o.id.empty()) instance.restoreIdentifier(o.id);
  if (o.send) instance.setParameter(0, *o.send);
  if (o.receive) instance.setParameter(1, *o.receive);
  const std::optional<float> dry = o.roundTrip ? std::optional<float>(0.0f) : o.dry;
  if (dry) instance.setParameter(2, *dry);
  if (o.latencyFrames) instance.setParameter(3, static_cast<float>(latencyIndexFor(*o.latencyFrames)));

  char header[640];
  std::snprintf(header, sizeof header,
                "kelbra-host: %s | identifier %s | send %.2f, recieve %.2f, dry %.2f, latency %d frames | "
                "%s, %.0f Hz, blocks of %d%s%s\n",
                pluginPath.c_str(), o.id.empty() ? "(none: dry only)" : o.id.c_str(),
                static_cast<double>(instance.getParameter(0)), static_cast<double>(instance.getParameter(1)),
                static_cast<double>(instance.getParameter(2)), latencyFrames, what.c_str(), sampleRate,
                o.blockSize, o.output.empty() ? "" : " -> ", o.output.c_str());
  std::fputs(header, stdout);
  std::fflush(stdout);

  LevelMeter levels(sampleRate, static_cast<int>(sampleRate / 100.0));
  std::unique_ptr<RoundTripMeter> tripMeter;
  if (train) tripMeter = std::make_unique<RoundTripMeter>(*train);
  AudioRun audio;
  audio.session = &session;
  audio.source = feed;
  audio.output = o.output.empty() ? nullptr : &output;
  audio.savedInput = o.saveInput.empty() ? nullptr : &savedInput;
  audio.levels = &levels;
  audio.roundTrip = tripMeter.get();
  audio.sampleRate = sampleRate;
  audio.blockSize = o.blockSize;
  audio.realtime = !o.fast;
  audio.progress = !o.quiet;

  session.start();
#ifdef KELBRA_HOST_EDITOR
  if (o.editor) {
    if (const int code = runWithEditor(audio, session); code != kOk) return code;
  } else {
    runAudio(audio);
  }
#else
  runAudio(audio);
#endif
  session.stop();
  if (!audio.error.empty()) return fail(audio.error);
  if (!output.close()) return fail(output.error());
  if (!savedInput.close()) return fail(savedInput.error());

  std::printf("processed %.2f s (%lld frames)%s\n", static_cast<double>(audio.frames) / sampleRate,
              static_cast<long long>(audio.frames), gInterrupted.load() ? ", interrupted" : "");
  std::fputs(describeLevels(levels.summary(), !o.roundTrip).c_str(), stdout);
  if (tripMeter) {
    const std::optional<RoundTrip> trip = tripMeter->result();
    if (!trip) {
      return fail("round trip: no click came back; is Pd running a patch with keltap~ " + o.id + " and kelfeed~ " +
                      o.id + ", opened after kelbra-host took the identifier?",
                  kNoEcho);
    }
    const double ms = 1000.0 / sampleRate;
    std::printf("round trip: %lld frames (%.1f ms), %d of %d clicks came back (%lld to %lld frames), "
                "echo at %+.1f dB\n",
                static_cast<long long>(trip->lag), static_cast<double>(trip->lag) * ms, trip->echoes, trip->clicks,
                static_cast<long long>(trip->minLag), static_cast<long long>(trip->maxLag), decibels(trip->gain));
    std::printf("configured latency: %d frames each way, 2 x %d = %d frames (%.1f ms) expected\n", latencyFrames,
                latencyFrames, 2 * latencyFrames, 2.0 * latencyFrames * ms);
  }
  return kOk;
}

}  // namespace
}  // namespace kelbrahost

int main(int argc, char** argv) {
  using namespace kelbrahost;
  try {
    HostOptions options;
    std::string message;
    switch (parseOptions(argc, argv, options, message)) {
      case ParseOutcome::done:
        std::fputs(message.c_str(), stdout);
        return kOk;
      case ParseOutcome::failed:
        return fail(message, kUsage);
      case ParseOutcome::run:
        break;
    }
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    return run(options);
  } catch (const std::exception& e) {
    return fail(std::string("unexpected failure: ") + e.what());
  } catch (...) {
    return fail("unexpected failure");
  }
}
