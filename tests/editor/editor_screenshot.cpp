// Makes the README's picture of the editor: opens the built kelbra.so in an
// Xvfb of its own, exactly as a host does, lets it paint and saves the editor
// window as PNG. Usage: editor_screenshot <output.png>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "tests/editor/png_file.h"
#include "tests/editor/x11_session.h"
#include "tests/harness/host_harness.h"
#include "tests/toolkit/xvfb_server.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output.png>\n", argv[0]);
    return 2;
  }
  toolkit_test::XvfbServer server;
  if (!server.running()) {
    std::fprintf(stderr, "no Xvfb: %s\n", server.error().c_str());
    return 1;
  }
  editor_test::X11Session session;
  harness::Library library(harness::pluginPath());
  harness::Host host;
  if (!session.ok() || !library.loaded()) {
    std::fprintf(stderr, "cannot start: %s\n", library.error().c_str());
    return 1;
  }
  int result = 1;
  {
    harness::Instance instance(library, host);
    vst::ERect* rect = nullptr;
    instance.dispatch(vst::effEditGetRect, 0, 0, &rect);
    const unsigned long hostWindow = session.makeHostWindow(0, 0, 170, 150);
    if (rect && instance.dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(hostWindow)) == 1) {
      const auto children = session.childrenOf(hostWindow);
      // A fresh window paints on its first expose: idle a while to take it.
      const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
      while (std::chrono::steady_clock::now() < until) {
        instance.dispatch(vst::effEditIdle);
        usleep(10000);
      }
      if (!children.empty()) {
        const int width = rect->right - rect->left;
        const int height = rect->bottom - rect->top;
        result = editor_test::writePng(argv[1], session.capture(children[0], 0, 0, width, height)) ? 0 : 1;
      }
      instance.dispatch(vst::effEditClose);
    }
    session.destroyWindow(hostWindow);
  }
  if (result != 0) std::fprintf(stderr, "could not capture the editor\n");
  return result;
}
