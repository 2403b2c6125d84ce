// Child-process plumbing for the Pd tests.
#include "tests/externals/pd_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace pdtest {

std::string findPd() {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/pd";
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

bool toolsRequired() {
  const char* ci = std::getenv("CI");
  return ci && std::strcmp(ci, "true") == 0;
}

PdProcess::PdProcess(const std::string& patch, const std::vector<std::string>& extra,
                     const std::string& preload) {
  const std::string pd = findPd();
  if (pd.empty()) return;
  std::vector<std::string> args = {pd, "-nogui", "-nosound", "-nrt", "-noprefs", "-stderr",
                                   "-path", KELBRA_PD_DIR};
  args.insert(args.end(), extra.begin(), extra.end());
  args.push_back("-open");
  args.push_back(patch);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  // Built before fork: the child of a threaded process must not allocate.
  std::string libraries;
#ifdef KELBRA_PD_PRELOAD
  // The externals carry sanitizer instrumentation and pd does not, so the
  // runtime must come first; pd's own allocations at exit are not ours.
  libraries = KELBRA_PD_PRELOAD;
#endif
  if (!preload.empty()) libraries += (libraries.empty() ? "" : ":") + preload;
  std::vector<std::string> environment;
  for (char** e = environ; *e; ++e) {
    if (std::strncmp(*e, "LD_PRELOAD=", 11) != 0 && std::strncmp(*e, "ASAN_OPTIONS=", 13) != 0)
      environment.emplace_back(*e);
  }
  if (!libraries.empty()) environment.push_back("LD_PRELOAD=" + libraries);
#ifdef KELBRA_PD_PRELOAD
  environment.emplace_back("ASAN_OPTIONS=detect_leaks=0");
#endif
  std::vector<char*> envp;
  for (auto& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);

  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return;
  }
  if (pid == 0) {
    setpgid(0, 0);
    dup2(fds[1], STDOUT_FILENO);
    dup2(fds[1], STDERR_FILENO);
    const int devnull = open("/dev/null", O_RDONLY);
    if (devnull >= 0) dup2(devnull, STDIN_FILENO);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  setpgid(pid, pid);  // both sides set it, whichever runs first
  close(fds[1]);
  pid_ = pid;
  reader_ = std::thread([this, fd = fds[0]] { readLoop(fd); });
}

PdProcess::~PdProcess() {
  kill();
  if (reader_.joinable()) reader_.join();
}

void PdProcess::readLoop(int fd) {
  char buffer[4096];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    std::lock_guard lock(mutex_);
    console_.append(buffer, static_cast<std::size_t>(got));
    changed_.notify_all();
  }
  close(fd);
  std::lock_guard lock(mutex_);
  eof_ = true;
  changed_.notify_all();
}

bool PdProcess::waitFor(const std::string& text, std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout,
                           [&] { return eof_ || console_.find(text) != std::string::npos; }) &&
         console_.find(text) != std::string::npos;
}

int PdProcess::waitExit(std::chrono::milliseconds timeout) {
  if (pid_ <= 0) return -1;
  if (reaped_) return status_;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      reaped_ = true;
      status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      if (reader_.joinable()) reader_.join();
      return status_;
    }
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void PdProcess::kill() {
  if (pid_ <= 0 || reaped_) return;
  ::kill(-pid_, SIGKILL);
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  reaped_ = true;
  status_ = 128 + SIGKILL;
}

std::string PdProcess::console() const {
  std::lock_guard lock(mutex_);
  return console_;
}

std::vector<std::string> lines(const std::string& console) {
  std::vector<std::string> out;
  std::stringstream in(console);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

int countLines(const std::string& console, const std::string& text) {
  int n = 0;
  for (const auto& line : lines(console))
    if (line.find(text) != std::string::npos) ++n;
  return n;
}

}  // namespace pdtest
