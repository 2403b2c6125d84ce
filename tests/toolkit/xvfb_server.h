// An Xvfb of the test's own, on a display it picks with -displayfd; DISPLAY
// points at it while it runs.
#pragma once

#include <sys/types.h>

#include <string>

namespace toolkit_test {

class XvfbServer {
 public:
  // Empty when the Xvfb program cannot be found on PATH.
  static std::string findProgram();
  XvfbServer();
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  bool running() const { return pid_ > 0 && !display_.empty(); }
  const std::string& display() const { return display_; }
  const std::string& error() const { return error_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
  std::string error_;
};

// CI=true: missing tools are failures, not skips.
bool toolsRequired();

}  // namespace toolkit_test
