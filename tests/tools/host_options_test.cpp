// kelbra-host's options: accepted settings land in the right fields, every
// refusal is one line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/host_options.h"

namespace kelbrahost {
namespace {

ParseOutcome parse(std::vector<std::string> args, HostOptions& options, std::string& message) {
  args.insert(args.begin(), "kelbra-host");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  return parseOptions(static_cast<int>(argv.size()), argv.data(), options, message);
}

TEST(HostOptions, SettingsLandWhereTheyBelong) {
  HostOptions o;
  std::string message;
  ASSERT_EQ(parse({"--id", "track-1", "--send", "0.5", "--receive", "2", "--dry", "0", "--latency", "4096",
                   "--signal", "noise", "--seconds", "1.5", "--output", "o.wav", "--block-size", "64"},
                  o, message),
            ParseOutcome::run)
      << message;
  EXPECT_EQ(o.id, "track-1");
  EXPECT_EQ(o.send, 0.5f);
  EXPECT_EQ(o.receive, 2.0f);
  EXPECT_EQ(o.dry, 0.0f);
  EXPECT_EQ(o.latencyFrames, 4096);
  EXPECT_EQ(o.signal, "noise");
  EXPECT_EQ(o.seconds, 1.5);
  EXPECT_EQ(o.output, "o.wav");
  EXPECT_EQ(o.blockSize, 64);
  EXPECT_FALSE(o.roundTrip);
}

TEST(HostOptions, HelpIsNotAFailure) {
  HostOptions o;
  std::string message;
  EXPECT_EQ(parse({"--help"}, o, message), ParseOutcome::done);
  EXPECT_NE(message.find("--round-trip"), std::string::npos);
}

struct Refusal {
  std::vector<std::string> args;
  const char* mentions;
};

class HostOptionsRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(HostOptionsRefusal, IsOneLineNamingTheProblem) {
  HostOptions o;
  std::string message;
  EXPECT_EQ(parse(GetParam().args, o, message), ParseOutcome::failed);
  EXPECT_EQ(message.find('\n'), std::string::npos) << message;
  EXPECT_NE(message.find(GetParam().mentions), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostOptionsRefusal,
    ::testing::Values(Refusal{{"--bogus"}, "--bogus"}, Refusal{{"--latency", "300"}, "--latency"},
                      Refusal{{"--latency", "fast"}, "--latency"}, Refusal{{"--id", ""}, "identifier"},
                      Refusal{{"--id", std::string(33, 'x')}, "identifier"}, Refusal{{"--send", "-1"}, "--send"},
                      Refusal{{"--dry", "nan"}, "--dry"}, Refusal{{"--dry", "0.5x"}, "--dry"},
                      Refusal{{"--seconds", "0"}, "--seconds"}, Refusal{{"--seconds", "nan"}, "--seconds"},
                      Refusal{{"--frequency", "inf"}, "--frequency"}, Refusal{{"--level", "1"}, "--level"},
                      Refusal{{"--signal", "square"}, "--signal"},
                      Refusal{{"--input", "a.wav", "--signal", "sine"}, "excludes"},
                      Refusal{{"--round-trip", "--input", "a.wav"}, "excludes"},
                      Refusal{{"--round-trip"}, "--id"},
                      Refusal{{"--sample-rate", "0"}, "--sample-rate"}, Refusal{{"--block-size", "4"}, "--block-size"},
                      Refusal{{"--id"}, "--id"}, Refusal{{"stray"}, "stray"}));

TEST(LatencyIndex, MatchesTheBufferChoices) {
  const int frames[] = {256, 512, 1024, 2048, 4096, 8192};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(latencyIndexFor(frames[i]), i);
  EXPECT_EQ(latencyIndexFor(0), -1);
  EXPECT_EQ(latencyIndexFor(300), -1);
  EXPECT_EQ(latencyIndexFor(16384), -1);
}

}  // namespace
}  // namespace kelbrahost
