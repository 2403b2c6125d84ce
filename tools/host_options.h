// kelbra-host's command line.
#pragma once

#include <optional>
#include <string>

namespace kelbrahost {

struct HostOptions {
  std::string plugin;  // empty: look for kelbra.so in the usual places
  bool info = false;
  bool editor = false;
  bool roundTrip = false;
  bool fast = false;  // process as fast as possible instead of at real-time pace
  bool quiet = false;
  std::string id;
  std::optional<float> send, receive, dry;
  std::optional<int> latencyFrames;
  std::string input;
  std::string signal = "sine";
  double frequency = 440.0;
  double levelDb = -12.0;
  std::optional<double> seconds;
  std::string output;
  std::string saveInput;
  int sampleRate = 44100;
  int blockSize = 256;
};

enum class ParseOutcome { run, done, failed };

// Parses argv. `done` after --help or --version (text in `message`, exit 0);
// `failed` with one line in `message` (exit 2).
ParseOutcome parseOptions(int argc, const char* const* argv, HostOptions& options, std::string& message);

// The latency parameter's value for a frame count (its index 0..5), or -1.
int latencyIndexFor(int frames);

}  // namespace kelbrahost
