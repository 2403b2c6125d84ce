// kelbra-host as a user runs it: every refusal is one line on stderr and a
// non-zero exit (never a crash), and the audio that comes out is the audio
// the plug-in made.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/sound_file.h"

namespace {
namespace fs = std::filesystem;

struct Result {
  bool exited = false;
  int code = -1;
  std::string out, err;
};

std::string slurp(const fs::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class KelbraHostCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kelbra-host-cli-" + std::to_string(getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  Result run(const std::vector<std::string>& args) const {
    const fs::path out = dir_ / "stdout.txt", err = dir_ / "stderr.txt";
    const pid_t pid = fork();
    if (pid == 0) {
      const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      dup2(o, 1);
      dup2(e, 2);
      std::vector<char*> argv;
      std::string program = KELBRA_HOST;
      argv.push_back(program.data());
      std::vector<std::string> copy = args;
      for (std::string& a : copy) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Result r;
    r.exited = WIFEXITED(status);
    r.code = r.exited ? WEXITSTATUS(status) : -1;
    r.out = slurp(out);
    r.err = slurp(err);
    return r;
  }

  fs::path dir_;
};

struct Refusal {
  const char* name;
  std::vector<std::string> args;  // "@dir" becomes the test's folder
  int code;
  const char* mentions;
};

class KelbraHostRefusal : public KelbraHostCli, public ::testing::WithParamInterface<Refusal> {};

TEST_P(KelbraHostRefusal, OneLineAndNonZeroExit) {
  std::vector<std::string> args;
  for (const std::string& a : GetParam().args) args.push_back(a == "@dir" ? dir_.string() : a);
  {
    std::ofstream text(path("notes.txt"));
    text << "not a library\n";
  }
  for (std::string& a : args) {
    if (a == "@text") a = path("notes.txt");
  }
  const Result r = run(args);
  ASSERT_TRUE(r.exited) << "kelbra-host died on a signal; stderr: " << r.err;
  EXPECT_EQ(r.code, GetParam().code) << r.err;
  ASSERT_FALSE(r.err.empty());
  EXPECT_EQ(r.err.rfind("kelbra-host: ", 0), 0u) << r.err;
  EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "more than one line: " << r.err;
  EXPECT_NE(r.err.find(GetParam().mentions), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KelbraHostRefusal,
    ::testing::Values(
        Refusal{"UnknownOption", {"--bogus"}, 2, "--bogus"},
        Refusal{"BadLatency", {"--latency", "300"}, 2, "--latency"},
        Refusal{"MissingPlugin", {"--plugin", "/nonexistent/kelbra.so", "--info"}, 1, "no plug-in at"},
        Refusal{"PluginIsAFolder", {"--plugin", "@dir", "--info"}, 1, "not a regular file"},
        Refusal{"PluginIsText", {"--plugin", "@text", "--info"}, 1, "not a loadable library"},
        Refusal{"LibraryWithoutEntry", {"--plugin", NOT_A_PLUGIN, "--info"}, 1, "not a VST 2.4 plug-in"},
        Refusal{"EntryGivesNothing", {"--plugin", FAKE_NULL_PLUGIN, "--info"}, 1, "did not start"},
        Refusal{"NoEditor", {"--plugin", FAKE_PLUGIN, "--editor", "--fast"}, 1, "has no editor"},
        Refusal{"MissingInput", {"--input", "/nonexistent/in.wav", "--fast"}, 1, "cannot read"},
        Refusal{"InputIsText", {"--input", "@text", "--fast"}, 1, "cannot read"},
        Refusal{"UnknownOutputType", {"--output", "out.mp3", "--fast"}, 1, "cannot write"},
        Refusal{"OutputFolderMissing", {"--output", "/nonexistent/dir/out.wav", "--fast"}, 1, "cannot write"},
        // Nobody on the other end: the clicks never return.
        Refusal{"RoundTripWithoutPd", {"--round-trip", "--fast", "--quiet", "--latency", "256", "--seconds", "1",
                                       "--id", "kelbra-host-cli-lonely"}, 3, "no click came back"}),
    [](const ::testing::TestParamInfo<Refusal>& c) { return std::string(c.param.name); });

TEST_F(KelbraHostCli, InfoShowsTheBuiltPluginFoundByDefault) {
  const Result r = run({"--info"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find(std::string("plug-in:  ") + KELBRA_PLUGIN_FILE), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("effect:   kelbra"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("vendor:   tessel-works (version 1000)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("unique id 'kelb'"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  1  recieve  1  (100)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  3  latency  3"), std::string::npos) << r.out;
}

TEST_F(KelbraHostCli, WithoutAChannelTheOutputIsTheInputAtTheDryLevel) {
  const Result r = run({"--fast", "--quiet", "--signal", "noise", "--seconds", "0.5", "--dry", "0.5", "--block-size",
                        "100", "--save-input", path("in.wav"), "--output", path("out.wav")});
  ASSERT_EQ(r.code, 0) << r.err;
  kelbrahost::SoundFileReader in, out;
  ASSERT_TRUE(in.open(path("in.wav")));
  ASSERT_TRUE(out.open(path("out.wav")));
  ASSERT_EQ(in.frames(), 22050);
  ASSERT_EQ(out.frames(), 22050);
  std::vector<float> il(22050), ir(22050), ol(22050), orr(22050);
  ASSERT_EQ(in.read(il.data(), ir.data(), 22050), 22050);
  ASSERT_EQ(out.read(ol.data(), orr.data(), 22050), 22050);
  int nonzero = 0;
  for (std::size_t i = 0; i < 22050; ++i) {
    ASSERT_EQ(ol[i], 0.5f * il[i]) << i;
    ASSERT_EQ(orr[i], 0.5f * ir[i]) << i;
    nonzero += il[i] != 0.0f;
  }
  EXPECT_GT(nonzero, 20000);
  EXPECT_NE(r.out.find("output/input -6.0 dB"), std::string::npos) << r.out;
}

TEST_F(KelbraHostCli, AFileIsPlayedAtItsOwnRateAndCutBySeconds) {
  {
    kelbrahost::SoundFileWriter w;
    ASSERT_TRUE(w.open(path("src.wav"), 8000));
    std::vector<float> ramp(8000);
    for (int i = 0; i < 8000; ++i) ramp[static_cast<std::size_t>(i)] = static_cast<float>(i) / 8000.0f;
    ASSERT_TRUE(w.write(ramp.data(), ramp.data(), 8000));
    ASSERT_TRUE(w.close());
  }
  const Result whole = run({"--fast", "--quiet", "--input", path("src.wav"), "--output", path("whole.wav")});
  ASSERT_EQ(whole.code, 0) << whole.err;
  const Result cut = run({"--fast", "--quiet", "--input", path("src.wav"), "--seconds", "0.25", "--output",
                          path("cut.wav")});
  ASSERT_EQ(cut.code, 0) << cut.err;
  kelbrahost::SoundFileReader a, b;
  ASSERT_TRUE(a.open(path("whole.wav")));
  ASSERT_TRUE(b.open(path("cut.wav")));
  EXPECT_EQ(a.sampleRate(), 8000);
  EXPECT_EQ(a.frames(), 8000);
  EXPECT_EQ(b.frames(), 2000);
}

TEST_F(KelbraHostCli, KeepsRealTimePace) {
  const auto start = std::chrono::steady_clock::now();
  const Result r = run({"--quiet", "--seconds", "0.6", "--signal", "silence"});
  const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_GE(took, 0.55);
  EXPECT_LT(took, 5.0);
}

}  // namespace
