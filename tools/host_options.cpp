// Command-line parsing with CLI11.
#include "tools/host_options.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <sstream>

namespace kelbrahost {

int latencyIndexFor(int frames) {
  static constexpr int kChoices[] = {256, 512, 1024, 2048, 4096, 8192};
  for (int i = 0; i < 6; ++i) {
    if (kChoices[i] == frames) return i;
  }
  return -1;
}

namespace {

// A number (the whole text) within [lo, hi]. Used instead of CLI::Range, which lets NaN
// through (every comparison with it is false) and accepts trailing junk; the
// values end up in float-to-integer conversions.
CLI::Validator numberIn(double lo, double hi, const std::string& what) {
  return CLI::Validator(
      [lo, hi, what](std::string& text) -> std::string {
        try {
          std::size_t used = 0;
          const double value = std::stod(text, &used);
          if (used == text.size() && value >= lo && value <= hi) return {};
        } catch (const std::exception&) {
        }
        return "must be " + what;
      },
      "NUMBER");
}

}  // namespace

ParseOutcome parseOptions(int argc, const char* const* argv, HostOptions& o, std::string& message) {
  CLI::App app{"kelbra-host: runs audio through the kelbra VST 2.4 plug-in at real-time pace, "
               "so a live Pd patch can process it without a DAW."};
  app.set_version_flag("--version", "kelbra-host 1.0.0");
  app.add_option("--plugin", o.plugin, "The plug-in library (default: kelbra.so beside this program, "
                                       "in ../lib/vst or ~/.vst)");
  app.add_flag("--info", o.info, "Print the plug-in's identity and parameters, then stop");
  app.add_flag("--editor", o.editor, "Open the plug-in's editor in a window of its own");
  auto* idOption = app.add_option("--id", o.id, "Connection identifier, as a project restores it (1 to 32 characters)")
      ->check([](const std::string& id) -> std::string {
        if (id.empty() || id.size() > 32) return "the identifier must be 1 to 32 characters";
        return {};
      });
  auto gain = numberIn(0.0, 10.0, "a gain from 0 to 10 (1.0 = 100%)");
  app.add_option("--send", o.send, "Send gain into Pd (1.0 = 100%)")->check(gain);
  app.add_option("--receive", o.receive, "Receive gain from Pd (1.0 = 100%)")->check(gain);
  app.add_option("--dry", o.dry, "Dry gain, the untouched input (1.0 = 100%)")->check(gain);
  app.add_option("--latency", o.latencyFrames, "Ring latency in frames: 256, 512, 1024, 2048, 4096 or 8192")
      ->check(CLI::IsMember({256, 512, 1024, 2048, 4096, 8192}));
  auto* input = app.add_option("--input", o.input, "Sound file to play through the plug-in");
  auto* signal = app.add_option("--signal", o.signal, "Generated input: sine, noise, clicks or silence")
                     ->check(CLI::IsMember({"sine", "noise", "clicks", "silence"}));
  app.add_option("--frequency", o.frequency, "Sine frequency in Hz")
      ->check(numberIn(1.0, 20000.0, "a frequency from 1 to 20000 Hz"));
  app.add_option("--level", o.levelDb, "Peak level of the generated signal in dBFS")
      ->check(numberIn(-96.0, 0.0, "a level from -96 to 0 dBFS"));
  app.add_option("--seconds", o.seconds, "How long to run (default: the file's length, else 3 s)")
      ->check(numberIn(0.01, 86400.0, "a duration from 0.01 to 86400 s"));
  app.add_option("--output", o.output, "Sound file for the plug-in's output (.wav, .flac, .aiff, .ogg)");
  app.add_option("--save-input", o.saveInput, "Sound file for the input as it was sent");
  app.add_option("--sample-rate", o.sampleRate, "Sample rate of a generated signal")
      ->check(CLI::Range(8000, 192000));
  app.add_option("--block-size", o.blockSize, "Frames per processing block")->check(CLI::Range(16, 8192));
  auto* trip = app.add_flag("--round-trip", o.roundTrip,
                            "Send clicks through plug-in and Pd and report the measured round trip "
                            "(dry is set to 0)");
  app.add_flag("--fast", o.fast, "Do not wait for real time (Pd cannot keep up: offline use only)");
  app.add_flag("--quiet", o.quiet, "No progress bar");
  input->excludes(signal);
  trip->excludes(input);
  trip->excludes(signal);
  trip->needs(idOption);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    message = app.help();
    return ParseOutcome::done;
  } catch (const CLI::CallForVersion&) {
    message = "kelbra-host 1.0.0\n";
    return ParseOutcome::done;
  } catch (const CLI::ParseError& e) {
    std::string text = e.what();
    for (char& c : text) {
      if (c == '\n') c = ' ';
    }
    message = text + " (see --help)";
    return ParseOutcome::failed;
  }
  return ParseOutcome::run;
}

}  // namespace kelbrahost
