#include "plugin/parameters.h"

#include "channel/channel_layout.h"
#include "plugin/float_conversion.h"

std::optional<std::int32_t> latencyChoiceToFrames(float choice) noexcept {
  const auto index = truncateToInt32(choice);
  if (!index || *index < 0 || *index > 5) return std::nullopt;
  return channel::kLatencyChoices[*index];
}
