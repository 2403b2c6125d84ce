// An Xvfb of the test's own on a display it picks with -displayfd; DISPLAY
// points at it while it runs, and it is stopped and reaped at the end.
#pragma once

#include <sys/types.h>

#include <string>

namespace dnd_test {

class XvfbDisplay {
 public:
  // Empty when no Xvfb program is on PATH.
  static std::string findProgram();
  XvfbDisplay();
  ~XvfbDisplay();
  XvfbDisplay(const XvfbDisplay&) = delete;
  XvfbDisplay& operator=(const XvfbDisplay&) = delete;

  bool running() const { return pid_ > 0 && !name_.empty(); }
  const std::string& error() const { return error_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
  std::string error_;
};

// CI=true: a missing tool fails the suite instead of skipping it.
bool toolsRequired();

}  // namespace dnd_test
