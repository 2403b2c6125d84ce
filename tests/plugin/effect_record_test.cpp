// kelbra.so as a host sees it: dlopen, the entry point, and nothing but the
// effect record from then on.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "plugin/vst2_abi.h"
#include "tests/harness/host_harness.h"
#include "tests/plugin/test_support.h"

namespace {

using harness::Host;
using harness::Instance;
using harness::Library;
using testing_support::ChannelProbe;
using testing_support::uniqueId;

class EffectRecord : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { library = new Library(harness::pluginPath()); }
  static void TearDownTestSuite() {
    delete library;
    library = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(library->loaded()) << library->error(); }
  static Library* library;
  Host host;
};
Library* EffectRecord::library = nullptr;

TEST_F(EffectRecord, FreshInstanceDescribesItself) {
  Instance fx(*library, host);
  ASSERT_TRUE(fx.ok());
  const vst::AEffect& e = *fx.effect();
  EXPECT_EQ(e.magic, 0x56737450);
  EXPECT_EQ(e.numInputs, 2);
  EXPECT_EQ(e.numOutputs, 2);
  EXPECT_EQ(e.numPrograms, 1);
  EXPECT_EQ(e.numParams, 4);
  EXPECT_EQ(e.uniqueID, 0x6b656c62);
  EXPECT_EQ(e.version, 1);
  // 49 with the editor; a build without the GUI has none and offers no window.
  EXPECT_EQ(e.flags, (KELBRA_HAS_EDITOR ? vst::effFlagsHasEditor : 0) | vst::effFlagsCanReplacing |
                         vst::effFlagsProgramChunks);
  EXPECT_EQ(e.ioRatio, 1.0f);
  EXPECT_EQ(e.initialDelay, 0);
  EXPECT_EQ(e.resvd1, 0);
  EXPECT_EQ(e.user, nullptr);
  EXPECT_NE(e.object, nullptr);
  EXPECT_NE(e.processReplacing, nullptr);
  EXPECT_NE(e.processDoubleReplacing, nullptr);
  for (char c : e.future) EXPECT_EQ(c, 0);
  const float expected[] = {1.0f, 1.0f, 1.0f, 3.0f};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(fx.getParameter(i), expected[i]);
  const auto versionCalls = host.callsOf(vst::audioMasterVersion);
  EXPECT_EQ(versionCalls.size(), 1u) << "the entry point asks the host's version once";
}

TEST_F(EffectRecord, ExportsOnlyTheTwoEntryPointsAndTheyAreOneFunction) {
  ASSERT_NE(library->entry("VSTPluginMain"), nullptr);
  EXPECT_EQ(library->entry("main"), library->entry("VSTPluginMain"));
  for (const char* hidden : {"_ZN6Kelbra15processReplacingEPPfS1_i", "moduleHandle", "_Z12moduleHandlev"}) {
    EXPECT_EQ(library->entry(hidden), nullptr) << hidden;
  }
  Instance viaMain(*library, host, "main");
  EXPECT_TRUE(viaMain.ok());
}

TEST_F(EffectRecord, RefusesToStartWithoutAUsableHost) {
  host.versionAnswer = 0;
  Instance fx(*library, host);
  EXPECT_FALSE(fx.ok());
  EXPECT_EQ(library->entry()(nullptr), nullptr);
}

struct OpcodeCase {
  const char* name;
  std::int32_t opcode;
  std::int32_t index;
  std::intptr_t value;
  const char* text;  // ptr argument, when the opcode takes a text
  std::intptr_t answer;
};

class Dispatcher : public EffectRecord, public ::testing::WithParamInterface<OpcodeCase> {};

TEST_P(Dispatcher, AnswersAsTheHostExpects) {
  Instance fx(*library, host);
  const OpcodeCase& c = GetParam();
  std::string text = c.text ? c.text : "";
  EXPECT_EQ(fx.dispatch(c.opcode, c.index, c.value, c.text ? text.data() : nullptr), c.answer) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Opcodes, Dispatcher,
    ::testing::Values(OpcodeCase{"identify", vst::effIdentify, 0, 0, nullptr, 0x4e764566},
                      OpcodeCase{"vstVersion", vst::effGetVstVersion, 0, 0, nullptr, 2400},
                      OpcodeCase{"vendorVersion", vst::effGetVendorVersion, 0, 0, nullptr, 1000},
                      OpcodeCase{"canDoSize", vst::effCanDo, 0, 0, "sizeWindow", -1},
                      OpcodeCase{"canDoMidi", vst::effCanDo, 0, 0, "receiveVstMidiEvent", -1},
                      OpcodeCase{"canDoEmpty", vst::effCanDo, 0, 0, "", -1},
                      OpcodeCase{"opcode80", 80, 0, 0, nullptr, 0}, OpcodeCase{"opcodeMinus1", -1, 0, 0, nullptr, 0},
                      OpcodeCase{"category", vst::effGetPlugCategory, 0, 0, nullptr, 0},
                      OpcodeCase{"events", vst::effProcessEvents, 0, 0, nullptr, 1},
                      OpcodeCase{"automatable", vst::effCanBeAutomated, 7, 0, nullptr, 1},
                      OpcodeCase{"midiProgram", vst::effGetCurrentMidiProgram, 0, 0, nullptr, -1},
                      OpcodeCase{"totalSamples", vst::effSetTotalSampleToProcess, 0, 12345, nullptr, 12345},
                      OpcodeCase{"tail", vst::effGetTailSize, 0, 0, nullptr, 0},
                      OpcodeCase{"program", vst::effGetProgram, 0, 0, nullptr, 0},
                      OpcodeCase{"errorText", vst::effGetErrorText, 0, 0, nullptr, 0},
                      OpcodeCase{"keysRequired", vst::effKeysRequired, 0, 0, nullptr, 0},
                      OpcodeCase{"midiIn", vst::effGetNumMidiInputChannels, 0, 0, nullptr, 0},
                      OpcodeCase{"string2Parameter", vst::effString2Parameter, 0, 0, "0.5", 0},
                      OpcodeCase{"bypass", vst::effSetBypass, 0, 1, nullptr, 0},
                      OpcodeCase{"nullChunk", vst::effGetChunk, 0, 0, nullptr, 0},
                      OpcodeCase{"nullSetChunk", vst::effSetChunk, 0, 80, nullptr, 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(EffectRecord, IdentityTextsArePaddedToTheirWidth) {
  Instance fx(*library, host);
  struct {
    std::int32_t opcode;
    const char* text;
    int width;
  } rows[] = {{vst::effGetEffectName, "kelbra", 32},
              {vst::effGetProductString, "kelbra", 64},
              {vst::effGetVendorString, "tessel-works", 64}};
  for (const auto& row : rows) {
    char buffer[128];
    std::memset(buffer, 0x7f, sizeof buffer);
    EXPECT_EQ(fx.dispatch(row.opcode, 0, 0, buffer), 1);
    EXPECT_STREQ(buffer, row.text);
    for (int i = static_cast<int>(std::strlen(row.text)); i <= row.width; ++i) EXPECT_EQ(buffer[i], 0);
    EXPECT_EQ(buffer[row.width + 1], 0x7f) << "width + 1 bytes written";
  }
}

TEST_F(EffectRecord, ParameterNamesAndDisplays) {
  Instance fx(*library, host);
  const char* names[] = {"send", "recieve", "dry", "latency"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(fx.text(vst::effGetParamName, i), names[i]);
  char untouched[16] = "keep";
  fx.dispatch(vst::effGetParamName, 4, 0, untouched);
  EXPECT_STREQ(untouched, "keep");
  EXPECT_EQ(fx.text(vst::effGetParamDisplay, 0), "100");
  EXPECT_EQ(fx.text(vst::effGetParamDisplay, 3), "");
  EXPECT_EQ(fx.text(vst::effGetParamLabel, 0), "");
  fx.setParameter(1, 0.5f);
  EXPECT_EQ(fx.text(vst::effGetParamDisplay, 1), "50");
  fx.setParameter(1, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(fx.text(vst::effGetParamDisplay, 1), "NaN");
}

TEST_F(EffectRecord, ProgramSelectionOutsideTheOneProgramChangesNothing) {
  Instance fx(*library, host);
  fx.setParameter(0, 0.3f);
  std::vector<unsigned char> chunk = fx.chunk();
  chunk[4] = 0;  // send 0.0 in the record...
  chunk[5] = chunk[6] = chunk[7] = 0;
  ASSERT_TRUE(fx.setChunk(chunk));
  fx.dispatch(vst::effSetProgram, 0, 1);
  fx.dispatch(vst::effSetProgram, 0, -1);
  EXPECT_EQ(fx.getParameter(0), 0.3f) << "...not applied by programs 1 and -1";
  fx.dispatch(vst::effSetProgram, 0, 0);
  EXPECT_EQ(fx.getParameter(0), 0.0f);
}

TEST_F(EffectRecord, ProgramNameRoundTrip) {
  Instance fx(*library, host);
  EXPECT_EQ(fx.text(vst::effGetProgramName), "kelbra");
  char name[] = "a name of exactly thirty chars";
  fx.dispatch(vst::effSetProgramName, 0, 0, name);
  EXPECT_EQ(fx.text(vst::effGetProgramName), "a name of exactly thirty");
}

TEST_F(EffectRecord, SpeakerArrangementQueryClearsBothPointers) {
  Instance fx(*library, host);
  vst::VstSpeakerArrangement dummy{};
  vst::VstSpeakerArrangement* input = &dummy;
  vst::VstSpeakerArrangement* output = &dummy;
  EXPECT_EQ(fx.dispatch(vst::effGetSpeakerArrangement, 0, reinterpret_cast<std::intptr_t>(&input), &output), 0);
  EXPECT_EQ(input, nullptr);
  EXPECT_EQ(output, nullptr);
}

TEST_F(EffectRecord, CloseAnswersOne) {
  Instance fx(*library, host);
  EXPECT_EQ(fx.close(), 1);
  EXPECT_FALSE(fx.ok());
}

TEST_F(EffectRecord, EditorRequestsWithoutAWindowAreSafe) {
  Instance fx(*library, host);
  vst::ERect* rect = nullptr;
  fx.dispatch(vst::effEditGetRect, 0, 0, &rect);
  fx.dispatch(vst::effEditIdle);
  fx.dispatch(vst::effEditClose);
  fx.dispatch(vst::effEditKeyDown, 'a', 0, nullptr, std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(fx.dispatch(vst::effEditKeyUp, 'a', 0, nullptr, 2.9f), 0);
}

// --- the state chunk -------------------------------------------------------

TEST_F(EffectRecord, ChunkIsThe80ByteRecord) {
  Instance fx(*library, host);
  const std::vector<unsigned char> chunk = fx.chunk();
  ASSERT_EQ(chunk.size(), 80u);
  const unsigned char golden[80] = {
      0xe8, 0x03, 0, 0, 0, 0, 0x80, 0x3f, 0, 0, 0x80, 0x3f, 0, 0, 0x80, 0x3f, 0, 0, 0x40, 0x40,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'k', 'e', 'l', 'b', 'r', 'a', 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(chunk.data(), golden, 80), 0);
}

TEST_F(EffectRecord, ChunkRoundTripsIntoASecondInstance) {
  Instance a(*library, host), b(*library, host);
  a.setParameter(0, 0.25f);
  a.setParameter(3, 1.0f);
  char name[] = "live set";
  a.dispatch(vst::effSetProgramName, 0, 0, name);
  std::vector<unsigned char> chunk = a.chunk();
  chunk[78] = 0xab;  // reserved bytes travel unchanged
  ASSERT_TRUE(b.setChunk(chunk));
  EXPECT_EQ(b.getParameter(0), 1.0f) << "nothing applies before the program is selected";
  EXPECT_EQ(b.chunk(), chunk);
  b.dispatch(vst::effSetProgram, 0, 0);
  EXPECT_EQ(b.getParameter(0), 0.25f);
  EXPECT_EQ(b.getParameter(3), 1.0f);
  EXPECT_EQ(b.text(vst::effGetProgramName), "live set");
}

TEST_F(EffectRecord, BadChunksAreRefusedAndChangeNothing) {
  Instance fx(*library, host);
  const std::vector<unsigned char> before = fx.chunk();
  std::vector<unsigned char> wrongMagic = before;
  wrongMagic[0] = 0xe7;  // 999
  EXPECT_FALSE(fx.setChunk(wrongMagic));
  std::vector<unsigned char> shorter(before.begin(), before.end() - 1);
  EXPECT_FALSE(fx.setChunk(shorter));
  std::vector<unsigned char> longer = before;
  longer.push_back(0);
  EXPECT_FALSE(fx.setChunk(longer));
  std::vector<unsigned char> copy = before;
  // A size that only looks like 80 in its low 32 bits.
  EXPECT_EQ(fx.dispatch(vst::effSetChunk, 0, static_cast<std::intptr_t>(0x100000050LL), copy.data()), 0);
  EXPECT_EQ(fx.chunk(), before);
}

TEST_F(EffectRecord, PresetAndBankChunksAreTheSame) {
  Instance fx(*library, host);
  void* bank = nullptr;
  void* preset = nullptr;
  EXPECT_EQ(fx.dispatch(vst::effGetChunk, 0, 0, &bank), 80);
  EXPECT_EQ(fx.dispatch(vst::effGetChunk, 1, 0, &preset), 80);
  EXPECT_EQ(bank, preset);
  std::vector<unsigned char> chunk = fx.chunk();
  EXPECT_EQ(fx.dispatch(vst::effSetChunk, 1, 80, chunk.data()), 1);
}

// --- processing and connection through the record ----------------------------

TEST_F(EffectRecord, ProcessesDryWithoutAChannel) {
  Instance fx(*library, host);
  fx.setParameter(2, 0.5f);
  float in1[4] = {1, 2, 3, 4}, in2[4] = {-1, -2, -3, -4}, out1[4], out2[4];
  fx.process(in1, in2, out1, out2, 4);
  EXPECT_EQ(out1[3], 2.0f);
  EXPECT_EQ(out2[0], -0.5f);
  fx.process(in1, in2, in1, in2, 4);  // in place
  EXPECT_EQ(in1[3], 2.0f);
}

TEST_F(EffectRecord, RestoredIdentifierConnectsAndAnotherProcessSeesTheRings) {
  const std::string id = uniqueId("record");
  Instance fx(*library, host);
  fx.restoreIdentifier(id);
  float in[64], out1[64], out2[64];
  for (int i = 0; i < 64; ++i) in[i] = 0.5f;
  fx.process(in, in, out1, out2, 64);
  const pid_t child = fork();
  if (child == 0) {
    ChannelProbe probe(id);
    const bool seen = probe.ok() && probe->sendHeader.writeCount == 64 && probe->sendRing[4096] == 0.5f;
    _exit(seen ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a second process opens the same rings";
}

TEST_F(EffectRecord, TwoInstancesOfOneProcessCannotShareAnIdentifier) {
  const std::string id = uniqueId("pair");
  Instance a(*library, host), b(*library, host);
  a.restoreIdentifier(id);
  b.restoreIdentifier(id);
  ChannelProbe probe(id);
  ASSERT_TRUE(probe.ok());
  probe->receiveRing[0] = 1.0f;
  float in[1] = {0.0f}, out1[1], out2[1];
  b.process(in, in, out1, out2, 1);
  EXPECT_EQ(out1[0], 0.0f) << "the refused instance is not connected";
  a.process(in, in, out1, out2, 1);
  EXPECT_EQ(out1[0], 1.0f) << "the first holder still is";
}

}  // namespace
