// Loading and driving the plug-in for kelbra-host.
#include "tools/plugin_session.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <system_error>

namespace kelbrahost {
namespace fs = std::filesystem;

namespace {

std::string fourCharacters(std::int32_t code) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto c = static_cast<unsigned char>((static_cast<std::uint32_t>(code) >> shift) & 0xFF);
    text += (c >= 32 && c < 127) ? static_cast<char>(c) : '?';
  }
  return text;
}

fs::path ownDirectory() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path{} : self.parent_path();
}

}  // namespace

std::vector<std::string> defaultPluginCandidates() {
  std::vector<std::string> out;
  const fs::path here = ownDirectory();
#ifdef KELBRA_HOST_BUILD_DIR
  // Run from the build tree: the plug-in built with it, never an older copy
  // installed in ~/.vst.
  std::error_code ec;
  if (!here.empty() && fs::equivalent(here, KELBRA_HOST_BUILD_DIR, ec)) out.push_back(KELBRA_BUILD_PLUGIN_PATH);
#endif
  if (!here.empty()) {
    out.push_back((here / "kelbra.so").string());
    out.push_back((here.parent_path() / "lib" / "vst" / "kelbra.so").string());
  }
  if (const char* home = std::getenv("HOME"); home && *home) out.push_back(std::string(home) + "/.vst/kelbra.so");
  out.push_back("/usr/local/lib/vst/kelbra.so");
  out.push_back("/usr/lib/vst/kelbra.so");
  return out;
}

std::string findDefaultPlugin() {
  for (const std::string& path : defaultPluginCandidates()) {
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) return path;
  }
  return {};
}

PluginSession::PluginSession() = default;

PluginSession::~PluginSession() {
  stop();
  instance_.reset();  // effClose before the library goes
  library_.reset();
}

bool PluginSession::load(const std::string& path) {
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    error_ = "no plug-in at " + path;
    return false;
  }
  if (!fs::is_regular_file(path, ec)) {
    error_ = path + " is not a plug-in library (not a regular file)";
    return false;
  }
  // dlopen needs a path with a slash to avoid the library search path.
  const std::string absolute = fs::absolute(path, ec).string();
  library_ = std::make_unique<harness::Library>(ec ? path : absolute);
  if (!library_->loaded()) {
    std::string reason = library_->error();
    for (char& c : reason) {
      if (c == '\n') c = ' ';
    }
    error_ = path + " is not a loadable library: " + reason;
    return false;
  }
  // Keep the library mapped until the process ends, as many hosts do: what it
  // leaves behind (caches of the display and font libraries it pulled in, exit
  // handlers) may refer to its code, which must not be unmapped under them.
  dlopen((ec ? path : absolute).c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  const char* entryName = library_->entry("VSTPluginMain") ? "VSTPluginMain" : "main";
  if (!library_->entry(entryName)) {
    error_ = path + " is not a VST 2.4 plug-in: it exports neither VSTPluginMain nor main";
    return false;
  }
  instance_ = std::make_unique<harness::Instance>(*library_, host_, entryName);
  if (!instance_->ok()) {
    error_ = path + " did not start: its entry point gave no VST 2.4 effect";
    return false;
  }
  const vst::AEffect* effect = instance_->effect();
  if (!(effect->flags & vst::effFlagsCanReplacing) || effect->numInputs < 1 || effect->numOutputs < 1) {
    error_ = path + " cannot be hosted here: it needs processReplacing with inputs and outputs";
    return false;
  }
  return true;
}

bool PluginSession::hasEditor() const {
  return instance_ && instance_->ok() && (instance_->effect()->flags & vst::effFlagsHasEditor);
}

std::string PluginSession::describe() {
  harness::Instance& in = *instance_;
  const vst::AEffect* effect = in.effect();
  std::ostringstream out;
  out << "effect:   " << in.text(vst::effGetEffectName) << "\n";
  out << "product:  " << in.text(vst::effGetProductString) << "\n";
  out << "vendor:   " << in.text(vst::effGetVendorString) << " (version " << in.dispatch(vst::effGetVendorVersion)
      << ")\n";
  out << "VST:      " << in.dispatch(vst::effGetVstVersion) << ", unique id '" << fourCharacters(effect->uniqueID)
      << "', " << effect->numInputs << " in, " << effect->numOutputs << " out, "
      << (effect->flags & vst::effFlagsHasEditor ? "with editor" : "no editor")
      << (effect->flags & vst::effFlagsProgramChunks ? ", state as chunk" : "") << "\n";
  out << "program:  " << in.text(vst::effGetProgramName) << " (" << effect->numPrograms << " in all)\n";
  out << "parameters:\n";
  for (std::int32_t i = 0; i < effect->numParams; ++i) {
    const std::string display = in.text(vst::effGetParamDisplay, i);
    const std::string label = in.text(vst::effGetParamLabel, i);
    char value[32];
    std::snprintf(value, sizeof value, "%g", static_cast<double>(in.getParameter(i)));
    out << "  " << i << "  " << in.text(vst::effGetParamName, i) << "  " << value;
    if (!display.empty()) out << "  (" << display << (label.empty() ? "" : " " + label) << ")";
    out << "\n";
  }
  return out.str();
}

void PluginSession::prepare(double sampleRate, int blockSize) {
  instance_->dispatch(vst::effOpen);
  instance_->dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  instance_->dispatch(vst::effSetBlockSize, 0, blockSize);
}

void PluginSession::start() {
  if (running_) return;
  instance_->dispatch(vst::effMainsChanged, 0, 1);
  running_ = true;
}

void PluginSession::stop() {
  if (!running_ || !instance_) return;
  instance_->dispatch(vst::effMainsChanged, 0, 0);
  running_ = false;
}

}  // namespace kelbrahost
