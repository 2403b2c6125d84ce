// Runs the test XDND source program while the caller's pump serves the
// target's events, as a host's idle calls would, and collects its answers.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace dnd_test {

struct SourceRun {
  int exitCode = -1;  // -1: killed after the time limit
  std::vector<std::string> lines;
};

SourceRun runSource(const std::vector<std::string>& arguments, const std::function<void()>& pump);
// The lines of a run that start with prefix ("status ", "finished ", ...).
std::vector<std::string> linesStarting(const SourceRun& run, const std::string& prefix);
// Checks what a target answered while a drag was over it: every position and
// the drop (when dropped) answered with a copy, and no move named anywhere.
void expectCopyAnswers(const SourceRun& run, std::size_t positions, bool dropped);

}  // namespace dnd_test
