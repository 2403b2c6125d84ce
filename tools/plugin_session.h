// One plug-in instance as kelbra-host drives it: loading with clear refusals,
// the identity report, and the host's side of start, settings and stop.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/harness/host_harness.h"

namespace kelbrahost {

class PluginSession {
 public:
  PluginSession();
  ~PluginSession();
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  // Loads the library and creates one instance; false with one line in error().
  bool load(const std::string& path);
  const std::string& error() const { return error_; }

  harness::Instance& instance() { return *instance_; }
  harness::Host& host() { return host_; }
  bool hasEditor() const;

  // Identity and parameters, one per line.
  std::string describe();

  // effOpen, sample rate, block size; nothing runs yet.
  void prepare(double sampleRate, int blockSize);
  void start();  // effMainsChanged on: restarts the rings
  void stop();   // effMainsChanged off

 private:
  harness::Host host_;
  std::unique_ptr<harness::Library> library_;
  std::unique_ptr<harness::Instance> instance_;
  std::string error_;
  bool running_ = false;
};

// Where kelbra.so is looked for when --plugin is not given, in order.
std::vector<std::string> defaultPluginCandidates();
// The first candidate that exists, or empty.
std::string findDefaultPlugin();

}  // namespace kelbrahost
