// The one-line edit field: a child window of the frame's window with the
// keyboard focus, drawn by cairo into a back buffer. Its events come through
// the process's event pump like the frame's. It ends (Enter, focus lost) by
// telling its owner, who may destroy it from inside that call: the window
// goes at once and the object when its event handler returns.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <poll.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/cairo_internal.h"
#include "platform/clock.h"
#include "platform/text_field.h"
#include "platform/line_edit.h"
#include "platform/x11_display.h"

namespace platform {
namespace {

constexpr int kPasteTimeoutMs = 1000;

// Text for a key when there is no input method: Latin-1 keysyms are their
// own code points, Unicode keysyms carry theirs above 0x1000000.
std::string keysymText(KeySym keysym) {
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) return codepointToUtf8(keysym);
  if (keysym >= 0x1000100 && keysym <= 0x110FFFF) return codepointToUtf8(keysym - 0x1000000);
  return {};
}

class FieldWindow final : public x11::EventTarget {
 public:
  FieldWindow(const TextFieldLook& s, TextFieldEvents* e, ::Display* d)
      : display(d), look(s), face(s.face ? s.face : "Arial"), events(e),
        edit(s.text, static_cast<std::size_t>(s.maxBytes > 0 ? s.maxBytes : 0)) {
    look.face = face.c_str();
  }
  ~FieldWindow();

  bool open(::Window parent);
  void close();
  // Events of the field; the owner may destroy the field from inside the
  // end notice, so the object goes when the handler returns.
  void handleEvent(XEvent& event) override {
    const bool outer = inHandler;
    inHandler = true;
    dispatch(event);
    inHandler = outer;
    if (!outer && orphaned) delete this;
  }
  // A key from the host's key requests, under the same rule as an event.
  bool takeHostKey(const HostKey& key) {
    const bool outer = inHandler;
    inHandler = true;
    const bool taken = hostKey(key);
    inHandler = outer;
    if (!outer && orphaned) delete this;
    return taken;
  }

  const std::string& content() const { return edit.text(); }
  bool inHandler = false;
  bool orphaned = false;

 private:
  void dispatch(XEvent& event);
  bool hostKey(const HostKey& key);
  void finishEvent();
  void key(XKeyEvent& event);
  void button(const XButtonEvent& event);
  void motion(const XMotionEvent& event);
  void selectionRequest(const XSelectionRequestEvent& request);
  void paste(Time time);
  void copy(Time time);
  std::size_t indexAt(int x);
  int offsetOf(std::size_t index);
  void layout();
  void paint();

  ::Display* display;
  TextFieldLook look;
  std::string face;
  TextFieldEvents* events;
  LineEdit edit;
  std::string copied;  // what we offer on the clipboard
  int scroll = 0;      // pixels the text is moved left to keep the caret visible
  ::Window window = 0;
  ::Window previousFocus = 0;
  int previousRevert = RevertToParent;
  XIM im = nullptr;
  XIC ic = nullptr;
  std::unique_ptr<Canvas> canvas;
  cairo_surface_t* screen = nullptr;
  bool alive = false;
  bool ended = false;
  bool paintPending = false;
  bool dragging = false;
  Time lastClickTime = 0;
  ::Atom clipboard = 0;
  ::Atom utf8String = 0;
  ::Atom targets = 0;
  ::Atom transfer = 0;
};

FieldWindow::~FieldWindow() { close(); }

bool FieldWindow::open(::Window parent) {
  const int width = look.area.width();
  const int height = look.area.height();
  if (width <= 0 || height <= 0) return false;
  canvas = Canvas::create(width, height);
  if (!canvas) return false;
  FontRequest font;
  font.face = face.c_str();
  font.pixelSize = look.pixelSize;
  canvas->setFont(font);

  x11::ErrorTrap trap(display);
  XWindowAttributes parentAttributes{};
  if (!XGetWindowAttributes(display, parent, &parentAttributes)) return false;
  XSetWindowAttributes attributes{};
  attributes.background_pixmap = None;
  attributes.border_pixel = 0;
  const long mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                    Button1MotionMask | FocusChangeMask | StructureNotifyMask;
  attributes.event_mask = mask;
  window = XCreateWindow(display, parent, look.area.left, look.area.top, static_cast<unsigned>(width),
                         static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                         CWBackPixmap | CWBorderPixel | CWEventMask, &attributes);
  if (trap.failed() || !window) {
    window = 0;
    return false;
  }
  alive = true;
  x11::addTarget(window, this);
  clipboard = XInternAtom(display, "CLIPBOARD", False);
  utf8String = XInternAtom(display, "UTF8_STRING", False);
  targets = XInternAtom(display, "TARGETS", False);
  transfer = XInternAtom(display, "KELBRA_FIELD_PASTE", False);

  // The input method adds dead keys and compose; without one, keys are
  // turned into text from their keysyms.
  im = XOpenIM(display, nullptr, nullptr, nullptr);
  if (im) {
    ic = XCreateIC(im, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, window, XNFocusWindow,
                   window, nullptr);
    long filter = 0;
    if (ic && !XGetICValues(ic, XNFilterEvents, &filter, nullptr) && filter) {
      XSelectInput(display, window, mask | filter);
    }
  }
  screen = cairo_xlib_surface_create(display, window, parentAttributes.visual, width, height);
  layout();
  XMapRaised(display, window);
  XSync(display, False);
  paint();
  if (trap.failed()) return false;
  {
    // Without the focus (our window not viewable yet) the field still opens:
    // a click elsewhere ends it as usual.
    x11::ErrorTrap focusTrap(display);
    XGetInputFocus(display, &previousFocus, &previousRevert);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    if (ic) XSetICFocus(ic);
  }
  XFlush(display);
  return true;
}

void FieldWindow::close() {
  if (!alive) {
    if (ic) XDestroyIC(ic);
    ic = nullptr;
    if (im) XCloseIM(im);
    im = nullptr;
    return;
  }
  alive = false;
  x11::removeTarget(window);
  x11::ErrorTrap trap(display);
  if (ic) {
    XUnsetICFocus(ic);
    XDestroyIC(ic);
    ic = nullptr;
  }
  if (im) XCloseIM(im);
  im = nullptr;
  if (screen) {
    cairo_surface_finish(screen);
    cairo_surface_destroy(screen);
    screen = nullptr;
  }
  // Give the focus back only while we still have it: a focus that moved on
  // stays where the user put it.
  ::Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  XDestroyWindow(display, window);
  if (focus == window && previousFocus != window && previousFocus != None) {
    XSetInputFocus(display, previousFocus, previousRevert, CurrentTime);
  }
  XFlush(display);
}

void FieldWindow::dispatch(XEvent& event) {
  if (!alive) return;
  if (ic && XFilterEvent(&event, None)) return;
  switch (event.type) {
    case Expose:
      paintPending = true;
      break;
    case KeyPress:
      key(event.xkey);
      break;
    case ButtonPress:
      button(event.xbutton);
      break;
    case ButtonRelease:
      if (event.xbutton.button == Button1) dragging = false;
      break;
    case MotionNotify:
      motion(event.xmotion);
      break;
    case FocusOut:
      // A grab (a window manager's key binding) takes the focus only for a
      // moment; focus moving below our window is no loss either.
      if (event.xfocus.mode != NotifyGrab && event.xfocus.detail != NotifyInferior &&
          event.xfocus.detail != NotifyPointer) {
        ended = true;
      }
      break;
    case SelectionRequest:
      selectionRequest(event.xselectionrequest);
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == window) {
        // Our parent went first; nothing of ours is left to destroy.
        alive = false;
        x11::removeTarget(window);
      }
      break;
    default:
      break;
  }
  finishEvent();
}

bool FieldWindow::hostKey(const HostKey& key) {
  if (!alive || ended) return false;
  const HostKeyOutcome outcome = applyHostKey(edit, key);
  if (outcome == HostKeyOutcome::ignored) return false;
  if (outcome == HostKeyOutcome::ends) ended = true;
  if (key.key != FieldKey::escape) paintPending = true;
  finishEvent();
  return true;
}

// Paints what the event changed, then tells the owner of an end.
void FieldWindow::finishEvent() {
  if (alive && paintPending) {
    paintPending = false;
    layout();
    paint();
  }
  if (ended && events) {
    TextFieldEvents* owner = events;
    events = nullptr;  // ends once
    owner->textFieldEnded();  // may destroy this field; nothing may follow
  }
}

void FieldWindow::key(XKeyEvent& event) {
  KeySym keysym = NoSymbol;
  XLookupString(&event, nullptr, 0, &keysym, nullptr);
  std::string typed;
  if (ic) {
    char buffer[64] = {};
    Status status = 0;
    KeySym imKeysym = NoSymbol;
    const int length = Xutf8LookupString(ic, &event, buffer, sizeof buffer - 1, &imKeysym, &status);
    if ((status == XLookupChars || status == XLookupBoth) && length > 0) {
      typed.assign(buffer, static_cast<std::size_t>(length));
    }
    if (status == XLookupKeySym || status == XLookupBoth) keysym = imKeysym;
  }
  if (typed.empty()) typed = keysymText(keysym);
  const bool control = (event.state & ControlMask) != 0;
  const bool shift = (event.state & ShiftMask) != 0;
  paintPending = true;
  switch (keysym) {
    case XK_Return:
    case XK_KP_Enter:
      ended = true;
      return;
    case XK_Escape:
    case XK_Tab:
    case XK_ISO_Left_Tab:
      paintPending = false;
      return;  // no cancel key, and the focus stays in the field
    case XK_Left:
    case XK_KP_Left:
      edit.left(shift, control);
      return;
    case XK_Right:
    case XK_KP_Right:
      edit.right(shift, control);
      return;
    case XK_Home:
    case XK_KP_Home:
      edit.home(shift);
      return;
    case XK_End:
    case XK_KP_End:
      edit.end(shift);
      return;
    case XK_BackSpace:
      edit.backspace();
      return;
    case XK_Delete:
    case XK_KP_Delete:
      edit.deleteForward();
      return;
    default:
      break;
  }
  if (control) {
    switch (keysym) {
      case XK_a:
      case XK_A:
        edit.selectAll();
        break;
      case XK_c:
      case XK_C:
        copy(event.time);
        break;
      case XK_x:
      case XK_X:
        copy(event.time);
        edit.eraseSelection();
        break;
      case XK_v:
      case XK_V:
        paste(event.time);
        break;
      default:
        break;
    }
    return;
  }
  edit.insert(typed);
}

int FieldWindow::offsetOf(std::size_t index) {
  const std::string& text = edit.text();
  const int width = look.area.width();
  const int full = canvas->measure(text.c_str()).advance;
  int x = 1 - scroll;
  if (full + 2 <= width) {
    if (look.align == TextAlign::center) x = (width - full) / 2;
    if (look.align == TextAlign::right) x = width - full - 1;
  }
  return x + canvas->measure(text.substr(0, index).c_str()).advance;
}

std::size_t FieldWindow::indexAt(int x) {
  const std::string& text = edit.text();
  std::size_t best = 0;
  int bestDistance = 1 << 30;
  for (std::size_t i = 0;; i = utf8Next(text, i)) {
    const int distance = std::abs(offsetOf(i) - x);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
    if (i >= text.size()) break;
  }
  return best;
}

void FieldWindow::layout() {
  const std::string& text = edit.text();
  const int width = look.area.width();
  const int full = canvas->measure(text.c_str()).advance;
  if (full + 2 <= width) {
    scroll = 0;
    return;
  }
  const int caretX = canvas->measure(text.substr(0, edit.caret()).c_str()).advance;
  if (caretX - scroll > width - 2) scroll = caretX - (width - 2);
  if (caretX - scroll < 0) scroll = caretX;
  scroll = std::clamp(scroll, 0, std::max(0, full + 2 - width));
}

void FieldWindow::button(const XButtonEvent& event) {
  if (event.button != Button1) return;
  const std::size_t at = indexAt(event.x);
  if (lastClickTime != 0 && event.time - lastClickTime < 400) {
    edit.selectWordAt(at);
    lastClickTime = 0;
  } else {
    edit.placeCaret(at, (event.state & ShiftMask) != 0);
    lastClickTime = event.time;
    dragging = true;
  }
  paintPending = true;
}

void FieldWindow::motion(const XMotionEvent& event) {
  if (!dragging) return;
  edit.placeCaret(indexAt(event.x), true);
  paintPending = true;
}

void FieldWindow::copy(Time time) {
  if (!edit.hasSelection()) return;
  copied = edit.selectedText();
  XSetSelectionOwner(display, clipboard, window, time);
}

void FieldWindow::selectionRequest(const XSelectionRequestEvent& request) {
  XSelectionEvent reply{};
  reply.type = SelectionNotify;
  reply.display = display;
  reply.requestor = request.requestor;
  reply.selection = request.selection;
  reply.target = request.target;
  reply.time = request.time;
  reply.property = request.property != None ? request.property : request.target;
  x11::ErrorTrap trap(display);
  if (request.target == targets) {
    const ::Atom offered[] = {targets, utf8String, XA_STRING};
    XChangeProperty(display, request.requestor, reply.property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(offered), 3);
  } else if (request.target == utf8String || request.target == XA_STRING) {
    XChangeProperty(display, request.requestor, reply.property, request.target, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(copied.data()), static_cast<int>(copied.size()));
  } else {
    reply.property = None;
  }
  XSendEvent(display, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
  XFlush(display);
}

void FieldWindow::paste(Time time) {
  // The owner answers asynchronously; wait here for its answer, briefly,
  // first as UTF-8, then as Latin-1 text.
  for (const ::Atom type : {utf8String, static_cast<::Atom>(XA_STRING)}) {
    XDeleteProperty(display, window, transfer);
    XConvertSelection(display, clipboard, type, transfer, window, time);
    XFlush(display);
    const std::uint32_t start = monotonicMilliseconds();
    XEvent event;
    bool answered = false;
    while (static_cast<int>(monotonicMilliseconds() - start) < kPasteTimeoutMs) {
      if (XCheckTypedWindowEvent(display, window, SelectionNotify, &event)) {
        answered = true;
        break;
      }
      pollfd fd{ConnectionNumber(display), POLLIN, 0};
      poll(&fd, 1, 10);
    }
    if (!answered || event.xselection.property == None) continue;
    ::Atom actualType = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    x11::ErrorTrap trap(display);
    const int status = XGetWindowProperty(display, window, transfer, 0, 4096, True, AnyPropertyType, &actualType,
                                          &format, &count, &remaining, &data);
    if (status == Success && data && format == 8) {
      std::string pasted(reinterpret_cast<const char*>(data), count);
      XFree(data);
      if (type == XA_STRING) pasted = latin1ToUtf8(pasted);
      // A one-line field: a line break ends what is taken.
      const std::size_t lineEnd = pasted.find_first_of("\r\n");
      if (lineEnd != std::string::npos) pasted.resize(lineEnd);
      edit.insert(pasted);
      return;
    }
    if (data) XFree(data);
  }
}

void FieldWindow::paint() {
  if (!alive || !screen) return;
  const std::string& text = edit.text();
  const int width = look.area.width();
  const int height = look.area.height();
  const PixelRect all{0, 0, width, height};
  canvas->setClip(all);
  canvas->setBrushColor(look.backColor);
  canvas->fillRect(all);
  canvas->setTextColor(look.textColor);
  const int x = offsetOf(0);
  const PixelRect box{x, 0, x + 65536, height};
  canvas->text(text.c_str(), box, TextAlign::left, false);
  if (edit.hasSelection()) {
    // The selection in reverse colours: the same text drawn again, clipped.
    const PixelRect band{offsetOf(edit.selectionStart()), 1, offsetOf(edit.selectionEnd()), height - 1};
    canvas->setClip(intersect(band, all));
    canvas->setBrushColor(look.textColor);
    canvas->fillRect(all);
    canvas->setTextColor(look.backColor);
    canvas->text(text.c_str(), box, TextAlign::left, false);
    canvas->setClip(all);
  } else {
    const int caretX = std::clamp(offsetOf(edit.caret()), 0, width - 1);
    canvas->setBrushColor(look.textColor);
    canvas->fillRect(PixelRect{caretX, 2, caretX + 1, height - 2});
  }
  canvas->takeDamage();
  x11::ErrorTrap trap(display);
  cairo_t* cr = cairo_create(screen);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, canvas->impl().surface, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(screen);
  XFlush(display);
}

class X11TextField final : public TextField {
 public:
  explicit X11TextField(FieldWindow* field) : field_(field) {}
  ~X11TextField() override {
    field_->close();
    if (field_->inHandler) {
      field_->orphaned = true;  // its handler deletes it on return
    } else {
      delete field_;
    }
    x11::release();
  }
  std::string text() const override { return field_->content(); }
  // Enter may destroy this object inside the call: nothing of it is used after.
  bool takeHostKey(const HostKey& key) override { return field_->takeHostKey(key); }

 private:
  FieldWindow* field_;
};

}  // namespace

std::unique_ptr<TextField> openTextField(std::uintptr_t parentWindow, const TextFieldLook& look,
                                         TextFieldEvents* events) {
  if (parentWindow == 0) return nullptr;
  // Our own hold on the connection: the field may outlive the frame's window
  // by a moment when the editor closes while it is open.
  x11::Connection* connection = x11::acquire();
  if (!connection) return nullptr;
  auto* field = new FieldWindow(look, events, connection->display);
  if (!field->open(static_cast<::Window>(parentWindow))) {
    delete field;
    x11::release();
    return nullptr;
  }
  return std::make_unique<X11TextField>(field);
}

}  // namespace platform
