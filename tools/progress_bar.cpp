// Progress on stderr, redrawn at most ten times a second.
#include "tools/progress_bar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace kelbrahost {

ProgressBar::ProgressBar(double totalSeconds, bool enabled)
    : total_(totalSeconds), enabled_(enabled && isatty(STDERR_FILENO) == 1) {}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::update(double seconds) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (drawn_ && now - last_ < std::chrono::milliseconds(100)) return;
  last_ = now;
  drawn_ = true;
  if (total_ > 0.0) {
    constexpr int kWidth = 40;
    const double fraction = std::clamp(seconds / total_, 0.0, 1.0);
    const int filled = static_cast<int>(fraction * kWidth);
    const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(kWidth - filled), '.');
    std::fprintf(stderr, "\r[%s] %6.1f / %.1f s", bar.c_str(), seconds, total_);
  } else {
    std::fprintf(stderr, "\r%8.1f s (Ctrl-C or close the window to stop)", seconds);
  }
  std::fflush(stderr);
}

void ProgressBar::finish() {
  if (!enabled_ || !drawn_) return;
  std::fputc('\n', stderr);
  drawn_ = false;
}

}  // namespace kelbrahost
