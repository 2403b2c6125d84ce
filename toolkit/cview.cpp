#include "toolkit/cview.h"

#include <cstring>

#include "toolkit/cbitmap.h"
#include "toolkit/cdraw_context.h"
#include "toolkit/cframe.h"
#include "toolkit/cview_container.h"
#include "toolkit/input_source.h"
#include "toolkit/view_messages.h"

namespace toolkit {

bool isClassName(const char* className, const char* name) {
  return className && std::strcmp(className, name) == 0;
}

CView::CView(const CRect& size) : bounds(size), mouseArea(size) {}

CView::~CView() {
  if (backgroundBitmap) backgroundBitmap->release();
}

void CView::draw(CDrawContext* context) {
  if (backgroundBitmap && context) {
    if (transparent) {
      backgroundBitmap->drawTransparent(context, bounds, CPoint(0, 0));
    } else {
      backgroundBitmap->draw(context, bounds, CPoint(0, 0));
    }
  }
  setDirty(false);
}

void CView::drawArea(CDrawContext* context, const CRect&) { draw(context); }

bool CView::overlaps(const CRect& rect) const { return bounds.rectOverlap(rect); }

void CView::onMouseDown(CDrawContext*, CPoint, int) {}

void CView::setBackgroundBitmap(CBitmap* bitmap) {
  // Retain first: setting the bitmap the view already holds must keep it alive.
  if (bitmap) bitmap->retain();
  if (backgroundBitmap) backgroundBitmap->release();
  backgroundBitmap = bitmap;
  setDirty(true);
}

std::int32_t CView::onKeyDown(vst::VstKeyCode&) { return -1; }
std::int32_t CView::onKeyUp(vst::VstKeyCode&) { return -1; }

bool CView::onWheelAxis(CDrawContext* context, CPoint where, int, float distance) {
  return onWheel(context, where, distance);
}

bool CView::onWheel(CDrawContext*, CPoint, float) { return false; }
bool CView::onDrop(CDrawContext*, CDragContainer*, CPoint) { return false; }
void CView::onDragEnter(CDrawContext*, CDragContainer*, CPoint) {}
void CView::onDragLeave(CDrawContext*, CDragContainer*, CPoint) {}
void CView::onDragOver(CDrawContext*, CDragContainer*, CPoint) {}
void CView::onFocusLost(CDrawContext*) {}
void CView::onFocusGained(CDrawContext*) {}

bool CView::hitTest(CPoint where, int) { return mouseArea.pointInside(where); }

void CView::setBounds(const CRect& rect) {
  bounds = rect;
  setDirty(true);
}

bool CView::onRemoved(CView*) { return true; }
bool CView::onAttached(CView*) { return true; }

void CView::getMousePosition(CDrawContext* context, CPoint& point) {
  if (!context) return;
  if (!parentView || parentView->notify(this, kMsgCheckIfViewContainer) != 1) {
    CPoint screen;
    if (!inputSource().pointerPosition(screen)) return;
    point = CPoint(screen.h - context->windowOrigin.h, screen.v - context->windowOrigin.v);
    return;
  }
  CRect parentBounds;
  parentView->getBounds(parentBounds);
  const CPoint savedOrigin = context->windowOrigin;
  const CPoint savedOffset = context->offset;
  context->windowOrigin.offset(parentBounds.left, parentBounds.top);
  context->offset.offset(parentBounds.left, parentBounds.top);
  parentView->getMousePosition(context, point);
  context->windowOrigin = savedOrigin;
  context->offset = savedOffset;
}

void CView::mapFromFrame(CPoint& point) {
  if (parentView && parentView->isOfClass("CViewContainer")) parentView->mapFromFrame(point);
}

void CView::mapToFrame(CPoint& point) {
  if (parentView && parentView->isOfClass("CViewContainer")) parentView->mapToFrame(point);
}

AEffGUIEditor* CView::getEditor() { return parentFrame ? parentFrame->getEditor() : nullptr; }

int CView::notify(CView*, const char*) { return 0; }

void CView::redrawArea(CDrawContext* context, const CRect& area) {
  if (parentView) {
    parentView->redrawArea(context, area);
  } else if (parentFrame) {
    parentFrame->drawArea(context, area);
  }
}

bool CView::isOfClass(const char* className) const { return isClassName(className, "CView"); }

void CView::redrawIfDirty(CDrawContext* context) {
  if (!isDirty()) return;
  if (context) {
    redrawArea(context, bounds);
  } else if (parentFrame) {
    parentFrame->drawView(this);
  }
  setDirty(false);
}

}  // namespace toolkit
