// Echo fitting for the end-to-end tests.
#include "tests/externals/round_trip.h"

#include <cmath>

namespace pdtest {

EchoFit fitEcho(const std::vector<float>& input, const std::vector<float>& echo, std::size_t start,
                std::size_t window, std::size_t minLag, std::size_t maxLag) {
  EchoFit best;
  double echoEnergy = 0;
  for (std::size_t t = start; t < start + window; ++t) echoEnergy += double(echo[t]) * echo[t];
  for (std::size_t lag = minLag; lag <= maxLag; ++lag) {
    double cross = 0;
    double inputEnergy = 0;
    for (std::size_t t = start; t < start + window; ++t) {
      const double x = input[t - lag];
      cross += x * echo[t];
      inputEnergy += x * x;
    }
    if (inputEnergy <= 0 || echoEnergy <= 0) continue;
    const double correlation = cross / std::sqrt(inputEnergy * echoEnergy);
    if (correlation > best.correlation) best = {lag, cross / inputEnergy, correlation};
  }
  return best;
}

}  // namespace pdtest
