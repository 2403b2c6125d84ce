// A plug-in instance for editor tests: an AudioEffectX with a recording host
// callback whose answers the test sets.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "plugin/audio_effect_x.h"

namespace toolkit_test {

struct HostLog {
  struct Call {
    std::int32_t opcode;
    std::int32_t index;
    std::intptr_t value;
    std::string text;
  };
  std::vector<Call> calls;
  std::function<std::intptr_t(const Call&)> answer;
  int count(std::int32_t opcode) const {
    int n = 0;
    for (const Call& c : calls) n += c.opcode == opcode ? 1 : 0;
    return n;
  }
};

inline HostLog* currentHost = nullptr;

inline std::intptr_t recordingHost(vst::AEffect*, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                   void* ptr, float) {
  if (!currentHost) return 0;
  HostLog::Call call{opcode, index, value, ""};
  if (opcode == vst::audioMasterCanDo && ptr) call.text = static_cast<const char*>(ptr);
  currentHost->calls.push_back(call);
  if (opcode == vst::audioMasterVersion) return vst::kVstVersion;
  return currentHost->answer ? currentHost->answer(call) : 0;
}

class TestEffect : public AudioEffectX {
 public:
  TestEffect() : AudioEffectX(recordingHost, 1, 1) {}
  void processReplacing(float**, float**, std::int32_t) override {}
};

}  // namespace toolkit_test
