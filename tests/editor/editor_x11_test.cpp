// The editor of the built kelbra.so in a real X server, used as a person uses
// it: the host harness makes the parent window and answers the callbacks,
// XTest clicks, drags and types, and the window's pixels are compared with the
// same editor drawn headless in the expected state. Modal tracking loops
// block the thread that runs the host's idle, so a second thread with its own
// display connection moves the pointer while they run.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>

#include "channel/channel_layout.h"
#include "platform/shared_memory.h"
#include "tests/editor/png_file.h"
#include "tests/editor/reference_editor.h"
#include "tests/editor/x11_session.h"
#include "tests/harness/host_harness.h"

namespace editor_test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kCyan = 0x00ffff;
constexpr std::uint32_t kLightGrey = 0xc0c0c0;

bool waitFor(const std::function<bool()>& condition, int milliseconds = 3000) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  while (Clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

// Whether another process can open the channel of an identifier.
bool anotherProcessOpens(const std::string& id) {
  const pid_t child = fork();
  if (child == 0) {
    platform::SharedMemory memory;
    _exit(platform::SharedMemory::openExisting(id, channel::kChannelBytes, memory) ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string uniqueId(const std::string& stem) { return stem + "-" + std::to_string(static_cast<long>(getpid())); }

// One plug-in instance with its editor open in a host window of its own.
struct OpenEditor {
  OpenEditor(harness::Library& library, harness::Host& host, X11Session& session, int x, int y)
      : session_(session), instance(library, host) {
    hostWindow = session.makeHostWindow(x, y, 170, 150);
    vst::ERect* rect = nullptr;
    if (!instance.ok() || instance.dispatch(vst::effEditGetRect, 0, 0, &rect) != 1 || !rect) return;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    if (instance.dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(hostWindow)) != 1) return;
    const auto children = session.childrenOf(hostWindow);
    if (children.size() == 1) window = children[0];
  }
  ~OpenEditor() {
    if (instance.ok()) instance.dispatch(vst::effEditClose);
    session_.destroyWindow(hostWindow);
  }
  Image shown() { return session_.capture(window, 0, 0, 170, 150); }
  // Runs the host's idle until the window shows `expected`.
  ::testing::AssertionResult idleUntilShows(const Image& expected, const char* what) {
    int last = -1;
    const bool shows = waitFor([&] {
      instance.dispatch(vst::effEditIdle);
      last = differingPixels(shown(), expected);
      return last == 0;
    });
    if (shows) return ::testing::AssertionSuccess();
    writePng(std::string("shown-") + what + ".png", shown());
    writePng(std::string("expected-") + what + ".png", expected);
    return ::testing::AssertionFailure() << what << ": " << last << " pixels differ (see shown-/expected-" << what
                                         << ".png)";
  }
  // Clicks the identifier field, types and presses Enter.
  ::testing::AssertionResult typeIdentifier(const std::string& text) {
    if (auto opened = openIdentifierField(); !opened) return opened;
    session_.type(text);
    session_.key(XK_Return);
    const bool closed = waitFor([&] {
      instance.dispatch(vst::effEditIdle);
      return session_.childrenOf(window).empty();
    });
    if (!closed) return ::testing::AssertionFailure() << "Enter did not close the field";
    return ::testing::AssertionSuccess();
  }

  // Clicks the identifier field open, then waits for it.
  ::testing::AssertionResult openIdentifierField() {
    session_.pointerTo(window, 100, 35);
    session_.click();
    const bool opened = waitFor([&] {
      instance.dispatch(vst::effEditIdle);
      return !session_.childrenOf(window).empty();
    });
    if (!opened) return ::testing::AssertionFailure() << "the identifier field did not open";
    return ::testing::AssertionSuccess();
  }
  // A key through the host's key requests, down then up; both must be taken.
  ::testing::AssertionResult hostKey(std::int32_t character, unsigned char virt = 0) {
    const std::intptr_t down = instance.dispatch(vst::effEditKeyDown, character, virt);
    const std::intptr_t up = instance.dispatch(vst::effEditKeyUp, character, virt);
    if (down == 1 && up == 1) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "key " << character << "/" << int(virt) << " answered " << down << " and "
                                         << up;
  }

  X11Session& session_;
  harness::Instance instance;
  unsigned long hostWindow = 0;
  unsigned long window = 0;
  int width = 0;
  int height = 0;
};

class EditorInXvfb : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session.ok());
    ASSERT_TRUE(session.hasXTest());
    ASSERT_TRUE(library.loaded()) << library.error();
    editor = std::make_unique<OpenEditor>(library, host, session, 300, 200);
    ASSERT_NE(editor->window, 0u) << "the editor did not open one child window";
    ASSERT_TRUE(editor->idleUntilShows(expectedEditor({}), "first-paint"));
  }
  void TearDown() override { editor.reset(); }

  std::vector<harness::HostCall> calls(std::int32_t opcode) { return host.callsOf(opcode); }

  X11Session session;
  harness::Library library{harness::pluginPath()};
  harness::Host host;
  std::unique_ptr<OpenEditor> editor;
};

TEST_F(EditorInXvfb, TheHostOffersA170By150WindowAndTheEditorFillsIt) {
  EXPECT_EQ(editor->instance.effect()->flags & vst::effFlagsHasEditor, vst::effFlagsHasEditor);
  EXPECT_EQ(editor->width, 170);
  EXPECT_EQ(editor->height, 150);
  EXPECT_EQ(editor->shown().width, 170);
}

TEST_F(EditorInXvfb, TypingAnIdentifierAndEnterConnects) {
  const std::string id = uniqueId("xvfb-typed");
  ASSERT_TRUE(editor->typeIdentifier(id));
  EXPECT_TRUE(editor->idleUntilShows(expectedEditor({.identifier = id, .status = "All succeeded"}), "connected"));
  EXPECT_TRUE(anotherProcessOpens(id));
  const auto begins = calls(vst::audioMasterBeginEdit);
  const auto ends = calls(vst::audioMasterEndEdit);
  ASSERT_EQ(begins.size(), 1u);
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_EQ(begins[0].index, 5);
  EXPECT_EQ(ends[0].index, 5);
}

TEST_F(EditorInXvfb, KeysTheHostPassesOnAreTypedIntoTheOpenFieldAndEnterConnects) {
  const std::string id = uniqueId("xvfb-host-keys");
  ASSERT_TRUE(editor->openIdentifierField());
  // No X key event at all: the field keeps the keyboard focus, so only these
  // requests can put text into it. A stray character and its Backspace show
  // the field's editing, not just the text arriving.
  for (const char c : id) ASSERT_TRUE(editor->hostKey(static_cast<unsigned char>(c)));
  ASSERT_TRUE(editor->hostKey('#'));
  ASSERT_TRUE(editor->hostKey(0, vst::VKEY_BACK));
  EXPECT_EQ(editor->instance.dispatch(vst::effEditKeyDown, 0, vst::VKEY_UP), 0);  // not the field's key
  ASSERT_TRUE(editor->hostKey(13, vst::VKEY_RETURN));  // commits and closes inside the request
  EXPECT_TRUE(editor->session_.childrenOf(editor->window).empty());
  EXPECT_TRUE(editor->idleUntilShows(expectedEditor({.identifier = id, .status = "All succeeded"}), "host-keys"));
  const std::vector<unsigned char> chunk = editor->instance.chunk();
  ASSERT_EQ(chunk.size(), 80u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(chunk.data()) + 20), id);
  EXPECT_TRUE(anotherProcessOpens(id));
  // With the field closed, keys are the frame's again: not handled.
  EXPECT_EQ(editor->instance.dispatch(vst::effEditKeyDown, 'a', 0), 0);
  EXPECT_EQ(editor->instance.dispatch(vst::effEditKeyUp, 'a', 0), 0);
}

TEST_F(EditorInXvfb, ASecondInstanceTypingTheSameIdentifierIsRefused) {
  const std::string id = uniqueId("xvfb-shared");
  ASSERT_TRUE(editor->typeIdentifier(id));
  OpenEditor second(library, host, session, 520, 200);
  ASSERT_NE(second.window, 0u);
  ASSERT_TRUE(second.idleUntilShows(expectedEditor({}), "second-first-paint"));
  ASSERT_TRUE(second.typeIdentifier(id));
  EXPECT_TRUE(second.idleUntilShows(expectedEditor({.identifier = "", .status = "Invalid ID"}), "refused"));
}

TEST_F(EditorInXvfb, FortyTypedCharactersComeBackAsTheirFirst32) {
  const std::string id = (uniqueId("xvfb-long") + std::string(40, 'w')).substr(0, 40);
  ASSERT_TRUE(editor->typeIdentifier(id));
  const std::string kept = id.substr(0, 32);
  EXPECT_TRUE(editor->idleUntilShows(expectedEditor({.identifier = kept, .status = "All succeeded"}), "cut"));
  const std::vector<unsigned char> chunk = editor->instance.chunk();
  ASSERT_EQ(chunk.size(), 80u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(chunk.data()) + 20), kept);
}

TEST_F(EditorInXvfb, ChoosingTheFirstBufferEntrySetsTheLatencyAndTellsTheHost) {
  const std::string id = uniqueId("xvfb-buffer");
  // Connected as a restored project would be, so the ring headers show the
  // latency; the field keeps what it showed at opening.
  editor->instance.restoreIdentifier(id);
  platform::SharedMemory channel;
  ASSERT_TRUE(platform::SharedMemory::openExisting(id, channel::kChannelBytes, channel));
  auto* layout = channel::layoutAt(channel.map());
  ASSERT_NE(layout, nullptr);
  ASSERT_EQ(layout->sendHeader.latency, 2048);
  host.clearCalls();

  session.pointerTo(editor->window, 35, 109);
  session.click();
  std::atomic<bool> chosen{false};
  std::thread person([&] {
    X11Session hand;
    std::vector<WindowBox> popups;
    if (!waitFor([&] { return !(popups = hand.popups()).empty(); })) return;
    const WindowBox& menu = popups[0];
    // Six entries of equal height inside a 2-pixel border; "256" is the first.
    const int entryHeight = (menu.height - 4) / 6;
    hand.pointerToScreen(menu.x + menu.width / 2, menu.y + 2 + entryHeight / 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    hand.click();
    chosen = true;
  });
  // The popup runs its own loop inside this idle until an entry is chosen.
  waitFor([&] {
    editor->instance.dispatch(vst::effEditIdle);
    return chosen.load();
  });
  person.join();
  ASSERT_TRUE(chosen.load()) << "no popup menu appeared";
  EXPECT_TRUE(editor->idleUntilShows(expectedEditor({.identifier = "", .status = "All succeeded", .latency = 0.0f}),
                                     "buffer-256"));
  const auto automated = calls(vst::audioMasterAutomate);
  ASSERT_EQ(automated.size(), 1u);
  EXPECT_EQ(automated[0].index, 3);
  EXPECT_EQ(automated[0].opt, 0.0f);
  EXPECT_EQ(editor->instance.getParameter(3), 0.0f);
  EXPECT_EQ(layout->sendHeader.latency, 256);
  EXPECT_EQ(layout->receiveHeader.latency, 256);
}

TEST_F(EditorInXvfb, DraggingTheSendDisplayLeftHalvesTheSendLevel) {
  session.pointerTo(editor->window, 35, 73);
  session.button(1, true);
  std::thread person([&] {
    X11Session hand;
    if (!waitFor([&] { return !host.callsOf(vst::audioMasterBeginEdit).empty(); })) {
      hand.button(1, false);
      return;
    }
    for (int dx = 10; dx <= 100; dx += 10) {
      hand.pointerTo(editor->window, 35 - dx, 73);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    waitFor([&] {
      const auto automated = host.callsOf(vst::audioMasterAutomate);
      return !automated.empty() && automated.back().opt == 0.5f;
    });
    hand.button(1, false);
  });
  // The drag is tracked inside this idle until the button goes up.
  waitFor([&] {
    editor->instance.dispatch(vst::effEditIdle);
    return !host.callsOf(vst::audioMasterEndEdit).empty();
  });
  person.join();
  const auto automated = calls(vst::audioMasterAutomate);
  ASSERT_FALSE(automated.empty());
  EXPECT_EQ(automated.back().index, 0);
  EXPECT_EQ(automated.back().opt, 0.5f);
  EXPECT_EQ(editor->instance.getParameter(0), 0.5f);
  EXPECT_TRUE(editor->idleUntilShows(expectedEditor({.identifier = "", .status = "", .send = 0.5f}), "send-50"));
}

TEST_F(EditorInXvfb, HoldingResyncDraggingOutAndBackResynchronisesTwice) {
  const std::string id = uniqueId("xvfb-resync");
  editor->instance.restoreIdentifier(id);
  platform::SharedMemory channel;
  ASSERT_TRUE(platform::SharedMemory::openExisting(id, channel::kChannelBytes, channel));
  auto* layout = channel::layoutAt(channel.map());
  ASSERT_NE(layout, nullptr);
  auto scramble = [&] {
    channel::storeWord(layout->sendHeader.writeCount, 777);
    channel::storeWord(layout->receiveHeader.readCount, 999);
  };
  auto resynced = [&] {
    return channel::loadWord(layout->sendHeader.writeCount) == 0 &&
           channel::loadWord(layout->receiveHeader.readCount) == 0;
  };
  scramble();
  host.clearCalls();

  struct Seen {
    bool began = false;
    bool firstResync = false;
    bool pressedFace = false;
    bool releasedFaceOutside = false;
    bool heldOutsideWithoutResync = false;
    bool pressedFaceAgain = false;
    bool secondResync = false;
  } seen;
  session.pointerTo(editor->window, 135, 109);
  session.button(1, true);
  std::thread person([&] {
    X11Session hand;
    auto face = [&] { return hand.capture(editor->window, 135, 109, 1, 1).at(0, 0); };
    seen.began = waitFor([&] { return !host.callsOf(vst::audioMasterBeginEdit).empty(); });
    seen.firstResync = waitFor(resynced);
    seen.pressedFace = waitFor([&] { return face() == kCyan; });
    scramble();
    hand.pointerTo(editor->window, 135, 135);
    seen.releasedFaceOutside = waitFor([&] { return face() == kLightGrey; });
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    seen.heldOutsideWithoutResync = !resynced();
    hand.pointerTo(editor->window, 135, 109);
    seen.pressedFaceAgain = waitFor([&] { return face() == kCyan; });
    seen.secondResync = waitFor(resynced);
    hand.button(1, false);
  });
  waitFor([&] {
    editor->instance.dispatch(vst::effEditIdle);
    return !host.callsOf(vst::audioMasterEndEdit).empty();
  });
  person.join();
  EXPECT_TRUE(seen.began);
  EXPECT_TRUE(seen.firstResync) << "the press resynchronises";
  EXPECT_TRUE(seen.pressedFace) << "held over the button: the cyan face (1)";
  EXPECT_TRUE(seen.releasedFaceOutside) << "dragged out: the grey face (0)";
  EXPECT_TRUE(seen.heldOutsideWithoutResync) << "0 does not resynchronise";
  EXPECT_TRUE(seen.pressedFaceAgain) << "back in: cyan again (1)";
  EXPECT_TRUE(seen.secondResync) << "coming back in resynchronises again";
  const auto begins = calls(vst::audioMasterBeginEdit);
  const auto ends = calls(vst::audioMasterEndEdit);
  ASSERT_EQ(begins.size(), 1u);
  ASSERT_EQ(ends.size(), 1u);
  EXPECT_EQ(begins[0].index, 6);
  EXPECT_EQ(ends[0].index, 6);
  // Released: the grey face again (0), and nothing else changed. (The field
  // shows the identifier of the last opening or commit, not a restored one.)
  EXPECT_TRUE(editor->idleUntilShows(expectedEditor({.identifier = "", .status = "All succeeded"}), "released"));
}

TEST_F(EditorInXvfb, ClosingAndReopeningShowsAnEmptyStatusLineAndTheIdentifier) {
  const std::string id = uniqueId("xvfb-reopen");
  ASSERT_TRUE(editor->typeIdentifier(id));
  ASSERT_TRUE(editor->idleUntilShows(expectedEditor({.identifier = id, .status = "All succeeded"}), "before-close"));
  editor->instance.dispatch(vst::effEditClose);
  EXPECT_TRUE(session.childrenOf(editor->hostWindow).empty());
  ASSERT_EQ(editor->instance.dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(editor->hostWindow)), 1);
  const auto children = session.childrenOf(editor->hostWindow);
  ASSERT_EQ(children.size(), 1u);
  editor->window = children[0];
  EXPECT_TRUE(editor->idleUntilShows(expectedEditor({.identifier = id, .status = ""}), "reopened"));
}

}  // namespace
}  // namespace editor_test
