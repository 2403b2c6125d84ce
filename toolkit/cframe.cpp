#include "toolkit/cframe.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "editor/aeff_gui_editor.h"
#include "platform/canvas.h"
#include "platform/native_window.h"
#include "plugin/audio_effect_x.h"
#include "toolkit/button_state.h"
#include "toolkit/cdraw_context.h"
#include "toolkit/cdrop_target.h"
#include "toolkit/input_source.h"
#include "toolkit/knob_mode.h"

namespace toolkit {

// Turns the window's events into frame operations, as a window procedure would.
class CFrame::WindowLink final : public platform::WindowEvents {
 public:
  explicit WindowLink(CFrame* frame) : frame_(frame) {}
  void windowExposed(const platform::PixelRect& area) override {
    frame_->drawArea(nullptr, CRect(area.left, area.top, area.right, area.bottom));
  }
  void windowButtonPressed(int button, int x, int y, const platform::PointerButtons& state) override {
    const int bits = (state.left ? kButtonLeft : 0) | (state.middle ? kButtonMiddle : 0) |
                     (state.right ? kButtonRight : 0) | (state.shift ? kModShift : 0) |
                     (state.control ? kModControl : 0) | (state.alt ? kModAlt : 0);
    frame_->windowButtonPressed(button, CPoint(x, y), bits);
  }
  void windowDestroyed() override {
    frame_->setWindowOpen(false);
    frame_->systemWindow = nullptr;
  }

 private:
  CFrame* frame_;
};

CFrame::CFrame(const CRect& size, void* hostWindow, AEffGUIEditor* owner)
    : CViewContainer(size, this), editor(owner), systemWindow(hostWindow) {
  if (systemWindow) {
    link = std::make_unique<WindowLink>(this);
    window = platform::NativeWindow::create(reinterpret_cast<std::uintptr_t>(systemWindow), size.width(),
                                            size.height(), link.get());
    enableDrop(true);
  }
}

CFrame::~CFrame() {
  if (modalView) {
    CView* modal = modalView;
    modalView = nullptr;
    removeView(modal, false);
  }
  // Give the window back the cursor it had before we changed it.
  if (cursorChanged && window) window->setCursor(platform::PointerCursor::standard);
  if (dropEnabled && window) {
    if (dropTarget) platform::revokeDragDrop(window->id());
    dropTarget = nullptr;
    dropEnabled = false;
  }
  focusView = nullptr;
  // The window first, so no event reaches a half-destroyed frame; the
  // children go while the frame is still whole.
  window.reset();
  link.reset();
  removeAllViews(true);
}

std::uintptr_t CFrame::getWindowId() const { return window ? window->id() : 0; }

CDrawContext* CFrame::createDrawContext() {
  if (window) return new CDrawContext(this, nullptr, window.get());
  if (!headless) headless = platform::Canvas::create(bounds.width(), bounds.height());
  return new CDrawContext(this, headless.get(), nullptr);
}

bool CFrame::dispatchOnePendingPaint() { return platform::NativeWindow::dispatchOneExpose(); }

void CFrame::draw(CDrawContext* context) {
  firstPaintPending = false;
  CViewContainer::draw(context);
}

void CFrame::drawArea(CDrawContext* context, const CRect& area) {
  firstPaintPending = false;
  CDrawContext* own = nullptr;
  if (!context) {
    own = context = createDrawContext();
    if (!context) return;
  }
  CRect saved;
  context->getClipRect(saved);
  CRect clip = area;
  clip.bound(saved);
  context->setClipRect(clip);
  if (area.width() > 0 && area.height() > 0) CViewContainer::drawArea(context, area);
  context->setClipRect(saved);
  if (own) own->release();
}

void CFrame::drawView(CView* view) {
  CDrawContext* context = createDrawContext();
  if (!context) return;
  if (view && containsView(view)) {
    view->draw(context);
  } else {
    draw(context);
  }
  context->release();
}

void CFrame::windowButtonPressed(int button, CPoint where, int buttons) {
  CDrawContext* context = createDrawContext();
  switch (button) {
    case 1:
    case 2:
    case 3:
      setPendingPress(buttons);
      onMouseDown(context, where, kButtonsQuery);
      clearPendingPress();
      break;
    case 4:
      onWheel(context, where, 1.0f);
      break;
    case 5:
      onWheel(context, where, -1.0f);
      break;
    case 6:  // tilt left
      onWheelAxis(context, where, 0, -1.0f);
      break;
    case 7:  // tilt right
      onWheelAxis(context, where, 0, 1.0f);
      break;
    default:
      break;
  }
  if (context) context->release();
}

void CFrame::onMouseDown(CDrawContext* context, CPoint where, int buttons) {
  // A click always takes the keyboard focus away first (an edit field ends).
  if (focusView) setFocusView(nullptr);
  if (buttons == kButtonsQuery && context) buttons = CDrawContext::queryButtons();
  if (modalView) {
    if (modalView->hitTest(where, buttons)) modalView->onMouseDown(context, where, buttons);
    return;
  }
  CViewContainer::onMouseDown(context, where, buttons);
}

void CFrame::oweKeyUp(const vst::VstKeyCode& keyCode) {
  for (int i = 0; i < owedKeyUpCount; ++i) {
    if (owedKeyUps[i].character == keyCode.character && owedKeyUps[i].virt == keyCode.virt) return;  // a repeat
  }
  if (owedKeyUpCount == kMaxOwedKeyUps) {
    // A host that never sends ups: the oldest is forgotten.
    std::copy(owedKeyUps + 1, owedKeyUps + kMaxOwedKeyUps, owedKeyUps);
    --owedKeyUpCount;
  }
  owedKeyUps[owedKeyUpCount++] = OwedKeyUp{keyCode.character, keyCode.virt};
}

bool CFrame::settleKeyUp(const vst::VstKeyCode& keyCode) {
  for (int i = 0; i < owedKeyUpCount; ++i) {
    if (owedKeyUps[i].character == keyCode.character && owedKeyUps[i].virt == keyCode.virt) {
      std::copy(owedKeyUps + i + 1, owedKeyUps + owedKeyUpCount, owedKeyUps + i);
      --owedKeyUpCount;
      return true;
    }
  }
  return false;
}

std::int32_t CFrame::onKeyDown(vst::VstKeyCode& keyCode) {
  if (focusView) {
    const std::int32_t result = focusView->onKeyDown(keyCode);
    if (result == 1) oweKeyUp(keyCode);
    if (result != -1) return result;
  }
  if (modalView) {
    const std::int32_t result = modalView->onKeyDown(keyCode);
    if (result != -1) return result;
  }
  if (keyCode.virt == vst::VKEY_TAB) {
    return moveFocus(focusView, (keyCode.modifier & vst::MODIFIER_SHIFT) != 0) ? 1 : -1;
  }
  return -1;
}

std::int32_t CFrame::onKeyUp(vst::VstKeyCode& keyCode) {
  const bool owed = settleKeyUp(keyCode);
  if (focusView) {
    const std::int32_t result = focusView->onKeyUp(keyCode);
    if (result != -1) return result;
  }
  if (owed) return 1;
  if (modalView) return modalView->onKeyUp(keyCode);
  return -1;
}

bool CFrame::onWheelAxis(CDrawContext* context, CPoint where, int axis, float distance) {
  CView* target = modalView ? modalView : viewAtPoint(where, false);
  if (!target) return false;
  CDrawContext* own = nullptr;
  if (!context) own = context = createDrawContext();
  const bool result = target->onWheelAxis(context, where, axis, distance);
  if (own) own->release();
  return result;
}

void CFrame::setBounds(const CRect& rect) { setSize(rect.width(), rect.height()); }

bool CFrame::isOfClass(const char* className) const {
  return isClassName(className, "CFrame") || CViewContainer::isOfClass(className);
}

void CFrame::redrawIfDirty(CDrawContext* context) {
  if (!isOpen() || updatesSuspended()) return;
  if (dirty) {
    draw(context);
    setDirty(false);
    return;
  }
  CRect saved;
  if (context) context->getClipRect(saved);
  if (modalView && modalView->isDirty()) modalView->redrawIfDirty(context);
  const std::vector<CView*> snapshot(children.begin(), children.end());
  for (CView* child : snapshot) {
    if (context) {
      CRect clip;
      child->getBounds(clip);
      clip.bound(saved);
      context->setClipRect(clip);
    }
    child->redrawIfDirty(context);
  }
  if (context) context->setClipRect(saved);
}

CView* CFrame::viewUnderPointer() { return modalView ? modalView : CViewContainer::viewUnderPointer(); }

bool CFrame::moveFocus(CView* from, bool backwards) {
  if (modalView) return false;
  if (!from) {
    from = focusView;
    if (!from) return CViewContainer::moveFocus(nullptr, backwards);
  }
  if (containsView(from)) {
    if (CViewContainer::moveFocus(from, backwards)) return true;
    setFocusView(nullptr);
    return false;
  }
  // Nested: let each enclosing container try the views after the one we came
  // from, then go on after the top-level container that holds it.
  CView* previous = from;
  CViewContainer* parent = from->getParentView();
  while (parent && parent != this && parent->isOfClass("CViewContainer")) {
    if (parent->moveFocus(previous, backwards)) return true;
    previous = parent;
    parent = parent->getParentView();
  }
  return CViewContainer::moveFocus(previous, backwards);
}

void CFrame::idle() {
  // Nobody else reads our display connection: take its events here.
  if (window) platform::NativeWindow::pumpEvents();
  if (!isOpen() || firstPaintPending) return;
  if (!isDirty()) return;
  CDrawContext* context = createDrawContext();
  if (!context) return;
  redrawIfDirty(context);
  context->release();
}

void CFrame::doIdleWork() {
  if (editor) editor->doIdleWork();
}

std::uint32_t CFrame::getTicks() { return editor ? inputSource().ticks() : 0; }

int CFrame::getKnobMode() const { return knobMode(); }

bool CFrame::getPosition(int& x, int& y) {
  if (!isOpen() || !window) return false;
  platform::WindowGeometry own;
  if (!platform::NativeWindow::queryGeometry(window->id(), own)) return false;
  // The outermost window that still tightly wraps ours.
  platform::WindowGeometry current = own;
  while (current.parent != 0) {
    platform::WindowGeometry parent;
    if (!platform::NativeWindow::queryGeometry(current.parent, parent)) break;
    if (std::abs(parent.width - own.width) > 60 || std::abs(parent.height - own.height) > 60) break;
    current = parent;
  }
  x = current.x;
  y = current.y;
  return true;
}

bool CFrame::setSize(int width, int height) {
  if (!isOpen() || (width == bounds.width() && height == bounds.height())) return false;
  if (editor) {
    if (auto* effect = static_cast<AudioEffectX*>(editor->getEffect())) {
      char sizeWindow[] = "sizeWindow";
      if (effect->masterCanDo(sizeWindow) && effect->masterSizeWindow(width, height)) {
        bounds.right = bounds.left + width;
        bounds.bottom = bounds.top + height;
        if (window) window->resize(width, height);
        return true;
      }
    }
  }
  // X11 has no dialog-frame border to measure: only our own window is resized.
  bounds.right = bounds.left + width;
  bounds.bottom = bounds.top + height;
  if (window) window->resize(width, height);
  headless.reset();
  CViewContainer::setBounds(CRect(0, 0, width, height));
  return true;
}

bool CFrame::getSize(CRect* rect) { return rect ? getSize(*rect) : false; }

bool CFrame::getSize(CRect& rect) {
  if (!isOpen() || !window) return false;
  platform::WindowGeometry own;
  platform::WindowGeometry parent;
  if (!platform::NativeWindow::queryGeometry(window->id(), own) || own.parent == 0) return false;
  if (!platform::NativeWindow::queryGeometry(own.parent, parent)) return false;
  rect = CRect(parent.x, parent.y, parent.x + parent.width, parent.y + parent.height);
  return true;
}

bool CFrame::setModalView(CView* view) {
  if (view && modalView) return false;
  if (modalView) {
    CView* old = modalView;
    modalView = nullptr;
    removeView(old, false);
  }
  modalView = view;
  if (view) addView(view);
  return true;
}

void CFrame::beginEdit(int index) {
  if (editor) editor->beginEdit(index);
}

void CFrame::endEdit(int index) {
  if (editor) editor->endEdit(index);
}

bool CFrame::getPointerPosition(CPoint& point) {
  CPoint screen;
  if (!inputSource().pointerPosition(screen)) return true;
  int x = 0;
  int y = 0;
  if (window && window->screenOrigin(x, y)) screen.offset(-x, -y);
  point = screen;
  return true;
}

void CFrame::setCursor(int type) {
  platform::PointerCursor shape = platform::PointerCursor::standard;
  switch (type) {
    case kCursorWait: shape = platform::PointerCursor::wait; break;
    case kCursorResizeHorizontal: shape = platform::PointerCursor::resizeHorizontal; break;
    case kCursorResizeVertical: shape = platform::PointerCursor::resizeVertical; break;
    case kCursorResizeAll: shape = platform::PointerCursor::resizeAll; break;
    case kCursorResizeNeSw: shape = platform::PointerCursor::resizeNeSw; break;
    case kCursorResizeNwSe: shape = platform::PointerCursor::resizeNwSe; break;
    case kCursorNotAllowed: shape = platform::PointerCursor::notAllowed; break;
    case kCursorHand: shape = platform::PointerCursor::hand; break;
    default: break;  // kCursorDefault, 7 and anything else: the cursor we found
  }
  cursorChanged = true;
  if (window) window->setCursor(shape);
}

void CFrame::setFocusView(CView* view) {
  CView* old = focusView;
  focusView = view;
  if (view && view->acceptsFocus()) view->setDirty(true);
  if (old) {
    old->onFocusLost(nullptr);
    if (old->acceptsFocus()) old->setDirty(true);
  }
}

bool CFrame::enableDrop(bool flag) {
  if (!dropEnabled && !flag) return true;
  if (!window) return false;
  // The platform holds the target's references: revoking releases it.
  if (dropTarget) platform::revokeDragDrop(window->id());
  dropTarget = nullptr;
  if (flag) {
    auto* target = new CDropTarget(this);
    // Our own reference covers a failed registration, which takes none.
    target->AddRef();
    if (platform::registerDragDrop(window->id(), target)) dropTarget = target;
    target->Release();
  }
  dropEnabled = flag;
  return true;
}

void CFrame::invalidate(const CRect& rect) {
  for (CView* child : children) {
    if (child->overlaps(rect)) child->setDirty(true);
  }
}

bool CFrame::suspendUpdates(bool flag) {
  const bool previous = updatesOff;
  updatesOff = flag;
  return previous;
}

}  // namespace toolkit
