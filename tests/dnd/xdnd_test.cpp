// Drags from another program over the editor's frame window, end to end: a
// host top-level window, a frame inside it, recording views, and our XDND
// source program moving the real pointer and dropping or leaving.
// gtest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/dnd/source_run.h"
#include "tests/dnd/test_views.h"
#include "toolkit/cdrag_container.h"
#include "toolkit/cframe.h"

namespace {

using dnd_test::DragEvent;
using dnd_test::linesStarting;
using dnd_test::SourceRun;
using toolkit::CPoint;
using toolkit::CRect;

// Where the host's top-level window sits on the screen (no window manager
// runs, so it stays there); the frame window is at its top-left corner.
constexpr int kHostX = 100;
constexpr int kHostY = 80;

class XdndTest : public testing::Test {
 protected:
  void SetUp() override {
    host = XOpenDisplay(nullptr);
    ASSERT_NE(host, nullptr);
    hostWindow = XCreateSimpleWindow(host, DefaultRootWindow(host), kHostX, kHostY, 300, 200, 0, 0, 0);
    XMapWindow(host, hostWindow);
    XSync(host, False);
  }

  void TearDown() override {
    delete frame;
    frame = nullptr;
    if (toolkit::currentDrag) toolkit::currentDrag->release();
    toolkit::currentDrag = nullptr;
    if (host) {
      if (hostWindow) XDestroyWindow(host, hostWindow);
      XCloseDisplay(host);
    }
  }

  // The frame with view "a" at (10, 10, 60, 60) and, inside a container at
  // (80, 10, 160, 140), view "b" at (10, 10, 70, 120) of the container.
  void openFrame() { openFrameIn(hostWindow); }
  void openFrameIn(Window parent) {
    frame = new toolkit::CFrame(CRect(0, 0, 170, 150), reinterpret_cast<void*>(parent), nullptr);
    a = new dnd_test::RecordingView(CRect(10, 10, 60, 60), "a", log);
    frame->addView(a);
    auto* box = new toolkit::CViewContainer(CRect(80, 10, 160, 140), frame);
    frame->addView(box);
    b = new dnd_test::RecordingView(CRect(10, 10, 70, 120), "b", log);
    box->addView(b);
    ASSERT_NE(frame->getWindowId(), 0u);
  }

  // Runs the source while pumping the frame's events from "idle", as a host
  // would.
  SourceRun drag(const std::vector<std::string>& arguments) {
    return dnd_test::runSource(arguments, [this] { frame->idle(); });
  }

  static std::string at(int frameX, int frameY) {
    return std::to_string(kHostX + frameX) + "," + std::to_string(kHostY + frameY);
  }

  long readLong(Window window, const char* name, Atom type) {
    const Atom property = XInternAtom(host, name, False);
    Atom actual = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long value = -1;  // absent
    if (XGetWindowProperty(host, window, property, 0, 1, False, type, &actual, &format, &count, &after, &data) ==
            Success &&
        actual == type && count == 1) {
      value = *reinterpret_cast<long*>(data);
    }
    if (data) XFree(data);
    return value;
  }

  Display* host = nullptr;
  Window hostWindow = 0;
  toolkit::CFrame* frame = nullptr;
  dnd_test::RecordingView* a = nullptr;
  dnd_test::RecordingView* b = nullptr;
  std::vector<DragEvent> log;
};

TEST_F(XdndTest, DropEnablingAdvertisesTheWindowAndProxiesTheTopLevel) {
  openFrame();
  const auto ours = static_cast<Window>(frame->getWindowId());
  EXPECT_EQ(readLong(ours, "XdndAware", XA_ATOM), 5);
  EXPECT_EQ(readLong(ours, "XdndProxy", XA_WINDOW), static_cast<long>(ours));
  EXPECT_EQ(readLong(hostWindow, "XdndProxy", XA_WINDOW), static_cast<long>(ours));
  EXPECT_TRUE(frame->isDropEnabled());

  EXPECT_TRUE(frame->enableDrop(false));
  EXPECT_EQ(readLong(ours, "XdndAware", XA_ATOM), -1);
  EXPECT_EQ(readLong(ours, "XdndProxy", XA_WINDOW), -1);
  EXPECT_EQ(readLong(hostWindow, "XdndProxy", XA_WINDOW), -1);
  const SourceRun refused = drag({"--types", "text/plain", "--at", at(30, 30)});
  EXPECT_EQ(refused.exitCode, 1);  // nothing XDND-aware under the pointer
  EXPECT_TRUE(log.empty());

  EXPECT_TRUE(frame->enableDrop(true));
  EXPECT_EQ(readLong(hostWindow, "XdndProxy", XA_WINDOW), static_cast<long>(ours));
  delete frame;
  frame = nullptr;
  EXPECT_EQ(readLong(hostWindow, "XdndProxy", XA_WINDOW), -1);
}

TEST_F(XdndTest, ATopLevelThatSpeaksXdndItselfKeepsItsProperties) {
  const long version = 4;
  XChangeProperty(host, hostWindow, XInternAtom(host, "XdndAware", False), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&version), 1);
  XSync(host, False);
  openFrame();
  EXPECT_EQ(readLong(hostWindow, "XdndProxy", XA_WINDOW), -1);
  EXPECT_EQ(readLong(static_cast<Window>(frame->getWindowId()), "XdndAware", XA_ATOM), 5);
  delete frame;
  frame = nullptr;
  EXPECT_EQ(readLong(hostWindow, "XdndAware", XA_ATOM), 4);
}

TEST_F(XdndTest, UnderAWindowManagerTheClientWindowGetsTheProxy) {
  // root > hostWindow (a window manager's frame) > client (WM_STATE) > editor area > ours
  const Window client = XCreateSimpleWindow(host, hostWindow, 0, 20, 300, 180, 0, 0, 0);
  const Window area = XCreateSimpleWindow(host, client, 0, 0, 200, 160, 0, 0, 0);
  const long state[2] = {1, 0};  // NormalState, no icon
  const Atom wmState = XInternAtom(host, "WM_STATE", False);
  XChangeProperty(host, client, wmState, wmState, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(state), 2);
  XMapWindow(host, area);
  XMapWindow(host, client);
  XSync(host, False);
  openFrameIn(area);
  const auto ours = static_cast<long>(frame->getWindowId());
  EXPECT_EQ(readLong(client, "XdndProxy", XA_WINDOW), ours);
  EXPECT_EQ(readLong(hostWindow, "XdndProxy", XA_WINDOW), -1);
  EXPECT_EQ(readLong(area, "XdndProxy", XA_WINDOW), -1);
  delete frame;
  frame = nullptr;
  EXPECT_EQ(readLong(client, "XdndProxy", XA_WINDOW), -1);
}

struct OfferCase {
  const char* name;
  std::vector<std::string> sourceArguments;
  int items;
};

void PrintTo(const OfferCase& c, std::ostream* out) { *out << c.name; }

class XdndOffer : public XdndTest, public testing::WithParamInterface<OfferCase> {};

TEST_P(XdndOffer, DropMakesAContainerWithTheItemsOffered) {
  openFrame();
  std::vector<std::string> arguments = GetParam().sourceArguments;
  for (const auto& point : {at(20, 20), at(30, 40)}) {
    arguments.push_back("--at");
    arguments.push_back(point);
  }
  const SourceRun run = drag(arguments);
  dnd_test::expectCopyAnswers(run, 2, true);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), (DragEvent{"a", "enter", CPoint(20, 20)}));
  EXPECT_EQ(log.front().items, GetParam().items);
  EXPECT_EQ(toolkit::currentDrag, nullptr);
}

const char* const kThreeFiles = "file:///tmp/one.wav\\r\\nfile:///tmp/two%20b.wav\\r\\nfile://host/tmp/three.wav\\r\\n";

INSTANTIATE_TEST_SUITE_P(
    Offers, XdndOffer,
    testing::Values(
        OfferCase{"plain_text", {"--types", "text/plain;charset=utf-8,UTF8_STRING", "--data", "hello"}, 1},
        OfferCase{"three_files", {"--types", "text/uri-list", "--data", kThreeFiles}, 3},
        // More than three types travel in the source's XdndTypeList.
        OfferCase{"three_files_in_a_type_list",
                  {"--types", "x-special/a,x-special/b,image/png,application/x-kde,text/uri-list", "--data",
                   kThreeFiles},
                  3},
        OfferCase{"three_files_in_incr_pieces", {"--types", "text/uri-list", "--data", kThreeFiles, "--incr", "7"}, 3},
        OfferCase{"list_refused", {"--types", "text/uri-list", "--data", kThreeFiles, "--refuse", "1"}, 0},
        OfferCase{"neither_text_nor_files", {"--types", "image/png", "--data", "PNG"}, 0}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(XdndTest, ViewsUnderThePointerGetTheDragInRoutingOrder) {
  openFrame();
  // The messages claim positions far off: the views must get the real pointer.
  const SourceRun run = drag({"--types", "text/plain", "--data", "x", "--claim", "400,300", "--at", at(20, 20), "--at",
                              at(40, 30), "--at", at(100, 50), "--at", at(110, 60)});
  dnd_test::expectCopyAnswers(run, 4, true);
  // b's points are in its container's coordinates (the container is at 80, 10).
  // Every position, the first included, comes as a move.
  const std::vector<DragEvent> expected{{"a", "enter", CPoint(20, 20)}, {"a", "over", CPoint(20, 20)},
                                        {"a", "over", CPoint(40, 30)},
                                        {"a", "leave", CPoint(100, 50)}, {"b", "enter", CPoint(20, 40)},
                                        {"b", "over", CPoint(30, 50)},   {"b", "drop", CPoint(30, 50)},
                                        {"b", "leave", CPoint(30, 50)}};
  ASSERT_EQ(log, expected);
  for (const DragEvent& event : log) EXPECT_EQ(event.drag, log.front().drag) << event;
}

TEST_F(XdndTest, ALeaveReleasesTheContainerAndTheNextDragStartsWithANewOne) {
  openFrame();
  a->keepDrags = true;
  const SourceRun left = drag({"--types", "text/uri-list", "--data", kThreeFiles, "--at", at(20, 20), "--at",
                               at(30, 30), "--end", "leave"});
  dnd_test::expectCopyAnswers(left, 2, false);
  const std::vector<DragEvent> leaving{{"a", "enter", CPoint(20, 20)}, {"a", "over", CPoint(20, 20)},
                                       {"a", "over", CPoint(30, 30)},
                                       {"a", "leave", CPoint(30, 30)}};
  ASSERT_EQ(log, leaving);
  toolkit::CDragContainer* first = log.front().drag;
  EXPECT_EQ(toolkit::currentDrag, nullptr);
  EXPECT_EQ(first->getNbReference(), 1);  // only the view's own reference is left

  log.clear();
  const SourceRun dropped = drag({"--types", "text/plain", "--at", at(25, 25)});
  dnd_test::expectCopyAnswers(dropped, 1, true);
  ASSERT_FALSE(log.empty());
  EXPECT_NE(log.front().drag, first);
  EXPECT_EQ(log.front().items, 1);
  EXPECT_EQ(first->getItemCount(), 3);
}

TEST_F(XdndTest, ADragWhoseSourceVanishesEndsWhenTheNextOneEnters) {
  openFrame();
  a->keepDrags = true;
  const SourceRun vanished = drag({"--types", "text/plain", "--at", at(20, 20), "--end", "none"});
  dnd_test::expectCopyAnswers(vanished, 1, false);
  ASSERT_NE(toolkit::currentDrag, nullptr);
  toolkit::CDragContainer* first = toolkit::currentDrag;

  const SourceRun next = drag({"--types", "text/plain", "--at", at(30, 30)});
  dnd_test::expectCopyAnswers(next, 1, true);
  EXPECT_EQ(first->getNbReference(), 1);
  EXPECT_EQ(toolkit::currentDrag, nullptr);
  const std::vector<DragEvent> expected{{"a", "enter", CPoint(20, 20)}, {"a", "over", CPoint(20, 20)},
                                        {"a", "leave", CPoint(30, 30)}, {"a", "enter", CPoint(30, 30)},
                                        {"a", "over", CPoint(30, 30)},  {"a", "drop", CPoint(30, 30)},
                                        {"a", "leave", CPoint(30, 30)}};
  EXPECT_EQ(log, expected);
}

TEST_F(XdndTest, AnUnsupportedVersionIsRefusedButEveryMessageIsAnswered) {
  openFrame();
  const SourceRun run = drag({"--types", "text/plain", "--version", "2", "--at", at(20, 20), "--at", at(30, 30)});
  EXPECT_EQ(run.exitCode, 0) << testing::PrintToString(run.lines);
  const auto statuses = linesStarting(run, "status ");
  ASSERT_EQ(statuses.size(), 2u);
  for (const auto& line : statuses) EXPECT_NE(line.find(" accept=0 action=None"), std::string::npos) << line;
  const auto finished = linesStarting(run, "finished ");
  ASSERT_EQ(finished.size(), 1u);
  EXPECT_NE(finished[0].find(" accepted=0 action=None"), std::string::npos) << finished[0];
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(toolkit::currentDrag, nullptr);
}

TEST_F(XdndTest, ClosingTheFrameDuringADragEndsItForTheViews) {
  openFrame();
  const SourceRun run = drag({"--types", "text/plain", "--at", at(20, 20), "--end", "none"});
  dnd_test::expectCopyAnswers(run, 1, false);
  ASSERT_NE(toolkit::currentDrag, nullptr);
  delete frame;
  frame = nullptr;
  EXPECT_EQ(toolkit::currentDrag, nullptr);
  const std::vector<DragEvent> expected{{"a", "enter", CPoint(20, 20)}, {"a", "over", CPoint(20, 20)},
                                        {"a", "leave", CPoint(20, 20)}};
  EXPECT_EQ(log, expected);
}

TEST_F(XdndTest, AHostThatDestroysItsWindowFirstLeavesNothingToWithdraw) {
  openFrame();
  XDestroyWindow(host, hostWindow);  // ours goes with it
  XSync(host, False);
  hostWindow = 0;
  for (int i = 0; i < 5; ++i) frame->idle();
  EXPECT_FALSE(frame->isOpen());
  // Withdrawing the properties from windows that are gone must not reach
  // Xlib's default error handler, which would end the host.
  delete frame;
  frame = nullptr;
  EXPECT_EQ(toolkit::currentDrag, nullptr);
}

}  // namespace
