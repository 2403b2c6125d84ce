// The externals' console messages and creation results, seen through a real pd.
#include <optional>
#include <string>
#include <vector>

#include "tests/externals/pd_fixture.h"

namespace pdtest {
namespace {

struct ConsoleCase {
  const char* name;
  bool channel;                        // whether a plug-in holds @ID while pd runs
  std::vector<std::string> boxes;      // object boxes, in creation order
  std::vector<std::string> expected;   // the externals' lines, in order
  int refused;                         // boxes pd reports as not created
};

void PrintTo(const ConsoleCase& c, std::ostream* os) { *os << c.name; }

const std::vector<ConsoleCase> kCases = {
    {"FeedWithoutArgument", false, {"kelfeed~"}, {"kelfeed: error! invalid id"}, 1},
    {"FeedWithoutChannel", false, {"kelfeed~ @ID"}, {"kelfeed @ID: error! invalid id or fatal error"}, 0},
    {"FeedConnects", true, {"kelfeed~ @ID"}, {"kelfeed : CONNECTED -> VST[@ID]"}, 0},
    {"FeedSecondOfOneIdRefused",
     true,
     {"kelfeed~ @ID", "kelfeed~ @ID"},
     {"kelfeed : CONNECTED -> VST[@ID]", "kelfeed: error! invalid id"},
     1},
    {"FeedUnconnectedStillHoldsId",
     false,
     {"kelfeed~ @ID", "kelfeed~ @ID"},
     {"kelfeed @ID: error! invalid id or fatal error", "kelfeed: error! invalid id"},
     1},
    {"FeedIdsDifferingInCaseAreDistinct",
     true,
     {"kelfeed~ @ID", "kelfeed~ @ID_Case"},
     {"kelfeed : CONNECTED -> VST[@ID]", "kelfeed @ID_Case: error! invalid id or fatal error"},
     0},
    {"TapWithoutArgumentIsCreated", false, {"keltap~"}, {"keltap: error! invalid id"}, 0},
    {"TapWithoutChannel", false, {"keltap~ @ID"}, {"keltap @ID: error! invalid id or fatal error"}, 0},
    {"TapConnects", true, {"keltap~ @ID"}, {"keltap @ID: SUCCESS CONNECT VST"}, 0},
    {"TwoTapsOnOneChannel",
     true,
     {"keltap~ @ID", "keltap~ @ID"},
     {"keltap @ID: SUCCESS CONNECT VST", "keltap @ID: SUCCESS CONNECT VST"},
     0},
};

class ConsoleMessages : public PdTest, public testing::WithParamInterface<ConsoleCase> {};

// The lines of `console` that the externals posted (Pd's own lines left out).
std::vector<std::string> externalLines(const std::string& console) {
  std::vector<std::string> out;
  for (const auto& line : lines(console))
    if (line.rfind("kelfeed", 0) == 0 || line.rfind("keltap", 0) == 0) out.push_back(line);
  return out;
}

TEST_P(ConsoleMessages, PostsExactlyTheseLines) {
  const ConsoleCase& c = GetParam();
  const std::string id = newId("msg");
  {
    std::optional<TestChannel> plugin;
    if (c.channel) {
      plugin.emplace(id, 2048);
      ASSERT_TRUE(plugin->ok());
    }
    std::vector<std::string> patch;
    int y = 10;
    for (const auto& box : c.boxes) patch.push_back("#X obj 10 " + std::to_string(y += 30) + " " + withId(box, id) + ";");
    const std::string n = std::to_string(c.boxes.size());
    patch.push_back("#X obj 300 10 loadbang;");
    patch.push_back("#X msg 300 40 \\; pd quit;");
    patch.push_back("#X connect " + n + " 0 " + std::to_string(c.boxes.size() + 1) + " 0;");
    const std::string console = runBatch(folder_.write("case.pd", patch));

    std::vector<std::string> expected;
    for (const auto& line : c.expected) expected.push_back(withId(line, id));
    EXPECT_EQ(externalLines(console), expected) << console;
    EXPECT_EQ(countLines(console, "couldn't create"), c.refused) << console;
  }
}

INSTANTIATE_TEST_SUITE_P(Externals, ConsoleMessages, testing::ValuesIn(kCases),
                         [](const auto& p) { return std::string(p.param.name); });

// A second kelfeed~ of one identifier is refused while the first lives and is
// accepted once it is gone; the refusal leaves the holder's entry alone.
TEST_F(PdTest, FeedIdentifierFreedWithItsObject) {
  const std::string id = newId("again");
  TestChannel plugin(id, 2048);
  ASSERT_TRUE(plugin.ok());
  const std::string patch = folder_.write(
      "again.pd",
      {"#N canvas 0 0 300 200 first 0;", "#X obj 10 10 kelfeed~ " + id + ";", "#X restore 10 10 pd first;",
       "#N canvas 0 0 300 200 second 0;", "#X restore 10 40 pd second;", "#X obj 200 10 loadbang;",
       "#X msg 200 40 \\; pd-second obj 10 10 kelfeed~ " + id + " \\; pd-second obj 10 40 kelfeed~ " + id +
           " \\; pd-first clear \\; pd-second obj 10 70 kelfeed~ " + id + " \\; pd quit;",
       "#X connect 2 0 3 0;"});
  const std::string console = runBatch(patch);
  const std::vector<std::string> expected = {
      "kelfeed : CONNECTED -> VST[" + id + "]", "kelfeed: error! invalid id", "kelfeed: error! invalid id",
      "kelfeed : CONNECTED -> VST[" + id + "]"};
  EXPECT_EQ(externalLines(console), expected) << console;
}

// An argument longer than the plug-in keeps is cut to the same 32 characters,
// so both externals meet the plug-in that was given the long text.
TEST_F(PdTest, LongIdentifierCutToPluginLength) {
  std::string id = newId("long");
  id.resize(32, 'x');
  TestChannel plugin(id, 2048);
  ASSERT_TRUE(plugin.ok());
  const std::string tooLong = id + "_and_more_than_the_plugin_keeps_0123456789";
  const std::string patch = folder_.write(
      "long.pd", {"#X obj 10 10 kelfeed~ " + tooLong + ";", "#X obj 10 40 keltap~ " + tooLong + ";",
                  "#X obj 10 70 kelfeed~ " + id + "_another_tail;", "#X obj 200 10 loadbang;",
                  "#X msg 200 40 \\; pd quit;", "#X connect 3 0 4 0;"});
  const std::string console = runBatch(patch);
  const std::vector<std::string> expected = {"kelfeed : CONNECTED -> VST[" + id + "]",
                                             "keltap " + id + ": SUCCESS CONNECT VST",
                                             "kelfeed: error! invalid id"};
  EXPECT_EQ(externalLines(console), expected) << console;
}

// A channel that opens but cannot be mapped: the mapping step is made to fail
// inside pd by a preloaded library.
TEST_F(PdTest, ChannelThatCannotBeMapped) {
  const std::string id = newId("nomap");
  TestChannel plugin(id, 2048);
  ASSERT_TRUE(plugin.ok());
  const std::string patch =
      folder_.write("nomap.pd", {"#X obj 10 10 kelfeed~ " + id + ";", "#X obj 10 40 keltap~ " + id + ";",
                                 "#X obj 200 10 loadbang;", "#X msg 200 40 \\; pd quit;", "#X connect 2 0 3 0;"});
  const std::string console = runBatch(patch, KELBRA_FAIL_MAP_SHIM);
  const std::vector<std::string> expected = {"kelfeed " + id + ": can't map view", "keltap " + id + ": can't map view"};
  EXPECT_EQ(externalLines(console), expected) << console;
  EXPECT_EQ(countLines(console, "couldn't create"), 0) << console;
}

// "dsp" typed into kelfeed~'s inlet is refused by pd instead of running the
// method without a signal array.
TEST_F(PdTest, DspMessageFromThePatchIsRefused) {
  const std::string id = newId("dspmsg");
  TestChannel plugin(id, 2048);
  ASSERT_TRUE(plugin.ok());
  const std::string patch = folder_.write(
      "dspmsg.pd", {"#X obj 10 40 kelfeed~ " + id + ";", "#X obj 200 10 loadbang;", "#X msg 10 10 dsp;",
                    "#X obj 200 40 t b b b;", "#X msg 200 70 \\; pd quit;", "#X obj 300 70 print still-running;",
                    "#X connect 1 0 3 0;", "#X connect 3 2 2 0;", "#X connect 2 0 0 0;", "#X connect 3 1 5 0;",
                    "#X connect 3 0 4 0;"});
  const std::string console = runBatch(patch);
  EXPECT_EQ(countLines(console, "still-running: bang"), 1) << console;
  EXPECT_EQ(countLines(console, "bad arguments for message 'dsp' to object 'kelfeed~'"), 1) << console;
}

}  // namespace
}  // namespace pdtest
