// Patch files for the Pd tests.
#include "tests/externals/pd_patch.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace pdtest {

PatchFolder::PatchFolder() {
  char templ[] = "/tmp/kelbra-pd-XXXXXX";
  if (mkdtemp(templ)) path_ = templ;
}

PatchFolder::~PatchFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::string PatchFolder::write(const std::string& name, const std::vector<std::string>& lines) const {
  const std::string file = path_ + "/" + name;
  std::ofstream out(file);
  out << "#N canvas 0 0 800 600 12;\n";
  for (const auto& line : lines) out << line << "\n";
  return file;
}

std::vector<std::string> runBlocksThenQuit(int first, int blocks) {
  // bang~ fires once after every DSP block, before the next one starts, so
  // the N-th bang stops DSP after exactly N blocks.
  auto at = [first](int k) { return std::to_string(first + k); };
  return {
      "#X obj 600 10 loadbang;",                                   // +0
      "#X msg 600 40 \\; pd dsp 1;",                               // +1
      "#X obj 600 70 bang~;",                                      // +2
      "#X obj 600 100 f 1;",                                       // +3
      "#X obj 650 100 + 1;",                                       // +4
      "#X obj 600 130 sel " + std::to_string(blocks) + ";",        // +5
      "#X msg 600 160 \\; pd dsp 0 \\; pd quit;",                  // +6
      "#X connect " + at(0) + " 0 " + at(1) + " 0;",
      "#X connect " + at(2) + " 0 " + at(3) + " 0;",
      "#X connect " + at(3) + " 0 " + at(4) + " 0;",
      "#X connect " + at(4) + " 0 " + at(3) + " 1;",
      "#X connect " + at(3) + " 0 " + at(5) + " 0;",
      "#X connect " + at(5) + " 0 " + at(6) + " 0;",
  };
}

}  // namespace pdtest
