// A one-line progress bar on a terminal; silent when stderr is not one.
#pragma once

#include <chrono>

namespace kelbrahost {

class ProgressBar {
 public:
  // `totalSeconds` <= 0: a run without a known end (only the time is shown).
  ProgressBar(double totalSeconds, bool enabled);
  ~ProgressBar();
  void update(double seconds);
  void finish();

 private:
  double total_;
  bool enabled_;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace kelbrahost
