#include "toolkit/cview_container.h"

#include <vector>

#include "toolkit/cbitmap.h"
#include "toolkit/cdraw_context.h"
#include "toolkit/cframe.h"
#include "toolkit/coffscreen_context.h"
#include "toolkit/view_messages.h"

namespace toolkit {

CViewContainer::CViewContainer(const CRect& size, CFrame* frame, CBitmap* background) : CView(size) {
  parentFrame = frame;
  setBackgroundBitmap(background);
}

CViewContainer::~CViewContainer() {
  removeAllViews(true);
  releaseOffscreen();
}

void CViewContainer::makeOffscreen() {
  if (offscreen || !drawOffscreen) return;
  offscreen = new COffscreenContext(parentFrame, bounds.width(), bounds.height(), kColorBlack);
}

void CViewContainer::releaseOffscreen() {
  if (offscreen) offscreen->release();
  offscreen = nullptr;
}

CViewContainer::DrawTarget CViewContainer::beginTarget(CDrawContext* context) {
  makeOffscreen();
  DrawTarget t{context, context->offset, context->windowOrigin, CRect(), CRect(), false};
  if (drawOffscreen && offscreen) {
    t.target = offscreen;
    t.offscreen = true;
  } else {
    context->offset.offset(bounds.left, bounds.top);
    context->windowOrigin.offset(bounds.left, bounds.top);
  }
  context->getClipRect(t.givenClip);
  t.clip = t.givenClip;
  if (t.offscreen && static_cast<CView*>(parentFrame) != this) {
    t.clip = CRect(0, 0, t.givenClip.width(), t.givenClip.height());
  }
  return t;
}

void CViewContainer::finishTarget(CDrawContext* context, const DrawTarget& t) {
  if (!t.offscreen) {
    context->offset = t.savedOffset;
    context->windowOrigin = t.savedOrigin;
  }
}

void CViewContainer::draw(CDrawContext* context) {
  if (!context) {
    setDirty(false);
    return;
  }
  const DrawTarget t = beginTarget(context);
  CDrawContext* target = t.target;
  const CRect local = localSize();
  CRect clip = t.clip;
  clip.bound(local);
  target->setClipRect(clip);

  if (backgroundBitmap) {
    if (transparent) {
      backgroundBitmap->drawTransparent(target, local, backgroundOffset);
    } else {
      backgroundBitmap->draw(target, local, backgroundOffset);
    }
  } else if (!transparent) {
    target->setFillColor(backgroundColor);
    target->fillRect(local);
  }

  for (CView* child : children) {
    CRect childClip;
    child->getBounds(childClip);
    childClip.bound(t.clip);
    target->setClipRect(childClip);
    child->draw(target);
  }
  target->setClipRect(t.givenClip);

  if (t.offscreen) {
    offscreen->copyTo(context, CRect(bounds.left, bounds.top, bounds.left + local.width(), bounds.top + local.height()));
  }
  finishTarget(context, t);
  setDirty(false);
}

void CViewContainer::drawArea(CDrawContext* context, const CRect& area) {
  if (!context) {
    setDirty(false);
    return;
  }
  const DrawTarget t = beginTarget(context);
  CDrawContext* target = t.target;
  CRect visible = area;
  visible.bound(bounds);
  CRect localArea = visible;
  localArea.offset(-bounds.left, -bounds.top);
  CRect drawClip = localArea;
  drawClip.bound(t.clip);
  target->setClipRect(drawClip);

  drawBackgroundArea(target, localArea);

  for (CView* child : children) {
    if (!child->overlaps(localArea)) continue;
    CRect childBounds;
    child->getBounds(childBounds);
    CRect childClip = childBounds;
    childClip.bound(drawClip);
    if (childClip.width() == 0 || childClip.height() == 0) continue;
    target->setClipRect(childClip);
    const bool wasDirty = child->isDirty();
    child->drawArea(target, localArea);
    // A partly drawn dirty child stays dirty so that it is drawn whole later.
    if (wasDirty && childClip != childBounds && !isOfClass("CScrollContainer")) child->setDirty(true);
  }
  target->setClipRect(t.givenClip);

  if (t.offscreen) {
    offscreen->copyTo(context, CRect(visible.left, visible.top, visible.left + visible.width(), visible.top + visible.height()),
                      CPoint(localArea.left, localArea.top));
  }
  finishTarget(context, t);
  setDirty(false);
}

void CViewContainer::drawBackgroundArea(CDrawContext* context, const CRect& area) {
  if (!context) return;
  if (backgroundBitmap) {
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip = area;
    clip.bound(oldClip);
    context->setClipRect(clip);
    const CRect whole(0, 0, backgroundBitmap->getWidth(), backgroundBitmap->getHeight());
    if (transparent) {
      backgroundBitmap->drawTransparent(context, whole, backgroundOffset);
    } else {
      backgroundBitmap->draw(context, whole, backgroundOffset);
    }
    context->setClipRect(oldClip);
  } else if (!transparent) {
    context->setFillColor(backgroundColor);
    context->fillRect(area);
  }
}

void CViewContainer::onMouseDown(CDrawContext* context, CPoint where, int buttons) {
  const CPoint local(where.h - bounds.left, where.v - bounds.top);
  if (buttons == -1 && context) buttons = CDrawContext::queryButtons();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* child = *it;
    if (child->isMouseEnabled() && child->hitTest(local, buttons)) {
      child->onMouseDown(context, local, buttons);
      return;
    }
  }
}

std::int32_t CViewContainer::onKeyDown(vst::VstKeyCode& keyCode) {
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    const std::int32_t result = (*it)->onKeyDown(keyCode);
    if (result != -1) return result;
  }
  return -1;
}

std::int32_t CViewContainer::onKeyUp(vst::VstKeyCode& keyCode) {
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    const std::int32_t result = (*it)->onKeyUp(keyCode);
    if (result != -1) return result;
  }
  return -1;
}

bool CViewContainer::onWheelAxis(CDrawContext* context, CPoint where, int axis, float distance) {
  CView* child = viewAtPoint(where, false);
  if (!child) return false;
  CPoint savedOrigin;
  CPoint savedOffset;
  if (context) {
    savedOrigin = context->windowOrigin;
    savedOffset = context->offset;
    context->windowOrigin.offset(bounds.left, bounds.top);
    context->offset.offset(bounds.left, bounds.top);
  }
  const CPoint local(where.h - bounds.left, where.v - bounds.top);
  const bool result = child->onWheelAxis(context, local, axis, distance);
  if (context) {
    context->windowOrigin = savedOrigin;
    context->offset = savedOffset;
  }
  return result;
}

bool CViewContainer::onWheel(CDrawContext* context, CPoint where, float distance) {
  return onWheelAxis(context, where, 1, distance);
}

namespace {

// Moves a context into a container's coordinates for one drag call.
class ShiftedContext {
 public:
  ShiftedContext(CDrawContext* context, const CRect& bounds) : context_(context) {
    if (!context_) return;
    origin_ = context_->windowOrigin;
    offset_ = context_->offset;
    context_->windowOrigin.offset(bounds.left, bounds.top);
    context_->offset.offset(bounds.left, bounds.top);
  }
  ~ShiftedContext() {
    if (!context_) return;
    context_->windowOrigin = origin_;
    context_->offset = offset_;
  }
  ShiftedContext(const ShiftedContext&) = delete;
  ShiftedContext& operator=(const ShiftedContext&) = delete;

 private:
  CDrawContext* context_;
  CPoint origin_;
  CPoint offset_;
};

}  // namespace

bool CViewContainer::onDrop(CDrawContext* context, CDragContainer* drag, CPoint where) {
  if (!parentFrame) return false;
  ShiftedContext shift(context, bounds);
  const CPoint local(where.h - bounds.left, where.v - bounds.top);
  CView* child = viewAtPoint(where, false);
  if (child != dragTarget) {
    if (dragTarget) dragTarget->onDragLeave(context, drag, local);
    dragTarget = child;
  }
  bool result = false;
  if (dragTarget) {
    result = dragTarget->onDrop(context, drag, local);
    dragTarget->onDragLeave(context, drag, local);
  }
  dragTarget = nullptr;
  return result;
}

void CViewContainer::onDragEnter(CDrawContext* context, CDragContainer* drag, CPoint where) {
  if (!parentFrame) return;
  ShiftedContext shift(context, bounds);
  const CPoint local(where.h - bounds.left, where.v - bounds.top);
  if (dragTarget) dragTarget->onDragLeave(context, drag, local);
  dragTarget = viewAtPoint(where, false);
  if (dragTarget) dragTarget->onDragEnter(context, drag, local);
}

void CViewContainer::onDragLeave(CDrawContext* context, CDragContainer* drag, CPoint where) {
  if (!parentFrame) return;
  ShiftedContext shift(context, bounds);
  const CPoint local(where.h - bounds.left, where.v - bounds.top);
  if (dragTarget) dragTarget->onDragLeave(context, drag, local);
  dragTarget = nullptr;
}

void CViewContainer::onDragOver(CDrawContext* context, CDragContainer* drag, CPoint where) {
  if (!parentFrame) return;
  ShiftedContext shift(context, bounds);
  const CPoint local(where.h - bounds.left, where.v - bounds.top);
  CView* child = viewAtPoint(where, false);
  if (child != dragTarget) {
    if (dragTarget) dragTarget->onDragLeave(context, drag, local);
    if (child) child->onDragEnter(context, drag, local);
    dragTarget = child;
  } else if (dragTarget) {
    dragTarget->onDragOver(context, drag, local);
  }
}

void CViewContainer::onFocusLost(CDrawContext* context) {
  for (CView* child : children) child->onFocusLost(context);
}

void CViewContainer::onFocusGained(CDrawContext* context) {
  for (CView* child : children) child->onFocusGained(context);
}

bool CViewContainer::isDirty() const {
  if (dirty) return true;
  const CRect local = localSize();
  for (CView* child : children) {
    if (!child->isDirty()) continue;
    CRect visible;
    child->getBounds(visible);
    visible.bound(local);
    if (visible.width() > 0 && visible.height() > 0) return true;
  }
  return false;
}

void CViewContainer::setBounds(const CRect& rect) {
  bounds = rect;
  setDirty(true);
  if (offscreen && drawOffscreen) {
    releaseOffscreen();
    makeOffscreen();
  }
}

bool CViewContainer::onRemoved(CView*) {
  releaseOffscreen();
  return true;
}

bool CViewContainer::onAttached(CView*) {
  makeOffscreen();
  return true;
}

void CViewContainer::mapFromFrame(CPoint& point) {
  point.offset(-bounds.left, -bounds.top);
  if (parentView && parentView->isOfClass("CViewContainer")) parentView->mapFromFrame(point);
}

void CViewContainer::mapToFrame(CPoint& point) {
  point.offset(bounds.left, bounds.top);
  if (parentView && parentView->isOfClass("CViewContainer")) parentView->mapToFrame(point);
}

int CViewContainer::notify(CView*, const char* message) { return message == kMsgCheckIfViewContainer ? 1 : 0; }

void CViewContainer::redrawArea(CDrawContext* context, const CRect& area) {
  CRect moved = area;
  moved.offset(bounds.left, bounds.top);
  if (transparent) {
    if (parentView) {
      parentView->redrawArea(context, moved);
    } else if (parentFrame) {
      parentFrame->drawArea(context, moved);
    }
    return;
  }
  if (!context) return;
  CPoint savedOrigin = context->windowOrigin;
  CPoint savedOffset = context->offset;
  if (parentView) {
    CPoint origin(0, 0);
    parentView->mapToFrame(origin);
    context->windowOrigin.offset(origin.h, origin.v);
    context->offset.offset(origin.h, origin.v);
  }
  drawArea(context, moved);
  context->windowOrigin = savedOrigin;
  context->offset = savedOffset;
}

bool CViewContainer::isOfClass(const char* className) const {
  return isClassName(className, "CViewContainer") || CView::isOfClass(className);
}

void CViewContainer::redrawIfDirty(CDrawContext* context) {
  const CRect local = localSize();
  if (redrawMode == kRedrawAll || (redrawMode == kRedrawDirtyOnly && dirty)) {
    if (!isDirty()) return;
    redrawArea(context, local);
    setDirty(false);
    return;
  }
  if (redrawMode != kRedrawDirtyOnly) return;
  // Copy: a child's redraw may change the list.
  const std::vector<CView*> snapshot(children.begin(), children.end());
  for (CView* child : snapshot) {
    if (!child->isDirty() || !child->overlaps(local)) continue;
    if (child->notify(this, kMsgCheckIfViewContainer)) {
      child->redrawIfDirty(context);
    } else {
      CRect area;
      child->getBounds(area);
      area.bound(local);
      child->redrawArea(context, area);
    }
  }
  setDirty(false);
}

void CViewContainer::addView(CView* view, const CRect& viewMouseArea, bool viewMouseEnabled) {
  if (!view) return;
  view->setMouseEnabled(viewMouseEnabled);
  view->setMouseArea(viewMouseArea);
  addView(view);
}

void CViewContainer::addView(CView* view) {
  if (!view) return;
  view->retain();
  view->setParentFrame(parentFrame);
  view->setParentView(this);
  children.push_back(view);
  view->onAttached(this);
  view->setDirty(true);
}

void CViewContainer::removeView(CView* view, bool withRelease) {
  if (parentFrame && parentFrame->getFocusView() == view) parentFrame->setFocusView(nullptr);
  for (auto it = children.begin(); it != children.end(); ++it) {
    if (*it != view) continue;
    children.erase(it);
    if (dragTarget == view) dragTarget = nullptr;
    view->onRemoved(this);
    if (withRelease) view->release();
    view->release();
    return;
  }
}

void CViewContainer::removeAllViews(bool withRelease) {
  std::list<CView*> removed;
  removed.swap(children);
  dragTarget = nullptr;
  for (CView* view : removed) {
    view->onRemoved(this);
    if (withRelease) view->release();
    view->release();
  }
}

bool CViewContainer::containsView(CView* view) const {
  for (CView* child : children) {
    if (child == view) return true;
  }
  return false;
}

int CViewContainer::viewCount() const { return static_cast<int>(children.size()); }

CView* CViewContainer::viewAt(int index) const {
  if (index < 0) return nullptr;
  for (CView* child : children) {
    if (index-- == 0) return child;
  }
  return nullptr;
}

void CViewContainer::setBackgroundColor(const CColor& color) {
  backgroundColor = color;
  setDirty(true);
}

void CViewContainer::setDrawOffscreen(bool flag) {
  drawOffscreen = flag;
  if (!flag) releaseOffscreen();
}

CView* CViewContainer::viewUnderPointer() {
  if (!parentFrame) return nullptr;
  CPoint where;
  parentFrame->getPointerPosition(where);
  mapFromFrame(where);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CRect area;
    (*it)->getMouseArea(area);
    if (area.pointInside(where)) return *it;
  }
  return nullptr;
}

CView* CViewContainer::viewAtPoint(CPoint where, bool deep) {
  if (!parentFrame) return nullptr;
  const CPoint local(where.h - bounds.left, where.v - bounds.top);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    CView* child = *it;
    CRect area;
    child->getMouseArea(area);
    if (!area.pointInside(local)) continue;
    if (deep && child->isOfClass("CViewContainer")) {
      return static_cast<CViewContainer*>(child)->viewAtPoint(local, deep);
    }
    return child;
  }
  return nullptr;
}

bool CViewContainer::moveFocus(CView* from, bool backwards) {
  std::vector<CView*> order(children.begin(), children.end());
  if (backwards) order.assign(children.rbegin(), children.rend());
  bool candidate = from == nullptr;
  for (CView* child : order) {
    if (!candidate) {
      if (child == from) candidate = true;
      continue;
    }
    if (child->acceptsFocus()) {
      if (parentFrame) parentFrame->setFocusView(child);
      return true;
    }
    if (child->isOfClass("CViewContainer") && static_cast<CViewContainer*>(child)->moveFocus(nullptr, backwards)) {
      return true;
    }
  }
  return false;
}

}  // namespace toolkit
