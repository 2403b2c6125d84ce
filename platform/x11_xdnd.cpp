// The XDND protocol (version 5) on our windows: the properties that make a
// window a drop site, the client messages of a drag, and the selection
// transfer through which the target reads the source's data.
#include "platform/x11_xdnd.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "platform/x11_display.h"

namespace platform {
namespace {

constexpr long kXdndVersion = 5;
constexpr long kOldestVersion = 3;
// A data request blocks the host's UI thread: a source that has not answered
// by then is taken as refusing.
constexpr std::chrono::milliseconds kRequestTimeout{1000};
// Longest list of offered types we read from a source.
constexpr long kMaxTypes = 256;

struct Atoms {
  Atom aware, proxy, enter, position, status, leave, drop, finished, selection, typeList, actionCopy, incr, wmState,
      transfer;
};

Atoms internAtoms(Display* display) {
  // In the order of the fields of Atoms; one round trip for all of them.
  const char* names[] = {"XdndAware",    "XdndProxy",      "XdndEnter",    "XdndPosition", "XdndStatus",
                         "XdndLeave",    "XdndDrop",       "XdndFinished", "XdndSelection", "XdndTypeList",
                         "XdndActionCopy", "INCR",         "WM_STATE",     "KELBRA_XDND_DATA"};
  Atom values[std::size(names)] = {};
  XInternAtoms(display, const_cast<char**>(names), static_cast<int>(std::size(names)), False, values);
  return Atoms{values[0], values[1], values[2], values[3],  values[4],  values[5],  values[6],
               values[7], values[8], values[9], values[10], values[11], values[12], values[13]};
}

// One window property read whole. False when it does not exist or the window
// is gone.
bool readProperty(Display* display, Window window, Atom property, Atom& type, int& format,
                  std::vector<unsigned char>& bytes, long maxItems = 1L << 24) {
  bytes.clear();
  type = None;
  format = 0;
  long offset = 0;  // in 32-bit units, as the protocol counts
  for (;;) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, offset, 65536, False, AnyPropertyType, &actualType,
                           &actualFormat, &count, &after, &data) != Success) {
      return false;
    }
    if (actualType == None) {
      if (data) XFree(data);
      return offset > 0;
    }
    type = actualType;
    format = actualFormat;
    // Xlib hands 32-bit items as longs.
    const std::size_t itemSize = actualFormat == 8 ? 1 : actualFormat == 16 ? sizeof(short) : sizeof(long);
    if (data && count > 0) bytes.insert(bytes.end(), data, data + count * itemSize);
    if (data) XFree(data);
    const unsigned long bytesRead = count * static_cast<unsigned long>(actualFormat / 8);
    offset += static_cast<long>((bytesRead + 3) / 4);
    if (after == 0 || offset >= maxItems) return true;
  }
}

bool readWindowProperty(Display* display, Window window, Atom property, Window& value) {
  Atom type = None;
  int format = 0;
  std::vector<unsigned char> bytes;
  if (!readProperty(display, window, property, type, format, bytes, 1) || type != XA_WINDOW || format != 32 ||
      bytes.size() < sizeof(long)) {
    return false;
  }
  long id = 0;
  std::copy_n(bytes.data(), sizeof(long), reinterpret_cast<unsigned char*>(&id));
  value = static_cast<Window>(id);
  return true;
}

bool hasProperty(Display* display, Window window, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType, &type, &format, &count, &after,
                         &data) != Success) {
    return false;
  }
  if (data) XFree(data);
  return type != None;
}

// The host window a source finds under the pointer: the outermost ancestor
// that a window manager marks as a client (WM_STATE), else the child of the
// root. 0 when our window is itself top-level.
Window findTopLevel(Display* display, Window window, Atom wmState) {
  Window current = window;
  Window outermost = 0;
  Window client = 0;
  for (;;) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, current, &root, &parent, &children, &count)) return 0;
    if (children) XFree(children);
    if (parent == 0 || parent == root) break;
    current = parent;
    outermost = current;
    if (hasProperty(display, current, wmState)) client = current;
  }
  return client ? client : outermost;
}

struct PendingEvent {
  Window window;
  int type;
  Atom atom;  // the selection for SelectionNotify, the property for PropertyNotify
};

Bool matchesPending(Display*, XEvent* event, XPointer arg) {
  const auto* wanted = reinterpret_cast<const PendingEvent*>(arg);
  if (event->type != wanted->type || event->xany.window != wanted->window) return False;
  if (event->type == SelectionNotify) return event->xselection.selection == wanted->atom;
  return event->xproperty.atom == wanted->atom && event->xproperty.state == PropertyNewValue;
}

class XdndSite final : public x11::EventTarget, public DragData {
 public:
  XdndSite(Display* display, Window window, DropTargetInterface* target)
      : display_(display), window_(window), target_(target), atoms_(internAtoms(display)) {}

  bool install() {
    x11::ErrorTrap trap(display_);
    const long version = kXdndVersion;
    XChangeProperty(display_, window_, atoms_.aware, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&version), 1);
    const long self = static_cast<long>(window_);
    XChangeProperty(display_, window_, atoms_.proxy, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&self), 1);
    if (trap.failed()) return false;
    const Window top = findTopLevel(display_, window_, atoms_.wmState);
    // A top-level that speaks XDND itself (or names its own proxy) keeps it.
    if (top && !hasProperty(display_, top, atoms_.aware) && !hasProperty(display_, top, atoms_.proxy)) {
      XChangeProperty(display_, top, atoms_.proxy, XA_WINDOW, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(&self), 1);
      if (!trap.failed()) proxiedTopLevel_ = top;
    }
    x11::addProtocolTarget(window_, this);
    if (proxiedTopLevel_) x11::addProtocolTarget(proxiedTopLevel_, this);
    return true;
  }

  void withdraw() {
    endDrag();
    x11::removeProtocolTarget(window_);
    if (proxiedTopLevel_) x11::removeProtocolTarget(proxiedTopLevel_);
    x11::ErrorTrap trap(display_);
    XDeleteProperty(display_, window_, atoms_.aware);
    XDeleteProperty(display_, window_, atoms_.proxy);
    Window pointsTo = 0;
    if (proxiedTopLevel_ && readWindowProperty(display_, proxiedTopLevel_, atoms_.proxy, pointsTo) &&
        pointsTo == window_) {
      XDeleteProperty(display_, proxiedTopLevel_, atoms_.proxy);
    }
    proxiedTopLevel_ = 0;
    XFlush(display_);
  }

  Window window() const { return window_; }
  DropTargetInterface* target() const { return target_; }

  void handleEvent(XEvent& event) override {
    if (event.type != ClientMessage || event.xclient.format != 32) return;
    const XClientMessageEvent& message = event.xclient;
    if (message.message_type == atoms_.enter) {
      onEnter(message);
    } else if (message.message_type == atoms_.position) {
      onPosition(message);
    } else if (message.message_type == atoms_.leave) {
      if (dragging_ && fromSource(message)) endDrag();
    } else if (message.message_type == atoms_.drop) {
      onDrop(message);
    }
  }

  const std::vector<std::string>& types() const override { return types_; }

  bool request(std::string_view type, std::string& bytes) override {
    bytes.clear();
    if (!dragging_ || type.empty()) return false;
    x11::ErrorTrap trap(display_);
    const std::string name(type);
    const Atom target = XInternAtom(display_, name.c_str(), False);
    XDeleteProperty(display_, window_, atoms_.transfer);
    XConvertSelection(display_, atoms_.selection, target, atoms_.transfer, window_, time_);
    XFlush(display_);
    const auto deadline = std::chrono::steady_clock::now() + kRequestTimeout;
    XEvent event;
    PendingEvent notify{window_, SelectionNotify, atoms_.selection};
    if (!waitFor(notify, event, deadline) || event.xselection.property == None) return false;
    Atom actualType = None;
    int format = 0;
    std::vector<unsigned char> chunk;
    if (!readProperty(display_, window_, atoms_.transfer, actualType, format, chunk)) return false;
    if (actualType != atoms_.incr) {
      XDeleteProperty(display_, window_, atoms_.transfer);
      if (format != 8) return false;
      bytes.assign(chunk.begin(), chunk.end());
      return !trap.failed();
    }
    // Large data comes in pieces: each deletion asks for the next piece, an
    // empty piece ends the transfer. The notice of the INCR value itself came
    // before the SelectionNotify and is still queued: drop it first.
    PendingEvent piece{window_, PropertyNotify, atoms_.transfer};
    while (XCheckIfEvent(display_, &event, matchesPending, reinterpret_cast<XPointer>(&piece))) {
    }
    XDeleteProperty(display_, window_, atoms_.transfer);
    XFlush(display_);
    for (;;) {
      if (!waitFor(piece, event, deadline)) return false;
      // A notice whose value is gone again is stale: wait for the next one.
      if (!readProperty(display_, window_, atoms_.transfer, actualType, format, chunk)) continue;
      XDeleteProperty(display_, window_, atoms_.transfer);
      XFlush(display_);
      if (chunk.empty()) break;
      if (format != 8) return false;
      bytes.append(chunk.begin(), chunk.end());
    }
    return !trap.failed();
  }

 private:
  bool fromSource(const XClientMessageEvent& message) const {
    return static_cast<Window>(message.data.l[0]) == source_;
  }

  void onEnter(const XClientMessageEvent& message) {
    // A new drag while one is in progress: its source never sent a leave.
    if (dragging_) endDrag();
    const long version = (message.data.l[1] >> 24) & 0xff;
    if (version < kOldestVersion || version > kXdndVersion) return;
    source_ = static_cast<Window>(message.data.l[0]);
    time_ = CurrentTime;
    readTypes(message);
    dragging_ = true;
    DropEffect effect = DropEffect::none;
    target_->DragEnter(this, &effect);
  }

  void onPosition(const XClientMessageEvent& message) {
    const auto replyTo = static_cast<Window>(message.data.l[0]);
    DropEffect effect = DropEffect::none;
    if (dragging_ && fromSource(message)) {
      time_ = static_cast<Time>(message.data.l[3]);
      const int x = static_cast<int>((message.data.l[2] >> 16) & 0xffff);
      const int y = static_cast<int>(message.data.l[2] & 0xffff);
      target_->DragOver(x, y, &effect);
    }
    // Every position is answered, a refusal included, or the source waits.
    send(replyTo, atoms_.status, message.window, effect == DropEffect::copy ? 3 : 0, 0, 0,
         effect == DropEffect::copy ? static_cast<long>(atoms_.actionCopy) : None);
  }

  void onDrop(const XClientMessageEvent& message) {
    const auto replyTo = static_cast<Window>(message.data.l[0]);
    DropEffect effect = DropEffect::none;
    if (dragging_ && fromSource(message)) {
      target_->Drop(this, &effect);
      clearDrag();
    }
    // Always answered, so the source can finish its side.
    const bool accepted = effect == DropEffect::copy;
    send(replyTo, atoms_.finished, message.window, accepted ? 1 : 0,
         accepted ? static_cast<long>(atoms_.actionCopy) : None, 0, 0);
  }

  void endDrag() {
    if (!dragging_) return;
    target_->DragLeave();
    clearDrag();
  }

  void clearDrag() {
    dragging_ = false;
    source_ = 0;
    types_.clear();
  }

  void readTypes(const XClientMessageEvent& message) {
    types_.clear();
    std::vector<Atom> atoms;
    if (message.data.l[1] & 1) {
      Atom type = None;
      int format = 0;
      std::vector<unsigned char> bytes;
      x11::ErrorTrap trap(display_);
      if (readProperty(display_, source_, atoms_.typeList, type, format, bytes, kMaxTypes) && type == XA_ATOM &&
          format == 32) {
        const std::size_t count = std::min<std::size_t>(bytes.size() / sizeof(long), kMaxTypes);
        for (std::size_t i = 0; i < count; ++i) {
          long value = 0;
          std::copy_n(bytes.data() + i * sizeof(long), sizeof(long), reinterpret_cast<unsigned char*>(&value));
          atoms.push_back(static_cast<Atom>(value));
        }
      }
    } else {
      for (int i = 2; i <= 4; ++i) atoms.push_back(static_cast<Atom>(message.data.l[i]));
    }
    x11::ErrorTrap trap(display_);
    for (Atom atom : atoms) {
      if (atom == None) continue;
      if (char* name = XGetAtomName(display_, atom)) {
        types_.emplace_back(name);
        XFree(name);
      }
    }
  }

  void send(Window to, Atom type, Window addressed, long l1, long l2, long l3, long l4) {
    if (to == 0) return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.display = display_;
    event.xclient.window = to;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    // The source checks that the answer names the window it addressed (ours,
    // or the top-level we are the proxy of).
    event.xclient.data.l[0] = static_cast<long>(addressed);
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    x11::ErrorTrap trap(display_);  // the source may be gone
    XSendEvent(display_, to, False, NoEventMask, &event);
    XFlush(display_);
  }

  bool waitFor(PendingEvent& wanted, XEvent& event, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
      if (XCheckIfEvent(display_, &event, matchesPending, reinterpret_cast<XPointer>(&wanted))) return true;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd fd{ConnectionNumber(display_), POLLIN, 0};
      poll(&fd, 1, static_cast<int>(std::min<long long>(left.count(), 20)));
    }
  }

  Display* display_;
  Window window_;
  DropTargetInterface* target_;
  Atoms atoms_;
  Window proxiedTopLevel_ = 0;
  bool dragging_ = false;
  Window source_ = 0;
  Time time_ = CurrentTime;
  std::vector<std::string> types_;
};

std::vector<std::unique_ptr<XdndSite>> sites;

}  // namespace

bool registerDragDrop(std::uintptr_t window, DropTargetInterface* target) {
  if (window == 0 || !target || !x11::current()) return false;
  for (const auto& site : sites) {
    if (site->window() == window) return false;
  }
  x11::Connection* connection = x11::acquire();  // held while the site exists
  auto site = std::make_unique<XdndSite>(connection->display, static_cast<Window>(window), target);
  if (!site->install()) {
    site->withdraw();
    x11::release();
    return false;
  }
  target->AddRef();
  sites.push_back(std::move(site));
  return true;
}

bool revokeDragDrop(std::uintptr_t window) {
  const auto found = std::find_if(sites.begin(), sites.end(), [window](const auto& site) { return site->window() == window; });
  if (found == sites.end()) return false;
  std::unique_ptr<XdndSite> site = std::move(*found);
  sites.erase(found);
  site->withdraw();
  DropTargetInterface* target = site->target();
  site.reset();
  target->Release();
  x11::release();
  return true;
}

}  // namespace platform
