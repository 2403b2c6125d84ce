// The edit field and the popup menu in a real X server, used as a person
// would: real pointer and key events through XTest, the frame's events
// pumped by the editor's idle as a host calls it. A popup is modal, so while
// one is open a second thread, with a connection of its own, plays the user.
// gtest first: X11's macros (None, Bool, Status) would break its templates.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// clang-format on
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "editor/aeff_gui_editor.h"
#include "toolkit/button_state.h"
#include "toolkit/cframe.h"
#include "toolkit/controls/coption_menu.h"
#include "toolkit/controls/ctext_edit.h"
#include "tests/toolkit/x11_windows.h"

using namespace toolkit;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kHostX = 10;
constexpr int kHostY = 20;
const CRect kEditBox(50, 25, 150, 45);
const CRect kMenuBox(18, 101, 52, 117);
constexpr int kMenuItemHeight = 12 + 8;  // the popup's font size plus padding
constexpr int kMenuBorder = 2;

class LoggingEditor : public AEffGUIEditor {
 public:
  LoggingEditor() : AEffGUIEditor(nullptr) {}
  void setFrame(CFrame* f) { frame = f; }
  void beginEdit(int index) override { log.push_back("begin " + std::to_string(index)); }
  void endEdit(int index) override { log.push_back("end " + std::to_string(index)); }
  std::vector<std::string> log;
};

class Listener : public CControlListener {
 public:
  void valueChanged(CDrawContext*, CControl* control) override {
    controls.push_back(control);
    values.push_back(control->getValue());
    if (control->isOfClass("CTextEdit")) {
      char text[kTextBufferSize] = {};
      static_cast<CTextEdit*>(control)->getText(text);
      texts.emplace_back(text);
    }
  }
  std::vector<CControl*> controls;
  std::vector<float> values;
  std::vector<std::string> texts;
};

// A connection of the test's own, for XTest input and looking at windows.
struct Driver {
  Display* display = XOpenDisplay(nullptr);
  ~Driver() {
    if (display) XCloseDisplay(display);
  }
  void moveTo(int rootX, int rootY) {
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    XSync(display, False);
  }
  void click(int rootX, int rootY, unsigned int button = 1) {
    moveTo(rootX, rootY);
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XSync(display, False);
    usleep(20000);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XSync(display, False);
  }
  void key(KeySym keysym, KeySym modifier = 0) {
    const KeyCode code = XKeysymToKeycode(display, keysym);
    const KeyCode mod = modifier ? XKeysymToKeycode(display, modifier) : 0;
    if (mod) XTestFakeKeyEvent(display, mod, True, CurrentTime);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    if (mod) XTestFakeKeyEvent(display, mod, False, CurrentTime);
    XSync(display, False);
  }
  void type(const std::string& text) {
    for (char c : text) key(static_cast<KeySym>(static_cast<unsigned char>(c)));
  }
  std::vector<Window> childrenOf(Window window) { return toolkit_test::childWindows(display, window); }
  // Mapped popup menus on the screen, in stacking order.
  std::vector<XWindowAttributes> popups() {
    std::vector<XWindowAttributes> found;
    const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    const Atom popup = XInternAtom(display, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False);
    for (Window window : childrenOf(DefaultRootWindow(display))) {
      XWindowAttributes attributes{};
      if (!XGetWindowAttributes(display, window, &attributes)) continue;
      if (!attributes.override_redirect || attributes.map_state != IsViewable) continue;
      Atom actual = 0;
      int format = 0;
      unsigned long count = 0;
      unsigned long remaining = 0;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display, window, type, 0, 1, False, XA_ATOM, &actual, &format, &count, &remaining,
                             &data) == Success && data) {
        const bool isPopup = count == 1 && *reinterpret_cast<Atom*>(data) == popup;
        XFree(data);
        if (isPopup) found.push_back(attributes);
      }
    }
    return found;
  }
  bool waitForPopups(std::size_t count, std::vector<XWindowAttributes>& out) {
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    while (Clock::now() < deadline) {
      out = popups();
      if (out.size() >= count) {
        usleep(150000);  // let the menu take its grab
        return true;
      }
      usleep(10000);
    }
    return false;
  }
  Window focus() {
    Window window = 0;
    int revert = 0;
    XGetInputFocus(display, &window, &revert);
    return window;
  }
  int countPixels(Window window, unsigned long rgb) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return -1;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image) return -1;
    int count = 0;
    for (int y = 0; y < attributes.height; ++y) {
      for (int x = 0; x < attributes.width; ++x) count += (XGetPixel(image, x, y) & 0xFFFFFF) == rgb ? 1 : 0;
    }
    XDestroyImage(image);
    return count;
  }
};

// Offers a text on the CLIPBOARD from a window of its own, as another
// program would, until it is destroyed.
class ClipboardOwner {
 public:
  explicit ClipboardOwner(std::string text) : text_(std::move(text)) {
    display_ = XOpenDisplay(nullptr);
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(display_, XInternAtom(display_, "CLIPBOARD", False), window_, CurrentTime);
    XSync(display_, False);
    thread_ = std::thread([this] { serve(); });
  }
  ~ClipboardOwner() {
    stop_ = true;
    thread_.join();
    XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
  }
  bool owns() {
    return XGetSelectionOwner(display_, XInternAtom(display_, "CLIPBOARD", False)) == window_;
  }

 private:
  void serve() {
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    while (!stop_) {
      while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type != SelectionRequest) continue;
        const XSelectionRequestEvent& request = event.xselectionrequest;
        XSelectionEvent reply{};
        reply.type = SelectionNotify;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.time = request.time;
        reply.property = None;
        if (request.target == utf8 || request.target == XA_STRING) {
          XChangeProperty(display_, request.requestor, request.property, request.target, 8, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(text_.data()), static_cast<int>(text_.size()));
          reply.property = request.property;
        }
        XSendEvent(display_, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
        XFlush(display_);
      }
      usleep(5000);
    }
  }
  std::string text_;
  Display* display_ = nullptr;
  Window window_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class X11Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(driver.display, nullptr);
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    ASSERT_TRUE(XTestQueryExtension(driver.display, &event, &error, &major, &minor));
    hostWindow = XCreateSimpleWindow(driver.display, DefaultRootWindow(driver.display), kHostX, kHostY, 300, 250, 0,
                                     0, 0);
    XSelectInput(driver.display, hostWindow, StructureNotifyMask);
    XMapWindow(driver.display, hostWindow);
    XEvent mapped;
    do {
      XWindowEvent(driver.display, hostWindow, StructureNotifyMask, &mapped);
    } while (mapped.type != MapNotify);
    frame = new CFrame(CRect(0, 0, 170, 150), reinterpret_cast<void*>(hostWindow), &editor);
    ASSERT_NE(frame->getWindowId(), 0u);
    editor.setFrame(frame);
    edit = new CTextEdit(kEditBox, &listener, 5, "pd-link");
    edit->setFont(kFontLarge);
    edit->setTextAlign(kAlignLeft);
    edit->setFontColor(kColorBlack);
    edit->setBackColor(kColorWhite);
    frame->addView(edit);
    menu = new COptionMenu(kMenuBox, &listener, 3);
    frame->addView(menu);
    idleUntil([&] { return !frame->isFirstPaintPending(); });
  }

  void TearDown() override {
    editor.setFrame(nullptr);
    delete frame;
    if (hostWindow) XDestroyWindow(driver.display, hostWindow);
    XSync(driver.display, False);
  }

  // The host's idle until the condition holds or two seconds pass.
  bool idleUntil(const std::function<bool()>& condition, int milliseconds = 2000) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < deadline) {
      editor.idle();
      if (condition()) return true;
      usleep(5000);
    }
    return false;
  }
  void idleFor(int milliseconds) {
    idleUntil([] { return false; }, milliseconds);
  }

  Window fieldWindow() {
    const auto children = driver.childrenOf(static_cast<Window>(frame->getWindowId()));
    return children.empty() ? 0 : children[0];
  }

  void openField() {
    driver.click(kHostX + 60, kHostY + 35);
    ASSERT_TRUE(idleUntil([&] { return edit->isEditing(); }));
    ASSERT_TRUE(idleUntil([&] { return driver.focus() == fieldWindow() && fieldWindow() != 0; }));
  }

  std::string editText() {
    char text[kTextBufferSize] = {};
    edit->getText(text);
    return text;
  }

  Driver driver;
  LoggingEditor editor;
  Listener listener;
  Window hostWindow = 0;
  CFrame* frame = nullptr;
  CTextEdit* edit = nullptr;
  COptionMenu* menu = nullptr;
};

TEST_F(X11Controls, FieldOpensOverTheControlWithTheTextSelectedAndTheFocus) {
  openField();
  const Window field = fieldWindow();
  XWindowAttributes attributes{};
  ASSERT_TRUE(XGetWindowAttributes(driver.display, field, &attributes));
  EXPECT_EQ(attributes.x, 50);
  EXPECT_EQ(attributes.y, 25);
  EXPECT_EQ(attributes.width, 100);
  EXPECT_EQ(attributes.height, 20);
  EXPECT_EQ(attributes.map_state, IsViewable);
  // Selected text shows reversed, on a black band as wide as the text.
  EXPECT_GT(driver.countPixels(field, 0x000000u), 300);
  driver.type("x");
  // Typing replaced the selection: one black glyph and the caret are left.
  ASSERT_TRUE(idleUntil([&] { return driver.countPixels(field, 0x000000u) < 80; }));
  EXPECT_GT(driver.countPixels(field, 0x000000u), 5);
  EXPECT_EQ(editor.log, std::vector<std::string>{"begin 5"});
}

TEST_F(X11Controls, TypedTextAndEnterCommitOnce) {
  openField();
  driver.type("studio-a");
  driver.key(XK_Return);
  ASSERT_TRUE(idleUntil([&] { return !edit->isEditing(); }));
  idleFor(100);
  EXPECT_EQ(listener.texts, std::vector<std::string>{"studio-a"});
  EXPECT_EQ(editText(), "studio-a");
  EXPECT_EQ(fieldWindow(), 0u);
  EXPECT_EQ(editor.log, (std::vector<std::string>{"begin 5", "end 5"}));
  EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST_F(X11Controls, AClickElsewhereCommits) {
  openField();
  driver.type("zz");
  idleFor(50);
  driver.click(kHostX + 100, kHostY + 140);
  ASSERT_TRUE(idleUntil([&] { return !edit->isEditing(); }));
  idleFor(100);
  EXPECT_EQ(listener.texts, std::vector<std::string>{"zz"});
  EXPECT_EQ(fieldWindow(), 0u);
}

TEST_F(X11Controls, EscapeNeitherCancelsNorInserts) {
  openField();
  driver.key(XK_End);
  driver.type("q");
  driver.key(XK_Escape);
  idleFor(200);
  EXPECT_TRUE(edit->isEditing());
  driver.key(XK_Return);
  ASSERT_TRUE(idleUntil([&] { return !edit->isEditing(); }));
  EXPECT_EQ(listener.texts, std::vector<std::string>{"pd-linkq"});
}

TEST_F(X11Controls, TheByteAfterTheLimitIsRefused) {
  edit->setText(std::string(253, 'a').c_str());
  openField();
  driver.key(XK_End);
  driver.type("bcd");
  driver.key(XK_Return);
  ASSERT_TRUE(idleUntil([&] { return !edit->isEditing(); }));
  ASSERT_EQ(listener.texts.size(), 1u);
  EXPECT_EQ(listener.texts[0], std::string(253, 'a') + "bc");
}

TEST_F(X11Controls, EditingKeysWorkAsExpected) {
  openField();
  driver.type("abcd");
  driver.key(XK_Left);
  driver.key(XK_Left);
  driver.key(XK_BackSpace);         // ab|cd -> a|cd
  driver.key(XK_Home);
  driver.key(XK_Right, XK_Shift_L);  // select "a"
  driver.type("x");                  // replaces it
  driver.key(XK_End);
  driver.key(XK_Delete);             // nothing after the caret
  driver.key(XK_a, XK_Control_L);    // select all ...
  driver.key(XK_Right);              // ... and collapse to the end
  driver.type(".");
  driver.key(XK_Return);
  ASSERT_TRUE(idleUntil([&] { return !edit->isEditing(); }));
  EXPECT_EQ(listener.texts, std::vector<std::string>{"xcd."});
}

TEST_F(X11Controls, PasteFromTheClipboard) {
  ClipboardOwner owner("from-clipboard");
  ASSERT_TRUE(owner.owns());
  openField();
  driver.key(XK_v, XK_Control_L);
  driver.key(XK_Return);
  ASSERT_TRUE(idleUntil([&] { return !edit->isEditing(); }));
  EXPECT_EQ(listener.texts, std::vector<std::string>{"from-clipboard"});
}

TEST_F(X11Controls, ClosingTheEditorWhileTheFieldIsOpenIsSafe) {
  openField();
  driver.type("lost");
  idleFor(50);
  editor.setFrame(nullptr);
  delete frame;
  frame = nullptr;
  XSync(driver.display, False);
  EXPECT_TRUE(listener.texts.empty());
  EXPECT_TRUE(driver.childrenOf(hostWindow).empty());
  frame = new CFrame(CRect(0, 0, 170, 150), reinterpret_cast<void*>(hostWindow), &editor);  // for TearDown
}

TEST_F(X11Controls, LosingTheKeyboardFocusCommits) {
  openField();
  driver.type("elsewhere");
  idleFor(50);
  // Another program takes the focus, as a window manager would give it.
  XSetInputFocus(driver.display, hostWindow, RevertToParent, CurrentTime);
  XSync(driver.display, False);
  ASSERT_TRUE(idleUntil([&] { return !edit->isEditing(); }));
  EXPECT_EQ(listener.texts, std::vector<std::string>{"elsewhere"});
  EXPECT_EQ(driver.focus(), hostWindow);  // the focus stays where it went
}

TEST_F(X11Controls, NonAsciiKeysArriveAsUtf8) {
  // Put e-acute on a key nobody uses, as a French keyboard would have it.
  int low = 0;
  int high = 0;
  XDisplayKeycodes(driver.display, &low, &high);
  KeyCode spare = 0;
  for (int code = high; code >= low && !spare; --code) {
    int perCode = 0;
    KeySym* syms = XGetKeyboardMapping(driver.display, static_cast<KeyCode>(code), 1, &perCode);
    bool unused = true;
    for (int k = 0; k < perCode; ++k) unused = unused && syms[k] == NoSymbol;
    if (unused) spare = static_cast<KeyCode>(code);
    XFree(syms);
  }
  ASSERT_NE(spare, 0);
  KeySym eacute = XK_eacute;
  XChangeKeyboardMapping(driver.display, spare, 1, &eacute, 1);
  XSync(driver.display, False);
  idleFor(100);  // our connection learns of the new mapping
  openField();
  driver.type("caf");
  XTestFakeKeyEvent(driver.display, spare, True, CurrentTime);
  XTestFakeKeyEvent(driver.display, spare, False, CurrentTime);
  driver.key(XK_Return);
  ASSERT_TRUE(idleUntil([&] { return !edit->isEditing(); }));
  KeySym none = NoSymbol;
  XChangeKeyboardMapping(driver.display, spare, 1, &none, 1);
  XSync(driver.display, False);
  EXPECT_EQ(listener.texts, std::vector<std::string>{"caf\xC3\xA9"});
}

// Runs the user's part on its own thread while the menu blocks this one.
class User {
 public:
  explicit User(std::function<void(Driver&)> part) : thread_([this, part] { part(driver_); }) {}
  ~User() { thread_.join(); }

 private:
  Driver driver_;
  std::thread thread_;
};

class X11Menu : public X11Controls {
 protected:
  void fill(int entries) {
    menu->removeAllEntries();
    for (int i = 0; i < entries; ++i) menu->addEntry(("entry " + std::to_string(i)).c_str());
  }
  // Clicks the menu control and pumps until the popup has come and gone.
  void clickMenu(std::function<void(Driver&)> user) {
    User player(std::move(user));
    driver.click(kHostX + 25, kHostY + 108);
    idleUntil([&] { return !editor.log.empty() && editor.log.back() == "end 3"; }, 6000);
  }
  static int itemCenterY(int index) { return kMenuBorder + index * kMenuItemHeight + kMenuItemHeight / 2; }
};

TEST_F(X11Menu, OpensBelowTheControlAndTheFourthItemReportsThree) {
  fill(6);
  std::vector<XWindowAttributes> seen;
  clickMenu([&](Driver& user) {
    if (!user.waitForPopups(1, seen)) return;
    user.click(seen[0].x + 20, seen[0].y + itemCenterY(3));
  });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].x, kHostX + kMenuBox.left);
  EXPECT_EQ(seen[0].y, kHostY + kMenuBox.bottom);
  EXPECT_EQ(listener.values, std::vector<float>{3.0f});
  EXPECT_EQ(listener.controls, std::vector<CControl*>{menu});
  EXPECT_EQ(menu->getCurrent(), 3);
  EXPECT_TRUE(driver.popups().empty());
  EXPECT_EQ(editor.log, (std::vector<std::string>{"begin 3", "end 3"}));
}

TEST_F(X11Menu, AClickOutsideReportsNothing) {
  fill(6);
  std::vector<XWindowAttributes> seen;
  clickMenu([&](Driver& user) {
    if (!user.waitForPopups(1, seen)) return;
    user.click(900, 700);
  });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(listener.values.empty());
  EXPECT_EQ(editor.log, (std::vector<std::string>{"begin 3", "end 3"}));
  EXPECT_TRUE(driver.popups().empty());
}

TEST_F(X11Menu, KeyboardChoosesWithDownAndEnter) {
  fill(6);
  std::vector<XWindowAttributes> seen;
  clickMenu([&](Driver& user) {
    if (!user.waitForPopups(1, seen)) return;
    user.key(XK_Down);
    user.key(XK_Down);
    user.key(XK_Return);
  });
  EXPECT_EQ(listener.values, std::vector<float>{1.0f});
}

TEST_F(X11Menu, EscapeClosesWithoutAChoice) {
  fill(6);
  std::vector<XWindowAttributes> seen;
  clickMenu([&](Driver& user) {
    if (!user.waitForPopups(1, seen)) return;
    user.key(XK_Down);
    user.key(XK_Escape);
  });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_TRUE(listener.values.empty());
}

TEST_F(X11Menu, SubmenuItemsReportToTheTopListenerWithTheSubmenu) {
  fill(3);
  auto* sub = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 40);
  sub->addEntry("x");
  sub->addEntry("y");
  menu->addSubmenu(sub, "more");
  sub->release();
  std::vector<XWindowAttributes> seen;
  clickMenu([&](Driver& user) {
    if (!user.waitForPopups(1, seen)) return;
    user.moveTo(seen[0].x + 20, seen[0].y + itemCenterY(3));  // rest on "more"
    if (!user.waitForPopups(2, seen)) return;
    const XWindowAttributes& second = seen[0].x > seen[1].x ? seen[0] : seen[1];
    user.moveTo(second.x + 15, second.y + itemCenterY(1));
    user.click(second.x + 20, second.y + itemCenterY(1));
  });
  ASSERT_EQ(seen.size(), 2u);
  ASSERT_EQ(listener.controls.size(), 1u);
  EXPECT_EQ(listener.controls[0], sub);
  EXPECT_EQ(listener.values[0], 1.0f);
  EXPECT_EQ(sub->getCurrent(), 1);
}

TEST_F(X11Menu, ARightClickOpensAMenuThatTheRightButtonChoosesFrom) {
  fill(6);
  std::vector<XWindowAttributes> seen;
  User player([&](Driver& user) {
    if (!user.waitForPopups(1, seen)) return;
    user.click(seen[0].x + 20, seen[0].y + itemCenterY(4), 3);
  });
  driver.click(kHostX + 25, kHostY + 108, 3);
  idleUntil([&] { return !editor.log.empty() && editor.log.back() == "end 3"; }, 6000);
  EXPECT_EQ(listener.values, std::vector<float>{4.0f});
}

TEST_F(X11Menu, RightOpensASubmenuAndLeftClosesIt) {
  fill(2);
  auto* sub = new COptionMenu(CRect(0, 0, 10, 10), nullptr, 40);
  sub->addEntry("x");
  menu->addSubmenu(sub, "more");
  sub->release();
  std::vector<XWindowAttributes> seen;
  std::size_t openWithSubmenu = 0;
  std::size_t openAfterLeft = 0;
  clickMenu([&](Driver& user) {
    if (!user.waitForPopups(1, seen)) return;
    user.moveTo(900, 700);  // keep the pointer out of the way
    for (int i = 0; i < 3; ++i) user.key(XK_Down);  // onto "more"
    user.key(XK_Right);
    std::vector<XWindowAttributes> both;
    user.waitForPopups(2, both);
    openWithSubmenu = both.size();
    user.key(XK_Left);
    usleep(150000);
    openAfterLeft = user.popups().size();
    user.key(XK_Up);  // back on the second entry of the top menu
    user.key(XK_Return);
  });
  EXPECT_EQ(openWithSubmenu, 2u);
  EXPECT_EQ(openAfterLeft, 1u);
  EXPECT_EQ(listener.controls, std::vector<CControl*>{menu});
  EXPECT_EQ(listener.values, std::vector<float>{1.0f});
}

TEST_F(X11Menu, TwentyFiveEntriesAtTenPerColumnMakeThreeColumns) {
  fill(25);
  menu->setItemsPerColumn(10);
  std::vector<XWindowAttributes> seen;
  int width = 0;
  clickMenu([&](Driver& user) {
    if (!user.waitForPopups(1, seen)) return;
    width = seen[0].width;
    // The second item of the third column.
    user.click(seen[0].x + seen[0].width - 20, seen[0].y + itemCenterY(1));
  });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].height, 2 * kMenuBorder + 10 * kMenuItemHeight);
  EXPECT_EQ(listener.values, std::vector<float>{21.0f});
  EXPECT_GT(width, 0);
}

}  // namespace
