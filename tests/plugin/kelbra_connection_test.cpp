// Making and breaking connections: status texts, the per-process identifier
// registry and the channel state a Pd object attached to it sees.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstring>
#include <memory>
#include <string>

#include "plugin/kelbra.h"
#include "plugin/parameters.h"
#include "tests/plugin/test_support.h"

namespace {

using testing_support::ChannelProbe;
using testing_support::RecordingEditor;
using testing_support::uniqueId;

struct Instance {
  Instance() : plugin(std::make_unique<Kelbra>(nullptr)), editor(new RecordingEditor(plugin.get())) {
    plugin->attachEditor(editor);
  }
  std::string lastStatus() const { return editor->statuses.empty() ? "" : editor->statuses.back(); }
  std::string chunkIdentifier() {
    void* data = nullptr;
    plugin->getChunk(&data, false);
    return static_cast<ProgramRecord*>(data)->identifier;
  }
  std::unique_ptr<Kelbra> plugin;
  RecordingEditor* editor;  // owned by the plug-in
};

TEST(Connection, ConnectsMapsAndRestartsTheRings) {
  const std::string id = uniqueId("connect");
  Instance a;
  a.plugin->setParameter(kParamLatency, 4.0f);
  a.plugin->setConnectionId(id.c_str());
  EXPECT_EQ(a.lastStatus(), "All succeeded");
  EXPECT_TRUE(a.plugin->isConnected());
  EXPECT_EQ(a.plugin->connectionId(), id);
  EXPECT_EQ(a.chunkIdentifier(), id);
  ChannelProbe probe(id);
  ASSERT_TRUE(probe.ok());
  EXPECT_EQ(probe->sendHeader.latency, 4096);
  EXPECT_EQ(probe->receiveHeader.latency, 4096);
  EXPECT_EQ(probe->sendHeader.writeCount, 0u);
  EXPECT_EQ(probe->receiveHeader.readCount, 0u);
}

TEST(Connection, EmptyTextIsRefusedAndReleasesTheChannelHeldBefore) {
  const std::string id = uniqueId("empty");
  Instance a;
  a.plugin->setConnectionId(id.c_str());
  ASSERT_TRUE(a.plugin->isConnected());
  a.plugin->setConnectionId("");
  EXPECT_EQ(a.lastStatus(), "Invalid ID");
  EXPECT_FALSE(a.plugin->isConnected());
  EXPECT_EQ(a.plugin->connectionId(), "");
  EXPECT_EQ(a.chunkIdentifier(), id) << "a refused text leaves the record as it was";
  EXPECT_FALSE(ChannelProbe(id).ok()) << "no holder is left";
  a.plugin->setConnectionId(nullptr);
  EXPECT_EQ(a.lastStatus(), "Invalid ID");
}

TEST(Connection, SecondInstanceInTheProcessIsRefusedTheSameIdentifier) {
  const std::string id = uniqueId("dup");
  Instance a, b;
  a.plugin->setConnectionId(id.c_str());
  b.plugin->setConnectionId(id.c_str());
  EXPECT_EQ(b.lastStatus(), "Invalid ID");
  EXPECT_FALSE(b.plugin->isConnected());
  EXPECT_EQ(b.plugin->connectionId(), "");
  EXPECT_TRUE(a.plugin->isConnected()) << "the holder stays connected";

  a.plugin->setConnectionId((id + "-other").c_str());
  b.plugin->setConnectionId(id.c_str());
  EXPECT_EQ(b.lastStatus(), "All succeeded") << "a freed identifier can be taken";
}

TEST(Connection, DestroyedHolderFreesItsIdentifierForOthers) {
  const std::string id = uniqueId("freed");
  auto a = std::make_unique<Instance>();
  Instance b;
  a->plugin->setConnectionId(id.c_str());
  a.reset();
  b.plugin->setConnectionId(id.c_str());
  EXPECT_EQ(b.lastStatus(), "All succeeded");
}

TEST(Connection, LongTextIsKeptAsItsFirst32CharactersEverywhere) {
  const std::string base = uniqueId("long");
  const std::string text = base + std::string(40 - base.size(), 'x');
  ASSERT_EQ(text.size(), 40u);
  Instance a;
  a.plugin->setConnectionId(text.c_str());
  EXPECT_EQ(a.lastStatus(), "All succeeded");
  EXPECT_EQ(a.plugin->connectionId(), text.substr(0, 32));
  EXPECT_EQ(a.chunkIdentifier(), text.substr(0, 32));
  EXPECT_TRUE(ChannelProbe(text.substr(0, 32)).ok()) << "the channel is named by the kept characters";
}

TEST(Connection, TextsSharingTheirKept32CharactersCannotShareAChannelInOneProcess) {
  const std::string base = uniqueId("prefix");
  const std::string kept = base + std::string(32 - base.size(), 'y');
  Instance a, b;
  a.plugin->setConnectionId((kept + "AAAA").c_str());
  b.plugin->setConnectionId((kept + "BBBB").c_str());
  EXPECT_EQ(b.lastStatus(), "Invalid ID");
  EXPECT_TRUE(a.plugin->isConnected());
}

TEST(Connection, SettingTheSameIdentifierAgainIsAFullReconnect) {
  const std::string id = uniqueId("again");
  Instance a;
  a.plugin->setConnectionId(id.c_str());
  ChannelProbe probe(id);
  ASSERT_TRUE(probe.ok());
  probe->sendRing[10] = 0.5f;
  channel::storeWord(probe->sendHeader.writeCount, 999);
  channel::storeWord(probe->receiveHeader.writeCount, 999);
  a.plugin->setConnectionId(id.c_str());
  EXPECT_EQ(a.lastStatus(), "All succeeded");
  EXPECT_EQ(probe->sendRing[10], 0.0f);
  EXPECT_EQ(probe->sendHeader.writeCount, 0u);
  EXPECT_EQ(probe->receiveHeader.writeCount, 0u);
}

TEST(Connection, JoinsAChannelThatAPdObjectStillHolds) {
  const std::string id = uniqueId("join");
  std::unique_ptr<ChannelProbe> pdSide;
  {
    Instance first;
    first.plugin->setConnectionId(id.c_str());
    pdSide = std::make_unique<ChannelProbe>(id);
    ASSERT_TRUE(pdSide->ok());
  }
  // The plug-in is gone; the Pd side keeps the block and sees it cleared.
  EXPECT_EQ((*pdSide)->sendHeader.writeCount, 0u);
  channel::storeWord((*pdSide)->receiveHeader.writeCount, 300);
  (*pdSide)->receiveRing[0] = 0.75f;
  Instance second;
  second.plugin->setConnectionId(id.c_str());
  EXPECT_EQ(second.lastStatus(), "All succeeded");
  EXPECT_EQ((*pdSide)->receiveHeader.writeCount, 0u) << "the same block, restarted";
  EXPECT_EQ((*pdSide)->receiveRing[0], 0.0f);
}

TEST(Connection, DestructionClearsCountersAndSamplesForPdObjectsStillAttached) {
  const std::string id = uniqueId("destroy");
  auto a = std::make_unique<Instance>();
  a->plugin->setParameter(kParamLatency, 5.0f);
  a->plugin->setConnectionId(id.c_str());
  ChannelProbe probe(id);
  ASSERT_TRUE(probe.ok());
  std::vector<float> in(300, 0.5f), out(300);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {out.data(), out.data()};
  a->plugin->processReplacing(ins, outs, 300);
  channel::storeWord(probe->receiveHeader.writeCount, 77);
  ASSERT_NE(probe->sendRing[16384], 0.0f);
  a.reset();
  EXPECT_EQ(probe->sendHeader.writeCount, 0u);
  EXPECT_EQ(probe->sendHeader.readCount, 0u);
  EXPECT_EQ(probe->receiveHeader.writeCount, 0u);
  EXPECT_EQ(probe->receiveHeader.readCount, 0u);
  EXPECT_EQ(probe->sendHeader.latency, 8192) << "latency words stay";
  EXPECT_EQ(probe->sendRing[16384], 0.0f);
}

TEST(Connection, WithoutAnOpenEditorNothingIsShown) {
  Kelbra plugin(nullptr);  // no editor at all
  plugin.setConnectionId(uniqueId("quiet").c_str());
  EXPECT_TRUE(plugin.isConnected());
}

TEST(Connection, ProgramSelectionReconnectsToTheRecordsIdentifier) {
  const std::string id = uniqueId("program");
  Instance a;
  ProgramRecord record = makeDefaultProgram();
  std::memcpy(record.identifier, id.data(), id.size());
  ASSERT_EQ(a.plugin->setChunk(&record, 80, false), 1);
  EXPECT_FALSE(a.plugin->isConnected());
  a.plugin->setProgram(0);
  EXPECT_TRUE(a.plugin->isConnected());
  EXPECT_EQ(a.plugin->connectionId(), id);

  // An empty identifier in a later chunk keeps the connection.
  record = makeDefaultProgram();
  ASSERT_EQ(a.plugin->setChunk(&record, 80, false), 1);
  a.plugin->setProgram(0);
  EXPECT_TRUE(a.plugin->isConnected());
}

TEST(Connection, ChunkIdentifierWithoutTerminatorIsReadAs32Characters) {
  const std::string base = uniqueId("noterm");
  Instance a;
  ProgramRecord record = makeDefaultProgram();
  std::memset(record.identifier, 'z', sizeof record.identifier);  // 33 bytes, no zero
  std::memcpy(record.identifier, base.data(), base.size());
  std::memset(record.name, 'n', sizeof record.name);
  ASSERT_EQ(a.plugin->setChunk(&record, 80, false), 1);
  a.plugin->setProgram(0);
  EXPECT_EQ(a.plugin->connectionId().size(), 32u);
  EXPECT_EQ(a.lastStatus(), "All succeeded");
  char name[64];
  a.plugin->getProgramName(name);
  EXPECT_EQ(std::string(name), std::string(24, 'n'));
}

TEST(Connection, FailureToCreateTheChannelIsReportedAndLeavesNoRegistration) {
  const std::string id = uniqueId("nocreate");
  Instance a, b;
  // The kernel refuses to size the block beyond this file-size limit.
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  a.plugin->setConnectionId(id.c_str());
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(a.lastStatus(), "Filed CreateFileMapping()");
  EXPECT_FALSE(a.plugin->isConnected());
  EXPECT_EQ(a.plugin->connectionId(), id) << "the identifier is kept, unregistered";
  b.plugin->setConnectionId(id.c_str());
  EXPECT_EQ(b.lastStatus(), "All succeeded");
}

}  // namespace
