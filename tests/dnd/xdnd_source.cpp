// A small XDND drag source for the tests: moves the real pointer along the
// given root positions, speaks XDND version 5 to the window under it (through
// its XdndProxy when the top-level names one), serves the selection (whole or
// in INCR pieces) and prints every answer of the target, one per line:
//   status target=<id> accept=<0|1> action=<atom name or None>
//   finished target=<id> accepted=<0|1> action=<atom name or None>
//   request <type>
// It asks for XdndActionMove on every position, so a target that echoes the
// request would be caught naming the move. Exit code 0 when every answer came.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Options {
  std::vector<std::string> types;
  std::string data;
  std::size_t incrChunk = 0;  // 0: the data goes whole
  bool refuse = false;
  long version = 5;
  std::vector<std::pair<int, int>> points;
  int claimDx = 0;
  int claimDy = 0;
  std::string end = "drop";  // drop, leave or none
  int timeoutMs = 5000;
};

std::string unescape(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    if (*p == '\\' && p[1]) {
      ++p;
      out += *p == 'r' ? '\r' : *p == 'n' ? '\n' : *p == '0' ? '\0' : *p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const auto end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (flag == "--types") {
      options.types = split(value, ',');
    } else if (flag == "--data") {
      options.data = unescape(value);
    } else if (flag == "--incr") {
      options.incrChunk = std::strtoul(value, nullptr, 10);
    } else if (flag == "--refuse") {
      options.refuse = std::strcmp(value, "1") == 0;
    } else if (flag == "--version") {
      options.version = std::strtol(value, nullptr, 10);
    } else if (flag == "--at") {
      const auto xy = split(value, ',');
      if (xy.size() != 2) return false;
      options.points.emplace_back(std::atoi(xy[0].c_str()), std::atoi(xy[1].c_str()));
    } else if (flag == "--claim") {
      const auto xy = split(value, ',');
      if (xy.size() != 2) return false;
      options.claimDx = std::atoi(xy[0].c_str());
      options.claimDy = std::atoi(xy[1].c_str());
    } else if (flag == "--end") {
      options.end = value;
    } else if (flag == "--timeout") {
      options.timeoutMs = std::atoi(value);
    } else {
      return false;
    }
  }
  return !options.points.empty();
}

class Source {
 public:
  Source(Display* display, const Options& options) : display_(display), options_(options) {
    root_ = DefaultRootWindow(display);
    window_ = XCreateWindow(display, root_, 0, 0, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent, 0, nullptr);
    aware_ = XInternAtom(display, "XdndAware", False);
    proxy_ = XInternAtom(display, "XdndProxy", False);
    enter_ = XInternAtom(display, "XdndEnter", False);
    position_ = XInternAtom(display, "XdndPosition", False);
    status_ = XInternAtom(display, "XdndStatus", False);
    leave_ = XInternAtom(display, "XdndLeave", False);
    drop_ = XInternAtom(display, "XdndDrop", False);
    finished_ = XInternAtom(display, "XdndFinished", False);
    selection_ = XInternAtom(display, "XdndSelection", False);
    typeList_ = XInternAtom(display, "XdndTypeList", False);
    actionMove_ = XInternAtom(display, "XdndActionMove", False);
    incr_ = XInternAtom(display, "INCR", False);
    for (const auto& type : options.types) typeAtoms_.push_back(XInternAtom(display, type.c_str(), False));
  }

  int run() {
    XSetSelectionOwner(display_, selection_, window_, CurrentTime);
    if (typeAtoms_.size() > 3) {
      std::vector<long> list(typeAtoms_.begin(), typeAtoms_.end());
      XChangeProperty(display_, window_, typeList_, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(list.data()), static_cast<int>(list.size()));
    }
    const auto [x0, y0] = options_.points.front();
    warp(x0, y0);
    if (!findTarget(x0, y0)) return fail("no XDND-aware window under the pointer");
    long flags = (options_.version << 24) | (typeAtoms_.size() > 3 ? 1 : 0);
    long l[5] = {static_cast<long>(window_), flags, 0, 0, 0};
    for (std::size_t i = 0; i < 3 && i < typeAtoms_.size(); ++i) l[2 + i] = static_cast<long>(typeAtoms_[i]);
    send(enter_, l);
    for (const auto& [x, y] : options_.points) {
      warp(x, y);
      const long packed = (static_cast<long>((x + options_.claimDx) & 0xffff) << 16) | ((y + options_.claimDy) & 0xffff);
      long position[5] = {static_cast<long>(window_), 0, packed, CurrentTime, static_cast<long>(actionMove_)};
      send(position_, position);
      XEvent reply;
      if (!waitForMessage(status_, reply)) return fail("no XdndStatus");
      std::printf("status target=0x%lx accept=%ld action=%s\n", static_cast<unsigned long>(reply.xclient.data.l[0]),
                  reply.xclient.data.l[1] & 1, atomName(static_cast<Atom>(reply.xclient.data.l[4])).c_str());
    }
    if (options_.end == "leave") {
      long leave[5] = {static_cast<long>(window_), 0, 0, 0, 0};
      send(leave_, leave);
    } else if (options_.end == "drop") {
      long drop[5] = {static_cast<long>(window_), 0, CurrentTime, 0, 0};
      send(drop_, drop);
      XEvent reply;
      if (!waitForMessage(finished_, reply)) return fail("no XdndFinished");
      std::printf("finished target=0x%lx accepted=%ld action=%s\n", static_cast<unsigned long>(reply.xclient.data.l[0]),
                  reply.xclient.data.l[1] & 1, atomName(static_cast<Atom>(reply.xclient.data.l[2])).c_str());
    }
    XSync(display_, False);
    return 0;
  }

 private:
  int fail(const char* what) {
    std::printf("error %s\n", what);
    return 1;
  }

  void warp(int x, int y) {
    XWarpPointer(display_, None, root_, 0, 0, 0, 0, x, y);
    XSync(display_, False);
  }

  bool readWindow(Window window, Atom property, Atom expectedType, long& value) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, property, 0, 1, False, expectedType, &type, &format, &count, &after,
                           &data) != Success) {
      return false;
    }
    const bool found = type == expectedType && format == 32 && count == 1;
    if (found) value = *reinterpret_cast<long*>(data);
    if (data) XFree(data);
    return found;
  }

  // The top-level under the pointer, then its proxy if it names one that
  // names itself, as XDND sources do.
  bool findTarget(int x, int y) {
    Window child = None;
    int wx = 0;
    int wy = 0;
    XTranslateCoordinates(display_, root_, root_, x, y, &wx, &wy, &child);
    if (child == None) return false;
    target_ = child;
    sendTo_ = child;
    long proxy = 0;
    long self = 0;
    if (readWindow(child, proxy_, XA_WINDOW, proxy) && readWindow(static_cast<Window>(proxy), proxy_, XA_WINDOW, self) &&
        self == proxy) {
      sendTo_ = static_cast<Window>(proxy);
    }
    long version = 0;
    return readWindow(sendTo_, aware_, XA_ATOM, version) && version >= 3;
  }

  void send(Atom type, const long (&l)[5]) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = target_;  // the top-level, also when sent to its proxy
    event.xclient.message_type = type;
    event.xclient.format = 32;
    for (int i = 0; i < 5; ++i) event.xclient.data.l[i] = l[i];
    XSendEvent(display_, sendTo_, False, NoEventMask, &event);
    XFlush(display_);
  }

  std::string atomName(Atom atom) {
    if (atom == None) return "None";
    char* name = XGetAtomName(display_, atom);
    std::string text = name ? name : "?";
    if (name) XFree(name);
    return text;
  }

  // Serves selection requests (and INCR pieces) until the wanted message
  // comes or the time runs out.
  bool waitForMessage(Atom type, XEvent& reply) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
      while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == ClientMessage && event.xclient.message_type == type) {
          reply = event;
          return true;
        }
        if (event.type == SelectionRequest) serve(event.xselectionrequest);
        if (event.type == PropertyNotify) continuePieces(event.xproperty);
      }
      pollfd fd{ConnectionNumber(display_), POLLIN, 0};
      poll(&fd, 1, 10);
    }
    return false;
  }

  void notify(const XSelectionRequestEvent& request, Atom property) {
    XEvent event{};
    event.xselection.type = SelectionNotify;
    event.xselection.requestor = request.requestor;
    event.xselection.selection = request.selection;
    event.xselection.target = request.target;
    event.xselection.property = property;
    event.xselection.time = request.time;
    XSendEvent(display_, request.requestor, False, NoEventMask, &event);
    XFlush(display_);
  }

  void serve(const XSelectionRequestEvent& request) {
    std::printf("request %s\n", atomName(request.target).c_str());
    bool offered = false;
    for (Atom atom : typeAtoms_) offered = offered || atom == request.target;
    if (options_.refuse || !offered || request.property == None) {
      notify(request, None);
      return;
    }
    if (options_.incrChunk > 0) {
      // Announce the size, then give one piece per deletion of the property.
      XSelectInput(display_, request.requestor, PropertyChangeMask);
      const long size = static_cast<long>(options_.data.size());
      XChangeProperty(display_, request.requestor, request.property, incr_, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&size), 1);
      pieceWindow_ = request.requestor;
      pieceProperty_ = request.property;
      pieceType_ = request.target;
      pieceOffset_ = 0;
      piecesDone_ = false;
    } else {
      XChangeProperty(display_, request.requestor, request.property, request.target, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(options_.data.data()), static_cast<int>(options_.data.size()));
    }
    notify(request, request.property);
  }

  void continuePieces(const XPropertyEvent& event) {
    if (piecesDone_ || event.window != pieceWindow_ || event.atom != pieceProperty_ || event.state != PropertyDelete) {
      return;
    }
    const std::size_t left = options_.data.size() - pieceOffset_;
    const std::size_t size = left < options_.incrChunk ? left : options_.incrChunk;
    XChangeProperty(display_, pieceWindow_, pieceProperty_, pieceType_, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(options_.data.data() + pieceOffset_), static_cast<int>(size));
    pieceOffset_ += size;
    if (size == 0) {
      piecesDone_ = true;
      XSelectInput(display_, pieceWindow_, NoEventMask);
    }
    XFlush(display_);
  }

  Display* display_;
  const Options& options_;
  Window root_ = None;
  Window window_ = None;
  Window target_ = None;
  Window sendTo_ = None;
  Atom aware_, proxy_, enter_, position_, status_, leave_, drop_, finished_, selection_, typeList_, actionMove_, incr_;
  std::vector<Atom> typeAtoms_;
  Window pieceWindow_ = None;
  Atom pieceProperty_ = None;
  Atom pieceType_ = None;
  std::size_t pieceOffset_ = 0;
  bool piecesDone_ = true;
};

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: xdnd_source --at X,Y [--at X,Y ...] [--types A,B] [--data TEXT] [--incr BYTES]\n"
                 "                   [--refuse 1] [--version N] [--claim DX,DY] [--end drop|leave|none]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::printf("error no display\n");
    return 1;
  }
  const int result = Source(display, options).run();
  std::fflush(stdout);
  XCloseDisplay(display);
  return result;
}
