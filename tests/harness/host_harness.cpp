#include "tests/harness/host_harness.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <map>

namespace harness {
namespace {

// Which Host serves which record. The version query arrives before the record
// exists (effect = null); it goes to the Host creating on this thread.
std::mutex gRoutesMutex;
std::map<vst::AEffect*, Host*> gRoutes;
thread_local Host* tCreatingHost = nullptr;

bool carriesText(std::int32_t opcode) {
  return opcode == vst::audioMasterCanDo || opcode == vst::audioMasterGetChunkFile;
}

}  // namespace

Host::Host() = default;

Host::~Host() {
  std::lock_guard lock(gRoutesMutex);
  for (auto it = gRoutes.begin(); it != gRoutes.end();) {
    it = it->second == this ? gRoutes.erase(it) : std::next(it);
  }
}

std::intptr_t Host::callback(vst::AEffect* effect, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                             void* ptr, float opt) {
  Host* host = nullptr;
  if (effect) {
    std::lock_guard lock(gRoutesMutex);
    const auto it = gRoutes.find(effect);
    if (it != gRoutes.end()) host = it->second;
  }
  if (!host) host = tCreatingHost;
  if (!host) return opcode == vst::audioMasterVersion ? vst::kVstVersion : 0;
  return host->handle(effect, opcode, index, value, ptr, opt);
}

std::intptr_t Host::handle(vst::AEffect*, std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                           float opt) {
  HostCall call{opcode, index, value, opt, {}};
  if (ptr && carriesText(opcode)) call.text = static_cast<const char*>(ptr);
  {
    std::lock_guard lock(mutex_);
    calls_.push_back(call);
  }
  if (opcode == vst::audioMasterVersion) return versionAnswer;
  if (answer) return answer(call, ptr);
  switch (opcode) {
    case vst::audioMasterAutomate:
    case vst::audioMasterBeginEdit:
    case vst::audioMasterEndEdit: return 1;
    default: return 0;
  }
}

std::vector<HostCall> Host::calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<HostCall> Host::callsOf(std::int32_t opcode) const {
  std::vector<HostCall> out;
  for (const HostCall& c : calls()) {
    if (c.opcode == opcode) out.push_back(c);
  }
  return out;
}

void Host::clearCalls() {
  std::lock_guard lock(mutex_);
  calls_.clear();
}

Library::Library(const std::string& path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* message = dlerror();
    error_ = message ? message : "cannot load " + path;
  }
}

Library::~Library() {
  if (handle_) dlclose(handle_);
}

Library::Entry Library::entry(const char* name) const {
  if (!handle_) return nullptr;
  return reinterpret_cast<Entry>(dlsym(handle_, name));
}

Instance::Instance(const Library& library, Host& host, const char* entryName) : host_(host) {
  const Library::Entry entry = library.entry(entryName);
  if (!entry) return;
  tCreatingHost = &host;
  vst::AEffect* effect = entry(&Host::callback);
  tCreatingHost = nullptr;
  if (!effect || effect->magic != vst::kEffectMagic) return;
  {
    std::lock_guard lock(gRoutesMutex);
    gRoutes[effect] = &host;
  }
  effect_ = effect;
}

Instance::~Instance() { close(); }

std::intptr_t Instance::close() {
  if (!effect_) return 0;
  const std::intptr_t answer = effect_->dispatcher(effect_, vst::effClose, 0, 0, nullptr, 0.0f);
  std::lock_guard lock(gRoutesMutex);
  gRoutes.erase(effect_);
  effect_ = nullptr;
  return answer;
}

std::intptr_t Instance::dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                 float opt) {
  return effect_ ? effect_->dispatcher(effect_, opcode, index, value, ptr, opt) : 0;
}

std::string Instance::text(std::int32_t opcode, std::int32_t index) {
  char buffer[256];
  std::memset(buffer, 0, sizeof buffer);
  dispatch(opcode, index, 0, buffer);
  buffer[sizeof buffer - 1] = 0;
  return buffer;
}

void Instance::setParameter(std::int32_t index, float value) {
  if (effect_) effect_->setParameter(effect_, index, value);
}

float Instance::getParameter(std::int32_t index) { return effect_ ? effect_->getParameter(effect_, index) : 0.0f; }

void Instance::process(const float* in1, const float* in2, float* out1, float* out2, std::int32_t frames) {
  if (!effect_) return;
  float* inputs[2] = {const_cast<float*>(in1), const_cast<float*>(in2)};
  float* outputs[2] = {out1, out2};
  effect_->processReplacing(effect_, inputs, outputs, frames);
}

std::vector<unsigned char> Instance::chunk() {
  void* data = nullptr;
  const std::intptr_t size = dispatch(vst::effGetChunk, 0, 0, &data);
  if (!data || size <= 0) return {};
  const auto* bytes = static_cast<const unsigned char*>(data);
  return {bytes, bytes + size};
}

bool Instance::setChunk(const std::vector<unsigned char>& bytes) {
  std::vector<unsigned char> copy = bytes;  // hosts hand over their own memory
  return dispatch(vst::effSetChunk, 0, static_cast<std::intptr_t>(copy.size()), copy.data()) == 1;
}

void Instance::restoreIdentifier(const std::string& id) {
  std::vector<unsigned char> record = chunk();
  if (record.size() != 80) return;
  std::memset(record.data() + 20, 0, 33);
  std::memcpy(record.data() + 20, id.data(), id.size() < 32 ? id.size() : 32);
  setChunk(record);
  dispatch(vst::effSetProgram, 0, 0);
}

std::string pluginPath() {
  if (const char* path = std::getenv("KELBRA_PLUGIN")) return path;
#ifdef KELBRA_PLUGIN_PATH
  return KELBRA_PLUGIN_PATH;
#else
  return "kelbra.so";
#endif
}

}  // namespace harness
