// Pd patches written for one test into a private folder that goes away with it.
#pragma once

#include <string>
#include <vector>

namespace pdtest {

class PatchFolder {
 public:
  PatchFolder();
  ~PatchFolder();
  PatchFolder(const PatchFolder&) = delete;
  PatchFolder& operator=(const PatchFolder&) = delete;

  // Writes a patch whose lines ("#X obj ...;") follow the canvas header, and
  // answers its path.
  std::string write(const std::string& name, const std::vector<std::string>& lines) const;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Lines that switch DSP on at load, let `blocks` DSP blocks of 64 frames run,
// switch DSP off and quit. Object numbers start at `first`; the lines refer to
// no other object.
std::vector<std::string> runBlocksThenQuit(int first, int blocks);

}  // namespace pdtest
