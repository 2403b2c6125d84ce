// The editor in a real X server, driven as a host drives it: a top-level
// window of the "host", the test plug-in's editor opened inside it through the
// effect record, real input through XTest, pixels read back with XGetImage.
// gtest first: X11's macros (None, Bool, Status) would break its templates.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// clang-format on
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "tests/harness/host_harness.h"
#include "tests/toolkit/probe_plugin.h"
#include "tests/toolkit/x11_windows.h"
#include "toolkit/button_state.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Pixel {
  int red;
  int green;
  int blue;
  bool operator==(const Pixel&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Pixel& p) {
  return out << "(" << p.red << ", " << p.green << ", " << p.blue << ")";
}

constexpr Pixel kProbe{200, 30, 40};
constexpr Pixel kFrame{90, 100, 110};

class X11EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    ASSERT_TRUE(XTestQueryExtension(display, &event, &error, &major, &minor));
    library = std::make_unique<harness::Library>(TOOLKIT_PROBE_PLUGIN);
    ASSERT_TRUE(library->loaded()) << library->error();
    void* self = dlopen(TOOLKIT_PROBE_PLUGIN, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(self, nullptr);
    probeOf = reinterpret_cast<ToolkitProbe* (*)()>(dlsym(self, "toolkitTestProbe"));
    queryButtons = reinterpret_cast<int (*)()>(dlsym(self, "toolkitTestQueryButtons"));
    pointerOf = reinterpret_cast<int (*)(int*, int*)>(dlsym(self, "toolkitTestPointer"));
    dlclose(self);
    ASSERT_NE(probeOf, nullptr);
    ASSERT_NE(queryButtons, nullptr);
    ASSERT_NE(pointerOf, nullptr);
    *probeOf() = ToolkitProbe{};
    instance = std::make_unique<harness::Instance>(*library, host);
    ASSERT_TRUE(instance->ok());
    hostWindow = makeHostWindow(10, 20);
  }

  void TearDown() override {
    if (instance && instance->ok()) instance->dispatch(vst::effEditClose);
    instance.reset();
    if (display) {
      if (hostWindow) XDestroyWindow(display, hostWindow);
      XCloseDisplay(display);
    }
    library.reset();
  }

  // A top-level window, mapped, as a host's editor window would be.
  Window makeHostWindow(int x, int y) {
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y, 300, 250, 0, 0, 0);
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    XEvent event;
    do {
      XWindowEvent(display, window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
    return window;
  }

  std::vector<Window> childrenOf(Window window) { return toolkit_test::childWindows(display, window); }

  bool openEditor(Window parent) {
    vst::ERect* rect = nullptr;
    if (instance->dispatch(vst::effEditGetRect, 0, 0, &rect) != 1 || !rect) return false;
    return instance->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)) == 1;
  }

  // Runs the host's idle until the condition holds or two seconds pass.
  bool idleUntil(const std::function<bool()>& condition) {
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (Clock::now() < deadline) {
      instance->dispatch(vst::effEditIdle);
      if (condition()) return true;
      usleep(5000);
    }
    return false;
  }

  Window openAndPaint() {
    EXPECT_TRUE(openEditor(hostWindow));
    const auto children = childrenOf(hostWindow);
    EXPECT_EQ(children.size(), 1u);
    EXPECT_TRUE(idleUntil([&] { return probeOf()->paints > 0; }));
    return children.empty() ? 0 : children[0];
  }

  Pixel pixelAt(Window window, int x, int y) {
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return Pixel{-1, -1, -1};
    const unsigned long value = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return Pixel{static_cast<int>((value >> 16) & 0xff), static_cast<int>((value >> 8) & 0xff),
                 static_cast<int>(value & 0xff)};
  }

  void pointerTo(Window window, int x, int y) {
    int rootX = 0;
    int rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    XSync(display, False);
  }

  void press(unsigned int button) {
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XSync(display, False);
  }

  Display* display = nullptr;
  harness::Host host;
  std::unique_ptr<harness::Library> library;
  std::unique_ptr<harness::Instance> instance;
  ToolkitProbe* (*probeOf)() = nullptr;
  int (*queryButtons)() = nullptr;
  int (*pointerOf)(int*, int*) = nullptr;
  Window hostWindow = 0;
};

TEST_F(X11EditorTest, OpenMakesOneChildWindowOfTheEditorSize) {
  ASSERT_TRUE(openEditor(hostWindow));
  const auto children = childrenOf(hostWindow);
  ASSERT_EQ(children.size(), 1u);
  XWindowAttributes attributes{};
  ASSERT_TRUE(XGetWindowAttributes(display, children[0], &attributes));
  EXPECT_EQ(attributes.width, 170);
  EXPECT_EQ(attributes.height, 150);
  EXPECT_EQ(attributes.x, 0);
  EXPECT_EQ(attributes.y, 0);
  EXPECT_EQ(attributes.map_state, IsViewable);
  EXPECT_GT(probeOf()->connectionUsers, 0);
}

TEST_F(X11EditorTest, AnExposePaintsTheFrameAndItsViews) {
  const Window child = openAndPaint();
  ASSERT_NE(child, 0u);
  EXPECT_EQ(pixelAt(child, 20, 30), kProbe);  // the probe view's corner
  EXPECT_EQ(pixelAt(child, 79, 69), kProbe);
  EXPECT_EQ(pixelAt(child, 80, 70), kFrame);
  EXPECT_EQ(pixelAt(child, 150, 120), kFrame);
  EXPECT_EQ(pixelAt(child, 169, 149), kFrame);
}

TEST_F(X11EditorTest, IdleWithNothingDirtyPaintsNothing) {
  openAndPaint();
  const int paints = probeOf()->paints;
  for (int i = 0; i < 20; ++i) instance->dispatch(vst::effEditIdle);
  EXPECT_EQ(probeOf()->paints, paints);
}

struct ClickCase {
  const char* name;
  unsigned int button;
  KeySym modifier;  // 0: none
  int expected;
};

class X11Clicks : public X11EditorTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(X11Clicks, ReachTheViewWithFrameCoordinatesAndButtons) {
  const ClickCase& c = GetParam();
  const Window child = openAndPaint();
  ASSERT_NE(child, 0u);
  pointerTo(child, 33, 44);
  KeyCode key = 0;
  if (c.modifier) {
    key = XKeysymToKeycode(display, c.modifier);
    XTestFakeKeyEvent(display, key, True, CurrentTime);
  }
  press(c.button);
  if (key) {
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    XSync(display, False);
  }
  ASSERT_TRUE(idleUntil([&] { return probeOf()->clicks > 0; }));
  EXPECT_EQ(probeOf()->clicks, 1);
  EXPECT_EQ(probeOf()->clickX, 33);
  EXPECT_EQ(probeOf()->clickY, 44);
  EXPECT_EQ(probeOf()->clickButtons, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, X11Clicks,
                         ::testing::Values(ClickCase{"left", 1, 0, toolkit::kButtonLeft},
                                           ClickCase{"middle", 2, 0, toolkit::kButtonMiddle},
                                           ClickCase{"right", 3, 0, toolkit::kButtonRight},
                                           ClickCase{"shiftLeft", 1, XK_Shift_L,
                                                     toolkit::kButtonLeft | toolkit::kModShift},
                                           ClickCase{"controlRight", 3, XK_Control_L,
                                                     toolkit::kButtonRight | toolkit::kModControl}),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(X11EditorTest, ButtonQueriesReadTheServersStateNow) {
  const Window child = openAndPaint();
  pointerTo(child, 40, 50);
  EXPECT_EQ(queryButtons(), 0);
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_Control_L), True, CurrentTime);
  XSync(display, False);
  EXPECT_EQ(queryButtons(), toolkit::kButtonLeft | toolkit::kModControl);
  XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_Control_L), False, CurrentTime);
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XSync(display, False);
  EXPECT_EQ(queryButtons(), 0);
}

TEST_F(X11EditorTest, SwappedButtonsMakeThePhysicalLeftButtonTheRightOne) {
  const Window child = openAndPaint();
  pointerTo(child, 40, 50);
  unsigned char usual[64] = {};
  const int count = XGetPointerMapping(display, usual, 64);
  ASSERT_GE(count, 3);
  unsigned char swapped[64] = {};
  std::copy(usual, usual + count, swapped);
  std::swap(swapped[0], swapped[2]);
  ASSERT_EQ(XSetPointerMapping(display, swapped, count), MappingSuccess);
  XSync(display, False);
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XSync(display, False);
  const int held = queryButtons();
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  XSetPointerMapping(display, usual, count);
  XSync(display, False);
  EXPECT_EQ(held, toolkit::kButtonRight);
}

TEST_F(X11EditorTest, PointerPositionIsInFrameCoordinates) {
  const Window child = openAndPaint();
  pointerTo(child, 57, 61);
  int x = 0;
  int y = 0;
  ASSERT_EQ(pointerOf(&x, &y), 1);
  EXPECT_EQ(x, 57);
  EXPECT_EQ(y, 61);
}

TEST_F(X11EditorTest, SizeAndPositionAreMeasuredOnTheWindows) {
  const Window child = openAndPaint();
  void* self = dlopen(TOOLKIT_PROBE_PLUGIN, RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(self, nullptr);
  auto getSize = reinterpret_cast<int (*)(int*)>(dlsym(self, "toolkitTestGetSize"));
  auto getPosition = reinterpret_cast<int (*)(int*, int*)>(dlsym(self, "toolkitTestGetPosition"));
  auto setSize = reinterpret_cast<int (*)(int, int)>(dlsym(self, "toolkitTestSetSize"));
  dlclose(self);
  ASSERT_TRUE(getSize && getPosition && setSize);
  // The host's window, in its parent's (the root's) coordinates.
  int rect[4] = {};
  ASSERT_EQ(getSize(rect), 1);
  EXPECT_EQ(rect[0], 10);
  EXPECT_EQ(rect[1], 20);
  EXPECT_EQ(rect[2], 310);
  EXPECT_EQ(rect[3], 270);
  // The host window is far larger than ours: our own window is the wrapper.
  int x = -1;
  int y = -1;
  ASSERT_EQ(getPosition(&x, &y), 1);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  // A host that cannot "sizeWindow": only our own window changes.
  EXPECT_EQ(setSize(170, 150), 0);
  ASSERT_EQ(setSize(200, 180), 1);
  XSync(display, False);
  XWindowAttributes attributes{};
  ASSERT_TRUE(XGetWindowAttributes(display, child, &attributes));
  EXPECT_EQ(attributes.width, 200);
  EXPECT_EQ(attributes.height, 180);
  ASSERT_TRUE(XGetWindowAttributes(display, hostWindow, &attributes));
  EXPECT_EQ(attributes.width, 300);
  EXPECT_EQ(attributes.height, 250);
  // The next idle paints the grown area.
  EXPECT_TRUE(idleUntil([&] { return pixelAt(child, 190, 170) == kFrame; }));
}

TEST_F(X11EditorTest, AClickOutsideEveryViewReachesNobody) {
  const Window child = openAndPaint();
  pointerTo(child, 150, 120);
  press(1);
  pointerTo(child, 40, 50);
  press(4);  // a later event proves the click was processed
  ASSERT_TRUE(idleUntil([&] { return probeOf()->wheels > 0; }));
  EXPECT_EQ(probeOf()->clicks, 0);
}

TEST_F(X11EditorTest, TheWheelGivesPlusOneUpAndMinusOneDown) {
  const Window child = openAndPaint();
  pointerTo(child, 40, 50);
  press(4);
  ASSERT_TRUE(idleUntil([&] { return probeOf()->wheels == 1; }));
  EXPECT_FLOAT_EQ(probeOf()->lastWheel, 1.0f);
  press(5);
  ASSERT_TRUE(idleUntil([&] { return probeOf()->wheels == 2; }));
  EXPECT_FLOAT_EQ(probeOf()->lastWheel, -1.0f);
  EXPECT_EQ(probeOf()->clicks, 0);
}

TEST_F(X11EditorTest, ClosingTheEditorLeavesNoWindowBehindAndItReopens) {
  openAndPaint();
  instance->dispatch(vst::effEditClose);
  EXPECT_TRUE(childrenOf(hostWindow).empty());
  EXPECT_EQ(probeOf()->connectionUsers, 0);
  probeOf()->paints = 0;
  openAndPaint();
  EXPECT_EQ(childrenOf(hostWindow).size(), 1u);
  EXPECT_GT(probeOf()->paints, 0);
}

TEST_F(X11EditorTest, TheHostDestroyingItsWindowFirstIsSurvived) {
  openAndPaint();
  XDestroyWindow(display, hostWindow);
  XSync(display, False);
  hostWindow = 0;
  // Idle, a click request and close after the window is gone: no X error may
  // reach Xlib's default handler (it would end this process).
  for (int i = 0; i < 10; ++i) instance->dispatch(vst::effEditIdle);
  instance->dispatch(vst::effEditClose);
  EXPECT_EQ(probeOf()->connectionUsers, 0);
  // And the editor opens again in a new host window.
  hostWindow = makeHostWindow(30, 30);
  probeOf()->paints = 0;
  openAndPaint();
  EXPECT_GT(probeOf()->paints, 0);
}

TEST_F(X11EditorTest, ClosingRightAfterTheHostDestroysItsWindowIsSafe) {
  openAndPaint();
  XDestroyWindow(display, hostWindow);
  XSync(display, False);
  hostWindow = 0;
  instance->dispatch(vst::effEditClose);  // no idle in between
  EXPECT_EQ(probeOf()->connectionUsers, 0);
}

TEST_F(X11EditorTest, TwoEditorsShareOneConnectionUntilTheLastCloses) {
  openAndPaint();
  harness::Instance second(*library, host);
  ASSERT_TRUE(second.ok());
  const Window otherHost = makeHostWindow(400, 20);
  ASSERT_EQ(second.dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(otherHost)), 1);
  const int bothOpen = probeOf()->connectionUsers;
  instance->dispatch(vst::effEditClose);
  EXPECT_GT(probeOf()->connectionUsers, 0);
  EXPECT_LT(probeOf()->connectionUsers, bothOpen);
  probeOf()->paints = 0;
  const auto deadline = Clock::now() + std::chrono::seconds(2);
  while (probeOf()->paints == 0 && Clock::now() < deadline) {
    second.dispatch(vst::effEditIdle);
    usleep(5000);
  }
  EXPECT_GT(probeOf()->paints, 0);  // the second window still gets its expose
  second.dispatch(vst::effEditClose);
  EXPECT_EQ(probeOf()->connectionUsers, 0);
  XDestroyWindow(display, otherHost);
}

}  // namespace
