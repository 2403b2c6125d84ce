// A small VST 2.4 host for tests and tools: loads a plug-in library with
// dlopen, creates instances through its entry point with a recording host
// callback, and drives them only through the effect record.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "plugin/vst2_abi.h"

namespace harness {

// One call the plug-in made to its host.
struct HostCall {
  std::int32_t opcode;
  std::int32_t index;
  std::intptr_t value;
  float opt;
  std::string text;  // the ptr argument as text, for the requests that carry one
};

// Answers and records the plug-in's calls. One Host may serve several instances.
class Host {
 public:
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  std::vector<HostCall> calls() const;
  std::vector<HostCall> callsOf(std::int32_t opcode) const;
  void clearCalls();

  // The answer to audioMasterVersion (0 makes the plug-in refuse to start).
  std::intptr_t versionAnswer = vst::kVstVersion;
  // Optional answer for any other request; the default answers 0 (and 1 to
  // audioMasterBeginEdit / EndEdit / Automate).
  std::function<std::intptr_t(const HostCall&, void* ptr)> answer;

  static std::intptr_t callback(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                std::intptr_t value, void* ptr, float opt);

 private:
  friend class Instance;
  std::intptr_t handle(vst::AEffect* effect, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                       void* ptr, float opt);
  mutable std::mutex mutex_;
  std::vector<HostCall> calls_;
};

// A loaded plug-in library.
class Library {
 public:
  explicit Library(const std::string& path);
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  const std::string& error() const { return error_; }
  using Entry = vst::AEffect* (*)(vst::audioMasterCallback);
  // The entry point under `name` ("VSTPluginMain" or "main"), or null.
  Entry entry(const char* name = "VSTPluginMain") const;

 private:
  void* handle_ = nullptr;
  std::string error_;
};

// One plug-in instance, closed with effClose when destroyed.
class Instance {
 public:
  Instance(const Library& library, Host& host, const char* entryName = "VSTPluginMain");
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  bool ok() const { return effect_ != nullptr; }
  vst::AEffect* effect() const { return effect_; }

  std::intptr_t dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                         void* ptr = nullptr, float opt = 0.0f);
  // A text answer (names, displays, strings) read from a guarded 256-byte buffer.
  std::string text(std::int32_t opcode, std::int32_t index = 0);
  void setParameter(std::int32_t index, float value);
  float getParameter(std::int32_t index);
  // processReplacing on two channels; inputs and outputs may be the same arrays.
  void process(const float* in1, const float* in2, float* out1, float* out2, std::int32_t frames);
  std::vector<unsigned char> chunk();
  bool setChunk(const std::vector<unsigned char>& bytes);
  // What a host restoring a project does: the chunk with the identifier, then
  // the program selection.
  void restoreIdentifier(const std::string& id);
  // effClose now (the destructor then does nothing).
  std::intptr_t close();

 private:
  Host& host_;
  vst::AEffect* effect_ = nullptr;
};

// Path of the built kelbra.so: $KELBRA_PLUGIN, else the path compiled in.
std::string pluginPath();

}  // namespace harness
