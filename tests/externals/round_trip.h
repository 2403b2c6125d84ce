// Finds the delay and gain by which a known input reappears in an output, for
// the end-to-end tests: per window, the lag of the largest normalised
// cross-correlation, then the least-squares gain at that lag.
#pragma once

#include <cstddef>
#include <vector>

namespace pdtest {

struct EchoFit {
  std::size_t lag = 0;     // frames by which the echo trails the input
  double gain = 0;         // echo amplitude relative to the input
  double correlation = 0;  // normalised, 1 for a perfect echo
};

// Fits `echo[t] ~ gain * input[t - lag]` over [start, start + window) for the
// lags in [minLag, maxLag]. The caller keeps start >= maxLag and the window
// inside both signals.
EchoFit fitEcho(const std::vector<float>& input, const std::vector<float>& echo, std::size_t start,
                std::size_t window, std::size_t minLag, std::size_t maxLag);

}  // namespace pdtest
