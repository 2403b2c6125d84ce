// Parameters, displays, program name and the editor notifications, tested on
// the plug-in class below the host wrapper.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "plugin/kelbra.h"
#include "plugin/parameters.h"
#include "tests/plugin/test_support.h"

namespace {

using testing_support::RecordingEditor;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct LatencyCase {
  float value;
  std::int32_t frames;  // expected frames after starting from 2048
};

class LatencyChoice : public ::testing::TestWithParam<LatencyCase> {};

TEST_P(LatencyChoice, SelectsFramesByTruncationAndKeepsThemOutOfRange) {
  Kelbra plugin(nullptr);
  ASSERT_EQ(plugin.latencyInFrames(), 2048);
  plugin.setParameter(kParamLatency, GetParam().value);
  EXPECT_EQ(plugin.latencyInFrames(), GetParam().frames);
  const float stored = plugin.getParameter(kParamLatency);
  if (std::isnan(GetParam().value)) {
    EXPECT_TRUE(std::isnan(stored));
  } else {
    EXPECT_EQ(stored, GetParam().value) << "the value is stored unchanged";
  }
}

INSTANTIATE_TEST_SUITE_P(Values, LatencyChoice,
                         ::testing::Values(LatencyCase{0.0f, 256}, LatencyCase{0.999f, 256}, LatencyCase{1.0f, 512},
                                           LatencyCase{2.5f, 1024}, LatencyCase{4.0f, 4096},
                                           LatencyCase{5.0f, 8192}, LatencyCase{5.99f, 8192},
                                           LatencyCase{-0.5f, 256}, LatencyCase{6.0f, 2048},
                                           LatencyCase{7.0f, 2048}, LatencyCase{-1.0f, 2048},
                                           LatencyCase{kNaN, 2048}, LatencyCase{kInf, 2048},
                                           LatencyCase{-kInf, 2048}, LatencyCase{3e9f, 2048},
                                           LatencyCase{-3e9f, 2048}));

struct DisplayCase {
  float value;
  const char* text;
};

class ParamDisplay : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(ParamDisplay, ShowsTheTruncatedPercentageWithinEightCharacters) {
  Kelbra plugin(nullptr);
  for (int index : {kParamSend, kParamReceive, kParamDry}) {
    plugin.setParameter(index, GetParam().value);
    char text[64];
    std::memset(text, 0x7f, sizeof text);
    plugin.getParamDisplay(index, text);
    EXPECT_STREQ(text, GetParam().text) << "index " << index;
    EXPECT_EQ(text[9], 0x7f) << "never more than eight characters and a terminator";
  }
}

INSTANTIATE_TEST_SUITE_P(Values, ParamDisplay,
                         ::testing::Values(DisplayCase{0.5f, "50"}, DisplayCase{1.0f, "100"},
                                           DisplayCase{1.5f, "150"}, DisplayCase{0.2899999f, "28"},
                                           DisplayCase{0.0f, "0"}, DisplayCase{-0.5f, "-50"},
                                           DisplayCase{0.555f, "55"}, DisplayCase{99999.99f, "9999999"},
                                           DisplayCase{1e6f, "Huge!"}, DisplayCase{-1e6f, "Huge!"},
                                           DisplayCase{kInf, "Huge!"}, DisplayCase{-kInf, "Huge!"},
                                           DisplayCase{3e30f, "Huge!"}, DisplayCase{kNaN, "NaN"}));

TEST(ParamDisplay, LatencyAndOtherIndicesShowNothing) {
  Kelbra plugin(nullptr);
  for (int index : {3, 4, 6, -1, 1000}) {
    char text[16] = "junk";
    plugin.getParamDisplay(index, text);
    EXPECT_STREQ(text, "") << index;
  }
}

TEST(Parameters, FreshInstanceHoldsTheDefaultProgram) {
  Kelbra plugin(nullptr);
  EXPECT_EQ(plugin.getParameter(kParamSend), 1.0f);
  EXPECT_EQ(plugin.getParameter(kParamReceive), 1.0f);
  EXPECT_EQ(plugin.getParameter(kParamDry), 1.0f);
  EXPECT_EQ(plugin.getParameter(kParamLatency), 3.0f);
  EXPECT_EQ(plugin.getParameter(kParamResync), 0.0f);
  EXPECT_EQ(plugin.getParameter(-1), 0.0f);
}

TEST(Parameters, GainsAreStoredUnclampedInMemberAndRecord) {
  Kelbra plugin(nullptr);
  plugin.setParameter(kParamSend, 7.5f);
  plugin.setParameter(kParamReceive, -2.0f);
  plugin.setParameter(kParamDry, kInf);
  EXPECT_EQ(plugin.getParameter(kParamSend), 7.5f);
  EXPECT_EQ(plugin.getParameter(kParamReceive), -2.0f);
  EXPECT_EQ(plugin.getParameter(kParamDry), kInf);
  void* data = nullptr;
  ASSERT_EQ(plugin.getChunk(&data, false), 80);
  const auto* record = static_cast<const ProgramRecord*>(data);
  EXPECT_EQ(record->send, 7.5f);
  EXPECT_EQ(record->receive, -2.0f);
  EXPECT_EQ(record->dry, kInf);
}

TEST(Parameters, ResyncAndUnknownIndicesStoreNothingButReachTheEditor) {
  Kelbra plugin(nullptr);
  auto* editor = new RecordingEditor(&plugin);
  plugin.attachEditor(editor);
  plugin.setParameter(kParamResync, 1.0f);
  plugin.setParameter(4, 9.0f);
  plugin.setParameter(-3, 9.0f);
  EXPECT_EQ(plugin.getParameter(kParamResync), 0.0f);
  EXPECT_EQ(plugin.getParameter(4), 0.0f);
  ASSERT_EQ(editor->parameters.size(), 3u);
  EXPECT_EQ(editor->parameters[0].index, kParamResync);
  EXPECT_EQ(editor->parameters[1].index, 4);
  EXPECT_EQ(editor->parameters[2].index, -3);
}

TEST(Program, NameKeepsItsFirst24Characters) {
  Kelbra plugin(nullptr);
  char name[] = "abcdefghijklmnopqrstuvwxyz0123";  // 30 characters
  plugin.setProgramName(name);
  char out[64];
  std::memset(out, 0x7f, sizeof out);
  plugin.getProgramName(out);
  EXPECT_STREQ(out, "abcdefghijklmnopqrstuvwx");
  EXPECT_EQ(out[25], 0x7f) << "25 bytes in all";
}

TEST(Program, SelectingItAppliesAllFourValuesAndTellsTheEditorOfEach) {
  Kelbra plugin(nullptr);
  auto* editor = new RecordingEditor(&plugin);
  plugin.attachEditor(editor);
  ProgramRecord record = makeDefaultProgram();
  record.send = 0.25f;
  record.receive = 0.5f;
  record.dry = 0.75f;
  record.latency = 1.0f;
  ASSERT_EQ(plugin.setChunk(&record, 80, true), 1);
  EXPECT_EQ(plugin.getParameter(kParamSend), 1.0f) << "a loaded chunk waits for the program selection";
  plugin.setProgram(0);
  EXPECT_EQ(plugin.getParameter(kParamSend), 0.25f);
  EXPECT_EQ(plugin.getParameter(kParamReceive), 0.5f);
  EXPECT_EQ(plugin.getParameter(kParamDry), 0.75f);
  EXPECT_EQ(plugin.latencyInFrames(), 512);
  ASSERT_EQ(editor->parameters.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(editor->parameters[static_cast<std::size_t>(i)].index, i);
  EXPECT_TRUE(editor->statuses.empty()) << "an empty identifier makes no connection";
}

}  // namespace
