#include "tests/dnd/source_run.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace dnd_test {
namespace {

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace

SourceRun runSource(const std::vector<std::string>& arguments, const std::function<void()>& pump) {
  SourceRun run;
  int fds[2];
  if (pipe(fds) != 0) return run;
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], 1);
    close(fds[0]);
    close(fds[1]);
    std::vector<char*> argv{const_cast<char*>(KELBRA_XDND_SOURCE)};
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(KELBRA_XDND_SOURCE, argv.data());
    _exit(127);
  }
  close(fds[1]);
  if (pid < 0) {
    close(fds[0]);
    return run;
  }
  fcntl(fds[0], F_SETFL, O_NONBLOCK);
  std::string output;
  int status = 0;
  bool exited = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (std::chrono::steady_clock::now() < deadline) {
    pump();
    char buffer[512];
    ssize_t n = 0;
    while ((n = read(fds[0], buffer, sizeof(buffer))) > 0) output.append(buffer, static_cast<std::size_t>(n));
    if (!exited && waitpid(pid, &status, WNOHANG) == pid) exited = true;
    if (exited && n == 0) break;  // gone, and its output read to the end
    pollfd fd{fds[0], POLLIN, 0};
    poll(&fd, 1, 2);
  }
  if (!exited) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  close(fds[0]);
  // Whatever the source's last messages caused.
  for (int i = 0; i < 5; ++i) pump();
  run.exitCode = exited && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.lines = splitLines(output);
  return run;
}

std::vector<std::string> linesStarting(const SourceRun& run, const std::string& prefix) {
  std::vector<std::string> found;
  for (const auto& line : run.lines) {
    if (line.rfind(prefix, 0) == 0) found.push_back(line);
  }
  return found;
}

void expectCopyAnswers(const SourceRun& run, std::size_t positions, bool dropped) {
  EXPECT_EQ(run.exitCode, 0) << testing::PrintToString(run.lines);
  const auto statuses = linesStarting(run, "status ");
  EXPECT_EQ(statuses.size(), positions) << testing::PrintToString(run.lines);
  for (const auto& line : statuses) {
    EXPECT_NE(line.find(" accept=1 action=XdndActionCopy"), std::string::npos) << line;
  }
  const auto finished = linesStarting(run, "finished ");
  EXPECT_EQ(finished.size(), dropped ? 1u : 0u);
  for (const auto& line : finished) {
    EXPECT_NE(line.find(" accepted=1 action=XdndActionCopy"), std::string::npos) << line;
  }
  for (const auto& line : run.lines) EXPECT_EQ(line.find("Move"), std::string::npos) << line;
}

}  // namespace dnd_test
