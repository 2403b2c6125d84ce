// The plug-in's own editor as a drop site, driven the way a host drives it:
// kelbra.so loaded with dlopen, its editor opened in a host window through
// the effect record and served from effEditIdle, while the test's XDND source
// drags text and files over it.
// gtest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/dnd/source_run.h"
#include "tests/harness/host_harness.h"

namespace {

constexpr int kHostX = 200;
constexpr int kHostY = 150;

class PluginDropTest : public testing::Test {
 protected:
  void SetUp() override {
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    // Kept mapped after the host unloads it, so that a leak report at exit can
    // name the libraries the plug-in brought in (their caches are suppressed
    // by name).
    dlopen(harness::pluginPath().c_str(), RTLD_NOW | RTLD_NODELETE);
    library = std::make_unique<harness::Library>(harness::pluginPath());
    ASSERT_TRUE(library->loaded()) << library->error();
    instance = std::make_unique<harness::Instance>(*library, host);
    ASSERT_TRUE(instance->ok());
    hostWindow = XCreateSimpleWindow(display, DefaultRootWindow(display), kHostX, kHostY, 300, 250, 0, 0, 0);
    XMapWindow(display, hostWindow);
    XSync(display, False);
  }

  void TearDown() override {
    if (instance && instance->ok()) instance->dispatch(vst::effEditClose);
    instance.reset();
    if (display) {
      XDestroyWindow(display, hostWindow);
      XCloseDisplay(display);
    }
    library.reset();
  }

  Window openEditor() {
    vst::ERect* rect = nullptr;
    if (instance->dispatch(vst::effEditGetRect, 0, 0, &rect) != 1) return 0;
    if (instance->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(hostWindow)) != 1) return 0;
    XSync(display, False);
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    Window editor = 0;
    if (XQueryTree(display, hostWindow, &root, &parent, &children, &count) && count == 1) editor = children[0];
    if (children) XFree(children);
    return editor;
  }

  long readLong(Window window, const char* name, Atom type) {
    Atom actual = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long value = -1;  // absent
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1, False, type, &actual, &format,
                           &count, &after, &data) == Success &&
        actual == type && count == 1) {
      value = *reinterpret_cast<long*>(data);
    }
    if (data) XFree(data);
    return value;
  }

  dnd_test::SourceRun drag(std::vector<std::string> arguments) {
    // Over the identifier field and the level displays of the editor.
    for (const char* point : {"230,180", "280,200", "300,230"}) {
      arguments.push_back("--at");
      arguments.push_back(point);
    }
    return dnd_test::runSource(arguments, [this] { instance->dispatch(vst::effEditIdle); });
  }

  Display* display = nullptr;
  Window hostWindow = 0;
  harness::Host host;
  std::unique_ptr<harness::Library> library;
  std::unique_ptr<harness::Instance> instance;
};

TEST_F(PluginDropTest, TheEditorTakesDragsAndAnswersACopyUntilItCloses) {
  const Window editor = openEditor();
  ASSERT_NE(editor, 0u);
  EXPECT_EQ(readLong(editor, "XdndAware", XA_ATOM), 5);
  EXPECT_EQ(readLong(hostWindow, "XdndProxy", XA_WINDOW), static_cast<long>(editor));

  const dnd_test::SourceRun text = drag({"--types", "UTF8_STRING,text/plain", "--data", "a connection id"});
  dnd_test::expectCopyAnswers(text, 3, true);
  EXPECT_TRUE(dnd_test::linesStarting(text, "request ").empty());  // offered text is one item, unread

  const dnd_test::SourceRun files = drag({"--types", "text/uri-list", "--data",
                                          "file:///tmp/a.pd\\r\\nfile:///tmp/b.pd\\r\\n", "--end", "leave"});
  dnd_test::expectCopyAnswers(files, 3, false);
  // The file list is read once, when the drag enters, to count the files.
  EXPECT_EQ(dnd_test::linesStarting(files, "request "), std::vector<std::string>{"request text/uri-list"});

  instance->dispatch(vst::effEditClose);
  EXPECT_EQ(readLong(hostWindow, "XdndProxy", XA_WINDOW), -1);
  const dnd_test::SourceRun closed = drag({"--types", "text/plain"});
  EXPECT_EQ(closed.exitCode, 1);  // nothing XDND-aware is left under the pointer
}

}  // namespace
