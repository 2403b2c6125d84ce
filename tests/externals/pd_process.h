// Runs Debian's pd as a child process for a test and collects its console.
// The child gets its own process group, so stopping it also stops anything it
// started; the destructor always stops and reaps it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pdtest {

// Path of the pd program on PATH, or empty.
std::string findPd();

// Whether a missing pd fails the suite instead of skipping it.
bool toolsRequired();

class PdProcess {
 public:
  // Starts `pd -nogui -nosound -nrt -stderr -path <externals> <extra...> -open <patch>`,
  // with `preload` (a library path) preloaded into it when given.
  PdProcess(const std::string& patch, const std::vector<std::string>& extra = {},
            const std::string& preload = {});
  ~PdProcess();
  PdProcess(const PdProcess&) = delete;
  PdProcess& operator=(const PdProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // Waits until the console holds `text`; false on timeout or exit without it.
  bool waitFor(const std::string& text, std::chrono::milliseconds timeout);
  // Waits for pd to end by itself; its exit status, or -1 on timeout.
  int waitExit(std::chrono::milliseconds timeout);
  // SIGKILL to the process group, then reaps it.
  void kill();
  std::string console() const;

 private:
  void readLoop(int fd);

  pid_t pid_ = -1;
  int status_ = -1;
  bool reaped_ = false;
  std::thread reader_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::string console_;
  bool eof_ = false;
};

// Lines of `console` in order, without the trailing newline.
std::vector<std::string> lines(const std::string& console);
// How many lines of `console` contain `text`.
int countLines(const std::string& console, const std::string& text);

}  // namespace pdtest
