// Parameter indices (also the editor's control tags) and the latency choices.
#pragma once

#include <cstdint>
#include <optional>

enum ParameterIndex : std::int32_t {
  kParamSend = 0,
  kParamReceive = 1,
  kParamDry = 2,
  kParamLatency = 3,
  kNumParams = 4,
  kTagIdentifier = 5,  // editor tag only
  kParamResync = 6,    // accepted by setParameter only: restarts the rings
};

// Frames of latency for a buffer-choice index, or nothing when the value does
// not truncate to 0..5 (NaN, infinities and huge values included).
std::optional<std::int32_t> latencyChoiceToFrames(float choice) noexcept;
