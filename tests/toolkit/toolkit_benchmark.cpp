// One full redraw of a 170 x 150 frame (background picture, a two-state
// button, text and outlined fields, as the editor has) and an idle pass with
// nothing dirty, which should draw nothing.
#include <benchmark/benchmark.h>
// clang-format off
#include <X11/Xlib.h>
// clang-format on

#include <memory>

#include "platform/canvas.h"
#include "toolkit/cbitmap.h"
#include "toolkit/cdraw_context.h"
#include "toolkit/cframe.h"
#include "tests/toolkit/xvfb_server.h"

using namespace toolkit;

namespace {

class TextField : public CView {
 public:
  TextField(const CRect& size, const char* text) : CView(size), text_(text) {}
  void draw(CDrawContext* context) override {
    context->setFillColor(kColorBlack);
    context->setLineColor(kColorGrey);
    context->fillRect(bounds);
    context->frameRect(bounds);
    context->selectFont(kFontSmall, 0, 0);
    context->setTextColor(kColorWhite);
    context->drawText(text_, bounds, false, kAlignLeft);
    setDirty(false);
  }

 private:
  const char* text_;
};

class Button : public CView {
 public:
  Button(const CRect& size, CBitmap* face) : CView(size) { setBackgroundBitmap(face); }
  void draw(CDrawContext* context) override {
    backgroundBitmap->drawTransparent(context, bounds, CPoint(0, 16));
    setDirty(false);
  }
};

// The frame the editor builds, without a window.
CFrame* makeEditorLikeFrame() {
  auto* frame = new CFrame(CRect(0, 0, 170, 150), nullptr, nullptr);
  CBitmap* background = new CBitmap(101);
  CBitmap* face = new CBitmap(102);
  frame->setBackgroundBitmap(background);
  background->release();
  frame->addView(new TextField(CRect(10, 10, 160, 26), "identifier"));
  frame->addView(new TextField(CRect(10, 30, 80, 46), "-6.0 dB"));
  frame->addView(new TextField(CRect(90, 30, 160, 46), "0.0 dB"));
  frame->addView(new TextField(CRect(10, 50, 80, 66), "1024"));
  frame->addView(new TextField(CRect(10, 126, 160, 142), "All succeeded"));
  frame->addView(new Button(CRect(100, 60, 130, 76), face));
  face->release();
  return frame;
}

void FullRedraw170x150(benchmark::State& state) {
  CFrame* frame = makeEditorLikeFrame();
  auto window = platform::Canvas::create(170, 150);
  for (auto _ : state) {
    CDrawContext* context = new CDrawContext(frame, window.get(), nullptr);
    frame->draw(context);
    context->release();
    benchmark::DoNotOptimize(window->pixel(100, 100));
  }
  // The frame draws into its offscreen surface and copies it to the window once.
  state.counters["windowOps/redraw"] =
      benchmark::Counter(static_cast<double>(window->drawOperations()), benchmark::Counter::kAvgIterations);
  delete frame;
}
BENCHMARK(FullRedraw170x150)->Unit(benchmark::kMicrosecond);

void IdleNothingDirty(benchmark::State& state) {
  CFrame* frame = makeEditorLikeFrame();
  frame->drawArea(nullptr, CRect(0, 0, 170, 150));  // first paint
  frame->idle();
  CDrawContext* probe = frame->createDrawContext();
  platform::Canvas* canvas = probe->getDevice();
  probe->release();
  const auto before = canvas->drawOperations();
  for (auto _ : state) frame->idle();
  state.counters["drawOps"] = static_cast<double>(canvas->drawOperations() - before);
  delete frame;
}
BENCHMARK(IdleNothingDirty);

// The same redraw into a real child window: drawing, the copy to the window
// through cairo-xlib and the round trip that checks for X errors; and an idle
// pass with nothing dirty on that window.
void ExposeRedrawInXvfb(benchmark::State& state) {
  std::unique_ptr<toolkit_test::XvfbServer> server;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    server = std::make_unique<toolkit_test::XvfbServer>();
    display = XOpenDisplay(nullptr);
  }
  if (!display) {
    state.SkipWithError("no X server (Xvfb missing?)");
    for (auto _ : state) {
    }
    return;
  }
  const Window host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 200, 0, 0, 0);
  XMapWindow(display, host);
  XSync(display, False);
  auto* frame = new CFrame(CRect(0, 0, 170, 150), reinterpret_cast<void*>(host), nullptr);
  CBitmap* background = new CBitmap(101);
  frame->setBackgroundBitmap(background);
  background->release();
  if (state.range(0) == 0) {
    for (auto _ : state) frame->drawArea(nullptr, CRect(0, 0, 170, 150));
  } else {
    // Idle with nothing dirty: only the event pump and its error check.
    frame->drawArea(nullptr, CRect(0, 0, 170, 150));
    frame->idle();
    for (auto _ : state) frame->idle();
  }
  delete frame;
  XDestroyWindow(display, host);
  XCloseDisplay(display);
}
BENCHMARK(ExposeRedrawInXvfb)->Arg(0)->Arg(1)->ArgName("idleOnly")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
