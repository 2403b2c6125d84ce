#include "tests/dnd/xvfb_display.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace dnd_test {

std::string XvfbDisplay::findProgram() {
  const char* path = std::getenv("PATH");
  const std::string paths = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = paths.find(':', start);
    const std::string dir = paths.substr(start, end == std::string::npos ? std::string::npos : end - start);
    const std::string candidate = (dir.empty() ? "." : dir) + "/Xvfb";
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    if (end == std::string::npos) return {};
    start = end + 1;
  }
}

XvfbDisplay::XvfbDisplay() {
  const std::string program = findProgram();
  if (program.empty()) {
    error_ = "Xvfb not found";
    return;
  }
  int fds[2];
  if (pipe(fds) != 0) {
    error_ = "pipe failed";
    return;
  }
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    const int devnull = open("/dev/null", O_RDWR);
    if (devnull >= 0) {
      dup2(devnull, 1);
      dup2(devnull, 2);
    }
    // -noreset: a server reset, each time a test's last client goes, would
    // refuse the next test's clients for a while.
    execl(program.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
          "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  if (pid_ < 0) {
    close(fds[0]);
    error_ = "fork failed";
    return;
  }
  // Xvfb writes the display number and a newline once it takes clients.
  std::string number;
  pollfd waiter{fds[0], POLLIN, 0};
  for (int tries = 0; tries < 100 && number.find('\n') == std::string::npos; ++tries) {
    if (poll(&waiter, 1, 100) <= 0) continue;
    char buffer[32];
    const ssize_t n = read(fds[0], buffer, sizeof(buffer));
    if (n <= 0) break;
    number.append(buffer, static_cast<std::size_t>(n));
  }
  close(fds[0]);
  const std::size_t newline = number.find('\n');
  if (newline == std::string::npos || newline == 0) {
    error_ = "Xvfb reported no display";
    return;
  }
  name_ = ":" + number.substr(0, newline);
  setenv("DISPLAY", name_.c_str(), 1);
}

XvfbDisplay::~XvfbDisplay() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  int status = 0;
  for (int i = 0; i < 50; ++i) {
    if (waitpid(pid_, &status, WNOHANG) == pid_) return;
    usleep(20000);
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, &status, 0);
}

bool toolsRequired() {
  const char* ci = std::getenv("CI");
  return ci && std::strcmp(ci, "true") == 0;
}

}  // namespace dnd_test
